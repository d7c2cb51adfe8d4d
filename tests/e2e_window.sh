#!/bin/sh
# End to end: the real executable in a virtual X display, driven as a user
# would drive it. Usage: e2e_window.sh PATH/TO/springlattice [SCREENSHOT]
set -u
app=$1
shot=${2:-}
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }
for tool in Xvfb xdotool xwininfo import convert; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (make test installs it)"
done

work=$(mktemp -d)
cleanup() {
    [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# A display of our own, whatever number is free.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb

caption="Tovek Marlund - Quellith - Click on the structure"
# Starts the program with the given arguments and waits for its window.
start() {
    "$app" "$@" >"$work/app.log" 2>&1 &
    app_pid=$!
    window=$(timeout 20 xdotool search --sync --name "^$caption\$" | head -n 1)
    [ -n "$window" ] || fail "no window with the caption appeared: $(cat "$work/app.log")"
}

# Pixels that are not the white background in a band of the picture.
drawn() { # y top, height
    convert "$work/shot.png" -crop "681x$2+0+$1" +repage -fill black +opaque white -fill white -opaque white \
        -negate -format '%[fx:round(mean*w*h)]' info:
}
shoot() { import -window "$window" "$work/shot.png" || fail "no screenshot $1"; }
# Screenshots until the condition holds of what one shows, for 20 s at most.
shoot_until() { # what, condition
    for _ in $(seq 100); do
        shoot "$1"
        eval "$2" && return 0
        sleep 0.2
    done
    fail "$1: not seen within 20 s"
}

# Drags with the left button through the second row of cells: the top two
# rows come loose and fall.
cut_second_row() {
    xdotool mousemove --window "$window" 40 190 mousedown 1
    for x in $(seq 40 20 540); do
        xdotool mousemove --window "$window" "$x" 190
        sleep 0.02
    done
    xdotool mouseup 1
}

# "Exit" ends the program with status 0.
exit_by_button() {
    xdotool mousemove --window "$window" 636 532 click 1
    for _ in $(seq 200); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$app_pid" 2>/dev/null && fail "Exit did not end the program"
    wait "$app_pid"
    status=$?
    app_pid=
    [ "$status" -eq 0 ] || fail "exit status $status: $(cat "$work/app.log")"
    echo "Exit ended the program with status 0"
}

start
geometry=$(xwininfo -id "$window")
width=$(echo "$geometry" | sed -n 's/^ *Width: //p')
height=$(echo "$geometry" | sed -n 's/^ *Height: //p')
[ "$width" = 682 ] && [ "$height" = 559 ] || fail "window is ${width}x${height}, not 682x559"
echo "window $window: '$caption', ${width}x${height}"

shoot_until "the springs drawn" '[ "$(drawn 0 505)" -gt 3000 ]'
[ -n "$shot" ] && cp "$work/shot.png" "$shot"
top_before=$(drawn 60 110)
echo "drawn pixels: $(drawn 0 505) in the picture, $top_before in its top rows"

# Without a pace the cut rows fall out of the picture at once.
cut_second_row
shoot_until "the cut rows fallen" '[ "$(drawn 60 110)" -lt $((top_before / 10)) ]'
echo "after the cut: $(drawn 60 110) drawn pixels in the top rows"
exit_by_button

# In slow motion, at 4 frames a second, the same cut is made while the loop
# waits between frames: the springs below the third row of masses, which its
# masses own, are gone by the next frame, and the rows above have hardly moved.
start --steps-per-second=4
shoot_until "the springs drawn in slow motion" '[ "$(drawn 0 505)" -gt 3000 ]'
slow_before=$(drawn 60 110)
owned_before=$(drawn 192 44)
cut_second_row
shoot_until "the springs below the third row gone in slow motion" '[ "$(drawn 192 44)" -lt $((owned_before / 4)) ]'
slow_after=$(drawn 60 110)
owned_after=$(drawn 192 44)
echo "in slow motion: $slow_before drawn pixels in the top rows, $slow_after once the cut shows;" \
    "$owned_before below the third row, $owned_after after it"
[ "$slow_after" -gt $((slow_before * 9 / 10)) ] || fail "the cut rows fell as fast as without a pace"
exit_by_button
