#!/usr/bin/env python3
"""Peer figure for the signal preparation benchmark: a plain Savitzky-Golay
first derivative (15 points, cubic) over the same 20 leads x 30000 samples.

Needs Debian's python3-scipy:  /usr/bin/python3 bench/peer_savgol.py
"""
import statistics
import time

import numpy as np
from scipy.signal import savgol_filter

LEADS, SAMPLES, REPEATS = 20, 30000, 15

i = np.arange(1, SAMPLES + 1, dtype=np.float64)
leads = []
for j in range(1, LEADS + 1):
    phase = np.fmod(i + 11.0 * j, 750.0)
    lead = (3.0 * np.exp(-0.01 * (phase - 200) ** 2) - 4.0 * np.exp(-0.02 * (phase - 212) ** 2)
            + 0.8 * np.exp(-0.0005 * (phase - 450) ** 2))
    leads.append(lead.astype(np.float32))

times = []
for _ in range(REPEATS):
    start = time.perf_counter()
    for lead in leads:
        savgol_filter(lead, 15, 3, deriv=1)
    times.append(time.perf_counter() - start)

print(f"savgol_filter(lead, 15, 3, deriv=1) over {LEADS} x {SAMPLES}: "
      f"median {statistics.median(times) * 1e3:.2f} ms of {REPEATS} runs")
