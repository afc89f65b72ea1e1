#!/usr/bin/env bash
# Builds the Debian package from the build folder (scripts/package.sh, which runs
# lintian and fails on an error) and checks what the package declares.
# Usage: check_package.sh SOURCE_DIR BUILD_DIR      (exit 77: skipped, a tool is missing)
set -euo pipefail
source_dir=$1
build=$2

for tool in dpkg-deb dpkg-shlibdeps lintian; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (scripts/setup.sh installs it)"
    exit 77
  fi
done

deb=$("$source_dir/scripts/package.sh" --no-build "$build")
[[ $(basename "$deb") =~ ^ledview_[0-9][^_]*_$(dpkg --print-architecture)\.deb$ ]] || { echo "FAIL: package name $deb"; exit 1; }

depends=$(dpkg-deb -f "$deb" Depends)
for needed in libc6 libqt6core6 libqt6widgets6 libqt6sql6 libsqlite3-0 libqt6sql6-sqlite libqt6sql6-psql; do
  [[ ", $depends," == *", $needed "* || ", $depends," == *", $needed,"* ]] ||
    { echo "FAIL: Depends lacks $needed: $depends"; exit 1; }
done
contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/ledview ./usr/bin/ledview-cli ./usr/share/applications/ledview.desktop \
            ./usr/share/doc/ledview/copyright ./usr/share/man/man1/ledview.1.gz; do
  grep -q " $path\$" <<<"$contents" || { echo "FAIL: the package lacks $path"; exit 1; }
done
echo "package checked: $deb"
