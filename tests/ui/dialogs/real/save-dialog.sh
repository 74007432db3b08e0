#!/usr/bin/env bash
# The real save dialog on its own Xvfb screen with a window manager: a name
# typed without extension gets the default one, the existing file is
# questioned in a real box, and Yes returns its path.
# Usage: save-dialog.sh PROBE   (run under xvfb-run -a)
set -euo pipefail
probe=$1
source "$(dirname "${BASH_SOURCE[0]}")/../../../support/window-test.sh" velmo-save
fail() { echo "FAIL: $*" >&2; [ -f "$work/out.txt" ] && cat "$work/out.txt" >&2; echo "0 passed, 1 failed"; exit 1; }

start_window_manager || fail "the window manager did not start"

touch "$work/clip.vpj2"
"$probe" "$work/clip" >"$work/out.txt" 2>&1 &
app_pid=$!

# Activates the window named $1 and presses Return in it (its default button).
press_return_in() {
  until_true find_window "^$1\$" || fail "no window named $1"
  xdotool windowactivate --sync "$window"
  xdotool key --clearmodifiers Return
}

press_return_in "Save As"  # the chooser: its name field holds "clip"
gone() { ! xdotool search --onlyvisible --name '^Save As$' >/dev/null 2>&1 || [ "$(xdotool search --onlyvisible --name '^Save As$' | head -1)" != "$window" ]; }
until_true gone || fail "the chooser stayed open"
press_return_in "Save As"  # the overwrite question: Yes is the default
code=0
wait "$app_pid" || code=$?
app_pid=""
[ "$code" -eq 0 ] || fail "the probe ended with $code"
grep -qx "chosen: $work/clip.vpj2" "$work/out.txt" || fail "unexpected result: $(cat "$work/out.txt")"
echo "1 passed, 0 failed"
