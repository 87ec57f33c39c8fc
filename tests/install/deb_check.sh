#!/usr/bin/env bash
# Checks a built Debian package: its name, control fields (dpkg-deb -I) and contents
# (dpkg-deb -c). Usage: deb_check.sh wqkscope_VERSION_ARCH.deb
set -u
DEB=$1
FAILS=0
fail() { echo "FAIL $*"; FAILS=$((FAILS + 1)); }
info=$(dpkg-deb -I "$DEB") || { echo "FAIL dpkg-deb -I $DEB"; exit 1; }
list=$(dpkg-deb -c "$DEB") || { echo "FAIL dpkg-deb -c $DEB"; exit 1; }
echo "$info"
echo "$list"
field() { dpkg-deb -f "$DEB" "$1"; }
VERSION=$(field Version) ARCH=$(field Architecture)
[ "$(basename "$DEB")" = "wqkscope_${VERSION}_$ARCH.deb" ] || fail "file name $(basename "$DEB")"
[ "$(field Package)" = wqkscope ] || fail "Package: $(field Package)"
[ "$ARCH" = "$(dpkg --print-architecture)" ] || fail "Architecture: $ARCH"
# Worked out from the binary: Qt's widgets, print support and the C++ runtime.
for lib in libqt6widgets6 libqt6printsupport6 libqt6core6 libstdc++6 libc6; do
    field Depends | grep -q "\b$lib (>= " || fail "Depends lacks $lib: $(field Depends)"
done
for f in ./usr/bin/wqkscope ./usr/share/man/man1/wqkscope.1.gz \
    ./usr/share/applications/org.wqkscope.wqkscope.desktop \
    ./usr/share/metainfo/org.wqkscope.wqkscope.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/wqkscope.svg \
    ./usr/share/icons/hicolor/48x48/apps/wqkscope.png \
    ./usr/share/icons/hicolor/128x128/apps/wqkscope.png \
    ./usr/share/icons/hicolor/256x256/apps/wqkscope.png \
    ./usr/share/doc/wqkscope/README.md ./usr/share/doc/wqkscope/guide.txt \
    ./usr/share/doc/wqkscope/wqkscope-help.txt; do
    echo "$list" | grep -q " $f\$" || fail "missing $f"
done
# Everything under /usr, owned by root, the program executable.
echo "$list" | awk '{print $6}' | grep -v '^\./usr/' | grep -v '^\./$' && fail "files outside /usr"
echo "$list" | awk '$2 != "root/root"' | grep . && fail "files not owned by root"
echo "$list" | grep -q '^-rwxr-xr-x .* \./usr/bin/wqkscope$' || fail "wqkscope not executable"
[ $FAILS = 0 ] && echo "package check: ok" || echo "package check: $FAILS failed"
[ $FAILS = 0 ]
