#!/bin/sh
# starlane [--data DIR]: plays Starlane. The game reads its content from, and writes
# Error.txt, screenshots and recordings into, its working directory; an installed content
# folder is not the player's to write in, so the game runs in a folder of the player's own
# ($XDG_STATE_HOME/starlane, ~/.local/state/starlane by default) with links to what it reads
# of the content: the installed one, or the folder given with --data.
# The install writes the next three lines.
game=./starlane
content=.
checker=starlane-check

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
content=$(cd "$content" && pwd -P) || exit 2

# A relative XDG_STATE_HOME is to be ignored, as the XDG base directory rules say.
case ${XDG_STATE_HOME:-} in
    /*) state=$XDG_STATE_HOME/starlane ;;
    *)
        case ${HOME:-} in
            /*) state=$HOME/.local/state/starlane ;;
            *) echo "starlane: HOME or XDG_STATE_HOME must be set (to an absolute path) for a folder to play in" >&2; exit 2 ;;
        esac ;;
esac
if [ -L "$state" ] && [ ! -d "$state" ]; then
    echo "starlane: $state is a link to $(readlink "$state"), which is not a folder; make it one, or remove the link" >&2
    exit 1
fi
mkdir -p "$state" 2>/dev/null || { echo "starlane: cannot make the folder $state" >&2; exit 1; }

# Only what the game reads is linked, each name noted in .starlane-links; the links noted there
# are the launcher's to replace, and anything else of that name is the player's and stays.
# Launches at once take turns here (flock on the folder), and each writes the list into a
# file of its own renamed into place, so that the list is always a whole one.
made=$state/.starlane-links
exec 9<"$state"
if command -v flock >/dev/null 2>&1; then flock 9; fi
list=$(mktemp "$made.XXXXXX") || { echo "starlane: cannot write into the folder $state" >&2; exit 1; }
trap 'rm -f "$list" "$list.link"' EXIT
# (Before there was such a list, a link to some .../NAME was the launcher's.)
ours() {
    [ -L "$state/$1" ] || return 1
    if [ -e "$made" ]; then grep -qxF "$1" "$made"; else case $(readlink "$state/$1") in */"$1") ;; *) return 1 ;; esac; fi
}
# A link of ours is replaced by renaming a new one over it, so that a game starting in the
# folder meanwhile never finds the name missing.
for name in palette.pal Graphics Enemies DeploymentOrders; do
    if [ ! -e "$content/$name" ]; then
        if ours "$name"; then rm -f "$state/$name"; fi
    elif ours "$name" || { [ ! -e "$state/$name" ] && [ ! -L "$state/$name" ]; }; then
        rm -f "$list.link"
        ln -s "$content/$name" "$list.link" && mv -fT "$list.link" "$state/$name" && echo "$name" >>"$list"
    else
        echo "starlane: $state/$name is your own and is played instead of $content/$name" >&2
    fi
done
chmod 644 "$list"
mv -f "$list" "$made"
exec 9<&-

# A recording written through a link would land in the content and could spoil it.
if [ -n "${STARLANE_RECORD:-}" ]; then
    target=$(cd "$state" && realpath -m -- "$STARLANE_RECORD")
    case $target in
        "$content" | "$content"/*)
            echo "starlane: STARLANE_RECORD=$STARLANE_RECORD is in the content ($content); name a file of your own" >&2
            exit 2 ;;
    esac
fi

echo "starlane: playing in $state (Error.txt, screenshots and recordings go there)" >&2
cd "$state" || exit 1
# The game itself says nothing here; a start-up that fails (exit code 1) is told in one line,
# with the innermost cause: the log's chain starts with it.
"$game"
code=$?
if [ "$code" = 1 ]; then
    echo "starlane: start-up failed: $(head -n 1 Error.txt 2>/dev/null); run $checker '$content'" >&2
fi
exit "$code"
