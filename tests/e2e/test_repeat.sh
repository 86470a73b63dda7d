#!/usr/bin/env bash
# A weekly task, as a new user makes one: the editor's "Repeat" set to every week,
# the task ticked with Space on its day. It stays in the list, open, on next week's
# date at the same hour; the occurrence done is in the archive viewer; Ctrl+Z takes
# both back; the side file keeps the rule, and Tasklyn.DAT keeps its format.
# Runs under scripts/with-desktop.sh; $1 is the nudgery binary.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BIN=$(readlink -f "$1")

fresh_program_home repeat

record "" "Take the bins out" "10/12/2026" "07:45" "" "0" "2026-12-10 07:45" "" "18" "" \
  >"$home/Tasklyn.DAT"
: >"$home/Tasklyn.ARK"
printf '[Preferences]\r\nMyDateFormat=dd/MM/yyyy\r\n' >"$home/Tasklyn.INI"
export FAKETIME_DONT_FAKE_MONOTONIC=1

# The live records of file $1, one a line, fields joined by "|" and the done mark
# written as "DONE".
records_in() {
  LC_ALL=C od -An -v -tu1 "$1" | LC_ALL=C awk '
    { for (i = 1; i <= NF; i++) b[n++] = $i }
    END {
      for (pos = 0; pos + 4 <= n; pos += 4 + len) {
        len = b[pos] + b[pos + 1] * 256 + b[pos + 2] * 65536 + b[pos + 3] * 16777216
        blank = 1; text = ""
        for (i = pos + 4; i < pos + 4 + len && i < n; i++) {
          if (b[i] > 32) blank = 0
          if (b[i] == 166) text = text "|"
          else if (b[i] == 215) text = text "DONE"
          else text = text sprintf("%c", b[i])
        }
        if (!blank) print text
      }
    }'
}

faketime '2026-12-10 08:00:00' "$BIN" &
wrapper=$!
pid=$(program_of "$wrapper")
[ -n "$pid" ] || fail "the program did not start"
# The start-up agenda names the task due today.
agenda=$(window_of "$pid" '^ Nudgery$' 30)
[ -n "$agenda" ] || fail "no start-up agenda"
keys_to "$agenda" Return
main=$(window_of "$pid" '^Nudgery   \[ tasks: 1 \]$' 30)
[ -n "$main" ] || fail "no main window with the task"

# The editor: Repeat is the last choice, never at first; three steps down is weekly.
keys_to "$main" Return
editor=$(window_of "$pid" '^ Edit Task$' 15)
[ -n "$editor" ] || fail "the editor did not open"
keys_to "$editor" alt+r Down Down Down
sleep 0.5
artefact repeat_editor_weekly
keys_to "$editor" Return
wait_gone "$pid" '^ Edit Task$' 15 || fail "the editor did not close"
grep -a -q 'FREQ=WEEKLY;BYDAY=TH' "$home/Tasklyn.IDS" || fail "the side file holds no weekly rule"

# Ticked on its day: next Thursday, same hour, still open; the done one archived.
keys_to "$main" space
for _ in $(seq 50); do
  records_in "$home/Tasklyn.DAT" | grep -q '17/12/2026' && break
  sleep 0.1
done
row=$(records_in "$home/Tasklyn.DAT")
[ "$(printf '%s\n' "$row" | wc -l)" = 1 ] || fail "the list holds: $row"
case "$row" in
  *DONE*) fail "the moved task is marked done: $row" ;;
  *'|17/12/2026|07:45|'*'|2026-12-17 07:45|'*) ;;
  *) fail "not moved to next week at the same hour: $row" ;;
esac
done_one=$(records_in "$home/Tasklyn.ARK")
case "$done_one" in
  'DONE|Take the bins out|10/12/2026|07:45|'*) ;;
  *) fail "no done occurrence archived: $done_one" ;;
esac
artefact repeat_after_tick

menu_item "$main" f o
viewer=$(window_of "$pid" '^ Nudgery - Archived Events - \[ 1 \]$' 15)
[ -n "$viewer" ] || fail "the archive viewer does not show the done occurrence"
artefact repeat_archive_viewer
keys_to "$viewer" Escape
wait_gone "$pid" 'Archived Events' 15 || fail "the archive viewer did not close"

# One Ctrl+Z takes back both halves.
keys_to "$main" ctrl+z
for _ in $(seq 50); do
  [ -z "$(record_tasks "$home/Tasklyn.ARK")" ] && break
  sleep 0.1
done
[ -z "$(record_tasks "$home/Tasklyn.ARK")" ] || fail "the undo left the archive: $(record_tasks "$home/Tasklyn.ARK")"
records_in "$home/Tasklyn.DAT" | grep -q '^|Take the bins out|10/12/2026|' ||
  fail "the undo did not bring the date back: $(records_in "$home/Tasklyn.DAT")"

keys_to "$main" ctrl+x
wait_exit "$wrapper" 15 || fail "the program did not end"
pid=""
echo "ok"
