"""Every refusal of the module, with a message that says what is wrong."""
import os
import stat

import numpy as np
import pytest

import telmor
from conftest import SAMPLE


@pytest.fixture(scope="module")
def wave():
    return telmor.read_recording(SAMPLE)


def with_value(wave, sample, lead, value):
    changed = wave.astype(np.float64)
    changed[sample, lead] = value
    return changed


@pytest.mark.parametrize("make,message", [
    (lambda w: w[:, 0], "2-D"),
    (lambda w: w[None], "2-D"),
    (lambda w: w[:999], "shorter than a second \\(999 samples\\)"),
    (lambda w: w[:, :0], "at least one lead"),
    (lambda w: with_value(w, 1500, 2, np.nan), r"wave\[1500, 2\].*sample 1501 of lead 3"),
    (lambda w: with_value(w, 10, 0, 1e39), r"sample 11 of lead 1"),
])
@pytest.mark.filterwarnings("ignore:overflow encountered in cast")
def test_bad_waves_are_refused(wave, make, message):
    with pytest.raises(ValueError, match=message):
        telmor.analyse(make(wave))


@pytest.mark.parametrize("make", [lambda w: w.astype(np.complex64), lambda w: w.astype(str)])
def test_waves_of_no_real_numbers_are_a_type_error(wave, make):
    with pytest.raises(TypeError, match="real numbers"):
        telmor.analyse(make(wave))


@pytest.mark.parametrize("settings,message", [
    ({"smooth": -1}, "smoothing"), ({"smooth": 0}, "smoothing must be 2 to 499"), ({"smooth": 1}, "smoothing"),
    ({"smooth": 500}, "smoothing"),
    ({"ratio": 1.5}, "ratio"), ({"ratio": float("nan")}, "ratio"),
    ({"ranges": (-80, 80, 100)}, "four"), ({"ranges": (-201, 80, 100, 200)}, "-200 to 1466"),
    ({"ranges": (80, -80, 100, 200)}, "AT range"), ({"ranges": (-80, 80, 200, 100)}, "RT range"),
    ({"beat_lead": 0}, "beat lead 0"), ({"beat_lead": 9}, "beat lead 9 does not exist"),
])
def test_settings_outside_the_dialogues_bounds_are_refused(wave, settings, message):
    with pytest.raises(ValueError, match=message):
        telmor.analyse(wave, **settings)


def test_a_recording_without_data_is_a_recording_error():
    with pytest.raises(telmor.RecordingError, match="no data"):
        telmor.analyse(np.zeros((2000, 3), np.float32))


@pytest.mark.parametrize("text,options,message", [
    ("1 2\n" * 999 + "1 x\n", {}, "row 1000 holds a value that is not a number"),
    ("1 2\n" * 1001, {}, "1001 rows of data, not a multiple of 1000"),
    ("1 2\n" * 500, {"leads": 2, "seconds": 1}, "ends within the data of row 501"),
    ("1 2\r" * 1000, {}, "CR alone"),
    ("", {}, "no rows"),
])
def test_unreadable_recordings_say_why(tmp_path, text, options, message):
    path = tmp_path / "r.txt"
    path.write_text(text)
    with pytest.raises(telmor.RecordingError, match=message):
        telmor.read_recording(path, **options)


def test_missing_files_and_folders_are_refused(tmp_path):
    with pytest.raises(FileNotFoundError, match="none.txt"):
        telmor.read_recording(tmp_path / "none.txt")
    with pytest.raises(IsADirectoryError):
        telmor.read_recording(tmp_path)
    with pytest.raises(ValueError, match="leads"):
        telmor.read_recording(SAMPLE, leads=0)
    with pytest.raises(FileNotFoundError, match="noneari.csv"):
        telmor.read_results(tmp_path / "noneari.csv", 8)


def test_results_beyond_the_desktops_tables_are_not_written(wave, tmp_path):
    wide = telmor.analyse(np.hstack([wave, wave, wave]))
    with pytest.raises(ValueError, match="at most 20 leads and 200 rows; this analysis has 24 leads"):
        telmor.write_results(tmp_path / "wideari.csv", wide)
    assert not (tmp_path / "wideari.csv").exists()
    with pytest.raises(OSError):
        telmor.write_results(tmp_path / "missing" / "ari.csv", telmor.analyse(wave))


@pytest.mark.parametrize("text,message", [
    ("  2\r\n", "line 2 \\(AT block\\) is missing"),
    ("201\r\n", "count 201, outside 0 to 200"),
    ("  1\r\n     abc.,\r\n", "lead 1 that is not a number"),
])
def test_damaged_results_files_are_refused(tmp_path, text, message):
    path = tmp_path / "ari.csv"
    path.write_bytes(text.encode())
    with pytest.raises(telmor.ResultsError, match=message):
        telmor.read_results(path, 8)
    with pytest.raises(ValueError, match="leads"):
        telmor.read_results(path, 21)


@pytest.mark.skipif(not hasattr(os, "mkfifo"), reason="no FIFOs here")
@pytest.mark.parametrize("kind", ["fifo", "folder"])
def test_a_save_never_replaces_what_is_not_a_file(tmp_path, kind):
    analysis = telmor.analyse(telmor.read_recording(SAMPLE))
    target = tmp_path / "sampleari.csv"
    if kind == "fifo":
        os.mkfifo(target)
    else:
        target.mkdir()
    with pytest.raises(OSError):
        telmor.write_results(target, analysis)
    assert (stat.S_ISFIFO if kind == "fifo" else stat.S_ISDIR)(os.lstat(target).st_mode)
