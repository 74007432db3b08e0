# Shared by the window tests that run on their own Xvfb screen. Source it with
# a name for the work folder: it makes the folder ($work), and at exit stops
# the program the test started ($app_pid), any other process it started
# (listed in $pids) and the window manager, and removes the folder.
work=$(mktemp -d "/tmp/${1:-velmo-window}-XXXXXX")
app_pid=""
wm_pid=""
pids=()
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The program's settings in the work folder ($data): the main window at 40,30
# with the size (WIDTH HEIGHT), and every log line written to its file.
program_settings() {
  export XDG_DATA_HOME="$work/xdg"
  data="$XDG_DATA_HOME/velmo2"
  mkdir -p "$data"
  printf '[Window]\r\nx=40\r\ny=30\r\nw=%s\r\nh=%s\r\nzoom=0\r\n[Logger]\r\nFileLogLevel=1\r\n' "$1" "$2" > "$data/velmo2.ini"
}

# Polls a condition (a command) until it holds; gives up after 600 polls (about
# 60 s), or after 200 s of a slow condition (a screenshot on a busy machine), so
# that the test says which step failed before ctest's timeout cuts it off.
until_true() {
  local i end=$((SECONDS + 200))
  for i in $(seq 600); do
    if "$@"; then return 0; fi
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.1
  done
  return 1
}

# Like until_true, for a condition written as one string: it is evaluated
# afresh on every poll, so "$(...)" inside it sees the newest log and files.
# (until_true test "$(count x)" -gt 1 would compare one stale count.)
until_eval() { until_true eval "$1"; }

wm_running() { local s; s=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null || true); [[ "$s" == *"window id"* ]]; }

# Starts the window manager and waits until it manages the screen. One that
# exits before it does (a busy machine, a screen still coming up) is started
# again, up to three times; one that is merely slow is waited for.
start_window_manager() {
  local attempt i
  for attempt in 1 2 3; do
    openbox --sm-disable >/dev/null 2>&1 &
    wm_pid=$!
    for i in $(seq 600); do
      if wm_running; then return 0; fi
      kill -0 "$wm_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -0 "$wm_pid" 2>/dev/null && return 1
  done
  return 1
}

# Sets $window to a visible window whose name matches the pattern (by
# default the main window's bare caption); false while there is none.
find_window() {
  window=$(xdotool search --onlyvisible --name "${1:-^Velmo Kirta2\$}" 2>/dev/null | head -1)
  [ -n "$window" ]
}

# Starts the program ($program) with the arguments, its output in
# $work/out.txt, and waits for the main window (named as $main_window_name
# matches, by default the bare caption) into $window.
start_program() {
  "$program" "$@" >"$work/out.txt" 2>&1 &
  app_pid=$!
  until_true find_window "${main_window_name:-^Velmo Kirta2\$}" \
    || fail "the main window did not appear: $(cat "$work/out.txt")"
}

# Waits for the program to end; fails unless it ended with 0.
wait_program_end() {
  local code=0
  wait "$app_pid" || code=$?
  app_pid=""
  [ "$code" -eq 0 ] || fail "the program ended with $code: $(cat "$work/out.txt")"
}

# Writes the screen's rectangle W H X Y to a picture file.
screen_shot() { import -window root -crop "${1}x${2}+${3}+${4}" +repage "$5"; }

# The head of a project file with one scene, Root, 640 x 360 at 30 fps and
# 48 kHz, its cursor at frame 0; the objects follow it.
small_scene_head() {
  printf '[project]\nfile=\ndisplay.scene=0\n[scene.0]\nscene=0\nname=Root\nvideo.width=640\nvideo.height=360\n'
  printf 'video.rate=30\nvideo.scale=1\naudio.rate=48000\ncursor.frame=0\n'
}

# Drags files from another program: starts the drag probe ($probe) as a
# source of the files (its pid in $source_pid, stopped at exit), presses the
# mouse on its window and moves it in small steps to X Y. The test then waits
# for the target to accept the drag and releases the button.
# Usage: drag_files_to X Y FILE...
drag_files_to() {
  local tx=$1 ty=$2 sx sy
  shift 2
  "$probe" files "$@" >"$work/source.txt" 2>&1 &
  source_pid=$!
  pids+=("$source_pid")
  source_ready() { grep -q ready "$work/source.txt"; }
  until_true source_ready || fail "the drag source did not start"
  source_window=""
  find_source() { source_window=$(xdotool search --onlyvisible --name '^drag-source$' 2>/dev/null | head -1); [ -n "$source_window" ]; }
  until_true find_source || fail "no drag source window"
  xdotool windowraise "$source_window"
  read -r sx sy <<<"$(xdotool getwindowgeometry "$source_window" | awk '/Position/ { split($2, p, ","); print p[1] + 50, p[2] + 30 }')"
  xdotool mousemove "$sx" "$sy" mousedown 1
  xdotool mousemove $((sx + 10)) $((sy + 5)) mousemove $((sx + 20)) $((sy + 10)) mousemove "$tx" "$ty"
}
