#!/usr/bin/env bash
# Two days of a user's list: on the first a deleted task comes back with Ctrl+Z; on
# the second, File > Restore from backup brings back the first morning's files
# byte for byte, after keeping the current ones in a folder of their own; a second
# restore the same day brings those back, keeping every copy made before; a first
# run's copy, which holds no task, is refused with a message.
# Runs under scripts/with-desktop.sh; $1 is the nudgery binary.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BIN=$(readlink -f "$1")

fresh_program_home undo_backup

{
  task_record "Buy stamps"
  task_record "Call the plumber"
  task_record "Renew the passport"
} >"$home/Tasklyn.DAT"
: >"$home/Tasklyn.ARK"
printf '[Preferences]\r\nSorted=Task\r\nSortedOrdr=0\r\n' >"$home/Tasklyn.INI"
mkdir "$home/morning"
cp "$home"/Tasklyn.* "$home/morning/"
# A first run's copy: made before any task was stored.
mkdir -p "$home/backups/2026-12-01"
printf '[Options]\r\nLanguage=English\r\n' >"$home/backups/2026-12-01/Tasklyn.INI"
export FAKETIME_DONT_FAKE_MONOTONIC=1

# Starts the program on day $1 and waits for its main window with $2 tasks.
start_on() {
  faketime "$1" "$BIN" &
  wrapper=$!
  pid=$(program_of "$wrapper")
  [ -n "$pid" ] || fail "the program did not start"
  main=$(window_of "$pid" "^Nudgery   \\[ tasks: $2 \\]\$" 30)
  [ -n "$main" ] || fail "no main window with $2 tasks on $1"
}
# Deletes the current task, answering Yes.
delete_current() {
  keys_to "$main" Delete
  ask=$(window_of "$pid" '^Information$' 15)
  [ -n "$ask" ] || fail "no question before deleting"
  keys_to "$ask" y
}
stored() { record_tasks "$home/Tasklyn.DAT" | sort | paste -sd,; }
quit() {
  keys_to "$main" ctrl+x
  wait_exit "$wrapper" 15 || fail "the program did not end"
  pid=""
}

# --- day one: delete, then Ctrl+Z -------------------------------------------------------
start_on '2026-12-08 10:00:00' 3
delete_current
[ -n "$(window_of "$pid" '^Nudgery   \[ tasks: 2 \]$' 15)" ] || fail "the task was not deleted"
[ "$(record_tasks "$home/Tasklyn.DAT" | wc -l)" = 2 ] || fail "after the delete the file holds: $(stored)"
cmp -s "$home/backups/2026-12-08/Tasklyn.DAT" "$home/morning/Tasklyn.DAT" ||
  fail "the day's backup is not the file as the day began"
keys_to "$main" ctrl+z
[ -n "$(window_of "$pid" '^Nudgery   \[ tasks: 3 \]$' 15)" ] || fail "Ctrl+Z did not bring the task back"
artefact undo_after_ctrl_z
[ "$(stored)" = "Buy stamps,Call the plumber,Renew the passport" ] ||
  fail "after Ctrl+Z the file holds: $(stored)"
quit

# --- day two: a delete, then yesterday's backup restored --------------------------------
start_on '2026-12-09 10:00:00' 3
delete_current
[ -n "$(window_of "$pid" '^Nudgery   \[ tasks: 2 \]$' 15)" ] || fail "the task was not deleted"
after_delete=$(stored)
before_restore=$(sha256sum <"$home/Tasklyn.DAT")
todays_copy=$(folder_sums "$home/backups/2026-12-09")
# Chooses entry $1 (0 the newest) of File > Restore from backup.
restore_entry() {
  menu_item "$main" f r
  chooser=$(window_of "$pid" '^Restore from backup$' 15)
  [ -n "$chooser" ] || fail "File > Restore from backup showed no list"
  artefact "undo_backup_list_$2"
  local keys=()
  for ((i = 0; i < $1; i++)); do keys+=(Down); done
  keys_to "$chooser" "${keys[@]}" Return
}
# Newest first: today's, then yesterday's.
restore_entry 1 first
[ -n "$(window_of "$pid" '^Nudgery   \[ tasks: 3 \]$' 15)" ] || fail "the window did not reload the restored tasks"
for f in Tasklyn.DAT Tasklyn.ARK Tasklyn.INI; do
  cmp -s "$home/$f" "$home/morning/$f" || fail "$f is not yesterday's backup"
done
[ "$(folder_sums "$home/backups/2026-12-09")" = "$todays_copy" ] || fail "the restore changed today's backup"
first_kept=$(ls -d "$home"/backups/2026-12-09_*_before-restore*)
[ "$(wc -l <<<"$first_kept")" = 1 ] || fail "not one copy of the state before the restore: $first_kept"
[ "$(sha256sum <"$first_kept/Tasklyn.DAT")" = "$before_restore" ] ||
  fail "the copy before the restore does not hold the files from before it"

# The same day, the state before that restore brought back: it heads the list.
restore_entry 0 second
[ -n "$(window_of "$pid" '^Nudgery   \[ tasks: 2 \]$' 15)" ] || fail "the second restore did not reload"
[ "$(sha256sum <"$home/Tasklyn.DAT")" = "$before_restore" ] || fail "the second restore brought back other files"
kept=$(ls -d "$home"/backups/2026-12-09_*_before-restore*)
[ "$(wc -l <<<"$kept")" = 2 ] || fail "not two copies from before a restore: $kept"
[ "$(sha256sum <"$first_kept/Tasklyn.DAT")" = "$before_restore" ] || fail "the first copy was written over"
second_kept=$(grep -vxF "$first_kept" <<<"$kept")
cmp -s "$second_kept/Tasklyn.DAT" "$home/morning/Tasklyn.DAT" ||
  fail "the copy before the second restore does not hold yesterday's files"
[ "$(folder_sums "$home/backups/2026-12-09")" = "$todays_copy" ] || fail "the second restore changed today's backup"

# A first run's copy holds no task: refused, and nothing changes.
before=$(folder_sums "$home")
restore_entry 5 empty # two before a restore, 12-09, 12-08, then 12-01
expect_message "$pid" "This backup holds no task" 15
unchanged "the refused restore"
quit
[ "$(stored)" = "$after_delete" ] || fail "after the exit the file holds: $(stored)"
echo PASS