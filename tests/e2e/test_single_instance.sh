#!/usr/bin/env bash
# A second copy started while one runs shows "Nudgery is already running ...",
# ends with status 0 when the box is closed, and touches none of the first copy's
# files, however often it is tried (twenty times in a row). After the first copy
# is killed outright, the next start runs normally.
# Runs under scripts/with-desktop.sh; $1 is the nudgery binary.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BIN=$(readlink -f "$1")

home=$(mktemp -d /tmp/nudgery-single.XXXXXX)
pids=()
cleanup() {
  local status=$?
  if [ $status -ne 0 ] && [ -n "${NUDGERY_ARTIFACTS:-}" ]; then
    mkdir -p "$NUDGERY_ARTIFACTS"
    import -window root "$NUDGERY_ARTIFACTS/single_instance.png" 2>/dev/null || true
  fi
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done
  rm -rf "$home"
  exit $status
}
trap cleanup EXIT

# Every file of the program folder with its checksum.
snapshot() { (cd "$home" && find . -type f -print0 | sort -z | xargs -0 -r sha256sum); }

export NUDGERY_HOME="$home"

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

# AND no file of the first copy changed
xdotool search --all --onlyvisible --pid "$first" --name '^Nudgery' >/dev/null || fail "the first copy's window is gone"
[ "$(snapshot)" = "$before" ] || fail "the program folder changed: $(diff <(echo "$before") <(snapshot) || true)"
[ ! -e "$home/Tasklyn.lock" ] || fail "a lock file in the program folder"

# WHEN the running copy is killed outright, the next start becomes the running copy
kill -9 "$first"
{ wait "$first" || true; } 2>/dev/null
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
