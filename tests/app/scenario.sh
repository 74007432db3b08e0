#!/usr/bin/env bash
# A project made from scratch in the real program on its own Xvfb screen with
# a window manager, driven only with the mouse and the keys: a new 1280 x 720
# project; a movie with sound dragged from the media explorer onto Layer1; a
# text object added from the timeline's menu; the movie trimmed to three
# seconds, the trim undone and redone; played from the playback bar (the
# cursor runs, the sound device receives samples); saved, closed, opened
# again and exported to AVI through the File menu. The exported file has the
# scene's frames at 1280 x 720 with sound, and its frame 45 matches the
# reference picture. A screenshot of the editor is left as $SCENARIO_SHOT
# when that is set.
# Usage: scenario.sh PROGRAM REFERENCE.png   (run under xvfb-run -a)
set -euo pipefail
program=$(realpath "$1")
reference=$(realpath "$2")
export NO_AT_BRIDGE=1
source "$(dirname "${BASH_SOURCE[0]}")/../support/window-test.sh" velmo-scenario

# A failure leaves a picture of the screen in $SCENARIO_DEBUG when that is set.
if [ -n "${SCENARIO_DEBUG:-}" ]; then
  fail() { import -window root "$SCENARIO_DEBUG/fail.png" 2>/dev/null || true; cp -r "$data/Log" "$SCENARIO_DEBUG/" 2>/dev/null || true; echo "FAIL: $*" >&2; exit 1; }
fi

program_settings 1500 1000
media="$work/media"
mkdir -p "$media"
printf '[Window.explorer:1]\r\nFolderPath=%s\r\n' "$media" >> "$data/velmo2.ini"
# Five seconds of a test picture with a tone, at 30 fps, H.264 and AAC.
ffmpeg -v error -f lavfi -i "testsrc=s=1280x720:r=30" -f lavfi -i "sine=frequency=440:sample_rate=48000" \
  -t 5 -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -shortest "$media/clip.mp4"
# The sound device writes what it plays into a file.
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/played.raw"

start_window_manager || fail "the window manager did not start"
cd "$work"

log() { cat "$data"/Log/* 2>/dev/null || true; }
logged() { log | grep -qF -- "$1"; }
count() { log | grep -cF -- "$1" || true; }
# The newest "<what> at X,Y WxH" place as "X Y W H".
place() { log | grep -o "$1 at [0-9]*,[0-9]* [0-9]*x[0-9]*" | tail -1 | sed -E 's/.* at ([0-9]+),([0-9]+) ([0-9]+)x([0-9]+)$/\1 \2 \3 \4/'; }
has_place() { [ -n "$(place "$1")" ]; }
wait_place() { until_true has_place "$1" || fail "no place of '$1': $(log | tail -5)"; }
key() { xdotool windowactivate --sync "$main" key --clearmodifiers "$@"; }
# The program's visible windows but the main one.
others() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | grep -vx "$main" || true; }
count_others() { [ "$(others | wc -l)" -eq "$1" ]; }
more_others() { [ "$(others | wc -l)" -gt "$1" ]; }
find_named() {
  found=$(xdotool search --all --onlyvisible --pid "$app_pid" --name "$1" 2>/dev/null | head -1)
  [ -n "$found" ]
}
no_named() { ! find_named "$1"; }
# The objects of a saved project, "layer:frames:first effect" each, sorted.
objects() {
  tr -d '\r' < "$1" | awk '
    /^\[[0-9]+\]$/ { n = substr($0, 2, length($0) - 2); inobj = 1; next }
    /^\[[0-9]+\.0\]$/ { inobj = 0; e = substr($0, 2, length($0) - 4); ineff = 1; next }
    /^\[/ { inobj = 0; ineff = 0; next }
    inobj && /^layer=/ { l[n] = substr($0, 7) }
    inobj && /^frame=/ { f[n] = substr($0, 7) }
    ineff && /^effect.name=/ { name[e] = substr($0, 13) }
    END { for (k in l) print l[k] ":" f[k] ":" name[k] }' | sort | tr '\n' ' '
}
expect() {  # what, wanted, actual
  [ "$2" == "$3" ] || fail "$1: wanted [$2], got [$3]; the log ends: $(log | grep -E "create|Undo|Redo|ERROR" | tail -10)"
}

# Types into the save dialog (a chooser that opens in the work folder) and
# waits for the file; a Return the name field's completion took is pressed
# again while the chooser stays.
save_in_chooser() {  # title, file name, condition to wait for
  find_named "^$1\$" || until_true find_named "^$1\$" || fail "no save dialog titled $1: $(cat "$work/out.txt")"
  local chooser=$found tries=0 condition=$3
  xdotool windowactivate --sync "$chooser"
  eval "$(xdotool getwindowgeometry --shell "$chooser")"
  xdotool mousemove --window "$chooser" --sync $((WIDTH / 2)) 24 click 1
  xdotool key --clearmodifiers ctrl+a BackSpace
  xdotool type --delay 20 "$2"
  xdotool windowactivate --sync "$chooser" key --clearmodifiers Return
  done_saving() {
    "$condition" && return 0
    tries=$((tries + 1))
    if [ $((tries % 10)) -eq 0 ] && xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | grep -qx "$chooser"; then
      xdotool windowactivate --sync "$chooser" key --clearmodifiers Return 2>/dev/null || true
    fi
    return 1
  }
  until_true done_saving || fail "saving into $2 did not end: $(log | tail -5)"
}

main_window_name='^Velmo Kirta2'
start_program
main=$window
until_true logged "frame 0 shown at" || fail "the first frame was never shown: $(log | tail -5)"

# 1. ファイル → 新規プロジェクト (Ctrl+N): 1280 x 720, the rest as offered.
key ctrl+n
until_true find_named '^プロジェクトを作成$' || fail "Ctrl+N showed no dialog: $(cat "$work/out.txt")"
dialog=$found
eval "$(xdotool getwindowgeometry --shell "$dialog")"
line=$(( (HEIGHT - 48) / 4 ))
for column in 0 1; do
  xdotool windowactivate --sync "$dialog" mousemove --window "$dialog" --sync $(( WIDTH - 292 + column * 152 )) $(( 12 + line / 2 )) click 1
  xdotool key --clearmodifiers ctrl+a BackSpace
  if [ "$column" -eq 0 ]; then xdotool type --delay 30 1280; else xdotool type --delay 30 720; fi
done
xdotool windowactivate --sync "$dialog" mousemove --window "$dialog" --sync $(( WIDTH - 12 - 2 * line )) $(( HEIGHT - 12 - line / 2 )) click 1
until_true no_named '^プロジェクトを作成$' || fail "OK did not close the project dialog"
until_true logged "create project file" || fail "no project was created: $(log | tail -5)"

# 2. The movie dragged from the media explorer onto Layer1 at frame 0.
wait_place "explorer 1 entries"
read -r ex ey ew eh <<<"$(place "explorer 1 entries")"
rows=""
rows_placed() { rows=$(log | grep -o "timeline rows at [0-9]*,[0-9]* [0-9]*x[0-9]*, [0-9]* high" | tail -1); [ -n "$rows" ]; }
until_true rows_placed || fail "the timeline never showed its rows"
read -r _ _ _ tplace _ LH _ <<<"$rows"
X0=${tplace%%,*}; Y0=${tplace#*,}
# A new project's timeline shows a frame a pixel.
fx() { echo $((X0 + $1)); }
ly() { echo $((Y0 + $1 * LH + LH / 2 + 3)); }
base=$(others | wc -l)
xdotool mousemove --sync $((ex + 40)) $((ey + eh / 2))
xdotool mousedown 1
xdotool mousemove $((ex + 46)) $((ey + eh / 2)) mousemove $((ex + 54)) $((ey + eh / 2 + 2))
nudge=0
tip_shown() {
  nudge=$((1 - nudge))
  xdotool mousemove "$(fx 2)" $(( $(ly 0) + nudge ))
  more_others "$base"
}
until_true tip_shown || { xdotool mouseup 1; fail "the timeline did not take the dragged movie: $(log | tail -5)"; }
xdotool mouseup 1
until_true logged "create object [動画ファイル] layer=0 frame=0" \
  || fail "no movie object from the dropped file: $(log | grep -E "create|ERROR" | tail -5)"
# A click on an empty row after the drop: the drop is over for the program.
xdotool mousemove --sync "$(fx 400)" "$(ly 6)" click 1
sleep 0.5
base=$(others | wc -l)

# 3. "オブジェクトを追加" → "テキスト" (its fourth entry) on Layer2 at frame 0.
xdotool mousemove --sync "$(fx 2)" "$(ly 1)" click 3
until_true more_others "$base" || fail "the object menu did not open"
menu=$(others | wc -l)
xdotool key Down Right
until_true more_others "$menu" || fail "the add-object submenu did not open"
xdotool key Down Down Down Return
until_true count_others "$base" || fail "the menus did not close"
until_true logged "create object [テキスト] layer=1 frame=0" \
  || fail "no text object was created: $(log | grep -E "create|ERROR" | tail -5)"

# 4. Save as scenario.vpj2 (Ctrl+S asks for the name of a new project).
project="$work/scenario.vpj2"
key ctrl+s
project_saved() { [ -f "$project" ]; }
save_in_chooser "Save As" scenario.vpj2 project_saved
echo "saved: $(objects "$project")"
# Ctrl+S again writes the file in place: it is taken away first, so its
# return means the new one is complete.
save() {
  local before; before=$(count "save project file")
  key ctrl+s
  more_saves() { [ "$(count "save project file")" -gt "$before" ]; }
  until_true more_saves || fail "the project was not saved: $(log | tail -5)"
}

# 5. The movie's end edge (after frame 149) dragged to frame 90: three seconds.
drag() {  # x0 y0 x1 y1
  xdotool mousemove --sync "$1" "$2" mousedown 1
  xdotool mousemove --sync $(( ($1 + $3) / 2 )) "$2" mousemove --sync "$3" "$4"
  xdotool mouseup 1
}
drag "$(( $(fx 150) - 1 ))" "$(ly 0)" "$(( $(fx 90) - 1 ))" "$(ly 0)"
save
movie_frames() { objects "$project" | grep -o '^0:[0-9]*,[0-9]*' | cut -d: -f2; }
[ "$(movie_frames)" = "0,89" ] || fail "the movie was not trimmed to three seconds: $(objects "$project")"

# 6. Ctrl+Z takes the trim back, Ctrl+Shift+Z brings it again.
key ctrl+z
undone() { logged "Undo: "; }
until_true undone || fail "Ctrl+Z did not undo: $(log | tail -5)"
save
[ "$(movie_frames)" = "0,149" ] || fail "Ctrl+Z left the movie at $(movie_frames)"
key ctrl+shift+z
redone() { logged "Redo: "; }
until_true redone || fail "Ctrl+Shift+Z did not redo: $(log | tail -5)"
save
[ "$(movie_frames)" = "0,89" ] || fail "Ctrl+Shift+Z left the movie at $(movie_frames)"

# 7. Play from the playback bar: the time counter runs and the sound device
# receives the movie's tone; the second press stops.
buttons=$(log | grep -o "playback buttons at [0-9]*,[0-9]* [0-9]*x[0-9]*, [0-9]* apart" | tail -1)
read -r _ _ _ bplace bsize apart _ <<<"$buttons"
bx=${bplace%%,*}; by=${bplace#*,}; bw=${bsize%x*}; bh=${bsize#*x}; bh=${bh%,}
click_button() { xdotool mousemove --sync $((bx + $1 * apart + bw / 2)) $((by + bh / 2)) click 1; }
counter=$(log | grep -o "time counter at [0-9]*,[0-9]* [0-9]*x[0-9]*" | tail -1)
read -r cx cy cw ch <<<"$(sed -E 's/time counter at ([0-9]+),([0-9]+) ([0-9]+)x([0-9]+)/\1 \2 \3 \4/' <<<"$counter")"
counter_shot() { import -window root -crop "${cw}x${ch}+$cx+$cy" +repage "$1"; }
counter_shot "$work/counter0.png"
click_button 0
counter_moved() { counter_shot "$work/counter.png"; ! compare -metric AE "$work/counter.png" "$work/counter0.png" null: 2>/dev/null; }
until_true counter_moved || fail "the time counter did not run after play"
# Samples that are not silence reach the device.
heard() {
  [ -s "$work/played.raw" ] && python3 -c '
import sys
data = open(sys.argv[1], "rb").read()
sys.exit(0 if sum(1 for b in data[::64] if b not in (0, 255)) > 100 else 1)' "$work/played.raw"
}
until_true heard || fail "the sound device received no sound: $(ls -l "$work/played.raw" 2>&1)"
click_button 0
save

# 8. Closed and opened again from the saved file.
wmctrl -i -c "$main"
wait_program_end
main_window_name='^(Velmo Kirta2|scenario\.vpj2)'
start_program "$project"
main=$window
until_true logged "load project file" || fail "the saved project was not opened: $(log | tail -5)"
until_true logged "frame 0 shown at" || fail "the reopened project showed no frame"

# 9. ファイル → "ファイル出力" (third from the bottom) → AVI (the first writer).
xdotool windowactivate --sync "$main" mousemove --window "$main" 20 10 click 1
until_true more_others 0 || fail "the File popup did not open"
opened=$(others | wc -l)
xdotool key Up Up Up Right
until_true more_others "$opened" || fail "the export submenu did not open"
xdotool key Return
exported() { logged "export file complete"; }
save_in_chooser "AVIファイル出力" out.avi exported
[ -s "$work/out.avi" ] || fail "no AVI was written"

# The export: every frame of the scene at 1280 x 720, with sound.
last=$(tr -d '\r' < "$project" | awk -F'[=,]' '/^frame=/ { if ($3 > m) m = $3 } END { print m }')
video=$(ffprobe -v error -select_streams v:0 -count_frames -show_entries stream=width,height,nb_read_frames -of csv=p=0 "$work/out.avi")
[ "$video" = "1280,720,$((last + 1))" ] || fail "the exported video is $video, not 1280,720,$((last + 1))"
audio=$(ffprobe -v error -select_streams a:0 -show_entries stream=codec_type -of csv=p=0 "$work/out.avi")
[ "$audio" = "audio" ] || fail "the export has no sound"
ffmpeg -v error -i "$work/out.avi" -vf "select=eq(n\\,45)" -frames:v 1 "$work/frame45.png"
if [ -n "${WRITE_REFERENCE:-}" ]; then cp "$work/frame45.png" "$reference"; fi
psnr=$(compare -metric PSNR "$work/frame45.png" "$reference" null: 2>&1 || true)
awk -v p="$psnr" 'BEGIN { exit !(p == "inf" || p + 0 >= 30) }' || fail "frame 45 differs from the reference: PSNR $psnr dB"
if [ -n "${SCENARIO_SHOT:-}" ]; then
  eval "$(xdotool getwindowgeometry --shell "$main")"
  import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$SCENARIO_SHOT"
fi
wmctrl -i -c "$main"
wait_program_end
echo "scenario: frame 45 at $psnr dB"

echo "scenario: 1 passed, 0 failed"
