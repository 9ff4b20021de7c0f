#!/usr/bin/python3
"""Checks, as far as it can be done without a Mac, that every C++ file the default build compiles
also compiles for macOS: each is parsed by clang (-fsyntax-only) with the Apple macros defined,
so that Qt's headers and the project's sources take their macOS branches.

Apple's SDK is not here. A few stand-in headers give Qt the target and version macros it reads
(and Linux's OpenGL headers where it asks for Apple's); Linux-only system headers are replaced
by ones that stop with an error, as they are missing on macOS. What this cannot see: the
Objective-C++ files (*.mm, which need AppKit), and anything that fails only with Apple's own
headers, compiler or linker.

    tools/macos-syntax/check.py [build folder, default: build]   (after scripts/build.sh)
"""

import concurrent.futures
import json
import os
import shlex
import subprocess
import sys
import tempfile
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]

# Compiled only where the project's own notification centre stands in for AppKit's.
OWN_CENTRE_ONLY = {"src/platform/NotificationCenter.cpp", "tests/platform/tst_resize_observer.cpp"}

STAND_INS = {
    "TargetConditionals.h": "#define TARGET_OS_MAC 1\n#define TARGET_OS_OSX 1\n"
                            "#define TARGET_OS_IPHONE 0\n#define TARGET_OS_IOS 0\n"
                            "#define TARGET_OS_TV 0\n#define TARGET_OS_WATCH 0\n"
                            "#define TARGET_OS_VISION 0\n#define TARGET_OS_SIMULATOR 0\n"
                            "#define TARGET_OS_MACCATALYST 0\n",
    "Availability.h": "#define __MAC_10_6 1060\n#define __MAC_OS_X_VERSION_MIN_REQUIRED 110000\n"
                      "#define __MAC_OS_X_VERSION_MAX_ALLOWED 140000\n",
    "AvailabilityMacros.h": "#define MAC_OS_X_VERSION_10_6 1060\n"
                            "#define MAC_OS_X_VERSION_MIN_REQUIRED 110000\n"
                            "#define MAC_OS_X_VERSION_MAX_ALLOWED 140000\n",
    "OpenGL/gl.h": "#define GL_GLEXT_LEGACY\n#include <GL/gl.h>\n",
    "OpenGL/gl3.h": "",
    "OpenGL/glext.h": "#include <GL/glext.h>\n",
}
LINUX_ONLY = ["malloc.h", "sys/prctl.h", "sys/epoll.h", "sys/inotify.h", "sys/sysinfo.h",
              "sys/vfs.h", "sys/signalfd.h", "sys/timerfd.h", "sys/eventfd.h", "sys/sendfile.h"]


def write_stand_ins(folder):
    for name in LINUX_ONLY:
        STAND_INS[name] = '#error "%s is not on macOS"\n' % name
    for name, text in STAND_INS.items():
        path = folder / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text("#pragma once\n" + text)


def sources(build):
    """The project's own C++ files of the default build, with their compile commands."""
    listing = subprocess.run(["ninja", "-C", str(build), "-t", "inputs", "all"], check=True,
                             capture_output=True, text=True).stdout
    inputs = {str((build / line).resolve()) for line in listing.splitlines()}
    for entry in json.loads((build / "compile_commands.json").read_text()):
        path = Path(entry["file"]).resolve()
        if str(path) in inputs and SOURCE in path.parents and build not in path.parents \
                and str(path.relative_to(SOURCE)) not in OWN_CENTRE_ONLY:
            yield path, entry


def check(entry, stand_ins):
    args = shlex.split(entry["command"])
    output = args.index("-o")
    args = ["clang++"] + [a for a in args[1:output] + args[output + 2:] if a != "-c"]
    args += ["-fsyntax-only", "-D__APPLE__", "-D__MACH__", "-I" + str(stand_ins)]
    result = subprocess.run(args, cwd=entry["directory"], capture_output=True, text=True)
    return result.returncode, result.stderr


def main():
    build = Path(sys.argv[1] if len(sys.argv) > 1 else SOURCE / "build").resolve()
    subprocess.run(["cmake", "-S", str(SOURCE), "-B", str(build),
                    "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", str(build)], check=True, stdout=subprocess.DEVNULL)
    with tempfile.TemporaryDirectory() as folder:
        write_stand_ins(Path(folder))
        # A file compiled for several targets is parsed once, with the first target's command:
        # a later one may belong to a target left out of the default build, whose generated
        # files do not exist.
        files = {}
        for path, entry in sources(build):
            files.setdefault(path, entry)
        with concurrent.futures.ThreadPoolExecutor(os.cpu_count()) as pool:
            results = dict(zip(files, pool.map(lambda e: check(e, folder), files.values())))
    failed = [path for path, (code, _) in results.items() if code != 0]
    for path in failed:
        print("FAIL: %s\n%s" % (path.relative_to(SOURCE), results[path][1]))
    print("%d files parsed for macOS, %d failed" % (len(results), len(failed)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
