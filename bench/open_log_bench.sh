#!/usr/bin/env bash
# lumodm --open of a long stored log: writes a log of N rows (10,000,000 by
# default, about 800 MB: a reading every 0.5 s for eight weeks) into a
# folder of its own, opens it offscreen with --quit-when-up under
# /usr/bin/time -v, prints the time until the whole log was in the window
# and drawn, the rows a second, the peak resident memory and the processor
# time, then deletes the log. Goal: shown within 10 s, peak under 250 MB.
# Usage: bench/open_log_bench.sh [build folder (Release)] [rows]
set -euo pipefail

build=${1:-build}
rows=${2:-10000000}
panel="$build/app/programs/lumodm"
[[ -x "$panel" ]] || { echo "open_log_bench: no $panel (build it first)" >&2; exit 2; }
[[ -x /usr/bin/time ]] || { echo "open_log_bench: needs /usr/bin/time" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
log="$work/long.csv"

# Rows as the log writes them: a DCV reading with a slow drift and noise,
# the readout and the meter's answer beside the value.
python3 "$(dirname "$0")/sample_log.py" "$log" "$rows"
bytes=$(stat -c %s "$log")

QT_QPA_PLATFORM=offscreen HOME="$work" XDG_RUNTIME_DIR="$work" \
  /usr/bin/time -v "$panel" --open="$log" --quit-when-up 2> "$work/report"
python3 - "$work/report" "$rows" "$bytes" <<'PY'
import re, sys

report, rows, size = open(sys.argv[1]).read(), int(sys.argv[2]), int(sys.argv[3])
def find(pattern):
    m = re.search(pattern, report)
    if not m:
        sys.exit("open_log_bench: no '%s' in:\n%s" % (pattern, report))
    return m.group(1)
shown_ms = int(find(r"log shown (\d+) ms after start"))
peak_mb = int(find(r"Maximum resident set size \(kbytes\): (\d+)")) / 1024.0
cpu = float(find(r"User time \(seconds\): ([\d.]+)")) + float(find(r"System time \(seconds\): ([\d.]+)"))
print("log:          %d rows, %.0f MB" % (rows, size / 1e6))
print(find(r"(lumodm: .*readings.*skipped)"))
print("shown after:  %.2f s  (goal: within 10 s)" % (shown_ms / 1000.0))
print("rows/s:       %.0f" % (rows / (shown_ms / 1000.0)))
print("peak memory:  %.0f MB  (goal: under 250 MB)" % peak_mb)
print("processor:    %.2f s" % cpu)
PY
