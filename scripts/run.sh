#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Mirado and starts it on the bundled example site and catalogue
# (Tokyo, 42 bright stars and Messier objects).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/build.sh
cd examples/tokyo
exec ../../build/mainwindow/mirado
