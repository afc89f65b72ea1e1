#!/usr/bin/env bash
# Builds the Debian package ledview_<version>_<arch>.deb from a build folder and
# checks it with lintian when lintian is installed.
# Usage: scripts/package.sh [--no-build] [BUILD_DIR]
#   BUILD_DIR defaults to $LEDVIEW_BUILD_DIR or build/; the package is written to
#   BUILD_DIR/package/. --no-build packages what is built already.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

build_it=1
if [ "${1:-}" = "--no-build" ]; then
  build_it=0
  shift
fi
build=$(realpath -m "${1:-${LEDVIEW_BUILD_DIR:-$here/build}}")

for tool in dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { echo "package.sh: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done

if [ "$build_it" = 1 ]; then
  [ -f "$build/CMakeCache.txt" ] ||
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" --target ledview ledview-cli ledview_manuals >/dev/null
fi

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
[ -n "$version" ] || { echo "package.sh: no project version in $build/CMakeCache.txt" >&2; exit 1; }

# The last commit's time stamps the changelog and the files, so a rebuild of the
# same tree gives the same package.
if SOURCE_DATE_EPOCH=$(git -C "$here" log -1 --format=%ct 2>/dev/null); then :; else
  SOURCE_DATE_EPOCH=$(date +%s)
fi
export SOURCE_DATE_EPOCH

# The package names one maintainer whoever builds it; a site may set its own.
maintainer=${LEDVIEW_MAINTAINER:-"ledview developers <ledview@example.org>"}

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
root="$stage/root"

DESTDIR="$root" cmake --install "$build" --prefix /usr --strip >/dev/null

doc="$root/usr/share/doc/ledview"
install -d "$doc"
install -m 644 "$here/packaging/copyright" "$doc/copyright"
{
  echo "ledview ($version) unstable; urgency=medium"
  echo
  echo "  * Built from the ledview source tree."
  echo
  echo " -- $maintainer  $(date -R -u -d "@$SOURCE_DATE_EPOCH")"
} | gzip -9 -n > "$doc/changelog.gz"

# The shared libraries the two programs link give the dependencies; Qt loads the
# SQLite driver as a plug-in, which no linker sees.
mkdir -p "$stage/debian"
printf 'Source: ledview\n\nPackage: ledview\nArchitecture: any\n' > "$stage/debian/control"
shlibs=$(cd "$stage" && dpkg-shlibdeps -O -e root/usr/bin/ledview -e root/usr/bin/ledview-cli 2>/dev/null |
         sed -n 's/^shlibs:Depends=//p')
[ -n "$shlibs" ] || { echo "package.sh: dpkg-shlibdeps found no dependencies" >&2; exit 1; }

find "$root" -type d -exec chmod 755 {} +
find "$root" -type f -exec chmod 644 {} +
chmod 755 "$root/usr/bin/"*

mkdir -p "$root/DEBIAN"
(cd "$root" && find usr -type f -printf '%P\n' | LC_ALL=C sort | sed 's|^|usr/|' | xargs -d '\n' md5sum) \
  > "$root/DEBIAN/md5sums"
chmod 644 "$root/DEBIAN/md5sums"
# The printed journal is laid out in twips for a face metric-compatible with Arial,
# so that face is a dependency, not a recommendation.
cat > "$root/DEBIAN/control" <<CONTROL
Package: ledview
Version: $version
Architecture: $arch
Maintainer: $maintainer
Installed-Size: $(du -sk --exclude=DEBIAN "$root" | cut -f1)
Depends: $shlibs, libqt6sql6-sqlite, libqt6sql6-psql, fonts-liberation2 | fonts-liberation
Section: misc
Priority: optional
Description: account-history viewer of a utility billing suite
 ledview shows the history journal of one customer at one service location
 from the billing suite's database: meter readings, charges and adjustments,
 payments, deposits and refunds, account edits and history comments, in
 posting-date order with a running balance. The clerk finds accounts, pages
 through them, sees balances by code, keeps history comments, corrects meter
 readings and prints.
 .
 ledview-cli prints the same journal, balances and account list on the
 command line and writes a demo suite to try the programs on.
CONTROL
chmod 644 "$root/DEBIAN/control"
find "$root" -newermt "@$SOURCE_DATE_EPOCH" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

out="$build/package"
mkdir -p "$out"
deb="$out/ledview_${version}_${arch}.deb"
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "$deb"

if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" >&2
else
  echo "package.sh: lintian is not installed; the package was not checked (scripts/setup.sh installs it)" >&2
fi
