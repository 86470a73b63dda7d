#!/usr/bin/env bash
# SIGTERM, SIGINT and SIGHUP end the program the way Exit does: the task file is
# compacted (a blank record dropped) and the window's layout keys are stored.
# A second signal while the close runs changes nothing.
# Runs under scripts/with-desktop.sh; $1 is the nudgery binary.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BIN=$(readlink -f "$1")

fresh_program_home signals

write_files() {
  python3 - "$home/Tasklyn.DAT" <<'PY'
import struct, sys
def rec(text):
    b = text.encode('cp1252')
    return struct.pack('<i', len(b)) + b
live = '\xa6'.join(['', 'Water the plants', '01/06/2030', '18:00', '', '0', '2030-06-01 18:00', '', '18', ''])
open(sys.argv[1], 'wb').write(rec(' ' * 20) + rec(live))
PY
  : >"$home/Tasklyn.ARK"
  rm -f "$home/Tasklyn.INI"
}

expected=$(python3 -c "
import struct
t='\xa6'.join(['', 'Water the plants', '01/06/2030', '18:00', '', '24', '2030-06-01 18:00', '', '18', '']).encode('cp1252')
print((struct.pack('<i', len(t)) + t).hex())")

for sig in TERM INT HUP; do
  write_files
  "$BIN" &
  pid=$!
  main=$(window_of "$pid" '^Nudgery   \[ tasks: 1 \]$' 30)
  [ -n "$main" ] || fail "no main window with one task ($sig)"
  kill -s "$sig" "$pid"
  kill -s "$sig" "$pid" 2>/dev/null || true
  wait_exit "$pid" 15 || fail "SIG$sig did not end the program"
  pid=""
  [ "$EXIT_RC" = 0 ] || fail "SIG$sig: the program ended with status $EXIT_RC"
  actual=$(python3 -c "import sys; print(open(sys.argv[1], 'rb').read().hex())" "$home/Tasklyn.DAT")
  [ "$actual" = "$expected" ] || fail "SIG$sig: Tasklyn.DAT is not the compacted file"
  for key in WindowHeight WindowWidth NotePane ColumnWidths; do
    grep -q "^$key=" "$home/Tasklyn.INI" || fail "SIG$sig: $key missing from Tasklyn.INI"
  done
done
echo PASS
