"""Loading a saved analysis: only from a folder or a regular file, never
waiting on a FIFO or reading a device, every member within the bound of what
a saved analysis holds, and every damage one SavedAnalysisError naming the
archive and the member."""
import hashlib
import io
import json
import os
import struct
import zlib

import numpy as np
import pytest

import telmor
from conftest import SAMPLE, isolated

GIB = 1 << 30


@pytest.fixture(scope="module")
def analysis():
    return telmor.analyse(telmor.read_recording(SAMPLE))


@pytest.fixture(scope="module")
def members(analysis, tmp_path_factory):
    """The members of a saved analysis, by name."""
    folder = tmp_path_factory.mktemp("saved") / "kept"
    analysis.save(folder)
    return {name: (folder / name).read_bytes() for name in sorted(os.listdir(folder))}


# A zip written by hand, so that each field can lie.
def entry(name, data, *, method=8, size=None, crc=None, flags=0, packed=None):
    packed = packed if packed is not None else (zlib.compress(data)[2:-4] if method == 8 else data)
    return {"name": name.encode(), "packed": packed, "method": method, "flags": flags,
            "crc": zlib.crc32(data) if crc is None else crc, "size": len(data) if size is None else size}


def zip_bytes(entries, *, count=None):
    out, directory = io.BytesIO(), io.BytesIO()
    for e in entries:
        offset = out.tell()
        out.write(struct.pack("<4s5H3L2H", b"PK\x03\x04", 20, e["flags"], e["method"], 0, 0x21, e["crc"],
                              len(e["packed"]), e["size"], len(e["name"]), 0) + e["name"] + e["packed"])
        directory.write(struct.pack("<4s6H3L5H2L", b"PK\x01\x02", 20, 20, e["flags"], e["method"], 0, 0x21,
                                    e["crc"], len(e["packed"]), e["size"], len(e["name"]), 0, 0, 0, 0, 0, offset)
                        + e["name"])
    start, listing = out.tell(), directory.getvalue()
    n = len(entries) if count is None else count
    out.write(listing + struct.pack("<4s4H2LH", b"PK\x05\x06", 0, 0, n, n, len(listing), start, 0))
    return out.getvalue()


def write_form(path, form, files, *, entries=None):
    """The members as a folder, or as a zip (with entries, the zip's own)."""
    if form == "zip":
        path.write_bytes(zip_bytes(entries if entries is not None else
                                   [entry(n, d) for n, d in files.items() if d is not None]))
        return
    path.mkdir()
    for name, data in files.items():
        if data is not None:
            (path / name).write_bytes(data)


def with_description(files, **changes):
    d = json.loads(files["analysis.json"])
    for key, value in changes.items():
        if value is ...:
            del d[key]
        else:
            d[key] = value
    return dict(files, **{"analysis.json": json.dumps(d).encode()})


def rehashed(files):
    """The tables' SHA-256 in analysis.json made to match, so that the checks
    past it are reached."""
    d = json.loads(files["analysis.json"])
    d["members"] = {n: hashlib.sha256(files[n]).hexdigest() for n in ("beats.csv", "summary.csv")}
    return dict(files, **{"analysis.json": json.dumps(d).encode()})


def npy(array):
    buffer = io.BytesIO()
    np.save(buffer, array, allow_pickle=False)
    return buffer.getvalue()


def replaced(files, name, data):
    return dict(files, **{name: data})


def summary_edited(files, edit):
    lines = files["summary.csv"].decode().split("\n")
    return rehashed(replaced(files, "summary.csv", "\n".join(edit(lines)).encode()))


def numbers_column_text(lines):
    fields = lines[1].split(",")
    fields[3] = "x"  # at_ms
    return [lines[0], ",".join(fields)] + lines[2:]


def beats_shifted(table):
    lines = table.decode().split("\n")
    lines[1] = "1,12345.0"
    return "\n".join(lines).encode()


def recording_of(files):
    return np.load(io.BytesIO(files["recording.npy"]))


# (name, damage of the members, the member the message names)
DAMAGES = [
    *[(f"no {m}", lambda f, m=m: replaced(f, m, None), m)
      for m in ("analysis.json", "recording.npy", "summary.csv", "beats.csv")],
    ("analysis.json not JSON", lambda f: replaced(f, "analysis.json", b"{not json"), "analysis.json"),
    ("analysis.json not UTF-8", lambda f: replaced(f, "analysis.json", b'{"format": "\xff"}'), "analysis.json"),
    ("analysis.json nested deep", lambda f: replaced(f, "analysis.json", b"[" * 200_000), "analysis.json"),
    ("analysis.json a list", lambda f: replaced(f, "analysis.json", b"[1, 2]"), "analysis.json"),
    ("another format", lambda f: with_description(f, format="zip-of-things"), "analysis.json"),
    ("a later format version", lambda f: with_description(f, format_version=99), "analysis.json"),
    ("no fs", lambda f: with_description(f, fs=...), "analysis.json"),
    ("fs a text", lambda f: with_description(f, fs="1000"), "analysis.json"),
    ("fs infinite", lambda f: with_description(f, fs=1e400), "analysis.json"),
    ("shape of three", lambda f: with_description(f, shape=[10000, 8, 1]), "analysis.json"),
    ("shape negative", lambda f: with_description(f, shape=[-10000, 8]), "analysis.json"),
    ("shape beyond 16 GiB", lambda f: with_description(f, shape=[2**31 - 1, 8]), "analysis.json"),
    ("shape a huge number", lambda f: with_description(f, shape=[10**30, 8]), "analysis.json"),
    ("labels too few", lambda f: with_description(f, labels=["a"]), "analysis.json"),
    ("labels numbers", lambda f: with_description(f, labels=list(range(8))), "analysis.json"),
    ("sha256 a number", lambda f: with_description(f, sha256=12), "analysis.json"),
    ("given a list", lambda f: with_description(f, given=[7]), "analysis.json"),
    ("given an unknown setting", lambda f: with_description(f, given={"smoth": 7}), "analysis.json"),
    ("given a text for a number", lambda f: with_description(f, given={"smooth": "7"}), "analysis.json"),
    ("given a setting out of bounds", lambda f: with_description(f, given={"smooth": 1000}), "analysis.json"),
    ("members numbers", lambda f: with_description(f, members={"summary.csv": 5}), "analysis.json"),
    ("shape other than the recording's", lambda f: with_description(f, shape=[5000, 8], labels=[""] * 8),
     "recording.npy"),
    ("recording cut short", lambda f: replaced(f, "recording.npy", f["recording.npy"][:-1000]), "recording.npy"),
    ("recording longer", lambda f: replaced(f, "recording.npy", f["recording.npy"] + b"\0" * 8), "recording.npy"),
    ("recording not numpy's", lambda f: replaced(f, "recording.npy", b"hello"), "recording.npy"),
    ("recording float64", lambda f: replaced(f, "recording.npy", npy(recording_of(f).astype(np.float64))),
     "recording.npy"),
    ("recording header nested deep", lambda f: replaced(
        f, "recording.npy", b"\x93NUMPY\x01\x00" + struct.pack("<H", 60_000) + b"(" * 60_000 + bytes(320_000)),
     "recording.npy"),
    ("recording changed", lambda f: replaced(f, "recording.npy", npy(recording_of(f) + 1)), "recording.npy"),
    ("summary of another save", lambda f: replaced(f, "summary.csv", f["summary.csv"].replace(b"\n1,", b"\n2,", 1)),
     "summary.csv"),
    ("summary not UTF-8", lambda f: rehashed(replaced(f, "summary.csv", f["summary.csv"] + b"\xff\xfe")),
     "summary.csv"),
    ("summary without a column", lambda f: summary_edited(f, lambda ls: [",".join(l.split(",")[1:]) for l in ls]),
     "summary.csv"),
    ("summary with text for a number", lambda f: summary_edited(f, numbers_column_text), "summary.csv"),
    ("summary rows cut", lambda f: summary_edited(f, lambda ls: ls[:5]), "summary.csv"),
    ("summary empty", lambda f: rehashed(replaced(f, "summary.csv", b"")), "summary.csv"),
    ("beats of another save", lambda f: replaced(f, "beats.csv", f["beats.csv"] + b"99,1.0\n"), "beats.csv"),
    ("beats of other times", lambda f: rehashed(replaced(f, "beats.csv", beats_shifted(f["beats.csv"]))),
     "beats.csv"),
]


def check_refusal(error, path, member):
    message = str(error.value)
    assert isinstance(error.value, telmor.SavedAnalysisError) and isinstance(error.value, ValueError)
    assert str(path) in message and (member is None or member in message), message
    assert error.value.member == member
    assert "Invoked with" not in message and "Traceback" not in message


@pytest.mark.parametrize("form", ["folder", "zip"])
@pytest.mark.parametrize("name,damage,member", DAMAGES, ids=[d[0] for d in DAMAGES])
def test_each_damage_is_one_error_naming_the_archive_and_the_member(tmp_path, members, form, name, damage, member):
    path = tmp_path / ("kept.zip" if form == "zip" else "kept")
    write_form(path, form, damage(dict(members)))
    with pytest.raises(telmor.SavedAnalysisError) as error:
        telmor.load(path)
    check_refusal(error, path, member)


def flipped(data, at):
    return data[:at] + bytes([data[at] ^ 0xFF]) + data[at + 1:]


# Damage of the zip itself: (name, entries from the members, or the archive's bytes; the member named).
ZIP_DAMAGES = [
    ("cut in half", lambda f: zip_bytes([entry(n, d) for n, d in f.items()])[:60_000], None),
    ("not a zip", lambda f: b"PK but nothing more", None),
    ("a deflated byte flipped", lambda f: zip_bytes(
        [entry(n, d, packed=flipped(zlib.compress(d)[2:-4], 5000) if n == "recording.npy" else None)
         for n, d in f.items()]), "recording.npy"),
    ("a wrong CRC", lambda f: zip_bytes([entry(n, d, crc=1 if n == "beats.csv" else None) for n, d in f.items()]),
     "beats.csv"),
    ("encrypted", lambda f: zip_bytes([entry(n, d, flags=1 if n == "summary.csv" else 0) for n, d in f.items()]),
     "summary.csv"),
    ("compressed by bzip2", lambda f: zip_bytes([entry(n, d, method=12 if n == "beats.csv" else 8, packed=d
                                                       if n == "beats.csv" else None) for n, d in f.items()]),
     "beats.csv"),
    ("a member twice", lambda f: zip_bytes([entry(n, d) for n, d in f.items()] + [entry("beats.csv", b"")]),
     "beats.csv"),
    ("a member no save writes", lambda f: zip_bytes([entry(n, d) for n, d in f.items()] + [entry("evil.txt", b"x")]),
     "evil.txt"),
    ("a directory of 60000 members", lambda f: zip_bytes([entry(n, d) for n, d in f.items()], count=60_000),
     None),
]


@pytest.mark.parametrize("name,damage,member", ZIP_DAMAGES, ids=[d[0] for d in ZIP_DAMAGES])
def test_a_damaged_zip_is_one_error_naming_it(tmp_path, members, name, damage, member):
    path = tmp_path / "kept.zip"
    path.write_bytes(damage(dict(members)))
    with pytest.raises(telmor.SavedAnalysisError) as error:
        telmor.load(path)
    check_refusal(error, path, member)


def test_a_zip_written_by_hand_loads(tmp_path, members, analysis):
    """The hand-made zips of these tests are zips load reads: their damage is what it refuses."""
    path = tmp_path / "kept.zip"
    path.write_bytes(zip_bytes([entry(n, d, method=0 if n == "recording.npy" else 8) for n, d in members.items()]))
    assert telmor.load(path) == analysis


@pytest.mark.parametrize("member,kind", [("recording.npy", "folder"), ("summary.csv", "fifo")])
def test_a_member_that_is_no_file_is_damage(tmp_path, members, member, kind):
    path = tmp_path / "kept"
    write_form(path, "folder", replaced(members, member, None))
    (path / member).mkdir() if kind == "folder" else os.mkfifo(path / member)
    out = isolated(f"""
import telmor
try:
    telmor.load({str(path)!r})
except telmor.SavedAnalysisError as error:
    print(error.member, error)
""", timeout=60)
    assert out.startswith(member) and str(path) in out, out


# Bounds: what load takes into memory.
@pytest.fixture(scope="module")
def bomb(members):
    """The recording's numpy header and 1 GiB of zeros deflated to about 1 MB, and its CRC."""
    header = members["recording.npy"][:128]
    assert header.endswith(b"\n") and b"(10000, 8)" in header
    packer, zeros, crc = zlib.compressobj(6, zlib.DEFLATED, -15), bytes(1 << 20), zlib.crc32(header)
    parts = [packer.compress(header)]
    for _ in range(1024):
        parts.append(packer.compress(zeros))
        crc = zlib.crc32(zeros, crc)
    parts.append(packer.flush())
    return b"".join(parts), crc


def bombed(members, bomb, name, *, honest):
    packed, crc = bomb
    size = 128 + GIB if honest else len(members[name])
    return zip_bytes([entry(n, d) if n != name else entry(n, b"", packed=packed, crc=crc, size=size)
                      for n, d in members.items()])


def sparse(path, size):
    with open(path, "wb") as file:
        file.truncate(size)


BOUNDS = [  # (name, what stands at the path, the member named; None: the archive, "" an OSError)
    ("recording inflating to 1 GiB", lambda m, b, p: p.write_bytes(bombed(m, b, "recording.npy", honest=True)),
     "recording.npy"),
    ("recording inflating to 1 GiB, declared small",
     lambda m, b, p: p.write_bytes(bombed(m, b, "recording.npy", honest=False)), "recording.npy"),
    ("analysis.json inflating to 1 GiB", lambda m, b, p: p.write_bytes(bombed(m, b, "analysis.json", honest=True)),
     "analysis.json"),
    ("analysis.json inflating to 1 GiB, declared small",
     lambda m, b, p: p.write_bytes(bombed(m, b, "analysis.json", honest=False)), "analysis.json"),
    ("summary inflating to 1 GiB", lambda m, b, p: p.write_bytes(bombed(m, b, "summary.csv", honest=True)),
     "summary.csv"),
    ("summary inflating to 1 GiB, declared small",
     lambda m, b, p: p.write_bytes(bombed(m, b, "summary.csv", honest=False)), "summary.csv"),
    ("an archive of 40 GiB", lambda m, b, p: sparse(p, 40 * GIB), None),
    ("a folder's summary of 1 GiB", lambda m, b, p: (write_form(p, "folder", m),
                                                     os.truncate(p / "summary.csv", GIB)), "summary.csv"),
    ("/dev/zero", lambda m, b, p: p.symlink_to("/dev/zero"), ""),
]


@pytest.fixture(scope="module")
def bounded(members, bomb, tmp_path_factory):
    """Each case of BOUNDS loaded in one Python of its own: {name: (path, the
    error's kind, its member, its message, KiB the peak memory grew by)}.
    The peak only ever grows, so each case's growth is its own."""
    paths = {}
    for name, make, _ in BOUNDS:
        path = tmp_path_factory.mktemp("bound") / ("kept" if "folder" in name else "kept.zip")
        make(members, bomb, path)
        paths[name] = str(path)
    out = isolated(f"""
import json, resource, telmor
found = {{}}
for name, path in {paths!r}.items():
    before = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
    try:
        telmor.load(path)
        caught = [None, None, ""]
    except telmor.SavedAnalysisError as error:
        caught = ["SavedAnalysisError", error.member, str(error)]
    except OSError as error:
        caught = ["OSError", "", str(error)]
    found[name] = [path, *caught, resource.getrusage(resource.RUSAGE_SELF).ru_maxrss - before]
print(json.dumps(found))
""", timeout=240)
    return json.loads(out)


@pytest.mark.parametrize("name,member", [(b[0], b[2]) for b in BOUNDS], ids=[b[0] for b in BOUNDS])
def test_load_takes_no_more_memory_than_a_saved_analysis_holds(bounded, name, member):
    """The peak memory grows by far less than the 1 GiB inflated."""
    path, kind, named, message, grown_kib = bounded[name]
    assert kind == ("OSError" if member == "" else "SavedAnalysisError"), message
    assert named == member and path in message, message
    assert grown_kib < 100 * 1024, f"memory grew by {grown_kib} KiB"


def test_load_never_waits_on_a_fifo(tmp_path):
    fifo = tmp_path / "kept.zip"
    os.mkfifo(fifo)
    out = isolated(f"""
import telmor
try:
    telmor.load({str(fifo)!r})
except OSError as error:
    print(type(error).__name__, error)
""", timeout=60)
    assert "FIFO" in out and str(fifo) in out, out


def test_a_missing_save_is_file_not_found(tmp_path):
    with pytest.raises(FileNotFoundError, match="missing.zip"):
        telmor.load(tmp_path / "missing.zip")


def test_the_error_survives_pickling(tmp_path):
    import pickle
    error = telmor.SavedAnalysisError(str(tmp_path / "x.zip"), "summary.csv", "is damaged")
    back = pickle.loads(pickle.dumps(error))
    assert str(back) == str(error) and back.member == "summary.csv"
