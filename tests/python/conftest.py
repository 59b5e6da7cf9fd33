"""What the tests of the Python module share: the programs of the build they
test (named by ctest in the environment) and recordings made by the sample's
generator."""
import os
import pathlib
import subprocess

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
