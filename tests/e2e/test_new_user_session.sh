#!/usr/bin/env bash
# A new user's first session, from an empty folder, then a second start: three
# tasks added with the keyboard (one due today, one with a three-line note, one in
# a new category), one ticked, archived, brought back from the archive viewer, the
# list sorted by date with a header click, filtered by the category and printed;
# after a restart the agenda names today's task, the list comes back in the saved
# order and the files hold exactly the expected records.
# The clock is fixed at Wednesday 9 December 2026, 10:00 (faketime).
# Runs under scripts/with-desktop.sh; $1 is the nudgery binary.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BIN=$(readlink -f "$1")

fresh_program_home session
# A failing run keeps the files the program left beside the screenshot.
on_failure() {
  [ -n "${NUDGERY_ARTIFACTS:-}" ] || return 0
  mkdir -p "$NUDGERY_ARTIFACTS/session_files"
  cp -r "$home/." "$NUDGERY_ARTIFACTS/session_files/"
}
export FAKETIME_DONT_FAKE_MONOTONIC=1
NOW='2026-12-09 10:00:00'

# Starts the program under the fixed clock; sets wrapper and app.
start_program() {
  faketime "$NOW" "$BIN" &
  wrapper=$!
  pid=$(program_of "$wrapper")
  [ -n "$pid" ] || fail "the program did not start"
}

# Waits for the main window's caption to count $1 tasks.
expect_count() {
  [ -n "$(window_of "$pid" "^Nudgery   \\[ tasks: $1 \\]\$" 10)" ] ||
    fail "$2: the caption is '$(xdotool getwindowname "$main" 2>/dev/null)', not $1 tasks"
}

# The records of a task file, one line each: its ten fields joined by '|'.
records() {
  python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
pos = 0
while pos < len(data):
    (n,) = struct.unpack_from('<i', data, pos)
    text = data[pos + 4:pos + 4 + n]
    pos += 4 + n
    if text.strip(b' '):
        print(text.decode('cp1252').replace('\xa6', '|').replace('\r\n', '\\n'))
PY
}

# One key of the settings file.
setting() { tr -d '\r' <"$home/Tasklyn.INI" | sed -n "/^\\[$1\\]/,/^\\[/s/^$2=//p" | head -n1; }

# Opens the editor with Insert and waits for it.
open_editor() {
  keys_to "$main" Insert
  editor=$(window_of "$pid" '^ Add New Task$' 10)
  [ -n "$editor" ] || fail "Insert opened no editor"
}

# Closes the editor with Ok (key $1) and waits for the caption to count $2 tasks.
ok_editor() {
  keys_to "$editor" "$1"
  wait_gone "$pid" '^ Add New Task$' 10 || fail "the editor stayed open after Ok"
  expect_count "$2" "after adding a task"
}

# Makes the row whose task contains $1 current, through Edit > Search list.
select_task() {
  menu_item "$main" e h
  local search
  search=$(window_of "$pid" '^ Search for :$' 10)
  [ -n "$search" ] || fail "no search dialog"
  type_to "$search" "$1"
  keys_to "$search" Return
  wait_gone "$pid" '^ Search for :$' 10 || fail "the search dialog stayed open"
  local found
  for _ in $(seq 50); do
    found=$(windows_besides "$pid" "$main" | head -n1)
    [ -n "$found" ] && break
    sleep 0.1
  done
  [ -n "$found" ] || fail "the search for '$1' showed no result"
  box_text "$found" | grep -qF "$1" || fail "the search result does not name '$1'"
  keys_to "$found" Return
  for _ in $(seq 50); do [ -z "$(windows_besides "$pid" "$main")" ] && break; sleep 0.1; done
}

# Answers the question box the program shows next with Yes; $1 is its text.
answer_yes() {
  local box=""
  for _ in $(seq 100); do
    box=$(windows_besides "$pid" "$main" | tail -n1)
    [ -n "$box" ] && [ "$box" != "${2:-}" ] && break
    box=""
    sleep 0.1
  done
  [ -n "$box" ] || fail "no question '$1'"
  box_text "$box" | grep -qF "$1" || fail "the question is not '$1': $(box_text "$box")"
  keys_to "$box" y
  wait_gone "$pid" "^$(xdotool getwindowname "$box" 2>/dev/null | sed 's/[][\\.*^$]/\\&/g')\$" 5 || true
}

# Prints with Ctrl+P and echoes the PDF's text.
print_list() {
  pdf_before
  keys_to "$main" ctrl+p
  local pdf
  pdf=$(wait_pdf 40) || fail "Ctrl+P printed nothing"
  scratch+=("$pdf")
  [ -n "${NUDGERY_ARTIFACTS:-}" ] && mkdir -p "$NUDGERY_ARTIFACTS" && cp "$pdf" "$NUDGERY_ARTIFACTS/$1.pdf"
  pdftotext -layout "$pdf" -
}

# === first start in an empty folder ======================================================
start_program
main=$(window_of "$pid" '^Nudgery' 30)
[ -n "$main" ] || fail "no main window"
expect_count 0 "first start"
sleep 1
[ -z "$(windows_besides "$pid" "$main")" ] || fail "the first start showed a message: $(xdotool getwindowname "$(windows_besides "$pid" "$main" | head -n1)")"
for f in Tasklyn.DAT Tasklyn.ARK; do
  [ -f "$home/$f" ] || fail "the first start made no $f"
  [ ! -s "$home/$f" ] || fail "$f is not empty after the first start"
done

# A new category, from the Category menu.
menu_item "$main" c a
dialog=$(window_of "$pid" '^ New Category :$' 10)
[ -n "$dialog" ] || fail "Category > Add Category opened no dialog"
type_to "$dialog" "Garden"
keys_to "$dialog" Return
wait_gone "$pid" '^ New Category :$' 10 || fail "the category dialog stayed open"
[ "$(setting Category Cats)" = 1 ] && [ "$(setting Category 1)" = Garden ] ||
  fail "the category is not stored: Cats=$(setting Category Cats) 1=$(setting Category 1)"

# Task 1: due today (the editor's default date), at the default time.
open_editor
type_to "$editor" "Pay the electricity bill"
ok_editor Return 1

# Task 2: a date typed into the masked field, and a note of three lines. From the
# task field, Tab reaches the date, then eight more the note.
open_editor
type_to "$editor" "Plan the holiday"
keys_to "$editor" Tab
type_to "$editor" "15012027"
keys_to "$editor" Tab Tab Tab Tab Tab Tab Tab Tab
type_to "$editor" "Book the train"
keys_to "$editor" Return
type_to "$editor" "Reserve the hotel"
keys_to "$editor" Return
type_to "$editor" "Pack the bags"
artefact session_editor
ok_editor alt+o 2

# Task 3: in the new category, chosen by typing in the category list.
open_editor
type_to "$editor" "Prune the roses"
keys_to "$editor" Tab
type_to "$editor" "20122026"
keys_to "$editor" Tab Tab Tab Tab Tab Tab Tab
type_to "$editor" "G"
ok_editor Return 3
artefact session_main_window

# === tick, archive, unarchive ============================================================
select_task "Prune the roses"
keys_to "$main" space
sleep 0.5
records "$home/Tasklyn.DAT" | grep -q '^×|Prune the roses|' || fail "ticking did not store the task as done"

select_task "Prune the roses"
menu_item "$main" f a
answer_yes "Sure to archive this Task ?"
expect_count 2 "after archiving"
[ "$(records "$home/Tasklyn.ARK" | cut -d'|' -f1,2)" = "×|Prune the roses" ] ||
  fail "the archive does not hold the ticked task: $(records "$home/Tasklyn.ARK")"

menu_item "$main" f o
viewer=$(window_of "$pid" '^ Nudgery - Archived Events - \[ 1 \]$' 10)
[ -n "$viewer" ] || fail "File > Open Archive showed no viewer with one task"
sleep 0.5
artefact session_archive_viewer
# A double click on the first row unarchives it, after a question.
xdotool mousemove --window "$viewer" 40 24 click --repeat 2 --delay 80 1
answer_yes "Sure to UN-archive this Task ?" "$viewer"
[ -n "$(window_of "$pid" '^ Nudgery - Archived Events - \[ 0 \]$' 10)" ] || fail "the viewer still lists the task"
keys_to "$viewer" Escape
wait_gone "$pid" '^ Nudgery - Archived Events' 10 || keys_to "$viewer" alt+F4
wait_gone "$pid" '^ Nudgery - Archived Events' 10 || fail "the archive viewer did not close"
expect_count 3 "after unarchiving"
[ ! -s "$home/Tasklyn.ARK" ] || fail "the archive is not empty after unarchiving: $(records "$home/Tasklyn.ARK")"

# === sort by date with a click on the Date header ========================================
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove --window "$main" $((WIDTH - 85)) "${DATE_HEADER_Y:-55}" click 1
for _ in $(seq 30); do [ "$(setting Preferences Sorted)" = Date ] && break; sleep 0.1; done
[ "$(setting Preferences Sorted)" = Date ] || fail "the header click did not sort by date (Sorted=$(setting Preferences Sorted))"

# === filter by the category, print ========================================================
# Category menu: Add, Delete, All Items, then the categories.
keys_to "$main" alt+c Down Down Down Return
expect_count 1 "filtered by Garden"
printed=$(print_list session_filtered)
echo "$printed" | grep -q 'Prune the roses' || fail "the printed list lacks the filtered task: $printed"
if echo "$printed" | grep -qE 'Pay the electricity bill|Plan the holiday'; then
  fail "the printed list holds tasks of other categories: $printed"
fi

# === exit ==================================================================================
keys_to "$main" ctrl+x
wait_exit "$wrapper" 20 || fail "Ctrl+X did not end the program"
[ "$EXIT_RC" = 0 ] || fail "the program ended with status $EXIT_RC"
pid=""
wrapper=""

# Exactly three records, compacted, in the saved order (date, newest first).
expected=$(cat <<'RECORDS'
|Plan the holiday|15/01/2027|09:30||@|2027-01-15 09:30||18|Book the train\nReserve the hotel\nPack the bags
×|Prune the roses|20/12/2026|09:30||@|2026-12-20 09:30|Garden|18|
|Pay the electricity bill|09/12/2026|09:30||@|2026-12-09 09:30||18|
RECORDS
)
# The order field is the record's place in the file it was read from: not compared.
actual=$(records "$home/Tasklyn.DAT" | awk -F'|' 'BEGIN { OFS = "|" } { $6 = "@"; print }')
[ "$actual" = "$expected" ] || { diff <(echo "$expected") <(echo "$actual") >&2 || true; fail "the task file holds other records"; }
[ ! -s "$home/Tasklyn.ARK" ] || fail "the archive is not empty"
[ "$(setting Preferences SortedOrdr)" = 1 ] || fail "SortedOrdr=$(setting Preferences SortedOrdr)"

# === restart ===============================================================================
start_program
agenda=$(window_of "$pid" '^ Nudgery$' 30)
[ -n "$agenda" ] || fail "no agenda at the second start"
text=$(box_text "$agenda")
echo "$text" | grep -qx 'Things ToDo today :' || fail "the agenda reads: $text"
# Today's task is the third row in the saved order.
echo "$text" | grep -qx '3 - Pay the electricity bill' || fail "the agenda does not list today's task as row 3: $text"
[ "$(echo "$text" | grep -c ' - ')" = 1 ] || fail "the agenda lists more than today's open task: $text"
keys_to "$agenda" Return
main=$(window_of "$pid" '^Nudgery   ' 20)
[ -n "$main" ] || fail "no main window at the second start"
expect_count 3 "second start"
printed=$(print_list session_restarted)
order=$(echo "$printed" | grep -oE 'Plan the holiday|Prune the roses|Pay the electricity bill' | paste -sd,)
[ "$order" = "Plan the holiday,Prune the roses,Pay the electricity bill" ] ||
  fail "the list did not come back in the saved order: $order"
artefact session_restarted

keys_to "$main" ctrl+x
wait_exit "$wrapper" 20 || fail "Ctrl+X did not end the second run"
[ "$EXIT_RC" = 0 ] || fail "the second run ended with status $EXIT_RC"
pid=""
wrapper=""
actual=$(records "$home/Tasklyn.DAT" | awk -F'|' 'BEGIN { OFS = "|" } { $6 = "@"; print }')
[ "$actual" = "$expected" ] || { diff <(echo "$expected") <(echo "$actual") >&2 || true; fail "a session without changes left other records"; }
echo PASS
