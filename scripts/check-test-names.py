#!/usr/bin/env python3
"""Fails when two test files of one folder define a function of the same name outside any
class. The tests of a folder are compiled a few files to a unit, where both land in one
namespace: the same function twice stops the build, but an overload of another file's function
may be called in place of a file's own without a word.

Usage: check-test-names.py [ROOT]  (ROOT: the repository, by default this script's parent)"""

import pathlib
import re
import sys

# A function defined at namespace scope, written from the line's first column as the sources
# are formatted: a return type, the name, its parameters, and the body's brace on that line or
# after the parameters' last line. Members are indented, and the test macros are no definitions.
FUNCTION = re.compile(r"^(?!TEST|INSTANTIATE|namespace|using|return|struct|class|enum|typedef)"
                      r"[A-Za-z_][\w:<>,\s*&]*?[\s*&](\w+)\(")
BODY = re.compile(r"\)\s*(const\s*)?(noexcept\s*)?(->\s*[\w:<>,\s*&]+)?\{\s*$")


def functions(source):
    """The names of the functions `source` defines at namespace scope."""
    names = set()
    lines = source.read_text(encoding="utf-8").splitlines()
    for number, line in enumerate(lines):
        match = FUNCTION.match(line)
        if not match:
            continue
        # The parameters may run over several lines before the body opens.
        for rest in lines[number:number + 6]:
            if BODY.search(rest):
                names.add(match.group(1))
                break
            if rest.rstrip().endswith(";"):
                break
    return names


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
    sources = sorted(root.resolve().glob("tests/*/*_test.cpp"))
    if not sources:
        print(f"no test files under {root / 'tests'}", file=sys.stderr)
        return 1
    defined = {}  # folder -> function name -> files
    for source in sources:
        for name in functions(source):
            defined.setdefault(source.parent.name, {}).setdefault(name, []).append(source.name)
    clashes = [f"tests/{folder}: {name} in {', '.join(files)}"
               for folder, names in sorted(defined.items())
               for name, files in sorted(names.items()) if len(files) > 1]
    for clash in clashes:
        print(clash)
    if clashes:
        print("Each function above is defined by several test files of one folder: rename all "
              "but one, or move one shared copy into the folder's support header.")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
