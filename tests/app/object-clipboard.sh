#!/usr/bin/env bash
# Copies an object in one running program and pastes it in a second one
# through the desktop clipboard, with the real keys on its own Xvfb screen.
# The first program opens a project whose focus object is the copy's target
# (the timeline has no mouse selection yet); both keep their project in the
# resume file at exit, where the pasted object must equal the copied one.
# Usage: object-clipboard.sh PROGRAM   (run under xvfb-run -a)
set -euo pipefail
program=$1
source "$(dirname "${BASH_SOURCE[0]}")/../support/window-test.sh" velmo-object-clipboard

second_pid=""
stop_second() { [ -n "$second_pid" ] && kill "$second_pid" 2>/dev/null || true; }
trap 'stop_second; cleanup' EXIT

# A data folder per program: the main window's place, every log line to the
# file, and the project kept in the resume file at exit.
settings() {
  mkdir -p "$1/velmo2"
  printf '[Window]\r\nx=%s\r\ny=30\r\nw=640\r\nh=480\r\nzoom=0\r\n[Logger]\r\nFileLogLevel=1\r\n[Edit]\r\nEditResume=1\r\n' "$2" > "$1/velmo2/velmo2.ini"
}
settings "$work/a" 20
settings "$work/b" 680

project="$work/copied.vpj2"
printf '[project]\r\nfile=%s\r\ndisplay.scene=0\r\n[scene.0]\r\nscene=0\r\nname=Root\r\nvideo.width=640\r\nvideo.height=360\r\nvideo.rate=30\r\nvideo.scale=1\r\naudio.rate=48000\r\n[0]\r\nlayer=1\r\nfocus=1\r\nframe=0,10,29\r\nclipping=1\r\n[0.0]\r\neffect.name=図形\r\n[0.1]\r\neffect.name=標準描画\r\n[0.2]\r\neffect.name=ぼかし\r\n' "$project" > "$project"

start_window_manager || fail "the window manager did not start"

window_of() { xdotool search --onlyvisible --pid "$1" --name '^Velmo Kirta2$' 2>/dev/null | head -1; }
has_window() { [ -n "$(window_of "$1")" ]; }
logged() { cat "$1"/velmo2/Log/* 2>/dev/null | grep -qF "$2"; }
# Sends a key to the program's main window once it has the input focus.
press() {
  local window
  window=$(window_of "$1")
  xdotool windowactivate --sync "$window" key --clearmodifiers "$2"
}
# Closes a program's main window (the window manager's Alt+F4), answers OK
# when it asks whether to discard the edited project, and waits until its
# exit kept the project in the resume file; then the program is stopped
# (a box its shutdown may still show is not this test's business).
quit() {
  local pid=$1 window
  window=$(window_of "$pid")
  xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4
  # Any box the closing shows (the question, a failure) is answered.
  resumed() {
    [ -f "$2/velmo2/resume.vpj2" ] && return 0
    if xdotool search --onlyvisible --pid "$1" 2>/dev/null | grep -qvx "$3"; then
      xdotool key Return
    fi
    return 1
  }
  until_true resumed "$pid" "$2" "$window" || fail "the program kept no resume file: $(tail -5 "$2"/velmo2/Log/*)"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

XDG_DATA_HOME="$work/a" "$program" "$project" >"$work/a.txt" 2>&1 &
app_pid=$!
until_true has_window "$app_pid" || fail "the first window did not appear"
until_true logged "$work/a" "load project file" || fail "the project was not opened"
press "$app_pid" ctrl+c
until_true logged "$work/a" "copy object num=1" || fail "the copy did not run"

XDG_DATA_HOME="$work/b" "$program" >"$work/b.txt" 2>&1 &
second_pid=$!
until_true has_window "$second_pid" || fail "the second window did not appear"
press "$second_pid" ctrl+v
until_true logged "$work/b" "paste object num=1" || fail "the paste did not run: $(cat "$work"/b/velmo2/Log/* 2>/dev/null)"

# The second program first: the first one owns the clipboard until it ends.
quit "$second_pid" "$work/b"
second_pid=""
quit "$app_pid" "$work/a"
app_pid=""

objects() { sed -n '/^\[0\]/,$p' "$1" | tr -d '\r' | grep -v '^focus='; }
a_resume="$work/a/velmo2/resume.vpj2"
b_resume="$work/b/velmo2/resume.vpj2"
[ -f "$a_resume" ] && [ -f "$b_resume" ] || fail "a resume file is missing"
copied=$(objects "$a_resume")
pasted=$(objects "$b_resume")
[ -n "$copied" ] || fail "the first program kept no object"
[[ "$copied" == *"effect.name=ぼかし"* ]] || fail "the copied object lost its filter: $copied"
[ "$copied" == "$pasted" ] || fail "the pasted object differs:
--- copied
$copied
--- pasted
$pasted"
echo "object clipboard: 1 passed, 0 failed"
