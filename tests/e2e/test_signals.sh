#!/usr/bin/env bash
# SIGTERM, SIGINT and SIGHUP end the program the way Exit does: the task file is
# compacted (a blank record dropped) and the window's layout keys are stored.
# A second signal while the close runs changes nothing. A signal while a start-up
# box is up (a damaged task file's notice) closes the box and ends the program the
# same way; one while "already running" is up ends that copy alone.
# Runs under scripts/with-desktop.sh; $1 is the nudgery binary.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BIN=$(readlink -f "$1")

fresh_program_home signals

write_files() {
  {
    blank_record 20
    record "" "Water the plants" "01/06/2030" "18:00" "" "0" "2030-06-01 18:00" "" "18" ""
  } >"$home/Tasklyn.DAT"
  : >"$home/Tasklyn.ARK"
  rm -f "$home/Tasklyn.INI"
}

expected=$(record "" "Water the plants" "01/06/2030" "18:00" "" "24" "2030-06-01 18:00" "" "18" "" | hex_of)

# Process $pid ended by a signal ($1 names the case) as Exit ends it: status 0,
# the task file compacted, the window's layout keys stored.
expect_closed_as_exit() {
  wait_exit "$pid" 15 || fail "$1: the program did not end"
  pid=""
  [ "$EXIT_RC" = 0 ] || fail "$1: the program ended with status $EXIT_RC"
  actual=$(hex_of <"$home/Tasklyn.DAT")
  [ "$actual" = "$expected" ] || fail "$1: Tasklyn.DAT is not the compacted file"
  for key in WindowHeight WindowWidth NotePane ColumnWidths; do
    grep -q "^$key=" "$home/Tasklyn.INI" || fail "$1: $key missing from Tasklyn.INI"
  done
}

for sig in TERM INT HUP; do
  write_files
  "$BIN" &
  pid=$!
  main=$(window_of "$pid" '^Nudgery   \[ tasks: 1 \]$' 30)
  [ -n "$main" ] || fail "no main window with one task ($sig)"
  kill -s "$sig" "$pid"
  kill -s "$sig" "$pid" 2>/dev/null || true
  expect_closed_as_exit "SIG$sig"
done

# --- during the start-up: the damaged file's notice is up ----------------------------
write_files
printf '\x30\x00\x00\x00torn' >>"$home/Tasklyn.DAT" # a record cut short after the live one
"$BIN" &
pid=$!
box=""
for _ in $(seq 150); do
  box=$(message_boxes "$pid")
  [ -n "$box" ] && break
  sleep 0.1
done
[ -n "$box" ] || fail "no notice of the damaged task file"
text=$(box_text "$box") || fail "cannot read the start-up notice"
grep -qF "was damaged" <<<"$text" || fail "the start-up box says '$text'"
kill -s TERM "$pid"
expect_closed_as_exit "SIGTERM during the start-up notice"
ls "$home"/Tasklyn.DAT.damaged >/dev/null || fail "the damaged original was not kept"

# --- a second copy's "already running" box -------------------------------------------
write_files
"$BIN" &
pid=$!
main=$(window_of "$pid" '^Nudgery   \[ tasks: 1 \]$' 30)
[ -n "$main" ] || fail "no main window for the running copy"
"$BIN" &
second=$!
box=$(window_of "$second" '^Nudgery freeware$' 20)
[ -n "$box" ] || fail "the second copy showed no box"
kill -s TERM "$second"
wait_exit "$second" 15 || fail "SIGTERM did not end the second copy at its box"
[ "$EXIT_RC" = 0 ] || fail "the second copy ended with status $EXIT_RC"
alive "$pid" || fail "the running copy ended with the second"
close_window "$pid" "$main"
pid=""
echo PASS
