#!/usr/bin/env bash
# Builds the Debian package from a built tree into a temporary folder and checks it: its exact
# file list, its dependencies, its desktop entry and metadata with their validators, lintian's
# errors, and that a packaged tool runs.  Usage: CheckPackage.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/vorix_*_amd64.deb 2>/dev/null) || fail "no vorix_<version>_amd64.deb in $(ls "$work")"

# Exactly these files, nothing stray (directories aside).
expected=$(cat <<'LIST'
./usr/bin/vorix
./usr/bin/vorix-initdb
./usr/bin/vorix-migrate
./usr/bin/vorix-restore
./usr/share/applications/org.vorix.Vorix.desktop
./usr/share/doc/vorix/changelog.gz
./usr/share/doc/vorix/copyright
./usr/share/icons/hicolor/128x128/apps/vorix.png
./usr/share/icons/hicolor/16x16/apps/vorix.png
./usr/share/icons/hicolor/256x256/apps/vorix.png
./usr/share/icons/hicolor/32x32/apps/vorix.png
./usr/share/icons/hicolor/48x48/apps/vorix.png
./usr/share/icons/hicolor/64x64/apps/vorix.png
./usr/share/man/man1/vorix-initdb.1.gz
./usr/share/man/man1/vorix-migrate.1.gz
./usr/share/man/man1/vorix-restore.1.gz
./usr/share/man/man1/vorix.1.gz
./usr/share/metainfo/org.vorix.Vorix.metainfo.xml
./usr/share/vorix/schema.sql
LIST
)
actual=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | LC_ALL=C sort)
[ "$actual" = "$(echo "$expected" | LC_ALL=C sort)" ] ||
    fail "file list differs:"$'\n'"$(diff <(echo "$expected" | LC_ALL=C sort) <(echo "$actual") || true)"
dpkg-deb --fsys-tarfile "$deb" | tar -tv | awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" {bad=1; print} END {exit bad}' ||
    fail "directories not rwxr-xr-x"
dpkg-deb --fsys-tarfile "$deb" | tar -tv --numeric-owner | awk '$2 != "0/0" {bad=1; print} END {exit bad}' ||
    fail "files not owned by root"

depends=$(dpkg-deb -f "$deb" Depends)
for needed in libc6 libqt6widgets6 libsqlcipher libpq5 libzint fonts-wqy-microhei qt6-translations-l10n qt6-qpa-plugins; do
    [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/org.vorix.Vorix.desktop" || fail "desktop entry"
grep -q '^Name\[zh_CN\]=' "$root/usr/share/applications/org.vorix.Vorix.desktop" || fail "no Chinese name"
# A dock puts the running window under the entry's icon when the entry names the window's class,
# which Qt takes from the program's name: the class Exec's program gives its windows.
entry=$root/usr/share/applications/org.vorix.Vorix.desktop
wmclass=$(sed -n 's/^StartupWMClass=//p' "$entry")
program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ -n "$wmclass" ] && [ "$wmclass" = "$(basename "$program")" ] || fail "StartupWMClass '$wmclass' is not '$program'"
if command -v xvfb-run >/dev/null && command -v xwininfo >/dev/null; then
    # The packaged program's first window (a new shop in a home of its own), and its class.
    mkdir -p "$work/home"
    seen=$(HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
        QT_QPA_PLATFORM=xcb timeout 120 xvfb-run -a sh -c '
            "$1" & pid=$!
            for i in $(seq 150); do
                sleep 0.2
                class=$(xwininfo -root -tree | sed -n "s/.*: (\"[^\"]*\" \"\([^\"]*\)\").*/\1/p" | head -n 1)
                [ -n "$class" ] && break
            done
            kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
            echo "$class"' sh "$root/usr/bin/$program" 2>/dev/null) || true
    [ "$seen" = "$wmclass" ] || fail "the window's class is '$seen', the entry's StartupWMClass '$wmclass'"
fi
appstreamcli validate --no-net "$root/usr/share/metainfo/org.vorix.Vorix.metainfo.xml" || fail "metainfo"
for size in 16 32 48 64 128 256; do
    png=$root/usr/share/icons/hicolor/${size}x${size}/apps/vorix.png
    # Width and height are the big-endian words at bytes 16 and 20 of a PNG.
    dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
    [ "$dims" = "${size}x${size}" ] || fail "icon ${size}x${size} is $dims"
done
for page in vorix vorix-initdb vorix-restore vorix-migrate; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "manual page $page: $warnings"
done

# The stripped tool from the package makes a shop, and refuses to overwrite it.
"$root/usr/bin/vorix-initdb" "$work/shop.mdb" >/dev/null || fail "packaged vorix-initdb"
! "$root/usr/bin/vorix-initdb" "$work/shop.mdb" 2>/dev/null || fail "vorix-initdb overwrote a shop"

if command -v lintian >/dev/null; then
    lintian --allow-root --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || true
    if grep -q '^E:' "$work/lintian.log"; then
        cat "$work/lintian.log"
        fail "lintian reports errors"
    fi
    cat "$work/lintian.log"
fi
echo "package ok: $(basename "$deb")"
