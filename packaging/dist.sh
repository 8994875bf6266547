#!/usr/bin/env bash
# Packs the release archives:
#   dist/starlane-linux-x86_64.tar.gz   the game, the replay tool, the content checker and the
#                                       content builder, beside the content, README.txt and LICENSE.txt
#   dist/starlane-windows.zip           starlane.exe beside the content, README.txt and LICENSE.txt
#   dist/starlane-web.zip               the web build's site (page, script, wasm, packed content,
#                                       the web app's files and the studio), for any static web
#                                       host (when build-web/ is built)
# Both unpack into a folder starlane/ that is the game's working directory: the game finds
# palette.pal, Graphics/, Enemies/ and DeploymentOrders/ there and writes its Error.txt there.
#
#   packaging/dist.sh [--linux-only] [--build DIR] [--windows-build DIR] [--out DIR]
#
# `make dist` builds both systems first and runs this; the release test runs it with
# --linux-only.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/packaging/copy_content.sh"
build=$root/build
windows_build=$root/build-windows
out=$root/dist
linux_only=0
while [ $# -gt 0 ]; do
    case $1 in
        --linux-only) linux_only=1 ;;
        --build) build=$2; shift ;;
        --windows-build) windows_build=$2; shift ;;
        --out) out=$2; shift ;;
        *) echo "usage: packaging/dist.sh [--linux-only] [--build DIR] [--windows-build DIR] [--out DIR]" >&2; exit 2 ;;
    esac
    shift
done

tmp=$(mktemp -d /tmp/starlane-dist-XXXXXX)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"

# The content as it is checked in: the game's files and the sources they are built from
# (.sheet and .colors, small, and what a modder edits). Nothing the game wrote comes along.
stage() {
    local dir=$tmp/$1/starlane
    mkdir -p "$dir/docs"
    copy_content "$root/data" "$dir"
    cp "$root/packaging/release-readme.txt" "$dir/README.txt"
    cp "$root/README.md" "$dir/README.md"
    cp "$root/LICENSE" "$dir/LICENSE.txt"
    cp "$root/docs/screenshot.png" "$root"/docs/*.md "$dir/docs/"
    echo "$dir"
}

for tool in starlane starlane-replay starlane-check mkcontent; do
    [ -x "$build/$tool" ] || { echo "dist.sh: $build/$tool is not built" >&2; exit 1; }
done
"$build/starlane-check" "$root/data" || { echo "dist.sh: the content does not pass starlane-check" >&2; exit 1; }

linux=$(stage linux)
for tool in starlane starlane-replay starlane-check mkcontent; do
    cp "$build/$tool" "$linux/"
    strip --strip-unneeded "$linux/$tool" 2>/dev/null || true
done
tar czf "$out/starlane-linux-x86_64.tar.gz" -C "$tmp/linux" --owner=0 --group=0 starlane
echo "wrote $out/starlane-linux-x86_64.tar.gz"

[ $linux_only = 1 ] && exit 0

[ -f "$windows_build/starlane.exe" ] || { echo "dist.sh: $windows_build/starlane.exe is not built (make windows)" >&2; exit 1; }
command -v zip >/dev/null || { echo "dist.sh: zip is not installed" >&2; exit 1; }
windows=$(stage windows)
cp "$windows_build/starlane.exe" "$windows/"
# The content checker and builder, for Windows modders too.
for tool in starlane-check mkcontent; do
    [ -f "$windows_build/$tool.exe" ] || { echo "dist.sh: $windows_build/$tool.exe is not built (make windows)" >&2; exit 1; }
    cp "$windows_build/$tool.exe" "$windows/"
done
# CR LF line ends, so that every Windows editor shows the read-me as lines.
sed -i 's/$/\r/' "$windows/README.txt" "$windows/LICENSE.txt"
rm -f "$out/starlane-windows.zip"
(cd "$tmp/windows" && zip -qr -X "$out/starlane-windows.zip" starlane)
echo "wrote $out/starlane-windows.zip"

# The site as the web build lists it (site-files.txt): the pages, script, wasm, content, the
# web app's manifest, icons and service worker; the local server serves the same files.
site=$root/build-web
if [ -f "$site/starlane.wasm" ]; then
    [ -f "$site/site-files.txt" ] || { echo "dist.sh: $site/site-files.txt is missing (make web)" >&2; exit 1; }
    mkdir -p "$tmp/web/starlane"
    (cd "$site" && tr '\n' '\0' < site-files.txt | xargs -0 cp --parents -t "$tmp/web/starlane")
    cp "$root/LICENSE" "$tmp/web/starlane/LICENSE.txt"
    rm -f "$out/starlane-web.zip"
    (cd "$tmp/web" && zip -qr -X "$out/starlane-web.zip" starlane)
    echo "wrote $out/starlane-web.zip"
fi
