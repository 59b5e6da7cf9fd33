#!/usr/bin/env python3
"""Processor time of telmor-batch per recording, two builds side by side in
one run: 20 recordings of 20 leads x 30 s made by the sample's generator,
one job, each build run RUNS times in turn; medians of user + system time of
the whole process, divided by the recordings.

  /usr/bin/python3 bench/batch_cpu_bench.py BUILD_DIR OTHER_BUILD_DIR [RUNS]
"""
import os
import statistics
import subprocess
import sys
import tempfile

RECORDINGS, LEADS, SECONDS = 20, 20, 30


def processor_seconds(command):
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    if status != 0:
        sys.exit(f"{command[0]} failed")
    return usage.ru_utime + usage.ru_stime


def main():
    builds = [os.path.abspath(b) for b in sys.argv[1:3]]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 7
    with tempfile.TemporaryDirectory() as scratch:
        data = os.path.join(scratch, "recordings")
        os.mkdir(data)
        for k in range(1, RECORDINGS + 1):
            subprocess.run([os.path.join(builds[0], "examples", "generate_sample"),
                            os.path.join(data, f"rec{k:02d}.txt"), str(LEADS), str(SECONDS), str(k)],
                           check=True)
        commands = [[os.path.join(b, "src", "batch", "telmor-batch"), "--quiet", "--overwrite", "--jobs", "1",
                     "--out", os.path.join(scratch, f"out{i}"), data] for i, b in enumerate(builds)]
        for command in commands:
            processor_seconds(command)  # the files into the page cache
        times = [[], []]
        for _ in range(runs):
            for i, command in enumerate(commands):
                times[i].append(processor_seconds(command) / RECORDINGS)
    medians = [statistics.median(t) for t in times]
    print(f"{RECORDINGS} recordings of {LEADS} leads x {SECONDS} s, one job, median of {runs} runs:")
    for build, median in zip(builds, medians):
        print(f"  {build:40s} {median * 1e3:6.2f} ms of processor time per recording")
    print(f"  ratio {medians[0] / medians[1]:.2f}")


if __name__ == "__main__":
    main()
