#!/usr/bin/env bash
# Installs what is missing, builds in Release (build-release/) and runs every
# benchmark, writing console output and JSON to bench-results/ (or RESULTS_DIR).
# Usage: scripts/bench.sh [RESULTS_DIR] [benchmark arguments, e.g. --benchmark_filter=Journal]
# With LEDVIEW_BENCH_BEFORE naming the Release build of an older commit (kept aside,
# e.g. build-before/), the paths of the performance table are run from it as well, in
# the same minutes, and the table shows both figures.
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
  local from=$1 into=$2 bench=$3; shift 3
  mkdir -p "$into"
  "$from/bench/$bench" --benchmark_out="$into/$bench.json" --benchmark_out_format=json "$@" \
    | tee "$into/$bench.txt"
}
repeat=(--benchmark_repetitions=3 --benchmark_report_aggregates_only=true)
before="${LEDVIEW_BENCH_BEFORE:-}"
if [ -n "$before" ]; then
  # The table's paths only, old binaries first, then the same paths now.
  run "$before" "$results/before" bench_search_list --benchmark_filter='BM_Build/(200000|1000000)/0|BM_Resort/1000000/1|BM_KeystrokeNoMatch/1000000/1'
  run "$before" "$results/before" bench_journal "${repeat[@]}" --benchmark_filter='JournalWindowOpen/20000|MultiplierSwitch'
fi
run "$build" "$results" bench_journal "${repeat[@]}" "$@"
run "$build" "$results" bench_journal_pdf "${repeat[@]}" "$@"
run "$build" "$results" bench_search_list "$@"
# The billing database on a local server of its own, started and stopped here.
pg="$(mktemp -d /tmp/ledview-bench-pg.XXXXXX)"
if "$here/scripts/pg-test-server.sh" start "$pg" >/dev/null; then
  trap '"$here/scripts/pg-test-server.sh" stop "$pg" >/dev/null; rm -rf "$pg"' EXIT
  socket=$(python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1], safe=""))' "$(cat "$pg/socket")")
  LEDVIEW_BENCH_PG="postgresql://postgres@$socket:$(cat "$pg/port")/postgres" \
    run "$build" "$results" bench_server "$@"
else
  echo "bench.sh: no PostgreSQL server could be started; bench_server skipped" >&2
fi
"$here/scripts/bench-table.py" "$results" ${before:+"$results/before"} | tee "$results/table.md"
