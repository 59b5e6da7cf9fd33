"""The README's Python example runs and draws its figure."""
import pathlib
import subprocess
import sys

import pytest

from conftest import SAMPLE, TOP


def test_example_prints_the_summary_and_writes_the_figure(tmp_path):
    pytest.importorskip("matplotlib")
    pytest.importorskip("pandas")
    figure = tmp_path / "at.png"
    done = subprocess.run([sys.executable, str(TOP / "examples" / "analyse_in_python.py"), str(SAMPLE),
                           str(figure)], capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    assert "beat_ms" in done.stdout and "14 beats, 8 leads" in done.stdout
    assert figure.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
