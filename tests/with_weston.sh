#!/bin/sh
# Runs a command as a native Wayland client of a private, headless weston:
# its own runtime folder and socket, gone when the command ends.
# Usage: with_weston.sh [--scale N] COMMAND [ARGS...]
set -u
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }
scale=1
if [ "${1:-}" = --scale ]; then
    scale=$2
    shift 2
fi
command -v weston >/dev/null 2>&1 || skip "weston is not installed (make test installs it)"

work=$(mktemp -d)
cleanup() {
    [ -n "${weston_pid:-}" ] && kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
socket=springlattice-test
weston --backend=headless-backend.so --socket="$socket" --scale="$scale" --idle-time=0 \
    --no-config >"$work/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
    [ -S "$XDG_RUNTIME_DIR/$socket" ] && break
    kill -0 "$weston_pid" 2>/dev/null || break
    sleep 0.1
done
[ -S "$XDG_RUNTIME_DIR/$socket" ] || fail "weston did not start: $(cat "$work/weston.log")"

WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland "$@"
