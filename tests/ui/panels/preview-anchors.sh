#!/usr/bin/env bash
# The preview of the real program on its own Xvfb screen with a window
# manager: dragging an object's centre 100 pixels to the right moves its X by
# the scene pixels those screen pixels stand for, in the saved project, and
# one undo puts it back; the wheel steps the cursor; dragging the zoom button
# upwards scales the frame; the play button starts playback and the time
# counter runs; the two range buttons set the frame range.
# Usage: preview-anchors.sh PROGRAM   (run under xvfb-run -a)
set -euo pipefail
program=$1
source "$(dirname "${BASH_SOURCE[0]}")/../../support/window-test.sh" velmo-preview-anchors

program_settings 1000 760
printf '[Player]\r\nReturnCursorPosition=0\r\n' >> "$data/velmo2.ini"

# A 640 x 360 scene of ten seconds with a 60-pixel square in the middle.
project="$work/anchors.vpj2"
cat > "$project" <<'PROJECT'
[project]
file=
display.scene=0
[scene.0]
scene=0
name=Root
video.width=640
video.height=360
video.rate=30
video.scale=1
audio.rate=48000
cursor.frame=0
display.frame=0
display.layer=0
display.zoom=10000
display.order=0
display.camera=
[0]
layer=0
frame=0,299
[0.0]
effect.name=図形
図形の種類=四角形
サイズ=60
縦横比=0.00
ライン幅=4000
色=ff4000
角を丸くする=0
[0.1]
effect.name=標準描画
X=0.00
Y=0.00
Z=0.00
中心X=0.00
中心Y=0.00
中心Z=0.00
X軸回転=0.00
Y軸回転=0.00
Z軸回転=0.00
拡大率=100.000
縦横比=0.000
透明度=0.00
合成モード=通常
PROJECT

start_window_manager || fail "the window manager did not start"
window=""
find_window() { window=$(xdotool search --onlyvisible --name '^(Velmo Kirta2|anchors\.vpj2.*)$' 2>/dev/null | head -1); [ -n "$window" ]; }
"$program" "$project" >"$work/out.txt" 2>&1 &
app_pid=$!
until_true find_window || fail "the main window did not appear: $(cat "$work/out.txt")"

log() { cat "$data"/Log/* 2>/dev/null || true; }
logged() { log | grep -q "$1"; }
count() { log | grep -c "$1" || true; }
# The newest place of the frame on the screen: "X Y W H".
frame_place() { log | grep -o "frame drawn at [0-9]*,[0-9]* [0-9]*x[0-9]*" | tail -1 | sed -E 's/frame drawn at ([0-9]+),([0-9]+) ([0-9]+)x([0-9]+)/\1 \2 \3 \4/'; }
saved_x() { awk -F= '/^\[0\.1\]/{s=1;next} /^\[/{s=0} s&&$1=="X"{print $2}' "$project"; }
key() { xdotool windowactivate --sync "$window" key --clearmodifiers "$1"; }
save() {
  local before; before=$(count "save project file")
  key ctrl+s
  until_eval 'test "$(count "save project file")" -gt "$before"' || fail "the project was not saved"
}

until_true logged "frame 0 shown at" || fail "the first frame was never shown: $(cat "$work/out.txt")"
until_eval 'test -n "$(frame_place)"' || fail "the frame was never drawn"
read -r fx fy fw fh <<<"$(frame_place)"
[ "$fw" -gt 0 ] || fail "the frame has no width"
cx=$((fx + fw / 2)); cy=$((fy + fh / 2))

# Drag the object's centre 100 pixels to the right.
xdotool mousemove "$cx" "$cy"
xdotool mousedown 1
for step in 10 20 40 60 80 100; do xdotool mousemove $((cx + step)) "$cy"; done
xdotool mouseup 1
save
expected=$(awk -v w="$fw" 'BEGIN{printf "%.2f", 100 * 640 / w}')
moved=$(saved_x)
awk -v a="$moved" -v b="$expected" 'BEGIN{d=a-b; if (d<0) d=-d; exit !(d <= 640 / 300 + 0.01)}' \
  || fail "dragging 100 pixels on a $fw-pixel frame moved X to $moved, not about $expected"

key ctrl+z
until_true logged "Undo: " || fail "the undo did not run"
save
back=$(saved_x)
awk -v a="$back" 'BEGIN{exit !(a == 0)}' || fail "one undo left X at $back"

# The wheel steps the cursor: down goes forward a frame.
xdotool mousemove "$cx" "$cy" click 5
until_true logged "frame 1 shown at" || fail "the wheel did not step the cursor"

# The zoom button dragged upwards scales the frame.
place=$(log | grep -o "zoom button at [0-9]*,[0-9]* [0-9]*x[0-9]*" | tail -1)
[ -n "$place" ] || fail "the zoom button was never placed"
zx=$(sed -E 's/zoom button at ([0-9]+),.*/\1/' <<<"$place"); zy=$(sed -E 's/zoom button at [0-9]+,([0-9]+) .*/\1/' <<<"$place")
xdotool mousemove $((zx + 4)) $((zy + 4))
xdotool mousedown 1
for step in 10 30 60 100 140; do xdotool mousemove $((zx + 4)) $((zy + 4 - step)); done
xdotool mouseup 1
grown() { read -r _ _ w _ <<<"$(frame_place)"; [ "$w" -gt "$fw" ]; }
until_true grown || fail "zooming in left the frame at $(frame_place) (was $fw wide)"
log | grep -q "zoom [1-9][0-9]*$" || fail "the zoom was not a percentage: $(log | grep -o 'zoom [0-9]*$' | tail -1)"

# The range buttons take the cursor as the range's ends.
buttons=$(log | grep -o "playback buttons at [0-9]*,[0-9]* [0-9]*x[0-9]*, [0-9]* apart" | tail -1)
read -r _ _ _ bplace bsize apart _ <<<"$buttons"
bx=${bplace%%,*}; by=${bplace#*,}; bw=${bsize%x*}; bh=${bsize#*x}; bh=${bh%,}
click_button() { xdotool mousemove $((bx + $1 * apart + bw / 2)) $((by + bh / 2)) click 1; }
click_button 5
until_true logged "frame range 1 to 299" || fail "the range start did not take the cursor: $(log | grep 'frame range' | tail -2)"
for i in 1 2 3 4; do click_button 2; done
until_true logged "frame 5 shown at" || fail "the next-frame button did not step to frame 5"
click_button 6
until_true logged "frame range 1 to 5" || fail "the range end did not take the cursor: $(log | grep 'frame range' | tail -2)"

# Play: the time counter runs.
counter=$(log | grep -o "time counter at [0-9]*,[0-9]* [0-9]*x[0-9]*" | tail -1)
tx=$(sed -E 's/time counter at ([0-9]+),.*/\1/' <<<"$counter"); ty=$(sed -E 's/time counter at [0-9]+,([0-9]+) .*/\1/' <<<"$counter")
tw=$(sed -E 's/.* ([0-9]+)x[0-9]+$/\1/' <<<"$counter"); th=$(sed -E 's/.*x([0-9]+)$/\1/' <<<"$counter")
shot() { import -window root -crop "${tw}x${th}+$tx+$ty" +repage "$1"; }
shot "$work/counter0.png"
click_button 0
differs() { shot "$work/counter.png"; ! compare -metric AE "$work/counter.png" "$1" null: 2>/dev/null; }
until_true differs "$work/counter0.png" || fail "the time counter did not move after play"
cp "$work/counter.png" "$work/counter1.png"
until_true differs "$work/counter1.png" || fail "the time counter stopped after its first step"
click_button 0
echo "X after the drag: $moved (about $expected on a $fw-pixel frame); zoomed frame: $(frame_place)"
echo "preview anchors: 1 passed, 0 failed"
