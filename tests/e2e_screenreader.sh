#!/bin/sh
# End to end, as a screen reader reads it: the real executable in a virtual X
# display with a D-Bus session and an accessibility bus of its own, read over
# AT-SPI by e2e_screenreader.py. Usage: e2e_screenreader.sh PATH/TO/springlattice
set -u
skip() { echo "SKIPPED: $*"; exit 77; }
for tool in Xvfb xdotool dbus-run-session; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (make test installs it)"
done
# The session bus starts at-spi2-core's bus launcher when it is first asked
# for the accessibility bus. pyatspi is Debian's, for Debian's python3.
[ -x /usr/libexec/at-spi-bus-launcher ] || skip "at-spi-bus-launcher is not installed (make test installs it)"
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is not installed (make test installs it)"

work=$(mktemp -d)
cleanup() {
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "FAILED: Xvfb did not start: $(cat "$work/xvfb.log")"; exit 1; }
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset AT_SPI_BUS_ADDRESS
dbus-run-session -- /usr/bin/python3 "$(dirname "$0")/e2e_screenreader.py" "$1" 2>"$work/dbus.log"
status=$?
[ "$status" -eq 0 ] || cat "$work/dbus.log"
exit "$status"
