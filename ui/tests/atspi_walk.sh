#!/bin/sh
# The AT-SPI check on a desktop of its own: Xvfb, a session bus and the
# accessibility bus, then atspi_walk.py. Exit 77 (skip) where one of them
# cannot start.
#   atspi_walk.sh PROGRAM KALYNTH_CALC SCRIPT
set -u
program=$1 calc=$2 script=$3
for tool in Xvfb dbus-run-session xdotool python3; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
done
launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$launcher" ] || { echo "SKIP: $launcher is missing (apt-get install at-spi2-core)"; exit 77; }
# The distribution's interpreter: python3-pyatspi is installed for it.
PY=/usr/bin/python3
[ -x "$PY" ] || PY=python3
export PY
state=$(mktemp -d)
trap 'kill $xpid 2>/dev/null; rm -rf "$state"' EXIT
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$state/display" >"$state/xvfb.log" 2>&1 &
xpid=$!
i=0
while [ ! -s "$state/display" ] && [ $i -lt 600 ]; do sleep 0.1; i=$((i + 1)); done
[ -s "$state/display" ] || { echo "SKIP: Xvfb did not start"; exit 77; }
DISPLAY=:$(tr -d '\n' <"$state/display")
export DISPLAY
mkdir -m700 "$state/rt" "$state/cfg"
export XDG_RUNTIME_DIR="$state/rt" XDG_CONFIG_HOME="$state/cfg" QT_QPA_PLATFORM=xcb
command -v openbox >/dev/null 2>&1 && { openbox --sm-disable >/dev/null 2>&1 & }
dbus-run-session -- true >/dev/null 2>&1 || { echo "SKIP: dbus-run-session cannot start a session bus"; exit 77; }
# The accessibility bus is up once it answers with its address.
exec dbus-run-session -- sh -c '
  "$0" --launch-immediately >/dev/null 2>&1 &
  i=0
  until dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1; do
    i=$((i + 1))
    [ $i -lt 600 ] || { echo "SKIP: the accessibility bus did not start"; exit 77; }
    sleep 0.1
  done
  "$PY" "$1" "$2" "$3"
' "$launcher" "$script" "$program" "$calc"
