#!/usr/bin/env bash
# With "Stay on Top" on, adding a task lowers the main window for the editor and
# lifts it again afterwards by its window manager state alone: the window is
# never unmapped (no flicker) and keeps its identity.
# Runs under scripts/with-desktop.sh; $1 is the nudgery binary.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BIN=$(readlink -f "$1")

fresh_program_home stay_on_top
printf '[Preferences]\r\nFormStyle=fsStayOnTop\r\n' >"$home/Tasklyn.INI"

"$BIN" &
pid=$!
main=$(window_of "$pid" '^Nudgery   \[ tasks: 0 \]$' 30)
[ -n "$main" ] || fail "no main window"
above() { xprop -id "$main" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
above || fail "the main window is not above others at start"

xev -id "$main" -event structure >"$home/events" 2>&1 &
spy=$!
sleep 0.5
xdotool windowactivate --sync "$main"
xdotool key --clearmodifiers Insert
editor=$(window_of "$pid" '^ Add New Task$' 10)
[ -n "$editor" ] || fail "no editor"
above && fail "the main window stayed above the editor"
xdotool type --delay 20 "Buy milk"
xdotool key --clearmodifiers Return
[ -n "$(window_of "$pid" '^Nudgery   \[ tasks: 1 \]$' 10)" ] || fail "the task was not added"
sleep 0.5
xprop -id "$main" WM_NAME >/dev/null 2>&1 || fail "the main window was re-created"
above || fail "the main window is not above others after the editor closed"
kill "$spy"
spy=""
! grep -q '^UnmapNotify' "$home/events" || fail "the main window was unmapped"
echo PASS
