#!/usr/bin/env python3
"""Writes a reading log as lumodm writes one: ROWS DCV readings of a
DM5010 at 0.5 s, with a slow drift and white noise, to FILE."""
import datetime, math, random, sys

path, rows = sys.argv[1], int(sys.argv[2])
start = datetime.datetime(2026, 1, 5, 8, 0, 0, tzinfo=datetime.timezone(datetime.timedelta(hours=1)))
random.seed(1)
with open(path, "w", newline="") as out:
    out.write("time,model,function,range,value,unit,readout,raw,address\r\n")
    chunk = []
    stamp = None
    for i in range(rows):
        ms = i * 500
        if ms % 1000 == 0:
            stamp = (start + datetime.timedelta(milliseconds=ms)).strftime("%Y-%m-%dT%H:%M:%S")
        value = 1.5 + 2e-4 * math.sin(i / 50000.0) + random.gauss(0.0, 2e-5)
        chunk.append('%s.%03d+01:00,DM5010,DCV,0,%.5f,V," %.4f",+%.5fE0,16\r\n'
                     % (stamp, ms % 1000, value, value, value))
        if len(chunk) == 100000:
            out.write("".join(chunk))
            chunk.clear()
    out.write("".join(chunk))
