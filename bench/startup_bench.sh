#!/usr/bin/env bash
# Start-up: runs `lumodm --sim --quit-when-up` and a bare Qt window of the
# panel's size (bench/bare_window.cpp) alternately, offscreen, N pairs, each
# with a fresh home of its own. Prints the median processor time (user +
# system) and peak resident memory of each and their ratios. Processor time,
# not wall time: the runs share the machine with whatever else is running.
# Usage: bench/startup_bench.sh [build folder] [pairs]
set -euo pipefail

build=${1:-build}
pairs=${2:-21}
panel="$build/app/programs/lumodm"
bare="$build/bench/lumodm_bare_window"
for program in "$panel" "$bare"; do
  [[ -x "$program" ]] || { echo "startup_bench: no $program (build it first)" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

QT_QPA_PLATFORM=offscreen python3 - "$work" "$pairs" "$panel" "$bare" <<'PY'
import os, statistics, subprocess, sys

work, pairs, panel, bare = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
commands = {"lumodm": [panel, "--sim", "--quit-when-up"], "bare window": [bare]}
seconds = {name: [] for name in commands}
peak_mb = {name: [] for name in commands}

def run(name, n):
    home = os.path.join(work, f"{n}-{len(seconds[name])}-{name[0]}")
    os.makedirs(home)
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"),
               XDG_RUNTIME_DIR=home)
    child = subprocess.Popen(commands[name], env=env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    if status != 0:
        sys.exit(f"startup_bench: {name} ended with status {status}")
    seconds[name].append(usage.ru_utime + usage.ru_stime)
    peak_mb[name].append(usage.ru_maxrss / 1024.0)  # kB on Linux

for n in range(pairs):
    # Alternate which goes first, so neither always meets a warm cache.
    order = list(commands) if n % 2 == 0 else list(reversed(list(commands)))
    for name in order:
        run(name, n)

cpu = {name: statistics.median(values) * 1000.0 for name, values in seconds.items()}
mem = {name: statistics.median(values) for name, values in peak_mb.items()}
for name in commands:
    print(f"{name:12s} {cpu[name]:7.1f} ms processor  {mem[name]:6.1f} MB peak  (median of {pairs})")
print(f"{'ratio':12s} {cpu['lumodm'] / cpu['bare window']:7.2f} x processor  "
      f"{mem['lumodm'] / mem['bare window']:5.2f} x memory")
PY
