#!/usr/bin/env bash
# With the alarm on, a task due in the next minute is alerted while the program is
# hidden in the tray: the "Nudgery" box comes up on its own, above other windows,
# without bringing the main window back. Before that, the start-up agenda lists
# today's open task. The clock is faked to a little before the task's minute.
# Runs under scripts/with-desktop.sh; $1 is the nudgery binary.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BIN=$(readlink -f "$1")

fresh_program_home alert

# An open task and a done one, both due at 10:30 today.
{
  record "" "Call the dentist" "09/12/2026" "10:30" "" "0" "2026-12-09 10:30" "" "18" ""
  record $'\xd7' "Already done" "09/12/2026" "10:30" "" "0" "2026-12-09 10:30" "" "18" ""
} >"$home/Tasklyn.DAT"
: >"$home/Tasklyn.ARK"
printf '[Preferences]\r\nAlert=1\r\nMyDateFormat=dd/MM/yyyy\r\n' >"$home/Tasklyn.INI"
# The program's timers run on the monotonic clock; only the calendar is faked.
export FAKETIME_DONT_FAKE_MONOTONIC=1

faketime '2026-12-09 10:29:10' "$BIN" &
wrapper=$!
pid=$(program_of "$wrapper")
[ -n "$pid" ] || fail "the program did not start"

# --- the agenda, before the main window ------------------------------------------------
agenda=$(window_of "$pid" '^ Nudgery$' 30)
[ -n "$agenda" ] || fail "no start-up agenda"
artefact alert_agenda
xdotool windowactivate --sync "$agenda" 2>/dev/null || true
xdotool key --clearmodifiers Return

main=$(window_of "$pid" '^Nudgery   \[ tasks: 2 \]$' 20)
[ -n "$main" ] || fail "no main window"

# --- hidden in the tray -----------------------------------------------------------------
minimise_away "$pid" "$main" '^Nudgery   '
if xdotool search --all --onlyvisible --pid "$pid" --name '^Nudgery$' >/dev/null 2>&1; then
  fail "an alert came before the task's minute"
fi

# --- the alert, in the task's minute ------------------------------------------------------
alert=$(window_of "$pid" '^Nudgery$' 100)
[ -n "$alert" ] || fail "no alert within the task's minute"
artefact alert_shown
xwininfo -id "$alert" | grep -q 'Map State: IsViewable' || fail "the alert is not viewable"
xprop -id "$alert" _NET_WM_STATE | grep -q '_NET_WM_STATE_ABOVE' || fail "the alert is not kept above other windows"
if xdotool search --all --onlyvisible --pid "$pid" --name '^Nudgery   ' >/dev/null 2>&1; then
  fail "the alert brought the main window back"
fi

# OK closes it; the program keeps running in the tray.
xdotool windowactivate --sync "$alert" 2>/dev/null || true
xdotool key --clearmodifiers Return
for _ in $(seq 50); do
  xdotool search --all --onlyvisible --pid "$pid" --name '^Nudgery$' >/dev/null 2>&1 || break
  sleep 0.1
done
if xdotool search --all --onlyvisible --pid "$pid" --name '^Nudgery$' >/dev/null 2>&1; then
  fail "OK did not close the alert"
fi
alive "$pid" || fail "the program ended with the alert"

kill -TERM "$pid" 2>/dev/null || true
wait_exit "$wrapper" 10 || true
pid=""
wrapper=""
echo PASS
