#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a user and a desktop get:
# the program and its version, the desktop entry, the AppStream metadata, the icons, the
# manual page (renders without warnings, names every option the program's --help
# lists), and the documentation folder.
# Usage: check.sh BUILD_DIR VERSION APP_ID
set -u
BUILD=$1 VERSION=$2 APP_ID=$3
for t in desktop-file-validate appstreamcli man file; do
    command -v $t >/dev/null || { echo "SKIPPED: no $t"; exit 77; }
done
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"
P=$(mktemp -d)
trap 'rm -rf "$P"' EXIT
FAILS=0
fail() { echo "FAIL $*"; FAILS=$((FAILS + 1)); }
ok() { echo "ok   $*"; }
cmake --install "$BUILD" --prefix "$P" >"$P.log" 2>&1 || { cat "$P.log"; rm -f "$P.log"; exit 1; }
rm -f "$P.log"
DOC=$P/share/doc/wqkscope

# One version everywhere: the program, the guide, the manual page and the release.
got=$("$P/bin/wqkscope" --version) && [ "$got" = "wqkscope $VERSION" ] && ok "--version: $got" ||
    fail "--version printed '$got', expected 'wqkscope $VERSION'"
grep -qx "Version $VERSION for Linux" "$DOC/guide.txt" && ok "guide version" || fail "guide version"
zcat "$P/share/man/man1/wqkscope.1.gz" | grep -q "^\.TH WQKSCOPE 1 .*\"wqkscope $VERSION\"" &&
    ok "manual page version" || fail "manual page version"
META=$P/share/metainfo/$APP_ID.metainfo.xml
grep -q "<release version=\"$VERSION\" date=\"[0-9-]*\"" "$META" && ok "release" || fail "release"

# The desktop entry and the metadata pass their validators, and point at what is installed.
DESKTOP=$P/share/applications/$APP_ID.desktop
desktop-file-validate "$DESKTOP" && ok "desktop entry valid" || fail "desktop entry"
out=$(appstreamcli validate --no-net "$META" 2>&1) && ok "metadata valid" || fail "metadata: $out"
grep -q "<launchable type=\"desktop-id\">$APP_ID.desktop</launchable>" "$META" &&
    grep -q "<screenshot type=\"default\">" "$META" && ok "metadata names the entry and a screenshot" ||
    fail "metadata launchable or screenshot"
exe=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$DESKTOP")
[ -x "$P/bin/$exe" ] && ok "Exec=$exe installed" || fail "Exec=$exe not in bin/"
icon=$(sed -n 's/^Icon=//p' "$DESKTOP")
[ -f "$P/share/icons/hicolor/scalable/apps/$icon.svg" ] && ok "SVG icon" || fail "SVG icon $icon"
for n in 48 128 256; do
    file "$P/share/icons/hicolor/${n}x$n/apps/$icon.png" | grep -q "PNG image data, $n x $n," &&
        ok "icon ${n}x$n" || fail "icon ${n}x$n"
done

# The manual page renders without a warning and describes every option of --help.
MAN=$P/share/man/man1/wqkscope.1.gz
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$MAN" 2>&1 >"$P/man.txt")
[ -z "$warnings" ] && [ -s "$P/man.txt" ] && ok "man -l renders" || fail "man -l: $warnings"
for section in NAME SYNOPSIS DESCRIPTION "THE WINDOW" OPTIONS "PORT BACKENDS" "PARALLEL PORT ACCESS" FILES; do
    grep -qx "$section" "$P/man.txt" || fail "manual page has no section $section"
done
grep -q "usermod -aG lp" "$P/man.txt" || fail "manual page does not tell how to join group lp"
helps=$DOC/wqkscope-help.txt
[ -s "$helps" ] || fail "no $helps"
missing=0
for opt in $(grep -o -- '--[a-z][a-z0-9-]*' "$helps" | sort -u); do
    grep -q -- "$opt" "$P/man.txt" || { fail "manual page lacks $opt"; missing=1; }
done
[ $missing = 0 ] && ok "manual page names every option of --help"
for form in $(sed -n 's/^  SIGNAL: //p' "$helps" | head -1 | sed 's/, / /g; s/ or / /g'); do
    grep -qF -- "$form" "$P/man.txt" || fail "manual page lacks the input signal $form"
done
# One section for each subcommand the program has, and none for one it lacks.
subs=$(sed -n 's/^\$ wqkscope \([a-z]*\) --help$/\1/p' "$helps" | sort)
sections=$(sed -n '/^SUBCOMMANDS$/,/^[A-Z]/s/^   \([a-z][a-z]*\)$/\1/p' "$P/man.txt" | sort)
[ "$subs" = "$sections" ] && ok "manual page sections for the subcommands:" $subs ||
    fail "manual page sections '$(echo $sections)', subcommands '$(echo $subs)'"

for f in README.md remote.md guide.txt; do [ -s "$DOC/$f" ] || fail "no $DOC/$f"; done
echo "$FAILS failed"
[ $FAILS = 0 ]
