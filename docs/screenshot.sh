#!/usr/bin/env bash
# Makes docs/screenshot.png, the README's picture: the real game, run by the replay tool on
# the shipped content with a fixed key script, photographed at frame 1950 (the third wave).
#
#   docs/screenshot.sh [BUILD_DIR]      (default build; builds the replay tool if missing)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
frame=1950
tmp=$(mktemp -d /tmp/starlane-screenshot-XXXXXX)
trap 'rm -rf "$tmp"' EXIT

[ -x "$build/starlane-replay" ] || cmake --build "$build" --target starlane-replay -j2

# Fire from the start and weave under the waves.
cat > "$tmp/keys.txt" <<'KEYS'
60 5000 space
150 215 a
300 360 d
600 640 a
900 960 d
1300 1340 a
1700 1760 d
1850 1900 a
KEYS

# A copy of the content, so that the game's Error.txt stays out of data/.
cp -r "$root/data" "$tmp/content"
mkdir -p "$root/docs"
"$build/starlane-replay" --data "$tmp/content" --frames $((frame + 1)) --keys "$tmp/keys.txt" \
    --shot "$frame:$root/docs/screenshot.png"
if [ -s "$tmp/content/Error.txt" ]; then
    echo "screenshot.sh: the game logged errors:" >&2
    cat "$tmp/content/Error.txt" >&2
    exit 1
fi
echo "wrote docs/screenshot.png (frame $frame)"
