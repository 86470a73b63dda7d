#!/usr/bin/env bash
# Started at log-on ("/ar", any case) on a Saturday with [Preferences]
# WeekendStop=1, the program shows the weekend box, which closes by itself or
# with OK, and ends without loading or creating any task file. On a weekday the
# same start opens the main window.
# Runs under scripts/with-desktop.sh; $1 is the nudgery binary.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BIN=$(readlink -f "$1")

fresh_program_home weekend_stop

# The program's timers run on the monotonic clock; only the calendar is faked.
export FAKETIME_DONT_FAKE_MONOTONIC=1
printf '[Preferences]\r\nWeekendStop=1\r\n' >"$home/Tasklyn.INI"
ini_before=$(sha256sum <"$home/Tasklyn.INI")
BOX='^Nudgery  \[ dialog closes in 5 sec \]$'

check_nothing_written() {
  [ ! -e "$home/Tasklyn.DAT" ] || fail "$1: the task data file was created"
  [ ! -e "$home/Tasklyn.ARK" ] || fail "$1: the archive file was created"
  [ "$(sha256sum <"$home/Tasklyn.INI")" = "$ini_before" ] || fail "$1: the settings file changed"
  # Only the single-instance lock, taken before anything else, empty.
  [ "$(ls -A "$home" | grep -vx Tasklyn.lock)" = "Tasklyn.INI" ] ||
    fail "$1: files left: $(ls -A "$home" | tr '\n' ' ')"
  [ ! -s "$home/Tasklyn.lock" ] || fail "$1: something was written in the lock file"
}

# --- Saturday, "/AR", nobody answers: the box closes itself ------------------------
faketime '2026-12-12 10:00:00' "$BIN" /AR &
p=$!
pids+=("$p")
box=$(window_of "$(program_of "$p")" "$BOX" 20)
[ -n "$box" ] || fail "Saturday: no weekend box"
SECONDS=0
wait_exit "$p" 12 || fail "Saturday: the program did not end by itself"
[ "$EXIT_RC" = 0 ] || fail "Saturday: ended with status $EXIT_RC"
[ "$SECONDS" -ge 3 ] || fail "Saturday: the box closed after only ${SECONDS}s"
check_nothing_written "Saturday"

# --- Sunday, "/ar", the user presses OK ------------------------------------------------
faketime '2026-12-13 18:30:00' "$BIN" /ar &
p=$!
pids+=("$p")
box=$(window_of "$(program_of "$p")" "$BOX" 20)
[ -n "$box" ] || fail "Sunday: no weekend box"
xdotool windowactivate --sync "$box" 2>/dev/null || true
xdotool key --clearmodifiers Return
wait_exit "$p" 4 || fail "Sunday: the program did not end after OK"
[ "$EXIT_RC" = 0 ] || fail "Sunday: ended with status $EXIT_RC"
check_nothing_written "Sunday"

# --- Wednesday, "/ar": a normal start -------------------------------------------------------
faketime '2026-12-09 10:00:00' "$BIN" /ar &
p=$!
pids+=("$p")
app=$(program_of "$p")
main=$(window_of "$app" '^Nudgery' 30)
[ -n "$main" ] || fail "Wednesday: no main window"
name=$(xdotool getwindowname "$main")
[[ "$name" != *"dialog closes"* ]] || fail "Wednesday: the weekend box was shown"
# A normal start loads (and so creates) the task data file.
for _ in $(seq 50); do [ -e "$home/Tasklyn.DAT" ] && break; sleep 0.1; done
[ -e "$home/Tasklyn.DAT" ] || fail "Wednesday: no task data file after a normal start"
kill -TERM "$app" 2>/dev/null || true
wait_exit "$p" 5 || kill -9 "$app" "$p" 2>/dev/null || true
echo "PASS"
