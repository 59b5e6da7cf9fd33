"""The module as a Python user meets it: signatures and docstrings, the
inputs researchers hold (a transposed array, MNE's Raw, neo's AnalogSignal),
one kind of empty and one dtype per column, errors of the right type with
short messages, Ctrl+C, and an analysis kept and brought back."""
import inspect
import os
import pathlib
import pickle
import pydoc
import re
import signal
import threading
import time

import numpy as np
import pandas as pd
import pytest

import telmor
from conftest import SAMPLE, TOP


@pytest.fixture(scope="module")
def sample():
    return telmor.read_recording(SAMPLE)


@pytest.fixture(scope="module")
def analysis(sample):
    return telmor.analyse(sample)


def test_signatures_docstrings_and_names():
    keywords = inspect.signature(telmor.analyse).parameters
    for name in ["fs", "orientation", "smooth", "ratio", "ranges", "beat_lead", "estimator", "rt_smooth"]:
        assert keywords[name].kind is inspect.Parameter.KEYWORD_ONLY, name
    for name in ["analyse", "load", "read_recording", "write_results"]:
        function = getattr(telmor, name)
        assert inspect.signature(function) is not None
        assert function.__doc__ and len(function.__doc__) > 40, name
    for cls in (telmor.Analysis, telmor.Recording):
        for name, member in vars(cls).items():
            if not name.startswith("_") and (callable(member) or isinstance(member, property)):
                assert member.__doc__, f"{cls.__name__}.{name} has no docstring"
    assert "class Analysis in module telmor\n" in pydoc.render_doc(telmor.Analysis, renderer=pydoc.plaintext)
    assert "(anonymous namespace)" not in pydoc.render_doc(telmor)
    here = pathlib.Path(telmor.__file__).parent
    assert (here / "py.typed").exists() and (here / "__init__.pyi").exists()
    version = re.search(r'^version = "(.*)"', (TOP / "pyproject.toml").read_text(), re.M).group(1)
    assert version == telmor.__version__


def test_an_array_lying_the_other_way_is_refused_at_once(sample):
    channels_by_times = np.broadcast_to(np.float32(0.0), (1024, 120_000))
    started = time.monotonic()
    with pytest.raises(ValueError, match=r"more leads \(120000\) than samples \(1024\).*wave\.T"):
        telmor.analyse(channels_by_times, fs=2000.0)
    assert time.monotonic() - started < 0.2
    # Told which way it lies, the transposed sample is the sample.
    turned = telmor.analyse(np.ascontiguousarray(sample.data.T), orientation="leads×samples")
    assert np.array_equal(turned.at, telmor.analyse(sample).at, equal_nan=True)


class FakeRaw:
    """What analyse reads of MNE's Raw and RawArray (python3-mne is not installed:
    it brings a desktop stack; this stand-in has the same attributes)."""

    def __init__(self, data, sfreq, names):
        self._data, self.info, self.ch_names = data, {"sfreq": sfreq}, names

    def get_data(self):
        return self._data


class FakeAnalogSignal:
    """What analyse reads of neo's AnalogSignal: times × channels."""

    class Rate:
        def __init__(self, hz):
            self.hz = hz

        def rescale(self, unit):
            assert unit == "Hz"
            return type("Q", (), {"magnitude": np.array(self.hz)})()

    def __init__(self, data, hz, names):
        self.magnitude, self.sampling_rate = data, self.Rate(hz)
        self.array_annotations = {"channel_names": np.array(names)}


def test_mne_and_neo_signals_go_in_at_their_rate_with_their_names(sample, analysis):
    names = [f"EEG {j:03d}" for j in range(1, 9)]
    raw = telmor.analyse(FakeRaw(sample.data.T.astype(np.float64), 1000.0, names))
    neo = telmor.analyse(FakeAnalogSignal(sample.data, 1000.0, names))
    for got in (raw, neo):
        assert got.labels == names
        assert got.fs == 1000.0
        assert np.array_equal(got.at, analysis.at, equal_nan=True)
    with pytest.raises(ValueError, match="differs from the recording's own rate"):
        telmor.analyse(FakeRaw(sample.data.T, 1000.0, names), fs=500.0)


def test_empty_is_nan_and_each_column_has_one_dtype(sample, analysis):
    flat = sample.data.copy()
    flat[:, 3] = 0.0  # a dead lead: no marks
    dead = telmor.analyse(flat)
    assert np.isnan(dead.at[:, 3]).all() and np.isnan(dead.rt[:, 3]).all()
    aris = dead.rt - dead.at
    assert np.nanmin(aris) > 0  # no "ARI" from an empty cell
    summary = dead.summary()
    assert (summary["beat"] >= 1).all()
    assert len(summary) == 8 * len(dead.beats)
    assert len(dead.before_first()) == 8
    assert summary["at_flag"].dtype == "string" and summary["at_flag"].isna().any()
    assert not (summary["at_flag"] == "").any()
    for column in ["beat_ms", "at_ms", "rt_ms", "ari_ms", "at_fine_ms", "rt_quality"]:
        assert summary[column].dtype == np.float64, column
    for column in ["lead", "beat", "at_marks"]:
        assert summary[column].dtype == np.int32, column
    assert summary.attrs["settings"]["ratio"] == 0.1
    assert analysis.settings["ratio"] == 0.1 and repr(analysis.settings["ratio"]) == "0.1"
    layout = {j: ((j - 1) % 4 * 2.0, (j - 1) // 4 * 2.0) for j in range(1, 9)}
    maps = analysis.maps(layout)
    assert isinstance(maps["cv"], pd.DataFrame) and maps["cv"]["beat_ms"].dtype == np.float64
    assert maps["cv"].attrs["fs"] == 1000.0


@pytest.mark.parametrize("call,error,message", [
    (lambda w: telmor.analyse(w, smooth=7.5), TypeError, "smooth must be a whole number, not float"),
    (lambda w: telmor.analyse(w, smooth=1), ValueError, "smoothing must be 2 to 499"),
    (lambda w: telmor.analyse(w, smoth=7), TypeError, "unexpected keyword argument 'smoth'"),
    (lambda w: telmor.analyse(w, ranges="sometimes"), ValueError, "ranges"),
    (lambda w: telmor.analyse(w, orientation="sideways"), ValueError, "orientation must be one of"),
    (lambda w: telmor.analyse("a file name"), TypeError, "real numbers"),
    (lambda w: telmor.analyse(w).maps({"one": (0.0, 0.0)}), TypeError, "a layout's keys are leads"),
    (lambda w: telmor.write_results("x.csv", w), TypeError, "must be a telmor.Analysis"),
])
def test_errors_have_their_type_and_a_short_message(sample, call, error, message):
    with pytest.raises(error, match=message) as raised:
        call(sample)
    assert len(str(raised.value)) < 400 and "[[" not in str(raised.value)


def test_the_systems_refusals_and_bad_values(tmp_path, sample):
    with pytest.raises(FileNotFoundError):
        telmor.read_recording(tmp_path / "missing.txt")
    with pytest.raises(IsADirectoryError):
        telmor.read_recording(tmp_path)
    with pytest.raises(FileNotFoundError):
        telmor.load(tmp_path / "missing")
    flat = tmp_path / "flat.txt"
    flat.write_text("0 0 0\n" * 2000)
    with pytest.raises(ValueError):  # RecordingError is a ValueError
        telmor.analyse(telmor.read_recording(flat))
    assert issubclass(telmor.RecordingError, ValueError)


def test_kept_analyses_come_back_equal(tmp_path, analysis):
    for target in (tmp_path / "kept", tmp_path / "kept.zip"):
        analysis.save(target)
        back = telmor.load(target)
        assert back == analysis
        assert back.summary().equals(analysis.summary())
    assert pickle.loads(pickle.dumps(analysis)) == analysis
    description = (tmp_path / "kept" / "analysis.json").read_text()
    for part in ['"fs": 1000.0', '"estimator": "centred"', '"shape": [', '"sha256": "', '"telmor_version"']:
        assert part in description
    # A recording changed after the save is named.
    data = np.load(tmp_path / "kept" / "recording.npy")
    data[0, 0] += 1.0
    np.save(tmp_path / "kept" / "recording.npy", data)
    with pytest.raises(ValueError, match="SHA-256"):
        telmor.load(tmp_path / "kept")


def test_ctrl_c_stops_a_long_analysis_within_a_second(sample):
    long = np.tile(sample.data, (60, 8))  # 64 leads × 600 s
    timer = threading.Timer(0.5, lambda: os.kill(os.getpid(), signal.SIGINT))
    started = time.monotonic()
    timer.start()
    with pytest.raises(KeyboardInterrupt):
        telmor.analyse(long)
    assert time.monotonic() - started < 1.6
