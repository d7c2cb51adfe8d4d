"""The real program as a screen reader reads it over AT-SPI: the picture's and
the window's descriptions, and the events that tell their changes, as the
lattice settles, after a cut, after New Simulation and with the mass bar at 80.
Run by e2e_screenreader.sh, in its display and D-Bus session."""
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

CAPTION = "Tovek Marlund - Quellith - Click on the structure"
USAGE = ("The lattice of masses and springs. Dragging over it with the left button cuts the springs of every mass"
         " within the cutting radius of the pointer.")
FRESH = USAGE + " All 117 springs hold, and all 48 masses are in the picture. "
CUT = re.compile(r"^\d+ springs cut .*\. \d+ of 117 springs hold\.$")
HEAVY = ("The top-left mass weighs 80: 3 springs broke at the top-left corner; 1 mass fell out of the picture."
         " 114 of 117 springs hold.")


def fail(message):
    print("FAILED: " + message, flush=True)
    sys.exit(1)


# Whose description each description-change event told of. Qt's events carry
# the object, not its new description, which is read as it is now.
told = []
pyatspi.Registry.registerEventListener(lambda event: told.append(event.source),
                                       "object:property-change:accessible-description")


def pump(seconds):
    """Delivers the events that come, for as long as asked."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if not GLib.MainContext.default().iteration(False):
            time.sleep(0.01)


def wait_for(what, condition, seen=lambda: ""):
    """What condition returns once it is true, within 20 s."""
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        pump(0.05)
        if result := condition():
            return result
    fail(f"{what}: not within 20 s{seen()}")


def wait_told(accessible, since, what, test):
    """Waits for the description to pass test, with an event since the mark."""
    wait_for(what, lambda: accessible in told[since:] and test(accessible.description),
             lambda: f"; {told[since:].count(accessible)} events, and its description is '{accessible.description}'")


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def centre(accessible):
    box = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x + box.width // 2, box.y + box.height // 2


def find_window():
    for app in pyatspi.Registry.getDesktop(0):
        for child in app or []:
            if child is not None and child.name == CAPTION:
                return child
    return None


program = subprocess.Popen([sys.argv[1]])
try:
    window = wait_for("a window with the caption over AT-SPI", find_window)
    picture, bar, new_simulation = (
        wait_for(f"'{name}' in the window", lambda: pyatspi.findDescendant(window, lambda o: o.name == name))
        for name in ("Spring lattice", "Mass of the top-left mass", "New Simulation"))

    settled = wait_for("the picture's description saying that the lattice has settled",
                       lambda: picture.description.endswith(" The lattice has settled.") and picture.description)
    if not settled.startswith(FRESH):
        fail(f"the settled lattice's description is '{settled}', not the usage and '{FRESH[len(USAGE) + 1:]}...'")
    print(f"settled: '{settled}'")

    # The settled lattice is drawn again and again, and tells nothing new.
    mark = len(told)
    pump(1)
    if len(told) - mark >= 3:
        fail(f"{len(told) - mark} description changes in a second of the settled lattice, the first of"
             f" {[source.name for source in told[mark:mark + 3]]}")

    # A drag with the left button along the third row of masses.
    mark = len(told)
    box = picture.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    xdotool("mousemove", box.x + 40, box.y + 190, "mousedown", 1)
    for x in range(40, 541, 20):
        xdotool("mousemove", box.x + x, box.y + 190)
        time.sleep(0.02)
    xdotool("mouseup", 1)
    wait_told(window, mark, "the window telling the springs cut", CUT.match)
    wait_told(picture, mark, "the picture telling the springs that hold", lambda words: "of 117 springs hold" in words)
    print(f"cut: '{window.description}'")

    mark = len(told)
    xdotool("mousemove", *centre(new_simulation), "click", 1)
    wait_told(window, mark, "the window telling New Simulation",
              lambda words: words == "New Simulation: all 117 springs hold.")
    wait_told(picture, mark, "the picture telling the settled lattice of the start", lambda words: words == settled)
    print(f"New Simulation: '{window.description}'")

    # From New Simulation back to the mass bar, and the bar to its end.
    mark = len(told)
    xdotool("key", "shift+Tab", "shift+Tab")
    wait_for("the mass bar focused", lambda: bar.getState().contains(pyatspi.STATE_FOCUSED))
    xdotool("key", "End")
    wait_told(window, mark, "the window telling the mass at 80", lambda words: words == HEAVY)
    print(f"End: '{window.description}'")
    print(f"{len(told)} description changes told")
finally:
    program.terminate()
    program.wait()
