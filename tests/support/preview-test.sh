# Shared by the window tests of the preview. Source it after window-test.sh,
# once $data, $window and $project are known: the project pieces such tests
# write, and what they read from the program's log and saved project.

# The head of a one-scene project (small_scene_head) shown from frame 0,
# layer 0 at zoom 10000; the scene's camera record is the argument.
preview_scene_head() {
  small_scene_head
  printf 'display.frame=0\ndisplay.layer=0\ndisplay.zoom=10000\ndisplay.order=0\ndisplay.camera=%s\n' "$1"
}

# Object INDEX on layer INDEX for frames 0..299: an orange square of SIZE
# pixels drawn at the origin.
square_object() {
  printf '[%s]\nlayer=%s\nframe=0,299\n[%s.0]\neffect.name=図形\n図形の種類=四角形\nサイズ=%s\n' "$1" "$1" "$1" "$2"
  printf '縦横比=0.00\nライン幅=4000\n色=ff4000\n角を丸くする=0\n[%s.1]\neffect.name=標準描画\n' "$1"
  printf 'X=0.00\nY=0.00\nZ=0.00\n中心X=0.00\n中心Y=0.00\n中心Z=0.00\nX軸回転=0.00\nY軸回転=0.00\nZ軸回転=0.00\n'
  printf '拡大率=100.000\n縦横比=0.000\n透明度=0.00\n合成モード=通常\n'
}

log() { cat "$data"/Log/* 2>/dev/null || true; }
logged() { log | grep -q "$1"; }
count() { log | grep -c "$1" || true; }
# The newest place of the frame on the screen: "X Y W H".
frame_place() { log | grep -o "frame drawn at [0-9]*,[0-9]* [0-9]*x[0-9]*" | tail -1 | sed -E 's/frame drawn at ([0-9]+),([0-9]+) ([0-9]+)x([0-9]+)/\1 \2 \3 \4/'; }
key() { xdotool windowactivate --sync "$window" key --clearmodifiers "$1"; }
# Ctrl+S, then waits until the log says the project was saved.
save() {
  local before; before=$(count "save project file")
  key ctrl+s
  until_eval 'test "$(count "save project file")" -gt "$before"' || fail "the project was not saved"
}

# Waits for the first frame on the screen and sets fx fy fw fh to its place.
wait_first_frame() {
  until_true logged "frame 0 shown at" || fail "the first frame was never shown: $(cat "$work/out.txt")"
  until_eval 'test -n "$(frame_place)"' || fail "the frame was never drawn"
  read -r fx fy fw fh <<<"$(frame_place)"
  [ "$fw" -gt 0 ] || fail "the frame has no width"
}
