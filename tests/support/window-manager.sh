# Shared by the window tests that run on their own Xvfb screen with a window
# manager. Source it; it sets wm_pid for the caller's clean-up.

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
wm_pid=""
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
