# Shared by the window tests that work on the timeline of the real program.
# Source it after window-test.sh. The timeline takes the lower part of the
# window, the preview the upper; the project ($project) is one scene, Root,
# 640x360 at 30 fps, shown from frame 0 at three pixels a frame.

# The program's settings (WIDTH HEIGHT) with the preview above the timeline.
timeline_settings() {
  program_settings "$1" "$2"
  printf '[Window.preview]\r\nleft=0\r\ntop=0\r\nright=1\r\nbottom=0.4\r\narea=2\r\nhide=0\r\n' >> "$data/velmo2.ini"
  printf '[Window.edit]\r\nleft=0\r\ntop=0.4\r\nright=1\r\nbottom=1\r\narea=3\r\nhide=0\r\n' >> "$data/velmo2.ini"
}

# The project file's header and its scene; the objects follow it.
project_head() {
  printf '[project]\r\nfile=%s\r\ndisplay.scene=0\r\n' "$project"
  printf '[scene.0]\r\nscene=0\r\nname=Root\r\nvideo.width=640\r\nvideo.height=360\r\nvideo.rate=30\r\nvideo.scale=1\r\n'
  printf 'audio.rate=48000\r\ncursor.frame=0\r\ndisplay.frame=0\r\ndisplay.layer=0\r\ndisplay.zoom=30000\r\n'
}

log() { cat "$data"/Log/* 2>/dev/null || true; }

# Starts the window manager and the program on $project, and waits until the
# project is open and the timeline has placed its rows: X0,Y0 is the corner
# of the first row, LH a row's height.
start_on_timeline() {
  start_window_manager || fail "the window manager did not start"
  "$program" "$project" >"$work/out.txt" 2>&1 &
  app_pid=$!
  window=""
  local name
  name=$(basename "$project")
  find_main() { window=$(xdotool search --onlyvisible --name "^(Velmo Kirta2|${name//./\\.})" 2>/dev/null | head -1); [ -n "$window" ]; }
  until_true find_main || fail "the main window did not appear: $(cat "$work/out.txt")"
  loaded() { log | grep -qF "load project file"; }
  until_true loaded || fail "the project was not opened: $(log | tail -5)"
  rows=""
  rows_placed() { rows=$(log | grep -o "timeline rows at [0-9]*,[0-9]* [0-9]*x[0-9]*, [0-9]* high" | tail -1); [ -n "$rows" ]; }
  until_true rows_placed || fail "the timeline never showed its rows: $(log | tail -5)"
  local place size lh
  read -r _ _ _ place size lh _ <<<"$rows"
  X0=${place%%,*}; Y0=${place#*,}; LH=${lh}
  [ "$LH" -gt 8 ] || fail "odd row height in: $rows"
}

# The screen pixel of a frame (its middle) and of a layer row (its middle, below the bar top).
fx() { echo $((X0 + $1 * 3 + 1)); }
ly() { echo $((Y0 + $1 * LH + LH / 2 + 3)); }

# Ctrl+S. The program writes beside the file and renames it into place: the
# file is taken away first, so its return means the new one is complete.
save() {
  rm -f "$project"
  xdotool windowactivate --sync "$window" key --clearmodifiers ctrl+s
  saved() { [ -f "$project" ]; }
  until_true saved || fail "the project was not saved: $(log | tail -5)"
}
