#!/usr/bin/env python3
"""Times whole processes, alternating between them run by run, so that load
from other work on the machine falls on every program alike.

    alternate_runs.py --runs N --warmup W --out FILE.csv PROGRAM...

Each program is started directly (no shell) with the current environment,
its output discarded.
The CSV has one row per timed run: program, run, wall seconds (from just
before the process is started to just after it is reaped), and the user and
system CPU seconds the process used. A run that ends with a status other than
0 stops everything: a failed start-up is no start-up time."""

import argparse
import csv
import os
import sys
import time
from pathlib import Path


# The programs' own output (Qt's notes on an offscreen platform) is not wanted.
QUIET = [(os.POSIX_SPAWN_OPEN, fd, os.devnull, os.O_WRONLY, 0) for fd in (1, 2)]


def run_once(program):
    start = time.perf_counter()
    pid = os.posix_spawn(program, [program], os.environ, file_actions=QUIET)
    _, status, usage = os.wait4(pid, 0)
    wall = time.perf_counter() - start
    code = os.waitstatus_to_exitcode(status)
    if code != 0:
        sys.exit(f"alternate_runs: {program} ended with status {code}")
    return wall, usage.ru_utime, usage.ru_stime


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, required=True)
    parser.add_argument("--warmup", type=int, default=3)
    parser.add_argument("--out", required=True)
    parser.add_argument("programs", nargs="+")
    args = parser.parse_args()

    for _ in range(args.warmup):
        for program in args.programs:
            run_once(program)
    with open(args.out, "w", newline="") as f:
        writer = csv.writer(f)
        writer.writerow(["program", "run", "seconds", "user_seconds", "system_seconds"])
        for run in range(1, args.runs + 1):
            for program in args.programs:
                wall, user, system = run_once(program)
                writer.writerow([Path(program).name, run, f"{wall:.6f}", f"{user:.6f}", f"{system:.6f}"])


if __name__ == "__main__":
    main()
