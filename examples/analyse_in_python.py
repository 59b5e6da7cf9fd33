"""Reads a recording, analyses it with TELMOR, shows the summary as a
DataFrame and plots each lead's AT after its beat.

    PYTHONPATH=build/python python3 examples/analyse_in_python.py \
        examples/d/data/map/sample.txt at_per_lead.png

A recording from another format (HDF5, MATLAB, EDF, ...) goes in the same way:
read it with the library of that format into an array of samples × leads at
1 kHz and pass that array to telmor.analyse.
"""
import sys

import matplotlib

matplotlib.use("Agg")  # a file, no window
import matplotlib.pyplot as plt
import numpy as np

import telmor


def main(recording, figure):
    wave = telmor.read_recording(recording)              # float32, samples × leads
    analysis = telmor.analyse(wave, smooth=7, ratio=0.1)
    summary = analysis.summary()                          # a DataFrame with pandas
    print(summary.head(10))

    marks = analysis.marks
    beats = marks["beat"] > 0
    after_beat = marks["at_fine_ms"] - marks["beat_ms"]   # AT after its beat, ms
    fig, ax = plt.subplots(figsize=(8, 4))
    for lead in np.unique(marks["lead"]):
        of_lead = beats & (marks["lead"] == lead)
        ax.plot(marks["beat_ms"][of_lead] / 1000.0, after_beat[of_lead], marker="o", label=f"lead {lead}")
    ax.set_xlabel("beat (s)")
    ax.set_ylabel("AT after the beat (ms)")
    ax.legend(fontsize="small", ncol=4)
    fig.savefig(figure, dpi=100)
    print(f"{len(analysis.beats)} beats, {wave.shape[1]} leads; figure: {figure}")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: analyse_in_python.py RECORDING FIGURE.png")
    main(sys.argv[1], sys.argv[2])
