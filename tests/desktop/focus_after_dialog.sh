#!/usr/bin/env bash
# Tolmeo on a bare X server (no window manager), as after a file dialog: another program's
# window held the keyboard and went away, leaving it to nobody. A click on Tolmeo must give
# Tolmeo the keyboard back, or the text box clicked next takes no keys. Runs from a copy of the
# run folder, so the user's options file is never touched.
set -uo pipefail
run_dir=$(cd "$1" && pwd)
. "$(dirname "$0")/../support/tolmeo_on_xvfb.sh"
require_tools Xvfb xdotool zenity

work=$(mktemp -d)
xvfb_pid="" app_pid="" dialog_pid=""
cleanup() {
  for pid in $dialog_pid $app_pid $xvfb_pid; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
copy_run_folder "$run_dir" "$work"
start_xvfb "$work" 1024x768x24

# The first visible window of a process, waiting up to 30 s for it on a loaded machine.
window_of() {
  for _ in $(seq 300); do
    local window
    window=$(xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -1)
    [ -n "$window" ] && { echo "$window"; return 0; }
    sleep 0.1
  done
  return 1
}

(cd "$work" && exec ./tolmeo) >"$work/tolmeo.log" 2>&1 &
app_pid=$!
window_of "$app_pid" >/dev/null || fail "Tolmeo showed no window: $(cat "$work/tolmeo.log")"

zenity --info --text "dialog" >/dev/null 2>&1 &
dialog_pid=$!
dialog_window=$(window_of "$dialog_pid") || fail "the dialog showed no window"
xdotool windowfocus --sync "$dialog_window"
kill "$dialog_pid"; wait "$dialog_pid" 2>/dev/null; dialog_pid=""
sleep 0.5

# SDL may replace a window when it first shapes it: Tolmeo's window is asked for anew.
tolmeo_window=$(window_of "$app_pid") || fail "Tolmeo's window went away: $(cat "$work/tolmeo.log")"
eval "$(xdotool getwindowgeometry --shell "$tolmeo_window")"
xdotool mousemove $((X + 200)) $((Y + 40)) click 1
for _ in $(seq 50); do
  xdotool search --pid "$app_pid" 2>/dev/null | grep -qx "$(xdotool getwindowfocus 2>/dev/null)" && exit 0
  sleep 0.1
done
fail "after the dialog a click left the keyboard with window $(xdotool getwindowfocus 2>&1), none of Tolmeo's ($(xdotool search --pid "$app_pid" | tr '\n' ' '))"
