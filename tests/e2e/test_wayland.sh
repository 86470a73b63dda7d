#!/usr/bin/env bash
# Under Wayland (QT_QPA_PLATFORM=wayland, no X11 display for the program), twice:
# 1. A headless weston of its own. The program starts with a stored position, Stay
#    on Top and Transparency, shows its one window (no error box: Wayland lets a
#    program neither place a window nor keep it on top, and the program does not
#    complain), and a SIGTERM ends it as Exit does: the task file compacted, the
#    close keys stored, the stored position kept. No input reaches a headless
#    weston, so the task file is prepared.
# 2. A weston nested in the test's X display, whose window passes the keyboard on:
#    a task added with Insert, typed and Ok'd is in the file after a SIGTERM;
#    with no notification area, File > Minimize leaves a minimised window.
# Runs under scripts/with-desktop.sh; $1 is the nudgery binary.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BIN=$(readlink -f "$1")

command -v weston >/dev/null || fail "weston is not installed (scripts/install-deps.sh)"
fresh_program_home wayland
work=$home # the compositor's runtime folder, the logs and the two program folders
scratch+=("$work")
weston_pid=""
log=""
on_failure() {
  [ -n "$weston_pid" ] && [ -n "${NUDGERY_ARTIFACTS:-}" ] &&
    cp "$log" "$NUDGERY_ARTIFACTS/wayland_failure_weston.log" 2>/dev/null
}
on_end() { stop_weston; }

# The compositor's own runtime folder, apart from the X display's.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export FAKETIME_DONT_FAKE_MONOTONIC=1

# Starts weston on socket $1 with backend options $2...; its protocol log (what the
# program asked of the compositor) goes to $log. --debug lets weston-screenshooter
# take a picture.
start_weston() {
  local socket=$1
  shift
  log="$work/$socket.log"
  weston "$@" --use-pixman --width=1024 --height=768 --socket="$socket" --idle-time=0 \
    --debug --logger-scopes=log,proto --log="$log" >"$work/$socket.out" 2>&1 &
  weston_pid=$!
  for _ in $(seq 100); do
    [ -S "$XDG_RUNTIME_DIR/$socket" ] && return 0
    sleep 0.1
  done
  cat "$work/$socket.out" >&2
  fail "weston ($*) did not start"
}

stop_weston() {
  [ -n "$weston_pid" ] || return 0
  kill "$weston_pid" 2>/dev/null || true
  wait "$weston_pid" 2>/dev/null || true
  weston_pid=""
}

# A task file of one blank record (a deleted task) and one task, in folder $1.
prepare_tasks() {
  mkdir -p "$1"
  {
    blank_record 20
    record "" "Water the plants" "01/06/2030" "18:00" "" "0" "2030-06-01 18:00" "" "18" ""
  } >"$1/Tasklyn.DAT"
  : >"$1/Tasklyn.ARK"
}

# The task texts of the record file $1, one a line; "(blank)" for a blank record.
task_texts() { record_tasks "$1" --blanks; }

# Starts the program on Wayland socket $1 with program folder $2.
start_program() {
  env -u DISPLAY WAYLAND_DISPLAY="$1" QT_QPA_PLATFORM=wayland NUDGERY_HOME="$2" \
    faketime '2026-12-09 10:00:00' "$BIN" >"$work/program.out" 2>&1 &
  wrapper=$!
  pid=$(program_of "$wrapper")
  [ -n "$pid" ] || fail "the program did not start"
}

# Waits up to 30 s for a top-level window titled $1 (exactly) in the protocol log
# and prints its object name.
toplevel_titled() {
  local t=""
  for _ in $(seq 300); do
    t=$(grep -F ".set_title(\"$1\")" "$log" | tail -n1 | grep -o 'xdg_toplevel@[0-9]*' || true)
    [ -n "$t" ] && { echo "$t"; return 0; }
    alive "$pid" || fail "the program ended: $(cat "$work/program.out")"
    sleep 0.1
  done
  fail "no window titled '$1'"
}

# Waits (up to 10 s) until the keyboard is on the window of toplevel $1, so that
# keys sent next reach it.
keyboard_on() {
  local xdg surface
  xdg=$(grep -o "xdg_surface@[0-9]*\.get_toplevel(new id $1)" "$log" | sed 's/\..*//')
  surface=$(grep -o "get_xdg_surface(new id $xdg, wl_surface@[0-9]*)" "$log" | grep -o 'wl_surface@[0-9]*')
  [ -n "$surface" ] || fail "the window's surface is not in the protocol log"
  for _ in $(seq 100); do
    grep -o 'wl_keyboard@[0-9]*\.\(enter([0-9]*, wl_surface@[0-9]*\|leave\)' "$log" | tail -n1 |
      grep -q "enter([0-9]*, $surface\$" && return 0
    sleep 0.1
  done
}

# SIGTERM, then the program must have ended with status 0.
terminate() {
  kill -TERM "$pid"
  wait_exit "$wrapper" 15 || fail "SIGTERM did not end the program"
  pid=""
  [ "$EXIT_RC" = 0 ] || fail "the program ended with status $EXIT_RC: $(cat "$work/program.out")"
}

# --- 1. headless: shown, nothing refused with a box, closed by SIGTERM ---------
home="$work/headless"
prepare_tasks "$home"
printf '%s\r\n' '[Preferences]' WindowPosition=1 WindowPositionLeft=300 WindowPositionTop=200 \
  FormStyle=fsStayOnTop Transparency=1 WindowSize=1 WindowWidth=500 WindowHeight=300 \
  >"$home/Tasklyn.INI"
start_weston nudgery-headless --backend=headless-backend.so
start_program nudgery-headless "$home"

# Shown: the main window's title and the desktop entry's application id on a
# top-level surface the program drew into.
main=$(toplevel_titled 'Nudgery   [ tasks: 1 ]')
grep -q "$main\.set_app_id(\"example.nudgery.Nudgery\")" "$log" ||
  fail "the window's application id is not the desktop entry's name"
for _ in $(seq 100); do
  grep -q 'wl_surface@[0-9]*\.attach(wl_buffer@' "$log" && break
  sleep 0.1
done
grep -q 'wl_surface@[0-9]*\.attach(wl_buffer@' "$log" || fail "the window was never drawn"
sleep 1 # anything the start-up would still show (an error box) comes within this
if [ -n "${NUDGERY_ARTIFACTS:-}" ]; then
  mkdir -p "$NUDGERY_ARTIFACTS"
  (cd "$work" && WAYLAND_DISPLAY=nudgery-headless timeout 10 weston-screenshooter >/dev/null 2>&1) || true
  shot=$(ls "$work"/wayland-screenshot-*.png 2>/dev/null | head -n1 || true)
  [ -n "$shot" ] && mv "$shot" "$NUDGERY_ARTIFACTS/wayland_main_window.png"
fi
toplevels=$(grep -c 'get_toplevel(' "$log" || true)
[ "$toplevels" = 1 ] ||
  fail "$toplevels top-level windows: $(grep -o 'set_title([^)]*)' "$log" | sort -u | tr '\n' ' ')"

terminate
[ "$(task_texts "$home/Tasklyn.DAT")" = "Water the plants" ] ||
  fail "Tasklyn.DAT is not the compacted file: $(task_texts "$home/Tasklyn.DAT" | tr '\n' ' ')"
ini=$(tr -d '\r' <"$home/Tasklyn.INI")
for key in WindowHeight WindowWidth NotePane ColumnWidths SelectedRow; do
  grep -q "^$key=" <<<"$ini" || fail "$key missing from Tasklyn.INI"
done
# Wayland reports no position: the stored one stays for the next X11 session.
grep -qx 'WindowPositionLeft=300' <<<"$ini" || fail "the stored left position was overwritten"
grep -qx 'WindowPositionTop=200' <<<"$ini" || fail "the stored top position was overwritten"
grep -qx 'FormStyle=fsStayOnTop' <<<"$ini" || fail "Stay on Top was lost"
stop_weston

# --- 2. nested in the X display: a task added with the keyboard ---------------
home="$work/nested"
prepare_tasks "$home"
start_weston nudgery-nested --backend=x11-backend.so
start_program nudgery-nested "$home"
first=$(toplevel_titled 'Nudgery   [ tasks: 1 ]')
compositor=$(xdotool search --class weston | head -n1)
[ -n "$compositor" ] || fail "no window of the nested weston"
xdotool windowactivate --sync "$compositor" 2>/dev/null || true
# A key sent before the window has the keyboard is lost (a slow start, under load).
keyboard_on "$first"
xdotool key --clearmodifiers Insert
toplevel_titled ' Add New Task' >/dev/null
xdotool type --clearmodifiers --delay 20 -- "Feed the cat"
xdotool key --clearmodifiers Return
main=$(toplevel_titled 'Nudgery   [ tasks: 2 ]')
# No notification area here: File > Minimize leaves a minimised window, which
# the compositor can bring back, rather than hiding it. The keyboard first comes
# back to the main window from the closed editor.
keyboard_on "$main"
popups=$(grep -c 'get_popup(' "$log" || true)
xdotool key --clearmodifiers alt+f
for _ in $(seq 100); do
  # A new menu, and the program has acknowledged its placement since.
  [ "$(grep -c 'get_popup(' "$log" || true)" -gt "$popups" ] &&
    awk '/get_popup\(/ { acked = 0 } /\.ack_configure\(/ { acked = 1 } END { exit !acked }' "$log" &&
    break
  sleep 0.1
done
sleep 0.3 # the menu's first frame
xdotool key --clearmodifiers n
for _ in $(seq 100); do
  grep -q "$main\.set_minimized" "$log" && break
  sleep 0.1
done
grep -q "$main\.set_minimized" "$log" || fail "File > Minimize did not minimise the window"
sleep 0.5
! grep -q "$main\.destroy" "$log" || fail "File > Minimize took the window away without a tray"
terminate
[ "$(task_texts "$home/Tasklyn.DAT" | tr '\n' '/')" = "Water the plants/Feed the cat/" ] ||
  fail "Tasklyn.DAT holds: $(task_texts "$home/Tasklyn.DAT" | tr '\n' '/')"
echo PASS
