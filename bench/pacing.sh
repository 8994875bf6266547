#!/bin/sh
# Frame pacing and CPU use of the real game (build/starlane, SDL2 backend) in 600 frames
# of play on a private Xvfb display: fire held, the ship swept left and right.
#
#   bench/pacing.sh [FRAMES]
#
# The times are the platform's own: the SDL backend notes the time of every present
# (STARLANE_TIMING) and closes the window after the last. The CPU use is the game
# process's (all its threads), sampled from /proc while it plays.
# Environment: BUILD (build dir, default build), XVFB_SCREEN (default 1024x768x24),
# PACING_PRIORITY=realtime (run Xvfb and the game under SCHED_FIFO, where allowed: tells
# the game's own pacing from the waits that other busy processes on the machine cause);
# the game's own STARLANE_* and SDL's variables pass through (e.g. STARLANE_WINDOWED=1).
set -eu

FRAMES=${1:-600}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
GAME=$BUILD/starlane
SCREEN=${XVFB_SCREEN:-1024x768x24}
RUN=""
if [ "${PACING_PRIORITY:-}" = realtime ]; then
    RUN="chrt -f 10"
fi

for tool in Xvfb xdotool awk; do
    command -v $tool >/dev/null 2>&1 || { echo "pacing.sh: $tool is needed (apt-get install xvfb xdotool)" >&2; exit 2; }
done
[ -x "$GAME" ] || { echo "pacing.sh: no $GAME; build first" >&2; exit 2; }

WORK=$(mktemp -d /tmp/starlane-pacing-XXXXXX)
XVFB_PID=""
GAME_PID=""
KEYS_HELD=""

cleanup() {
    if [ -n "$KEYS_HELD" ] && [ -n "${DISPLAY:-}" ]; then
        xdotool keyup $KEYS_HELD 2>/dev/null || true
    fi
    if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then
        kill "$GAME_PID" 2>/dev/null || true
        wait "$GAME_PID" 2>/dev/null || true
    fi
    if [ -n "$XVFB_PID" ] && kill -0 "$XVFB_PID" 2>/dev/null; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A display of our own: Xvfb picks a free number and tells it through a pipe.
mkfifo "$WORK/displayfd"
$RUN Xvfb -displayfd 3 -screen 0 "$SCREEN" -nolisten tcp 3>"$WORK/displayfd" 2>"$WORK/xvfb.log" &
XVFB_PID=$!
NUMBER=$(timeout 20 head -n 1 "$WORK/displayfd" || true)
[ -n "$NUMBER" ] || { echo "pacing.sh: Xvfb did not start:" >&2; cat "$WORK/xvfb.log" >&2; exit 1; }
export DISPLAY=":$NUMBER"

# The game plays on a copy of the content, where it writes its Error.txt.
mkdir "$WORK/data"
cp -r "$ROOT/data/." "$WORK/data/"
(cd "$WORK/data" && STARLANE_TIMING="$WORK/presents.txt:$FRAMES" exec $RUN "$GAME" 2>"$WORK/game.err") &
GAME_PID=$!

# CPU time (user + system, all threads) of the game so far, in clock ticks.
cpu_ticks() {
    awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$GAME_PID/stat" 2>/dev/null || echo ""
}
now_ms() {
    awk '{ printf "%d\n", $1 * 1000 }' /proc/uptime
}

# Wait for the window, then hold fire and sweep; the CPU is sampled over the middle of play.
i=0
until xdotool search --name "Generic Window" >/dev/null 2>&1; do
    i=$((i + 1))
    [ $i -lt 100 ] && kill -0 "$GAME_PID" 2>/dev/null || { echo "pacing.sh: the game's window did not appear" >&2; exit 1; }
    sleep 0.1
done
sleep 0.5
STEP_S=$(awk -v f="$FRAMES" 'BEGIN { printf "%.2f\n", f / 60 / 5 }')
KEYS_HELD="space d"
xdotool keydown space d
sleep "$STEP_S"
CPU0=$(cpu_ticks); T0=$(now_ms)
xdotool keyup d; xdotool keydown a; KEYS_HELD="space a"
sleep "$STEP_S"
xdotool keyup a; xdotool keydown d; KEYS_HELD="space d"
sleep "$STEP_S"
CPU1=$(cpu_ticks); T1=$(now_ms)
xdotool keyup d; xdotool keydown a; KEYS_HELD="space a"

# The game closes its window after the last present and exits.
i=0
while kill -0 "$GAME_PID" 2>/dev/null; do
    i=$((i + 1))
    [ $i -lt $((FRAMES / 6 + 300)) ] || { echo "pacing.sh: the game did not finish" >&2; exit 1; }
    sleep 0.1
done
STATUS=0
wait "$GAME_PID" || STATUS=$?
GAME_PID=""
xdotool keyup $KEYS_HELD; KEYS_HELD=""
[ "$STATUS" -eq 0 ] || { echo "pacing.sh: the game exited with $STATUS" >&2; cat "$WORK/game.err" >&2; }
[ -s "$WORK/data/Error.txt" ] && { echo "pacing.sh: the game logged errors:" >&2; cat "$WORK/data/Error.txt" >&2; }
[ -s "$WORK/presents.txt" ] || { echo "pacing.sh: no present times written" >&2; exit 1; }

TICK=$(getconf CLK_TCK)
awk 'NR > 1 { print $1 - last } { last = $1 }' "$WORK/presents.txt" | sort -n >"$WORK/periods.txt"
awk -v cpu0="$CPU0" -v cpu1="$CPU1" -v t0="$T0" -v t1="$T1" -v tick="$TICK" -v screen="$SCREEN" '
    { p[NR] = $1 }
    END {
        n = NR
        if (n == 0) exit 1
        # nearest rank
        median = p[int((n + 1) / 2)]
        r99 = int(0.99 * n + 0.999999); if (r99 < 1) r99 = 1
        printf "frames presented      %d (periods %d), Xvfb %s\n", n + 1, n, screen
        printf "frame period median   %.2f ms   (target 16 ms)\n", median / 1000
        printf "frame period p99      %.2f ms   (target <= 17 ms)\n", p[r99] / 1000
        printf "frame period min/max  %.2f / %.2f ms\n", p[1] / 1000, p[n] / 1000
        if (cpu0 != "" && cpu1 != "" && t1 > t0)
            printf "CPU use while playing %.1f %% of one core   (target <= 10 %%)\n", (cpu1 - cpu0) / tick * 100000 / (t1 - t0)
        else
            printf "CPU use while playing unknown (the game ended early)\n"
    }' "$WORK/periods.txt"
exit "$STATUS"
