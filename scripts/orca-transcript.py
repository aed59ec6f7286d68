#!/usr/bin/python3
"""Runs the program under Orca, the screen reader, on a virtual display with
speech off, works it by the keyboard as a blind user would, and writes what
Orca said at each step, read from Orca's debug log (every "SPEECH OUTPUT" it
would have spoken). Writes the transcript of this Debian release into
docs/ACCESSIBILITY.md.

The steps: the window opening, every Tab stop, typing 1000 into the start
entry, Count Up running for 10 s, asking for the number (Orca's "where am I"
and "read status bar"), Stop, Reset Zero, a countdown that stops itself, and
the announcements while four modes run at 1 ms for 10 s.

Usage: scripts/orca-transcript.py [PROGRAM] [--print-only]
  PROGRAM defaults to what run.sh builds; with --print-only the transcript
  goes to standard output alone.
"""
import argparse
import datetime
import os
import re
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# The focus order of the window's controls, as Tab walks it.
TAB_ORDER = ["txtStart", "cmdStop", "cmdReset", "Cmdexit", "txtdivideAmount", "cmdDivide", "txtDividePace",
             "txtincdown", "txtintUp", "Command1", "txtIncriments", "txtinterval", "cmdStart", "txtTimes", "cmdTimes",
             "txtTimesamount"]
SPOKEN = re.compile(r"^(\d\d):(\d\d):(\d\d)\.(\d+) - SPEECH OUTPUT: '(.*?)' ?(\{.*)?$")


def run_outside(program, print_only):
    subprocess.run([os.path.join(ROOT, "scripts/install-deps.sh"), "program", "headless", "screen-reader"],
                   check=True)
    release = subprocess.run(["bash", "-c", ". /etc/os-release && echo ${VERSION_CODENAME:-$ID}"],
                             capture_output=True, text=True, check=True).stdout.strip()
    orca = subprocess.run(["orca", "--version"], capture_output=True, text=True).stdout.strip()
    qt = subprocess.run(["dpkg-query", "-W", "-f=${Version}", "libqt6gui6"], capture_output=True,
                        text=True).stdout.strip()
    with tempfile.TemporaryDirectory() as folder:
        # Nothing of the caller's session: a display, a session bus and a
        # runtime folder of its own; speech-dispatcher may not start, so Orca
        # speaks nothing and logs what it would have said.
        runtime = os.path.join(folder, "runtime")
        config = os.path.join(folder, "config")
        os.makedirs(runtime, mode=0o700)
        os.makedirs(os.path.join(config, "speech-dispatcher"))
        with open(os.path.join(config, "speech-dispatcher", "speechd.conf"), "w") as speechd:
            speechd.write("DisableAutoSpawn\n")
        environment = {key: value for key, value in os.environ.items()
                       if key not in ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "QT_QPA_PLATFORM",
                                      "XDG_SESSION_TYPE", "SPEECHD_ADDRESS")}
        environment.update(XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=config, HOME=folder, LC_ALL="C.UTF-8")
        log = os.path.join(folder, "orca.log")
        subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 1280x800x24 -nolisten tcp", "dbus-run-session", "--",
                        sys.executable, os.path.abspath(__file__), program, "--inside", log], env=environment,
                       check=True, stdout=sys.stderr)
        transcript = transcribe(log, release, orca, qt)
    print(transcript)
    if not print_only:
        with tempfile.NamedTemporaryFile("w", suffix=".md", delete=False) as section:
            section.write(transcript)
        subprocess.run([os.path.join(ROOT, "scripts/update-doc-section.sh"), os.path.join(ROOT, "docs/ACCESSIBILITY.md"),
                        f"orca-{release}", section.name], check=True)
        os.unlink(section.name)


class Session:
    """Orca and the program on the display, and the steps taken on them."""

    def __init__(self, program, log):
        self.steps = []  # (title, start time of day, end time of day, note)
        self.focus = 0
        self.window_manager = subprocess.Popen(["openbox"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        prefs = os.path.join(os.path.dirname(log), "orca-prefs")
        os.makedirs(prefs, exist_ok=True)
        self.orca = subprocess.Popen(["orca", "-u", prefs, "--debug-file", log], stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        time.sleep(5)  # Orca writes its log in blocks: it cannot be watched for Orca being ready
        self.program = program

    @staticmethod
    def now():
        return datetime.datetime.now().time()

    @staticmethod
    def wait_for_window():
        subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "^Taborvane$"], check=True,
                       stdout=subprocess.DEVNULL, timeout=30)

    def keys(self, *keys, pause=0.7):
        for key in keys:
            subprocess.run(["xdotool", "key", key], check=True)
            time.sleep(pause)

    def twice(self, key):
        """A key pressed twice in quick succession, as Orca's double commands want."""
        subprocess.run(["xdotool", "key", "--delay", "120", key, key], check=True)
        time.sleep(1.0)

    def type(self, text):
        self.keys("ctrl+a", pause=0.3)
        subprocess.run(["xdotool", "type", "--delay", "150", "--", text], check=True)
        time.sleep(0.5)

    def go_to(self, control):
        target = TAB_ORDER.index(control)
        forward = (target - self.focus) % len(TAB_ORDER)
        if forward <= len(TAB_ORDER) // 2:
            self.keys(*["Tab"] * forward)
        else:
            self.keys(*["shift+Tab"] * (len(TAB_ORDER) - forward))
        self.focus = target

    def start_program(self):
        self.program = subprocess.Popen([self.program], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.wait_for_window()

    def step(self, title, action, settle, note=""):
        start = self.now()
        action()
        time.sleep(settle)
        self.steps.append((title, start, self.now(), note))

    def end(self):
        # Orca first, while the program still answers it: Orca writes out its
        # log as it quits, and may wait long on a program that has gone.
        time.sleep(1)
        self.orca.terminate()
        try:
            self.orca.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.orca.kill()
            self.orca.wait()
        if isinstance(self.program, subprocess.Popen):
            self.program.terminate()
            self.program.wait()
        self.window_manager.terminate()


def run_inside(program, log):
    session = Session(program, log)
    try:
        take_the_steps(session)
    finally:
        session.end()
    with open(log + ".steps", "w") as steps:
        for title, start, end, note in session.steps:
            steps.write(f"{start.isoformat()}\t{end.isoformat()}\t{title}\t{note}\n")


def take_the_steps(session):
    session.step("The window opens", session.start_program, 4)
    session.step("Every Tab stop, once round", lambda: session.keys(*["Tab"] * len(TAB_ORDER), pause=1.0), 1)
    session.step("Typing 1000 into the start entry", lambda: session.type("1000"), 2)
    session.go_to("Command1")
    session.step("Count Up, running for 10 s", lambda: session.keys("space"), 10)
    session.step("Asking where the focus is (KP_Enter)", lambda: session.keys("KP_Enter"), 2)
    session.step("Asking for the status bar (Insert+KP_Enter, twice)", lambda: session.twice("Insert+KP_Enter"), 2)
    session.go_to("cmdStop")
    session.step("Stop", lambda: session.keys("space"), 2)
    session.go_to("cmdReset")
    session.step("Reset Zero", lambda: session.keys("space"), 2)

    def countdown_setup():
        session.go_to("txtStart")
        session.type("3")
        session.go_to("txtincdown")
        session.type("1")
        session.go_to("txtinterval")
        session.type("100")
        session.go_to("cmdStart")

    session.step("Setting up a countdown by 1 every 100 ms from 3", countdown_setup, 1)
    session.step("Start Countdown: it stops itself", lambda: session.keys("space"), 3)

    def four_modes_setup():
        for control, text in (("txtStart", "1000"), ("txtdivideAmount", "-1"), ("txtDividePace", "1"),
                              ("txtincdown", "2"), ("txtintUp", "1"), ("txtIncriments", "4"), ("txtinterval", "1"),
                              ("txtTimes", "1"), ("txtTimesamount", "-1")):
            session.go_to(control)
            session.type(text)
        for button in ("cmdDivide", "Command1", "cmdStart", "cmdTimes"):
            session.go_to(button)
            session.keys("space")

    session.step("Four modes at 1 ms: setting up and starting", four_modes_setup, 1.5)
    session.step("Four modes at 1 ms, running for 10 s", lambda: None, 10, "announcements")
    session.go_to("cmdStop")
    session.step("Stop", lambda: session.keys("space"), 2)


def transcribe(log, release, orca, qt):
    spoken = []
    with open(log, errors="replace") as lines:
        for line in lines:
            match = SPOKEN.match(line.rstrip("\n"))
            if match:
                hours, minutes, seconds, micro, text = match.groups()[:5]
                spoken.append((datetime.time(int(hours), int(minutes), int(seconds), int(micro[:6].ljust(6, "0"))),
                               text.strip()))
    with open(log + ".steps") as lines:
        steps = [line.rstrip("\n").split("\t") for line in lines]
    version = re.search(r"(\d+(\.\d+)+)", orca)  # "Orca version 48.1, AT-SPI2 version: 2.56.2"
    out = [f"Orca {version.group(1) if version else '?'} on {release}, Qt {qt}, measured "
           f"{datetime.date.today().isoformat()} with `scripts/orca-transcript.py`: what Orca would have said, in "
           "order, utterances separated by ' / '.", "", "| step | what Orca said |", "|---|---|"]
    counted = ""
    for start, end, title, note in steps:
        begin, finish = datetime.time.fromisoformat(start), datetime.time.fromisoformat(end)
        said = [text for moment, text in spoken if begin <= moment < finish]
        out.append(f"| {title} | {' / '.join(said).replace('|', '¦') or '(nothing)'} |")
        if note == "announcements":
            counted = (f"While four modes ran at 1 ms for 10 s Orca said {len(said)} "
                       f"thing{'s' if len(said) != 1 else ''}.")
    if counted:
        out += ["", counted]
    return "\n".join(out) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program", nargs="?", default=os.path.join(ROOT, "build/program/app/taborvane"))
    parser.add_argument("--print-only", action="store_true")
    parser.add_argument("--inside")
    args = parser.parse_args()
    if args.inside:
        run_inside(os.path.abspath(args.program), args.inside)
    else:
        run_outside(os.path.abspath(args.program), args.print_only)


if __name__ == "__main__":
    main()
