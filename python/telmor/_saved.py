"""A saved analysis on the disk: a folder, or a zip, of recording.npy,
beats.csv, summary.csv and analysis.json. Saved whole or not at all, never
through a link nor over anything but a saved analysis; loaded only from
regular files, every member within the bound of what a saved analysis can
hold, every damage one SavedAnalysisError naming the archive and the member."""
import ast
import contextlib
import errno
import hashlib
import io
import json
import math
import numbers
import os
import re
import stat
import zipfile

import numpy as np
import pandas as pd

from . import _core, _files

FORMAT = "telmor-analysis"
FORMAT_VERSION = 1

# In the order a save renames them into place: analysis.json, which names
# every other member's SHA-256, last.
MEMBERS = ("recording.npy", "beats.csv", "summary.csv", "analysis.json")

# The bounds of what a saved analysis holds. The recording's samples as
# float32 at most 16 GiB, as telmor-batch takes a recording into memory;
# analysis.json a few kB of settings and a label per lead; the tables a line
# per beat (and lead) of the analysis made again from the recording.
LARGEST_SAMPLES = 16 << 30
LARGEST_DESCRIPTION = 16 << 20
LARGEST_NPY_HEADER = 64 << 10
LARGEST_BEAT_LINE = 64
LARGEST_SUMMARY_LINE = 1024  # and twice the lead's label
LARGEST_ARCHIVE = 2 * LARGEST_SAMPLES
LARGEST_ARCHIVE_DIRECTORY = 64 << 10
_READ_CHUNK = 16 << 20


class SavedAnalysisError(ValueError):
    """A saved analysis that ``telmor.load`` cannot bring back: a member
    missing, damaged, beyond the bound of what a saved analysis holds, or
    made differently by this version. ``path`` is the archive (or folder),
    ``member`` the member (None for the archive as a whole)."""

    def __init__(self, path, member, reason):
        self.path, self.member, self.reason = path, member, reason
        where = f"{path!r}, {member}" if member else f"{path!r}"
        super().__init__(f"{where}: {reason}")

    def __reduce__(self):
        return (type(self), (self.path, self.member, self.reason))


def _why(error):
    text = str(error) or type(error).__name__
    return text if len(text) <= 200 else text[:197] + "..."


@contextlib.contextmanager
def _member(path, member):
    """Whatever goes wrong in reading member is that member's damage (the
    system's refusal to let it be read stays the system's)."""
    try:
        yield
    except (SavedAnalysisError, PermissionError, MemoryError):
        raise
    except _files.NotAFile as error:
        raise SavedAnalysisError(path, member, f"is no file ({_why(error)})") from None
    except IsADirectoryError:
        raise SavedAnalysisError(path, member, "is a folder, not a file") from None
    except FileNotFoundError:
        raise SavedAnalysisError(path, member, "is missing") from None
    except Exception as error:  # noqa: BLE001 — a hostile file may fail any way
        raise SavedAnalysisError(path, member, f"is damaged ({_why(error)})") from error


# Writing.
def guarded(column):
    """A column of text as the tables TELMOR writes hold it: its control
    characters written out, a text that a spreadsheet would take for a
    formula behind a '. A load compares the saved table with the analysis's
    own texts made so (the texts themselves are analysis.json's)."""
    values, where = np.unique(np.asarray(column, dtype=str), return_inverse=True)
    return np.array([_core._guarded_csv_text(v) for v in values] or [""], dtype=object)[where]


def _csv(columns):
    return pd.DataFrame(columns).to_csv(index=False, lineterminator="\n").encode("utf-8")


def summary_bytes(marks):
    return _csv({name: guarded(v) if v.dtype.kind == "U" else v for name, v in marks.items()})


def beats_bytes(beats):
    return _csv({"beat": np.arange(1, len(beats) + 1), "beat_ms": beats})


def _write_bytes(file, data):
    file.write(data)


def _write_recording(file, samples):
    np.lib.format.write_array(file, samples, allow_pickle=False)


def _holds_zip(path):
    try:
        with _open_zip(os.fspath(path)) as source:
            _description(source)
        return True
    except (SavedAnalysisError, OSError):
        return False


def _holds_folder(folder):
    try:
        _description(_Folder(folder))
        return True
    except (SavedAnalysisError, OSError):
        return False


def save(path, description, samples, marks, beats):
    """Saves an analysis at path (a folder, or a zip for a name ending in .zip)."""
    summary, beat_table = summary_bytes(marks), beats_bytes(beats)
    description = dict(description, members={"beats.csv": hashlib.sha256(beat_table).hexdigest(),
                                              "summary.csv": hashlib.sha256(summary).hexdigest()})
    text = json.dumps(description, indent=2, ensure_ascii=False).encode("utf-8")
    writers = [("recording.npy", lambda f: _write_recording(f, samples)),
               ("beats.csv", lambda f: _write_bytes(f, beat_table)),
               ("summary.csv", lambda f: _write_bytes(f, summary)),
               ("analysis.json", lambda f: _write_bytes(f, text))]
    path = os.fsdecode(path)  # str, a bytes path's undecodable bytes kept
    if path.lower().endswith(".zip"):
        _files.replace_file(path, lambda file: _write_zip(file, writers, samples.nbytes), _holds_zip)
    else:
        _save_folder(path, writers)


def _write_zip(file, writers, sample_bytes):
    with zipfile.ZipFile(file, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, write in writers:
            large = name == "recording.npy" and sample_bytes > (1 << 30)
            with archive.open(name, "w", force_zip64=large) as member:
                write(member)


def _save_folder(folder, writers):
    try:
        status = os.lstat(folder)
    except FileNotFoundError:
        status = None
    if status is None:
        os.makedirs(folder)
        try:
            _files.replace_members(folder, writers)
        except BaseException:
            with contextlib.suppress(OSError):
                os.rmdir(folder)
            raise
        return
    if stat.S_ISLNK(status.st_mode):
        raise OSError(f"{folder!r} is a link: a saved analysis is written into a folder of its own, "
                              "never through a link")
    if stat.S_ISREG(status.st_mode):
        raise NotADirectoryError(errno.ENOTDIR, "a file stands there: an analysis is saved into a folder "
                                 "(or a zip, for a name ending in .zip)", folder)
    if not stat.S_ISDIR(status.st_mode):
        raise OSError(f"{folder!r} is {_files.kind(status.st_mode)}: an analysis is saved into a folder")
    _check_folder_holds_an_analysis(folder)
    _files.replace_members(folder, writers)


def _check_folder_holds_an_analysis(folder):
    """A folder is saved into when it is empty or holds a saved analysis and
    nothing else (a save's temporaries aside); anything else there is left
    as it is and the save refused."""
    present = []
    with os.scandir(folder) as entries:
        for entry in entries:
            name = entry.name
            if name in MEMBERS:
                mode = entry.stat(follow_symlinks=False).st_mode
                if not (stat.S_ISREG(mode) or stat.S_ISLNK(mode)):
                    raise OSError(f"{os.path.join(folder, name)!r} is {_files.kind(mode)}: "
                                          "a save replaces nothing but a regular file")
                present.append(name)
            elif not any(_core._is_temporary_of(os.path.join(folder, m), os.path.join(folder, name))
                         for m in MEMBERS):
                raise FileExistsError(errno.EEXIST, f"it holds {name!r}, which is no part of a saved analysis: "
                                      "nothing there is replaced (save into a folder of its own)", folder)
    if present and not _holds_folder(folder):
        raise FileExistsError(errno.EEXIST, f"it holds {', '.join(sorted(present))} but no saved TELMOR analysis "
                              "(no analysis.json of one): nothing there is replaced", folder)


# Reading.
class _Folder:
    def __init__(self, path):
        self.path = path

    def open(self, name):
        """The member's stream and its size."""
        return _files.open_regular(os.path.join(self.path, name))

    def close(self):
        pass


class _Zip:
    def __init__(self, path, file, archive):
        self.path, self.file, self.archive = path, file, archive
        self.infos = {info.filename: info for info in archive.infolist()}

    def open(self, name):
        info = self.infos.get(name)
        if info is None:
            raise FileNotFoundError(errno.ENOENT, "missing", name)
        return self.archive.open(info), info.file_size

    def close(self):
        self.archive.close()
        self.file.close()


@contextlib.contextmanager
def _opened(source):
    try:
        yield source
    finally:
        source.close()


def _open_zip(path):
    """The zip at path, its directory checked before it is read: small (a
    saved analysis has four members), of members a saved analysis holds,
    stored or deflated."""
    file, size = _files.open_regular(path)
    try:
        if size > LARGEST_ARCHIVE:
            raise SavedAnalysisError(path, None, f"holds {size} bytes, more than the {LARGEST_ARCHIVE} of the "
                                     "largest saved analysis: it is not read")
        with _member(path, None):
            end = zipfile._EndRecData(file) if hasattr(zipfile, "_EndRecData") else None
            if end is None and hasattr(zipfile, "_EndRecData"):
                raise SavedAnalysisError(path, None, "is no zip, or one cut short (its end record is missing)")
            if end is not None and (end[zipfile._ECD_SIZE] > LARGEST_ARCHIVE_DIRECTORY
                                    or end[zipfile._ECD_ENTRIES_TOTAL] > 2 * len(MEMBERS)):
                raise SavedAnalysisError(path, None, "its directory names more members than a saved analysis has")
            archive = zipfile.ZipFile(file)
        names = [info.filename for info in archive.infolist()]
        for info in archive.infolist():
            if info.filename not in MEMBERS or names.count(info.filename) > 1:
                archive.close()
                raise SavedAnalysisError(path, info.filename, "is no member of a saved analysis, or one named twice")
            if info.flag_bits & 0x1 or info.compress_type not in (zipfile.ZIP_STORED, zipfile.ZIP_DEFLATED):
                archive.close()
                raise SavedAnalysisError(path, info.filename, "is encrypted or compressed in a way no save writes")
        return _opened(_Zip(path, file, archive))
    except BaseException:
        file.close()
        raise


def _bytes(source, name, limit):
    """The member name, at most limit bytes, its declared size and its actual
    size both checked."""
    with _member(source.path, name):
        stream, declared = source.open(name)
        with stream:
            if declared > limit:
                raise SavedAnalysisError(source.path, name, f"holds {declared} bytes, more than the {limit} "
                                         "this analysis's can hold: it is not read")
            data, more = _files.read_bounded(stream, limit)
        if more:
            raise SavedAnalysisError(source.path, name, f"holds more than the {limit} bytes this analysis's "
                                     "can hold (or than it says it holds)")
        return data


def _whole(value, least=None):
    return isinstance(value, numbers.Integral) and not isinstance(value, bool) and (least is None or value >= least)


def _description(source):
    """analysis.json, read and checked: each field the load uses of the right type."""
    path, name = source.path, "analysis.json"
    raw = _bytes(source, name, LARGEST_DESCRIPTION)
    with _member(path, name):
        try:
            d = json.loads(raw.decode("utf-8"))
        except (UnicodeDecodeError, ValueError, RecursionError) as error:
            raise SavedAnalysisError(path, name, f"is not JSON ({_why(error)})") from None

    def refuse(reason):
        raise SavedAnalysisError(path, name, reason)

    if not isinstance(d, dict) or d.get("format") != FORMAT:
        refuse("is not a saved TELMOR analysis's (its format is not \"telmor-analysis\")")
    if not _whole(d.get("format_version"), 1) or d["format_version"] > FORMAT_VERSION:
        refuse(f"format_version {d.get('format_version')!r} is not one this version ({_core.__version__}) reads")
    if not isinstance(d.get("telmor_version"), str):
        refuse("telmor_version is not a text")
    fs = d.get("fs")
    if isinstance(fs, bool) or not isinstance(fs, (int, float)) or not (math.isfinite(fs) and fs > 0):
        refuse("fs is not a positive number of Hz")
    shape = d.get("shape")
    if not (isinstance(shape, list) and len(shape) == 2 and all(_whole(n, 1) for n in shape)):
        refuse("shape is not two whole numbers (samples, leads)")
    if shape[0] >= 2**31 or shape[1] >= 2**31 or shape[0] * shape[1] * 4 > LARGEST_SAMPLES:
        refuse(f"shape {tuple(shape)} holds more samples than the {LARGEST_SAMPLES} bytes of the largest recording")
    labels = d.get("labels")
    if not (isinstance(labels, list) and len(labels) == shape[1] and all(isinstance(t, str) for t in labels)):
        refuse("labels is not a text per lead")
    if not (isinstance(d.get("sha256"), str) and re.fullmatch(r"[0-9a-f]{64}", d["sha256"])):
        refuse("sha256 is not a SHA-256")
    if not isinstance(d.get("given"), dict):
        refuse("given is not the settings given")
    members = d.get("members", {})
    tables = ("beats.csv", "summary.csv")
    if not (isinstance(members, dict) and all(isinstance(members.get(m, ""), str) for m in tables)):
        refuse("members is not a SHA-256 per member")
    return d


def _npy_header(stream, path):
    """The shape recording.npy's header states, and the header's length:
    float32 in C order is all a save writes."""
    name = "recording.npy"
    magic = _files.read_exactly(stream, 8)
    if len(magic) < 8 or magic[:6] != b"\x93NUMPY" or magic[6] not in (1, 2, 3):
        raise SavedAnalysisError(path, name, "is not a numpy array file (.npy)")
    width = 2 if magic[6] == 1 else 4
    length = int.from_bytes(_files.read_exactly(stream, width).ljust(width, b"\xff"), "little")
    if length > LARGEST_NPY_HEADER:
        raise SavedAnalysisError(path, name, f"its header of {length} bytes is beyond any numpy writes")
    text = _files.read_exactly(stream, length)
    if len(text) < length:
        raise SavedAnalysisError(path, name, "is cut short in its header")
    try:
        fields = ast.literal_eval(text.decode("utf-8" if magic[6] == 3 else "latin-1"))
    except (ValueError, SyntaxError, TypeError, MemoryError, RecursionError, UnicodeDecodeError):
        raise SavedAnalysisError(path, name, "its header is not numpy's") from None
    if not (isinstance(fields, dict) and fields.get("descr") == "<f4" and fields.get("fortran_order") is False
            and isinstance(fields.get("shape"), tuple) and len(fields["shape"]) == 2
            and all(_whole(n, 0) for n in fields["shape"])):
        raise SavedAnalysisError(path, name, "does not hold float32 samples × leads in C order")
    return fields["shape"], 8 + width + length


def _recording(source, description):
    """recording.npy into an array of the shape analysis.json states, read
    in chunks: never more than its shape takes, whatever the file declares."""
    path, name = source.path, "recording.npy"
    samples, leads = description["shape"]
    body = samples * leads * 4
    with _member(path, name):
        stream, declared = source.open(name)
        with stream:
            if not body + 10 <= declared <= body + 12 + LARGEST_NPY_HEADER:
                raise SavedAnalysisError(path, name, f"holds {declared} bytes where its shape takes {body} and "
                                         "a header: it is not read")
            shape, header = _npy_header(stream, path)
            if shape != (samples, leads):
                raise SavedAnalysisError(path, name, f"holds shape {shape}, not the {(samples, leads)} "
                                         "analysis.json states")
            expected = header + samples * leads * 4
            if declared != expected:
                raise SavedAnalysisError(path, name, f"holds {declared} bytes where its shape takes {expected}")
            data = np.empty((samples, leads), dtype=np.float32)
            view, done = memoryview(data).cast("B"), 0
            while done < len(view):
                got = stream.readinto(view[done:done + _READ_CHUNK])
                if not got:
                    raise SavedAnalysisError(path, name, "is cut short: it holds fewer samples than its shape")
                done += got
            if stream.read(1):
                raise SavedAnalysisError(path, name, "holds more than its shape")
    if hashlib.sha256(data).hexdigest() != description["sha256"]:
        raise SavedAnalysisError(path, name, "is not the recording that was analysed (SHA-256 differs)")
    return data


def _table(source, name, limit, columns, rows, description):
    """A CSV member as text cells, its columns and row count checked."""
    raw = _bytes(source, name, limit)
    expected = description.get("members", {}).get(name)
    if expected is not None and hashlib.sha256(raw).hexdigest() != expected:
        raise SavedAnalysisError(source.path, name, "is not the one saved with analysis.json (SHA-256 differs): "
                                 "it belongs to another save")
    with _member(source.path, name):
        table = pd.read_csv(io.StringIO(raw.decode("utf-8")), dtype=str, keep_default_na=False)
    if list(table.columns) != list(columns):
        raise SavedAnalysisError(source.path, name, f"its columns are not {', '.join(columns)}")
    if len(table) != rows:
        raise SavedAnalysisError(source.path, name, f"holds {len(table)} rows where the analysis has {rows}")
    return table


def _same(source, name, table, again):
    """Whether the saved table holds the columns of again; text in a column
    of numbers is damage."""
    for column, ours in again.items():
        theirs = table[column].to_numpy(dtype=object)
        if ours.dtype.kind in "fiu":
            empty = theirs == ""
            numbers_ = pd.to_numeric(pd.Series(np.where(empty, "nan", theirs)), errors="coerce").to_numpy(float)
            if (np.isnan(numbers_) & ~empty).any():
                raise SavedAnalysisError(source.path, name, f"column {column} holds text that is not a number")
            if not np.allclose(ours.astype(float), numbers_, equal_nan=True, rtol=0, atol=1e-9):
                return False
        elif not np.array_equal(guarded(ours), theirs):
            return False
    return True


def _check_tables(source, description, analysis):
    path = source.path
    beats = analysis.beats
    table = _table(source, "beats.csv", LARGEST_BEAT_LINE * (len(beats) + 2), ("beat", "beat_ms"), len(beats),
                   description)
    again = {"beat": np.arange(1, len(beats) + 1), "beat_ms": beats}
    same = _same(source, "beats.csv", table, again)
    marks = analysis.marks
    line = LARGEST_SUMMARY_LINE + 2 * max((len(t.encode("utf-8")) for t in analysis.labels), default=0)
    rows = len(marks["lead"])
    table = _table(source, "summary.csv", line * (rows + 1), tuple(marks), rows, description)
    if not (same and _same(source, "summary.csv", table, marks)):
        raise SavedAnalysisError(path, "summary.csv" if same else "beats.csv",
                                 f"was saved by telmor {description['telmor_version']}, whose marks this version "
                                 f"({_core.__version__}) does not make from the same recording and settings")


def load(path, restore):
    """The analysis saved at path, made again by restore(data, fs, labels,
    given) from its recording and checked against its tables."""
    path = os.fsdecode(path)  # str, a bytes path's undecodable bytes kept
    try:
        status = os.stat(path)
    except FileNotFoundError:
        raise FileNotFoundError(errno.ENOENT, os.strerror(errno.ENOENT), path) from None
    if stat.S_ISDIR(status.st_mode):
        opened = _opened(_Folder(path))
    elif stat.S_ISREG(status.st_mode):
        opened = _open_zip(path)
    else:
        raise OSError(f"{path!r} is {_files.kind(status.st_mode)}: a saved analysis is a folder or a zip")
    with opened as source:
        description = _description(source)
        data = _recording(source, description)
        try:
            analysis = restore(data, description["fs"], description["labels"], description["given"])
        except (TypeError, ValueError) as error:
            raise SavedAnalysisError(path, "analysis.json", f"its recording and settings are refused: {_why(error)}"
                                     ) from None
        _check_tables(source, description, analysis)
    return analysis
