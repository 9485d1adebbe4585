#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary prefix and builds the .deb, then checks
# that both hold what a Linux desktop needs.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" > /dev/null
for file in bin/mirado bin/mirado-night lib/mirado/mirado lib/mirado/mirado.hlp \
            share/applications/mirado.desktop share/icons/hicolor/scalable/apps/mirado.svg \
            share/mirado/examples/tokyo/site.txt share/mirado/examples/tokyo/catalogue.txt; do
    [ -e "$work/prefix/$file" ] || { echo "missing after install: $file"; exit 1; }
done
grep -q "^Exec=mirado$" "$work/prefix/share/applications/mirado.desktop"

# The launcher starts the program from the user's folder, linked to the
# installed program and help file.
home="$work/home"
mkdir -p "$home"
sed 's|^exec .*|exit 0|' "$work/prefix/bin/mirado" > "$work/prefix/bin/mirado-links"
HOME="$home" XDG_DATA_HOME= sh "$work/prefix/bin/mirado-links"
[ "$(readlink -f "$home/.local/share/mirado/mirado")" = "$work/prefix/lib/mirado/mirado" ]
[ -e "$home/.local/share/mirado/mirado.hlp" ]

# The package.
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB > /dev/null)
deb=$(ls "$work"/*.deb)
contents=$(dpkg-deb -c "$deb")
for file in ./usr/bin/mirado ./usr/bin/mirado-night ./usr/lib/mirado/mirado \
            ./usr/lib/mirado/mirado.hlp ./usr/share/applications/mirado.desktop \
            ./usr/share/icons/hicolor/scalable/apps/mirado.svg; do
    grep -q " $file\$" <<< "$contents" || { echo "missing in the package: $file"; exit 1; }
done
# Read the fields first: grep -q leaving a pipe early would fail it.
fields=$(dpkg-deb -f "$deb" Package Version Depends)
grep -q "^Version: 0.8.1" <<< "$fields"
echo "install and package checked"
