#!/usr/bin/python3
"""Runs the real program and works it through the accessibility bus alone, as a
screen reader's user would: the window must be a frame named "Taborvane" with
every control named as designed and every entry's text whole; the number must
be announced when the window opens, after a start, Stop, Reset Zero, an edit of
the start value and a mode that stops itself, and never at a tick; a lamp's
state must be told at its mode's button; Exit must end the program with status
0, and nothing may be printed but what Qt writes of itself under the
categories named below.

Run inside a session bus of its own (dbus-run-session) on a display.
Usage: drive_over_atspi.py PROGRAM [--screenshot PNG] [--compositor-draws-frames]
                           [--maps-no-graphics-driver]
  --screenshot: also saves the compositor's picture of the screen (Weston,
  started with --debug) and checks that the window is on it.
  --compositor-draws-frames: on sway, whose IPC the checks reach through
  SWAYSOCK: the window's frame is sway's, and its app id the program's own.
  --maps-no-graphics-driver: the program maps no graphics driver, since
  nothing of it draws with OpenGL.
"""
import argparse
import glob
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

try:
    from gi.repository import Gio, GLib
except ImportError as missing:
    sys.exit(f"FAILED: {missing} (package python3-gi)")


def accessibility_bus_problem():
    """Why the accessibility bus cannot be reached, or None. Asked first, because
    the accessibility library ends the whole process when it cannot connect."""
    try:
        session = Gio.bus_get_sync(Gio.BusType.SESSION, None)
        session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None,
                          GLib.VariantType("(s)"), Gio.DBusCallFlags.NONE, 10000, None)
    except GLib.Error as error:
        return error.message.splitlines()[0]
    return None


problem = accessibility_bus_problem()
if problem:
    sys.exit(f"FAILED: the accessibility bus (at-spi2-core) does not answer: {problem}")
try:
    import pyatspi
    from gi.repository import Atspi
except ImportError as missing:
    sys.exit(f"FAILED: {missing} (package python3-pyatspi)")

# Role and name of each control that a screen reader announces, with the
# state a lamp reports in its description. Roles are compared by their
# constants: the names the accessibility library prints differ between releases.
EXPECTED_CONTROLS = [
    (pyatspi.ROLE_STATUS_BAR, "777", None),
    (pyatspi.ROLE_LABEL, "Time Amount", None),
    (pyatspi.ROLE_LABEL, "Incriment", None),
    (pyatspi.ROLE_PUSH_BUTTON, "Start Countdown", "Lamp off"),
    (pyatspi.ROLE_PUSH_BUTTON, "Count Up", "Lamp off"),
    (pyatspi.ROLE_PUSH_BUTTON, "Divide", "Lamp off"),
    (pyatspi.ROLE_PUSH_BUTTON, "Multiply", "Lamp off"),
    (pyatspi.ROLE_PUSH_BUTTON, "Reset Zero", None),
    (pyatspi.ROLE_PUSH_BUTTON, "Stop", None),
    (pyatspi.ROLE_PUSH_BUTTON, "Exit", None),
    (pyatspi.ROLE_TEXT, "Start value", None),
    (pyatspi.ROLE_TEXT, "Countdown pace in milliseconds", None),
    (pyatspi.ROLE_TEXT, "Countdown step", None),
    (pyatspi.ROLE_TEXT, "Count-up pace in milliseconds", None),
    (pyatspi.ROLE_TEXT, "Count-up step", None),
    (pyatspi.ROLE_TEXT, "Divide pace in milliseconds", None),
    (pyatspi.ROLE_TEXT, "Divisor", None),
    (pyatspi.ROLE_TEXT, "Multiply pace in milliseconds", None),
    (pyatspi.ROLE_TEXT, "Multiplier", None),
    (pyatspi.ROLE_FILLER, "Countdown lamp", "Off"),
    (pyatspi.ROLE_FILLER, "Count-up lamp", "Off"),
    (pyatspi.ROLE_FILLER, "Divide lamp", "Off"),
    (pyatspi.ROLE_FILLER, "Multiply lamp", "Off"),
]
# Each entry's text as the window opens.
ENTRY_TEXTS = {
    "Start value": "000000777",
    "Countdown pace in milliseconds": "4700",
    "Countdown step": "370",
    "Count-up pace in milliseconds": "470",
    "Count-up step": "37",
    "Divide pace in milliseconds": "4700",
    "Divisor": "37",
    "Multiply pace in milliseconds": "470",
    "Multiplier": "3.7",
}
OLIVE = "rgb(192,192,0)"  # the window's background
APP_ID = "org.taborvane.Taborvane"
# Where glvnd, which every EGL program goes through, reads which vendor's
# library drives the graphics: a window that drew with OpenGL would load one.
EGL_VENDOR_FOLDERS = ["/etc/glvnd/egl_vendor.d", "/usr/share/glvnd/egl_vendor.d"]


# Every message the program writes through Qt starts with this and its logging
# category, so that Qt's own diagnostics can be told from the program's.
MESSAGE_START = "\x1etaborvane message of "
MESSAGE_PATTERN = MESSAGE_START + "%{category}: %{message}"
# Qt's own logging categories under which a Qt writes of itself, not of the program:
QT_CATEGORIES_ALLOWED = {
    # Qt 6.11: "AtSpiAdaptor::applicationInterface does not implement GetApplicationBusAddress",
    # when the accessibility library asks every application for a bus of its own.
    "qt.accessibility.atspi",
}


def messages_not_allowed(err):
    """What the program wrote but for messages under the allowed categories of Qt."""
    before, *messages = err.split(MESSAGE_START)
    kept = [before] if before.strip() else []
    kept += [message for message in messages if message.partition(": ")[0] not in QT_CATEGORIES_ALLOWED]
    return "".join(kept)


# Announcements are reported against this, the moment the driver began.
STARTED = time.monotonic()


class CheckFailed(Exception):
    pass


def check(condition, what):
    if not condition:
        raise CheckFailed(what)
    print(f"ok: {what}")


def pass_time(seconds):
    """Lets the accessibility library deliver events while time passes."""
    deadline = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < deadline:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def wait_for(what, probe, timeout=10.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        try:
            found = probe()
        except Exception:  # the program's objects appear and change while we look
            found = None
        if found:
            print(f"ok: {what}")
            return found
        pass_time(0.05)
    raise CheckFailed(f"{what}: not within {timeout:g} s")


class Listener:
    """What a screen reader presents without the focus moving: announcements
    (Qt 6.8 on), notifications shown (before), and changes of descriptions."""

    def __init__(self):
        self.announced = []  # (monotonic time, text)
        self.descriptions = []  # (name of the source, new description)
        self._listener = Atspi.EventListener.new(self._heard)
        for kind in ("object:announcement", "object:state-changed:showing",
                     "object:property-change:accessible-description"):
            self._listener.register(kind)

    def _heard(self, event):
        try:
            if event.type == "object:announcement" and isinstance(event.any_data, str):
                self.announced.append((time.monotonic(), event.any_data))
            elif event.type.startswith("object:state-changed:showing") and event.detail1 \
                    and event.source.get_role() == Atspi.Role.NOTIFICATION:
                self.announced.append((time.monotonic(), event.source.get_name()))
            elif event.type.startswith("object:property-change:accessible-description"):
                self.descriptions.append((event.source.get_name(), event.source.get_description()))
        except GLib.Error:
            pass  # a source gone while we asked

    def texts(self):
        return [text for _, text in self.announced]

    def wait_for_announcement(self, what, text, timeout=5.0, since=None):
        """Waits for the text among what is announced from now on, or from the
        index since: the window's opening may be told while a slow build is
        still being looked over."""
        before = len(self.announced) if since is None else since
        try:
            wait_for(f"{what}: '{text}' announced", lambda: text in self.texts()[before:], timeout)
        except CheckFailed as failure:
            heard = ", ".join(f"{said!r} at {at - STARTED:.2f} s" for at, said in self.announced)
            raise CheckFailed(f"{failure}; heard from the start: {heard or 'nothing'}") from None


def set_text(entry, text):
    check(entry.queryEditableText().setTextContents(text), f"'{entry.name}' takes the text '{text}'")


def check_entries_whole(controls):
    for name, expected in ENTRY_TEXTS.items():
        text = controls[(int(pyatspi.ROLE_TEXT), name)].queryText()
        whole = text.getText(0, -1)
        _, start, end = text.getAttributeRun(0)
        check(whole == expected and (start, end) == (0, len(expected)),
              f"'{name}' reads '{whole}' as one run of {start} to {end}")


def application_of(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    Atspi.Accessible.clear_cache(desktop)  # the list of applications, too, is read afresh
    for application in desktop:
        if application is not None and application.get_process_id() == pid:
            # Read every property afresh: nothing here runs the event loop that keeps a cache true.
            Atspi.Accessible.set_cache_mask(application, Atspi.Cache.NONE)
            return application
    return None


def press(control):
    action = control.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    check("Press" in names, f"'{control.name}' can be pressed")
    action.doAction(names.index("Press"))


def olive_share(png):
    result = subprocess.run(["convert", png, "-fill", "black", "+opaque", OLIVE, "-fill", "white", "-opaque",
                             OLIVE, "-format", "%[fx:mean]", "info:"], capture_output=True, text=True, check=True)
    return float(result.stdout)


def save_screenshot(target):
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run(["weston-screenshooter"], cwd=folder, check=True, timeout=10)
        shots = os.listdir(folder)
        check(len(shots) == 1, "the compositor saved a screenshot")
        shutil.move(os.path.join(folder, shots[0]), target)
    share = olive_share(target)
    # The design's client area is 821 x 493 logical pixels: most of a 1024 x 640 screen.
    check(share > 0.3, f"the window is on the screen ({share:.0%} of it olive), saved as {target}")


def egl_vendor_libraries():
    """The libraries that glvnd's vendor files name, as file names."""
    libraries = set()
    for folder in EGL_VENDOR_FOLDERS:
        for vendor in glob.glob(os.path.join(folder, "*.json")):
            with open(vendor) as description:
                libraries.add(os.path.basename(json.load(description)["ICD"]["library_path"]))
    return libraries


def graphics_driver_files(pid):
    vendors = egl_vendor_libraries()
    check(vendors, f"glvnd names the graphics drivers ({', '.join(sorted(vendors))})")
    with open(f"/proc/{pid}/maps") as maps:
        files = {line.split()[-1] for line in maps if "/" in line}
    return sorted(file for file in files if any(os.path.basename(file).startswith(vendor) for vendor in vendors))


def sway_window_of(pid):
    tree = json.loads(subprocess.run(["swaymsg", "-r", "-t", "get_tree"], capture_output=True, text=True,
                                     check=True, timeout=10).stdout)
    nodes = [tree]
    while nodes:
        node = nodes.pop()
        if node.get("pid") == pid:
            return node
        nodes += node.get("nodes", []) + node.get("floating_nodes", [])
    return None


def check_frame_drawn_by_sway(program):
    window = wait_for("sway has the window", lambda: sway_window_of(program.pid))
    check(window.get("app_id") == APP_ID, f"its app id is {APP_ID} (it is {window.get('app_id')!r})")
    check(window.get("border") == "normal", f"sway draws its frame, with a title (border {window.get('border')!r})")


def check_no_graphics_driver(program):
    drivers = graphics_driver_files(program.pid)
    check(not drivers, f"the program maps no graphics driver (it maps {', '.join(drivers) or 'none'})")


def drive(program, listener, screenshot, compositor_draws_frames, maps_no_graphics_driver):
    application = wait_for("the program is on the accessibility bus", lambda: application_of(program.pid))
    frames = [child for child in application if child.getRole() == pyatspi.ROLE_FRAME]
    check(len(frames) == 1, "the program shows one frame")
    frame = frames[0]
    check(frame.name == "Taborvane", f"the frame is named 'Taborvane' (it is '{frame.name}')")
    states = frame.getState()
    check(states.contains(pyatspi.STATE_SHOWING) and states.contains(pyatspi.STATE_VISIBLE), "the frame is showing")

    controls = {(int(child.getRole()), child.name): child for child in frame}
    for role, name, description in EXPECTED_CONTROLS:
        control = controls.get((int(role), name))
        check(control is not None, f"{role} '{name}' is there")
        if description is not None:
            check(control.description == description, f"'{name}' says '{description}'")

    check_entries_whole(controls)
    display = controls[(pyatspi.ROLE_STATUS_BAR, "777")]
    lamp = controls[(pyatspi.ROLE_FILLER, "Count-up lamp")]
    button = controls[(pyatspi.ROLE_PUSH_BUTTON, "Count Up")]
    entry = {name: controls[(int(pyatspi.ROLE_TEXT), name)] for name in ENTRY_TEXTS}
    listener.wait_for_announcement("the window opens", "777", since=0)
    pass_time(1.2)  # an announcement follows the last by a second at least
    press(button)
    listener.wait_for_announcement("Count Up", "777")
    wait_for("Count Up steps the number and lights its lamp",
             lambda: display.name not in ("777", "") and int(display.name) > 777 and lamp.description == "Lit")
    wait_for("its button tells the lamp is lit", lambda: ("Count Up", "Lamp lit") in listener.descriptions)
    press(controls[(pyatspi.ROLE_PUSH_BUTTON, "Stop")])
    wait_for("Stop: the number it holds announced",
             lambda: listener.texts()[-1] == display.name and display.name != "777")
    set_text(entry["Start value"], "1000")
    listener.wait_for_announcement("an edit of the start value", "1000")
    press(controls[(pyatspi.ROLE_PUSH_BUTTON, "Reset Zero")])
    listener.wait_for_announcement("Reset Zero", "0")
    # A countdown by 1 a millisecond from 3 stops itself when it finds 1, after one more step.
    set_text(entry["Countdown step"], "1")
    set_text(entry["Countdown pace in milliseconds"], "1")
    set_text(entry["Start value"], "3")
    listener.wait_for_announcement("the start value", "3")
    press(controls[(pyatspi.ROLE_PUSH_BUTTON, "Start Countdown")])
    listener.wait_for_announcement("a countdown that stops itself", "0")

    # Four modes at 1 ms: thousands of ticks, and no announcement of their own.
    # The amounts keep the value changing at every tick, away from every stop value.
    for name, text in (("Countdown pace in milliseconds", "1"), ("Count-up pace in milliseconds", "1"),
                       ("Divide pace in milliseconds", "1"), ("Multiply pace in milliseconds", "1"),
                       ("Countdown step", "2"), ("Count-up step", "4"), ("Divisor", "-1"), ("Multiplier", "-1"),
                       ("Start value", "1000")):
        set_text(entry[name], text)
    pass_time(1.5)
    for name in ("Start Countdown", "Count Up", "Divide", "Multiply"):
        press(controls[(pyatspi.ROLE_PUSH_BUTTON, name)])
    pass_time(1.5)  # the presses' own announcements
    before, changed, seconds = len(listener.announced), set(), 5
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        changed.add(display.name)
        pass_time(0.05)
    told = listener.texts()[before:]
    check(len(changed) > 20 and len(told) <= 1,
          f"four modes at 1 ms for {seconds} s: the number seen {len(changed)} ways, announced {len(told)} times {told}")
    press(controls[(pyatspi.ROLE_PUSH_BUTTON, "Stop")])
    if screenshot:
        save_screenshot(screenshot)
    if compositor_draws_frames:
        check_frame_drawn_by_sway(program)
    if maps_no_graphics_driver:
        check_no_graphics_driver(program)

    press(controls[(pyatspi.ROLE_PUSH_BUTTON, "Exit")])
    try:
        status = program.wait(timeout=10)
    except subprocess.TimeoutExpired:
        raise CheckFailed("Exit did not end the program within 10 s")
    err = program.stderr.read().decode(errors="replace")
    check(status == 0, f"Exit ends the program with status 0 (it was {status}; it printed {err!r})")
    check(messages_not_allowed(err) == "", f"the program printed no warning of its own (it printed {err!r})")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program")
    parser.add_argument("--screenshot")
    parser.add_argument("--compositor-draws-frames", action="store_true")
    parser.add_argument("--maps-no-graphics-driver", action="store_true")
    args = parser.parse_args()
    # The bus and its registry start on demand: have them up before the program looks for them.
    pyatspi.Registry.getDesktop(0).childCount
    environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_MESSAGE_PATTERN=MESSAGE_PATTERN)
    listener = Listener()
    program = subprocess.Popen([args.program], env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    try:
        drive(program, listener, args.screenshot, args.compositor_draws_frames, args.maps_no_graphics_driver)
    except CheckFailed as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        if program.poll() is None:
            program.kill()
        err = program.stderr.read().decode(errors="replace")
        if err:
            print(f"the program printed: {err}", file=sys.stderr)
        return 1
    finally:
        if program.poll() is None:
            program.kill()
            program.wait()
    return 0


if __name__ == "__main__":
    sys.exit(main())
