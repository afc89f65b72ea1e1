#!/usr/bin/env bash
# Installs what the build needs (only what is missing) and builds ledview into build/.
# Usage: scripts/setup.sh [extra cmake arguments]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

packages=(cmake ninja-build g++ qt6-base-dev libqt6sql6-sqlite libsqlite3-dev
          libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth poppler-utils fonts-dejavu-core fonts-liberation2)
# The install and package checks: desktop entry, Debian package, shell completion.
packages+=(desktop-file-utils dpkg-dev lintian bash-completion)
# The layout checks that the tests run first.
packages+=(clang-format)
# A billing database on a server: Qt's driver, and the server the tests start for themselves.
packages+=(libqt6sql6-psql libpq-dev postgresql)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}" >/dev/null
fi

build="${LEDVIEW_BUILD_DIR:-$here/build}"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
