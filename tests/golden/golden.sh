#!/usr/bin/env bash
# The golden run: the replay tool plays a minute of the shipped content with a fixed key script
# and start tick; its figures (without the timings) and a checksum of every 100th frame's
# picture must equal expected.txt, so that no change to the code alters the game unnoticed.
#
#   tests/golden/golden.sh REPLAY CONTENT_DIR            compare (exit 0 same, 1 different,
#                                                        77 skipped: the content is not the shipped one)
#   tests/golden/golden.sh REPLAY CONTENT_DIR --update   write expected.txt anew (on purpose only:
#                                                        `make golden`)
#
# The tests run it on their own copy of the shipped content (tests/shipped). expected.txt starts
# with a hash of the content the run was made from: other content gets a skip, not a failure.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
replay="$1"
mode="${3:-}"
# Played on a copy, so that the run's Error.txt does not meet other tests' in the content folder.
content="$(mktemp -d)"
trap 'rm -rf "$content"' EXIT
cp -r "$2"/. "$content"/
rm -f "$content/Error.txt"

content_hash() {
    (cd "$content" && find palette.pal Graphics Enemies DeploymentOrders -type f \
        \( -name '*.pal' -o -name '*.txt' -o -name '*.bmp' -o -name '*.dpo' \) | LC_ALL=C sort |
        xargs sha256sum) | sha256sum | cut -c1-16
}

run() {
    echo "content $(content_hash)"
    local out
    out="$("$replay" --data "$content" --frames 3600 --start-tick 4242 \
        --keys "$here/keys.txt" --stats --checksums 100)"
    # One figure a line, without the timings and the allocation count (-1 under the sanitizers).
    echo "$out" | head -1 | tr -d '{}' | tr ',' '\n' | sed 's/^ *//; s/"//g; s/: / /' |
        grep -v -E '^(work_us_|allocations_after_start)'
    echo "$out" | tail -n +2
}

if [ "$mode" = "--update" ]; then
    run >"$here/expected.txt"
    echo "wrote $here/expected.txt"
    exit 0
fi

expected_hash="$(head -1 "$here/expected.txt" | cut -d' ' -f2)"
if [ "$(content_hash)" != "$expected_hash" ]; then
    echo "golden run skipped: $2 is not the content the golden run was made from"
    exit 77
fi
if ! diff -u "$here/expected.txt" <(run); then
    echo "golden run: the game played differently (see the lines above)."
    echo "If the change is meant, write the file anew with 'make golden' and say why in the commit."
    exit 1
fi
echo "golden run: 3600 frames as expected"
