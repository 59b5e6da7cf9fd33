#!/usr/bin/env python3
"""Checks that the architecture table (docs/architecture.md) says what the CMake files say.

For every library of src/<folder>/CMakeLists.txt, the own libraries it links
PUBLIC and PRIVATE must be exactly those the table's row names, so that the
table cannot drift from the build. Usage: check_links.py TOP
"""
import pathlib
import re
import sys

LINK = re.compile(r"target_link_libraries\(\s*(telmor_\w+)(.*?)\)", re.S)


def links_in_cmake(top):
    """{library: (public set, private set)} of own libraries (telmor_*)."""
    found = {}
    for cmake in sorted((top / "src").glob("*/CMakeLists.txt")):
        for name, body in LINK.findall(cmake.read_text(encoding="utf-8")):
            if not re.search(r"telmor_library\(\s*%s\b" % name, cmake.read_text(encoding="utf-8")):
                continue  # a program's links, not a library's
            # A library may be linked in several calls (some under a condition).
            public, private = found.get(name[len("telmor_"):], (set(), set()))
            current = None
            for word in body.split():
                if word in ("PUBLIC", "PRIVATE", "INTERFACE"):
                    current = word
                elif word.startswith("telmor_") and word != "telmor_version":
                    (public if current == "PUBLIC" else private).add(word[len("telmor_"):])
            found[name[len("telmor_"):]] = (public, private)
    libraries = set()
    for cmake in (top / "src").glob("*/CMakeLists.txt"):
        libraries.update(m[len("telmor_"):] for m in re.findall(r"telmor_library\(\s*(telmor_\w+)",
                                                                cmake.read_text(encoding="utf-8")))
    for library in libraries:
        found.setdefault(library, (set(), set()))
    return found


def names(cell):
    return {word.strip("` ") for word in cell.split(",") if word.strip("` —-")}


def links_in_readme(top):
    """{library: (public set, private set)} from the table's rows."""
    found = {}
    for line in (top / "docs" / "architecture.md").read_text(encoding="utf-8").splitlines():
        cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
        if len(cells) != 5 or not cells[1].startswith("`telmor_"):
            continue
        library = cells[1].split(",")[0].strip("` ")[len("telmor_"):]
        found[library] = (names(cells[3]), names(cells[4]))
    return found


# The analysis core's private engine: no program and no public header of the
# core may include it (the build makes such an include fail; this names it).
ENGINE = re.compile(r'#include "(fitting|recognition)/')
CORE_HEADERS = ("signal", "readers", "timing", "tissue", "tables", "words")
PROGRAMS = ("src/gui", "src/batch", "src/replay", "python")


def engine_includes(top):
    """Files that include a fitting or recognition header where none may."""
    files = [f for place in PROGRAMS for f in (top / place).rglob("*") if f.suffix in (".cpp", ".h")]
    for library in CORE_HEADERS:
        files += sorted((top / "src" / library / "include").rglob("*.h"))
    return [f.relative_to(top) for f in files if ENGINE.search(f.read_text(encoding="utf-8"))]


def main():
    top = pathlib.Path(sys.argv[1])
    cmake, readme = links_in_cmake(top), links_in_readme(top)
    faults = [f"{path}: includes a fitting or recognition header" for path in engine_includes(top)]
    for library in sorted(set(cmake) | set(readme)):
        if library not in readme:
            faults.append(f"{library}: no row in the architecture table")
        elif library not in cmake:
            faults.append(f"{library}: in the architecture table but built by no CMakeLists.txt")
        elif cmake[library] != readme[library]:
            faults.append(f"{library}: CMake links PUBLIC {sorted(cmake[library][0])} "
                          f"PRIVATE {sorted(cmake[library][1])}; the table says PUBLIC "
                          f"{sorted(readme[library][0])} PRIVATE {sorted(readme[library][1])}")
    for fault in faults:
        print(fault)
    print(f"{len(cmake)} libraries checked, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
