#!/usr/bin/env bash
# With a notification area (openbox + trayer): minimising hides the window
# completely, the tray menu's "&Show" brings it back, and "E&xit" from the tray
# ends the program with the task file compacted.
# Runs under scripts/with-desktop.sh; $1 is the nudgery binary.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BIN=$(readlink -f "$1")

fresh_program_home tray

# Two tasks, the first one's record blanked: exit must leave only the live one.
{
  blank_record 20
  record "" "Water the plants" "09/12/2026" "18:00" "" "0" "2026-12-09 18:00" "" "18" ""
} >"$home/Tasklyn.DAT"
: >"$home/Tasklyn.ARK"

# A fixed clock a week before the task: no start-up agenda or alert box in the way.
export FAKETIME_DONT_FAKE_MONOTONIC=1
faketime '2026-12-02 10:00:00' "$BIN" &
wrapper=$!
pid=$(program_of "$wrapper")
[ -n "$pid" ] || fail "the program did not start"
main=$(window_of "$pid" '^Nudgery   \[ tasks: 1 \]$' 30)
[ -n "$main" ] || fail "no main window with one task"

tray=$(xdotool search --all --onlyvisible --class '^trayer$' 2>/dev/null | head -n1)
[ -n "$tray" ] || fail "no tray host"

# Minimise from the title bar's command: nothing but the tray icon is left.
minimise_away "$pid" "$main" '^Nudgery'
artefact tray_hidden

# The icon is the tray host's only client: a press on it opens the tray menu.
# Waits for the menu's window (a busy machine may take a while), pressing again
# if none came.
open_tray_menu() {
  local before tries i
  before=$(xdotool search --all --onlyvisible --pid "$pid" '' 2>/dev/null | sort | tr '\n' ' ')
  eval "$(xdotool getwindowgeometry --shell "$tray")"
  for tries in 1 2 3; do
    xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
    for ((i = 0; i < 30; i++)); do
      sleep 0.1
      [ "$(xdotool search --all --onlyvisible --pid "$pid" '' 2>/dev/null | sort | tr '\n' ' ')" != "$before" ] &&
        { sleep 0.3; return 0; }
    done
  done
  fail "the tray menu did not open"
}
open_tray_menu
xdotool key s   # "&Show"
main=$(window_of "$pid" '^Nudgery   \[ tasks: 1 \]$' 10)
[ -n "$main" ] || fail "'&Show' did not bring the window back"
artefact tray_shown

# Exit from the tray menu while shown.
open_tray_menu
xdotool key x   # "E&xit"
wait_exit "$wrapper" 15 || fail "'E&xit' in the tray menu did not end the program"
pid=""
[ "$EXIT_RC" = 0 ] || fail "the program ended with status $EXIT_RC"

# The task file now holds exactly the live record; the settings file the exit keys.
expected=$(record "" "Water the plants" "09/12/2026" "18:00" "" "24" "2026-12-09 18:00" "" "18" "" | hex_of)
actual=$(hex_of <"$home/Tasklyn.DAT")
[ "$actual" = "$expected" ] || fail "Tasklyn.DAT is not the compacted file"
grep -q '^WindowHeight=240' "$home/Tasklyn.INI" || fail "WindowHeight=240 missing"
grep -q '^NotePane=0' "$home/Tasklyn.INI" || fail "NotePane missing"
echo PASS
