#!/usr/bin/python3
"""A whole race as an organiser runs it, on the real program binary.

The program runs under Xvfb (with openbox, or without any window manager), its Bluetooth
pointed at the console simulator on a private D-Bus system bus, and is driven only through its
window: xdotool clicks at the positions the screens have and typed keys. Screenshots of every
step are kept in the output folder.

    organiser_run.py --scenario three|ten-import|drop|no-wm --app BIN --sim BIN --out DIR
"""

import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import zipfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import xlsx_sheet  # noqa: E402

TITLE_BAR = 36


class Failure(Exception):
    pass


def wait_for(what, predicate, timeout, step=0.25):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    raise Failure("timed out waiting for " + what)


def run(args, env=None, check=True, timeout=30):
    result = subprocess.run(args, env=env, capture_output=True, text=True, timeout=timeout)
    if check and result.returncode != 0:
        raise Failure("%s failed: %s" % (" ".join(args), result.stderr.strip()))
    return result.stdout


class Processes:
    """Every child started here dies with the run."""

    def __init__(self):
        self.children = []

    def start(self, args, **kwargs):
        child = subprocess.Popen(args, start_new_session=True, **kwargs)
        self.children.append(child)
        return child

    def stop_all(self):
        for child in reversed(self.children):
            if child.poll() is None:
                try:
                    os.killpg(child.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
        for child in reversed(self.children):
            try:
                child.wait(timeout=5)
            except subprocess.TimeoutExpired:
                os.killpg(child.pid, signal.SIGKILL)


class ConsoleRig:
    """A private system bus with rivanta-ble-sim serving org.bluez on it."""

    def __init__(self, procs, folder, sim):
        self.folder = folder
        conf = folder / "bus.conf"
        socket = folder / "bus"
        conf.write_text(
            "<busconfig><type>system</type><listen>unix:path=%s</listen><auth>EXTERNAL</auth>"
            '<policy context="default"><allow user="*"/><allow own="*"/>'
            '<allow send_type="*"/><allow receive_type="*"/></policy></busconfig>' % socket)
        procs.start(["dbus-daemon", "--config-file=%s" % conf, "--nofork"],
                    stdout=subprocess.DEVNULL)
        wait_for("the private bus", socket.exists, 10)
        self.address = "unix:path=%s" % socket
        self.env = dict(os.environ, DBUS_SYSTEM_BUS_ADDRESS=self.address)
        procs.start([sim], env=self.env, stdout=subprocess.DEVNULL,
                    stderr=open(folder / "ble-sim.log", "w"))
        wait_for("the simulator", lambda: "true" in self.bus_call(
            "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
            "com.rivanta.BleSim"), 10)

    def bus_call(self, dest, path, method, *args):
        return run(["gdbus", "call", "--system", "-d", dest, "-o", path, "-m", method, *args],
                   env=self.env, check=False)

    def control(self, method, *args):
        out = run(["gdbus", "call", "--system", "-d", "com.rivanta.BleSim", "-o",
                   "/com/rivanta/BleSim", "-m", "com.rivanta.BleSim1." + method, *args],
                  env=self.env)
        return out

    def add_console(self, address, name, start, speed, interval_ms=100):
        spec = ("{'address': <'%s'>, 'name': <'%s'>, 'startDistance': <uint32 %d>, "
                "'speed': <%f>, 'intervalMs': <uint32 %d>, 'rowing': <false>}"
                % (address, name, start, speed, interval_ms))
        self.control("AddConsole", spec)

    def set_rowing(self, address, rowing):
        self.control("SetRowing", address, "true" if rowing else "false")

    def drop_link(self, address):
        self.control("DropLink", address)

    def stats(self, address):
        out = self.control("Stats", address)
        return {key: value for key, value in re.findall(r"'(\w+)': <(?:uint32 )?(\w+)>", out)}


class Screen:
    """An Xvfb display, with openbox or without a window manager."""

    def __init__(self, procs, window_manager):
        read_end, write_end = os.pipe()
        # -noreset: without a window manager the server would otherwise reset whenever its
        # last client (xmodmap, xdotool) leaves, and refuse the program while it does.
        procs.start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1920x1080x24",
                     "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,),
                    stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            number = pipe.readline().strip()
        if not number:
            raise Failure("Xvfb did not start")
        self.display = ":" + number.decode()
        self.env = dict(os.environ, DISPLAY=self.display)
        if window_manager:
            procs.start(["openbox"], env=self.env, stdout=subprocess.DEVNULL,
                        stderr=subprocess.DEVNULL)
            time.sleep(0.5)

    def xdotool(self, *args):
        return run(["xdotool", *args], env=self.env)

    def map_letters(self, letters):
        """Gives each letter beyond the keyboard map a key of its own. Otherwise xdotool lends a
        spare key to such a letter and takes it back at once, and a busy program reads the key
        after the map has changed again: the letter is lost."""
        free = [int(line.split()[1]) for line in run(["xmodmap", "-pke"], env=self.env).splitlines()
                if line.strip().endswith("=")]
        letters = sorted(set(letters))
        if len(letters) > len(free):
            raise Failure("no free keys for %d letters" % len(letters))
        for key, letter in zip(free, letters):
            run(["xmodmap", "-e", "keycode %d = U%04X" % (key, ord(letter))], env=self.env)

    def shot(self, path):
        run(["import", "-window", "root", str(path)], env=self.env)


class Program:
    """The real binary, copied into a bundle of its own so that its logs and settings stay in
    the run's folder."""

    def __init__(self, procs, screen, rig, folder, app):
        self.screen = screen
        self.folder = folder
        bundle = folder / "RivantaRace.app" / "Contents" / "MacOS"
        bundle.mkdir(parents=True)
        shutil.copy2(app, bundle / "RivantaRace")
        template = Path(app).parent / "printTemplate.xlsx"
        if template.exists():
            shutil.copy2(template, bundle / "printTemplate.xlsx")
        icon = Path(app).parents[2] / "app_icon.ico"
        if icon.exists():
            shutil.copy2(icon, folder / "app_icon.ico")
        self.home = folder / "home"
        for sub in (".config", ".local/share", ".cache", "Documents", "runtime"):
            (self.home / sub).mkdir(parents=True, exist_ok=True)
        os.chmod(self.home / "runtime", 0o700)
        env = dict(screen.env, HOME=str(self.home),
                   XDG_CONFIG_HOME=str(self.home / ".config"),
                   XDG_DATA_HOME=str(self.home / ".local/share"),
                   XDG_CACHE_HOME=str(self.home / ".cache"),
                   XDG_RUNTIME_DIR=str(self.home / "runtime"),
                   QT_QPA_PLATFORM="xcb")
        env.pop("WAYLAND_DISPLAY", None)
        if rig:
            env.update(DBUS_SYSTEM_BUS_ADDRESS=rig.address)
        self.log = open(folder / "program.log", "w")
        self.process = procs.start([str(bundle / "RivantaRace")], cwd=folder, env=env,
                                   stdout=self.log, stderr=subprocess.STDOUT)
        try:
            self.window = wait_for("the window", lambda: self.find_window("Rivanta App"), 30)
        except Failure:
            self.log.flush()
            print((folder / "program.log").read_text()[-3000:], flush=True)
            raise
        self.logs = folder / "logs"

    def find_window(self, name):
        out = run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % name],
                  env=self.screen.env, check=False)
        ids = out.split()
        return ids[-1] if ids else None

    def geometry(self):
        out = self.screen.xdotool("getwindowgeometry", "--shell", self.window)
        values = dict(line.split("=") for line in out.split())
        return (int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"]))

    def at(self, x, y, uniform=False, design_height=1080):
        """Screen position of design pixel (x, y) of the current page's canvas."""
        x0, y0, w, h = self.geometry()
        area_h = h - TITLE_BAR
        if uniform:
            s = min(w / 1920, area_h / design_height)
            return (x0 + (w - 1920 * s) / 2 + x * s,
                    y0 + TITLE_BAR + (area_h - design_height * s) / 2 + y * s)
        return (x0 + x * w / 1920, y0 + TITLE_BAR + y * area_h / design_height)

    def click(self, x, y, uniform=False, pause=0.4):
        sx, sy = self.at(x, y, uniform)
        self.screen.xdotool("mousemove", "--sync", str(round(sx)), str(round(sy)))
        self.screen.xdotool("click", "1")
        time.sleep(pause)

    def type_into(self, x, y, text):
        self.click(x, y, pause=0.1)
        self.screen.xdotool("key", "ctrl+a")
        if not text:
            self.screen.xdotool("key", "BackSpace")
        else:
            self.screen.xdotool("type", "--delay", "8", "--", text)

    def answer_file_dialog(self, title, path):
        dialog = wait_for("the dialog " + title, lambda: self.find_window(title), 20)
        self.screen.xdotool("windowactivate", "--sync", dialog)
        time.sleep(0.5)
        self.screen.xdotool("key", "ctrl+a")
        self.screen.xdotool("type", "--delay", "8", "--", str(path))
        time.sleep(0.3)
        self.screen.xdotool("key", "Return")
        wait_for("the dialog to close", lambda: not self.find_window(title), 20)

    def alive(self):
        return self.process.poll() is None


# Positions on the canvases of the screens (design pixels).
HOME_SETTINGS = (1241, 400)
HOME_ERGOMETER = (677, 400)
BOTTOM_FORWARD = (1822, 1038)      # "Confirm" and "Next"
IMPORT_EXCEL = (413, 1038)
PRINT = (298, 69)


def address_field(slot):
    x = 173.73 if slot % 2 == 0 else 856.10
    return (x + 227, 262.67 + 129.65 * (slot // 2) + 25)


FIELD_X = [0, 191.41, 382.82, 490.59, 598.36, 741.97, 921.43]
FIELD_W = [179.23, 179.23, 95.59, 95.59, 131.43, 167.28, 131.43]
FIELD_ORDER = ["first", "surname", "weight", "sex", "dob", "club", "cat"]


def athlete_field(slot, name):
    k = FIELD_ORDER.index(name)
    return (140.59 + FIELD_X[k] + FIELD_W[k] / 2, 294 + 67.12 * slot + 24)


def distance_button(metres):
    k = 0 if metres == 250 else metres // 500
    return (170 + 92 * k + 40, 151 + 18)


class Consoles:
    def __init__(self, address, name, typed, speed, interval_ms=100, slot=0):
        self.address, self.name, self.typed = address, name, typed
        self.speed, self.interval_ms, self.slot = speed, interval_ms, slot


def scenario_consoles(name):
    if name in ("three", "drop"):
        return [
            Consoles("C0:FF:EE:00:00:01", "Kayak-Alpha", "  Kayak-Alpha  ", 20.0, slot=0),
            Consoles("C0:FF:EE:00:00:03", "Kayak-Bravo", "kayak-bravo", 16.0, 1000, slot=2),
            Consoles("C0:FF:EE:00:00:04", "Kayak-Charlie", "Kayak-Charlie", 13.0, slot=3),
        ]
    return [Consoles("C0:FF:EE:00:01:%02d" % (i + 1), "Ergo %d" % (i + 1), "Ergo %d" % (i + 1),
                     9.0 + 0.6 * i, 1000 if i == 4 else 100, slot=i) for i in range(10)]


# Athletes typed in the three-console runs, by slot: first name, surname, weight, sex, dob,
# club, category. The long club and the non-ASCII names must come through to the results.
TYPED = {
    0: ["Renée", "Straße", "61", "F", "1999-04-02", "KC Wörth", "Senior"],
    2: ["Борис", "Иванов", "84", "M", "2001-11-30", "Dynamo", "U23"],
    3: ["Max", "Lang", "77", "M", "1990-01-15", "Club " + "x" * 195, "Master"],
}

IMPORTED = [  # lane, first name, surname, club, sex, category, weight, dob
    ["1", "Ada", "Lovelace", "Thames KC", "F", "Senior", "58", "1990-12-10"],
    ["2", "Bea", "Brandt", "Elbe", "F", "Junior", "55", "2008-03-01"],
    ["3", "Carl", "Czerny", "Wien", "M", "Senior", "80", "1991-02-21"],
    ["4", "Dora", "Dvořák", "Praha", "F", "U23", "63", "2003-07-07"],
    ["5", "Emil", "Ek", "Malmö", "M", "Master", "88", "1975-05-05"],
    ["6", "Fay", "Faro", "Lisboa", "F", "Senior", "60", "1995-09-09"],
    ["7", "Gus", "Grün", "Köln", "M", "Junior", "70", "2007-10-10"],
]


class Run:
    def __init__(self, args):
        self.args = args
        self.out = Path(args.out)
        shutil.rmtree(self.out, ignore_errors=True)
        self.out.mkdir(parents=True)
        self.work = Path(tempfile.mkdtemp(prefix="rivanta-e2e-"))
        # Every helper of the run (openbox writes its log under the cache folder) gets a home of
        # its own, gone with the run, so nothing lands in the user's folders.
        helper_home = self.work / "helper-home"
        os.environ.update(HOME=str(helper_home), XDG_CONFIG_HOME=str(helper_home / ".config"),
                          XDG_DATA_HOME=str(helper_home / ".local/share"),
                          XDG_CACHE_HOME=str(helper_home / ".cache"),
                          XDG_STATE_HOME=str(helper_home / ".local/state"),
                          XDG_RUNTIME_DIR=str(helper_home / "runtime"))
        (helper_home / "runtime").mkdir(parents=True, mode=0o700)
        self.procs = Processes()
        self.step_number = 0

    def step(self, what):
        self.step_number += 1
        print("step %02d: %s" % (self.step_number, what), flush=True)
        if hasattr(self, "program"):
            self.screen.shot(self.out / ("%02d-%s.png" % (self.step_number,
                                                         re.sub(r"\W+", "-", what))))

    def close(self):
        self.procs.stop_all()
        shutil.rmtree(self.work, ignore_errors=True)

    def start(self, window_manager=True, consoles=()):
        self.screen = Screen(self.procs, window_manager)
        self.screen.map_letters(c for texts in TYPED.values() for text in texts for c in text
                                if not c.isascii())
        self.rig = ConsoleRig(self.procs, self.work, self.args.sim) if consoles else None
        for c in consoles:
            self.rig.add_console(c.address, c.name, self.distance, c.speed, c.interval_ms)
        self.program = Program(self.procs, self.screen, self.rig, self.work / "run", self.args.app)
        time.sleep(2)

    # -- the scenarios

    def no_window_manager(self):
        self.distance = 500
        self.start(window_manager=False)
        wait_for("the window to fill the screen",
                 lambda: self.program.geometry()[2:] == (1920, 1080), 10)
        self.step("home without a window manager")
        if self.program.geometry() != (0, 0, 1920, 1080):
            raise Failure("window at %s, not on the whole screen" % (self.program.geometry(),))

    def race(self, scenario):
        ten = scenario == "ten-import"
        self.distance = 250 if ten else 500
        consoles = scenario_consoles(scenario)
        self.start(consoles=consoles)
        p = self.program
        self.step("home")

        p.click(*HOME_SETTINGS, uniform=True, pause=1.5)
        self.step("console addresses")
        for c in consoles:
            p.type_into(*address_field(c.slot), c.typed)
        self.step("names typed")
        p.click(*BOTTOM_FORWARD, pause=1.5)
        self.step("confirmed")

        p.click(*HOME_ERGOMETER, uniform=True, pause=1.0)
        self.step("race set-up opened")
        wait_for("every console to connect", lambda: all(
            self.rig.stats(c.address).get("notifying") == "true" for c in consoles), 90, 0.5)
        time.sleep(1.5)   # the page polls every 500 ms
        self.step("header shows %d of 10" % len(consoles))

        if ten:
            sheet = self.work / "entries.xlsx"
            xlsx_sheet.write_shuffled_sheet(sheet, IMPORTED, event=["Rivanta Regatta Club",
                                            "Harbour Road 1", "club@example.org", "+49 30 1234",
                                            "Indoor Sprint Cup", "2026-12-07", "Boathouse"])
            p.click(*IMPORT_EXCEL, pause=1.0)
            p.answer_file_dialog("Select Excel File", sheet)
            time.sleep(1.0)
            self.step("athletes imported")
        else:
            for slot, texts in TYPED.items():
                for name, text in zip(["first", "surname", "weight", "sex", "dob", "club", "cat"],
                                      texts):
                    p.type_into(*athlete_field(slot, name), text)
            time.sleep(1)   # a busy program may still be taking the keys
            self.step("athletes typed")

        p.click(*distance_button(self.distance), pause=0.5)
        self.step("%d m picked" % self.distance)
        p.click(*BOTTOM_FORWARD, pause=1.0)
        self.step("countdown")
        time.sleep(4.5)
        self.step("countdown running")
        time.sleep(4.5)
        # The athletes start on GO, a second before the race clock starts.
        for c in consoles:
            self.rig.set_rowing(c.address, True)
        race_started = time.monotonic()
        time.sleep(3)
        self.step("race started")
        if scenario == "drop":
            time.sleep(5)
            dropped = consoles[1]
            connects = int(self.rig.stats(dropped.address)["connects"])
            self.rig.drop_link(dropped.address)
            self.step("link of lane %d dropped" % (dropped.slot + 1))
            wait_for("the dropped console to come back", lambda: int(
                self.rig.stats(dropped.address)["connects"]) > connects and self.rig.stats(
                dropped.address).get("notifying") == "true", 30, 0.5)
            self.step("link of lane %d back" % (dropped.slot + 1))
        time.sleep(max(1, self.distance / max(c.speed for c in consoles)
                       - (time.monotonic() - race_started)))
        self.step("race mid-way or leader finished")
        race_log = wait_for("the race log", lambda: sorted(p.logs.glob("race_*.log")), 10)[0]
        self.wait_for_race_end(race_log, consoles)
        self.step("every racer finished")
        if self.args.rss_file:
            Path(self.args.rss_file).write_text(str(resident_kib(p.process.pid)))

        pdf = p.home / "Documents" / "Regatta 2026.final.pdf"
        p.click(*PRINT, pause=1.0)
        p.answer_file_dialog("Save Race Results", pdf)
        xlsx = pdf.with_suffix(".xlsx")
        wait_for("the PDF and the workbook", lambda: pdf.exists() and xlsx.exists(), 20)
        time.sleep(1)
        self.step("results saved")
        for f in (pdf, xlsx, race_log, p.logs / "packet.log"):
            shutil.copy2(f, self.out / f.name)
        self.check_results(pdf, xlsx, race_log, consoles, ten)

    def wait_for_race_end(self, race_log, consoles):
        """The race log gets a line a second per racer until the race ends."""
        slowest = min(c.speed for c in consoles)
        last_size, still_since = -1, time.monotonic()
        deadline = time.monotonic() + self.distance / slowest + 60
        while time.monotonic() < deadline:
            size = race_log.stat().st_size
            if size != last_size:
                last_size, still_since = size, time.monotonic()
            elif time.monotonic() - still_since > 3.5:
                return
            time.sleep(0.5)
        raise Failure("the race did not end by itself")

    def check_results(self, pdf, xlsx, race_log, consoles, ten):
        order = sorted(consoles, key=lambda c: -c.speed)   # the fastest console finishes first
        if ten:
            by_lane = {int(r[0]): r for r in IMPORTED}
            expected = [(c.slot + 1, by_lane.get(c.slot + 1, [""] * 3)[1:3]) for c in order]
        else:
            expected = [(c.slot + 1, TYPED[c.slot][0:2]) for c in order]

        text = run(["pdftotext", "-layout", str(pdf), "-"])
        positions = []
        for lane, (first, surname) in expected:
            if not first:
                continue
            where = text.find(first)
            if where < 0 or surname[:20] not in text:
                raise Failure("the PDF does not name %s %s" % (first, surname))
            positions.append(where)
        if positions != sorted(positions):
            raise Failure("the PDF does not list the athletes in finish order")

        rows = xlsx_sheet.read_rows(xlsx)
        if rows[10][:2] != ["Rank", "Lane"]:
            raise Failure("no result table at row 10 of the workbook: %s" % rows[10])
        for place, (lane, (first, surname)) in enumerate(expected, start=1):
            row = rows[10 + place]
            if row[0] != str(place) or row[1] != str(lane) or row[2] != first or row[3] != surname:
                raise Failure("workbook row %d is %s, expected place %d lane %d %s %s"
                              % (10 + place, row[:4], place, lane, first, surname))
            if row[9] != str(self.distance) or not re.fullmatch(r"\d\d:\d\d", row[10]):
                raise Failure("workbook row %d has distance %r and time %r"
                              % (10 + place, row[9], row[10]))
        if not ten:
            # Every typed text reaches the workbook whole: the 200-character club, the letters
            # beyond ASCII.
            for place, c in enumerate(order, start=1):
                got = rows[10 + place][2:9]
                if got != TYPED[c.slot]:
                    raise Failure("workbook row %d holds %s, typed %s"
                                  % (10 + place, got, TYPED[c.slot]))
        times = [rows[10 + place][10] for place in range(1, len(expected) + 1)]
        if times != sorted(times):
            raise Failure("finish times out of order: %s" % times)

        lines = race_log.read_text().splitlines()
        pattern = re.compile(r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \| Lane: (\d+) \| Distance: ([\d.e+]+)$")
        lanes = {}
        for line in lines:
            m = pattern.match(line)
            if not m:
                raise Failure("race log line %r" % line)
            lanes.setdefault(m.group(1), []).append(float(m.group(2)))
        if not ten and set(lanes) != {str(c.slot + 1) for c in consoles}:
            raise Failure("race log lanes %s" % sorted(lanes))
        # A line a second for every racer from the start until the last one finishes; the
        # race ends before the last finisher's final second is logged.
        counts = {len(values) for values in lanes.values()}
        slowest = min(c.speed for c in consoles)
        # The simulated athletes row slower, never faster, when the machine is busy.
        if len(counts) != 1 or not (self.distance / slowest - 3 <= counts.pop()
                                    <= 2 * self.distance / slowest):
            raise Failure("race log lines per lane: %s" % {k: len(v) for k, v in lanes.items()})
        for lane, values in lanes.items():
            if values != sorted(values) or not 0.9 * self.distance <= values[-1] <= self.distance:
                raise Failure("race log of lane %s: %s" % (lane, values))
        packets = (self.program.logs / "packet.log").read_text().splitlines()
        started = [line for line in packets if " | started | Distance: " in line]
        if len(started) != len(consoles) or not all(line.endswith("* ") for line in started):
            raise Failure("packet log holds %d start lines" % len(started))
        if len(packets) < 10 * len(consoles):
            raise Failure("packet log holds only %d lines" % len(packets))


def resident_kib(pid):
    for line in Path("/proc/%d/status" % pid).read_text().splitlines():
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    return 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--scenario", required=True,
                        choices=["three", "ten-import", "drop", "no-wm"])
    parser.add_argument("--app", required=True)
    parser.add_argument("--sim", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--rss-file", help="where to write the program's resident KiB after the race")
    args = parser.parse_args()
    run_ = Run(args)
    try:
        if args.scenario == "no-wm":
            run_.no_window_manager()
        else:
            run_.race(args.scenario)
        if not run_.program.alive():
            raise Failure("the program ended")
        print("PASS: %s" % args.scenario)
        return 0
    except (Failure, subprocess.TimeoutExpired) as failure:
        print("FAIL: %s" % failure, flush=True)
        try:
            run_.screen.shot(run_.out / "failure.png")
            shutil.copy2(run_.program.folder / "program.log", run_.out / "program.log")
        except Exception:  # noqa: BLE001 - the failure above is what matters
            pass
        return 1
    finally:
        run_.close()


if __name__ == "__main__":
    sys.exit(main())
