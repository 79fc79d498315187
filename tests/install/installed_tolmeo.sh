#!/usr/bin/env bash
# Tolmeo as a user gets it from `cmake --install`: installed into a temporary prefix, run from
# another folder with a home of its own. One check per run, named by the second argument:
#   programs  tolmeo-cli lists the descriptions and runs the automatic sequence on a virtual
#             chip; the GUI starts under Xvfb and, closed by SIGTERM, writes its options into
#             $HOME/.config/tolmeo. Nothing in the prefix changes.
#   desktop   the desktop entry passes desktop-file-validate
#   manuals   the manual pages render without a warning
# A tool the check needs that is missing skips it (status 77).
set -euo pipefail
build=$1
check=$2
skip=77

need() {
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "SKIP: $tool is not installed"
      exit $skip
    fi
  done
}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" --component tolmeo >/dev/null
share=$prefix/share/tolmeo

# Every path in the prefix, with the checksum of every file.
snapshot() {
  (cd "$prefix" && find . -printf '%y %m %p\n' | sort && find . -type f -print0 | sort -z | xargs -0 sha256sum)
}

check_installed_tree() {
  for program in tolmeo tolmeo-cli; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
    if readelf -d "$prefix/bin/$program" | grep -E 'RPATH|RUNPATH' | grep -q "$build"; then
      fail "bin/$program still looks for libraries in the build folder"
    fi
  done
  local extra
  extra=$(find "$prefix/bin" -mindepth 1 ! -name tolmeo ! -name tolmeo-cli)
  [ -z "$extra" ] || fail "more than the two programs installed: $extra"
  for file in opt/opt.opt help/help.html font/system sysbmp/msgbox/msgbox.bmp examples/blink.hex; do
    [ -e "$share/$file" ] || fail "share/tolmeo/$file is not installed"
  done
}

run_cli() {
  local listed
  listed=$("$prefix/bin/tolmeo-cli" list)
  grep -qx '.*ATmega328P.*' <<<"$listed" || fail "tolmeo-cli list does not name ATmega328P: $listed"
  "$prefix/bin/tolmeo-cli" -c sim -d ATmega328P \
    "auto:$share/examples/blink.hex:$share/examples/blink_eeprom.hex" run \
    || fail "the automatic sequence on the virtual chip failed"
}

# Starts the installed GUI, waits until it has read its options (the seed copy is there), then
# closes it as a session's end does and checks that the close wrote the options anew.
run_gui() {
  local options=$HOME/.config/tolmeo/opt/opt.opt
  xvfb-run -a -s "-screen 0 1024x768x24" "$prefix/bin/tolmeo" >"$work/gui.log" 2>&1 &
  local runner=$!
  for _ in $(seq 300); do  # up to 30 s on a busy machine
    [ -f "$options" ] && break
    sleep 0.1
  done
  [ -f "$options" ] || fail "the GUI did not seed $options: $(cat "$work/gui.log")"
  sleep 2  # the main window is up and its message loop runs
  local seeded
  seeded=$(stat -c %i "$options")
  # xvfb-run waits for the program; the signal goes to the program itself.
  local gui
  gui=$(pgrep -P "$runner" -x tolmeo || pgrep -f "^$prefix/bin/tolmeo\$") || fail "the GUI did not start: $(cat "$work/gui.log")"
  kill -TERM "$gui"
  local status=0
  wait "$runner" || status=$?
  [ "$status" -eq 0 ] || fail "the GUI ended with status $status: $(cat "$work/gui.log")"
  [ "$(stat -c %i "$options")" != "$seeded" ] || fail "closing the GUI did not write $options"
  LC_ALL=C grep -q "$(printf '^<\xb3\xa1>')" "$options" || fail "$options is not a whole options file"
}

case $check in
  programs)
    need xvfb-run readelf sha256sum pgrep
    check_installed_tree
    before=$(snapshot)
    export HOME=$work/home
    unset XDG_CONFIG_HOME
    mkdir -p "$HOME" "$work/elsewhere"
    cd "$work/elsewhere"
    run_cli
    [ -f "$HOME/.config/tolmeo/opt/opt.opt" ] || fail "tolmeo-cli did not take its options from the home"
    rm -rf "$HOME/.config"
    run_gui
    [ "$(snapshot)" = "$before" ] || fail "the prefix changed: $(diff <(echo "$before") <(snapshot))"
    [ -z "$(ls -A "$work/elsewhere")" ] || fail "files were left in the working folder"
    ;;
  desktop)
    need desktop-file-validate
    desktop-file-validate "$prefix/share/applications/tolmeo.desktop"
    [ -f "$prefix/share/icons/hicolor/48x48/apps/tolmeo.png" ] || fail "the icon is not installed"
    ;;
  manuals)
    need man groff
    for page in "$prefix"/share/man/man1/tolmeo.1 "$prefix"/share/man/man1/tolmeo-cli.1; do
      [ -f "$page" ] || fail "$page is not installed"
      warnings=$(LC_ALL=C.UTF-8 groff -k -Tutf8 -ww -man -z "$page" 2>&1)
      [ -z "$warnings" ] || fail "$page: $warnings"
      warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
      [ -z "$warnings" ] || fail "$page: $warnings"
    done
    ;;
  *)
    fail "unknown check '$check'"
    ;;
esac
echo "PASS: $check"
