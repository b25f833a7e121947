#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default
# 30), starting from its seed corpus. Fails on the first finding.
#   LUMODM_FUZZ_BUILD_DIR  build folder (default: build-fuzz)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
"$root/scripts/install-deps.sh"
build=${LUMODM_FUZZ_BUILD_DIR:-$root/build-fuzz}
targets=(parse_number_fuzz number_format_fuzz read_settings_fuzz plus_plus_reply_fuzz
  command_line_fuzz log_repair_fuzz log_reader_fuzz)

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMODM_FUZZ=ON \
  -DLUMODM_BUILD_TESTS=OFF -DLUMODM_BUILD_BENCH=OFF
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:abort_on_error=1:detect_leaks=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
for target in "${targets[@]}"; do
  echo "== $target for ${seconds}s"
  # New inputs go to a scratch folder; the committed seeds stay read-only.
  work="$build/corpus/$target"
  mkdir -p "$work"
  seeds=()
  if [ -d "$root/fuzz/corpus/$target" ]; then
    seeds=("$root/fuzz/corpus/$target")
  fi
  (cd "$build" && "$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
    "$work" "${seeds[@]}")
done
