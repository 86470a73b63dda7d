#!/usr/bin/env bash
# Damaged task data and archive files: a record cut off in the middle, a negative
# length, a length past the end of the file, stray bytes after the last record.
# The program starts, tells once per file which backup holds the original, shows
# exactly the tasks before the damage (main window and archive viewer), keeps the
# original bytes in the backup, and after the exit both files load cleanly.
# Runs under scripts/with-desktop.sh; $1 is the nudgery binary.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BIN=$(readlink -f "$1")


sha() { sha256sum "$1" | cut -d' ' -f1; }

# One start on a folder whose files were built by the caller:
#   $1 the case's name, $2 the task texts before the task file's damage (one a
#   line), $3 the same for the archive, $4 the sound bytes' length of the task file
#   and $5 of the archive.
check_start() {
  local name=$1 tasks=$2 archived=$3 dat_sound=$4 ark_sound=$5
  local dat="$home/Tasklyn.DAT" ark="$home/Tasklyn.ARK"
  local dat_sum ark_sum dat_head ark_head n m main viewer
  dat_sum=$(sha "$dat")
  ark_sum=$(sha "$ark")
  dat_head=$(head -c "$dat_sound" "$dat" | sha256sum | cut -d' ' -f1)
  ark_head=$(head -c "$ark_sound" "$ark" | sha256sum | cut -d' ' -f1)
  n=$(grep -c . <<<"$tasks")
  m=$(grep -c . <<<"$archived")
  if record_tasks "$dat" >/dev/null || record_tasks "$ark" >/dev/null; then
    fail "$name: the files built for the case are not damaged"
  fi

  "$BIN" &
  pid=$!
  # The task file is loaded before the main window shows.
  expect_message "$pid" "The file \"$dat\" was damaged. Every task before the damage was kept; the original file was saved as \"$dat.damaged\"." 30
  main=$(window_of "$pid" '^Nudgery   \[ tasks: ' 30 || true)
  [ -n "$main" ] || fail "$name: no main window"
  [ "$(xdotool getwindowname "$main")" = "Nudgery   [ tasks: $n ]" ] ||
    fail "$name: the main window shows '$(xdotool getwindowname "$main")', expected $n tasks"
  [ "$(sha "$dat.damaged")" = "$dat_sum" ] || fail "$name: the task file's backup is not the original"
  [ "$(stat -c %s "$dat")" -eq "$dat_sound" ] && [ "$(sha "$dat")" = "$dat_head" ] ||
    fail "$name: the task file was not cut back to its sound records"

  # The archive is read when its viewer opens.
  menu_item "$main" f o
  expect_message "$pid" "The file \"$ark\" was damaged. Every task before the damage was kept; the original file was saved as \"$ark.damaged\"." 15
  viewer=$(window_of "$pid" '^ Nudgery - Archived Events - \[' 15 || true)
  [ -n "$viewer" ] || fail "$name: no archive viewer"
  [ "$(xdotool getwindowname "$viewer")" = " Nudgery - Archived Events - [ $m ]" ] ||
    fail "$name: the archive viewer shows '$(xdotool getwindowname "$viewer")', expected $m tasks"
  [ "$(sha "$ark.damaged")" = "$ark_sum" ] || fail "$name: the archive's backup is not the original"
  [ "$(stat -c %s "$ark")" -eq "$ark_sound" ] && [ "$(sha "$ark")" = "$ark_head" ] ||
    fail "$name: the archive was not cut back to its sound records"
  keys_to "$viewer" Escape
  wait_gone "$pid" '^ Nudgery - Archived Events' 10 || fail "$name: the archive viewer did not close"

  # Nothing more to tell: the exit reloads and rewrites both files without a word.
  keys_to "$main" ctrl+x
  wait_exit "$pid" 15 || fail "$name: the program did not end"
  [ "$EXIT_RC" = 0 ] || fail "$name: the program ended with status $EXIT_RC"
  pid=""
  [ "$(record_tasks "$dat")" = "$tasks" ] || fail "$name: after the exit the task file holds: $(record_tasks "$dat" || true)"
  [ "$(record_tasks "$ark")" = "$archived" ] || fail "$name: after the exit the archive holds: $(record_tasks "$ark" || true)"
  [ "$(ls "$home" | grep -c damaged)" -eq 2 ] || fail "$name: more or fewer backups than two: $(ls "$home")"
}

settings() { printf '[Preferences]\r\nAlert_s=0\r\n' >"$home/Tasklyn.INI"; }

# --- a record cut off in its text; stray bytes after the archive's records ----------
fresh_program_home damaged_files
settings
{
  task_record "Buy stamps"
  task_record "Call the plumber"
  task_record "Renew the passport"
} >"$home/Tasklyn.DAT"
dat_sound=$(stat -c %s "$home/Tasklyn.DAT")
task_record "Cut off in the middle" "with a note" | head -c 30 >>"$home/Tasklyn.DAT"
{
  task_record "Old task one"
  blank_record 12
  task_record "Old task two"
} >"$home/Tasklyn.ARK"
ark_sound=$(stat -c %s "$home/Tasklyn.ARK")
printf '\x9c\x3f\xd1\x5a\x07\xe2\x81\x44\x10\xbb\x2d\x99\x00\x5e\xc3\x71\xfa\x08\x66\x1d\xa6\xa6' >>"$home/Tasklyn.ARK"
check_start "cut record, stray bytes" $'Buy stamps\nCall the plumber\nRenew the passport' \
  $'Old task one\nOld task two' "$dat_sound" "$ark_sound"

# --- a negative length; a length past the end of the archive --------------------------
fresh_program_home damaged_files
settings
{
  task_record "Buy stamps"
  task_record "Call the plumber"
} >"$home/Tasklyn.DAT"
dat_sound=$(stat -c %s "$home/Tasklyn.DAT")
{
  printf '\xf0\xff\xff\xff'
  task_record "Behind a negative length"
} >>"$home/Tasklyn.DAT"
task_record "Old task one" >"$home/Tasklyn.ARK"
ark_sound=$(stat -c %s "$home/Tasklyn.ARK")
{
  printf '\x00\x10\x00\x00'
  task_record "Behind a length past the end"
} >>"$home/Tasklyn.ARK"
check_start "negative length, length past the end" $'Buy stamps\nCall the plumber' \
  'Old task one' "$dat_sound" "$ark_sound"
echo PASS
