#!/usr/bin/env python3
"""Checks that the architecture table (docs/architecture.md) says what the CMake
files say, and that the links and includes run one way.

For every library of src/<folder>/CMakeLists.txt, the own libraries it links
PUBLIC and PRIVATE must be exactly those the table's row names, so that the
table cannot drift from the build. The libraries fall into three layers (the
analysis core, the interactive program, the programs' own): a library links
only its own layer or the ones below, the links form no cycle, a source
includes only headers of its own library or of one it reaches through its
links, and the core's test suites and the Python module link only the core.
Usage: check_links.py TOP
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


# The analysis core's private engine: nothing above the core (the interactive
# program's libraries, the programs) and no public header of the core may
# include it (the build makes such an include fail; this names it).
ENGINE = re.compile(r'#include "(fitting|recognition)/')
CORE_HEADERS = ("signal", "readers", "timing", "tissue", "tables", "words")
PROGRAMS = ("src/record", "src/console", "src/correction", "src/session", "src/driver", "src/gui", "src/batch",
            "src/replay", "python")


def engine_includes(top):
    """Files that include a fitting or recognition header where none may."""
    files = [f for place in PROGRAMS for f in (top / place).rglob("*") if f.suffix in (".cpp", ".h")]
    for library in CORE_HEADERS:
        files += sorted((top / "src" / library / "include").rglob("*.h"))
    return [f.relative_to(top) for f in files if ENGINE.search(f.read_text(encoding="utf-8"))]


# The layers from the bottom up. A library not named here is a fault: a new
# library must be given its place.
LAYERS = (
    ("core", {"base", "files", "signal", "readers", "library_readers", "fitting", "recognition",
              "timing", "results", "tissue", "tables", "words", "figures"}),
    ("interactive", {"record", "console", "correction", "session", "driver"}),
    ("programs", {"replay", "gui", "batch"}),
)
# Test helpers every suite may link, outside src/.
TEST_HELPERS = {"sample_recording", "version", "test_support"}


def layer_of(library):
    for rank, (_, members) in enumerate(LAYERS):
        if library in members:
            return rank
    return None


def folder_of(library):
    return "readers" if library == "library_readers" else library


def reach(cmake, library):
    """The libraries whose headers library sees: those it links, and what they link PUBLIC."""
    seen, todo = set(), list(cmake[library][0] | cmake[library][1])
    while todo:
        name = todo.pop()
        if name in seen or name not in cmake:
            continue
        seen.add(name)
        todo.extend(cmake[name][0])
    return seen


def direction_faults(cmake):
    faults = []
    for library, (public, private) in sorted(cmake.items()):
        rank = layer_of(library)
        if rank is None:
            faults.append(f"{library}: in no layer of the architecture check")
            continue
        for linked in sorted(public | private):
            if layer_of(linked) is not None and layer_of(linked) > rank:
                faults.append(f"{library} ({LAYERS[rank][0]}) links {linked} ({LAYERS[layer_of(linked)][0]})")
            if library in reach(cmake, linked) or linked == library:
                faults.append(f"{library} and {linked} link each other")
    return faults


INCLUDE = re.compile(r'^\s*#\s*include\s+"(\w+)/', re.M)


PROGRAM = re.compile(r"add_executable\(\s*([\w-]+)\s+([^)]*)\)")


def programs_in_cmake(top):
    """{source path: libraries the program it builds links} of src/'s programs."""
    found = {}
    for cmake in sorted((top / "src").glob("*/CMakeLists.txt")):
        text = cmake.read_text(encoding="utf-8")
        for name, sources in PROGRAM.findall(text):
            links = set()
            for body in re.findall(r"target_link_libraries\(\s*%s\s(.*?)\)" % re.escape(name), text, re.S):
                links |= {w[len("telmor_"):] for w in body.split() if w.startswith("telmor_")}
            for source in sources.split():
                found[cmake.parent / source] = links
    return found


def include_faults(top, cmake):
    """Sources that include a header of a library they do not reach through their links."""
    faults = []
    folders = {folder_of(name) for name in cmake}
    programs = programs_in_cmake(top)
    for folder in sorted((top / "src").iterdir()):
        owners = [name for name in cmake if folder_of(name) == folder.name]
        if not owners:
            continue
        # A folder of two libraries (readers) is checked against what both see.
        library_visible = {folder.name}
        for owner in owners:
            library_visible |= {folder_of(name) for name in reach(cmake, owner)}
        for source in sorted(f for f in folder.rglob("*") if f.suffix in (".cpp", ".h")):
            visible, owner = library_visible, "/".join(owners)
            if source in programs:
                visible = {folder.name}
                for linked in programs[source] & set(cmake):
                    visible |= {folder_of(linked)} | {folder_of(n) for n in reach(cmake, linked)}
                owner = "its program"
            for included in INCLUDE.findall(source.read_text(encoding="utf-8")):
                if included in folders and included not in visible:
                    faults.append(f"{source.relative_to(top)}: includes a header of {included}, "
                                  f"which {owner} does not link")
    return faults


SUITE = re.compile(r"telmor_test_suite\(\s*(\w+)(.*?)\)", re.S)


def suite_faults(top):
    """Suites of a core library's folder, and the Python module, that link beyond the core."""
    faults = []
    for cmake in sorted((top / "tests").glob("*/CMakeLists.txt")):
        folder = cmake.parent.name
        if layer_of(folder) != 0:
            continue
        for name, body in SUITE.findall(cmake.read_text(encoding="utf-8")):
            for word in body.split():
                linked = word[len("telmor_"):] if word.startswith("telmor_") else None
                if linked and linked not in TEST_HELPERS and layer_of(linked) != 0:
                    faults.append(f"tests/{folder}: the core's suite {name} links {linked}")
    python = (top / "python" / "CMakeLists.txt").read_text(encoding="utf-8")
    for _, body in re.findall(r"target_link_libraries\(\s*(telmor_python)(.*?)\)", python, re.S):
        for word in body.split():
            linked = word[len("telmor_"):] if word.startswith("telmor_") else None
            if linked and linked not in TEST_HELPERS and layer_of(linked) != 0:
                faults.append(f"python: the module links {linked}, which is not of the core")
    return faults


def main():
    top = pathlib.Path(sys.argv[1])
    cmake, readme = links_in_cmake(top), links_in_readme(top)
    faults = [f"{path}: includes a fitting or recognition header" for path in engine_includes(top)]
    faults += direction_faults(cmake) + include_faults(top, cmake) + suite_faults(top)
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
