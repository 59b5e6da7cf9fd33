#!/usr/bin/env python3
"""Accuracy of telmor-batch on recordings of a paced sheet (the generator's
--sheet and --rodent): activation spread over 90 ms from lead 1, cycle length
600 ms shortening to 350 ms with restitution, late-recovering sites, T waves
positive, negative and biphasic; and a small heart at 150 ms.

For each condition, RECORDINGS recordings of 20 leads x 30 s on a 4 x 5 grid
are analysed with the default ranges and with --ranges auto; printed as
Markdown: beats, RTs missing, negative ARIs, AT and RT errors, and the ARI
error by the T wave's polarity (the model's, and the one the mark names).

  /usr/bin/python3 bench/accuracy/sheet_bench.py BUILD_DIR [--recordings N] [--keep DIR]
"""
import argparse
import csv
import os
import subprocess
import sys
import tempfile

import numpy as np

LEADS, SECONDS = 20, 30
MATCH_MS = 10

# name, generator options, telmor-batch options besides the ranges
CONDITIONS = [
    ("sheet, no noise", ["--sheet", "--noise", "0"], []),
    ("sheet, noise 0.5 %", ["--sheet", "--noise", "0.5"], []),
    ("sheet, noise 2 %", ["--sheet", "--noise", "2"], []),
    ("sheet, flat lead 12, noise 0.5 %", ["--sheet", "--noise", "0.5", "--flat-lead", "12"], []),
    ("small heart (150 ms), noise 0.5 %", ["--rodent", "--noise", "0.5"],
     ["--blank-before", "40", "--blank-after", "80", "--rt-smooth", "8", "--smooth", "3"]),
]
RANGES = [("default ranges", []), ("--ranges auto", ["--ranges", "auto"])]


def read_model(path):
    """Model beats in time order: per beat, lead -> (at, rt, polarity); flat leads left out."""
    beats = {}
    with open(path, newline="") as f:
        for row in csv.DictReader(f):
            if row["at_ms"] == "":
                continue
            beats.setdefault(int(row["beat"]), {})[int(row["lead"])] = (
                float(row["at_ms"]), float(row["rt_ms"]), row["t_polarity"])
    return [beats[k] for k in sorted(beats)]


def read_summary(path):
    rows = {}
    with open(path, newline="", encoding="utf-8") as f:
        for row in csv.DictReader(f):
            rows.setdefault(row["recording"], []).append(row)
    return rows


def number(text):
    return float(text) if text not in ("", None) else None


class Tally:
    def __init__(self):
        self.model_beats = self.found = self.false = 0
        self.cells = self.rt_missing = self.negative_ari = 0
        self.at_errors, self.rt_errors = [], []
        self.ari_by_model = {}    # model polarity -> ARI errors
        self.ari_by_mark = {}     # the mark's polarity -> ARI errors
        self.polarity_agree = self.polarity_marks = 0

    def add(self, model, rows):
        lead1 = [beat[1][0] for beat in model if 1 in beat]
        self.model_beats += len(lead1)
        beats = {}
        for row in rows:
            if int(row["beat"]) >= 1:
                beats[int(row["beat"])] = int(row["beat_ms"])
        matched = {}
        for k, ms in beats.items():
            self.found += 1
            near = [j for j, t in enumerate(lead1) if abs(t - ms) <= MATCH_MS]
            if not near:
                self.false += 1
            else:
                matched[k] = near[0]
        for row in rows:
            k = int(row["beat"])
            if k not in matched or row["at_flag"] == "dead_lead":
                continue
            truth = model[matched[k]].get(int(row["lead"]))
            if truth is None or not (100 <= truth[0] <= SECONDS * 1000 - 200):
                continue
            at_true, rt_true, polarity = truth
            self.cells += 1
            at = number(row["at_fine_ms"]) if row["at_marks"] == "1" else None
            rt = number(row["rt_fine_ms"]) if row["rt_marks"] == "1" else None
            if rt is None:
                self.rt_missing += 1
            if at is not None:
                self.at_errors.append(abs(at - at_true))
            if rt is not None:
                self.rt_errors.append(abs(rt - rt_true))
            if at is not None and rt is not None:
                self.negative_ari += rt - at < 0
                error = abs((rt - at) - (rt_true - at_true))
                self.ari_by_model.setdefault(polarity, []).append(error)
                self.ari_by_mark.setdefault(row["t_polarity"] or "(none)", []).append(error)
                self.polarity_marks += 1
                self.polarity_agree += row["t_polarity"] == polarity


def summary(errors):
    if not errors:
        return "– | –"
    e = np.asarray(errors)
    return f"{np.median(e):.2f} | {np.percentile(e, 95):.2f}"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build")
    parser.add_argument("--recordings", type=int, default=4)
    parser.add_argument("--keep")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    generate = os.path.join(build, "examples", "generate_sample")
    batch = os.path.join(build, "src", "batch", "telmor-batch")
    results = []
    with tempfile.TemporaryDirectory() as scratch:
        root = os.path.abspath(args.keep) if args.keep else scratch
        for c, (name, options, batch_options) in enumerate(CONDITIONS, start=1):
            folder = os.path.join(root, f"sheet{c:02d}")
            os.makedirs(folder, exist_ok=True)
            names = [f"rec{k:02d}" for k in range(1, args.recordings + 1)]
            for k, rec in enumerate(names, start=1):
                subprocess.run([generate, os.path.join(folder, rec + ".txt"), str(LEADS), str(SECONDS), str(k)]
                               + options, check=True)
            models = {rec: read_model(os.path.join(folder, rec + "model.csv")) for rec in names}
            for label, ranges in RANGES:
                out = os.path.join(folder, "auto" if ranges else "default")
                os.makedirs(out, exist_ok=True)
                summary_path = os.path.join(out, "summary.csv")
                # The recordings by name: the model tables beside them are CSV files too.
                recordings = sorted(os.path.join(folder, n) for n in os.listdir(folder) if n.endswith(".txt"))
                status = subprocess.run([batch, "--quiet", "--overwrite", *ranges, *batch_options, "--out", out,
                                         "--summary", summary_path, *recordings], capture_output=True).returncode
                if status not in (0, 1):
                    sys.exit(f"telmor-batch failed ({status}) on {folder}")
                rows = read_summary(summary_path)
                tally = Tally()
                for rec in names:
                    tally.add(models[rec], rows.get(rec, []))
                results.append((name, label, tally))
            print(f"{name}: done", file=sys.stderr)
    print(f"{args.recordings} recordings of {LEADS} leads x {SECONDS} s per condition; fine times; "
          "ARI error = |(RT - AT) - model's (RT - AT)|.\n")
    print("| condition | ranges | model beats | beats found | false beats | cells | RT missing | negative ARI "
          "| AT median | p95 | RT median | p95 |")
    print("|---|---|---|---|---|---|---|---|---|---|---|---|")
    for name, label, t in results:
        missing = 100.0 * t.rt_missing / t.cells if t.cells else float("nan")
        print(f"| {name} | {label} | {t.model_beats} | {t.found} | {t.false} | {t.cells} | {missing:.1f} % "
              f"| {t.negative_ari} | {summary(t.at_errors)} | {summary(t.rt_errors)} |")
    print("\nARI error in ms (median | p95) by the model's T wave, and the share of RT marks whose named "
          "polarity is the model's, with --ranges auto:\n")
    print("| condition | positive median | p95 | negative median | p95 | biphasic median | p95 "
          "| polarity named right |")
    print("|---|---|---|---|---|---|---|---|")
    for name, label, t in results:
        if label != "--ranges auto":
            continue
        right = 100.0 * t.polarity_agree / t.polarity_marks if t.polarity_marks else float("nan")
        cells = [summary(t.ari_by_model.get(p, [])) for p in ("positive", "negative", "biphasic")]
        print(f"| {name} | " + " | ".join(cells) + f" | {right:.1f} % |")


if __name__ == "__main__":
    main()
