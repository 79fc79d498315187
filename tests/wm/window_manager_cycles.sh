#!/usr/bin/env bash
# Tolmeo under Xvfb with a real window manager (openbox), driven by xdotool: start, move,
# resize, minimise and restore, maximise by a double click on the tab, drag the tab, close.
# Twenty cycles; any cycle whose Tolmeo dies, hangs or ends on an X error fails the test. The
# program runs from a copy of the run folder, so the user's options file is never touched.
set -uo pipefail
run_dir=$(cd "$1" && pwd)
cycles=${2:-20}
. "$(dirname "$0")/../support/tolmeo_on_xvfb.sh"
require_tools Xvfb openbox xdotool

work=$(mktemp -d)
xvfb_pid="" wm_pid="" app_pid=""
cleanup() {
  for pid in $app_pid $wm_pid $xvfb_pid; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
copy_run_folder "$run_dir" "$work"
start_xvfb "$work" 1280x800x24
openbox >/dev/null 2>&1 &
wm_pid=$!
sleep 0.5

# Tolmeo's main window (SDL may replace a window when it first shapes it, so asked anew).
# Its balloons and lists carry the same title; the main window is the largest.
main_window() {
  local id best="" best_area=0
  for id in $(xdotool search --onlyvisible --pid "$app_pid" --name '^Tolmeo$' 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)" || continue
    if [ $((WIDTH * HEIGHT)) -gt "$best_area" ]; then best=$id best_area=$((WIDTH * HEIGHT)); fi
  done
  echo "$best"
}

fail() { echo "cycle $1: $2"; cat "$work/log"; exit 1; }

for cycle in $(seq "$cycles"); do
  "$work/tolmeo" >"$work/log" 2>&1 &
  app_pid=$!
  window=""
  for _ in $(seq 300); do  # a loaded machine may take seconds to start it
    window=$(main_window)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || fail "$cycle" "no window came up"
  xdotool windowmove "$window" 100 80 2>/dev/null
  xdotool windowsize "$window" 700 420 2>/dev/null
  sleep 0.1
  xdotool windowminimize "$window" 2>/dev/null
  sleep 0.1
  xdotool windowmap "$window" windowactivate "$window" 2>/dev/null
  # Until the restored window shows again there is none to click: without it xdotool would
  # measure the root window and click the desktop.
  window=""
  for _ in $(seq 100); do
    window=$(main_window)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || fail "$cycle" "the window did not come back after the restore"
  eval "$(xdotool getwindowgeometry --shell "$window" 2>/dev/null)"
  # The tab is the caption's left end, above the menu bar.
  xdotool mousemove $((X + 30)) $((Y + 8)) click --repeat 2 --delay 80 1 2>/dev/null
  sleep 0.2
  xdotool mousemove $((X + 30)) $((Y + 8)) click --repeat 2 --delay 80 1 2>/dev/null
  sleep 0.2
  window=$(main_window)
  eval "$(xdotool getwindowgeometry --shell "$window" 2>/dev/null)"
  xdotool mousemove $((X + 30)) $((Y + 8)) mousedown 1 mousemove_relative 40 30 \
    mousemove_relative 40 30 mouseup 1
  sleep 0.1
  if ! kill -0 "$app_pid" 2>/dev/null; then wait "$app_pid"; fail "$cycle" "Tolmeo died ($?)"; fi
  window=$(main_window)
  # Alt+F4 is the window manager's key: it must come as real key presses once the window is
  # active. Sent with --window to a window not yet active, it closed nothing, Alt stayed held,
  # and openbox's close request later reached the next cycle's Tolmeo just after it started.
  xdotool windowactivate --sync "$window" 2>/dev/null
  xdotool key --clearmodifiers alt+F4 2>/dev/null
  for _ in $(seq 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$app_pid" 2>/dev/null; then
    kill "$app_pid"  # the close path again, through SIGTERM
  fi
  wait "$app_pid"
  status=$?
  app_pid=""
  [ "$status" -eq 0 ] || fail "$cycle" "Tolmeo ended with status $status"
  ! grep -q "X Error of failed request" "$work/log" || fail "$cycle" "an X error ended Tolmeo"
done
echo "$cycles cycles under openbox without a crash"
