#!/usr/bin/env python3
"""Builds the wheel of the Python module from a build tree, offline, with the
standard library only: the package folder (build/python/telmor: the compiled
module, the reader program the format libraries run in, the Python files,
py.typed and the stubs) and a dist-info of the
wheel format, tagged for the interpreter that runs this script (the one the
module was built for). The wheel links Debian's libraries (libbiosig, HDF5,
matio, libsoxr) from the system, as the Debian package does.

    build_wheel.py PACKAGE_DIR VERSION OUT_DIR
"""
import base64
import hashlib
import pathlib
import sys
import sysconfig
import zipfile


# The program the format libraries run in, beside the module (in the build
# tree a link, in the wheel the program itself, executable).
READER = "telmor-read"


def record_line(name, data):
    digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()
    return f"{name},sha256={digest},{len(data)}"


def main(package_dir, version, out_dir):
    package = pathlib.Path(package_dir)
    python = f"cp{sys.version_info.major}{sys.version_info.minor}"
    platform = sysconfig.get_platform().replace("-", "_").replace(".", "_")
    tag = f"{python}-{python}-{platform}"
    dist_info = f"telmor-{version}.dist-info"
    files = {}
    for path in sorted(package.iterdir()):
        if path.is_file() and (path.suffix in {".py", ".pyi", ".so"} or path.name in {"py.typed", READER}):
            files[f"telmor/{path.name}"] = path.read_bytes()
    if not any(name.endswith(".so") for name in files):
        sys.exit(f"build_wheel: no compiled module in {package}")
    files[f"{dist_info}/METADATA"] = (
        "Metadata-Version: 2.1\n"
        "Name: telmor\n"
        f"Version: {version}\n"
        "Summary: AT and RT of every beat and lead of multi-lead electrophysiological recordings\n"
        "Requires-Python: >=3.9\n"
        "Requires-Dist: numpy\n"
        "Requires-Dist: pandas\n").encode()
    files[f"{dist_info}/WHEEL"] = (
        "Wheel-Version: 1.0\n"
        "Generator: telmor build_wheel.py\n"
        "Root-Is-Purelib: false\n"
        f"Tag: {tag}\n").encode()
    files[f"{dist_info}/top_level.txt"] = b"telmor\n"
    record = [record_line(name, data) for name, data in files.items()]
    record.append(f"{dist_info}/RECORD,,")
    files[f"{dist_info}/RECORD"] = ("\n".join(record) + "\n").encode()
    out = pathlib.Path(out_dir)
    out.mkdir(parents=True, exist_ok=True)
    wheel = out / f"telmor-{version}-{tag}.whl"
    for old in out.glob("telmor-*.whl"):
        old.unlink()
    with zipfile.ZipFile(wheel, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, data in files.items():
            entry = zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0))
            entry.compress_type = zipfile.ZIP_DEFLATED
            # A regular file's mode: pip keeps the executable bit only with the type bits.
            entry.external_attr = (0o100755 if name.endswith("/" + READER) else 0o100644) << 16
            archive.writestr(entry, data)
    print(f"build_wheel: {wheel}")


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
