"""read_recording in every format it takes, the Recording it gives (standing in
for its array), and analyse on a Recording at its own rate with its labels."""
import numpy as np
import pytest
import scipy.io

import telmor
from conftest import SAMPLE

LABELS = [f"E{j}" for j in range(1, 9)]


@pytest.fixture(scope="module")
def sample():
    return telmor.read_recording(SAMPLE)


def write_csv(path, data, fs, time_column="time_ms"):
    with open(path, "w", encoding="utf-8") as f:
        names = ([time_column] if time_column else []) + [f"{name} (mV)" for name in LABELS]
        f.write(",".join(names) + "\n")
        scale = 1000.0 if time_column == "time_ms" else 1.0
        for i, row in enumerate(data):
            values = ([repr(i * scale / fs)] if time_column else []) + [repr(float(v)) for v in row]
            f.write(",".join(values) + "\n")


def write_edf(path, data, fs):
    """EDF by the standard's layout: 16-bit samples over each lead's range."""
    samples, leads = data.shape
    spr = int(fs)
    records = samples // spr
    low, high = data.min(axis=0) - 0.01, data.max(axis=0) + 0.01

    def field(text, width):
        return str(text)[:width].ljust(width).encode("ascii")

    head = field("0", 8) + field("X X X X", 80) + field("Startdate X X X X", 80)
    head += b"01.01.2001.00.00" + field(256 * (leads + 1), 8) + field("", 44)
    head += field(records, 8) + field(1, 8) + field(leads, 4)
    # The per-lead fields, each lead's value in turn, field after field.
    widths = [16, 80, 8, 8, 8, 8, 8, 80, 8, 32]
    columns = [LABELS, [""] * leads, ["mV"] * leads, [f"{v:.4f}"[:8] for v in low],
               [f"{v:.4f}"[:8] for v in high], [-32768] * leads, [32767] * leads, [""] * leads,
               [spr] * leads, [""] * leads]
    for width, values in zip(widths, columns):
        head += b"".join(field(v, width) for v in values)
    low = np.array([float(f"{v:.4f}"[:8]) for v in low])
    high = np.array([float(f"{v:.4f}"[:8]) for v in high])
    digital = np.rint((data - low) / (high - low) * 65535 - 32768).clip(-32768, 32767).astype("<i2")
    body = b"".join(digital[k * spr:(k + 1) * spr].T.tobytes() for k in range(records))
    path.write_bytes(head + body)
    return (high - low) / 65535


def test_every_format_gives_the_samples_rate_and_labels(sample, tmp_path):
    data = sample.data
    write_csv(tmp_path / "s.csv", data, 1000.0)
    scipy.io.savemat(tmp_path / "s.mat", {"ecg": data.astype(np.float64), "fs": 1000.0})
    steps = write_edf(tmp_path / "s.edf", data, 1000.0)
    for name, labels, tolerance in [("s.csv", LABELS, 0.0), ("s.mat", [""] * 8, 0.0),
                                    ("s.edf", LABELS, steps)]:
        got = telmor.read_recording(tmp_path / name)
        assert isinstance(got, telmor.Recording)
        assert got.data.dtype == np.float32 and got.shape == (10000, 8), name
        assert got.fs == 1000.0, name
        assert got.labels == labels, name
        assert got.source == str(tmp_path / name)
        assert np.all(np.abs(got.data - data) <= tolerance), name
    assert telmor.read_recording(tmp_path / "s.csv").units == ["mV"] * 8
    assert telmor.read_recording(tmp_path / "s.edf").units == ["mV"] * 8


def test_a_recording_stands_in_for_its_array(sample):
    assert np.asarray(sample) is sample.data
    assert isinstance(sample * 1000, np.ndarray)
    assert np.array_equal(sample * 2, sample.data * 2)
    assert np.array_equal(np.tile(sample, (1, 2))[:, 8:], sample.data)
    assert sample[5, 3] == sample.data[5, 3]
    assert sample.dtype == np.float32 and sample.T.shape == (8, 10000)
    assert len(sample) == 10000 and sample.seconds == 10.0
    assert "8 leads, 10000 samples at 1000 Hz" in repr(sample)
    with pytest.raises(ValueError, match="labels must name each of the 2 leads"):
        telmor.Recording(np.zeros((1000, 2)), 1000.0, labels=["a"])
    with pytest.raises(ValueError, match="positive number of Hz"):
        telmor.Recording(np.zeros((1000, 2)), 0.0)


def test_analyse_takes_a_recording_at_its_own_rate_with_its_labels(sample, tmp_path):
    # The sample at 2 kHz (each sample twice) read from a CSV that says so.
    doubled = np.repeat(sample.data, 2, axis=0)
    write_csv(tmp_path / "fast.csv", doubled, 2000.0, time_column="time_s")
    fast = telmor.read_recording(tmp_path / "fast.csv")
    assert fast.fs == 2000.0
    by_recording = telmor.analyse(fast)
    by_array = telmor.analyse(doubled, fs=2000.0)
    assert by_recording.fs == 2000.0
    assert np.array_equal(by_recording.beats, by_array.beats)
    assert np.array_equal(by_recording.at, by_array.at, equal_nan=True)
    assert by_recording.labels == LABELS
    assert by_array.labels == [""] * 8
    marks = by_recording.marks
    assert list(marks["label"][marks["lead"] == 3]) == ["E3"] * int(np.sum(marks["lead"] == 3))
    # The 2 kHz beats fall where the 1 kHz ones do, within a sample.
    at_1k = telmor.analyse(sample).beats
    assert len(at_1k) == len(by_recording.beats)
    assert np.all(np.abs(np.asarray(by_recording.beats) - np.asarray(at_1k)) <= 1.0)
    with pytest.raises(ValueError, match="differs from the recording's own rate"):
        telmor.analyse(fast, fs=1000.0)
    assert telmor.analyse(fast, fs=2000.0).fs == 2000.0


def test_what_a_file_cannot_say_names_the_keyword(sample, tmp_path):
    two = tmp_path / "two.mat"
    scipy.io.savemat(two, {"left": sample.data[:, :4].astype(np.float64),
                           "right": sample.data[:, 4:].astype(np.float64), "fs": 1000.0})
    with pytest.raises(telmor.RecordingError, match=r"several 2-D datasets \(left, right\).*dataset="):
        telmor.read_recording(two)
    assert telmor.read_recording(two, dataset="right").shape == (10000, 4)
    plain = tmp_path / "plain.mat"
    scipy.io.savemat(plain, {"ecg": sample.data[:, :2].astype(np.float64)})
    with pytest.raises(telmor.RecordingError, match="no sampling rate.*rate="):
        telmor.read_recording(plain)
    assert telmor.read_recording(plain, rate=500.0).fs == 500.0
    square = tmp_path / "square.mat"
    scipy.io.savemat(square, {"grid": np.zeros((1000, 1000)), "fs": 1000.0})
    with pytest.raises(telmor.RecordingError, match="orientation="):
        telmor.read_recording(square)
    assert telmor.read_recording(square, orientation="leads-by-samples").shape == (1000, 1000)
    with pytest.raises(ValueError, match="orientation must be"):
        telmor.read_recording(square, orientation="sideways")
    csv = tmp_path / "s.csv"
    write_csv(csv, sample.data, 1000.0)
    first = telmor.read_recording(csv, leads=3, seconds=4)
    assert first.shape == (4000, 3) and first.labels == LABELS[:3]
    with pytest.raises(telmor.RecordingError, match="no lead 9 .the recording holds 8"):
        telmor.read_recording(csv, leads=9)
