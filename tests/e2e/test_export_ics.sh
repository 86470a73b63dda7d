#!/usr/bin/env bash
# nudgery --export-ics FILE, run beside a running copy: it changes no file of the
# program, and a second, independent parser (python3-icalendar) reads every
# field back: summary, due date and hour (or a date alone), priority, category,
# note, done, a UID per task and the text colour. File > Export to iCalendar...
# writes the same calendar. nudgery --import-ics FILE is refused beside the
# running copy and changes nothing; once it has ended, the exported file imports
# into an empty program folder as the same tasks and categories, and File >
# Import from iCalendar... adds them once more, taken back whole by one Ctrl+Z.
# Hostile calendars are refused or read in time; an --import-ics killed half-way
# leaves all of its tasks or none; one over a damaged task file says so.
# Runs under scripts/with-desktop.sh; $1 is the nudgery binary.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BIN=$(readlink -f "$1")

# File menu item with accelerator $2 of main window $1, then the path $4 typed into
# the file dialog titled $3 (a pattern), and Return.
choose_file() {
  local dialog
  menu_item "$1" f "$2"
  dialog=$(window_of "$pid" "$3" 15)
  [ -n "$dialog" ] || fail "the File menu showed no dialog $3"
  xdotool key --clearmodifiers ctrl+a
  type_to "$dialog" "$4"
  xdotool key --clearmodifiers Return
}

fresh_program_home export_ics

{
  record "" "Buy stamps" "01/06/2030" "09:30" "1" "0" "2030-06-01 09:30" "Errands" "4" ""
  record "$(printf '\xd7')" "Call the plumber, quickly" "02/06/2030" "14:05" "5" "0" "2030-06-02 14:05" "" "18" \
    "$(printf 'Ask about the boiler;\r\nand the tap')"
  blank_record 40
  record "" "Renew the passport" "03/06/2030" "" "" "0" "2030-06-03 00:00" "Home" "18" ""
} >"$home/Tasklyn.DAT"
: >"$home/Tasklyn.ARK"
printf '[Preferences]\r\nMyDateFormat=dd/MM/yyyy\r\n' >"$home/Tasklyn.INI"

"$BIN" &
pid=$!
[ -n "$(window_of "$pid" '^Nudgery   \[ tasks: 3 \]$' 30)" ] || fail "no main window with the three tasks"
before=$(folder_sums "$home")
out=$(mktemp /tmp/nudgery-ics-out.XXXXXX)
scratch+=("$out" "$out.stdout" "$out.stderr" "$out.dat")
count=$("$BIN" --export-ics "$out") || fail "the export failed"
[ "$count" = 3 ] || fail "the export says $count tasks"
[ "$(folder_sums "$home")" = "$before" ] || fail "the export changed the program's files"
alive "$pid" || fail "the running copy ended"
# The tasks as exported (the exit's compaction fills in the empty hour).
cp "$home/Tasklyn.DAT" "$out.dat"

/usr/bin/python3 - "$out" <<'PY' || fail "the second parser does not read the file back"
import sys, datetime, icalendar
cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())
todos = {str(t['SUMMARY']): t for t in cal.walk('VTODO')}
assert sorted(todos) == ['Buy stamps', 'Call the plumber, quickly', 'Renew the passport'], sorted(todos)
a, b, c = todos['Buy stamps'], todos['Call the plumber, quickly'], todos['Renew the passport']
assert a.decoded('DUE') == datetime.datetime(2030, 6, 1, 9, 30), a.decoded('DUE')
assert b.decoded('DUE') == datetime.datetime(2030, 6, 2, 14, 5)
assert c.decoded('DUE') == datetime.date(2030, 6, 3), c.decoded('DUE')
assert int(a['PRIORITY']) == 1 and int(b['PRIORITY']) == 9 and 'PRIORITY' not in c
assert [str(x) for x in a['CATEGORIES'].cats] == ['Errands'] and 'CATEGORIES' not in b
assert str(b['DESCRIPTION']) == 'Ask about the boiler;\nand the tap', repr(str(b['DESCRIPTION']))
assert str(b['STATUS']) == 'COMPLETED' and 'STATUS' not in a
assert str(a['X-NUDGERY-TEXT-COLOUR']) == '4' and str(c['X-NUDGERY-TEXT-COLOUR']) == '18'
uids = {str(t['UID']) for t in todos.values()}
assert len(uids) == 3, uids
assert all('DTSTAMP' in t for t in todos.values())
PY

# The same tasks give the same UIDs.
"$BIN" --export-ics "$out.2" >/dev/null || fail "the second export failed"
[ "$(grep '^UID' "$out")" = "$(grep '^UID' "$out.2")" ] || fail "the UIDs changed between two exports"
rm -f "$out.2"

# File > Export to iCalendar... writes the same calendar (but its time stamps).
main=$(window_of "$pid" '^Nudgery   ' 5)
choose_file "$main" e '^Export to iCalendar$' "$out.menu"
expect_message "$pid" "3 tasks exported to \"$out.menu\"." 15
[ "$(grep -v '^DTSTAMP' "$out.menu")" = "$(grep -v '^DTSTAMP' "$out")" ] ||
  fail "the menu's export differs from the command line's"
rm -f "$out.menu"
[ "$(folder_sums "$home")" = "$before" ] || fail "the menu's export changed the program's files"

# The import writes the program's files: not while a copy runs.
status=0
"$BIN" --import-ics "$out" >"$out.stdout" 2>"$out.stderr" || status=$?
[ "$status" = 1 ] || fail "the import beside a running copy ended with status $status"
grep -q 'Nudgery is running' "$out.stderr" || fail "the refusal says: $(cat "$out.stderr")"
[ "$(folder_sums "$home")" = "$before" ] || fail "the refused import changed the program's files"
close_window "$pid" "$(window_of "$pid" '^Nudgery   ' 5)"
pid=""

# Round trip: the calendar imported into an empty folder gives the same tasks.
again=$(mktemp -d /tmp/nudgery-ics-again.XXXXXX)
scratch+=("$again")
cp "$home/Tasklyn.INI" "$again/"
NUDGERY_HOME="$again" "$BIN" --import-ics "$out" >"$out.stdout" || fail "the import failed"
[ "$(head -n1 "$out.stdout")" = "3 tasks imported." ] || fail "the import says: $(cat "$out.stdout")"
/usr/bin/python3 - "$out.dat" "$again/Tasklyn.DAT" "$again/Tasklyn.INI" <<'PY' ||
import sys, struct
def tasks(path):
    data, pos, out = open(path, 'rb').read(), 0, []
    while pos + 4 <= len(data):
        n = struct.unpack('<i', data[pos:pos + 4])[0]
        text = data[pos + 4:pos + 4 + n]
        pos += 4 + n
        if text.strip(b' '):
            fields = text.split(b'\xa6')
            del fields[5]  # the order field: the record's offset
            fields[0] = fields[0].strip(b' ')  # an open task's mark: empty or a blank
            out.append(fields)
    return sorted(out)
a, b = tasks(sys.argv[1]), tasks(sys.argv[2])
assert a == b, (a, b)
ini = open(sys.argv[3], 'rb').read()
assert b'Cats=2' in ini and b'Errands' in ini and b'Home' in ini, ini
PY
  fail "the imported tasks differ from the exported ones"

# File > Import from iCalendar... of the same file again: its tasks keep their
# UIDs, so the three are updated, not doubled, and the summary says so.
NUDGERY_HOME="$again" "$BIN" &
pid=$!
main=$(window_of "$pid" '^Nudgery   \[ tasks: 3 \]$' 30)
[ -n "$main" ] || fail "no main window over the imported tasks"
choose_file "$main" i '^Import from iCalendar$' "$out"
expect_message "$pid" "0 tasks imported. 3 tasks of the file were in the list already (the same UID) and were updated instead of added again." 15
[ -n "$(window_of "$pid" '^Nudgery   \[ tasks: 3 \]$' 15)" ] || fail "the list does not show three tasks"
close_window "$pid" "$(window_of "$pid" '^Nudgery   ' 5)"
pid=""
[ "$(record_tasks "$again/Tasklyn.DAT" | wc -l)" = 3 ] || fail "the import again doubled tasks in the file"

# Hostile calendars: refused with their reason, or read in time, never a crash.
hostile=$(mktemp -d /tmp/nudgery-ics-hostile.XXXXXX)
scratch+=("$hostile")
/usr/bin/python3 - "$hostile" <<'PY'
import sys
d = sys.argv[1]
cal = lambda body: ('BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\n' + body + 'END:VCALENDAR\r\n').encode()
open(d + '/deep.ics', 'wb').write(cal('BEGIN:X-A\r\n' * 130000 + 'END:X-A\r\n' * 130000))
open(d + '/long.ics', 'wb').write(cal('BEGIN:VTODO\r\nSUMMARY:' + 'a' * (16 << 20) + '\r\nEND:VTODO\r\n'))
open(d + '/zone.ics', 'wb').write(cal(
    'BEGIN:VTIMEZONE\r\nTZID:Every second\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n'
    'RRULE:FREQ=SECONDLY\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nEND:STANDARD\r\n'
    'END:VTIMEZONE\r\nBEGIN:VTODO\r\nUID:z\r\nSUMMARY:Zoned\r\n'
    'DUE;TZID=Every second:20300601T100000\r\nEND:VTODO\r\n'))
big = ''.join('BEGIN:VTODO\r\nUID:b%d\r\nSUMMARY:Bulk %d\r\nDUE:20300601T100000\r\nEND:VTODO\r\n'
              % (k, k) for k in range(50000))
open(d + '/big.ics', 'wb').write(cal(big))
PY
for f in deep long; do
  status=0
  NUDGERY_HOME="$again" timeout 20 "$BIN" --import-ics "$hostile/$f.ics" >"$out.stdout" 2>"$out.stderr" || status=$?
  [ "$status" = 1 ] || fail "$f.ics: exit status $status"
  grep -q 'The file was not imported, nothing was changed: ' "$out.stderr" ||
    fail "$f.ics: the refusal says: $(cat "$out.stderr")"
done
NUDGERY_HOME="$again" timeout 20 "$BIN" --import-ics "$hostile/zone.ics" >"$out.stdout" ||
  fail "the calendar with a runaway time zone was not read in time"
grep -q 'a time zone whose rules cannot be used' "$out.stdout" || fail "zone.ics: $(cat "$out.stdout")"

# Killed half-way, an import leaves all of its tasks or none, once the next start
# has looked at it.
for delay in 0.3 0.6 0.9; do
  before=$(record_tasks "$again/Tasklyn.DAT" | wc -l)
  NUDGERY_HOME="$again" "$BIN" --import-ics "$hostile/big.ics" >/dev/null 2>&1 &
  sleep "$delay"
  kill -9 $! 2>/dev/null || true
  wait $! 2>/dev/null || true
  NUDGERY_HOME="$again" "$BIN" --import-ics "$hostile/zone.ics" >/dev/null || fail "no start after the kill"
  after=$(record_tasks "$again/Tasklyn.DAT" | wc -l) || fail "the task file is damaged after the kill"
  # (zone.ics's one task is in the list already: updated, not added again)
  [ "$after" = "$before" ] || [ "$after" = $((before + 50000)) ] ||
    fail "after a kill $delay s into an import: $((after - before)) of its 50000 tasks"
  [ ! -e "$again/Tasklyn.DAT.pending" ] || fail "the import's marker stayed"
done

# Over a damaged task file: cut back, copied aside, and said.
printf '\x40\x00\x00\x00torn' >>"$again/Tasklyn.DAT"
NUDGERY_HOME="$again" "$BIN" --import-ics "$hostile/zone.ics" >"$out.stdout" || fail "the import over a damaged file failed"
grep -q 'was damaged' "$out.stdout" || fail "the damage was not said: $(cat "$out.stdout")"
ls "$again"/Tasklyn.DAT.damaged* >/dev/null 2>&1 || fail "no copy of the damaged file"
echo PASS
