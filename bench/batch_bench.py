#!/usr/bin/env python3
"""telmor-batch against the peer pipeline (bench/peer_batch.py) on the same
recordings, whole processes, side by side in one run: 20 recordings of 20
leads x 30 s made by the sample's generator, each program run RUNS times in
turn, medians of the wall times.

  /usr/bin/python3 bench/batch_bench.py BUILD_DIR [RUNS]
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

RECORDINGS, LEADS, SECONDS = 20, 20, 30


def timed(command):
    start = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    return time.perf_counter() - start


def main():
    build = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 7
    here = os.path.dirname(os.path.abspath(__file__))
    with tempfile.TemporaryDirectory() as scratch:
        data = os.path.join(scratch, "recordings")
        os.mkdir(data)
        for k in range(1, RECORDINGS + 1):
            subprocess.run([os.path.join(build, "examples", "generate_sample"),
                            os.path.join(data, f"rec{k:02d}.txt"), str(LEADS), str(SECONDS), str(k)],
                           check=True)
        # The generator writes each recording's model times beside it.
        recordings = sorted(os.path.join(data, name) for name in os.listdir(data) if name.endswith(".txt"))
        ours = [os.path.join(build, "src", "batch", "telmor-batch"), "--quiet", "--overwrite",
                "--out", os.path.join(scratch, "ours"), *recordings]
        peer_out = os.path.join(scratch, "peer")
        os.mkdir(peer_out)
        peer = ["/usr/bin/python3", os.path.join(here, "peer_batch.py"), peer_out] + recordings
        timed(ours)  # once each first, so that both find the files in the page cache
        timed(peer)
        ours_times, peer_times = [], []
        for _ in range(runs):
            ours_times.append(timed(ours))
            peer_times.append(timed(peer))
    ours_median, peer_median = statistics.median(ours_times), statistics.median(peer_times)
    print(f"{RECORDINGS} recordings of {LEADS} leads x {SECONDS} s, median of {runs} runs each:")
    print(f"  telmor-batch          {ours_median * 1e3:8.1f} ms")
    print(f"  numpy/scipy/pandas    {peer_median * 1e3:8.1f} ms")
    print(f"  ratio                 {peer_median / ours_median:8.1f} x")


if __name__ == "__main__":
    main()
