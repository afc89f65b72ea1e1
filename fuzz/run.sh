#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) in build-fuzz/ and runs each
# one after the other for a fixed number of executions.
# Usage: fuzz/run.sh [runs per target, default 10000000] [target ...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-10000000}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_val fuzz_dates fuzz_account_keys fuzz_settings fuzz_like)

for p in clang libclang-rt-14-dev; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get install -y -qq clang libclang-rt-14-dev >/dev/null
    break
  fi
done

build="${LEDVIEW_FUZZ_DIR:-$here/build-fuzz}"
CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLEDVIEW_FUZZ=ON -DLEDVIEW_TESTS=OFF -DLEDVIEW_BENCH=OFF >/dev/null
cmake --build "$build" --parallel 2 --target "${targets[@]}"

# Long inputs only slow the quadratic reference matcher down; the others take what comes.
max_len() {
  case "$1" in
    fuzz_like) echo 256 ;;
    fuzz_settings) echo 8192 ;;
    *) echo 256 ;;
  esac
}

export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
status=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  artifacts="$build/findings/$target/"
  mkdir -p "$corpus" "$artifacts"
  log="$build/$target.log"
  echo "== $target: $runs runs (log $log)"
  # One worker: the machine's cores are shared.
  if "$build/fuzz/$target" -runs="$runs" -max_len="$(max_len "$target")" -print_final_stats=1 \
       -artifact_prefix="$artifacts" -dict="$here/fuzz/ledview.dict" "$corpus" >"$log" 2>&1; then
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log" | tr '\n' ' '
    echo "corpus: $(ls "$corpus" | wc -l) inputs"
  else
    echo "FINDING in $target: see $log and $artifacts"
    tail -30 "$log"
    status=1
  fi
done
exit $status
