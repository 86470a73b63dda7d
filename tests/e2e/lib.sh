# Shared helpers of the whole-program tests; sourced by tests/e2e/test_*.sh.

fail() { echo "FAIL: $*" >&2; exit 1; }

# The window of process $1 whose name matches $2, waiting up to $3 seconds.
window_of() {
  timeout "$3" xdotool search --all --sync --onlyvisible --pid "$1" --name "$2" 2>/dev/null | head -n1
}

# The program's process under the faketime wrapper $1 (faketime forks).
program_of() {
  local child=""
  for _ in $(seq 50); do
    child=$(pgrep -P "$1" | head -n1) && [ -n "$child" ] && break
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
