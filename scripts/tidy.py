#!/usr/bin/env python3
"""tidy.py BUILD_DIR [-j JOBS] [FILE...]: clang-tidy over the product code of a MinGW-w64 build.

Reads the build's compile_commands.json and runs clang-tidy (the checks of .clang-tidy) on every
source of schedule/, launcher/, editor/, win32/ and helpers/ (or on the FILEs given), compiled
as the build compiles it for Windows: its definitions, include folders and language standard,
clang's own target for MinGW-w64, and the C++ library and Windows headers of the build's own
compiler. Prints each finding once, even when a header shared by many sources gives it to each,
and fails when there is any.
"""

import argparse
import concurrent.futures
import json
import os
import re
import shlex
import subprocess
import sys

PRODUCT_FOLDERS = ("schedule", "launcher", "editor", "win32", "helpers")
TARGET = "x86_64-w64-mingw32"


def expanded(arguments, directory):
    """The arguments with every @response-file replaced by what it holds."""
    result = []
    for argument in arguments:
        if argument.startswith("@"):
            path = os.path.join(directory, argument[1:])
            with open(path, encoding="utf-8") as response:
                result.extend(expanded(shlex.split(response.read()), directory))
        else:
            result.append(argument)
    return result


def compiled_as(arguments):
    """What of a compiler's arguments shapes the code clang-tidy reads: definitions, include
    folders, forced includes and the language standard. Warnings and code generation stay out:
    the compiler's warnings are the build's job, and clang knows some of GCC's by no name."""
    kept = []
    with_value = ("-D", "-U", "-I", "-isystem", "-include", "-iquote")
    i = 0
    while i < len(arguments):
        argument = arguments[i]
        if argument in with_value and i + 1 < len(arguments):
            # The build's precompiled headers only speed it up: each source includes them itself.
            if not (argument == "-include" and os.path.basename(arguments[i + 1]).startswith(
                    "cmake_pch.")):
                kept += [argument, arguments[i + 1]]
            i += 2
            continue
        if argument.startswith(("-D", "-U", "-I", "-std=")):
            kept.append(argument)
        i += 1
    return kept


def library_folders(compiler):
    """The compiler's C++ library and system header folders. Its own folders for the compiler's
    built-in headers (intrinsics, stddef.h) are left to clang's, which fit clang's built-ins."""
    probe = subprocess.run([compiler, "-E", "-x", "c++", "-v", os.devnull],
                           capture_output=True, text=True, check=True)
    folders, listing = [], False
    for line in probe.stderr.splitlines():
        if line.startswith("#include <...>"):
            listing = True
        elif line.startswith("End of search list"):
            break
        elif listing:
            folder = os.path.normpath(line.strip())
            if re.search(r"/lib/gcc/[^/]+/[^/]+/include(-fixed)?$", folder):
                continue
            folders.append(folder)
    if not folders:
        sys.exit(f"{compiler} named no header folders.")
    return folders


def run(tidy, source, arguments):
    command = [tidy, "--quiet", source, "--"] + arguments
    finished = subprocess.run(command, capture_output=True, text=True)
    return source, finished.returncode, finished.stdout, finished.stderr


def findings_of(output):
    """The findings in clang-tidy's output, each as its first line and the lines that show
    where, keyed by the place and the check."""
    found, current = {}, None
    head = re.compile(r"^(.+?):(\d+):(\d+): (warning|error): .*\[([^\]]+)\]$")
    for line in output.splitlines():
        match = head.match(line)
        if match:
            key = (os.path.normpath(match.group(1)), int(match.group(2)), int(match.group(3)),
                   match.group(5))
            current = found.setdefault(key, [line])
            if len(current) > 1:
                current = None  # seen from another source already
        elif current is not None and not re.match(r"^\d+ (warning|error)s? generated", line):
            current.append(line)
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build")
    parser.add_argument("files", nargs="*")
    parser.add_argument("-j", "--jobs", type=int, default=os.cpu_count() or 1)
    parser.add_argument("--clang-tidy", default="clang-tidy")
    options = parser.parse_args()

    source_root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    database = os.path.join(options.build, "compile_commands.json")
    if not os.path.isfile(database):
        sys.exit(f"No compile database in {options.build}: configure that build first.")
    with open(database, encoding="utf-8") as file:
        entries = json.load(file)

    wanted = {os.path.abspath(f) for f in options.files}
    product = tuple(os.path.join(source_root, folder) + os.sep for folder in PRODUCT_FOLDERS)
    chosen = {}
    for entry in entries:
        source = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
        if wanted and source not in wanted:
            continue
        if not wanted and not source.startswith(product):
            continue
        arguments = entry.get("arguments") or shlex.split(entry["command"])
        # The small programs compile the same sources again without exceptions: one look at
        # each source is enough, the one of the library that the editor and the tests use.
        lean = "_lean.dir" in entry.get("output", "") or "_lean.dir" in " ".join(arguments)
        if source in chosen and lean:
            continue
        chosen[source] = (arguments, entry["directory"])
    if not chosen:
        sys.exit("No product source in the compile database.")

    compiler = next(iter(chosen.values()))[0][0]
    resource = subprocess.run(["clang++", "-print-resource-dir"], capture_output=True, text=True,
                              check=True).stdout.strip()
    system = ["--target=" + TARGET, "-nostdinc", "-isystem", os.path.join(resource, "include")]
    for folder in library_folders(compiler):
        system += ["-isystem", folder]

    jobs = []
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, options.jobs)) as pool:
        for source, (arguments, directory) in sorted(chosen.items()):
            flags = compiled_as(expanded(arguments[1:], directory))
            jobs.append(pool.submit(run, options.clang_tidy, source, system + flags))
        findings, failures = {}, []
        for job in jobs:
            source, status, out, err = job.result()
            found = findings_of(out)
            for key, lines in found.items():
                findings.setdefault(key, lines)
            if status != 0 and not found:
                failures.append(f"{os.path.relpath(source, source_root)}:\n{out}{err}")

    for key in sorted(findings):
        print("\n".join(findings[key]))
    for failure in failures:
        print("clang-tidy failed on " + failure, file=sys.stderr)
    checks = {}
    for key in findings:
        checks[key[3]] = checks.get(key[3], 0) + 1
    summary = ", ".join(f"{check} {count}" for check, count in sorted(checks.items()))
    print(f"clang-tidy: {len(chosen)} sources, {len(findings)} findings"
          + (f" ({summary})" if summary else ""))
    return 1 if findings or failures else 0


if __name__ == "__main__":
    sys.exit(main())
