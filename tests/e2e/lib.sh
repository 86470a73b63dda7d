# Shared helpers of the whole-program tests; sourced by tests/e2e/test_*.sh.

fail() { echo "FAIL: $*" >&2; exit 1; }

# faketime names its semaphore and shared memory after its own process and leaves
# them behind when it is killed; a later faketime given the same process number
# then refuses to start ("sem_open: File exists"). Those of ended processes go.
for stale in /dev/shm/sem.faketime_sem_* /dev/shm/faketime_shm_*; do
  [ -e "$stale" ] && [ ! -d "/proc/${stale##*_}" ] && rm -f "$stale"
done
unset stale

# The window of process $1 whose name matches $2, waiting up to $3 seconds; empty
# when none came. It polls: a window that goes away during one search (a box
# closing) makes that search fail, not the wait.
window_of() {
  local i w
  for ((i = 0; i < $3 * 10; i++)); do
    w=$(xdotool search --all --onlyvisible --pid "$1" --name "$2" 2>/dev/null | head -n1 || true)
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.1
  done
  return 0
}

# The program's process under the faketime wrapper $1 (faketime forks).
program_of() {
  local child="" c
  for _ in $(seq 50); do
    # faketime first runs date(1) to read its time, and a child not yet exec'd
    # still bears faketime's name: neither is the program.
    for c in $(pgrep -P "$1"); do
      case "$(cat "/proc/$c/comm" 2>/dev/null)" in
        date | faketime | "") ;;
        *) child=$c && break ;;
      esac
    done
    [ -n "$child" ] && break
    sleep 0.1
  done
  echo "$child"
}

# True while process $1 runs (a child that has ended but is not yet reaped does not).
alive() { [ -r "/proc/$1/status" ] && ! grep -q '^State:[[:space:]]*Z' "/proc/$1/status" 2>/dev/null; }

# Waits up to $2 seconds for child process $1 to end; its status goes to EXIT_RC.
EXIT_RC=""
wait_exit() {
  local i
  for ((i = 0; i < $2 * 10; i++)); do
    if ! alive "$1"; then
      EXIT_RC=0
      wait "$1" || EXIT_RC=$?
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Closes main window $2 of process $1 as a user does (the window manager's
# Alt+F4), falling back to a signal. The status goes to EXIT_RC ("" when killed).
close_window() {
  xdotool windowactivate --sync "$2" 2>/dev/null || true
  xdotool key --clearmodifiers alt+F4 2>/dev/null || true
  wait_exit "$1" 15 && return 0
  kill -TERM "$1" 2>/dev/null || true
  wait_exit "$1" 5 && return 0
  kill -9 "$1" 2>/dev/null || true
  EXIT_RC=""
}

# Saves a screenshot as a test artefact.
artefact() {
  [ -n "${NUDGERY_ARTIFACTS:-}" ] || return 0
  mkdir -p "$NUDGERY_ARTIFACTS"
  import -window root "$NUDGERY_ARTIFACTS/$1.png" 2>/dev/null || true
}

# Minimises window $2 of process $1 from the window manager, then waits until no
# window of the process matching $3 is on screen; fails if one stays.
minimise_away() {
  xdotool windowminimize --sync "$2" 2>/dev/null || xdotool windowminimize "$2"
  for _ in $(seq 50); do
    xdotool search --all --onlyvisible --pid "$1" --name "$3" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "the main window is still on screen after minimising"
}

# Waits up to $3 seconds until process $1 shows no window whose name matches $2.
wait_gone() {
  local i
  for ((i = 0; i < $3 * 10; i++)); do
    xdotool search --all --onlyvisible --pid "$1" --name "$2" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

# Activates window $1 and sends it the keys $2...
keys_to() {
  local w=$1
  shift
  xdotool windowactivate --sync "$w" 2>/dev/null || true
  xdotool key --clearmodifiers --delay 60 "$@"
}

# Opens menu $2 of window $1 by its Alt key, then picks its item with key $3.
menu_item() {
  keys_to "$1" "alt+$2"
  sleep 0.5
  xdotool key --clearmodifiers "$3"
}

# Activates window $1 and types the text $2.
type_to() {
  xdotool windowactivate --sync "$1" 2>/dev/null || true
  xdotool type --clearmodifiers --delay 20 -- "$2"
}

# The text of message box $1, as the box copies it with Ctrl+C; fails when nothing
# was copied. A marker goes to the clipboard first, so an earlier copy is not
# taken for this one (xclip's output goes away: it stays behind as the owner).
box_text() {
  printf '(none)' | xclip -i -selection clipboard >/dev/null 2>&1 || true
  keys_to "$1" ctrl+c
  local i text=""
  for ((i = 0; i < 30; i++)); do
    text=$(timeout 2 xclip -selection clipboard -o 2>/dev/null || true)
    [ -n "$text" ] && [ "$text" != "(none)" ] && { printf '%s\n' "$text" | tr -d '\r'; return 0; }
    sleep 0.1
  done
  return 1
}

# --- printing to the cups-pdf queue ------------------------------------------------------
# cups-pdf writes into the job owner's home.
PDF_DIR="$(getent passwd "$(id -un)" | cut -d: -f6)/PDF"
# Call before printing: the PDFs already there.
pdf_before() { PDFS_BEFORE=$(ls "$PDF_DIR" 2>/dev/null || true); }
# The first PDF of the program's that appeared since pdf_before, once the queue is
# idle, waiting up to $1 seconds.
wait_pdf() {
  local i f
  for ((i = 0; i < $1 * 10; i++)); do
    f=$(comm -13 <(echo "$PDFS_BEFORE" | sort) <(ls "$PDF_DIR" 2>/dev/null | sort) |
      grep -E '^Nudgery(-job_[0-9]+)?\.pdf$' | head -n1)
    if [ -n "$f" ] && [ -z "$(lpstat -o 2>/dev/null)" ]; then
      sleep 0.5 # cups-pdf renames its finished file into place; let it settle
      echo "$PDF_DIR/$f"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# --- task files and message boxes, for the fault tests --------------------------------
# A record of the task data file or the archive: its length as 4 little-endian bytes,
# then the ten fields (done, task, date, hour, priority, order, sort key, category,
# colour, note) joined by 0xA6. The texts are bytes: give them in cp1252.
record() {
  local LC_ALL=C text="$1" field
  shift
  for field in "$@"; do text+=$'\xa6'"$field"; done
  local n=${#text}
  printf "\\x$(printf %02x $((n & 255)))\\x$(printf %02x $((n >> 8 & 255)))\\x$(printf %02x $((n >> 16 & 255)))\\x$(printf %02x $((n >> 24 & 255)))"
  printf '%s' "$text"
}

# An open task due on 1 June 2030 at 09:30 with the text $1 and the note $2.
task_record() { record "" "$1" "01/06/2030" "09:30" "1" "0" "2030-06-01 09:30" "" "18" "${2:-}"; }

# A blanked record ($1 bytes of spaces after the prefix), as a deletion leaves.
blank_record() { record "$(printf "%$(($1))s" '')"; }

# The task texts of file $1's records, one a line, blanked records left out (or, with
# $2 = --blanks, given as "(blank)"). Fails when the file does not end exactly after a
# whole record.
record_tasks() {
  LC_ALL=C od -An -v -tu1 "$1" | LC_ALL=C awk -v blanks="${2:-}" '
    { for (i = 1; i <= NF; i++) b[n++] = $i }
    END {
      for (pos = 0; pos < n; pos += 4 + len) {
        if (n - pos < 4) exit 1
        len = b[pos] + b[pos + 1] * 256 + b[pos + 2] * 65536 + b[pos + 3] * 16777216
        if (len >= 2147483648 || len > n - pos - 4) exit 1
        blank = 1; field = 0; task = ""
        for (i = pos + 4; i < pos + 4 + len; i++) {
          if (b[i] > 32) blank = 0
          if (b[i] == 166) field++
          else if (field == 1) task = task sprintf("%c", b[i])
        }
        if (!blank) print task
        else if (blanks == "--blanks") print "(blank)"
      }
    }'
}

# Every file under folder $1 with its checksum.
# The single-instance lock file (empty, made at every start) is left out.
folder_sums() { (cd "$1" && find . -type f ! -name Tasklyn.lock -print0 | sort -z | xargs -0 -r sha256sum); }

# The visible windows of process $1 other than window $2, one id a line.
windows_besides() {
  xdotool search --all --onlyvisible --pid "$1" --name '.' 2>/dev/null | grep -vx "$2" || true
}

# Presses Return in message box $1 and waits until it is gone.
dismiss_box() {
  keys_to "$1" Return
  local i
  for ((i = 0; i < 50; i++)); do
    xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
    xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable' || return 0
    sleep 0.1
  done
  return 1
}

# The message boxes captioned "Nudgery" of process $1, one id a line: dialogs, so a
# main window of that caption (before its tasks are loaded) is not one.
message_boxes() {
  local w
  for w in $(xdotool search --all --onlyvisible --pid "$1" --name '^Nudgery$' 2>/dev/null || true); do
    xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q '_NET_WM_WINDOW_TYPE_DIALOG' && echo "$w"
  done
  return 0
}

# Waits up to $3 seconds for process $1's message box captioned "Nudgery", checks
# that its text holds $2, closes it, and checks that no other box follows it (but
# the failed daily backup's report when BACKUP_REPORT_NEXT is set).
expect_message() {
  local box="" text i
  for ((i = 0; i < $3 * 10; i++)); do
    box=$(message_boxes "$1")
    [ -n "$box" ] && break
    sleep 0.1
  done
  [ -n "$box" ] || fail "no message box saying: $2"
  [ "$(wc -l <<<"$box")" -eq 1 ] || fail "more than one message box at once, waiting for: $2"
  text=$(box_text "$box") || fail "cannot read the box that should say: $2"
  grep -qF -- "$2" <<<"$text" || fail "the box says '$text' where '$2' was expected"
  dismiss_box "$box" || fail "the box saying '$2' did not close"
  # The run's first write met a failed daily backup: told once, after this box.
  if [ -n "${BACKUP_REPORT_NEXT:-}" ]; then
    BACKUP_REPORT_NEXT=""
    expect_message "$1" "The daily backup of the task files could not be made in" 15
    return
  fi
  sleep 1
  [ -z "$(message_boxes "$1")" ] || fail "another box followed the one saying '$2'"
}

# In running program $1 (main window $2, three tasks, two archived) whose folder
# refuses writes, tries each kind of write and expects its message: $3 when an
# added or ticked task cannot be stored, $4 when the settings file cannot be
# written, $5 when the archive cannot take a task. After each, the program still
# runs, its list is unchanged, and `unchanged <step>` (the caller's) passes.
every_write_fails() {
  local app=$1 main=$2 editor viewer ask
  # Adding: the editor stays open with its text.
  keys_to "$main" Insert
  editor=$(window_of "$app" '^ Add New Task$' 15)
  [ -n "$editor" ] || fail "Insert opened no editor"
  type_to "$editor" "Written where nothing can be written"
  keys_to "$editor" Return
  expect_message "$app" "$3" 15
  xdotool search --all --onlyvisible --pid "$app" --name '^ Add New Task$' >/dev/null 2>&1 ||
    fail "the editor closed although its task was not stored"
  keys_to "$editor" Escape
  wait_gone "$app" '^ Add New Task$' 10 || fail "Escape did not close the editor"
  still_listing "$app" "$main" "the failed add"
  unchanged "the failed add"

  keys_to "$main" space
  expect_message "$app" "$3" 15
  still_listing "$app" "$main" "the failed tick"
  unchanged "the failed tick"

  # A setting: the archive viewer stores its size when it closes.
  menu_item "$main" f o
  viewer=$(window_of "$app" '^ Nudgery - Archived Events - \[ 2 \]$' 15)
  [ -n "$viewer" ] || fail "no archive viewer with the two archived tasks"
  keys_to "$viewer" Escape
  expect_message "$app" "$4" 15
  wait_gone "$app" '^ Nudgery - Archived Events' 10 || fail "the archive viewer did not close"
  unchanged "closing the archive viewer"

  menu_item "$main" f a
  ask=$(window_of "$app" '^Information$' 15)
  [ -n "$ask" ] || fail "no question before archiving"
  keys_to "$ask" y
  expect_message "$app" "$5" 15
  still_listing "$app" "$main" "the failed archiving"
  unchanged "the failed archiving"
}

# Program $1 still runs and main window $2 still counts three tasks after step $3.
still_listing() {
  alive "$1" || fail "the program ended after $3"
  [ "$(xdotool getwindowname "$2")" = "Nudgery   [ tasks: 3 ]" ] ||
    fail "the main window shows '$(xdotool getwindowname "$2")' after $3"
}

# Fails when a file of the caller's folder $home differs from its sums in $before
# (folder_sums), naming step $1.
unchanged() {
  local now
  now=$(folder_sums "$home")
  [ "$now" = "$before" ] || fail "$1 changed a file: $(diff <(echo "$before") <(echo "$now") || true)"
}

# A fresh program folder in $home, exported as NUDGERY_HOME. When the test ends, the
# processes it started ($pid, $wrapper, $spy, and those it adds to the list pids) are
# killed with their children; a failing test leaves the screenshot artefact
# "$1_failure" and runs the test's own on_failure when it defines one; the test's
# on_end runs when it defines one; the mounts it adds to the list mounts are undone;
# the folder and the files it adds to the list scratch go. Called again, it first
# removes the folder of the case before.
fresh_program_home() {
  [ -z "${TEST_NAME:-}" ] || rm -rf "$home"
  home=$(mktemp -d "/tmp/nudgery-$1.XXXXXX")
  export NUDGERY_HOME="$home"
  TEST_NAME=$1
  pid="" wrapper="" spy=""
  pids=() mounts=() scratch=()
  trap end_test EXIT
}
end_test() {
  local status=$? p m
  if [ $status -ne 0 ]; then
    artefact "${TEST_NAME}_failure"
    if declare -F on_failure >/dev/null; then on_failure || true; fi
  fi
  for p in ${spy:-} ${pid:-} ${wrapper:-} "${pids[@]}"; do
    [ -n "$p" ] || continue
    pkill -9 -P "$p" 2>/dev/null || true
    kill -9 "$p" 2>/dev/null || true
  done
  if declare -F on_end >/dev/null; then on_end || true; fi
  for m in "${mounts[@]}"; do
    umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true
  done
  rm -rf "$home" "${scratch[@]}" 2>/dev/null || true
  exit $status
}

# The bytes of standard input as one line of hex digits (for comparing binary files).
hex_of() { od -An -v -tx1 | tr -d ' \n'; }
