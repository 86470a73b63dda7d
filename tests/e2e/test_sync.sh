#!/usr/bin/env bash
# CalDAV sync as a new user meets it, against a real Radicale that asks for a
# password. nudgery --sync-setup finds the task calendar and keeps the password in
# the desktop's secret store (gnome-keyring on a private session bus), nowhere in
# the program folder; nudgery --sync sends the tasks. Another client (python3-
# caldav, for a phone) adds a task with a repeat rule and an alarm; the window,
# started, syncs at once and holds it; a tick there reaches the server moments
# later with the rule and the alarm kept. Beside the running copy the command
# line is refused. A second program folder, in Portuguese, is set up through
# File > Synchronisation... and receives the tasks.
# Runs under scripts/with-desktop.sh; $1 is the nudgery binary.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
BIN=$(readlink -f "$1")
PHONE=$(dirname "$(readlink -f "$0")")/../sync/phone.py
PASSWORD='p4ss wörd'

work=$(mktemp -d /tmp/nudgery-sync.XXXXXX)
pids=()
app=""
cleanup() {
  local status=$? i
  [ -n "$app" ] && kill -9 "$app" 2>/dev/null || true
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[$i]}" 2>/dev/null || true
    wait "${pids[$i]}" 2>/dev/null || true
  done
  rm -rf "$work"
  exit $status
}
trap cleanup EXIT

# --- Radicale with one user ------------------------------------------------------
printf 'alice:%s\n' "$PASSWORD" >"$work/users"
cat >"$work/radicale.conf" <<CONF
[server]
hosts = 127.0.0.1:0
[auth]
type = htpasswd
htpasswd_filename = $work/users
htpasswd_encryption = plain
delay = 0
[rights]
type = owner_only
[storage]
filesystem_folder = $work/collections
[logging]
level = info
CONF
radicale --config "$work/radicale.conf" 2>"$work/radicale.log" &
pids+=($!)
for _ in $(seq 100); do grep -q 'Radicale server ready' "$work/radicale.log" && break; sleep 0.1; done
port=$(sed -n "s/.*Listening on '\[127.0.0.1\]:\([0-9]*\)'.*/\1/p" "$work/radicale.log")
[ -n "$port" ] || fail "Radicale did not start"

# --- a session bus with an unlocked keyring ----------------------------------------
export HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share"
mkdir -p "$HOME"
dbus-daemon --session --nofork --print-address=1 >"$work/bus" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/bus" ] && break; sleep 0.1; done
export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/bus")
printf '%s' 'keyring-password' | gnome-keyring-daemon --foreground --components=secrets --unlock \
  --control-directory="$XDG_RUNTIME_DIR/keyring" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.NameHasOwner org.freedesktop.secrets 2>/dev/null | grep -q true && break
  sleep 0.1
done

# --- the command line ----------------------------------------------------------------
home="$work/program"
mkdir -p "$home"
{
  task_record "Buy stamps"
  task_record "Call Bob"
} >"$home/Tasklyn.DAT"
: >"$home/Tasklyn.ARK"
printf '[Preferences]\r\nMyDateFormat=dd/MM/yyyy\r\n' >"$home/Tasklyn.INI"
export NUDGERY_HOME="$home"

chosen=$(printf '%s' "$PASSWORD" | "$BIN" --sync-setup "http://127.0.0.1:$port/" --user alice) ||
  fail "--sync-setup failed: $chosen"
calendar="http://127.0.0.1:$port/alice/nudgery/"
[ "$chosen" = "Nudgery $calendar" ] || fail "--sync-setup chose: $chosen"
stored=$(secret-tool lookup server 'Nudgery CalDAV' user "alice@http://127.0.0.1:$port") ||
  fail "the password is not in the secret store"
[ "$stored" = "$PASSWORD" ] || fail "the secret store holds another password"

said=$("$BIN" --sync </dev/null) || fail "--sync failed: $said"
echo "$said" | grep -q '^Sent 2, received 0' || fail "--sync said: $said"
phone() { /usr/bin/python3 "$PHONE" "$calendar" alice "$PASSWORD" "$@"; }
# Whether a line of the server's list matches the pattern (grep's basic syntax).
server_has() {
  local list
  list=$(phone list)
  grep -q -- "$1" <<<"$list"
}
[ "$(phone list)" = "$(printf 'Buy stamps||1|||\nCall Bob||1|||')" ] || fail "the server holds: $(phone list)"
phone add "Water plants" "DUE;VALUE=DATE:20300601" "RRULE:FREQ=WEEKLY" "BEGIN:VALARM" \
  "ACTION:DISPLAY" "DESCRIPTION:Water" "TRIGGER:-PT15M" "END:VALARM"

# --- the window syncs at start-up, and moments after a change -----------------------
"$BIN" &
app=$!
win=$(window_of "$app" '^Nudgery   \[ tasks: ' 30)
[ -n "$win" ] || fail "no main window"
for _ in $(seq 100); do record_tasks "$home/Tasklyn.DAT" | grep -qx 'Water plants' && break; sleep 0.2; done
record_tasks "$home/Tasklyn.DAT" | grep -qx 'Water plants' || fail "the start-up sync brought nothing"
out=$("$BIN" --sync </dev/null 2>&1) && fail "--sync ran beside the running copy"
echo "$out" | grep -q 'Nudgery is running' || fail "--sync beside the running copy said: $out"

# Space ticks the current task; the server hears of it a few seconds later.
keys_to "$win" ctrl+Home space
for _ in $(seq 100); do server_has '|COMPLETED|' && break; sleep 0.2; done
artefact sync
server_has '|COMPLETED|' || fail "the tick did not reach the server: $(phone list)"
server_has '^Water plants|[A-Z]*||FREQ=WEEKLY|1|$' ||
  fail "the repeat rule or the alarm was lost: $(phone list)"
close_window "$app" "$win"
app=""

# --- a second computer, set up in the window, in Portuguese ---------------------------
second="$work/second"
mkdir -p "$second"
: >"$second/Tasklyn.DAT"
: >"$second/Tasklyn.ARK"
printf '[Preferences]\r\nMyDateFormat=dd/MM/yyyy\r\n[Options]\r\nLanguage=Portuguese\r\n' \
  >"$second/Tasklyn.INI"
NUDGERY_HOME="$second" "$BIN" &
app=$!
win=$(window_of "$app" '^Nudgery   \[ tasks: ' 30)
[ -n "$win" ] || fail "no main window in the second folder"
menu_item "$win" f z # Ficheiro > Sincronização...
dialog=$(window_of "$app" '^Sincronização$' 10)
[ -n "$dialog" ] || fail "no Synchronisation dialog"
type_to "$dialog" "http://127.0.0.1:$port/"
xdotool key Tab
xdotool type --delay 20 alice
xdotool key Tab
# Pasted: xdotool types a character outside the keymap by remapping a key for
# it, which a busy display can miss.
printf '%s' "$PASSWORD" | xclip -i -selection clipboard >/dev/null 2>&1
xdotool key ctrl+v
xdotool key alt+t # Testar ligação
sleep 2
artefact sync-dialog-pt
xdotool key Return # OK: the calendar found, stored, and a sync at once
for _ in $(seq 100); do record_tasks "$second/Tasklyn.DAT" | grep -qx 'Water plants' && break; sleep 0.2; done
record_tasks "$second/Tasklyn.DAT" | grep -qx 'Water plants' || fail "the dialog's sync brought nothing"
grep -q "^Calendar=$calendar" "$second/Tasklyn.INI" || fail "the dialog stored no calendar"
close_window "$app" "$win"
app=""

# The password is in no file of the program.
for folder in "$home" "$second"; do
  if grep -rl --binary-files=text 'p4ss' "$folder"; then fail "the password is in $folder"; fi
done
echo "ok"
