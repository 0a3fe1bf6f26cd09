#!/usr/bin/env python3
"""Times whole processes, alternating between them run by run, so that load
from other work on the machine falls on every command alike.

    alternate_runs.py --runs N [--warmup W] [--cached FILE] --out FILE.csv COMMAND...

A COMMAND is LABEL=PROGRAM ARG... in one argument (split like a shell would
split it, but run without one), or just PROGRAM, labelled by its file name.
Each command is started directly with the current environment; its error
output is discarded and the first line of its standard output is kept.

The CSV has one row per timed run: label, run, wall seconds (from just before
the process is started to just after it is reaped), the user and system CPU
seconds the process used, its peak resident memory in KiB, the fraction of --cached FILE that was in the page
cache before the run (the file is read back in when it was not all there;
empty without --cached), and that output line. A run that ends with a status
other than 0 stops everything: a failed run has no time."""

import argparse
import csv
import os
import shlex
import sys
import tempfile
import time
from pathlib import Path

import page_cache


def parse_command(text):
    label, sep, rest = text.partition("=")
    if not sep or "/" in label or " " in label:
        label, rest = "", text
    argv = shlex.split(rest)
    return (label or Path(argv[0]).name), argv


def run_once(argv, output_path):
    actions = [
        (os.POSIX_SPAWN_OPEN, 1, output_path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600),
        (os.POSIX_SPAWN_OPEN, 2, os.devnull, os.O_WRONLY, 0),
    ]
    start = time.perf_counter()
    pid = os.posix_spawn(argv[0], argv, os.environ, file_actions=actions)
    _, status, usage = os.wait4(pid, 0)
    wall = time.perf_counter() - start
    code = os.waitstatus_to_exitcode(status)
    if code != 0:
        sys.exit(f"alternate_runs: {shlex.join(argv)} ended with status {code}")
    lines = Path(output_path).read_text(errors="replace").splitlines()
    return wall, usage.ru_utime, usage.ru_stime, usage.ru_maxrss, (lines[0].strip() if lines else "")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, required=True)
    parser.add_argument("--warmup", type=int, default=0)
    parser.add_argument("--cached", help="a file that must be in the page cache before every run")
    parser.add_argument("--out", required=True)
    parser.add_argument("commands", nargs="+")
    args = parser.parse_args()
    commands = [parse_command(text) for text in args.commands]

    with tempfile.TemporaryDirectory() as scratch:
        output_path = os.path.join(scratch, "stdout")
        for _ in range(args.warmup):
            for _, argv in commands:
                run_once(argv, output_path)
        with open(args.out, "w", newline="") as f:
            writer = csv.writer(f)
            writer.writerow(["label", "run", "seconds", "user_seconds", "system_seconds", "peak_kib",
                             "resident_before", "output"])
            for run in range(1, args.runs + 1):
                for label, argv in commands:
                    resident = ""
                    if args.cached:
                        fraction = page_cache.resident_fraction(args.cached)
                        resident = f"{fraction:.4f}"
                        if fraction < 1.0:
                            page_cache.read_whole(args.cached)
                    wall, user, system, peak, output = run_once(argv, output_path)
                    writer.writerow([label, run, f"{wall:.6f}", f"{user:.6f}", f"{system:.6f}", peak, resident,
                                     output])
                    f.flush()


if __name__ == "__main__":
    main()
