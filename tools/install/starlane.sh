#!/bin/sh
# starlane [--data DIR]: plays Starlane. The game reads its content from, and writes
# Error.txt, screenshots and recordings into, its working directory; an installed content
# folder is not the player's to write in, so the game runs in a folder of the player's own
# ($XDG_STATE_HOME/starlane, ~/.local/state/starlane by default) that links to the content:
# the installed one, or the folder given with --data.
game='@GAME@'
content='@CONTENT@'

usage() {
    echo "usage: starlane [--data DIR]" >&2
    exit 2
}
while [ $# -gt 0 ]; do
    case $1 in
        --data) [ $# -ge 2 ] || usage; content=$2; shift 2 ;;
        --data=*) content=${1#--data=}; shift ;;
        *) usage ;;
    esac
done
if [ ! -f "$content/palette.pal" ]; then
    echo "starlane: $content is not a content folder (it has no palette.pal)" >&2
    exit 2
fi
content=$(cd "$content" && pwd) || exit 2

state=${XDG_STATE_HOME:-$HOME/.local/state}
case $state in /*) ;; *) state=$HOME/.local/state ;; esac
state=$state/starlane
mkdir -p "$state" || exit 1
# Links left from the last content folder go; what the game wrote stays.
find "$state" -maxdepth 1 -type l -exec rm -f {} +
for entry in "$content"/*; do
    name=${entry##*/}
    case $name in Error.txt | starlane-*.png) continue ;; esac
    [ -e "$state/$name" ] || ln -s "$entry" "$state/$name"
done

echo "starlane: playing in $state (Error.txt, screenshots and recordings go there)" >&2
cd "$state" || exit 1
exec "$game"
