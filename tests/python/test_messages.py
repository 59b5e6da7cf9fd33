"""The texts the module hands Python: numbers with a decimal point whatever
the locale, bytes that are not UTF-8 (a Latin-1 label, a path's bytes)
replaced rather than raised, and the file errors of read_results and
read_recording of the module's own kinds."""
import json
import os
import shutil
import subprocess

import numpy as np
import pytest

import telmor
from conftest import SAMPLE, isolated


@pytest.fixture(scope="module")
def german(tmp_path_factory):
    """The environment in which de_DE.UTF-8 can be set: the system's, or one
    made here with localedef when the system has none."""
    names = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.split()
    if any(n.lower().replace("-", "") == "de_de.utf8" for n in names):
        return {}
    if shutil.which("localedef") is None:
        pytest.skip("no German locale here, and no localedef to make one")
    where = tmp_path_factory.mktemp("locales")
    subprocess.run(["localedef", "-i", "de_DE", "-f", "UTF-8", str(where / "de_DE.UTF-8")], capture_output=True)
    if not (where / "de_DE.UTF-8").exists():
        pytest.skip("no German locale here, and localedef could not make one")
    return {"LOCPATH": str(where)}


# Each call, and the number its message must hold with a point.
GERMAN_CASES = [
    ("telmor.analyse(wave, ratio=1.5)", "1.5"),
    (f"telmor.read_recording({str(SAMPLE)!r}, rate=-2.5)", "-2.5"),
    ("telmor.analyse(wave.data[:, :2], fs=100.5)", "100.5"),
    ("telmor.analyse(wave.data, fs=2000.5, estimator='legacy')", "2000.5"),
    ("telmor._core.analyse(telmor.Recording(wave.data, 1000.0), fs=999.5)", "999.5"),
]


def test_messages_have_a_decimal_point_under_a_german_locale(german):
    calls = ",\n".join(f"lambda: {call}" for call, _ in GERMAN_CASES)
    out = isolated(f"""
import json, locale
import telmor
wave = telmor.read_recording({str(SAMPLE)!r})
locale.setlocale(locale.LC_ALL, "de_DE.UTF-8")
messages = []
for call in [{calls}]:
    try:
        call()
        messages.append(None)
    except ValueError as error:
        messages.append(str(error))
print(json.dumps([locale.format_string("%.1f", 1.5), messages]))
""", env=german)
    shown, messages = json.loads(out)
    assert shown == "1,5"  # the locale was in force
    for (call, number), message in zip(GERMAN_CASES, messages):
        assert message is not None and number in message, (call, message)
        assert number.replace(".", ",") not in message, (call, message)


def latin1_csv(path):
    data = telmor.read_recording(SAMPLE).data[:, :2]
    rows = [b"time_ms,caf\xe9 (\xb5V),Na\xefve (mV)"]
    rows += [f"{i},{a!r},{b!r}".encode() for i, (a, b) in enumerate(data.tolist())]
    path.write_bytes(b"\n".join(rows) + b"\n")


def latin1_edf(path):
    """The EDF of the recording tests, with a Latin-1 label and unit."""
    from test_recording import write_edf
    write_edf(path, telmor.read_recording(SAMPLE).data, 1000.0)
    head = bytearray(path.read_bytes())
    leads = int(head[252:256])
    head[256:272] = b"caf\xe9".ljust(16)
    units = 256 + leads * (16 + 80)
    head[units:units + 8] = b"\xb5V".ljust(8)
    path.write_bytes(bytes(head))


@pytest.mark.parametrize("write", [latin1_csv, latin1_edf], ids=["csv", "edf"])
def test_labels_and_units_that_are_not_utf8_never_raise(tmp_path, write):
    path = tmp_path / ("r.edf" if write is latin1_edf else "r.csv")
    write(path)
    recording = telmor.read_recording(path)
    assert recording.labels[0].startswith("caf") and recording.units[0].endswith("V")
    assert all(isinstance(t, str) for t in recording.labels + recording.units)
    analysis = telmor.analyse(recording)
    assert analysis.labels[0].startswith("caf") and str(analysis.marks["label"][0]).startswith("caf")
    analysis.summary()
    analysis.save(tmp_path / "kept.zip")
    assert telmor.load(tmp_path / "kept.zip") == analysis


def test_a_path_that_is_not_utf8_is_named_with_its_bytes_replaced(tmp_path):
    bad = tmp_path / os.fsdecode(b"bad\xe9.txt")
    bad.write_text("1 2\n" * 999 + "1 x\n")
    with pytest.raises(telmor.RecordingError) as error:
        telmor.read_recording(bad)
    assert "bad\ufffd.txt" in str(error.value)
    good = tmp_path / os.fsdecode(b"good\xe9.txt")
    shutil.copy(SAMPLE, good)
    recording = telmor.read_recording(good)
    assert recording.source == str(good)  # the name as given: it opens the file again
    assert np.array_equal(telmor.read_recording(recording.source).data, recording.data)
    analysis = telmor.analyse(recording)
    for kept in (tmp_path / os.fsdecode(b"kept\xe9"), os.fsencode(tmp_path / os.fsdecode(b"kept\xe9.zip"))):
        analysis.save(kept)
        assert telmor.load(kept) == analysis
    with pytest.raises(telmor.SavedAnalysisError) as error:
        telmor.load(good)  # a text recording is no zip
    assert "good" in str(error.value).encode("utf-8").decode()  # printable: the name's byte shown escaped


@pytest.mark.parametrize("make,error", [
    (lambda p: None, FileNotFoundError),
    (lambda p: p.mkdir(), IsADirectoryError),
    (lambda p: os.mkfifo(p), "ResultsError"),
    (lambda p: p.write_bytes(b"  0\r\n" * 300_000), "ResultsError"),
    (lambda p: p.symlink_to("/dev/zero"), "ResultsError"),
], ids=["missing", "folder", "fifo", "beyond any results file", "device"])
def test_read_results_refuses_what_is_no_results_file_with_the_modules_errors(tmp_path, make, error):
    path = tmp_path / "sampleari.csv"
    make(path)
    if not isinstance(error, str):
        with pytest.raises(error, match="sampleari.csv"):
            telmor.read_results(path, 8)
        return
    out = isolated(f"""
import telmor
try:
    telmor.read_results({str(path)!r}, 8)
except telmor.ResultsError as error:
    print("ResultsError", error)
""", timeout=60)
    assert out.startswith(error) and "sampleari.csv" in out, out


@pytest.mark.parametrize("make,error", [
    (lambda p: os.mkfifo(p), "a FIFO"), (lambda p: p.symlink_to("/dev/zero"), "a device"),
], ids=["fifo", "device"])
def test_read_recording_never_waits_on_a_fifo_or_reads_a_device(tmp_path, make, error):
    path = tmp_path / "r.txt"
    make(path)
    out = isolated(f"""
import telmor
try:
    telmor.read_recording({str(path)!r})
except telmor.RecordingError as error:
    print(error)
""", timeout=60)
    assert error in out and "r.txt" in out, out
