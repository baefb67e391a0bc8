#!/bin/sh
# Runs a test program against an X server of its own (Xvfb), bare or under a window manager,
# so that focus, activation and pointer crossings come from a real server.
#   run_under_x.sh none|openbox PROGRAM [ARGS...]
# Exits 77 (skipped) when the server or the window manager is not installed.
set -eu
wm=$1
shift
command -v xvfb-run >/dev/null 2>&1 || { echo "xvfb-run is not installed"; exit 77; }
if [ "$wm" != none ]; then
  command -v "$wm" >/dev/null 2>&1 || { echo "$wm is not installed"; exit 77; }
fi
if [ -n "${XDG_RUNTIME_DIR:-}" ]; then
  rm -rf "$XDG_RUNTIME_DIR"
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
fi

# Tests that start servers at the same moment search for a free display from numbers of their own.
exec xvfb-run -a -n $((100 + $$ % 800)) -s "-nolisten tcp -screen 0 1280x1024x24" sh -c '
  wm=$1
  shift
  if [ "$wm" != none ]; then
    "$wm" >/dev/null 2>&1 &
    wmpid=$!
    # The manager has taken the screen once it names its check window on the root window.
    i=0
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
      i=$((i + 1))
      if [ $i -gt 200 ]; then echo "$wm did not start"; kill $wmpid; exit 1; fi
      sleep 0.05
    done
  fi
  rc=0
  QT_QPA_PLATFORM=xcb "$@" || rc=$?
  if [ "$wm" != none ]; then kill $wmpid 2>/dev/null || true; fi
  exit $rc
' sh "$wm" "$@"
