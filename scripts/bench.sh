#!/usr/bin/env bash
# Installs what is missing, builds in Release (build-release/) and runs every
# benchmark, writing console output and JSON to bench-results/ (or RESULTS_DIR).
# Usage: scripts/bench.sh [RESULTS_DIR] [benchmark arguments, e.g. --benchmark_filter=Journal]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
results="${1:-$here/bench-results}"
shift || true
build="${LEDVIEW_BENCH_BUILD_DIR:-$here/build-release}"
LEDVIEW_BUILD_DIR="$build" "$here/scripts/setup.sh" -DCMAKE_BUILD_TYPE=Release -DLEDVIEW_TESTS=OFF -DLEDVIEW_BENCH=ON
mkdir -p "$results"
echo "nproc $(nproc); $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'); $(free -g | awk '/Mem:/ {print $2}') GB;" \
     "load $(cut -d' ' -f1-3 /proc/loadavg)" | tee "$results/machine.txt"
export QT_QPA_PLATFORM=offscreen
# The journal figures are short: three repetitions, medians reported. The list
# benchmarks fix their own iterations (a 1,000,000-line build takes seconds).
run() {
  local bench=$1; shift
  "$build/bench/$bench" --benchmark_out="$results/$bench.json" --benchmark_out_format=json "$@" \
    | tee "$results/$bench.txt"
}
repeat=(--benchmark_repetitions=3 --benchmark_report_aggregates_only=true)
run bench_journal "${repeat[@]}" "$@"
run bench_journal_pdf "${repeat[@]}" "$@"
run bench_search_list "$@"
