#!/bin/sh
# A desktop for the window tests that need a real window manager: a virtual
# X server (Xvfb) with openbox on it.
#
#   desktop.sh start STATE   starts both; STATE/display holds the display
#                            number. Without Xvfb or openbox it writes the
#                            reason to STATE/missing and succeeds, so the
#                            tests say why they skip.
#   desktop.sh stop STATE    ends the two processes it started
#   desktop.sh run STATE PROGRAM [ARGS]
#                            runs PROGRAM on that desktop (QT_QPA_PLATFORM
#                            xcb), or, when there is none, with
#                            KALYNTH_DESKTOP_MISSING set to the reason
set -u
cmd=$1
state=$2
shift 2

case $cmd in
start)
  rm -rf "$state"
  mkdir -p "$state"
  for tool in Xvfb openbox xprop xwininfo; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "$tool is not installed (apt-get install xvfb openbox x11-utils)" >"$state/missing"
      cat "$state/missing"
      exit 0
    fi
  done
  # Xvfb picks a free display and writes its number to the pipe.
  Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$state/display" >"$state/xvfb.log" 2>&1 &
  echo $! >"$state/xvfb.pid"
  i=0
  while [ ! -s "$state/display" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
  if [ ! -s "$state/display" ]; then
    echo "Xvfb did not start: $(cat "$state/xvfb.log")" >"$state/missing"
    cat "$state/missing"
    rm -f "$state/display"
    exit 0
  fi
  display=:$(tr -d '\n' <"$state/display")
  DISPLAY=$display openbox --sm-disable >"$state/openbox.log" 2>&1 &
  echo $! >"$state/openbox.pid"
  # Ready when the window manager has announced itself on the root window.
  i=0
  until DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    i=$((i + 1))
    if [ $i -ge 100 ]; then
      echo "openbox did not start: $(cat "$state/openbox.log")" >"$state/missing"
      cat "$state/missing"
      exit 0
    fi
    sleep 0.1
  done
  echo "desktop $display with openbox"
  ;;
stop)
  for p in openbox xvfb; do
    [ -s "$state/$p.pid" ] && kill "$(cat "$state/$p.pid")" 2>/dev/null
    rm -f "$state/$p.pid"
  done
  exit 0
  ;;
run)
  if [ -s "$state/display" ] && [ ! -e "$state/missing" ]; then
    DISPLAY=:$(tr -d '\n' <"$state/display") QT_QPA_PLATFORM=xcb exec "$@"
  fi
  KALYNTH_DESKTOP_MISSING=$(cat "$state/missing" 2>/dev/null || echo "the desktop was not started")
  export KALYNTH_DESKTOP_MISSING
  QT_QPA_PLATFORM=offscreen exec "$@"
  ;;
esac
