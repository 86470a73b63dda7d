#!/usr/bin/env bash
# In a read-only program folder every write fails with its own message box and the
# program keeps running: adding a task, ticking one, a setting, archiving, the exit;
# a start that cannot tidy its settings file still lists the tasks; and a first
# start in an empty read-only folder, which cannot create its files,
# still opens the main window. Nothing stored changes. The folder is a tmpfs
# remounted read-only (root writes through permission bits).
# Runs under scripts/with-desktop.sh as root; $1 is the nudgery binary.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BIN=$(readlink -f "$1")

fresh_program_home read_only
empty=$(mktemp -d /tmp/nudgery-ro-empty.XXXXXX)
scratch+=("$empty")

[ "$(id -u)" -eq 0 ] || fail "this test mounts a tmpfs and needs root"
for m in "$home" "$empty"; do
  mount -t tmpfs -o size=1m,mode=0755 nudgery-ro "$m" || fail "cannot mount a tmpfs"
  mounts+=("$m")
done

{
  task_record "Buy stamps"
  task_record "Call the plumber"
  task_record "Renew the passport"
} >"$home/Tasklyn.DAT"
{
  task_record "Old task one"
  task_record "Old task two"
} >"$home/Tasklyn.ARK"
# An obsolete key the start-up removes: that write fails, the start goes on.
printf '[Preferences]\r\nAlert_s=0\r\nSelectedRow=2\r\nSortedHint=Date\r\n' >"$home/Tasklyn.INI"
for m in "$home" "$empty"; do
  mount -o remount,ro "$m" || fail "cannot make the tmpfs read-only"
  if touch "$m/probe" 2>/dev/null; then fail "$m is still writable"; fi
done
before=$(folder_sums "$home")
dat="$home/Tasklyn.DAT"
ark="$home/Tasklyn.ARK"
ini="$home/Tasklyn.INI"

# --- start: removing the obsolete key fails with its message, the tasks still load ------
"$BIN" &
pid=$!
BACKUP_REPORT_NEXT=1
expect_message "$pid" "Unable to write to $ini" 30
main=$(window_of "$pid" '^Nudgery   \[ tasks: 3 \]$' 30 || true)
[ -n "$main" ] || fail "no main window with the three tasks"
sleep 1
[ -z "$(windows_besides "$pid" "$main")" ] || fail "a message at start-up: $(xdotool getwindowname "$(windows_besides "$pid" "$main" | head -n1)")"

# --- add, tick, a setting, archive: each fails with its message ------------------------
every_write_fails "$pid" "$main" "Cannot open file \"$dat\"." "Unable to write to $ini" "Cannot open file \"$ark\"."

# --- exit: the first setting fails, the program still ends -------------------------------
keys_to "$main" ctrl+x
expect_message "$pid" "Unable to write to $ini" 15
wait_exit "$pid" 15 || fail "the program did not end after its exit failed to save"
[ "$EXIT_RC" = 0 ] || fail "the program ended with status $EXIT_RC"
pid=""
unchanged "the exit"

# --- a first start in an empty read-only folder ------------------------------------------
export NUDGERY_HOME="$empty"
"$BIN" &
pid=$!
BACKUP_REPORT_NEXT=1 # the first start's conversion writes the task files
expect_message "$pid" "Cannot create file \"$empty/Tasklyn.DAT\"." 30
main=$(window_of "$pid" '^Nudgery' 30 || true)
[ -n "$main" ] || fail "no main window after the files could not be created"
keys_to "$main" ctrl+x
expect_message "$pid" "Unable to write to $empty/Tasklyn.INI" 15
wait_exit "$pid" 15 || fail "the program did not end"
[ "$EXIT_RC" = 0 ] || fail "the program ended with status $EXIT_RC"
pid=""
[ -z "$(ls -A "$empty")" ] || fail "files appeared in the read-only folder: $(ls -A "$empty")"
echo PASS
