#!/usr/bin/env bash
# Installs what is missing, builds everything (program, tests, benchmarks)
# and runs the whole test suite.
#   LUMODM_BUILD_DIR   build folder (default: build)
#   LUMODM_CMAKE_ARGS  extra CMake arguments (the CI adds -Werror, sanitizers)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build=${LUMODM_BUILD_DIR:-$root/build}
# shellcheck disable=SC2086
cmake -S "$root" -B "$build" -G Ninja ${LUMODM_CMAKE_ARGS:-}
cmake --build "$build" -j "$(nproc)"
cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 300
