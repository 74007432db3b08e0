# Shared by the window tests of the object settings panel and the panels it
# opens. Source it with a name for the work folder (it sources
# window-test.sh with it); then set the program's settings
# (program_settings), write the project and start the program on it with
# start_settings_program.

source "$(dirname "${BASH_SOURCE[0]}")/window-test.sh" "$1"

log() { cat "$data"/Log/* 2>/dev/null || true; }
logged() { log | grep -qF "$1"; }
count() { log | grep -cF "$1" || true; }
key() { xdotool windowactivate --sync "$window" key --clearmodifiers "$1"; }
# The newest "<what> at X,Y WxH" place as "X Y W H".
place() { log | grep -o "$1 at [0-9]*,[0-9]* [0-9]*x[0-9]*" | tail -1 | sed -E 's/.* at ([0-9]+),([0-9]+) ([0-9]+)x([0-9]+)$/\1 \2 \3 \4/'; }

# A key of the saved project: "saved SECTION KEY" ("saved 0.2 effect.name"),
# or "saved KEY" in the section $saved_section (by default the first
# object's first effect, 0.0). Everything after the first "=" is the value.
saved_section=0.0
saved() {
  local section=$saved_section
  if [ $# -ge 2 ]; then section=$1; shift; fi
  tr -d '\r' < "$project" | awk -v section="[$section]" -v key="$1" \
    '$0==section{s=1;next} /^\[/{s=0} s&&index($0, key "=")==1{print substr($0, length(key) + 2)}'
}

# Ctrl+S, then waits until the project is saved. The log line comes before
# the file is renamed into place: the file is waited for until it holds
# something else (every save of these tests follows a change).
save() {
  local before sum; before=$(count "save project file"); sum=$(md5sum < "$project")
  key ctrl+s
  until_eval 'test "$(count "save project file")" -gt "$before"' || fail "the project was not saved $*: $(log | grep -vE "number row|file row|block \[|frame [0-9]* shown" | tail -8)"
  until_eval 'test "$(md5sum < "$project")" != "$sum"' || fail "the saved project did not change $*"
}

# Writes $project: the 640 x 360 scene (small_scene_head) with one object on
# layer 0 for frames 0..299, a 60-pixel orange square in the middle; its
# standard drawing (section 0.1) takes the rows read from the input.
square_project() {
  {
    small_scene_head
    printf '[0]\nlayer=0\nframe=0,299\n[0.0]\neffect.name=図形\n図形の種類=四角形\nサイズ=60\n色=ff4000\n'
    printf '[0.1]\neffect.name=標準描画\n'
    cat
  } > "$project"
}

# Starts the window manager (unless the test did) and the program
# ($program) on $project, then waits for its main window ($window), the
# first frame in the preview and the object list's rows.
start_settings_program() {
  [ -n "$wm_pid" ] || start_window_manager || fail "the window manager did not start"
  local name; name=$(basename "$project" | sed 's/[.]/\\./g')
  main_window_name="^(Velmo Kirta2|$name.*)\$"
  start_program "$project"
  until_true logged "frame 0 shown at" || fail "the first frame was never shown: $(log | tail -5)"
  until_eval 'test -n "$(place "object list rows")"' || fail "the object list never showed its rows"
}

# Chooses the object of the object list's first row.
choose_object() {
  local ox oy ow oh
  read -r ox oy ow oh <<<"$(place "object list rows")"
  xdotool mousemove --sync $((ox + ow / 3)) $((oy + oh / 2)) click 1
}

# The preview's frame as a picture file.
frame_shot() {
  local fx fy fw fh
  read -r fx fy fw fh <<<"$(place "frame drawn")"
  import -window root -crop "${fw}x${fh}+$fx+$fy" +repage "$1"
}
# The two pictures differ by more than a trace (RMSE above 0.5 %).
differs() {
  local rmse
  rmse=$(compare -metric RMSE "$1" "$2" null: 2>&1 || true)
  awk -v s="$rmse" 'BEGIN{split(s, a, /[()]/); exit !(a[2] + 0 > 0.005)}'
}
