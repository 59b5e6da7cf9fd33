"""What the tests of the Python module share: the programs of the build they
test (named by ctest in the environment) and recordings made by the sample's
generator."""
import os
import pathlib
import subprocess
import sys

import pytest

TOP = pathlib.Path(__file__).resolve().parents[2]
SAMPLE = TOP / "examples" / "d" / "data" / "map" / "sample.txt"


def program(variable):
    path = os.environ.get(variable)
    if not path:
        pytest.fail(f"{variable} is not set: run these tests through ctest")
    return path


@pytest.fixture
def batch():
    """Runs telmor-batch with arguments; returns the completed process."""
    def run(*args):
        return subprocess.run([program("TELMOR_BATCH"), "--quiet", *map(str, args)],
                              capture_output=True, text=True)
    return run


@pytest.fixture
def generate(tmp_path):
    """Writes a recording of leads × seconds made by the sample's generator."""
    def make(name, leads, seconds, seed, *options):
        target = tmp_path / name
        subprocess.run([program("TELMOR_GENERATE"), target, str(leads), str(seconds), str(seed),
                        *options], check=True)
        return target
    return make


def isolated(code, timeout=120, env=None):
    """Runs code in a Python of its own (the same interpreter and telmor);
    returns its standard output. A run that does not end within timeout
    seconds (a call that waits forever) fails the test instead of hanging it."""
    try:
        done = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, timeout=timeout,
                              env=None if env is None else {**os.environ, **env})
    except subprocess.TimeoutExpired:
        pytest.fail(f"still running after {timeout} s: it waits")
    assert done.returncode == 0, done.stderr
    return done.stdout
