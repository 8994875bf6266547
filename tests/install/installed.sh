#!/usr/bin/env bash
# Starlane installed as a player installs it: `make install-files` (what `make install` runs
# once it has built) into a scratch PREFIX, the content made read-only as under /usr/local;
# the installed launcher runs the game (SDL's dummy video driver, 60 frames) in the player's
# own folder, from the installed content and from a content folder named with --data; then
# `make uninstall` must leave no file behind.
#
#   tests/install/installed.sh BUILD_DIR
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$1
tmp=$(mktemp -d /tmp/starlane-install-XXXXXX)
trap 'chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT
fail() { echo "install test: FAILED: $*" >&2; exit 1; }
prefix=$tmp/prefix
export XDG_STATE_HOME=$tmp/state
state=$XDG_STATE_HOME/starlane

make -s -C "$root" --no-print-directory install-files BUILD_DIR="$build" PREFIX="$prefix" >/dev/null
for f in bin/starlane bin/starlane-replay bin/starlane-check bin/starlane-mkcontent lib/starlane/starlane \
         share/starlane/palette.pal share/starlane/Graphics/MasterGraphics.txt share/doc/starlane/README.md; do
    [ -e "$prefix/$f" ] || fail "$f is not installed"
done
entry=$prefix/share/applications/starlane.desktop
grep -qx "Exec=\"$prefix/bin/starlane\"" "$entry" || fail "the desktop entry does not start the launcher"
icon=$(sed -n 's/^Icon=//p' "$entry")
[ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "the icon $icon is not a PNG"
chmod -R a-w "$prefix/share/starlane"

play() {   # the launcher, 60 frames; its words on stderr in $tmp/said
    SDL_VIDEODRIVER=dummy STARLANE_TIMING="$tmp/presents.txt:60" timeout 60 "$prefix/bin/starlane" "$@" \
        2>"$tmp/said" || fail "starlane $* exited with $?: $(cat "$tmp/said")"
    grep -q "playing in $state " "$tmp/said" || fail "the launcher did not say where: $(cat "$tmp/said")"
    [ -e "$state/Error.txt" ] && [ ! -s "$state/Error.txt" ] || fail "no empty Error.txt in $state"
    [ "$(wc -l < "$tmp/presents.txt")" -eq 60 ] || fail "the game did not show 60 frames"
}
play
[ ! -e "$prefix/share/starlane/Error.txt" ] || fail "the game wrote into the installed content"
[ "$(readlink "$state/palette.pal")" = "$prefix/share/starlane/palette.pal" ] || fail "not the installed content"
cp -r "$root/data" "$tmp/mine"
rm -f "$tmp/mine/Error.txt"   # left by a run in data/, not by this one
play --data "$tmp/mine"
[ "$(readlink "$state/palette.pal")" = "$tmp/mine/palette.pal" ] || fail "--data was not followed"
[ ! -e "$tmp/mine/Error.txt" ] || fail "the game wrote into the content folder"
if "$prefix/bin/starlane" --data "$tmp/nowhere" 2>"$tmp/said"; then fail "a missing content folder was accepted"; fi
grep -q "is not a content folder" "$tmp/said" || fail "a missing content folder: $(cat "$tmp/said")"

chmod -R u+w "$prefix/share/starlane"
make -s -C "$root" --no-print-directory uninstall PREFIX="$prefix" >/dev/null
left=$(find "$prefix" -not -type d)
[ -z "$left" ] || fail "left behind: $left"
for d in lib/starlane share/starlane share/doc/starlane; do
    [ ! -e "$prefix/$d" ] || fail "$d is left behind"
done
echo "install test: installed, played from the launcher, uninstalled"
