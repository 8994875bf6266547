#!/usr/bin/env bash
# Prints Starlane's version, from shell/resource.h where it lives, and the day it was set
# (the last commit to that file; outside git, SOURCE_DATE_EPOCH's day or today):
#   1.0.0 2026-12-01
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -n 's/^#define STARLANE_VERSION_TEXT "\(.*\)"$/\1/p' "$root/shell/resource.h")
[ -n "$version" ] || { echo "version.sh: no STARLANE_VERSION_TEXT in shell/resource.h" >&2; exit 1; }
date=$(git -C "$root" log -1 --format=%cs -- shell/resource.h 2>/dev/null || true)
[ -n "$date" ] || date=$(date -u -d "@${SOURCE_DATE_EPOCH:-$(date +%s)}" +%F)
echo "$version $date"
