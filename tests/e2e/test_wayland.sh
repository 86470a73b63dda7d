#!/usr/bin/env bash
# Under Wayland (a headless weston of its own, QT_QPA_PLATFORM=wayland, no X11
# display): the program starts with a stored position and Stay on Top, shows its
# one window (no error box: Wayland lets a program neither place a window nor keep
# it on top, and the program does not complain), and a SIGTERM ends it as Exit
# does: the task file compacted, the close keys stored, the stored position kept.
# Input cannot be driven on a headless weston, so the task file is prepared.
# Runs under scripts/with-desktop.sh; $1 is the nudgery binary.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BIN=$(readlink -f "$1")

command -v weston >/dev/null || fail "weston is not installed (scripts/install-deps.sh)"
work=$(mktemp -d /tmp/nudgery-wayland.XXXXXX)
home="$work/home"
weston_pid=""
pid=""
cleanup() {
  local status=$?
  if [ $status -ne 0 ] && [ -n "$weston_pid" ] && [ -n "${NUDGERY_ARTIFACTS:-}" ]; then
    mkdir -p "$NUDGERY_ARTIFACTS"
    (cd "$NUDGERY_ARTIFACTS" && WAYLAND_DISPLAY=nudgery-test timeout 10 weston-screenshooter) || true
    cp "$work/weston.log" "$NUDGERY_ARTIFACTS/wayland_failure_weston.log" 2>/dev/null || true
  fi
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null || true
  [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null || true
  [ -n "$weston_pid" ] && wait "$weston_pid" 2>/dev/null || true
  rm -rf "$work"
  exit $status
}
trap cleanup EXIT

export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" "$home"
chmod 700 "$XDG_RUNTIME_DIR"
unset DISPLAY

# --debug lets weston-screenshooter take a picture; the protocol log shows what
# the program asked of the compositor.
weston --backend=headless-backend.so --use-pixman --width=1024 --height=768 \
  --socket=nudgery-test --idle-time=0 --debug --logger-scopes=log,proto \
  --log="$work/weston.log" >"$work/weston.out" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
  [ -S "$XDG_RUNTIME_DIR/nudgery-test" ] && break
  sleep 0.1
done
[ -S "$XDG_RUNTIME_DIR/nudgery-test" ] || { cat "$work/weston.out" >&2; fail "weston did not start"; }

python3 - "$home" <<'PY'
import struct, sys
def rec(text):
    b = text.encode('cp1252')
    return struct.pack('<i', len(b)) + b
live = '\xa6'.join(['', 'Water the plants', '01/06/2030', '18:00', '', '0', '2030-06-01 18:00', '', '18', ''])
open(sys.argv[1] + '/Tasklyn.DAT', 'wb').write(rec(' ' * 20) + rec(live))
open(sys.argv[1] + '/Tasklyn.ARK', 'wb').close()
open(sys.argv[1] + '/Tasklyn.INI', 'wb').write(
    b'[Preferences]\r\nWindowPosition=1\r\nWindowPositionLeft=300\r\nWindowPositionTop=200\r\n'
    b'FormStyle=fsStayOnTop\r\nTransparency=1\r\nWindowSize=1\r\nWindowWidth=500\r\nWindowHeight=300\r\n')
PY
expected=$(python3 -c "
import struct
t='\xa6'.join(['', 'Water the plants', '01/06/2030', '18:00', '', '24', '2030-06-01 18:00', '', '18', '']).encode('cp1252')
print((struct.pack('<i', len(t)) + t).hex())")

export FAKETIME_DONT_FAKE_MONOTONIC=1
WAYLAND_DISPLAY=nudgery-test QT_QPA_PLATFORM=wayland NUDGERY_HOME="$home" \
  faketime '2026-12-09 10:00:00' "$BIN" >"$work/program.out" 2>&1 &
wrapper=$!
pid=$(program_of "$wrapper")
[ -n "$pid" ] || fail "the program did not start"

# Shown: a top-level surface with the main window's title and the desktop entry's
# application id, which the compositor configured and the program drew into.
toplevel=""
for _ in $(seq 300); do
  toplevel=$(grep -o 'xdg_toplevel@[0-9]*\.set_title("Nudgery   \[ tasks: 1 \]")' "$work/weston.log" |
    head -n1 | sed 's/\..*//' || true)
  [ -n "$toplevel" ] && grep -q "$toplevel\.configure" "$work/weston.log" && break
  sleep 0.1
done
[ -n "$toplevel" ] || fail "no main window with one task"
grep -q "$toplevel\.set_app_id(\"example.nudgery.Nudgery\")" "$work/weston.log" ||
  fail "the window's application id is not the desktop entry's name"
for _ in $(seq 100); do
  grep -q 'wl_surface@[0-9]*\.attach(wl_buffer@' "$work/weston.log" && break
  sleep 0.1
done
grep -q 'wl_surface@[0-9]*\.attach(wl_buffer@' "$work/weston.log" || fail "the window was never drawn"
sleep 1 # anything the start-up would still show (an error box) comes within this
alive "$pid" || fail "the program ended by itself: $(cat "$work/program.out")"
if [ -n "${NUDGERY_ARTIFACTS:-}" ]; then
  mkdir -p "$NUDGERY_ARTIFACTS"
  (cd "$work" && WAYLAND_DISPLAY=nudgery-test timeout 10 weston-screenshooter >/dev/null 2>&1) || true
  shot=$(ls "$work"/wayland-screenshot-*.png 2>/dev/null | head -n1 || true)
  [ -n "$shot" ] && mv "$shot" "$NUDGERY_ARTIFACTS/wayland_main_window.png"
fi
toplevels=$(grep -c 'get_toplevel(' "$work/weston.log" || true)
[ "$toplevels" = 1 ] || fail "$toplevels top-level windows: $(grep -o 'set_title([^)]*)' "$work/weston.log" | sort -u | tr '\n' ' ')"

kill -TERM "$pid"
wait_exit "$wrapper" 15 || fail "SIGTERM did not end the program"
pid=""
[ "$EXIT_RC" = 0 ] || fail "the program ended with status $EXIT_RC: $(cat "$work/program.out")"
actual=$(python3 -c "import sys; print(open(sys.argv[1], 'rb').read().hex())" "$home/Tasklyn.DAT")
[ "$actual" = "$expected" ] || fail "Tasklyn.DAT is not the compacted file"
ini=$(tr -d '\r' <"$home/Tasklyn.INI")
for key in WindowHeight WindowWidth NotePane ColumnWidths SelectedRow; do
  grep -q "^$key=" <<<"$ini" || fail "$key missing from Tasklyn.INI"
done
# Wayland reports no position: the stored one stays for the next X11 session.
grep -qx 'WindowPositionLeft=300' <<<"$ini" || fail "the stored left position was overwritten"
grep -qx 'WindowPositionTop=200' <<<"$ini" || fail "the stored top position was overwritten"
grep -qx 'FormStyle=fsStayOnTop' <<<"$ini" || fail "Stay on Top was lost"
echo PASS
