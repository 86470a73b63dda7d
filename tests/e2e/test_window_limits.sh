#!/usr/bin/env bash
# The main window's size limits hold for the outer window, frame and caption
# included: 360 x 240 at least, the screen at most.
# Runs under scripts/with-desktop.sh; $1 is the nudgery binary.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BIN=$(readlink -f "$1")

fresh_program_home window_limits

"$BIN" &
pid=$!
main=$(window_of "$pid" '^Nudgery' 30)
[ -n "$main" ] || fail "no main window"

# The frame the window manager put round the window: its size is the outer size.
frame=$(xwininfo -children -id "$main" | sed -n 's/^ *Parent window id: \(0x[0-9a-f]*\).*/\1/p')
outer() { xwininfo -id "$frame" | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w "x" h}'; }
screen=$(xwininfo -root | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w "x" h}')

settle() { sleep 0.7; }
xdotool windowsize "$main" 50 50
settle
[ "$(outer)" = "360x240" ] || fail "smallest outer size $(outer), not 360x240"

xdotool windowsize "$main" 4000 3000
settle
read -r w h <<<"$(outer | tr x ' ')"
read -r sw sh <<<"$(echo "$screen" | tr x ' ')"
[ "$w" -le "$sw" ] && [ "$h" -le "$sh" ] || fail "outer size ${w}x${h} beyond the screen ${sw}x${sh}"
[ "$w" -eq "$sw" ] && [ "$h" -eq "$sh" ] || fail "largest outer size ${w}x${h}, not the screen ${sw}x${sh}"
echo PASS
