#!/usr/bin/env bash
# Tolmeo on a bare X server (no window manager), as after a file dialog: another program's
# window held the keyboard and went away, leaving it to nobody. A click on Tolmeo must give
# Tolmeo the keyboard back, or the text box clicked next takes no keys. Runs from a copy of the
# run folder, so the user's options file is never touched.
set -uo pipefail
run_dir=$(cd "$1" && pwd)
for tool in Xvfb xdotool zenity; do
  # 77: the test command counts the test as skipped, not failed.
  command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/install-packages.sh)"; exit 77; }
done

work=$(mktemp -d)
xvfb_pid="" app_pid="" dialog_pid=""
cleanup() {
  for pid in $dialog_pid $app_pid $xvfb_pid; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
cp "$run_dir/tolmeo" "$work/"  # /proc/self/exe names the real file: a copy, not a link
for shared in font sysbmp help image AvrSpec; do ln -s "$run_dir/$shared" "$work/$shared"; done
mkdir "$work/opt"
cp "$run_dir/opt/opt.opt" "$work/opt/" 2>/dev/null || true

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"

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
tolmeo_window=$(window_of "$app_pid") || fail "Tolmeo showed no window: $(cat "$work/tolmeo.log")"

zenity --info --text "dialog" >/dev/null 2>&1 &
dialog_pid=$!
dialog_window=$(window_of "$dialog_pid") || fail "the dialog showed no window"
xdotool windowfocus --sync "$dialog_window"
kill "$dialog_pid"; wait "$dialog_pid" 2>/dev/null; dialog_pid=""
sleep 0.5

eval "$(xdotool getwindowgeometry --shell "$tolmeo_window")"
xdotool mousemove $((X + 200)) $((Y + 40)) click 1
for _ in $(seq 50); do
  [ "$(xdotool getwindowfocus 2>/dev/null)" = "$tolmeo_window" ] && exit 0
  sleep 0.1
done
fail "after the dialog a click left the keyboard with window $(xdotool getwindowfocus 2>&1), not Tolmeo's $tolmeo_window"
