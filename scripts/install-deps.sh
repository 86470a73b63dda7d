#!/usr/bin/env bash
# Installs the Debian packages Nudgery needs to build, test and run.
# Silent when everything is already there.
# --fuzz: only what `make fuzz` needs (clang and its libFuzzer/sanitizer runtimes).
set -euo pipefail

FUZZ=0
[ "${1:-}" = "--fuzz" ] && FUZZ=1

PKGS=(
  # build and unit tests
  g++ cmake ninja-build make ccache clang-format pkgconf qt6-base-dev libxcb1-dev libgtest-dev libgmock-dev libbenchmark-dev
  poppler-utils fonts-liberation2 locales
  # whole-program tests: display, window manager, tray host, printing, clock
  xvfb xauth openbox trayer xdotool x11-utils xclip imagemagick faketime
  # iCalendar export (libical) and the second parser its test reads it back with
  libical-dev python3-icalendar
  cups printer-driver-cups-pdf
  # desktop notifications: a private session bus and a notification daemon
  dbus-daemon dbus-bin dunst
  # CalDAV sync: QtKeychain (and libsecret, which it loads at run time) for the
  # password; the servers, another client and a headless secret store for its tests
  qtkeychain-qt6-dev libsecret-1-0 radicale xandikos python3-caldav gnome-keyring
  libsecret-tools libglib2.0-bin
  # a certificate of its own for the https test server
  openssl
  # whole-program test under Wayland: a compositor with a headless backend, Qt's plugin
  qt6-wayland weston
  # package checks: software-centre data, desktop entry, the .deb, the manual page
  appstream desktop-file-utils lintian man-db groff-base
)
[ "$FUZZ" -eq 1 ] && PKGS=(clang libclang-rt-14-dev cmake ninja-build make pkgconf qt6-base-dev libxcb1-dev libical-dev)

missing=()
for p in "${PKGS[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

[ "$FUZZ" -eq 1 ] && exit 0

# Tests run under fixed locales; a fresh machine has only C and C.utf8.
need_locales=()
for l in en_US en_GB pt_PT; do
  if ! locale -a 2>/dev/null | grep -qi "^${l}\.utf-\?8$"; then
    need_locales+=("$l")
  fi
done
if [ ${#need_locales[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  for l in "${need_locales[@]}"; do
    $SUDO sed -i "s/^# *\(${l}\.UTF-8 UTF-8\)/\1/" /etc/locale.gen
  done
  $SUDO locale-gen >/dev/null
fi
exit 0
