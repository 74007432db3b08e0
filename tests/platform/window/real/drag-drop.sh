#!/usr/bin/env bash
# A drag from another program onto a window of the window layer: files reach
# the drop target with their paths and the point in screen coordinates; a
# drag of text is entered without files and left, never dropped.
# Usage: drag-drop.sh PROBE   (run under xvfb-run -a)
set -euo pipefail
probe=$1
source "$(dirname "${BASH_SOURCE[0]}")/../../../support/window-test.sh" velmo-drag
passed=0
failed=0
said() { grep -q "$2" "$work/$1.txt" 2>/dev/null; }
# Keeps nudging the pointer inside the target until it reports $1.
nudge_until() {
  local i
  for i in $(seq 150); do
    if said target "$1"; then return 0; fi
    xdotool mousemove $((200 + i % 2)) 150
    sleep 0.2
  done
  return 1
}

# $1: the source's kind; $2: the line the target must print; $3: a line it must not.
drag() {
  local kind=$1 want=$2 unwanted=$3
  "$probe" target >"$work/target.txt" 2>&1 &
  pids+=($!)
  local target_pid=$!
  "$probe" "$kind" >"$work/source.txt" 2>&1 &
  pids+=($!)
  until_true said target ready && until_true said source ready || { echo "FAIL $kind: the probes did not start"; return 1; }
  until_true find_window '^drag-source$' || { echo "FAIL $kind: no source window"; return 1; }
  xdotool mousemove 600 50 mousedown 1
  xdotool mousemove 610 55 mousemove 620 60 mousemove 400 120
  nudge_until "enter" || { echo "FAIL $kind: never entered"; cat "$work/target.txt"; xdotool mouseup 1; return 1; }
  [ "$kind" = files ] && { nudge_until "over" || { echo "FAIL $kind: no move reported"; xdotool mouseup 1; return 1; }; }
  xdotool mouseup 1
  until_true said target "$want" || { echo "FAIL $kind: no '$want'"; cat "$work/target.txt"; return 1; }
  wait "$target_pid" || true
  if said target "$unwanted"; then echo "FAIL $kind: '$unwanted'"; cat "$work/target.txt"; return 1; fi
  return 0
}

if drag files "drop at 20[01],150: \[/tmp/drag one.png\] \[/tmp/two.wav\]" "leave"; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
fi
if drag text "leave" "drop"; then
  grep -q "enter other 0" "$work/target.txt" && passed=$((passed + 1)) || { echo "FAIL text: $(cat "$work/target.txt")"; failed=$((failed + 1)); }
else
  failed=$((failed + 1))
fi
echo "$passed passed, $failed failed"
