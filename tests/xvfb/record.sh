#!/usr/bin/env bash
# A real game recorded: the SDL game on a private Xvfb display with STARLANE_RECORD set, keys
# held by xdotool for a few seconds (fire, right, left), then Escape. The recording must hold
# those keys and replay exactly with starlane-replay --recording.
#
#   tests/xvfb/record.sh BUILD_DIR       (exit 77, skipped, without Xvfb or xdotool:
#                                         `make xvfb-test` installs them)
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$1
for tool in Xvfb xdotool; do
    command -v $tool >/dev/null 2>&1 || { echo "record test skipped: no $tool"; exit 77; }
done
work=$(mktemp -d /tmp/starlane-record-XXXXXX)
xvfb="" game="" held=""
cleanup() {
    [ -n "$held" ] && xdotool keyup $held 2>/dev/null || true
    for pid in $game $xvfb; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "record test: FAILED: $*" >&2; [ -f "$work/said" ] && cat "$work/said" >&2; exit 1; }

# A display of our own: Xvfb picks a free number and tells it through a pipe.
mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/displayfd" 2>"$work/xvfb.log" &
xvfb=$!
number=$(timeout 20 head -n 1 "$work/displayfd" || true)
[ -n "$number" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$number"

# Under the sanitizers: what D-Bus, pulled in by SDL on X11, keeps until exit is not ours.
export LSAN_OPTIONS="suppressions=$root/tests/xvfb/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
mkdir "$work/data"
cp -r "$root/data/." "$work/data/"
(cd "$work/data" && STARLANE_WINDOWED=1 STARLANE_RECORD="$work/game.rec" exec "$build/starlane" 2>"$work/said") &
game=$!

i=0
until window=$(xdotool search --name "Generic Window" 2>/dev/null | head -n 1) && [ -n "$window" ]; do
    i=$((i + 1))
    if ! kill -0 "$game" 2>/dev/null; then
        status=0; wait "$game" || status=$?; game=""
        fail "the game ended (exit $status) before its window appeared; Error.txt: $(cat "$work/data/Error.txt" 2>/dev/null)"
    fi
    # A loaded machine (CI builds beside it) can take seconds to bring SDL up.
    [ $i -lt 600 ] || fail "the game's window did not appear within 30 s"
    sleep 0.05
done
# No window manager: give the window the keyboard by hand, and the pointer to be sure.
xdotool windowfocus --sync "$window" mousemove --window "$window" 100 100
sleep 0.3
press() { xdotool keydown "$@"; held="$held $*"; }
let_go() { xdotool keyup "$@"; held=""; }
press space d;   sleep 1
let_go d; held="space"; press a;   sleep 1
let_go a space;  sleep 0.3
press Escape;    sleep 0.3
let_go Escape

i=0
while kill -0 "$game" 2>/dev/null; do
    i=$((i + 1))
    [ $i -lt 200 ] || fail "the game did not quit on Escape"
    sleep 0.05
done
status=0
wait "$game" || status=$?
game=""
[ "$status" -eq 0 ] || fail "the game exited with $status"
[ -s "$work/game.rec" ] || fail "no recording written"
[ ! -s "$work/data/Error.txt" ] || fail "the game logged: $(cat "$work/data/Error.txt")"
# Fire with right, then with left, and Escape last: what was held is what was recorded.
keys=$(grep -v '^#' "$work/game.rec" | cut -d' ' -f3- | uniq | tr '\n' ',')
case $keys in *"d space,"*"a space,"*escape,) ;; *) fail "the keys recorded: $keys" ;; esac

"$build/starlane-replay" --data "$work/data" --recording "$work/game.rec" >"$work/replay.txt" 2>&1 ||
    fail "the replay exited with $?: $(cat "$work/replay.txt")"
frames=$(head -n 1 "$work/game.rec")
[ -n "${SHOW_RECORDING:-}" ] && cat "$work/game.rec"
echo "record test: ${frames#\# } replayed exactly ($(wc -c < "$work/game.rec") bytes)"
