#!/usr/bin/env bash
# Several meters at once: runs `lumodm-read --count=0 --interval=0` for N
# seconds (then Ctrl-C) on the simulated bus with 1, 4 and 8 DM5010s, and on
# a fake Prologix GPIB-ETHERNET adapter (bench/fake_adapter_main.cpp, the
# tests' fake in front of a simulated bus) with 1 and 4, "++". A lone meter
# runs without --all, as a user would run it. Each round runs every
# configuration once, in an order that turns round by round; the figures
# are medians over the rounds, the ratios those of each round's runs.
# Prints per configuration the readings each meter gave (the least and the
# mean over the meters), their ratio to the lone meter's, and the processor
# time (user + system) of the process per reading and its ratio.
# Usage: bench/several_meters_bench.sh [build folder] [rounds] [seconds]
set -euo pipefail

build=${1:-build}
rounds=${2:-5}
seconds=${3:-10}
reader="$build/app/programs/lumodm-read"
adapter="$build/bench/lumodm_fake_adapter"
for program in "$reader" "$adapter"; do
  [[ -x "$program" ]] || { echo "several_meters_bench: no $program (build it first)" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work" "$rounds" "$seconds" "$reader" "$adapter" <<'PY'
import collections, os, signal, statistics, subprocess, sys, time

work, rounds, seconds, reader, adapter = sys.argv[1:]
rounds, seconds = int(rounds), float(seconds)

def meters(n):
    return ",".join(f"DM5010@{a}" for a in range(1, n + 1))

# name: (meters on the bus, meters read, over the fake adapter)
configs = {"sim 1": (1, 1, False), "sim 4": (4, 4, False), "sim 8": (8, 8, False),
           "++ 1": (4, 1, True), "++ 4": (4, 4, True)}
lone = {name: name.split()[0] + " 1" for name in configs}
# The readings of each meter and the processor time over the whole run, and
# from `settle` seconds in to the end, when every meter is reading.
Run = collections.namedtuple("Run", "total cpu steady steady_cpu")
results = collections.defaultdict(list)
settle = 3.0

def processor_s(pid):
    # Every thread's time on a processor so far (ns, unlike rusage's ticks).
    ns = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as stat:
                ns += int(stat.read().split()[0])
        except FileNotFoundError:
            pass  # a thread that just ended
    return ns / 1e9

def counts(path, read):
    # "12: 1.4999 V" with several meters; a lone meter's lines are bare.
    per_address = collections.Counter()
    with open(path) as out:
        for line in out:
            head, sep, _ = line.partition(": ")
            per_address[int(head) if sep and head.isdigit() and read > 1 else 1] += 1
    return [per_address[a] for a in range(1, read + 1)]

def run(name, n):
    on_bus, read, plus_plus = configs[name]
    home = os.path.join(work, f"{n}-{name.replace(' ', '').replace('/', '')}")
    os.makedirs(home)
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"))
    program = reader
    fake = None
    if plus_plus:
        # A fresh adapter for each run: it serves one connection.
        fake = subprocess.Popen([adapter, meters(on_bus)], stdout=subprocess.PIPE, text=True)
        bus = ["--prologix=" + fake.stdout.readline().strip(),
               "--address=" + ",".join(str(a) for a in range(1, read + 1))]
    else:
        bus = ["--sim=" + meters(on_bus)] + (["--all"] if read > 1 else [])
    out_path = os.path.join(home, "out")
    with open(out_path, "w") as out, open(os.path.join(home, "err"), "w") as err:
        child = subprocess.Popen([program, *bus, "--count=0", "--interval=0"], env=env,
                                 stdout=out, stderr=err)
        time.sleep(settle)
        first = (processor_s(child.pid), counts(out_path, read))
        time.sleep(seconds - settle)
        last = (processor_s(child.pid), counts(out_path, read))
        child.send_signal(signal.SIGINT)
        # It ends at once; one that does not is killed after 10 s.
        for _ in range(1000):
            pid, status, usage = os.wait4(child.pid, os.WNOHANG)
            if pid:
                break
            time.sleep(0.01)
        else:
            child.kill()
            _, status, usage = os.wait4(child.pid, 0)
    if fake:
        fake.terminate()
        fake.wait()
    total = counts(out_path, read)
    steady = [b - a for a, b in zip(first[1], last[1])]
    results[name].append(Run(total, usage.ru_utime + usage.ru_stime, steady, last[0] - first[0]))
    print(f"  round {n + 1} {name:7s} readings {total}, {steady} after {settle:g} s; "
          f"processor {(usage.ru_utime + usage.ru_stime) * 1000:.0f} ms, "
          f"{(last[0] - first[0]) * 1000:.0f} ms after {settle:g} s; status {status >> 8}",
          flush=True)

names = list(configs)
for n in range(rounds):
    # Each configuration meets each place in the order, so none always
    # runs after the same neighbour.
    shift = n % len(names)
    order = names[shift:] + names[:shift]
    for name in (order if n % 2 == 0 else list(reversed(order))):
        run(name, n)

def per_reading_ms(per_meter, cpu):
    return cpu * 1000.0 / sum(per_meter) if sum(per_meter) else float("inf")

def figure(values):
    # The median and, in brackets, the range over the rounds.
    return f"{statistics.median(values):5.2f} ({min(values):.2f}-{max(values):.2f})"

def of_lone(value, lone_value):
    return value / lone_value if lone_value else float("inf")

print(f"\n{rounds} rounds of {seconds:g} s; medians over the rounds, ranges in brackets; "
      f"'steady' counts from {settle:g} s in to the end, when every meter is reading")
print(f"{'':8s}{'readings/meter':>15s} {'least/lone':>17s} {'steady':>17s}   "
      f"{'ms/reading':>11s} {'/lone':>17s} {'steady ms/reading':>18s} {'/lone':>17s}")
for name in names:
    runs, lones = results[name], results[lone[name]]
    least = [min(r.total) for r in runs]
    mean = [statistics.mean(r.total) for r in runs]
    ratio = [of_lone(min(r.total), l.total[0]) for r, l in zip(runs, lones)]
    steady = [of_lone(min(r.steady), l.steady[0]) for r, l in zip(runs, lones)]
    cost = [per_reading_ms(r.total, r.cpu) for r in runs]
    cost_ratio = [of_lone(per_reading_ms(r.total, r.cpu), per_reading_ms(l.total, l.cpu))
                  for r, l in zip(runs, lones)]
    steady_cost = [per_reading_ms(r.steady, r.steady_cpu) for r in runs]
    steady_cost_ratio = [of_lone(per_reading_ms(r.steady, r.steady_cpu),
                                 per_reading_ms(l.steady, l.steady_cpu))
                         for r, l in zip(runs, lones)]
    print(f"{name:8s}{statistics.median(least):7.1f} {statistics.median(mean):7.1f} "
          f"{figure(ratio):>17s} {figure(steady):>17s}   "
          f"{statistics.median(cost):11.3f} {figure(cost_ratio):>17s} "
          f"{statistics.median(steady_cost):18.3f} {figure(steady_cost_ratio):>17s}")
PY
