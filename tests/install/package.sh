#!/usr/bin/env bash
# The Debian package as a player gets it (as root, on a machine where it may be installed and
# purged): apt-get installs ./starlane_*.deb, the installed game plays 60 frames on SDL's
# dummy video driver with an empty log, man finds its page, and after apt-get purge no file
# of the package is left.
#
#   tests/install/package.sh starlane_VERSION_ARCH.deb
set -euo pipefail

deb=$(realpath "$1")
tmp=$(mktemp -d /tmp/starlane-package-XXXXXX)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "package test: FAILED: $*" >&2; exit 1; }

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$tmp/apt.log" 2>&1 ||
    { cat "$tmp/apt.log"; fail "apt-get install $deb"; }
dpkg -L starlane | grep -vx "/\." >"$tmp/files"
export XDG_STATE_HOME=$tmp/state
SDL_VIDEODRIVER=dummy STARLANE_TIMING="$tmp/presents.txt:60" timeout 60 /usr/games/starlane 2>"$tmp/said" ||
    fail "the installed game exited with $?: $(cat "$tmp/said")"
[ "$(wc -l <"$tmp/presents.txt")" -eq 60 ] || fail "the game did not show 60 frames"
[ -e "$tmp/state/starlane/Error.txt" ] && [ ! -s "$tmp/state/starlane/Error.txt" ] ||
    fail "the log is not empty: $(cat "$tmp/state/starlane/Error.txt" 2>&1)"
for page in starlane starlane-check starlane-replay starlane-mkcontent; do
    man -w "$page" >/dev/null || fail "man -w $page finds no page"
done

DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq starlane >"$tmp/apt.log" 2>&1 ||
    { cat "$tmp/apt.log"; fail "apt-get purge starlane"; }
# Files must be gone; folders too, unless another package still has them.
left=""
while IFS= read -r path; do
    if [ -e "$path" ] && { [ ! -d "$path" ] || ! dpkg -S "$path" >/dev/null 2>&1; }; then left="$left $path"; fi
done <"$tmp/files"
[ -z "$left" ] || fail "left after purge:$left"
echo "package test: $(basename "$deb") installed, played 60 frames, man pages found, purged leaving nothing"
