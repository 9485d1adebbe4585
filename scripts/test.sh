#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Mirado and runs every test headless, in a random order, then the
# whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer,
# then each fuzz target for a few seconds. Both suites run while the user's
# real single-instance lock is held, so no test can depend on it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/build.sh --test
export QT_QPA_PLATFORM=offscreen
bash scripts/with-real-lock.sh build/tests/lock/lock_holder \
    ctest --test-dir build --output-on-failure --parallel "$(nproc)" --schedule-random

bash scripts/test-sanitized.sh
bash scripts/fuzz.sh
