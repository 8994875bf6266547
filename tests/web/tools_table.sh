#!/usr/bin/env bash
# The studio's tools module (WebAssembly, in its memory file system, under node) against the
# native starlane-check on the same folders, byte for byte: every broken folder of the agreement
# table, as test_agreement makes them, and the shipped content.
#
#   tests/web/tools_table.sh BUILD_DIR SITE_DIR [DATA_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$1 site=$2 data=${3:-$root/data}
tmp=$(mktemp -d /tmp/starlane-tools-table-XXXXXX)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/rows"
# The test programs are built under tests/ of the build folder.
agreement=$build/tests/test_agreement
[ -x "$agreement" ] || agreement=$build/test_agreement
STARLANE_AGREEMENT_KEEP="$tmp/rows" "$agreement" \
  --gtest_filter='*EveryReaderGivesTheSameVerdictOnEachBrokenFile' >"$tmp/agreement.log" 2>&1 ||
  { cat "$tmp/agreement.log"; exit 1; }
cp -r "$data" "$tmp/shipped"
rm -f "$tmp/shipped/Error.txt"
node "$root/tests/web/tools_node.js" "$site/starlane-tools.js" "$build/starlane-check" \
  $(ls -d "$tmp"/rows/* | sort -t/ -k5 -n) "$tmp/shipped"
