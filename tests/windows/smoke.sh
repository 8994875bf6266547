#!/usr/bin/env bash
# Runs the Windows build for real: starlane.exe on Wine's DirectDraw and DirectInput under
# a private Xvfb, with a fresh Wine prefix. Holds keys, takes screenshots, puts another
# program in front for two seconds and brings the game back, quits with Escape, and checks
# the exit code, the error log, the CPU time in the background, the exe's resources and the
# pictures against the stand-in's.
#
# What Wine 8 does when another program (notepad) takes the focus: the game in exclusive
# full screen is minimised and the desktop mode comes back, as on Windows. Every frame from
# then on fails to lock the back buffer and logs it (two lines a frame, until the log's
# limit), sleeping out its 16 ms. An X11 activation does not bring the window back (Wine's
# virtual desktop has no window manager to ask); front.exe, built here, restores it with
# ShowWindow and SetForegroundWindow, as a click on its taskbar button would.
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
python3 "$root/tests/windows/resources.py" "$build/starlane.exe" "$root/res/starlane.ico" \
    "$root/res/starlane.manifest" "$root/shell/resource.h" || fail "the exe lacks its resources"
x86_64-w64-mingw32-gcc -O2 -s -o "$tmp/front.exe" "$root/tests/windows/front.c" || fail "front.exe"

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
# Ten seconds of play, about 600 frames: fire while sweeping right, then left and down
# (enemies come in from the top: the ship keeps away from them).
cpu_before=$(cpu_ticks)
hold 5 space d
hold 5 space a s
cpu_after=$(cpu_ticks)
shot "$tmp/second.png"
[ -s Error.txt ] && { cat Error.txt >&2; fail "Error.txt is not empty after the play in front"; }

# Another program in front, with A held down as it comes and let go while it has the focus.
xdotool keydown a
timeout 120 wine notepad >/dev/null 2>&1 &
for i in $(seq 100); do [ -s Error.txt ] && break; sleep 0.1; done
[ -s Error.txt ] || fail "the game never went to the background"
xdotool keyup a
bg_before=$(cpu_ticks)
sleep 2
bg_after=$(cpu_ticks)
# A frame that cannot lock still sleeps: waiting for the screen takes no more than a
# seventh of a core (measured on Wine 8: 0.05 to 0.07 s sleeping, 0.57 s spinning).
cpu_bg=$(echo "scale=2; ($bg_after - $bg_before) / $(getconf CLK_TCK)" | bc)
[ "$(echo "$cpu_bg <= 0.3" | bc)" = 1 ] || fail "the game spun in the background (${cpu_bg}s of CPU in 2 s)"
timeout 20 wine "$tmp/front.exe" "Generic Windows Class" || fail "front.exe found no game window"
sleep 1.5
shot "$tmp/back.png"
# Still taking the keys: to the bottom right corner, where the clamp holds the ship; A held
# down in the game's eyes would keep it from getting there and pull it back after.
hold 4 d s
sleep 0.5
shot "$tmp/corner.png"
sleep 1
shot "$tmp/later.png"
hold 0.3 Escape

rc=0
wait "$game_pid" || rc=$?
game_pid=""
elapsed=$(echo "$(date +%s.%N) - $start" | bc)
[ "$rc" = 0 ] || fail "exit code $rc"
# The log holds the lock failures of the frames in the background, and nothing else. Its
# bound counts the messages' bytes; text mode on Windows adds a CR to every line.
tr -d '\r' < Error.txt > "$tmp/log.txt"
log_bytes=$(stat -c %s "$tmp/log.txt")
[ "$log_bytes" -le 65536 ] || fail "Error.txt has $log_bytes bytes of messages, past its bound"
others=$(grep -v -x -e 'lockBackBuffer:  locking error' -e 'gameMain: error locking back buffer' \
    -e 'writeError: error log full, later messages dropped' "$tmp/log.txt" || true)
[ -z "$others" ] || { echo "$others" | sort | uniq -c >&2; fail "Error.txt holds more than lock failures"; }
log_frames=$(grep -c -x 'gameMain: error locking back buffer' "$tmp/log.txt" || true)

# The same early frame on the stand-in, for comparison.
"$replay" --data "$root/data" --frames 30 --shot "29:$tmp/standin.png" >/dev/null

if [ -n "${SMOKE_KEEP:-}" ]; then cp "$tmp"/*.png Error.txt "$SMOKE_KEEP"/; fi
/usr/bin/python3 "$root/tests/windows/compare.py" "$root/data/palette.pal" "$tmp/first.png" "$tmp/second.png" \
    "$tmp/standin.png" "$tmp/back.png" "$tmp/corner.png" "$tmp/later.png" || fail "the pictures do not match"
cpu=$(echo "scale=2; ($cpu_after - $cpu_before) / $(getconf CLK_TCK)" | bc)
say "CPU time of starlane.exe over 10 s (about 600 frames) of play in front: ${cpu}s"
say "CPU time of starlane.exe over 2 s in the background: ${cpu_bg}s"
say "Error.txt: $log_bytes bytes, $log_frames frames that could not lock the back buffer, nothing else"
say "passed in ${elapsed}s: exit code 0, focus lost and regained, pictures in the palette's colours"
