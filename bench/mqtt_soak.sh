#!/usr/bin/env bash
# Soak: 20 lumodm-read processes publish as fast as the simulated bus gives
# readings (--interval=0) to one broker on the loopback address for 30 s.
# Every 30 s (SOAK_SAMPLE_SECONDS) it prints the readers' resident memory,
# the least and the most of them; at the end the messages per second the
# broker carried and, per process, whether every seq from 1 to the last
# arrived.
# Usage: bench/mqtt_soak.sh [path/to/lumodm-read] [processes] [seconds]
set -euo pipefail

reader=${1:-build/app/programs/lumodm-read}
processes=${2:-20}
seconds=${3:-30}
sample=${SOAK_SAMPLE_SECONDS:-30}
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
printf 'listener %s 127.0.0.1\nallow_anonymous true\npersistence false\n' "$port" > "$work/broker.conf"
/usr/sbin/mosquitto -c "$work/broker.conf" 2> "$work/broker.log" &
pids+=($!)
for _ in $(seq 100); do
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
  sleep 0.1
done

# One subscriber at QoS 1 writes "topic payload" lines.
mosquitto_sub -h 127.0.0.1 -p "$port" -q 1 -t 'soak/#' -v > "$work/messages" &
pids+=($!)
sleep 1

readers=()
for n in $(seq "$processes"); do
  "$reader" --sim --count=0 --interval=0 --publish="mqtt://127.0.0.1:$port/soak/$n" \
    > /dev/null 2> "$work/reader-$n.err" &
  readers+=($!)
done
echo "seconds  readers' RSS in kB: least most"
elapsed=0
while [ "$elapsed" -lt "$seconds" ]; do
  step=$((seconds - elapsed < sample ? seconds - elapsed : sample))
  sleep "$step"
  elapsed=$((elapsed + step))
  rss=$(for pid in "${readers[@]}"; do awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status"; done | sort -n)
  printf '%7d  %s %s\n' "$elapsed" "$(head -n 1 <<< "$rss")" "$(tail -n 1 <<< "$rss")"
done
kill -INT "${readers[@]}"
status=0
for pid in "${readers[@]}"; do wait "$pid" || status=1; done
sleep 2 # the subscriber takes the last messages

# Per process: the count, the last seq and the seqs missing below it.
awk -v seconds="$seconds" '
  $1 ~ /^soak\/[0-9]+\/DM5010$/ {
    match($0, /"seq":[0-9]+/); seq = substr($0, RSTART + 6, RLENGTH - 6) + 0
    if (!(($1, seq) in seen)) { seen[$1, seq] = 1; count[$1]++ }
    if (seq > last[$1]) last[$1] = seq
    total++
  }
  END {
    lost = 0
    for (t in count) { lost += last[t] - count[t]; n++ }
    printf "%d processes, %d messages in %d s: %.0f messages/s; lost %d\n",
      n, total, seconds, total / seconds, lost
    exit lost > 0
  }' "$work/messages" || status=1
cat "$work"/reader-*.err
exit $status
