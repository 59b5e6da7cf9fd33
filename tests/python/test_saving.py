"""An analysis that keeps its own recording, whatever becomes of the
caller's array."""
import pickle

import numpy as np
import pytest

import telmor
from conftest import SAMPLE


@pytest.fixture(scope="module")
def sample():
    return telmor.read_recording(SAMPLE)


# The analysis's own recording.
@pytest.mark.parametrize("given", ["float32 array", "Recording", "view of an array", "float64 array"])
def test_editing_the_callers_array_changes_nothing_kept(tmp_path, sample, given):
    data = sample.data.copy()
    wave = {"float32 array": data, "Recording": telmor.Recording(data, 1000.0), "view of an array": data[:, :],
            "float64 array": data.astype(np.float64)}[given]
    expected = telmor.analyse(sample.data.copy())
    analysis = telmor.analyse(wave)
    edited = wave.data if isinstance(wave, telmor.Recording) else wave
    edited[:] = edited[::-1] * 0.5  # beats elsewhere
    assert telmor.analyse(edited).beats[0] != expected.beats[0]
    assert np.array_equal(analysis.recording.data, sample.data)
    assert pickle.loads(pickle.dumps(analysis)) == expected
    for target in (tmp_path / "kept", tmp_path / "kept.zip"):
        analysis.save(target)
        assert telmor.load(target) == expected
    with pytest.raises(ValueError):
        analysis.recording.data[0, 0] = 1.0
    with pytest.raises(ValueError):
        analysis.recording.data.flags.writeable = True
