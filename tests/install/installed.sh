#!/usr/bin/env bash
# Starlane installed as a player installs it: `make install-files` (what `make install` runs
# once it has built) into a scratch PREFIX named with a space and both quotes, the content
# made read-only as under /usr/local; the installed launcher runs the game (SDL's dummy video
# driver, 60 frames) in the player's own folder, from the installed content and from a
# content folder named with --data, and 40 times at once; a table of what the launcher must
# refuse or say; a reinstall over an older one and over a file the player changed; then
# `make uninstall` must leave only the player's files.
#
#   tests/install/installed.sh BUILD_DIR
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$1
command -v icotool >/dev/null || { echo "install test: skipped, icotool is missing (make deps)"; exit 77; }
tmp=$(mktemp -d /tmp/starlane-install-XXXXXX)
trap 'chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT
fail() { echo "install test: FAILED: $*" >&2; exit 1; }
prefix="$tmp/my games/Bob's \"best\""
export XDG_STATE_HOME=$tmp/state
state=$XDG_STATE_HOME/starlane
content=$prefix/share/starlane
install_files() { make -s -C "$root" --no-print-directory install-files BUILD_DIR="$build" "$@"; }

install_files PREFIX="$prefix" >/dev/null
for f in bin/starlane bin/starlane-replay bin/starlane-check bin/starlane-mkcontent lib/starlane/starlane \
         share/starlane/palette.pal share/starlane/Graphics/MasterGraphics.txt share/doc/starlane/README.md share/doc/starlane/docs/modding.md \
         share/man/man6/starlane.6 share/man/man1/starlane-check.1 share/icons/hicolor/16x16/apps/starlane.png \
         share/icons/hicolor/64x64/apps/starlane.png share/metainfo/io.github.starlane.starlane.metainfo.xml; do
    [ -e "$prefix/$f" ] || fail "$f is not installed"
done
entry=$prefix/share/applications/starlane.desktop
grep -qxF 'Exec="'"${prefix//\"/\\\\\"}"'/bin/starlane"' "$entry" || fail "the desktop entry does not start the launcher"
grep -qx 'Icon=starlane' "$entry" || fail "the desktop entry does not name its icon"
chmod -R a-w "$content"

run() {   # the launcher, 60 frames: its exit code in $code, its words on stderr in $said
    code=0
    SDL_VIDEODRIVER=dummy STARLANE_TIMING="$tmp/presents.txt:60" timeout 60 "$@" 2>"$tmp/said" || code=$?
    said=$(cat "$tmp/said")
}
play() {
    run "$prefix/bin/starlane" "$@"
    [ "$code" = 0 ] || fail "starlane $* exited with $code: $said"
    [[ $said == *"playing in $state "* ]] || fail "the launcher did not say where: $said"
    [ -e "$state/Error.txt" ] && [ ! -s "$state/Error.txt" ] || fail "no empty Error.txt in $state"
    [ "$(wc -l <"$tmp/presents.txt")" -eq 60 ] || fail "the game did not show 60 frames"
}
play
[ ! -e "$content/Error.txt" ] || fail "the game wrote into the installed content"
[ "$(readlink "$state/palette.pal")" = "$content/palette.pal" ] || fail "not the installed content"
[ "$(find "$state" -type l -printf '%f ' | tr ' ' '\n' | sort | tr '\n' ' ')" = \
  "DeploymentOrders Enemies Graphics palette.pal " ] || fail "links other than the content the game reads"
cp -r "$root/data" "$tmp/mine"
rm -f "$tmp/mine/Error.txt" "$tmp/mine"/*.rec   # left by a game played in data/, not by this one
ln -s "$tmp/mine/palette.colors" "$state/colours"   # the player's own link
play --data "$tmp/mine"
[ "$(readlink "$state/palette.pal")" = "$tmp/mine/palette.pal" ] || fail "--data was not followed"
[ -L "$state/colours" ] || fail "the player's own link is gone"
[ ! -e "$tmp/mine/Error.txt" ] || fail "the game wrote into the content folder"

# Launches at once, 20 of the installed content beside 20 of --data: the launcher's list of
# its links stays whole, so that the next --data game plays that folder and nothing else.
pids=()
for i in $(seq 20); do
    SDL_VIDEODRIVER=dummy STARLANE_TIMING="$tmp/a$i:2" "$prefix/bin/starlane" 2>>"$tmp/at-once" & pids+=($!)
    SDL_VIDEODRIVER=dummy STARLANE_TIMING="$tmp/b$i:2" "$prefix/bin/starlane" --data "$tmp/mine" 2>>"$tmp/at-once" &
    pids+=($!)
done
failed=0
for pid in "${pids[@]}"; do wait "$pid" || failed=$((failed + 1)); done
[ $failed = 0 ] || fail "$failed of 40 launches at once failed: $(grep -v 'playing in' "$tmp/at-once" | sort -u | head -3)"
[ "$(sort "$state/.starlane-links" | tr '\n' ' ')" = "DeploymentOrders Enemies Graphics palette.pal " ] ||
    fail "after 40 launches at once the list of links is: $(cat "$state/.starlane-links")"
play --data "$tmp/mine"
for name in palette.pal Graphics Enemies DeploymentOrders; do
    [ "$(readlink "$state/$name")" = "$tmp/mine/$name" ] || fail "after launches at once $name is not --data's"
done
[ -z "$(find "$state" -name '.starlane-links?*')" ] || fail "a launcher's temporary list was left"

# What the launcher says, one line and an exit code for each.
cp -r "$tmp/mine" "$tmp/broken"
rm "$tmp/broken/Graphics/Dart.bmp"
mkdir "$tmp/state2" && ln -s "$tmp/nowhere" "$tmp/state2/starlane"
touch "$tmp/stamp"
rows=(
    "2|is not a content folder|$prefix/bin/starlane --data $tmp/nowhere"
    "2|STARLANE_RECORD=palette.pal is in the content|env STARLANE_RECORD=palette.pal $prefix/bin/starlane --data $tmp/mine"
    "2|STARLANE_RECORD=Graphics/mine.rec is in the content|env STARLANE_RECORD=Graphics/mine.rec $prefix/bin/starlane"
    "2|HOME or XDG_STATE_HOME must be set|env -u HOME -u XDG_STATE_HOME $prefix/bin/starlane"
    "1|$tmp/state2/starlane is a link to $tmp/nowhere, which is not a folder|env XDG_STATE_HOME=$tmp/state2 $prefix/bin/starlane"
    "1|start-up failed: loadBitmapFile:  error opening file; run $prefix/bin/starlane-check '$tmp/broken'|$prefix/bin/starlane --data $tmp/broken"
)
for row in "${rows[@]}"; do
    IFS='|' read -r want_code want command <<<"$row"
    # The command's words are split at spaces that are not in the prefix.
    read -r -a words <<<"${command//"$prefix"/@PREFIX@}"
    words=("${words[@]//@PREFIX@/$prefix}")
    run "${words[@]}"
    said=$(grep -v "^starlane: playing in " <<<"$said" || true)
    [ "$code" = "$want_code" ] && [[ $said == *"$want"* ]] && [ "$(wc -l <<<"$said")" = 1 ] ||
        fail "${words[*]}: exit $code, said: $said (wanted $want_code and: $want)"
done
[ -z "$(find "$tmp/mine" "$content" -newer "$tmp/stamp" -not -type d)" ] || fail "something was written into the content"
# A recording that cannot be made is refused before anything is played.
rm -f "$tmp/presents.txt"
run env STARLANE_RECORD="$(printf %0251d 0)" "$prefix/bin/starlane"
[ "$code" = 1 ] && [[ $said == *": File name too long"* ]] && [ ! -e "$tmp/presents.txt" ] ||
    fail "a STARLANE_RECORD name too long: exit $code, said: $said"

# A reinstall over an older install: a file only the old one had goes (the older install is
# made by noting a file in the manifest), a player's file in the content folder stays.
chmod -R u+w "$content"
manifest=$prefix/lib/starlane/install_manifest.txt
echo old >"$content/Graphics/Old.bmp"
echo "$(sha256sum <"$content/Graphics/Old.bmp" | cut -d' ' -f1)  share/starlane/Graphics/Old.bmp" >>"$manifest"
echo "my notes" >"$content/notes.txt"
install_files PREFIX="$prefix" >/dev/null
[ ! -e "$content/Graphics/Old.bmp" ] || fail "the reinstall left a file the new version does not have"
# One the player changed stays, and the new one is written beside it and said.
echo "Dart = my own" >>"$content/Enemies/MasterEnemies.txt"
changed=$(cat "$content/Enemies/MasterEnemies.txt")
install_files PREFIX="$prefix" >"$tmp/said"
grep -qxF "  kept $content/Enemies/MasterEnemies.txt: changed since it was installed; the new one is $content/Enemies/MasterEnemies.txt.new" "$tmp/said" &&
    [ "$(cat "$content/Enemies/MasterEnemies.txt")" = "$changed" ] &&
    cmp -s "$content/Enemies/MasterEnemies.txt.new" "$root/data/Enemies/MasterEnemies.txt" ||
    fail "a reinstall over a changed file: $(cat "$tmp/said")"

# PREFIX that the script refuses, one line each; one that is text for the shell stays a path.
for bad in "relative/games|is not an absolute path" "|PREFIX is empty"; do
    if install_files PREFIX="${bad%%|*}" 2>"$tmp/said"; then fail "PREFIX=${bad%%|*} was taken"; fi
    grep -q "${bad#*|}" "$tmp/said" && [ "$(grep -vc '^make' "$tmp/said")" = 1 ] || fail "PREFIX=${bad%%|*}: $(cat "$tmp/said")"
done
[ ! -e "$root/relative" ] || fail "a relative PREFIX installed into the source tree"
install_files PREFIX="$tmp/x\"; touch $tmp/injected; \"" >/dev/null
[ ! -e "$tmp/injected" ] && [ -x "$tmp/x\"; touch $tmp/injected; \"/bin/starlane" ] || fail "PREFIX was read as a command"

make -s -C "$root" --no-print-directory uninstall PREFIX="$prefix" >"$tmp/said"
grep -qF "kept $content/notes.txt: not installed by Starlane" "$tmp/said" || fail "uninstall: $(cat "$tmp/said")"
left=$(find "$tmp/my games" -not -type d | sort | tr '\n' ' ')
[ "$left" = "$content/Enemies/MasterEnemies.txt $content/notes.txt " ] || fail "left behind: $left"
[ -z "$(find "$tmp/my games" -type d -empty)" ] || fail "empty folders left: $(find "$tmp/my games" -type d -empty)"
echo "install test: installed, played from the launcher, refused what it must, reinstalled, uninstalled"
