#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary prefix and builds the .deb, then checks
# that both hold what a Linux desktop needs: the package unpacked into a
# scratch root passes lintian, the AppStream and desktop-entry validators,
# its binaries are stripped and hardened, the launcher seeds a first
# site.txt, and the unpacked program starts.
#
#   check_install.sh BUILD_DIR
set -euo pipefail
build=$(readlink -f "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

man_page() { # PREFIX NAME: the installed manual page, compressed or not
    local page
    for page in "$1/share/man/man1/$2.1.gz" "$1/share/man/man1/$2.1"; do
        [ -e "$page" ] && { echo "$page"; return 0; }
    done
    return 1
}

icon_sizes=(16 24 32 48 64 128 256)
wanted=(bin/mirado bin/mirado-night lib/mirado/mirado lib/mirado/mirado-night-chart lib/mirado/mirado.hlp
        share/applications/jp.mirado.Mirado.desktop
        share/metainfo/jp.mirado.Mirado.metainfo.xml
        share/icons/hicolor/scalable/apps/mirado.svg
        share/mirado/examples/tokyo/site.txt share/mirado/examples/tokyo/catalogue.txt
        share/doc/mirado/copyright share/doc/mirado/changelog.gz)
for size in "${icon_sizes[@]}"; do
    wanted+=("share/icons/hicolor/${size}x${size}/apps/mirado.png")
done

check_tree() { # PREFIX WHAT
    local file name
    for file in "${wanted[@]}"; do
        [ -e "$1/$file" ] || fail "missing $2: $file"
    done
    for name in mirado mirado-night; do
        man_page "$1" "$name" > /dev/null || fail "missing $2: the manual page $name.1"
    done
}

# The install.
cmake --install "$build" --prefix "$work/prefix" > /dev/null
check_tree "$work/prefix" "after install"

# The package, unpacked.
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB > /dev/null)
deb=$(ls "$work"/*.deb)
root="$work/root"
dpkg -x "$deb" "$root"
usr="$root/usr"
check_tree "$usr" "in the package"

# Read the fields first: grep -q leaving a pipe early would fail it.
fields=$(dpkg-deb -f "$deb" Package Version Maintainer Depends Description)
echo "$fields"
grep -q "^Version: 0.8.1$" <<< "$fields" || fail "version"
for dependency in qt6-qpa-plugins qt6-translations-l10n fonts-ipafont-gothic libqt6widgets6; do
    grep -q "^Depends:.*\b$dependency\b" <<< "$fields" || fail "Depends lacks $dependency"
done
# Once a binary links ERFA, the package must depend on its library.
if readelf -d "$usr/lib/mirado/mirado" "$usr/bin/mirado-night" | grep -q 'NEEDED.*liberfa'; then
    grep -q "^Depends:.*\bliberfa1\b" <<< "$fields" || fail "Depends lacks liberfa1"
fi

echo "--- lintian"
status=0
lintian --fail-on error,warning --display-info "$deb" || status=$?
[ "$status" -eq 0 ] || fail "lintian reports errors or warnings"

echo "--- appstreamcli"
appstreamcli validate --no-net "$usr/share/metainfo/jp.mirado.Mirado.metainfo.xml"

echo "--- desktop-file-validate"
desktop=$(desktop-file-validate "$usr/share/applications/jp.mirado.Mirado.desktop" 2>&1) \
    || fail "desktop-file-validate: $desktop"
[ -z "$desktop" ] || fail "desktop-file-validate: $desktop"
grep -q "^Exec=mirado %f$" "$usr/share/applications/jp.mirado.Mirado.desktop" || fail "Exec"
grep -q "^MimeType=text/plain;$" "$usr/share/applications/jp.mirado.Mirado.desktop" || fail "MimeType"

# Each bitmap icon is drawn at the size its folder names.
for size in "${icon_sizes[@]}"; do
    file "$usr/share/icons/hicolor/${size}x${size}/apps/mirado.png" \
        | grep -q "PNG image data, $size x $size," || fail "icon ${size}x${size}"
done

# Every shipped executable is stripped, keeps the version resource the
# program reads back, and carries the hardening of Debian builds: read-only
# relocations bound at start, stack protection and checked functions.
while IFS= read -r binary; do
    sections=$(readelf -S -W "$binary")
    grep -q " \.symtab " <<< "$sections" && fail "not stripped: $binary"
    grep -q " \.debug_info " <<< "$sections" && fail "debug information left in: $binary"
    grep -q " \.mirado_version " <<< "$sections" || fail "version resource lost: $binary"
    readelf -l -W "$binary" | grep -q "GNU_RELRO" || fail "no RELRO: $binary"
    readelf -d -W "$binary" | grep -Eq "BIND_NOW|FLAGS_1.* NOW" || fail "no BIND_NOW: $binary"
    symbols=$(readelf --dyn-syms -W "$binary")
    grep -q "__stack_chk_fail" <<< "$symbols" || fail "no stack protector: $binary"
    grep -Eq "__[a-z_]+_chk(@|$| )" <<< "$symbols" || fail "no fortified functions: $binary"
done < <(find "$root" -type f -exec sh -c 'head -c 4 "$1" | grep -q "ELF"' _ {} \; -print)

# The launcher's first start, with the program replaced by a printout of
# the arguments it would get.
launcher="$usr/bin/mirado-args"
sed 's|^exec .*|printf "%s\\n" "$PWD" "$@"|' "$usr/bin/mirado" > "$launcher"
home="$work/home"
mkdir -p "$home/here"
site="$home/.local/share/mirado/site.txt"
out=$(cd "$home/here" && HOME="$home" XDG_DATA_HOME= sh "$launcher" relative.txt /abs/solute.txt)
want=$(printf '%s\n' "$home/.local/share/mirado" "$home/here/relative.txt" /abs/solute.txt)
[ "$out" = "$want" ] || fail "launcher arguments: want $want, got $out"
[ "$(readlink -f "$home/.local/share/mirado/mirado")" = "$usr/lib/mirado/mirado" ] \
    || fail "program link"
[ -e "$home/.local/share/mirado/mirado.hlp" ] || fail "help file link"
want=$(printf '135\r\n35\r\n9\r\n%s\r\n' "$usr/share/mirado/examples/tokyo/catalogue.txt")
[ "$(cat "$site")" = "$want" ] || fail "seeded site.txt: want $want, got $(cat "$site")"
# The user's own site.txt is never replaced.
printf '139.7\r\n35.7\r\n9\r\nmine.txt\r\n' > "$site"
HOME="$home" XDG_DATA_HOME= sh "$launcher" > /dev/null
[ "$(cat "$site")" = "$(printf '139.7\r\n35.7\r\n9\r\nmine.txt\r\n')" ] || fail "site.txt replaced"
# XDG_DATA_HOME moves the folder.
HOME="$home" XDG_DATA_HOME="$work/data" sh "$launcher" > /dev/null
[ -e "$work/data/mirado/site.txt" ] || fail "no site.txt under XDG_DATA_HOME"
rm "$launcher"

# The unpacked program, started through its launcher in a fresh home, runs
# for a few seconds without a crash. It runs in a private mount namespace
# whose /run is a fresh tmpfs holding a private /run/user/UID: its lock (the
# user's runtime folder comes first), settings and data are its own, and the
# user's real lock, which the test command holds, stays out of its sight.
# Where a private namespace cannot be had (no user namespaces for a user
# other than root), this step is skipped with the reason.
isolated() { # COMMAND...: COMMAND in a private mount namespace with its own /run
    local ns=(unshare --mount --propagation private)
    [ "$(id -u)" -eq 0 ] || ns=(unshare --user --map-root-user --mount --propagation private)
    "${ns[@]}" sh -c 'mount -t tmpfs -o mode=0755 mirado-run /run &&
        mkdir -p -m 0700 "/run/user/$(id -u)" && exec "$@"' sh "$@"
}
if ! why=$(isolated true 2>&1); then
    echo "SKIP: the unpacked program is not started: no private mount namespace here ($why)"
else
    home="$work/fresh-home"
    runtime="$work/runtime"
    mkdir -p "$home" "$runtime"
    chmod 700 "$runtime"
    # Started, the program takes its lock within a bound (an event, not a
    # sleep); it then keeps running for a few seconds, and is ended. The
    # lock lies in the namespace's runtime folder, found from the user id,
    # not in XDG_RUNTIME_DIR.
    status=0
    out=$(HOME="$home" XDG_DATA_HOME= XDG_CONFIG_HOME= XDG_RUNTIME_DIR="$runtime" \
        QT_QPA_PLATFORM=offscreen isolated sh -c '
        "$1" & pid=$!
        lock="/run/user/$(id -u)/Mirado.lock"
        for _ in $(seq 300); do
            [ -e "$lock" ] && ! flock -n "$lock" true && break
            kill -0 $pid 2>/dev/null || break
            sleep 0.1
        done
        if [ -e "$lock" ] && ! flock -n "$lock" true; then echo locked; fi
        for _ in $(seq 30); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
        if kill -0 $pid 2>/dev/null; then echo running; kill $pid; fi
        wait $pid' sh "$usr/bin/mirado") || status=$?
    grep -qx locked <<<"$out" || fail "the program did not take its lock in the private runtime folder ($out)"
    grep -qx running <<<"$out" || fail "the program ended within 3 seconds ($out, status $status)"
    [ ! -e "$runtime/Mirado.lock" ] || fail "the program took its lock in XDG_RUNTIME_DIR"
    [ -e "$home/.local/share/mirado/site.txt" ] || fail "no site.txt after the first start"
fi

echo "install and package checked"
