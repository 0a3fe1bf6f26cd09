#!/usr/bin/env python3
"""Turns one scripts/bench run into the results table, the raw CSV and the
data file of the key generation plot.

Every row compares our side with a reference measured in the same run; the
ratio is ours / reference in time, so below 1 means we are faster. Each ratio
comes with a 95 % interval, and a goal is decided only when the interval is
clear of it."""

import argparse
import csv
import json
import math
import random
import re
import statistics
from pathlib import Path

UNIT_SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
KEY_SIZES = (16, 32, 64, 128)
LAYOUTS = (("small-writes", "written in small writes"), ("read-back", "dropped and read back from disk"))
SIDES = ("component", "openssl", "openssl_ctx")


def percentile(values, fraction):
    """Linear interpolation between closest ranks (as the benchmarks do)."""
    ordered = sorted(values)
    if not ordered:
        return float("nan")
    rank = fraction * (len(ordered) - 1)
    below = int(rank)
    above = min(below + 1, len(ordered) - 1)
    return ordered[below] + (rank - below) * (ordered[above] - ordered[below])


def median_interval(values, level=0.95):
    """The order statistics x(k), x(n+1-k) around the median with the largest k
    whose binomial coverage is still at least level; min and max (with their
    smaller coverage) below 6 samples. Returns low, high and the coverage."""
    ordered = sorted(values)
    n = len(ordered)
    tail = (1 - level) / 2

    def cdf(k):
        return sum(math.comb(n, i) for i in range(k + 1)) / 2 ** n

    k = 1
    while k + 1 <= n // 2 and cdf(k) <= tail:
        k += 1
    return ordered[k - 1], ordered[n - k], 1 - 2 * cdf(k - 1)


def ratio_with_interval(ours, reference, paired):
    """ours / reference, its 95 % interval and that interval's coverage (below
    0.95 when there are too few samples for one): for runs made side by side, the
    median of the run-by-run ratios and its order-statistic interval;
    otherwise the ratio of the medians with a percentile bootstrap interval
    (2000 resamples, fixed seed, so a report is reproducible)."""
    if paired and len(ours) == len(reference):
        ratios = [a / b for a, b in zip(ours, reference)]
        low, high, coverage = median_interval(ratios)
        return statistics.median(ratios), low, high, coverage
    ratio = statistics.median(ours) / statistics.median(reference)
    if len(ours) < 2 or len(reference) < 2:
        return ratio, float("nan"), float("nan"), 0.0
    rng = random.Random(20261208)
    boot = sorted(statistics.median(rng.choices(ours, k=len(ours))) /
                  statistics.median(rng.choices(reference, k=len(reference))) for _ in range(2000))
    # Below 6 samples a side the bootstrap's interval means little.
    coverage = 0.95 if min(len(ours), len(reference)) >= 6 else 0.0
    return ratio, percentile(boot, 0.025), percentile(boot, 0.975), coverage


def split_name(run_name):
    """'rsa_keygen/openssl/64/iterations:1/repeats:51/real_time' ->
    ('rsa_keygen', 'openssl', '64')"""
    parts = [p for p in run_name.split("/") if ":" not in p and p != "real_time"]
    case = parts[0]
    side = parts[1] if len(parts) > 1 and parts[1] in SIDES else ""
    rest = parts[2:] if side else parts[1:]
    return case, side, "/".join(rest)


def load_micro(path):
    """Per-iteration seconds of every repetition, and errors, by (case, side, size).

    The table uses the measuring thread's CPU time: on a machine shared with
    other work, wall time mostly measures how often the thread was preempted.
    Wall time is kept in the CSV beside it."""
    samples, wall, errors = {}, {}, {}
    for bench in json.loads(Path(path).read_text())["benchmarks"]:
        key = split_name(bench["run_name"])
        if bench.get("error_occurred"):
            errors[key] = bench.get("error_message", "failed")
            continue
        if bench.get("run_type") != "iteration":
            continue
        unit = UNIT_SECONDS[bench["time_unit"]]
        samples.setdefault(key, []).append(bench["cpu_time"] * unit)
        wall.setdefault(key, []).append(bench["real_time"] * unit)
    return samples, wall, errors


def load_sha1(path):
    """Wall and CPU seconds by tool, every digest seen, what the dialog showed,
    and the least fraction of the file found in the page cache before a run.

    The dialog and the mapped EVP_Digest report the hashing step from inside
    the process (program start-up left out); the tools are timed as whole
    processes, which adds their start-up, a millisecond or two."""
    wall, cpu, digests, shown, resident = {}, {}, set(), [], 1.0
    if not Path(path).exists():
        return wall, cpu, digests, shown, resident
    with open(path, newline="") as f:
        for row in csv.DictReader(f):
            tool, output = row["label"], row["output"]
            if row.get("resident_before"):
                resident = min(resident, float(row["resident_before"]))
            if tool in ("dialog", "mapped-evp", "read-evp"):
                fields = dict(re.findall(r"(\w+)=(\S*)", output.split(" shown=")[0]))
                seconds, cpu_seconds, digest = float(fields["seconds"]), float(fields["cpu_seconds"]), fields["sha1"]
                if tool == "dialog":
                    shown.append(output.split(" shown=", 1)[1] if " shown=" in output else "")
            else:
                seconds = float(row["seconds"])
                cpu_seconds = float(row["user_seconds"]) + float(row["system_seconds"])
                digest = output.split("= ")[-1] if tool == "openssl" else output.split()[0]
            wall.setdefault(tool, []).append(seconds)
            cpu.setdefault(tool, []).append(cpu_seconds)
            digests.add(digest)
    return wall, cpu, digests, shown, resident


def load_startup(work):
    """Wall seconds, CPU seconds (user + system) and peak resident bytes of
    every run, by program."""
    wall, cpu, peak = {}, {}, {}
    path = Path(work) / "startup.csv"
    if path.exists():
        with open(path, newline="") as f:
            for row in csv.DictReader(f):
                wall.setdefault(row["label"], []).append(float(row["seconds"]))
                cpu.setdefault(row["label"], []).append(float(row["user_seconds"]) + float(row["system_seconds"]))
                peak.setdefault(row["label"], []).append(1024.0 * float(row["peak_kib"]))
    return wall, cpu, peak


def fmt_bytes(count):
    return f"{count / (1 << 20):.1f} MiB"


def fmt_time(seconds):
    if seconds != seconds:  # nan
        return "n/a"
    for unit, scale in (("s", 1.0), ("ms", 1e-3), ("µs", 1e-6)):
        if seconds >= scale:
            return f"{seconds / scale:.3g} {unit}"
    return f"{seconds / 1e-9:.3g} ns"


class Table:
    def __init__(self):
        self.rows = []

    def pair(self, what, ours, reference, goal=None, counts=None, paired=False, goal_high=None, fmt=fmt_time):
        """ours, reference: lists of seconds (or an error text). counts: the
        sample counts to show when the lists hold statistics, not samples.
        paired: the i-th runs of both sides ran next to each other. A goal is
        met when the ratio is at most goal and the interval's top at most
        goal_high (goal when not given), missed when the interval's bottom is
        above goal, and undecided otherwise."""
        if isinstance(ours, str) or isinstance(reference, str):
            error = ours if isinstance(ours, str) else reference
            self.rows.append([what, "—", "—", "—", "", goal_text(goal, goal_high), f"not measured: {error}"])
            return
        o, r = statistics.median(ours), statistics.median(reference)
        ratio, low, high, coverage = ratio_with_interval(ours, reference, paired)
        interval = "" if low != low else f"{low:.3f} – {high:.3f}" + ("*" if coverage < 0.95 else "")
        verdict = ""
        if goal is not None and coverage < 0.95:
            verdict = "undecided: too few samples for a 95 % interval"
        elif goal is not None:
            if low == low and ratio <= goal and high <= (goal_high or goal):
                verdict = "yes"
            elif low == low and low > goal:
                verdict = "**no**"
            else:
                verdict = "undecided: the interval spans the goal"
        n_ours, n_reference = counts or (len(ours), len(reference))
        self.rows.append([what, fmt(o) + f" (n={n_ours})", fmt(r) + f" (n={n_reference})",
                          f"{ratio:.3f}", interval, goal_text(goal, goal_high), verdict])

    def single(self, what, values, note=""):
        if isinstance(values, str):
            self.rows.append([what, "—", "", "", "", "", f"not measured: {values}"])
            return
        self.rows.append([what, fmt_time(statistics.median(values)), "", "", "", "", note])

    def markdown(self):
        header = ["Measure", "Ours (median)", "Reference (median)", "Ratio ours/ref", "95% interval", "Goal", "Met"]
        lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
        lines += ["| " + " | ".join(row) + " |" for row in self.rows]
        return "\n".join(lines)


def goal_text(goal, goal_high=None):
    if goal is None:
        return ""
    return f"≤ {goal:.3g}" + (f", interval < {goal_high:.3g}" if goal_high else "")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--work", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    work, out = Path(args.work), Path(args.out)

    machine = dict(line.split("=", 1) for line in (work / "machine.txt").read_text().splitlines())
    micro, micro_wall, micro_errors = load_micro(work / "micro.json")
    sha1 = {name: load_sha1(work / f"sha1-{name}.csv") for name, _ in LAYOUTS}
    startup, startup_cpu, startup_peak = load_startup(work)

    def get(case, side, size=""):
        key = (case, side, str(size))
        return micro_errors.get(key) or micro.get(key) or "no samples"

    table = Table()
    table.pair("SHA-1, 256 MiB mapped file, one HashData vs one EVP_Digest",
               get("sha1_mapped_256MiB", "component"), get("sha1_mapped_256MiB", "openssl"), 1.05)
    table.pair("MD5 of 40 bytes: HashData + GetHash vs EVP_Digest",
               get("md5_40_bytes", "component"), get("md5_40_bytes", "openssl"), 1.10)
    table.pair("MD5 of 40 bytes: HashData + GetHash vs the same EVP calls on a reused context (call path)",
               get("md5_40_bytes", "component"), get("md5_40_bytes", "openssl_ctx"), 1.10)
    table.pair("DES block: SetKey + Encrypt + Decrypt vs DES_set_key + 2 × DES_ecb_encrypt",
               get("des_block", "component"), get("des_block", "openssl"))
    for words in (16, 64, 128):
        table.pair(f"RSA private op, {words} words ({32 * words} bits) vs EVP_PKEY_decrypt",
                   get("rsa_private", "component", words), get("rsa_private", "openssl", words), 1.02)
    keygen_plot = []
    for words in KEY_SIZES:
        ours, theirs = get("rsa_keygen", "component", words), get("rsa_keygen", "openssl", words)
        table.pair(f"RSA key generation, {words} words ({32 * words} bits), median", ours, theirs, 1.0,
                   goal_high=1.05 if words <= 32 else None)
        if not isinstance(ours, str) and not isinstance(theirs, str):
            table.pair(f"RSA key generation, {words} words, 90th percentile",
                       [percentile(ours, 0.9)], [percentile(theirs, 0.9)], counts=(len(ours), len(theirs)))
            keygen_plot.append((32 * words, ours, theirs))
    for words in (16, 128, 256):
        values = get("format_hex", "", words)
        note = "" if isinstance(values, str) else f"{statistics.median(values) / words * 1e9:.2f} ns per word"
        table.single(f"FormatHex, {words} words", values, note)

    consistent = True
    sha1_notes = []
    for layout, layout_text in LAYOUTS:
        sha1_runs, sha1_cpu, sha1_digests, sha1_shown, resident = sha1[layout]
        if not sha1_runs:
            table.single(f"SHA-1, 1 GiB file {layout_text}", "not run (see the machine notes)")
            continue

        def runs(tool, clock):
            return clock.get(tool) or f"{tool} has no runs"

        if len(sha1_digests) != 1:
            consistent = False
            table.single(f"SHA-1, 1 GiB file {layout_text} — DIGESTS DISAGREE",
                         "the tools' digests differ: " + ", ".join(sorted(sha1_digests)))
            continue
        for clock_name, clock in (("wall", sha1_runs), ("CPU", sha1_cpu)):
            what = f"SHA-1, 1 GiB file {layout_text} ({clock_name}): dialog FileName handler vs"
            table.pair(f"{what} EVP_Digest over a fresh mapping",
                       runs("dialog", clock), runs("mapped-evp", clock), 1.05, paired=True)
            table.pair(f"{what} `openssl dgst -sha1`",
                       runs("dialog", clock), runs("openssl", clock), 1 / 1.2 if clock_name == "wall" else None,
                       paired=True)
            table.pair(f"{what} `sha1sum`",
                       runs("dialog", clock), runs("sha1sum", clock), 1 / 2.2 if clock_name == "wall" else None,
                       paired=True)
            table.pair(f"SHA-1, 1 GiB file {layout_text} ({clock_name}): EVP_Digest over a fresh mapping vs "
                       "EVP over blocks read()",
                       runs("mapped-evp", clock), runs("read-evp", clock), paired=True)
        rate = f"{1.0 / statistics.median(sha1_runs['dialog']):.2f} GiB/s" if "dialog" in sha1_runs else "n/a"
        sha1_notes.append(f"  {layout_text}: the dialog ran at {rate}"
                          + (f" and showed e.g. \"{sha1_shown[0]}\"" if sha1_shown else "")
                          + f"; at least {resident:.1%} of the file was in the page cache before every run"
                          + (" (what was missing was read back in before the run)"
                             if f"{resident:.1%}" != "100.0%" else "") + ".")

    for program in ("Tarvel2", "Tarvel3"):
        missing = f"{program} did not show a window"
        for reference, reference_text, goal in (
                ("minimal_text_dialog", "a minimal Qt dialog with a label and a button", 1.5),
                ("minimal_qt_dialog", "an empty minimal Qt dialog (loads no font)", None)):
            minimal_missing = f"{reference} was not timed"
            table.pair(f"Start-up of {program} to its first window painted vs {reference_text} (wall)",
                       startup.get(program, missing), startup.get(reference, minimal_missing), goal, paired=True)
            table.pair(f"Start-up of {program}: CPU time (user + system) vs {reference_text}",
                       startup_cpu.get(program, missing), startup_cpu.get(reference, minimal_missing),
                       paired=True)
            table.pair(f"Start-up of {program}: peak resident memory vs {reference_text}",
                       startup_peak.get(program, missing), startup_peak.get(reference, minimal_missing),
                       1.3 if goal else None, paired=True, fmt=fmt_bytes)

    markdown = "\n".join([
        "# Tarvel benchmark results",
        "",
        f"- CPU: {machine.get('cpu')}",
        f"- SHA extensions (sha_ni): {machine.get('sha_extensions')}",
        f"- OpenSSL: {machine.get('openssl')}",
        f"- Qt: {machine.get('qt')}",
        f"- Kernel: {machine.get('kernel')}; run: {machine.get('date')}"
        + ("; QUICK TRIAL RUN (few samples)" if machine.get("quick") == "1" else ""),
        f"- Load average (1, 5, 15 min): {machine.get('load_start')} at the start, "
        f"{machine.get('load_end')} at the end (the benchmarks themselves keep one core busy)",
        "",
        "The machine may be shared with other builds and tests, so absolute",
        "times are noisy, which is why every figure is a ratio against a reference measured in the",
        "same run, from medians. Ratios are ours / reference in time (below 1: ours is faster), from",
        "runs made in the same process (Google Benchmark, repetitions interleaved at random; the",
        "in-process rows use the measuring thread's CPU time, which preemption by other work does not",
        "inflate; wall times are in results.csv) or, for whole programs, runs alternated one by one.",
        "For alternated runs the ratio is the median of each run's ratio to the reference run beside",
        "it, with the order-statistic 95 % interval of that median; for the in-process rows it is the",
        "ratio of the medians with a percentile bootstrap 95 % interval (2000 resamples, fixed seed).",
        "A goal is met when the ratio is at or below it and the interval is too, missed when the whole",
        "interval is above it, and left undecided when the interval spans it. An interval marked *",
        "rests on fewer than 6 samples, covers less than 95 % and decides nothing.",
        "",
        table.markdown(),
        "",
        "Notes:",
        "- The 1 GiB rows time the dialog's FileName handler in process (file dialog answered by the",
        "  prompt seam, open, map, HashData, GetHash, rendering, unmap), the EVP_Digest reference from",
        "  open to close, and the two tools as whole processes; CPU is the hashing thread's CPU time",
        "  in process and user + system time of the whole process for the tools. Every run's digest agreed"
        + ("." if consistent else ": NO, see above."),
        "- The 1 GiB file sits in the page cache in two layouts: written in small writes (8 KiB pieces,",
        "  the costly layout for a mapping) and dropped (fsync, POSIX_FADV_DONTNEED) and read back from",
        "  disk (large pieces, as a user's file usually is). Residency was checked before every run.",
        *sha1_notes,
        "- Start-up runs each program offscreen with TARVEL_STARTUP_PROBE=1, which ends it once its",
        "  first top-level window has been shown and painted (Tarvel2: the RSA Wizard; Tarvel3: the",
        "  main window); each run is the whole process from spawn to exit, the four programs",
        "  alternated run by run after 3 warm-up rounds. The fair reference is the minimal dialog",
        "  with a label and a button: the empty one never loads a font.",
        "- Key generation: one key per sample; the 90th-percentile row compares the tails. At 64 and",
        "  128 words EVP_PKEY_generate switches to a slower standards-conformant method with extra",
        "  checks, while the component multiplies two primes from BN_generate_prime_ex2: the advantage",
        "  there comes from the method, not from faster code. At 16 and 32 words both do the same work.",
        "  keygen.png shows median and 10th–90th percentile for each size.",
        "- Debian's Google Benchmark library says it was built for debugging; that slows only its own",
        "  loop, which both sides of a pair share.",
        "- Where each target stands and why: bench/README.md.",
        "",
    ])
    (out / "results.md").write_text(markdown)

    with open(out / "results.csv", "w", newline="") as f:
        writer = csv.writer(f)
        writer.writerow(["group", "case", "side", "size", "sample", "clock", "seconds"])
        for clock, samples in (("cpu", micro), ("wall", micro_wall)):
            for (case, side, size), values in sorted(samples.items()):
                for i, value in enumerate(values, 1):
                    writer.writerow(["in_process", case, side, size, i, clock, f"{value:.9g}"])
        for layout, _ in LAYOUTS:
            sha1_runs, sha1_cpu = sha1[layout][0], sha1[layout][1]
            for clock, samples in (("wall", sha1_runs), ("cpu", sha1_cpu)):
                for tool, values in sorted(samples.items()):
                    for i, value in enumerate(values, 1):
                        writer.writerow(["sha1_1GiB_file", f"sha1_1GiB_{layout}", tool, "1GiB", i, clock,
                                         f"{value:.6f}"])
        for clock, samples in (("wall", startup), ("cpu", startup_cpu), ("peak_bytes", startup_peak)):
            for program, values in sorted(samples.items()):
                for i, value in enumerate(values, 1):
                    writer.writerow(["startup", "first_window", program, "", i, clock, f"{value:.6f}"])

    with open(work / "keygen.dat", "w") as f:
        f.write("# bits ours_median ours_p10 ours_p90 openssl_median openssl_p10 openssl_p90 (milliseconds)\n")
        for bits, ours, theirs in keygen_plot:
            figures = []
            for values in (ours, theirs):
                figures += [statistics.median(values), percentile(values, 0.1), percentile(values, 0.9)]
            f.write(f"{bits} " + " ".join(f"{v * 1e3:.4f}" for v in figures) + "\n")


if __name__ == "__main__":
    main()
