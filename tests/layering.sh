#!/usr/bin/env bash
# The floor plan (docs/development.md) as a check: every #include "ROOM/..." of a source must
# name its own room or one beneath it. The game's seven rooms share a floor and see only the
# system headers of the stand-in, never platform/ itself.
#   tests/layering.sh [SOURCE_DIR]
set -u
cd "${1:-$(dirname "$0")/..}" || exit 2
floor() {
  case $1 in
    platform) echo 0 ;;
    shell | display | graphics | input | bitmap | content | game) echo 1 ;;
    record) echo 2 ;;
    tools) echo 3 ;;
    programs | tests | bench) echo 4 ;;
    *) echo 9 ;;
  esac
}
bad=0
while IFS=: read -r file line text; do
  from=${file%%/*}
  to=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"$text")
  [ "$to" = "$text" ] && continue # not rooted: the compiler says so
  if [ "$(floor "$to")" -gt "$(floor "$from")" ] || { [ "$(floor "$from")" = 1 ] && [ "$to" = platform ]; }; then
    echo "$file:$line: $from/ includes $to/, which stands above it or is hidden from it"
    bad=1
  fi
done < <(git ls-files -co --exclude-standard '*.cpp' '*.h' '*.c' | grep -v '^platform/include/' | xargs grep -n '^#include "' /dev/null)
[ $bad = 0 ] && echo "layering: every include names its own room or one beneath it"
exit $bad
