#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the include graph of the program's folders: every folder includes
# only from the folders below it, and the plain C++ layers include no Qt.
#
#   check_layers.sh SOURCE_DIR
set -euo pipefail
src=${1:?source folder}
cd "$src"

# Each folder and the folders it may include from, lowest layer first.
declare -A allowed=(
    [data]=""
    [astro]="data"
    [night]="astro data"
    [versioninfo]="data"
    [platform]="night astro data versioninfo"
    [chart]="platform night astro data"
    [dialogs]="chart platform versioninfo night astro data"
    [mainwindow]="dialogs chart platform versioninfo night astro data"
    [tools]="chart platform versioninfo night astro data"
)
plain="data astro night versioninfo"

status=0
for folder in "${!allowed[@]}"; do
    [ -d "$folder" ] || continue
    while IFS= read -r line; do
        file=${line%%:*}
        target=$(sed -E 's/.*#include "([a-z]+)\/.*/\1/' <<<"$line")
        [ "$target" = "$folder" ] && continue
        if ! grep -qw -- "$target" <<<"${allowed[$folder]}"; then
            echo "$file includes from $target/, a layer $folder/ may not use"
            status=1
        fi
    done < <(grep -HE '^#include "[a-z]+/' "$folder"/*.h "$folder"/*.cpp 2>/dev/null || true)
done

for folder in $plain; do
    [ -d "$folder" ] || continue
    if hits=$(grep -lE '^#include <Q' "$folder"/*.h "$folder"/*.cpp 2>/dev/null); then
        echo "Qt included in plain C++ code: $hits"
        status=1
    fi
done

[ "$status" -eq 0 ] && echo "include layers: ok"
exit "$status"
