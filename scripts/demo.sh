#!/usr/bin/env bash
# Installs, builds, writes a demo suite into demo/ (once) and opens ledview on it.
# Usage: scripts/demo.sh [CUSTKEY-LOCKEY]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"
build="${LEDVIEW_BUILD_DIR:-$here/build}"
suite="${LEDVIEW_DEMO_DIR:-$here/demo}"
if [ ! -f "$suite/global.mdb" ]; then
  "$build/cli/ledview-cli" demo "$suite"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "ledview is a desktop program and no display was found (DISPLAY is not set)." >&2
  echo "Run it inside a desktop session, or under a virtual display:" >&2
  echo "  xvfb-run -a scripts/demo.sh $*" >&2
  exit 1
fi
export LEDVIEW_HOME="$suite"
exec "$build/ledview" "$@"
