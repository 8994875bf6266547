#!/usr/bin/env bash
# Installs Starlane like a Linux game, or takes it away again:
#
#   tools/install/install.sh install BUILD_DIR PREFIX [DESTDIR]
#   tools/install/install.sh uninstall PREFIX [DESTDIR]
#
#   PREFIX/bin/starlane                 the launcher (tools/install/starlane.sh)
#   PREFIX/bin/starlane-replay, starlane-check, starlane-mkcontent
#   PREFIX/lib/starlane/starlane        the game, started by the launcher
#   PREFIX/share/starlane/              the content, with its sources
#   PREFIX/share/applications/starlane.desktop, PREFIX/share/icons/hicolor/64x64/apps/starlane.png
#   PREFIX/share/doc/starlane/README.md
#
# DESTDIR stages the files elsewhere (for packaging); the paths written into the launcher
# and the desktop entry are PREFIX's. `make install` and `make uninstall` run this.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tools/copy_content.sh"
mode=${1:-}
case $mode in
    install) [ $# -ge 3 ] || mode=bad; build=${2:-}; prefix=${3:-}; destdir=${4:-} ;;
    uninstall) [ $# -ge 2 ] || mode=bad; prefix=${2:-}; destdir=${3:-} ;;
    *) mode=bad ;;
esac
if [ "$mode" = bad ] || [ "${prefix#/}" = "$prefix" ]; then
    echo "usage: install.sh install BUILD_DIR /PREFIX [DESTDIR] | uninstall /PREFIX [DESTDIR]" >&2
    exit 2
fi
to=$destdir$prefix
tools="starlane-replay starlane-check starlane-mkcontent"
desktop=share/applications/starlane.desktop
icon=share/icons/hicolor/64x64/apps/starlane.png

if [ "$mode" = uninstall ]; then
    rm -f "$to/bin/starlane" "$to/$desktop" "$to/$icon"
    for tool in $tools; do rm -f "$to/bin/$tool"; done
    rm -rf "$to/lib/starlane" "$to/share/starlane" "$to/share/doc/starlane"
    echo "Starlane taken out of $prefix. Your own folder (~/.local/state/starlane: Error.txt," \
         "screenshots, recordings) is left as it is."
    exit 0
fi

for f in "$build/starlane" "$build/starlane-replay" "$build/starlane-check" "$build/mkcontent"; do
    [ -x "$f" ] || { echo "install.sh: $f is not built (make build)" >&2; exit 1; }
done
[ -f "$root/res/starlane.png" ] || { echo "install.sh: res/starlane.png is missing (mkcontent icon data res)" >&2; exit 1; }

install -d "$to/bin" "$to/lib/starlane" "$to/share/starlane" "$to/share/doc/starlane" \
    "$to/share/applications" "$to/${icon%/*}"
install -s -m 755 "$build/starlane" "$to/lib/starlane/starlane"
install -s -m 755 "$build/starlane-replay" "$to/bin/starlane-replay"
install -s -m 755 "$build/starlane-check" "$to/bin/starlane-check"
install -s -m 755 "$build/mkcontent" "$to/bin/starlane-mkcontent"
# The content as checked in, nothing a game wrote into data/.
copy_content "$root/data" "$to/share/starlane"
chmod -R u+rwX,go+rX,go-w "$to/share/starlane"
install -m 644 "$root/README.md" "$to/share/doc/starlane/README.md"
install -m 644 "$root/res/starlane.png" "$to/$icon"

quote() { printf '%s' "$1" | sed 's/[\\&|]/\\&/g'; }
sed -e "s|@GAME@|$(quote "$prefix/lib/starlane/starlane")|" \
    -e "s|@CONTENT@|$(quote "$prefix/share/starlane")|" \
    "$root/tools/install/starlane.sh" > "$to/bin/starlane"
chmod 755 "$to/bin/starlane"
sed -e "s|@LAUNCHER@|$(quote "$prefix/bin/starlane")|" -e "s|@ICON@|$(quote "$prefix/$icon")|" \
    "$root/tools/install/starlane.desktop" > "$to/$desktop"
chmod 644 "$to/$desktop"
echo "Starlane installed in $prefix: run $prefix/bin/starlane, or find it among your games."
