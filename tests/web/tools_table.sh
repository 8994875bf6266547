#!/usr/bin/env bash
# The studio's tools module (WebAssembly, in its memory file system, under node) against the
# native starlane-check on the same folders, byte for byte: every broken folder of the agreement
# table, as test_agreement makes them, every folder of test_check's table of names Windows
# cannot hold, the shipped content, and folders whose problems show only when the game runs
# (checked after the others, in the same module, as the studio checks again and again), and
# one with files no list names.
#
#   tests/web/tools_table.sh BUILD_DIR SITE_DIR [DATA_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$1 site=$2 data=${3:-$root/data}
tmp=$(mktemp -d /tmp/starlane-tools-table-XXXXXX)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/rows" "$tmp/names"
tests=$build/tests
[ -x "$tests/test_agreement" ] || tests=$build
STARLANE_AGREEMENT_KEEP="$tmp/rows" "$tests/test_agreement" \
  --gtest_filter='*EveryReaderGivesTheSameVerdictOnEachBrokenFile' >"$tmp/agreement.log" 2>&1 ||
  { cat "$tmp/agreement.log"; exit 1; }
STARLANE_NAMES_KEEP="$tmp/names" "$tests/test_check" \
  --gtest_filter='*NamesWindowsCannotHoldAreWarnedAbout' >"$tmp/names.log" 2>&1 ||
  { cat "$tmp/names.log"; exit 1; }
cp -r "$data" "$tmp/shipped"
rm -f "$tmp/shipped/Error.txt"
# The overlay's animation shows a frame no record loads: the game's first frame logs it.
cp -r "$tmp/shipped" "$tmp/runs-overlay"
sed -i '/^f 0 /d' "$tmp/runs-overlay/Graphics/Overlay.txt"
# The player's idle frame is missing: the game starts and draws nothing of the ship.
cp -r "$tmp/shipped" "$tmp/runs-player"
sed -i '/^f 0 /d' "$tmp/runs-player/Graphics/PlayerShip.txt"
cp -r "$tmp/shipped" "$tmp/unread"
cp "$tmp/unread/Enemies/Dart.txt" "$tmp/unread/Enemies/Extra.txt"
printf 'Graphics/Nope.bmp\n1 2 3\n' > "$tmp/unread/Graphics/Extra.txt"
node "$root/tests/web/tools_node.js" "$site/starlane-tools.js" "$build/starlane-check" \
  $(ls -d "$tmp"/rows/* | sort -t/ -k5 -n) $(ls -d "$tmp"/names/* | sort -t/ -k5 -n) "$tmp/shipped" \
  "$tmp/runs-overlay" "$tmp/runs-player" "$tmp/unread"
