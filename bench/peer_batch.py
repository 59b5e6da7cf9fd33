#!/usr/bin/env python3
"""Peer figure for telmor-batch: the same analysis written as a straightforward
numpy/scipy/pandas pipeline, one recording after another (pandas CSV read,
baseline removal, scipy Savitzky-Golay derivatives of each whole lead, the
cubic's slope over +-7 samples for the beats and AT and over +-35 for RT, as
telmor-batch's default centred estimator takes them, numpy beat search on
lead 1 with its noise floor, AT/RT search around every beat, the 50 ms rule,
CSV write). It is a peer for timing and accuracy, not a second implementation: its
numbers are close to TELMOR's but not the same bits. The accuracy benchmark
(bench/accuracy/) imports it for analyse_wave.

  /usr/bin/python3 bench/peer_batch.py OUT_DIR RECORDING.txt...   (Debian's
  python3-pandas and python3-scipy)
"""
import os
import sys

import numpy as np
import pandas as pd
from scipy.signal import savgol_filter

SMOOTH, RT_SMOOTH, RATIO = 7, 35, 0.1
NOISE_FLOOR = 6.0  # a beat's slope stands this many noise deviations out
AT_FROM, AT_TO, RT_FROM, RT_TO = -80, 80, 100, 200


def find_beats(deriv1):
    n = len(deriv1)
    work = deriv1 * 1000.0
    noise = 1.4826 * np.median(np.abs(deriv1 - np.median(deriv1)))
    threshold = min(RATIO * work[1:n - 2].min(), -NOISE_FLOOR * noise * 1000.0)
    beats = []
    while len(beats) < 199:
        i = 99 + int(np.argmin(work[99:n - 100]))
        if not work[i] < threshold:
            break
        beats.append(i + 1)  # samples count from 1
        work[max(i - 100, 0):i + 201] = 0.0
    return sorted(beats)


def drop_near(times, deriv_lead, keep_lower):
    for i in range(len(times)):
        for j in range(len(times)):
            ti, tj = times[i], times[j]
            if ti == 0 or tj == 0 or abs(ti - tj) > 50:
                continue
            di, dj = deriv_lead[ti - 1], deriv_lead[tj - 1]
            if di == dj:
                continue
            if (di > dj) == keep_lower:
                times[i] = 0
            else:
                times[j] = 0


def read_wave(path):
    return pd.read_csv(path, header=None, sep=r"\s+").to_numpy(dtype=np.float32)


def analyse_wave(wave, ranges=(AT_FROM, AT_TO, RT_FROM, RT_TO)):
    """Beats (samples from 1, ascending), the AT and RT tables (row k for beat
    k, row 0 empty; 0: no mark) and the AT and RT derivatives (samples by
    leads)."""
    at_from, at_to, rt_from, rt_to = ranges
    wave = wave - wave.mean(axis=0)
    n, leads = wave.shape
    # The windows run on across second boundaries, as TELMOR's do.
    deriv = savgol_filter(wave, 2 * SMOOTH + 1, 3, deriv=1, axis=0)
    rt_deriv = savgol_filter(wave, 2 * RT_SMOOTH + 1, 3, deriv=1, axis=0)

    beats = find_beats(deriv[:, 0])
    at = np.zeros((len(beats) + 1, leads), dtype=np.int64)
    rt = np.zeros_like(at)
    for k, b in enumerate(beats, start=1):
        if not 101 <= b <= n - 200:
            continue
        at[k] = b + at_from + deriv[b + at_from - 1:b + at_to].argmin(axis=0)
        d = rt_deriv[b + rt_from - 2:b + rt_to + 1]
        peak = (d[1:-1] > d[:-2]) & (d[1:-1] > d[2:])
        heights = np.where(peak, d[1:-1], -np.inf)
        found = np.isfinite(heights.max(axis=0))
        rt[k] = np.where(found, b + rt_from + heights.argmax(axis=0), 0)
    for lead in range(leads):
        column = [int(t) for t in at[:, lead]]
        drop_near(column, deriv[:, lead], keep_lower=True)
        at[:, lead] = column
        column = [int(t) for t in rt[:, lead]]
        drop_near(column, rt_deriv[:, lead], keep_lower=False)
        rt[:, lead] = column
    return beats, at, rt, deriv, rt_deriv


def analyse(path):
    beats, at, rt, _, _ = analyse_wave(read_wave(path))
    return at, rt


def write_results(path, at, rt):
    lines = []
    for table in (at, rt):
        lines.append(f"{len(table):3d}")
        lines.extend("".join(f"{t:7d}.," for t in row) for row in table)
    with open(path, "w", newline="") as out:
        out.write("\r\n".join(lines) + "\r\n")


def main():
    out_dir, recordings = sys.argv[1], sys.argv[2:]
    for path in recordings:
        at, rt = analyse(path)
        name = os.path.splitext(os.path.basename(path))[0]
        write_results(os.path.join(out_dir, name + "ari.csv"), at, rt)


if __name__ == "__main__":
    main()
