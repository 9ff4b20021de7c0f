#!/usr/bin/python3
"""The program's bundle as the build lays it out on macOS and on this system.

A probe project (tests/bundle/probe) lays out a stand-in executable with the project's own bundle
module; it is configured, not built, once as for macOS and once for this system. Checked: where
the executable lands, that the results template goes beside it and the "logs" folder three
levels up is the build folder, the Info.plist of the macOS bundle, and the icon file the build
draws for it.

    check_bundle.py --source DIR --work DIR --version X.Y.Z --icon FILE
"""

import argparse
import plistlib
import re
import shutil
import struct
import subprocess
import sys
from pathlib import Path

failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)


def configure(args, system):
    build = Path(args.work) / system
    shutil.rmtree(build, ignore_errors=True)
    command = ["cmake", "-S", str(Path(args.source) / "tests/bundle/probe"), "-B", str(build),
               "-G", "Ninja", "-DRIVANTA_SOURCE_DIR=" + args.source,
               "-DPROBE_VERSION=" + args.version, "-DPROBE_ICON=" + args.icon]
    if system == "macos":
        # No Apple compiler here: the probe is never compiled, only laid out.
        command += ["-DCMAKE_SYSTEM_NAME=Darwin", "-DCMAKE_CXX_COMPILER_WORKS=ON"]
    subprocess.run(command, check=True, capture_output=True)
    listing = subprocess.run(["ninja", "-C", str(build), "-t", "targets", "all"], check=True,
                             capture_output=True, text=True).stdout
    outputs = dict(line.rsplit(": ", 1) for line in listing.splitlines())
    return build, outputs


def check_layout(args, system):
    build, outputs = configure(args, system)
    executables = [path for path, rule in outputs.items() if rule.startswith("CXX_EXECUTABLE")]
    expect(executables == ["RivantaRace.app/Contents/MacOS/RivantaRace"],
           "%s: the executable is built as %s" % (system, executables))
    program_dir = Path((build / "program_dir.txt").read_text())
    expect(program_dir == build / "RivantaRace.app/Contents/MacOS",
           "%s: the results template goes to %s" % (system, program_dir))
    expect(program_dir.parents[2] == build,
           "%s: the logs folder is %s" % (system, program_dir.parents[2] / "logs"))
    return build, outputs


def check_info_plist(build, outputs, version):
    path = build / "RivantaRace.app/Contents/Info.plist"
    if not path.exists():
        expect(False, "macos: no Info.plist in the bundle")
        return
    try:
        info = plistlib.loads(path.read_bytes())
    except Exception as error:  # noqa: BLE001 - any parse error is the finding
        expect(False, "macos: Info.plist does not read as a property list: %s" % error)
        return
    expect(info.get("CFBundleExecutable") == "RivantaRace",
           "macos: CFBundleExecutable is %r" % info.get("CFBundleExecutable"))
    expect(info.get("CFBundlePackageType") == "APPL", "macos: the bundle is no application")
    expect(re.fullmatch(r"[A-Za-z0-9-]+(\.[A-Za-z0-9-]+)+", info.get("CFBundleIdentifier", "")),
           "macos: CFBundleIdentifier is %r" % info.get("CFBundleIdentifier"))
    expect(info.get("CFBundleName"), "macos: the bundle has no name")
    for key in ("CFBundleShortVersionString", "CFBundleVersion"):
        expect(info.get(key) == version, "macos: %s is %r" % (key, info.get(key)))
    icon = info.get("CFBundleIconFile", "")
    expect(icon and "RivantaRace.app/Contents/Resources/" + icon in outputs,
           "macos: the icon %r is not copied into the bundle's Resources" % icon)
    # macOS ends a program that uses Bluetooth without this text at its first scan.
    usage = info.get("NSBluetoothAlwaysUsageDescription", "")
    expect("Bluetooth" in usage, "macos: no Bluetooth usage text")
    for key, value in info.items():
        expect(not re.search(r"\$\{|@\w+@", str(value)), "macos: %s is left as %r" % (key, value))


def check_icon(path):
    """An icns file of PNG images, each of the size its type stands for."""
    sizes = {b"ic07": 128, b"ic08": 256, b"ic09": 512, b"ic10": 1024}
    data = Path(path).read_bytes()
    expect(data[:4] == b"icns" and struct.unpack(">I", data[4:8])[0] == len(data),
           "icon: no icns header giving its length")
    offset, found = 8, []
    while offset + 8 <= len(data):
        kind, length = data[offset:offset + 4], struct.unpack(">I", data[offset + 4:offset + 8])[0]
        png = data[offset + 8:offset + length]
        width, height = struct.unpack(">II", png[16:24]) if len(png) >= 24 else (0, 0)
        expect(png[:8] == b"\x89PNG\r\n\x1a\n" and (width, height) == (sizes.get(kind),) * 2,
               "icon: entry %r is not a %s-pixel PNG" % (kind, sizes.get(kind)))
        found.append(kind)
        offset += max(length, 8)
    expect(offset == len(data) and b"ic09" in found and b"ic10" in found,
           "icon: entries %s do not fill the file or lack the 512 and 1024 pixel images" % found)


def main():
    parser = argparse.ArgumentParser()
    for option in ("--source", "--work", "--version", "--icon"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    build, outputs = check_layout(args, "macos")
    check_info_plist(build, outputs, args.version)
    check_layout(args, "host")
    check_icon(args.icon)
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
