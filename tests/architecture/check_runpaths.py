#!/usr/bin/env python3
"""No program, module or wheel of TELMOR looks for libraries anywhere but
where the system's loader looks: every ELF file named (or inside a named
folder, wheel or Debian package) has no RPATH or RUNPATH entry that is
empty (the loader reads it as the working folder), relative, or under the
source or build tree.

    check_runpaths.py TREE FILE_OR_FOLDER_OR_WHEEL_OR_DEB...

TREE: the folders no file may name (the source and build trees), joined by
':'. A folder's wheels are looked into as well.
Exit status 1 with one line per bad entry, 0 when there is none.
"""
import pathlib
import subprocess
import sys
import tempfile
import zipfile


def is_elf(path):
    try:
        with open(path, "rb") as f:
            return f.read(4) == b"\x7fELF"
    except OSError:
        return False


def run_paths(path):
    """The RPATH and RUNPATH entries of an ELF file, each split at ':'."""
    out = subprocess.run(["readelf", "-d", str(path)], capture_output=True, text=True, check=True).stdout
    entries = []
    for line in out.splitlines():
        if "(RPATH)" in line or "(RUNPATH)" in line:
            value = line.split("[", 1)[1].rsplit("]", 1)[0]
            entries.extend(value.split(":"))
    return entries


def elf_files(target, scratch):
    target = pathlib.Path(target)
    if target.suffix == ".whl":
        out = pathlib.Path(tempfile.mkdtemp(dir=scratch))
        with zipfile.ZipFile(target) as wheel:
            wheel.extractall(out)
        yield from elf_files(out, scratch)
    elif target.suffix == ".deb":
        out = pathlib.Path(tempfile.mkdtemp(dir=scratch))
        subprocess.run(["dpkg-deb", "-x", str(target), str(out)], check=True)
        yield from elf_files(out, scratch)
    elif target.is_dir():
        for path in sorted(target.rglob("*")):
            if path.is_file() and not path.is_symlink() and is_elf(path):
                yield path
            elif path.is_file() and path.suffix == ".whl":
                yield from elf_files(path, scratch)
    elif is_elf(target):
        yield target
    else:
        sys.exit(f"check_runpaths: {target} is no ELF file, folder, wheel or Debian package")


def main(tree, targets):
    trees = [pathlib.Path(t).resolve() for t in tree.split(":") if t]
    bad = []
    checked = 0
    with tempfile.TemporaryDirectory() as scratch:
        for target in targets:
            for path in elf_files(target, scratch):
                checked += 1
                for entry in run_paths(path):
                    if entry == "":
                        bad.append(f"{target}: {path.name}: an empty entry (the working folder)")
                    elif not entry.startswith("/") and not entry.startswith("$ORIGIN"):
                        bad.append(f"{target}: {path.name}: a relative entry {entry}")
                    elif any(pathlib.Path(entry).resolve().is_relative_to(t) for t in trees):
                        bad.append(f"{target}: {path.name}: an entry in the tree {entry}")
    if checked == 0:
        sys.exit("check_runpaths: no ELF file among " + " ".join(targets))
    for line in bad:
        print(line)
    print(f"check_runpaths: {checked} ELF files, {len(bad)} bad entries")
    return 1 if bad else 0


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2:]))
