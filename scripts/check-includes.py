#!/usr/bin/env python3
"""Fails when the editor's core has an arrow up: a unit that includes, directly or through
others, a unit that includes it back. A unit is x.hpp with its x.cpp, so a header that the
source of a lower unit includes counts as that unit's include too.

Usage: check-includes.py [ROOT]  (ROOT: the repository, by default this script's parent)"""

import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)


def units(root):
    """Each unit of editor/core (its path without the extension, from the root) with the
    units of editor/core it includes."""
    core = root / "editor" / "core"
    graph = {}
    for source in sorted(core.rglob("*")):
        if source.suffix not in (".hpp", ".cpp", ".h"):
            continue
        unit = source.relative_to(root).with_suffix("").as_posix()
        includes = graph.setdefault(unit, set())
        for included in INCLUDE.findall(source.read_text(encoding="utf-8")):
            target = pathlib.PurePosixPath(included).with_suffix("").as_posix()
            if target.startswith("editor/core/") and target != unit:
                includes.add(target)
    return graph


def cycle(graph):
    """One cycle of the graph as the list of its units, the first repeated at the end; none
    when there is none."""
    state = {}  # unit -> "open" while it is on the path, "done" after
    path = []

    def visit(unit):
        state[unit] = "open"
        path.append(unit)
        for included in sorted(graph.get(unit, ())):
            if state.get(included) == "open":
                return path[path.index(included):] + [included]
            if included not in state:
                found = visit(included)
                if found:
                    return found
        path.pop()
        state[unit] = "done"
        return None

    for unit in sorted(graph):
        if unit not in state:
            found = visit(unit)
            if found:
                return found
    return None


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
    graph = units(root.resolve())
    if not graph:
        print(f"no units under {root / 'editor' / 'core'}", file=sys.stderr)
        return 1
    found = cycle(graph)
    if found:
        print("editor/core includes in a circle: " + " -> ".join(found), file=sys.stderr)
        return 1
    print(f"editor/core: {len(graph)} units, every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
