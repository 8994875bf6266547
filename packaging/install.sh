#!/usr/bin/env bash
# Installs Starlane like a Linux game, or takes it away again:
#
#   packaging/install.sh install [--debian] BUILD_DIR PREFIX [DESTDIR]
#   packaging/install.sh uninstall PREFIX [DESTDIR]
#
#   PREFIX/bin/starlane                 the launcher (packaging/starlane.sh)
#   PREFIX/bin/starlane-replay, starlane-check, starlane-mkcontent
#   PREFIX/lib/starlane/starlane        the game, started by the launcher
#   PREFIX/lib/starlane/install_manifest.txt   what this install wrote
#   PREFIX/share/starlane/              the content, with its sources
#   PREFIX/share/applications/starlane.desktop, PREFIX/share/metainfo/...metainfo.xml
#   PREFIX/share/icons/hicolor/NxN/apps/starlane.png, made from the ship by mkcontent icon
#   PREFIX/share/man/man6/starlane.6, man1/starlane-*.1, PREFIX/share/doc/starlane/README.md and LICENSE
#   and docs/ (the manual it links to)
#
# --debian is Debian's layout for games, for the package (debian/rules): bin/ and lib/starlane
# become games/ and lib/games/starlane, share/starlane is share/games/starlane, the binaries are
# left for dh_strip, and dpkg keeps the list of files instead of the manifest.
#
# The manifest holds a line per file, its SHA-256 and its path under PREFIX, and a line per
# folder the install made. Uninstalling removes exactly those files, then those folders once
# empty; a file changed since it was installed, or one that is not Starlane's, stays, and is
# named. Installing over an older install removes what the new one no longer has, and keeps
# a file changed since it was installed, the new one written beside it as FILE.new.
#
# DESTDIR stages the files elsewhere (for packaging); the paths written into the launcher
# and the desktop entry are PREFIX's. `make install` and `make uninstall` run this.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/packaging/copy_content.sh"
usage() {
    echo "usage: install.sh install [--debian] BUILD_DIR PREFIX [DESTDIR] | uninstall PREFIX [DESTDIR]" >&2
    exit 2
}
fail() {
    echo "install.sh: $*" >&2
    exit 1
}
mode=${1:-}
layout=local
[ $# -ge 1 ] && shift
if [ "$mode" = install ] && [ "${1:-}" = --debian ]; then
    layout=debian
    shift
fi
case $mode in
    install) [ $# -ge 2 ] && [ $# -le 3 ] || usage; build=$1; prefix=$2; destdir=${3:-} ;;
    uninstall) [ $# -ge 1 ] && [ $# -le 2 ] || usage; prefix=$1; destdir=${2:-} ;;
    *) usage ;;
esac
nl='
'
# Any other character is quoted where the paths are written, so such a PREFIX works.
for name in PREFIX DESTDIR; do
    value=$prefix
    [ $name = DESTDIR ] && value=$destdir
    case $value in *"$nl"*) fail "$name contains a line break; give a path without one" ;; esac
done
[ -n "$prefix" ] || fail "PREFIX is empty (is HOME set?); give one, such as PREFIX=/usr/local"
case $prefix in /*) ;; *) fail "PREFIX=$prefix is not an absolute path; give one, such as PREFIX=\$HOME/.local" ;; esac
case $destdir in "" | /*) ;; *) fail "DESTDIR=$destdir is not an absolute path" ;; esac
prefix=${prefix%/}
to=$destdir$prefix

if [ $layout = debian ]; then
    bin=games lib=lib/games/starlane share=share/games/starlane
else
    bin=bin lib=lib/starlane share=share/starlane
fi
manifest=$lib/install_manifest.txt
icon_sizes="16 32 48 64"
appid=io.github.starlane.starlane
read -r version date < <(bash "$root/packaging/version.sh") || true
[ -n "$version" ] || exit 1

# The old manifest ($old) lines: "HASH  PATH" for a file, "-  PATH/" for a folder, paths under
# PREFIX. A line that leaves PREFIX is not followed.
read_manifest() {
    local line path
    while IFS= read -r line; do
        path=${line#*  }
        case /$path/ in */../* | //*) echo "install.sh: $manifest: skipping $path, outside $prefix" >&2; continue ;; esac
        printf '%s\n' "$line"
    done <"$old"
}

# Removes the old manifest's entries that are not in the list of paths $1 (all of them, given
# an empty one): its files when unchanged, then its folders once empty, deepest first. Says
# what stays and why; returns 1 if anything does.
remove_entries() {
    local keep_list=$1 line hash path f kept=0
    read_manifest | sed 's/^[^ ]*  //' >"$tmp/old-paths"
    while IFS= read -r line; do
        hash=${line%%  *} path=${line#*  }
        [ "$hash" = - ] && continue
        [ -e "$to/$path" ] || [ -L "$to/$path" ] || continue
        grep -qxF -- "$path" "$keep_list" && continue
        if [ -L "$to/$path" ]; then
            echo "  kept $prefix/$path: a link, not the file installed"
            kept=1
        elif [ "$(sha256sum <"$to/$path" | cut -d' ' -f1)" != "$hash" ]; then
            echo "  kept $prefix/$path: changed since it was installed"
            kept=1
        else
            rm -f -- "$to/$path"
        fi
    done < <(read_manifest)
    while IFS= read -r path; do
        grep -qxF -- "$path" "$keep_list" && continue
        rmdir -- "$to/$path" 2>/dev/null && continue
        [ -d "$to/$path" ] || continue
        kept=1
        while IFS= read -r f; do
            [ -d "$to/$path$f" ] && f=$f/
            grep -qxF -- "$path$f" "$tmp/old-paths" || echo "  kept $prefix/$path$f: not installed by Starlane"
        done < <(find "$to/$path" -mindepth 1 -maxdepth 1 -printf '%P\n')
    done < <(grep '/$' "$tmp/old-paths" | awk '{ print length, $0 }' | sort -rn | cut -d' ' -f2-)
    return $kept
}

tmp=$(mktemp -d /tmp/starlane-install-XXXXXX)
trap 'rm -rf "$tmp"' EXIT
old=$tmp/old-manifest
if [ -f "$to/$manifest" ]; then cp "$to/$manifest" "$old"; else : >"$old"; fi

if [ "$mode" = uninstall ]; then
    [ -f "$to/$manifest" ] || fail "no Starlane install in $prefix ($prefix/$manifest is missing); nothing removed"
    rm -f -- "$to/$manifest"
    : >"$tmp/none"
    if remove_entries "$tmp/none" >"$tmp/kept"; then left=""; else left=" These stay:"; fi
    echo "Starlane taken out of $prefix.$left"
    cat "$tmp/kept"
    echo "Your own folder (~/.local/state/starlane: Error.txt, screenshots, recordings) is left as it is."
    exit 0
fi

for f in "$build/starlane" "$build/starlane-replay" "$build/starlane-check" "$build/mkcontent"; do
    [ -x "$f" ] || fail "$f is not built (make build)"
done
command -v icotool >/dev/null || fail "icotool is missing (apt-get install icoutils)"

# Everything is made in $tmp/stage first, laid out as under PREFIX, then copied file by file.
stage=$tmp/stage
mkdir -p "$stage/$bin" "$stage/$lib" "$stage/$share" "$stage/share/doc/starlane" \
    "$stage/share/applications" "$stage/share/metainfo" "$stage/share/man/man1" "$stage/share/man/man6"
cp "$build/starlane" "$stage/$lib/starlane"
cp "$build/starlane-replay" "$build/starlane-check" "$stage/$bin/"
cp "$build/mkcontent" "$stage/$bin/starlane-mkcontent"
# The content as checked in, nothing a game wrote into data/.
copy_content "$root/data" "$stage/$share"
# The front page and the manual it links to, beside it as in the source tree.
cp "$root/README.md" "$stage/share/doc/starlane/README.md"
# The licence; Debian's package says it in its copyright file instead.
[ $layout = debian ] || cp "$root/LICENSE" "$stage/share/doc/starlane/LICENSE"
mkdir -p "$stage/share/doc/starlane/docs"
cp "$root"/docs/*.md "$root/docs/screenshot.png" "$stage/share/doc/starlane/docs/"
cp "$root"/packaging/man/*.1 "$stage/share/man/man1/"
cp "$root/packaging/man/starlane.6" "$stage/share/man/man6/"

# The icon at each size, from the ship as the icon tool draws it: its .ico holds 16, 32 and
# 48 pixels, its PNG 64.
"$build/mkcontent" icon "$root/data" "$tmp" >/dev/null || fail "mkcontent icon failed"
icotool -x -o "$tmp" "$tmp/starlane.ico"
for size in $icon_sizes; do
    mkdir -p "$stage/share/icons/hicolor/${size}x$size/apps"
    if [ "$size" = 64 ]; then from=$tmp/starlane.png; else from=$(ls "$tmp"/starlane_*_"${size}x${size}x32.png"); fi
    cp "$from" "$stage/share/icons/hicolor/${size}x$size/apps/starlane.png"
done

# Paths written into the launcher, a sh script, in single quotes; into the desktop entry's
# Exec, in double quotes with ", `, $ and \ escaped by a backslash, and \ doubled again as
# the entry's strings are read, and % doubled.
sh_quote() { printf "'%s'" "$(printf '%s' "$1" | sed "s/'/'\\\\''/g")"; }
exec_quote() { printf '"%s"' "$(printf '%s' "$1" | sed -e 's/[\\"`$]/\\&/g' -e 's/\\/\\\\/g' -e 's/%/%%/g')"; }
sed_quote() { printf '%s' "$1" | sed 's/[\\&|]/\\&/g'; }
sed -e "0,/^game=/s|^game=.*|game=$(sed_quote "$(sh_quote "$prefix/$lib/starlane")")|" \
    -e "0,/^content=/s|^content=.*|content=$(sed_quote "$(sh_quote "$prefix/$share")")|" \
    -e "0,/^checker=/s|^checker=.*|checker=$(sed_quote "$(sh_quote "$prefix/$bin/starlane-check")")|" \
    "$root/packaging/starlane.sh" >"$stage/$bin/starlane"
chmod 755 "$stage/$bin/starlane"
sed -e "s|@LAUNCHER@|$(sed_quote "$(exec_quote "$prefix/$bin/starlane")")|" \
    "$root/packaging/starlane.desktop" >"$stage/share/applications/starlane.desktop"
# The screenshot is a web address under the home page, given as STARLANE_HOMEPAGE.
homepage=${STARLANE_HOMEPAGE:-}
if [ -n "$homepage" ]; then web=(-e "s|@HOMEPAGE@|$(sed_quote "${homepage%/}")|g"); else
    web=(-e '/<url type="homepage">/d' -e '/<screenshots>/,/<\/screenshots>/d'); fi
sed -e "s|@VERSION@|$version|" -e "s|@DATE@|$date|" "${web[@]}" \
    "$root/packaging/starlane.metainfo.xml" >"$stage/share/metainfo/$appid.metainfo.xml"

# What the last install wrote, by path: a file there whose hash is no longer this one was
# changed since (by the player, say), and is kept.
declare -A installed=()
while IFS= read -r line; do installed[${line#*  }]=${line%%  *}; done < <(read_manifest)
ours_as_installed() {   # $1 under PREFIX: missing, as the last install left it, or as $2 is
    [ ! -e "$to/$1" ] && [ ! -L "$to/$1" ] && return 0
    [ -L "$to/$1" ] && return 1
    [ "${installed[$1]:-}" = "$(sha256sum <"$to/$1" | cut -d' ' -f1)" ] || cmp -s -- "$2" "$to/$1"
}

# Into place: each file with its mode, each new folder noted. A file the player changed stays
# as it is (noted with its old hash, so that uninstall keeps it too), the new one beside it.
(cd "$stage" && find . -mindepth 1 -printf '%P\n' | LC_ALL=C sort) >"$tmp/paths"
: >"$tmp/manifest"
: >"$tmp/changed"
while IFS= read -r path; do
    if [ -d "$stage/$path" ]; then
        [ -d "$to/$path" ] && ! grep -qxF -- "-  $path/" "$old" && continue
        install -d -m 755 -- "$to/$path"
        printf -- '-  %s/\n' "$path" >>"$tmp/manifest"
        continue
    fi
    perm=644
    [ -x "$stage/$path" ] && perm=755
    strip=
    [ $layout = local ] && [ $perm = 755 ] && [ "$path" != "$bin/starlane" ] && strip=-s
    into=$path
    if [ $layout = local ] && ! ours_as_installed "$path" "$stage/$path"; then
        printf '%s  %s\n' "${installed[$path]:-not-installed}" "$path" >>"$tmp/manifest"
        echo "  kept $prefix/$path: changed since it was installed; the new one is $prefix/$path.new" >>"$tmp/changed"
        into=$path.new
    fi
    install $strip -m $perm -- "$stage/$path" "$to/$into"
    printf '%s  %s\n' "$(sha256sum <"$to/$into" | cut -d' ' -f1)" "$into" >>"$tmp/manifest"
done <"$tmp/paths"
if [ -s "$tmp/changed" ]; then
    echo "Files you changed:"
    cat "$tmp/changed"
fi

if [ $layout = local ]; then
    # What the last install had and this one has not goes now; what it kept is said.
    sed 's/^[^ ]*  //' "$tmp/manifest" >"$tmp/new"
    remove_entries "$tmp/new" >"$tmp/kept" || { echo "From the earlier install:"; cat "$tmp/kept"; }
    cp "$tmp/manifest" "$to/$manifest"
    chmod 644 "$to/$manifest"
fi
echo "Starlane $version installed in $prefix: run $prefix/$bin/starlane, or find it among your games."
