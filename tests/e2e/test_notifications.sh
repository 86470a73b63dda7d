#!/usr/bin/env bash
# Reminders reach the desktop's notification list. With a private session bus and
# a real notification daemon (dunst), the start-up agenda and an alert each send a
# notification whose summary and body the daemon's history gives back; the calls on
# the bus name the program's desktop entry and label the action that shows it. The alert
# comes from the clock moving forward over two due minutes while the program runs,
# as after a suspend; picking its notification brings the hidden window back.
# Runs under scripts/with-desktop.sh; $1 is the nudgery binary.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BIN=$(readlink -f "$1")

fresh_program_home notifications
clock=$(mktemp /tmp/nudgery-clock.XXXXXX)
scratch+=("$clock" "$home.calls")

# --- a private session bus with a notification daemon ----------------------------------
started=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || fail "no session bus"
export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$started")
pids+=("$(sed -n 2p <<<"$started")")
dunst >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do dunstctl is-paused >/dev/null 2>&1 && break; sleep 0.1; done
dunstctl is-paused >/dev/null 2>&1 || fail "dunst did not start"
calls="$home.calls"
dbus-monitor --session "type='method_call',interface='org.freedesktop.Notifications',member='Notify'" \
  >"$calls" 2>/dev/null &
pids+=($!)

# Waits until the daemon shows a notification.
wait_displayed() {
  local i
  for ((i = 0; i < 100; i++)); do
    [ "$(dunstctl count displayed 2>/dev/null || echo 0)" -ge 1 ] && return 0
    sleep 0.1
  done
  fail "no notification came for $1"
}
# The newest notification in the daemon's history: application, summary, body.
newest_notification() {
  dunstctl history | python3 -c '
import json, sys
n = max(json.load(sys.stdin)["data"][0], key=lambda n: n["id"]["data"])
print(n["appname"]["data"]); print(n["summary"]["data"]); print(n["body"]["data"])'
}

# --- tasks: two due this morning, one done, one tomorrow --------------------------------
# Fields: done, task, date, hour; no priority, order 0, no sort key or category.
task() { record "$1" "$2" "$3" "$4" "" "0" "" "" "18" ""; }
{
  task "" "Call the dentist" "09/12/2026" "10:30"
  task "" "Water the plants" "09/12/2026" "10:45"
  task $'\xd7' "Done already" "09/12/2026" "10:30"
  task "" "Tomorrow thing" "10/12/2026" "10:30"
} >"$home/Tasklyn.DAT"
: >"$home/Tasklyn.ARK"
printf '[Preferences]\r\nAlert=1\r\nMyDateFormat=dd/MM/yyyy\r\nSorted=Task\r\nSortedOrdr=0\r\n' >"$home/Tasklyn.INI"

# The clock reads a file the test rewrites to move it while the program runs. The
# faketime wrapper would override that file, so the library is preloaded directly.
# The program's timers run on the monotonic clock; only the calendar is faked.
echo "@2026-12-09 10:29:10" >"$clock"
lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 | head -n1)
LD_PRELOAD="$lib" FAKETIME_TIMESTAMP_FILE="$clock" FAKETIME_CACHE_DURATION=1 \
  FAKETIME_DONT_FAKE_MONOTONIC=1 "$BIN" &
pid=$!

# --- the agenda: a box and a notification ---------------------------------------------
agenda=$(window_of "$pid" '^ Nudgery$' 30)
[ -n "$agenda" ] || fail "no start-up agenda"
# The alarm runs from before the agenda is shown (a slow start, as under the
# sanitizers, must not count).
agenda_at=$(date +%s)
wait_displayed "the agenda"
artefact notifications_agenda
dunstctl close-all
expected=$'Nudgery\nToday\'s tasks\n1 - Call the dentist\n4 - Water the plants'
got=$(newest_notification || true)
[ "$got" = "$expected" ] || fail "the agenda's notification reads '$got'"
keys_to "$agenda" Return

main=$(window_of "$pid" '^Nudgery   \[ tasks: 4 \]$' 20)
[ -n "$main" ] || fail "no main window"
minimise_away "$pid" "$main" '^Nudgery   '

# --- half an hour passes in a moment: one alert for both skipped minutes ---------------
# The alarm checks every 5 seconds from the start; a check must have seen 10:29 for
# the minutes after it to count as skipped rather than as before the program ran.
while [ $(($(date +%s) - agenda_at)) -lt 8 ]; do sleep 0.5; done
echo "@2026-12-09 11:00:00" >"$clock"
alert=$(window_of "$pid" '^Nudgery$' 30)
[ -n "$alert" ] || fail "no alert after the clock moved past the tasks' minutes"
text=$(box_text "$alert") || fail "cannot read the alert"
grep -qF $'Alert :\n\n1 - Call the dentist\n4 - Water the plants' <<<"$text" ||
  fail "the alert says '$text'"
wait_displayed "the alert"
artefact notifications_alert

# Picking the notification brings the main window back and files it in the history.
dunstctl action 0
back=$(window_of "$pid" '^Nudgery   \[ tasks: 4 \]$' 15)
[ -n "$back" ] || fail "picking the notification did not bring the main window back"
for _ in $(seq 50); do
  [ "$(dunstctl count displayed)" -eq 0 ] && break
  sleep 0.1
done
dunstctl close-all
got=$(newest_notification || true)
expected=$'Nudgery\nAlert\n1 - Call the dentist\n4 - Water the plants'
[ "$got" = "$expected" ] || fail "the alert's notification reads '$got'"
# Both calls carry the desktop entry's name as the hint and the action's label.
[ "$(grep -c 'string "desktop-entry"' "$calls")" -eq 2 ] || fail "no desktop-entry hint: $(cat "$calls")"
[ "$(grep -A1 'string "desktop-entry"' "$calls" | grep -c 'string "example.nudgery.Nudgery"')" -eq 2 ] ||
  fail "the desktop-entry hint is not the desktop file's name"
[ "$(grep -c 'string "Show Nudgery"' "$calls")" -eq 2 ] || fail "the action's label is missing"
[ "$(dunstctl count history)" -eq 2 ] || fail "$(dunstctl count history) notifications, not 2"

dismiss_box "$alert" || fail "the alert did not close"
alive "$pid" || fail "the program ended with the alert"
kill -TERM "$pid" 2>/dev/null || true
wait_exit "$pid" 10 || true
pid=""
echo PASS
