"""Saving an analysis: whole or not at all, never through a link, never over
what is not a saved analysis (a batch's summary, a folder, a FIFO, a device),
formula labels guarded; and an analysis that keeps its own recording,
whatever becomes of the caller's array."""
import csv
import errno
import json
import os
import pickle
import shutil
import stat

import numpy as np
import pytest

import telmor
from conftest import SAMPLE, isolated

MEMBERS = ("analysis.json", "beats.csv", "recording.npy", "summary.csv")


@pytest.fixture(scope="module")
def sample():
    return telmor.read_recording(SAMPLE)


@pytest.fixture(scope="module")
def old(sample):
    return telmor.analyse(sample)


@pytest.fixture(scope="module")
def new(sample):
    return telmor.analyse(sample, smooth=5, ratio=0.2)


def contents(folder):
    """Every entry of folder: a file's bytes, a link's target, or its kind."""
    found = {}
    for entry in sorted(os.listdir(folder)):
        path = os.path.join(folder, entry)
        if os.path.islink(path):
            found[entry] = ("link", os.readlink(path))
        elif os.path.isfile(path):
            found[entry] = open(path, "rb").read()
        else:
            found[entry] = stat.S_IFMT(os.lstat(path).st_mode)
    return found


def saved_at(tmp_path, analysis, form, name="kept"):
    target = tmp_path / (name + ".zip" if form == "zip" else name)
    analysis.save(target)
    return target


# Links: replaced as links where a saved analysis may be replaced, what they
# point at never written; refused where it may not.
@pytest.mark.parametrize("case", ["member link in a saved folder", "member link in a folder of its own",
                                  "zip link to a foreign file", "zip link to a saved zip", "zip link to nothing",
                                  "zip link to a folder", "folder link to a folder"])
def test_a_save_never_writes_through_a_link(tmp_path, old, new, case):
    elsewhere = tmp_path / "elsewhere"
    elsewhere.mkdir()
    victim = elsewhere / "victim"
    victim.write_bytes(b"recording,lead,beat\nprecious\n")
    kept = tmp_path / "kept"
    if case == "member link in a saved folder":
        old.save(kept)
        (kept / "summary.csv").unlink()
        (kept / "summary.csv").symlink_to(victim)
        target, refused = kept, False
    elif case == "member link in a folder of its own":
        kept.mkdir()
        (kept / "summary.csv").symlink_to(victim)
        target, refused = kept, True
    elif case == "zip link to a foreign file":
        target, refused = tmp_path / "x.zip", True
        target.symlink_to(victim)
    elif case == "zip link to a saved zip":
        victim = elsewhere / "victim.zip"
        old.save(victim)
        target, refused = tmp_path / "x.zip", False
        target.symlink_to(victim)
    elif case == "zip link to nothing":
        victim = elsewhere / "nothing.zip"
        target, refused = tmp_path / "x.zip", False
        target.symlink_to(victim)
    elif case == "zip link to a folder":
        victim = elsewhere
        target, refused = tmp_path / "x.zip", True
        target.symlink_to(victim)
    else:
        victim = elsewhere
        target, refused = tmp_path / "linked", True
        target.symlink_to(victim)
    before = contents(elsewhere)
    if refused:
        with pytest.raises(OSError, match="kept|x.zip|linked"):
            new.save(target)
        assert os.path.islink(target) or os.path.islink(target / "summary.csv")
    else:
        new.save(target)
        assert telmor.load(target) == new
        assert not os.path.islink(target) and not os.path.islink(target / "summary.csv")
    assert contents(elsewhere) == before  # what the link points at is untouched


def test_a_folder_holding_a_batchs_files_is_refused_untouched(tmp_path, batch, old):
    shutil.copy(SAMPLE, tmp_path / "sample.txt")
    out = tmp_path / "out"
    assert batch("--out", out, tmp_path / "sample.txt").returncode == 0
    only_summary = tmp_path / "only"
    only_summary.mkdir()
    shutil.copy(out / "summary.csv", only_summary / "summary.csv")
    for folder in (out, only_summary):
        before = contents(folder)
        with pytest.raises(FileExistsError, match="summary.csv|sampleari.csv"):
            old.save(folder)
        assert contents(folder) == before


@pytest.mark.parametrize("form", ["folder", "zip"])
def test_a_foreign_file_is_refused_and_an_empty_one_replaced(tmp_path, old, form):
    target = tmp_path / ("x.zip" if form == "zip" else "x")
    foreign = target / "notes.txt" if form == "folder" else target
    foreign.parent.mkdir(exist_ok=True)
    foreign.write_bytes(b"my notes")
    with pytest.raises(FileExistsError, match="notes.txt|x.zip"):
        old.save(target)
    assert foreign.read_bytes() == b"my notes"
    if form == "zip":
        target.write_bytes(b"")
        old.save(target)
        assert telmor.load(target) == old


NOT_FILES = [("x.zip", "folder"), ("x.zip", "fifo"), ("x.zip", "device"), ("kept/summary.csv", "fifo"),
             ("kept/recording.npy", "folder"), ("kept", "fifo"), ("kept", "file")]


@pytest.fixture(scope="module")
def not_files(tmp_path_factory):
    """Each case of NOT_FILES saved over in one Python of its own (a save
    waiting on a FIFO fails the tests rather than hanging them): {case:
    (what stood there before, after, the error)}."""
    made = {}
    for place, kind in NOT_FILES:
        base = tmp_path_factory.mktemp("target")
        target = base / place
        target.parent.mkdir(exist_ok=True)
        {"folder": target.mkdir, "fifo": lambda: os.mkfifo(target), "device": lambda: target.symlink_to("/dev/null"),
         "file": lambda: target.write_bytes(b"x")}[kind]()
        made[f"{place} {kind}"] = (str(base / place.split("/")[0]), str(target), os.lstat(target).st_mode)
    out = isolated(f"""
import json, telmor
analysis = telmor.analyse(telmor.read_recording({str(SAMPLE)!r}))
found = {{}}
for case, (path, _, _) in {made!r}.items():
    try:
        analysis.save(path)
        found[case] = None
    except OSError as error:
        found[case] = type(error).__name__ + ": " + str(error)
print(json.dumps(found))
""", timeout=120)
    errors = json.loads(out)
    return {case: (mode, os.lstat(target).st_mode, errors[case]) for case, (_, target, mode) in made.items()}


@pytest.mark.parametrize("place,kind", NOT_FILES)
def test_a_save_replaces_nothing_but_a_regular_file(not_files, place, kind):
    before, after, error = not_files[f"{place} {kind}"]
    assert error and place.split("/")[-1] in error, error
    assert after == before
    assert stat.S_ISCHR(os.stat("/dev/null").st_mode)


# Failures half way: the old save stays as it was, no temporary left behind.
def _half_then_fail(file, samples):
    file.write(samples.tobytes()[: samples.nbytes // 2])
    raise OSError(errno.ENOSPC, os.strerror(errno.ENOSPC))


def _fail_on_summary(real):
    def write(file, data):
        if data.startswith(b"lead,beat,"):
            file.write(data[: len(data) // 2])
            raise OSError(errno.ENOSPC, os.strerror(errno.ENOSPC))
        real(file, data)
    return write


def _rename_fails_third(real):
    calls = []

    def rename(source, target):
        calls.append(target)
        if len(calls) == 3:
            raise OSError(errno.EIO, os.strerror(errno.EIO))
        real(source, target)
    return rename


@pytest.mark.parametrize("form", ["folder", "zip"])
@pytest.mark.parametrize("failure", ["recording half written", "summary half written", "third rename"])
def test_a_failure_half_way_keeps_the_old_save(tmp_path, monkeypatch, old, new, form, failure):
    target = saved_at(tmp_path, old, form)
    before = contents(tmp_path), contents(target) if form == "folder" else None
    saved = telmor._saved
    if failure == "recording half written":
        monkeypatch.setattr(saved, "_write_recording", _half_then_fail)
    elif failure == "summary half written":
        monkeypatch.setattr(saved, "_write_bytes", _fail_on_summary(saved._write_bytes))
    else:
        monkeypatch.setattr(telmor._files.os, "replace", _rename_fails_third(os.replace))
    if failure == "third rename" and form == "zip":
        new.save(target)  # one rename only: it goes through
        assert telmor.load(target) == new
        return
    with pytest.raises(OSError):
        new.save(target)
    monkeypatch.undo()
    assert (contents(tmp_path), contents(target) if form == "folder" else None) == before
    assert telmor.load(target) == old


@pytest.mark.parametrize("form", ["folder", "zip"])
def test_a_full_disk_keeps_the_old_save(tmp_path, old, form):
    """The file-size limit stands in for a full disk: the writes fail with EFBIG."""
    target = saved_at(tmp_path, old, form)
    before = contents(tmp_path), contents(target) if form == "folder" else None
    out = isolated(f"""
import resource, signal
import telmor
analysis = telmor.analyse(telmor.read_recording({str(SAMPLE)!r}), smooth=5)
signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
resource.setrlimit(resource.RLIMIT_FSIZE, (100_000, resource.RLIM_INFINITY))
try:
    analysis.save({str(target)!r})
except OSError as error:  # EFBIG, or numpy's count of bytes written
    print("refused:", error)
""")
    assert out.startswith("refused:"), out
    assert (contents(tmp_path), contents(target) if form == "folder" else None) == before
    assert telmor.load(target) == old


# What is written.
def as_tables_show(label):
    """A label as every table TELMOR writes shows it: its controls written
    out as \\xHH, behind a ' where a spreadsheet would take it for a formula."""
    shown = "".join(f"\\x{ord(c):02X}" if ord(c) < 0x20 or ord(c) == 0x7F else c for c in label)
    return "'" + shown if shown[:1] in ("=", "+", "-", "@", "'") else shown


@pytest.mark.parametrize("form", ["folder", "zip"])
def test_formula_labels_are_guarded_and_load_back_as_given(tmp_path, sample, form):
    labels = ["=SUM(A1)", "+1", "-aVR", "@cmd", "\tx", "'quoted", "a,b \"c\"", "V1"]
    analysis = telmor.analyse(telmor.Recording(sample.data, sample.fs, labels))
    target = saved_at(tmp_path, analysis, form)
    if form == "zip":
        import zipfile
        with zipfile.ZipFile(target) as archive:
            text = archive.read("summary.csv").decode("utf-8")
    else:
        text = (target / "summary.csv").read_text(encoding="utf-8")
    rows = list(csv.DictReader(text.splitlines(keepends=True)))
    assert {row["label"] for row in rows if row["label"].startswith("'")} == {
        "'=SUM(A1)", "'+1", "'-aVR", "'@cmd", "''quoted"}
    for row in rows:
        assert row["label"] == as_tables_show(labels[int(row["lead"]) - 1]), row["lead"]
    back = telmor.load(target)
    assert back.labels == labels and back == analysis


def test_labels_are_shown_as_the_batchs_summary_shows_them(tmp_path, sample, batch):
    """A CSV recording whose header names formulas: the saved summary's
    labels are the batch summary's, field for field."""
    labels = ["=SUM(A1)", "+1", "-aVR", "@cmd", "'quoted", "V1", "=1+2", "x=1"]
    recording = tmp_path / "formulas.csv"
    lines = [",".join(labels)] + [",".join(repr(float(v)) for v in row) for row in sample.data.tolist()]
    recording.write_text("\n".join(lines) + "\n", encoding="utf-8")
    out = tmp_path / "out"
    assert batch("--out", out, "--rate", "1000", recording).returncode == 0
    theirs = [(r["lead"], r["beat"], r["label"]) for r in csv.DictReader(open(out / "summary.csv", newline=""))]
    telmor.analyse(telmor.read_recording(recording, rate=1000.0)).save(tmp_path / "kept")
    ours = [(r["lead"], r["beat"], r["label"])
            for r in csv.DictReader(open(tmp_path / "kept" / "summary.csv", newline=""))]
    assert ours == theirs and {label for _, _, label in ours} >= {"'=SUM(A1)", "''quoted", "x=1"}


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
