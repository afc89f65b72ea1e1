#!/usr/bin/env bash
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/
# and runs them offscreen; any finding fails the run.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="${LEDVIEW_ASAN_DIR:-$here/build-asan}"
LEDVIEW_BUILD_DIR="$build" "$here/scripts/setup.sh" -DLEDVIEW_SANITIZE=ON -DLEDVIEW_BENCH=OFF

export QT_QPA_PLATFORM=offscreen
# Child processes (ledview-cli, the meter-entry stand-in) inherit these settings.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
export LSAN_OPTIONS=suppressions=$here/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
cd "$build"
ctest --output-on-failure --parallel "$(nproc)" --timeout 900
