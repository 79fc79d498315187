# Sourced by the tests that run the built Tolmeo on an Xvfb display of its own. Tolmeo runs from
# a copy of the run folder, so the user's options file is never touched.

# Exits 77 (the test command counts the test as skipped, not failed) when a tool is missing.
require_tools() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/install-packages.sh)"; exit 77; }
  done
}

# The run folder's program and data in folder $2: the program copied (/proc/self/exe names the
# real file), the read-only data linked, the options copied.
copy_run_folder() {
  cp "$1/tolmeo" "$2/"
  for shared in font sysbmp help image AvrSpec; do ln -s "$1/$shared" "$2/$shared"; done
  mkdir "$2/opt"
  cp "$1/opt/opt.opt" "$2/opt/" 2>/dev/null || true
}

# Starts Xvfb with the screen $2 on a free display, exporting DISPLAY; its pid in xvfb_pid.
# $1 is a scratch folder.
start_xvfb() {
  exec 3>"$1/display"
  Xvfb -displayfd 3 -screen 0 "$2" -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -s "$1/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$1/display")"
}
