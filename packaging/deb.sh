#!/usr/bin/env bash
# Builds the Debian package starlane_VERSION_ARCH.deb into the top of the tree and checks it:
# dpkg-buildpackage on a copy of the tree (it writes beside the folder it builds, so the copy
# is under build-deb/), debian/changelog made from the version in shell/resource.h; then
# lintian must report no error and no warning, and the package's metainfo and desktop entry
# must validate. `make deb` runs this.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
read -r version date < <(bash "$root/packaging/version.sh") || true
[ -n "$version" ] || exit 1
arch=$(dpkg --print-architecture)
deb=starlane_${version}_$arch.deb
work=$root/build-deb
src=$work/starlane-$version

# The tree as git sees it (with changes not yet committed), nothing built or ignored.
rm -rf "$work"
mkdir -p "$src"
(cd "$root" && git ls-files -z --cached --others --exclude-standard |
    xargs -0 sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh |
    tar cf - --null -T -) | (cd "$src" && tar xf -)
sed -e "s|@VERSION@|$version|" -e "s|@DATE@|$(date -u -R -d "$date 12:00")|" \
    "$root/debian/changelog.in" >"$src/debian/changelog"
(cd "$src" && dpkg-buildpackage -b -us -uc >"$work/build.log" 2>&1) ||
    { tail -n 30 "$work/build.log"; echo "deb.sh: dpkg-buildpackage failed (all of it: $work/build.log)" >&2; exit 1; }
cp "$work/$deb" "$root/$deb"
echo "built $deb ($(stat -c %s "$root/$deb") bytes)"

# The checks: lintian's errors and warnings fail, its informational tags are shown.
lintian --display-info "$root/$deb" | tee "$work/lintian.txt"
if grep -q '^[EW]: ' "$work/lintian.txt"; then echo "deb.sh: lintian has errors or warnings" >&2; exit 1; fi
unpacked=$work/unpacked
dpkg-deb -x "$root/$deb" "$unpacked"
appstreamcli validate --no-net "$unpacked"/usr/share/metainfo/*.metainfo.xml
desktop-file-validate "$unpacked/usr/share/applications/starlane.desktop"
echo "lintian, appstreamcli and desktop-file-validate pass on $deb"
