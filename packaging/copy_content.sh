# Sourced by the release and install scripts: copy_content SRC DST copies a content folder as
# it is checked in (the game's files and their sources), leaving out what a game wrote into it:
# its log, screenshots and recordings.
copy_content() {
    (cd "$1" && tar cf - --exclude=Error.txt --exclude='starlane-*.png' --exclude='*.rec' \
        --exclude=.gitattributes .) | (cd "$2" && tar xf - --no-same-owner)
}
