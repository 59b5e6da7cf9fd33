#!/usr/bin/env python3
"""Accuracy of telmor-batch's beats, ATs and RTs against the model times of
synthetic recordings, beside the numpy/scipy peer (bench/peer_batch.py).

For every condition, RECORDINGS recordings of 8 leads x 30 s are made by the
sample's generator (with their model times beside them, at the condition's
sampling rate), analysed by telmor-batch with each estimator (centred, the
default, and legacy, the specified arithmetic, which takes 1 kHz only) and by
the peer (1 kHz only) with the same recognition ranges, and compared beat by
beat and lead by lead. Prints Markdown tables: beats per condition and method,
the AT and RT errors (whole ms and sub-millisecond), the RT error of the
centred estimator for each RT smoothing on the conditions that chose its
default, and the share of wrong marks by quality figure.

  /usr/bin/python3 bench/accuracy/accuracy_bench.py BUILD_DIR [--recordings N] [--keep DIR]
                                                    [--no-sweep]

(Debian's python3-numpy, python3-scipy, python3-pandas.) The fine times and
quality figures of telmor-batch come from its summary's at_fine_ms,
rt_fine_ms, at_quality and rt_quality columns when it writes them.
"""
import argparse
import bisect
import csv
import os
import subprocess
import sys
import tempfile

import numpy as np

sys.dont_write_bytecode = True  # leave no cache in the source tree
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import peer_batch  # noqa: E402

LEADS, SECONDS = 8, 30
SAMPLES = SECONDS * 1000  # the recording's length in ms, whatever its rate
RANGES = (-80, 80, 100, 300)  # AT from, AT to, RT from, RT to: covers every model time
MATCH_MS = 10     # a found beat this near a model beat's lead-1 AT is that beat
BOUNDARY_MS = 7   # a false beat this near a second boundary (the fit's half window) lies at one
EARLY_MS = 100    # the first ms of a second, where the fit keeps its cubic term
WRONG_MS = 5      # a mark further than this from the model time is wrong
BASE_NOISE = ["--noise", "0.5"]

# name, generator options, sampling rate in Hz; noise is white, its standard
# deviation a share of each lead's RS amplitude (per sample, at every rate).
CONDITIONS = [
    ("noise 0.1 %", ["--noise", "0.1"], 1000),
    ("noise 0.5 %", ["--noise", "0.5"], 1000),
    ("noise 1 %", ["--noise", "1"], 1000),
    ("noise 2 %", ["--noise", "2"], 1000),
    ("noise 5 %", ["--noise", "5"], 1000),
    ("negative T", BASE_NOISE + ["--t-wave", "negative"], 1000),
    ("biphasic T", BASE_NOISE + ["--t-wave", "biphasic"], 1000),
    ("baseline wander", BASE_NOISE + ["--wander"], 1000),
    ("rate 400 ms", BASE_NOISE + ["--interval", "400"], 1000),
    ("low T wave", BASE_NOISE + ["--t-scale", "0.2"], 1000),
    ("T wave 100 ms", BASE_NOISE + ["--t-duration", "100"], 1000),
    ("T wave 100 ms, noise 0.1 %", ["--noise", "0.1", "--t-duration", "100"], 1000),
    ("T wave 200 ms", BASE_NOISE + ["--t-duration", "200"], 1000),
    ("T wave 200 ms, noise 2 %", ["--noise", "2", "--t-duration", "200"], 1000),
    ("2 kHz, noise 0.5 %", ["--noise", "0.5"], 2000),
    ("2 kHz, noise 2 %", ["--noise", "2"], 2000),
    ("4 kHz, noise 0.5 %", ["--noise", "0.5"], 4000),
    ("4 kHz, noise 2 %", ["--noise", "2"], 4000),
]
# telmor-batch's estimators: name, options, the conditions they run on (None:
# all; legacy takes 1 kHz only). The centred fit over ±11 samples shows what a
# cubic slope with the straight line's noise over ±7 gives.
NOISE_LEVELS = ["noise 0.1 %", "noise 0.5 %", "noise 1 %", "noise 2 %", "noise 5 %"]
ESTIMATORS = [("centred", [], None), ("legacy", ["--estimator", "legacy"], None),
              ("centred, smoothing 11", ["--smooth", "11"], NOISE_LEVELS)]
PEER = "numpy/scipy peer"
# The RT smoothings tried (half widths in ms) and the conditions they are
# tried on: realistic T waves of 100-200 ms at low and high noise, fast rates.
RT_SWEEP = [7, 10, 15, 20, 25, 30, 35, 40, 50]
SWEEP_CONDITIONS = ["noise 0.5 %", "noise 2 %", "negative T", "biphasic T", "rate 400 ms",
                    "low T wave", "T wave 100 ms", "T wave 100 ms, noise 0.1 %", "T wave 200 ms",
                    "T wave 200 ms, noise 2 %",
                    "2 kHz, noise 2 %"]
QUALITY_EDGES = [0, 1, 2, 3, 4, 5, 6, 8, 10, 15, 20, 30, 50, float("inf")]


def read_model(path):
    """Model beats in time order: per beat, the AT and RT of every lead."""
    beats = {}
    with open(path, newline="") as f:
        for row in csv.DictReader(f):
            beat = beats.setdefault(int(row["beat"]), {})
            beat[int(row["lead"])] = (float(row["at_ms"]), float(row["rt_ms"]))
    return [beats[k] for k in sorted(beats)]


def fine_time(d, t, minimum):
    """The extremum of the parabola through the derivative at mark t (samples
    from 1) and its neighbours, when t is a local minimum (AT) or maximum
    (RT); otherwise t itself."""
    i = t - 1
    if i < 1 or i > len(d) - 2:
        return float(t)
    before, here, after = float(d[i - 1]), float(d[i]), float(d[i + 1])
    extreme = (here <= before and here <= after) if minimum else (here >= before and here >= after)
    if not extreme:
        return float(t)
    denominator = before - 2.0 * here + after
    delta = 0.0 if denominator == 0.0 else (before - after) / (2.0 * denominator)
    return t + min(max(delta, -0.5), 0.5)


def quality(d, t, noise):
    return round(abs(float(d[t - 1])) / noise, 1) if noise > 0 else float("inf")


def derivative_noise(d):
    """1.4826 times the median absolute deviation of each lead's derivative."""
    return 1.4826 * np.median(np.abs(d - np.median(d, axis=0)), axis=0)


def number(text):
    return float(text) if text not in ("", None) else None


def telmor_marks(summary_rows, recording):
    """Beats (beat number -> ms) and marks ((beat, lead) -> dict) of one recording."""
    beats, cells = {}, {}
    for row in summary_rows.get(recording, []):
        beat, lead = int(row["beat"]), int(row["lead"])
        if beat >= 1:
            beats[beat] = int(row["beat_ms"])
        cells[(beat, lead)] = {
            "at": number(row["at_ms"]), "rt": number(row["rt_ms"]),
            "at_fine": number(row.get("at_fine_ms")), "rt_fine": number(row.get("rt_fine_ms")),
            "at_quality": number(row.get("at_quality")), "rt_quality": number(row.get("rt_quality")),
        }
    return beats, cells


def peer_marks(path):
    beats, at, rt, d_at, d_rt = peer_batch.analyse_wave(peer_batch.read_wave(path), RANGES)
    noise = {"at": derivative_noise(d_at), "rt": derivative_noise(d_rt)}
    cells = {}
    for k in range(1, len(beats) + 1):
        for lead in range(1, at.shape[1] + 1):
            cell = {}
            for kind, table, minimum, d in (("at", at, True, d_at), ("rt", rt, False, d_rt)):
                t = int(table[k, lead - 1])
                d_lead = d[:, lead - 1]
                cell[kind] = float(t) if t else None
                cell[kind + "_fine"] = fine_time(d_lead, t, minimum) if t else None
                cell[kind + "_quality"] = quality(d_lead, t, noise[kind][lead - 1]) if t else None
            cells[(k, lead)] = cell
    return dict(enumerate(beats, start=1)), cells


def at_boundary(ms):
    off = ms % 1000
    return min(off, 1000 - off) <= BOUNDARY_MS


class Tally:
    """What one method did under one condition."""

    def __init__(self):
        self.model_beats = self.found = self.false = self.false_boundary = self.false_early = 0
        self.errors = {(kind, how): [] for kind in ("at", "rt") for how in ("whole", "fine")}
        self.cells = {"at": 0, "rt": 0}
        self.no_mark = {"at": 0, "rt": 0}
        self.has_fine = False
        self.marks = []  # (kind, quality, wrong) of every mark with a quality figure

    def add(self, model, beats, cells):
        lead1 = [beat[1][0] for beat in model]
        self.model_beats += sum(100 <= t <= SAMPLES - 100 for t in lead1)
        taken = set()
        for beat_number, ms in sorted(beats.items()):
            self.found += 1
            k = bisect.bisect_left(lead1, ms)
            near = [j for j in (k - 1, k) if 0 <= j < len(lead1) and abs(lead1[j] - ms) <= MATCH_MS]
            match = min(near, key=lambda j: abs(lead1[j] - ms)) if near else None
            if match is None or match in taken:
                self.false += 1
                self.false_boundary += at_boundary(ms)
                self.false_early += 1 <= ms % 1000 <= EARLY_MS
                for lead in range(1, LEADS + 1):
                    cell = cells.get((beat_number, lead), {})
                    for kind in ("at", "rt"):
                        if cell.get(kind) is not None and cell.get(kind + "_quality") is not None:
                            self.marks.append((kind, cell[kind + "_quality"], True))
                continue
            taken.add(match)
            if not 101 <= ms <= SAMPLES - 200:
                continue  # not searched for AT and RT
            for lead in range(1, LEADS + 1):
                cell = cells.get((beat_number, lead), {})
                for index, kind in enumerate(("at", "rt")):
                    truth = model[match][lead][index]
                    self.cells[kind] += 1
                    if cell.get(kind) is None:
                        self.no_mark[kind] += 1
                        continue
                    whole = abs(cell[kind] - truth)
                    self.errors[(kind, "whole")].append(whole)
                    if cell.get(kind + "_fine") is not None:
                        self.has_fine = True
                        self.errors[(kind, "fine")].append(abs(cell[kind + "_fine"] - truth))
                    if cell.get(kind + "_quality") is not None:
                        self.marks.append((kind, cell[kind + "_quality"], whole > WRONG_MS))


def statistics(errors):
    if not errors:
        return "– | – | – | –"
    e = np.asarray(errors)
    return (f"{np.median(e):.2f} | {np.percentile(e, 95):.2f} | "
            f"{100 * np.mean(e <= 1.0):.1f} % | {100 * np.mean(e <= 5.0):.1f} %")


def print_tables(results, recordings):
    print(f"{recordings} recordings of {LEADS} leads x {SECONDS} s per condition; "
          f"ranges {RANGES[0]} {RANGES[1]} {RANGES[2]} {RANGES[3]} ms; false beats: more than "
          f"{MATCH_MS} ms from every model beat; at a boundary: within {BOUNDARY_MS} ms of a "
          f"whole second; early: in the first {EARLY_MS} ms of a second.\n")
    print("| condition | method | model beats | beats found | false beats | at a second boundary "
          "| early in a second |")
    print("|---|---|---|---|---|---|---|")
    for name, tallies in results:
        for method, t in tallies.items():
            print(f"| {name} | {method} | {t.model_beats} | {t.found} | {t.false} | {t.false_boundary} "
                  f"| {t.false_early} |")
    for kind in ("at", "rt"):
        print(f"\n{kind.upper()} absolute error in ms over the leads of the true beats "
              f"(median | p95 | within 1 ms | within 5 ms), whole ms and fine:\n")
        print("| condition | method | marks | no mark | whole median | p95 | ≤ 1 ms | ≤ 5 ms "
              "| fine median | p95 | ≤ 1 ms | ≤ 5 ms |")
        print("|---|---|---|---|---|---|---|---|---|---|---|---|")
        for name, tallies in results:
            for method, t in tallies.items():
                fine = statistics(t.errors[(kind, "fine")]) if t.has_fine else "n/a | n/a | n/a | n/a"
                print(f"| {name} | {method} | {t.cells[kind]} | {t.no_mark[kind]} | "
                      f"{statistics(t.errors[(kind, 'whole')])} | {fine} |")


def print_quality(results):
    print(f"\nWrong marks by quality figure, all conditions (wrong: more than {WRONG_MS} ms from "
          "the model time, or at a false beat):\n")
    methods = list(results[0][1].keys())
    for method in methods:
        marks = [m for _, tallies in results if method in tallies for m in tallies[method].marks]
        if not marks:
            print(f"{method}: no quality figures in its output.\n")
            continue
        print(f"| {method}: quality | AT marks | AT wrong | RT marks | RT wrong | all marks | all wrong |")
        print("|---|---|---|---|---|---|---|")
        for lo, hi in zip(QUALITY_EDGES, QUALITY_EDGES[1:]):
            row = []
            for kinds in (("at",), ("rt",), ("at", "rt")):
                inside = [w for k, q, w in marks if k in kinds and lo <= q < hi]
                share = 100 * sum(inside) / len(inside) if inside else float("nan")
                row.append(f"{len(inside)} | {share:.1f} %" if inside else "0 | –")
            label = f"{lo}–{hi}" if hi != float("inf") else f"≥ {lo}"
            print(f"| {label} | " + " | ".join(row) + " |")
        cuts = ", ".join(f"{label} {threshold([m for m in marks if m[0] in kinds]):.1f}"
                         for label, kinds in (("AT", ("at",)), ("RT", ("rt",)), ("all", ("at", "rt"))))
        print(f"\n{method}: more often wrong than right below quality {cuts}.\n")


def threshold(marks):
    """The quality below which a mark is more often wrong than right: the
    share of wrong marks as a falling step function of the quality figure
    (isotonic regression, pool adjacent violators), and the lowest figure from
    which on it is at most one half."""
    pairs = sorted((q, 1.0 if w else 0.0) for _, q, w in marks)
    blocks = []  # [lowest quality, weight, mean]
    for q, w in pairs:
        blocks.append([q, 1.0, w])
        while len(blocks) > 1 and blocks[-2][2] < blocks[-1][2]:
            q2, n2, m2 = blocks.pop()
            q1, n1, m1 = blocks[-1]
            blocks[-1] = [q1, n1 + n2, (n1 * m1 + n2 * m2) / (n1 + n2)]
    for q, _, share in blocks:
        if share <= 0.5:
            return q
    return float("inf")


def run_batch(batch, folder, out, rate, options):
    """telmor-batch on the recordings of folder; its summary's rows by recording."""
    os.makedirs(out, exist_ok=True)
    summary_path = os.path.join(out, "summary.csv")
    ranges = [str(r) for r in RANGES]
    # The recordings by name: the model tables beside them are CSV files too.
    recordings = sorted(os.path.join(folder, n) for n in os.listdir(folder) if n.endswith(".txt"))
    status = subprocess.run([batch, "--quiet", "--overwrite", "--ranges", *ranges, "--rate", str(rate),
                             *options, "--out", out, "--summary", summary_path, *recordings]).returncode
    if status not in (0, 1):
        sys.exit(f"telmor-batch failed ({status}) on {folder}")
    summary = {}
    with open(summary_path, newline="", encoding="utf-8") as f:
        for row in csv.DictReader(f):
            summary.setdefault(row["recording"], []).append(row)
    return summary


def print_sweep(sweep):
    """RT fine-time error p95 (median) per RT smoothing and condition."""
    if not sweep:
        return
    names = [name for name in SWEEP_CONDITIONS if name in next(iter(sweep.values()))]
    print("\nRT fine-time error of the centred estimator by the RT derivative's smoothing "
          "(half width, ms): p95 (median), ms; no mark in brackets when any:\n")
    print("| RT smoothing | " + " | ".join(names) + " |")
    print("|---|" + "---|" * len(names))
    for width, tallies in sweep.items():
        cells = []
        for name in names:
            t = tallies[name]
            e = np.asarray(t.errors[("rt", "fine")])
            text = f"{np.percentile(e, 95):.1f} ({np.median(e):.1f})" if e.size else "–"
            if t.no_mark["rt"]:
                text += f" [{t.no_mark['rt']}]"
            cells.append(text)
        print(f"| {width} | " + " | ".join(cells) + " |")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build", help="the build folder (examples/generate_sample, src/batch/telmor-batch)")
    parser.add_argument("--recordings", type=int, default=6, help="recordings per condition (6)")
    parser.add_argument("--keep", help="make the recordings and results in this folder and keep them")
    parser.add_argument("--no-sweep", action="store_true", help="leave out the RT smoothing sweep")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    generate = os.path.join(build, "examples", "generate_sample")
    batch = os.path.join(build, "src", "batch", "telmor-batch")

    with tempfile.TemporaryDirectory() as scratch:
        root = os.path.abspath(args.keep) if args.keep else scratch
        results = []
        sweep = {width: {} for width in ([] if args.no_sweep else RT_SWEEP)}
        for c, (name, options, rate) in enumerate(CONDITIONS, start=1):
            folder = os.path.join(root, f"condition{c:02d}")
            os.makedirs(folder, exist_ok=True)
            names = [f"rec{k:02d}" for k in range(1, args.recordings + 1)]
            for k, rec in enumerate(names, start=1):
                subprocess.run([generate, os.path.join(folder, rec + ".txt"), str(LEADS), str(SECONDS),
                                str(k), "--rate", str(rate)] + options, check=True)
            models = {rec: read_model(os.path.join(folder, rec + "model.csv")) for rec in names}
            tallies = {}
            for e, (estimator, batch_options, only) in enumerate(ESTIMATORS):
                if (estimator == "legacy" and rate != 1000) or (only is not None and name not in only):
                    continue
                summary = run_batch(batch, folder, os.path.join(folder, f"telmor{e}"), rate, batch_options)
                tally = tallies[f"telmor-batch {estimator}"] = Tally()
                for rec in names:
                    tally.add(models[rec], *telmor_marks(summary, rec))
            if rate == 1000:
                tally = tallies[PEER] = Tally()
                for rec in names:
                    tally.add(models[rec], *peer_marks(os.path.join(folder, rec + ".txt")))
            results.append((name, tallies))
            if name in SWEEP_CONDITIONS:
                for width in sweep:
                    out = os.path.join(folder, f"rt{width}")
                    summary = run_batch(batch, folder, out, rate, ["--rt-smooth", str(width)])
                    tally = sweep[width][name] = Tally()
                    for rec in names:
                        tally.add(models[rec], *telmor_marks(summary, rec))
            print(f"{name}: done", file=sys.stderr)
    print_tables(results, args.recordings)
    print_sweep(sweep)
    print_quality(results)


if __name__ == "__main__":
    main()
