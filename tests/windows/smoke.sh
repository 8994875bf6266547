#!/usr/bin/env bash
# Runs the Windows build for real: starlane.exe on Wine's DirectDraw and DirectInput under
# a private Xvfb, with a fresh Wine prefix. Holds keys, takes screenshots, quits with Escape,
# and checks the exit code, the error log and the pictures against the stand-in's.
#
#   tests/windows/smoke.sh [BUILD_DIR]      (default build-windows; builds it if missing)
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build-windows}
replay=$root/build/starlane-replay
tmp=$(mktemp -d /tmp/starlane-wine-XXXXXX)
xvfb_pid=""
game_pid=""

say() { echo "wine-smoke: $*"; }
fail() { echo "wine-smoke: FAILED: $*" >&2; exit 1; }

cleanup() {
    set +e
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    WINEPREFIX=$tmp/prefix timeout 20 wineserver -k 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT

[ -f "$build/starlane.exe" ] || { cmake --preset windows >/dev/null && cmake --build "$build" -j2 >/dev/null; }
[ -x "$replay" ] || fail "the replay tool is not built ($replay)"

# A private X server on a free display.
for n in $(seq 90 140); do
    [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] || { display=$n; break; }
done
Xvfb :$display -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for i in $(seq 100); do [ -e /tmp/.X11-unix/X$display ] && break; sleep 0.05; done
[ -e /tmp/.X11-unix/X$display ] || fail "Xvfb did not start"
export DISPLAY=:$display

# A fresh Wine prefix with a virtual desktop (needed for the 800 x 600 x 8 mode) and the
# light GDI renderer.
export WINEPREFIX=$tmp/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
timeout 120 wineboot -i >/dev/null 2>&1 || fail "wineboot"
timeout 30 wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
timeout 30 wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1024x768 /f >/dev/null 2>&1
timeout 30 wine reg add 'HKCU\Software\Wine\Direct3D' /v renderer /t REG_SZ /d gdi /f >/dev/null 2>&1
timeout 30 wineserver -w

mkdir "$tmp/game"
cp -r "$root/data/." "$tmp/game/"
rm -f "$tmp/game/Error.txt"
cp "$build/starlane.exe" "$tmp/game/"

# The content tools of the Windows build read the content as the Linux ones do: the checker
# finds the shipped content clean, and says where a broken file breaks.
cp "$build/starlane-check.exe" "$tmp/"
mkdir "$tmp/shipped"
cp -r "$root/tests/shipped/." "$tmp/shipped/"
(cd "$tmp" && timeout 120 wine starlane-check.exe shipped) >/dev/null 2>&1 || fail "starlane-check.exe finds the shipped content unclean"
cp -r "$tmp/shipped" "$tmp/broken"
sed -i 's/^0 50 /0 4294967299 /' "$tmp/broken/Enemies/Wasp.txt"
broken=$(cd "$tmp" && { timeout 120 wine starlane-check.exe broken 2>/dev/null || true; } | head -1 | tr -d '\r')
[ "$broken" = "broken/Enemies/Wasp.txt:10: Error.txt: readInt: number out of the range of an int" ] ||
    fail "starlane-check.exe on a delay beyond an int said: $broken"
rm -rf "$tmp/broken" "$tmp/shipped"
say "starlane-check.exe: the shipped content is clean, a number beyond an int is refused at its line"

hold() {   # hold KEYS for SECONDS
    local seconds=$1; shift
    xdotool keydown "$@"; sleep "$seconds"; xdotool keyup "$@"
}

shot() { import -window root "$1"; }

cpu_ticks() {   # user + system clock ticks of the running exe
    local pid
    for pid in $(pgrep -f 'starlane\.exe' || true); do
        [ "$(cat /proc/$pid/comm 2>/dev/null)" = starlane.exe ] || continue
        awk '{print $14 + $15}' /proc/$pid/stat
        return
    done
    echo 0
}

cd "$tmp/game"
start=$(date +%s.%N)
timeout 300 wine starlane.exe &
game_pid=$!

# The first frame has been shown once the game's window exists and the error log was made.
for i in $(seq 600); do
    [ -e Error.txt ] && xdotool search --name "Generic Window" >/dev/null 2>&1 && break
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
xdotool search --name "Generic Window" >/dev/null 2>&1 || fail "the game's window never appeared"
sleep 1
shot "$tmp/first.png"
# Ten seconds of play, about 600 frames: fire while sweeping right, then left and up.
cpu_before=$(cpu_ticks)
hold 5 space d
hold 5 space a w
cpu_after=$(cpu_ticks)
shot "$tmp/second.png"
hold 0.3 Escape

rc=0
wait "$game_pid" || rc=$?
game_pid=""
elapsed=$(echo "$(date +%s.%N) - $start" | bc)
[ "$rc" = 0 ] || fail "exit code $rc"
[ -s Error.txt ] && { cat Error.txt >&2; fail "Error.txt is not empty"; }

# The same early frame on the stand-in, for comparison.
"$replay" --data "$root/data" --frames 30 --shot "29:$tmp/standin.png" >/dev/null

/usr/bin/python3 "$root/tests/windows/compare.py" "$root/data/palette.pal" "$tmp/first.png" "$tmp/second.png" \
    "$tmp/standin.png" || fail "the pictures do not match"
if [ -n "${SMOKE_KEEP:-}" ]; then cp "$tmp"/*.png "$SMOKE_KEEP"/; fi
cpu=$(echo "scale=2; ($cpu_after - $cpu_before) / $(getconf CLK_TCK)" | bc)
say "CPU time of starlane.exe over 10 s (about 600 frames) of play: ${cpu}s"
say "passed in ${elapsed}s: exit code 0, empty Error.txt, pictures in the palette's colours"
