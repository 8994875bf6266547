#!/usr/bin/env bash
# The WebAssembly replay tool under node: 3600 frames of the shipped content with fire held
# and the ship swept left and right must end with exit code 0, an empty log and enemies
# destroyed, and a second run with the same arguments must give the same figures.
#
#   tests/web/replay_node.sh [REPLAY_JS] [DATA_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
replay=${1:-$root/build-web/cmake/starlane-replay.js}
data=${2:-$root/data}
tmp=$(mktemp -d /tmp/starlane-web-replay-XXXXXX)
trap 'rm -rf "$tmp"' EXIT
[ -f "$replay" ] || { echo "replay_node.sh: no $replay (make web)" >&2; exit 2; }

printf '%s\n' '0 3599 space' '100 160 a' '300 420 d' '700 820 a' '1100 1220 d' \
              '1500 1620 a' '1900 2020 d' '2300 2420 a' '2700 2820 d' '3100 3220 a' > "$tmp/keys.txt"

# Everything but the times, which differ from run to run.
game_figures() { sed -E 's/"work_us_[a-z0-9]+": [0-9.]+, //g'; }

passed=0 failed=0
check() {
    if eval "$1"; then echo "ok   $2"; passed=$((passed + 1)); else echo "FAIL $2"; failed=$((failed + 1)); fi
}
for run in 1 2; do
    rm -rf "$tmp/content" && cp -r "$data" "$tmp/content" && rm -f "$tmp/content/Error.txt"
    status=0
    node "$replay" --data "$tmp/content" --frames 3600 --keys "$tmp/keys.txt" --stats \
        > "$tmp/stats$run.json" || status=$?
    cat "$tmp/stats$run.json"
    check "[ $status = 0 ]" "run $run exits with 0"
    check "[ ! -s $tmp/content/Error.txt ]" "run $run leaves an empty log"
done
destroyed=$(sed -nE 's/.*"enemies_destroyed": ([0-9]+).*/\1/p' "$tmp/stats1.json")
frames=$(sed -nE 's/.*"frames": ([0-9]+).*/\1/p' "$tmp/stats1.json")
check "[ '${frames:-0}' = 3600 ]" "3600 frames played"
check "[ ${destroyed:-0} -gt 0 ]" "enemies destroyed: ${destroyed:-none}"
check "[ \"\$(game_figures < $tmp/stats1.json)\" = \"\$(game_figures < $tmp/stats2.json)\" ]" \
      "two runs with the same arguments give the same figures"
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
