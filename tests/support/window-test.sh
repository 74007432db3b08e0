# Shared by the window tests that run on their own Xvfb screen with a window
# manager. Source it with a name for the work folder: it makes the folder
# ($work), and at exit stops the program the test started ($app_pid) and the
# window manager, and removes the folder.
work=$(mktemp -d "/tmp/${1:-velmo-window}-XXXXXX")
app_pid=""
wm_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
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

# Polls a condition (a command) until it holds; gives up after about 60 s.
until_true() {
  local i
  for i in $(seq 600); do
    if "$@"; then return 0; fi
    sleep 0.1
  done
  return 1
}

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
