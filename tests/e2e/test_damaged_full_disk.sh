#!/usr/bin/env bash
# A damaged task data file on a full disk: no backup copy fits, so the file is left
# as it is and nothing is written to it (an appended task would land behind the
# damage, where no reader finds it). Once there is room again, the next write makes
# the backup, cuts the file back to its sound records and goes ahead, and the user
# is told where the original went. The program folder is a small tmpfs.
# Runs under scripts/with-desktop.sh as root; $1 is the nudgery binary.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BIN=$(readlink -f "$1")

fresh_program_home damaged_full_disk
original=$(mktemp /tmp/nudgery-damfull-original.XXXXXX)
scratch+=("$original")

[ "$(id -u)" -eq 0 ] || fail "this test mounts a tmpfs and needs root"
mount -t tmpfs -o size=64k,mode=0755 nudgery-damfull "$home" || fail "cannot mount a tmpfs"
mounts+=("$home")

# Two sound tasks, then a record whose length runs past the end of the file.
{
  task_record "Buy stamps"
  task_record "Call the plumber"
} >"$home/Tasklyn.DAT"
sound=$(stat -c %s "$home/Tasklyn.DAT")
{
  printf '\x88\x13\x00\x00'
  head -c 3000 /dev/zero | tr '\0' 'x'
} >>"$home/Tasklyn.DAT"
cp "$home/Tasklyn.DAT" "$original"
: >"$home/Tasklyn.ARK"
printf '[Preferences]\r\nAlert_s=0\r\n' >"$home/Tasklyn.INI"
dd if=/dev/zero of="$home/filler" bs=4096 2>/dev/null || true
[ "$(df --output=avail -B1 "$home" | tail -n1 | tr -d ' ')" -eq 0 ] || fail "the tmpfs is not full"
dat="$home/Tasklyn.DAT"

# --- start: the damage is told, with no backup ---------------------------------------------
"$BIN" &
pid=$!
expect_message "$pid" "The file \"$dat\" is damaged: only the tasks before the damage could be read, and no backup copy could be made." 30
main=$(window_of "$pid" '^Nudgery   \[ tasks: 2 \]$' 30)
[ -n "$main" ] || fail "no main window with the two sound tasks"
cmp -s "$dat" "$original" || fail "the damaged file was changed although no backup could be made"

# --- adding a task is refused while there is no backup -------------------------------------
keys_to "$main" Insert
editor=$(window_of "$pid" '^ Add New Task$' 15)
[ -n "$editor" ] || fail "Insert opened no editor"
type_to "$editor" "Added after the damage"
keys_to "$editor" Return
BACKUP_REPORT_NEXT=1 # nor is there room for the daily backup
expect_message "$pid" "The file \"$dat\" is damaged and no backup copy of it could be made" 15
cmp -s "$dat" "$original" || fail "a task was written behind the damage"
[ -n "$(window_of "$pid" '^ Add New Task$' 2)" ] || fail "the editor closed although its task was not stored"

# --- with room again, the same Ok makes the backup, cuts the file and adds the task --------
rm "$home/filler"
keys_to "$editor" Return
expect_message "$pid" "The file \"$dat\" was damaged. Every task before the damage was kept; the original file was saved as \"$dat.damaged\"." 15
wait_gone "$pid" '^ Add New Task$' 10 || fail "the editor stayed open"
[ -n "$(window_of "$pid" '^Nudgery   \[ tasks: 3 \]$' 10)" ] || fail "the new task is not listed"
cmp -s "$dat.damaged" "$original" || fail "the backup is not the original file"
[ "$(head -c "$sound" "$dat" | sha256sum)" = "$(head -c "$sound" "$original" | sha256sum)" ] ||
  fail "the sound records changed"
[ "$(record_tasks "$dat" | sort | paste -sd,)" = "Added after the damage,Buy stamps,Call the plumber" ] ||
  fail "the task data file holds: $(record_tasks "$dat" | paste -sd, || echo '(unreadable)')"

keys_to "$main" ctrl+x
wait_exit "$pid" 15 || fail "the program did not end"
[ "$EXIT_RC" = 0 ] || fail "the program ended with status $EXIT_RC"
pid=""
[ "$(record_tasks "$dat" | sort | paste -sd,)" = "Added after the damage,Buy stamps,Call the plumber" ] ||
  fail "after the exit the task data file holds: $(record_tasks "$dat" | paste -sd, || echo '(unreadable)')"
[ "$(ls "$home" | grep -c damaged)" = 1 ] || fail "backups: $(ls "$home")"
echo PASS
