#!/usr/bin/env bash
# Ticking "Auto Run [on Windows start]" in the preferences and confirming writes
# the log-in entry. A desktop session that starts the program from that entry's
# Exec line passes "/ar": with WeekendStop=1 on a Saturday the weekend box shows,
# which only an automatic start does. The program file lies in a folder whose
# name needs quoting and escaping in the entry. Unticking removes the entry.
# Runs under scripts/with-desktop.sh; $1 is the nudgery binary.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BIN=$(readlink -f "$1")

fresh_program_home autostart
work=$(mktemp -d /tmp/nudgery-autostart-apps.XXXXXX) # the program's copy and the desktop's folders
scratch+=("$work")

# Blanks, a double quote, a dollar sign, a backslash and a percent sign.
appdir="$work/My \"Apps\" \$HOME\\x 100%"
mkdir -p "$appdir"
PROG="$appdir/nudgery"
cp "$BIN" "$PROG"
ENTRY="$XDG_CONFIG_HOME/autostart/Tasklyn.desktop"

export FAKETIME_DONT_FAKE_MONOTONIC=1
INI="$NUDGERY_HOME/Tasklyn.INI"
printf '[Preferences]\r\nWeekendStop=1\r\n' >"$INI"

# Clicks the preferences dialog at a point of its designed 290 x 504 layout; the
# dialog keeps that layout, scaled to its font.
click_design() {
  local WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(WIDTH|HEIGHT)=')"
  xdotool mousemove --window "$1" $((($2 * WIDTH + 145) / 290)) $((($3 * HEIGHT + 252) / 504)) click 1
  sleep 0.3
}

# Starts the program by hand, opens the preferences from the View menu, clicks
# "Auto Run [on Windows start]" and confirms with Ok, then closes the program.
toggle_autorun() {
  "$PROG" &
  local p=$!
  pids+=("$p")
  local main dialog
  main=$(window_of "$p" '^Nudgery  ' 30)
  [ -n "$main" ] || fail "$1: no main window"
  xdotool windowactivate --sync "$main" 2>/dev/null || true
  xdotool key --clearmodifiers alt+v
  sleep 0.5
  xdotool key o
  dialog=$(window_of "$p" '^  Preferences \.\.\.$' 10)
  [ -n "$dialog" ] || fail "$1: no preferences dialog"
  click_design "$dialog" 14 181 # the auto-run box
  artefact "autostart_$1"
  click_design "$dialog" 175 490 # Ok
  for _ in $(seq 30); do alive "$p" && [ -z "$(xdotool search --onlyvisible --pid "$p" --name 'Preferences' 2>/dev/null)" ] && break; sleep 0.1; done
  main=$(window_of "$p" '^Nudgery  ' 10)
  close_window "$p" "$main"
  [ "$EXIT_RC" = 0 ] || fail "$1: the program ended with status '$EXIT_RC'"
}

# The arguments of a desktop entry's Exec value, into ARGV: first the string
# escapes of the value, then the quoting of arguments, then the field codes.
exec_argv() {
  local raw=$1 s="" arg="" i c n inarg=0 quoted=0
  for ((i = 0; i < ${#raw}; i++)); do
    c=${raw:i:1}
    if [ "$c" = '\' ] && ((i + 1 < ${#raw})); then
      i=$((i + 1))
      n=${raw:i:1}
      case $n in
        s) s+=' ' ;;
        n) s+=$'\n' ;;
        t) s+=$'\t' ;;
        r) s+=$'\r' ;;
        '\') s+='\' ;;
        *) s+="\\$n" ;;
      esac
    else
      s+=$c
    fi
  done
  ARGV=()
  for ((i = 0; i < ${#s}; i++)); do
    c=${s:i:1}
    if ((quoted)); then
      if [ "$c" = '\' ] && ((i + 1 < ${#s})); then
        i=$((i + 1))
        arg+=${s:i:1}
      elif [ "$c" = '"' ]; then
        quoted=0
      else
        arg+=$c
      fi
    elif [ "$c" = '"' ]; then
      quoted=1
      inarg=1
    elif [ "$c" = ' ' ] || [ "$c" = $'\t' ] || [ "$c" = $'\n' ]; then
      if ((inarg)); then ARGV+=("$arg"); fi
      arg=""
      inarg=0
    else
      arg+=$c
      inarg=1
    fi
  done
  if ((inarg)); then ARGV+=("$arg"); fi
  for i in "${!ARGV[@]}"; do
    arg=${ARGV[i]//%%/$'\x01'}
    arg=$(printf '%s' "$arg" | sed 's/%[a-zA-Z]//g')
    ARGV[i]=${arg//$'\x01'/%}
  done
  return 0
}

# --- tick auto-run and confirm ------------------------------------------------------
toggle_autorun tick
[ -f "$ENTRY" ] || fail "no autostart entry at $ENTRY"
grep -q '^AutoRun=1' "$INI" || fail "AutoRun=1 not stored: $(tr '\r\n' '  ' <"$INI")"
grep -q '^WeekendStop=1' "$INI" || fail "WeekendStop=1 not kept"
grep -qx '\[Desktop Entry\]' "$ENTRY" || fail "not a desktop entry: $(cat "$ENTRY")"
grep -qx 'Type=Application' "$ENTRY" || fail "no Type=Application: $(cat "$ENTRY")"
exec_line=$(sed -n 's/^Exec=//p' "$ENTRY")
[ -n "$exec_line" ] || fail "no Exec line: $(cat "$ENTRY")"
exec_argv "$exec_line"
[ "${#ARGV[@]}" = 2 ] || fail "Exec gives ${#ARGV[@]} arguments: $exec_line"
[ "${ARGV[0]}" = "$PROG" ] || fail "Exec names '${ARGV[0]}', not '$PROG'"
[ "${ARGV[1]}" = "/ar" ] || fail "Exec passes '${ARGV[1]}', not /ar"

# --- start it as the session does, on a Saturday ----------------------------------------
ini_before=$(sha256sum <"$INI")
faketime '2026-12-12 10:00:00' "${ARGV[@]}" &
p=$!
pids+=("$p")
box=$(window_of "$(program_of "$p")" '^Nudgery  \[ dialog closes in 5 sec \]$' 20)
[ -n "$box" ] || fail "the automatic start on a Saturday showed no weekend box"
xdotool windowactivate --sync "$box" 2>/dev/null || true
xdotool key --clearmodifiers Return
wait_exit "$p" 10 || fail "the weekend start did not end"
[ "$EXIT_RC" = 0 ] || fail "the weekend start ended with status $EXIT_RC"
[ "$(sha256sum <"$INI")" = "$ini_before" ] || fail "the weekend start changed the settings file"

# --- untick: the entry goes -----------------------------------------------------------------
toggle_autorun untick
[ ! -e "$ENTRY" ] || fail "the autostart entry is still there after unticking"
grep -q '^AutoRun=0' "$INI" || fail "AutoRun=0 not stored"
grep -q '^WeekendStop=0' "$INI" || fail "unticking auto-run kept the weekend stop"
echo "PASS"
