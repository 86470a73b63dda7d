#!/usr/bin/env bash
# A second copy started while one runs shows "Nudgery is already running ...",
# ends with status 0 when the box is closed, and touches none of the first copy's
# files, however often it is tried (twenty times in a row), nor when it is started
# from another session (another runtime folder), nor --import-ics. After the first
# copy is killed outright, and after copies killed within their first moments, the
# next start runs normally.
# Runs under scripts/with-desktop.sh; $1 is the nudgery binary.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BIN=$(readlink -f "$1")

fresh_program_home single_instance

# Every file of the program folder with its checksum.
snapshot() { (cd "$home" && find . -type f -print0 | sort -z | xargs -0 -r sha256sum); }


# GIVEN a running copy whose window stays on top
printf '[Preferences]\r\nFormStyle=fsStayOnTop\r\n' >"$home/Tasklyn.INI"
"$BIN" &
first=$!
pids+=("$first")
main=$(window_of "$first" '^Nudgery' 30 || true)
[ -n "$main" ] || fail "the first copy showed no main window"
# Let its start-up writes finish before taking the folder's picture.
before=$(snapshot)
for _ in $(seq 20); do
  sleep 0.5
  now=$(snapshot)
  [ "$now" = "$before" ] && break
  before=$now
done
[ -n "$before" ] || fail "the first copy left no file in its folder"

# WHEN a second copy starts, twenty times in a row
for n in $(seq 20); do
  "$BIN" &
  second=$!
  pids+=("$second")
  box=$(window_of "$second" '^Nudgery freeware$' 20 || true)
  [ -n "$box" ] || fail "second copy $n showed no 'Nudgery freeware' box"
  # The second copy shows that box and nothing else.
  others=$(windows_besides "$second" "$box")
  [ -z "$others" ] || fail "second copy $n opened another window: $(xdotool getwindowname "$(echo "$others" | head -n1)")"
  if [ "$n" -eq 1 ]; then
    # The notice is stacked above the window that stays on top.
    sleep 0.5
    order=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/^[^#]*# //; s/,//g')
    at() { local i=0 w; for w in $order; do [ $((w)) -eq "$1" ] && { echo $i; return; }; i=$((i + 1)); done; echo -1; }
    [ "$(at "$box")" -gt "$(at "$main")" ] || fail "the notice is behind the running copy's window ($order)"
    text=$(box_text "$box") || fail "cannot read the second copy's box"
    [ "$text" = "Nudgery is already running ..." ] || fail "the second copy's box says '$text'"
  fi
  xdotool windowactivate --sync "$box" 2>/dev/null || true
  xdotool key --clearmodifiers Return

  # THEN it ends with status 0 and the first keeps running
  wait_exit "$second" 10 || fail "second copy $n did not end after its box was closed"
  [ "$EXIT_RC" = 0 ] || fail "second copy $n ended with status $EXIT_RC"
  alive "$first" || fail "the first copy ended with second copy $n"
done

# WHEN a copy is started from another session's terminal (another runtime folder)
other_runtime=$(mktemp -d /tmp/nudgery-runtime.XXXXXX)
scratch+=("$other_runtime")
chmod 700 "$other_runtime"
XDG_RUNTIME_DIR="$other_runtime" "$BIN" &
second=$!
pids+=("$second")
box=$(window_of "$second" '^Nudgery freeware$' 20 || true)
[ -n "$box" ] || fail "a copy with another runtime folder did not see the running one"
xdotool windowactivate --sync "$box" 2>/dev/null || true
xdotool key --clearmodifiers Return
wait_exit "$second" 10 || fail "the copy with another runtime folder did not end"
# AND an import from there is refused, writing nothing
printf 'BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VTODO\r\nSUMMARY:Sneaked in\r\nEND:VTODO\r\nEND:VCALENDAR\r\n' >"$other_runtime/one.ics"
rc=0
XDG_RUNTIME_DIR="$other_runtime" "$BIN" --import-ics "$other_runtime/one.ics" 2>"$other_runtime/err" || rc=$?
[ "$rc" = 1 ] || fail "--import-ics beside the running copy ended with status $rc"
grep -q "Nudgery is running" "$other_runtime/err" || fail "--import-ics said: $(cat "$other_runtime/err")"
rm -rf "$other_runtime"

# AND no file of the first copy changed
xdotool search --all --onlyvisible --pid "$first" --name '^Nudgery' >/dev/null || fail "the first copy's window is gone"
[ "$(snapshot)" = "$before" ] || fail "the program folder changed: $(diff <(echo "$before") <(snapshot) || true)"

# WHEN the running copy is killed outright, and then copies are killed within
# their first moments, the next start becomes the running copy
kill -9 "$first"
{ wait "$first" || true; } 2>/dev/null
for delay in 0.005 0.01 0.02 0.04 0.08; do
  "$BIN" &
  early=$!
  sleep "$delay"
  kill -9 "$early" 2>/dev/null || true
  { wait "$early" || true; } 2>/dev/null
done
"$BIN" &
third=$!
pids+=("$third")
main3=$(window_of "$third" '^Nudgery' 30 || true)
[ -n "$main3" ] || fail "no main window after a killed copy"
if xdotool search --all --onlyvisible --pid "$third" --name '^Nudgery freeware$' >/dev/null 2>&1; then
  fail "the stale lock of the killed copy was taken for a running copy"
fi

close_window "$third" "$main3"
[ "$EXIT_RC" = 0 ] || fail "closing the main window ended the program with status '$EXIT_RC'"
echo "PASS"
