#!/usr/bin/env bash
# The program on Xvfb (Qt's default platform plugin and dispatcher) under real X input:
# a short click on a held arrow steps once, whichever mouse button; a held arrow repeats
# 20 times a second after 0.3 s; STOP ends a trigger wait. Read through WQK_TEST_HOOK.
set -u
for t in Xvfb xdotool; do command -v $t >/dev/null || { echo "SKIPPED: no $t"; exit 77; }; done
unset QT_QPA_PLATFORM QT_NO_GLIB
# xkbcommon hands strndup strings without a final NUL, which strict string checks refuse.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:strict_string_checks=0"
WORK=$(mktemp -d)
trap 'kill ${APP_PID:-} ${XVFB:-} 2>/dev/null; rm -rf "$WORK"' EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$WORK/display" 2>/dev/null & XVFB=$!
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$WORK/display")
# A configuration folder of its own: no remembered session in, none left behind.
export XDG_CONFIG_HOME="$WORK/config"
cd "$WORK" && printf ' 1\r\n' >WQKport.cfg
coproc APP { WQK_TEST_HOOK=1 exec "$1" --port=sim --input-a=dc:0 --noise=0 2>"$WORK/stderr"; }
FAILS=0
ms() { echo $(($(date +%s%N) / 1000000)); }
ask() {
    echo "$*" >&"${APP[1]}" && read -r -t 20 REPLY <&"${APP[0]}" || { echo "no answer"; cat "$WORK/stderr"; exit 1; }
}
state() { ask state && for kv in $REPLY; do declare -g "$kv"; done; }
at() { # moves the mouse onto a control once it is shown and enabled
    local end=$(($(ms) + 5000))
    while ask pos "$1" && [ "$REPLY" = none ] && [ "$(ms)" -lt $end ]; do sleep 0.1; done
    [ "$REPLY" != none ] && xdotool mousemove $REPLY
}
check() { # WHAT GOT EXPECTED
    if [ "$2" -eq "$3" ]; then echo "ok   $1: $2"; else echo "FAIL $1: $2, expected $3"; FAILS=$((FAILS + 1)); fi
}
# Waits until the button is released and the value moved, then reads it once more.
settle() {
    local before=$1 field=$2 end=$(($(ms) + 8000))
    while state && [ "$(ms)" -lt $end ]; do
        [ "$ButtonHeld" = 0 ] && [ "${!field}" != "$before" ] && break
        sleep 0.05
    done
    sleep 0.3 && state
}
# click NAME FIELD STEP [BUTTON]: one click of about 50 ms must move FIELD by STEP. A click
# the loaded machine stretched past 250 ms is no short click: it is tried again.
click() {
    local try before took
    for try in 1 2 3; do
        state && before=${!2} && at "$1" || { check "$1 shown" 0 1; return; }
        took=$(ms) && xdotool mousedown "${4:-1}" sleep 0.05 mouseup "${4:-1}" && took=$(($(ms) - took))
        settle "$before" "$2"
        [ $took -lt 250 ] && break
    done
    check "$1 button ${4:-1} click" $((${!2} - before)) "$3"
}
press() { at "$1" && xdotool click 1 && sleep 0.5; }
# hold NAME FIELD FIRST REPEAT: held for 1 s, the first step and then one every 50 ms
# after 0.3 s; at least 5 repeats, and never more than the time allows.
hold() {
    local before took n most
    state && before=${!2} && at "$1"
    took=$(ms) && xdotool mousedown 1 sleep 1 mouseup 1 && took=$(($(ms) - took))
    settle "$before" "$2"
    n=$(((${!2} - before - $3) / $4)) && most=$(((took - 300) / 50 + 1))
    check "$1 held $took ms, $n repeats in 5..$most" $((n >= 5 && n <= most)) 1
}
for _ in $(seq 300); do state && [ "$focus" = GOBUTTON ] && break; sleep 0.1; done
[ "$focus" = GOBUTTON ] || { echo "FAIL: the program did not start"; cat "$WORK/stderr"; exit 1; }

press Command23 # cursor on
state && click Command25 CursorX "$CursorStepLarge"
click Command26 CursorX "-$CursorStepSmall"
click Command24 CursorX "-$CursorStepLarge" 3
hold Command27 CursorX "$CursorStepSmall" "$CursorStepSmall"
press TMODEBUTTON     # TRIG
press TriglevelBUTTON # level setting on
click TRSMALLN TrigLevel 10
click TRLARGEN TrigLevel 160
click TRLARGEP TrigLevel -160 3
hold TRSMALLP TrigLevel -10 -10
press GOBUTTON # waits for a trigger that never comes
state && check "waiting for a trigger" "$RunState" 1
click scrolldownA TracePosA 1
press GOBUTTON
state && check "STOP during the trigger wait" "$RunState" 0
press SCOPEMODE # GENERATOR
click GENSFREQBUTTONP GenFreq 1
click GENLFREQBUTTONP GenFreq 500
click GENSFREQBUTTONN GenFreq -1 3
click GENLFREQBUTTONN GenFreq -500 2
hold GENSFREQBUTTONN GenFreq -1 -10
[ $FAILS -eq 0 ] || { echo "$FAILS failed"; exit 1; }
