#!/usr/bin/env bash
# Runs a command on a private X display with a window manager, a tray host and
# a default print queue "NudgeryPDF" (cups-pdf), then stops what it started.
#   scripts/with-desktop.sh COMMAND [ARG...]
# Exports DISPLAY, and fresh XDG_RUNTIME_DIR and XDG_CONFIG_HOME folders.
set -uo pipefail

if [ $# -eq 0 ]; then
  echo "usage: $0 COMMAND [ARG...]" >&2
  exit 2
fi

PIDS=()
TMPS=()
cleanup() {
  local i
  for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do kill "${PIDS[$i]}" 2>/dev/null || true; done
  for p in "${PIDS[@]}"; do wait "$p" 2>/dev/null || true; done
  for d in "${TMPS[@]}"; do rm -rf "$d"; done
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

fail() { echo "with-desktop: $*" >&2; exit 1; }

# --- X server on the first free display ------------------------------------------
work=$(mktemp -d /tmp/with-desktop.XXXXXX) || fail "no temporary folder"
TMPS+=("$work")
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
PIDS+=($!)
display=""
for _ in $(seq 200); do
  # Xvfb writes the number and a newline once it accepts clients.
  if [ -s "$work/display" ] && [ "$(tail -c1 "$work/display" | od -An -c | tr -d ' ')" = '\n' ]; then
    display=$(tr -d '\n' <"$work/display")
    break
  fi
  kill -0 "${PIDS[0]}" 2>/dev/null || break
  sleep 0.05
done
[ -n "$display" ] || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
export DISPLAY=":$display"

export XDG_RUNTIME_DIR="$work/runtime"
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME"
chmod 700 "$XDG_RUNTIME_DIR"
# No session bus here: Qt's tray falls back to the X11 tray protocol.
unset DBUS_SESSION_BUS_ADDRESS

# --- window manager and tray host --------------------------------------------------
openbox >"$work/openbox.log" 2>&1 &
PIDS+=($!)
trayer --edge top --align right --widthtype request --height 24 >"$work/trayer.log" 2>&1 &
PIDS+=($!)

# --- print queue --------------------------------------------------------------------
cups_up() { [ "$(lpstat -r 2>/dev/null)" = "scheduler is running" ]; }
if command -v lpstat >/dev/null; then
  if ! cups_up && [ -x /usr/sbin/cupsd ]; then
    /usr/sbin/cupsd -f >"$work/cupsd.log" 2>&1 &
    PIDS+=($!)
    for _ in $(seq 100); do cups_up && break; sleep 0.1; done
  fi
  if cups_up; then
    if lpadmin -p NudgeryPDF -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd \
        -o pdftops-renderer-default=pdftocairo 2>"$work/lpadmin.log"; then
      lpadmin -d NudgeryPDF && lpoptions -d NudgeryPDF >/dev/null
    else
      echo "with-desktop: could not set up the NudgeryPDF queue: $(cat "$work/lpadmin.log")" >&2
    fi
  else
    echo "with-desktop: no print scheduler running" >&2
  fi
fi

# Let the window manager and the tray host claim their selections.
for _ in $(seq 50); do
  xdotool search --class trayer >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 1

"$@"
