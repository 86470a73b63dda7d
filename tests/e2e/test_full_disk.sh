#!/usr/bin/env bash
# On a full disk every write fails with its own message box and the program keeps
# running: adding a task, ticking one, a setting, archiving, and the exit's rewrite
# of the task data file. Each box closes back to a usable window, and the task data
# file and the archive stay byte for byte as they were, even where a record was
# half written before the disk ran out. The program folder is a small tmpfs.
# Runs under scripts/with-desktop.sh as root; $1 is the nudgery binary.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BIN=$(readlink -f "$1")

fresh_program_home full_disk
on_failure() { ls -la "$home" >&2; }

[ "$(id -u)" -eq 0 ] || fail "this test mounts a tmpfs and needs root"
# tmpfs counts whole 4 KiB pages: the files below are sized against them.
mount -t tmpfs -o size=64k,mode=0755 nudgery-full "$home" || fail "cannot mount a tmpfs"
mounts+=("$home")
PAGE=4096

# --- the program folder ----------------------------------------------------------------
# Three tasks with long notes, so that the exit's rewrite needs two pages, padded by a
# blanked record to 20 bytes short of two pages: an appended record then half fits.
note=$(printf 'Note %04d. ' $(seq 140))
{
  task_record "Buy stamps" "$note"
  task_record "Call the plumber" "$note"
  task_record "Renew the passport" "$note"
} >"$home/Tasklyn.DAT"
pad=$((2 * PAGE - 20 - $(stat -c %s "$home/Tasklyn.DAT") - 4))
[ $pad -ge 0 ] || fail "the task records are too long for the layout"
blank_record $pad >>"$home/Tasklyn.DAT"
[ "$(stat -c %s "$home/Tasklyn.DAT")" -eq $((2 * PAGE - 20)) ] || fail "the task data file is not 2 pages - 20"
# Two archived tasks, padded to 12 bytes short of a page.
{
  task_record "Old task one"
  task_record "Old task two"
} >"$home/Tasklyn.ARK"
blank_record $((PAGE - 12 - $(stat -c %s "$home/Tasklyn.ARK") - 4)) >>"$home/Tasklyn.ARK"
printf '[Preferences]\r\nAlert_s=0\r\nSelectedRow=2\r\n' >"$home/Tasklyn.INI"
# One page kept back, freed before the exit so that the settings can be written
# then while the task data file's rewrite still finds no room.
head -c $PAGE /dev/zero >"$home/spare"
# Fill the rest.
dd if=/dev/zero of="$home/filler" bs=$PAGE 2>/dev/null || true
[ "$(df --output=avail -B1 "$home" | tail -n1 | tr -d ' ')" -eq 0 ] || fail "the tmpfs is not full"
if printf 'x' >"$home/probe" 2>/dev/null; then fail "a write still fits on the full disk"; fi
rm -f "$home/probe"

before=$(folder_sums "$home")
tasks_before=$(record_tasks "$home/Tasklyn.DAT") || fail "the task data file built here is not sound"
archive_before=$(record_tasks "$home/Tasklyn.ARK") || fail "the archive built here is not sound"
dat="$home/Tasklyn.DAT"
ark="$home/Tasklyn.ARK"
ini="$home/Tasklyn.INI"

# --- start: it only reads, so no message -----------------------------------------------
"$BIN" &
pid=$!
main=$(window_of "$pid" '^Nudgery   \[ tasks: 3 \]$' 30 || true)
[ -n "$main" ] || fail "no main window with the three tasks"
sleep 1
[ -z "$(windows_besides "$pid" "$main")" ] || fail "a message at start-up: $(xdotool getwindowname "$(windows_besides "$pid" "$main" | head -n1)")"

# --- add, tick, a setting, archive: each fails with its message ------------------------
BACKUP_REPORT_NEXT=1 # the first write's daily backup finds no room either
every_write_fails "$pid" "$main" "Unable to write to $dat" "Unable to write to $ini" "Unable to write to $ark"

# --- exit with one page free: the settings fit, the task file's rewrite does not ------
rm "$home/spare"
keys_to "$main" ctrl+x
expect_message "$pid" "Cannot create file \"$dat\"." 15
wait_exit "$pid" 15 || fail "the program did not end after its exit failed to save"
[ "$EXIT_RC" = 0 ] || fail "the program ended with status $EXIT_RC"
pid=""

# --- the files ---------------------------------------------------------------------------
after=$(folder_sums "$home")
for f in Tasklyn.DAT Tasklyn.ARK; do
  [ "$(grep " ./$f\$" <<<"$after")" = "$(grep " ./$f\$" <<<"$before")" ] || fail "$f changed"
done
[ "$(record_tasks "$dat")" = "$tasks_before" ] || fail "the task data file no longer holds its tasks"
[ "$(record_tasks "$ark")" = "$archive_before" ] || fail "the archive no longer holds its tasks"
# The settings were written in the page freed before the exit, keeping what was there.
grep -q '^Alert_s=0' "$ini" || fail "the settings lost Alert_s"
grep -q '^SelectedRow=' "$ini" || fail "the settings hold no SelectedRow"
stray=$(cd "$home" && ls -A | grep -vxE 'Tasklyn\.(DAT|ARK|INI|lock)|filler' || true)
[ -z "$stray" ] || fail "files left in the program folder: $stray"
echo PASS
