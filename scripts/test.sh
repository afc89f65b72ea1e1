#!/usr/bin/env bash
# Installs, builds and runs every test offscreen.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"
"$here/scripts/check-layers.sh"
"$here/scripts/check-format.sh"
build="${LEDVIEW_BUILD_DIR:-$here/build}"
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure --parallel "$(nproc)" --timeout 300
