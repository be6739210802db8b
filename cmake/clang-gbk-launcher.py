#!/usr/bin/env python3
"""Compiler launcher of the fuzz build: gives clang the GBK literals GCC makes with -fexec-charset.

Clang encodes narrow literals only as UTF-8 but copies the bytes of a literal that is not valid
UTF-8 as they stand. So each source and every project header is compiled from a copy in GBK
(MIRROR), u8"..." literals kept UTF-8 through \\u escapes, and -I MIRROR is searched first.
The dependency file names the real headers again, so editing one still rebuilds what uses it.

    clang-gbk-launcher.py ROOT MIRROR [other launcher...] COMPILER ARGS...
"""
import os
import re
import subprocess
import sys

SKIP_DIRS = {".git", "build"}
U8_LITERAL = re.compile(r'u8"((?:[^"\\\n]|\\.)*)"')


def to_gbk(text):
    text = U8_LITERAL.sub(
        lambda m: 'u8"' + "".join(c if ord(c) < 128 else "\\U%08x" % ord(c) for c in m.group(1)) + '"',
        text)
    # Only comments can hold what GBK lacks: GCC's own build refuses such literals.
    return text.encode("gbk", errors="replace")


def mirror_file(source, target):
    if os.path.exists(target) and os.path.getmtime(target) >= os.path.getmtime(source):
        return
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with open(source, encoding="utf-8") as f:
        data = to_gbk(f.read())
    # Compiles run in parallel and may mirror the same header at once: each writes its own copy.
    temporary = "%s.%d.tmp" % (target, os.getpid())
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, target)


def mirror_headers(root, mirror):
    for folder, dirs, files in os.walk(root):
        dirs[:] = [d for d in dirs if d not in SKIP_DIRS and not d.startswith(".")]
        for name in files:
            if name.endswith(".h"):
                source = os.path.join(folder, name)
                mirror_file(source, os.path.join(mirror, os.path.relpath(source, root)))


def real_header_paths(depfile_text, mirror, root):
    """The dependency file with each mirrored header named by its real path again.

    ccache with a base folder writes the paths under it relative to the build folder, so both
    spellings of the mirror are replaced; a header left named by its mirror would never rebuild
    what uses it, because the mirror is only refreshed by a compile."""
    text = depfile_text.replace(mirror + os.sep, root + os.sep)
    relative = re.escape(os.path.relpath(mirror) + os.sep)
    return re.sub(r"(^|(?<=\s))" + relative, lambda m: root + os.sep, text, flags=re.M)


def main():
    root, mirror, command = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]), sys.argv[3:]
    source_index = command.index("-c") + 1 if "-c" in command else -1
    source = os.path.abspath(command[source_index]) if source_index > 0 else ""
    if not source.startswith(root + os.sep) or source.startswith(os.path.join(root, "build") + os.sep):
        os.execvp(command[0], command)
    mirror_headers(root, mirror)
    copy = os.path.join(mirror, os.path.relpath(source, root))
    mirror_file(source, copy)
    command[source_index] = copy
    compiler = next(i for i, arg in enumerate(command) if "clang" in os.path.basename(arg))
    command[compiler + 1:compiler + 1] = ["-I" + mirror, "-Wno-invalid-source-encoding"]
    result = subprocess.run(command).returncode
    if result == 0 and "-MF" in command:
        depfile = command[command.index("-MF") + 1]
        with open(depfile, encoding="utf-8", errors="surrogateescape") as f:
            text = f.read()
        with open(depfile, "w", encoding="utf-8", errors="surrogateescape") as f:
            f.write(real_header_paths(text, mirror, root))
    sys.exit(result)


main()
