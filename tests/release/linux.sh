#!/usr/bin/env bash
# The Linux release as a player gets it: packs the tarball with packaging/dist.sh, unpacks it
# into an empty folder and runs what is inside from there. The game itself runs on SDL's
# dummy video driver and closes after 120 frames; the replay tool plays 600 frames; both must
# exit 0 and leave Error.txt empty, and the checker must find the content clean.
#
#   tests/release/linux.sh BUILD_DIR
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$1
tmp=$(mktemp -d /tmp/starlane-release-XXXXXX)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "release test: FAILED: $*" >&2; exit 1; }

bash "$root/packaging/dist.sh" --linux-only --build "$build" --out "$tmp/dist" >/dev/null
mkdir "$tmp/player"
tar xzf "$tmp/dist/starlane-linux-x86_64.tar.gz" -C "$tmp/player"
cd "$tmp/player/starlane"

for f in starlane starlane-replay starlane-check mkcontent README.txt LICENSE.txt README.md docs/modding.md palette.pal \
         palette.colors Graphics/MasterGraphics.txt Graphics/PlayerShip.sheet \
         Enemies/MasterEnemies.txt DeploymentOrders/DeploymentOrder1.dpo; do
    [ -e "$f" ] || fail "$f is not in the tarball"
done
[ ! -e Error.txt ] || fail "the tarball holds an Error.txt"

./starlane-check > "$tmp/check.txt" 2>&1 || { cat "$tmp/check.txt"; fail "starlane-check"; }

stats=$(./starlane-replay --data . --frames 600 --keys /dev/null --stats) || fail "starlane-replay exited with $?"
case $stats in *'"frames": 600, "exit_code": 0,'*) ;; *) fail "replay: $stats" ;; esac
[ ! -s Error.txt ] || { cat Error.txt; fail "the replay left lines in Error.txt"; }

rm -f Error.txt
SDL_VIDEODRIVER=dummy STARLANE_TIMING="$tmp/presents.txt:120" timeout 60 ./starlane || fail "starlane exited with $?"
[ -e Error.txt ] || fail "the game wrote no Error.txt"
[ ! -s Error.txt ] || { cat Error.txt; fail "the game left lines in Error.txt"; }
[ "$(wc -l < "$tmp/presents.txt")" -eq 120 ] || fail "the game did not show 120 frames"
echo "release test: the unpacked Linux release runs"
