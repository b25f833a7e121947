#!/usr/bin/env bash
# Installs what is missing, builds the program and starts the front panel on
# the built-in simulated DM5010. Extra arguments go to the program, e.g.
#   scripts/run.sh --sim=DM5120
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build=${LUMODM_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja
cmake --build "$build" -j "$(nproc)" --target lumodm
if [ $# -eq 0 ]; then
  set -- --sim
fi
exec "$build/app/programs/lumodm" "$@"
