#!/usr/bin/env bash
# A project made from scratch in the real program on its own Xvfb screen with
# a window manager, driven only with the mouse and the keys: a new 1280 x 720
# project; a movie with sound dragged from the media explorer onto Layer1; a
# text object added from the timeline's menu and its title typed in the text
# panel; ぼかし added to the movie from its block menu in the settings panel,
# its 範囲 set to 10; the text moved with its anchor in the preview; the movie
# trimmed to three seconds, the trim undone and redone; played from the
# playback bar (the cursor runs to the end, the sound device receives
# samples); saved, closed, opened again and exported to AVI through the File
# menu. The exported file has the scene's frames at 1280 x 720 with sound,
# and its frame 45 matches the reference picture. Every step is checked in
# the saved project or the log before the next one starts.
# A screenshot of the editor is left as $SCENARIO_SHOT when that is set;
# WRITE_REFERENCE=1 writes the reference picture; a failure leaves a picture
# of the screen and the program's log in $SCENARIO_DEBUG when that is set.
# Usage: scenario.sh PROGRAM REFERENCE.png   (run under xvfb-run -a on a
# screen of at least 1600 x 1250)
set -euo pipefail
program=$(realpath "$1")
reference=$(realpath -m "$2")
export NO_AT_BRIDGE=1
source "$(dirname "${BASH_SOURCE[0]}")/../support/window-test.sh" velmo-scenario
keys_script="$(dirname "${BASH_SOURCE[0]}")/../support/screen-keys.py"

if [ -n "${SCENARIO_DEBUG:-}" ]; then
  fail() {
    import -window root "$SCENARIO_DEBUG/fail.png" 2>/dev/null || true
    cp -r "$data/Log" "$SCENARIO_DEBUG/" 2>/dev/null || true
    cp "$work"/*.vpj2 "$SCENARIO_DEBUG/" 2>/dev/null || true
    echo "FAIL: $*" >&2
    exit 1
  }
fi

program_settings 1500 1150
media="$work/media"
mkdir -p "$media"
# The explorer shows the media folder; playback leaves the cursor where it stopped.
printf '[Window.explorer:1]\r\nFolderPath=%s\r\n[Player]\r\nReturnCursorPosition=0\r\n' "$media" >> "$data/velmo2.ini"
# Five seconds of a test picture with a tone, at 30 fps, H.264 and AAC.
ffmpeg -v error -f lavfi -i "testsrc=s=1280x720:r=30" -f lavfi -i "sine=frequency=440:sample_rate=48000" \
  -t 5 -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -shortest "$media/clip.mp4"
# The sound device writes what it plays into a file.
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/played.raw"

title="夏の旅 Summer"
start_window_manager || fail "the window manager did not start"
# Keys of their own for the title's Japanese letters.
python3 "$keys_script" "夏の旅" || fail "the letters got no keys"
cd "$work"

log() { cat "$data"/Log/* 2>/dev/null || true; }
logged() { log | grep -qF -- "$1"; }
count() { log | grep -cF -- "$1" || true; }
# The newest "<what> at X,Y WxH" place as "X Y W H".
place() { log | grep -o "$1 at [0-9]*,[0-9]* [0-9]*x[0-9]*" | tail -1 | sed -E 's/.* at ([0-9]+),([0-9]+) ([0-9]+)x([0-9]+)$/\1 \2 \3 \4/'; }
wait_place() { local what=$1; until_eval 'test -n "$(place "$what")"' || fail "no place of '$what': $(log | tail -5)"; }
key() { xdotool windowactivate --sync "$main" key --clearmodifiers "$@"; }
# The program's visible windows but the main one and the one-pixel windows
# the toolkit keeps (a tip that went is one of them).
others() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null); do
    [ "$w" != "$main" ] && [ "$(xdotool getwindowgeometry "$w" 2>/dev/null | awk '/Geometry:/{print $2}')" != 1x1 ] && echo "$w"
  done
  return 0
}
more_others() { [ "$(others | wc -l)" -gt "$1" ]; }
# The program's open menus (the toolkit's menu windows; tips are not menus).
menus() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null); do
    xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -qE "_MENU|_COMBO" && echo "$w"
  done
  return 0
}
menu_count() { menus | wc -l; }
menus_open() { [ "$(menu_count)" -gt "${1:-0}" ]; }
menus_closed() { [ "$(menu_count)" -eq 0 ]; }
find_named() {
  found=$(xdotool search --all --onlyvisible --pid "$app_pid" --name "$1" 2>/dev/null | head -1)
  [ -n "$found" ]
}
no_named() { ! find_named "$1"; }
# The pointer out of the way of the menus, so that only the keys choose.
park() { xdotool mousemove --sync 1595 1245; }
shot_of_main() {
  local geometry
  geometry=$(xwininfo -id "$main" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print w "x" h "+" x "+" y}')
  import -window root -crop "$geometry" +repage "$1"
}
# Two pictures of the main window in a row alike: everything is drawn.
settled() {
  shot_of_main "$work/settle-a.png"
  if [ -f "$work/settle-b.png" ] && compare -metric AE "$work/settle-a.png" "$work/settle-b.png" null: 2>/dev/null; then
    return 0
  fi
  mv "$work/settle-a.png" "$work/settle-b.png"
  return 1
}
wait_settled() { rm -f "$work/settle-b.png"; until_true settled || fail "the window did not settle"; }

project="$work/scenario.vpj2"
# A key of a section ("0", "1.0") of the saved project.
saved() { tr -d '\r' < "$project" | awk -F= -v section="[$1]" -v key="$2" '$0==section{s=1;next} /^\[/{s=0} s&&$1==key{print substr($0, length(key) + 2)}'; }
movie_frames() { saved 0 frame; }
# Ctrl+S writes the project beside the file and renames it into place: the
# log line comes first, the new file (a new inode) after it.
inode() { stat -c %i "$project" 2>/dev/null || true; }
save() {
  local before old; before=$(count "save project file"); old=$(inode)
  key ctrl+s
  until_eval 'test "$(count "save project file")" -gt "$before"' || fail "the project was not saved: $(log | tail -5)"
  until_eval 'test "$(inode)" != "$old"' || fail "the saved project file was not replaced"
}
expect() {  # what, wanted, actual
  [ "$2" == "$3" ] || fail "$1: wanted [$2], got [$3]; the log ends: $(log | grep -vE "number row|file row|colour row|block \[" | tail -8)"
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

# The object list's rows: row n (0 the first) clicked; the click makes its
# object the one the panels show, which the saved project marks focus=1.
choose_object() {  # row, section
  read -r ox oy ow oh <<<"$(place "object list rows")"
  xdotool mousemove --sync $((ox + ow / 3)) $((oy + $1 * oh + oh / 2)) click 1
  save
  expect "the chosen object of row $1" 1 "$(saved "$2" focus)"
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
# The timeline's rows as they are now: X0,Y0 the corner of Layer1 at frame 0.
timeline_rows() {
  until_true rows_placed || fail "the timeline never showed its rows"
  read -r _ _ _ tplace _ LH _ <<<"$rows"
  X0=${tplace%%,*}; Y0=${tplace#*,}
}
timeline_rows
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

# 3. A right click on Layer2 at frame 0: "オブジェクトを追加" → "テキスト" (its fourth entry).
xdotool mousemove --sync "$(fx 2)" "$(ly 1)" click 3
until_true menus_open || fail "the object menu did not open after the drop"
park
xdotool key Down Right
until_true menus_open 1 || fail "the add-object submenu did not open"
xdotool key Down Down Down Return
until_true menus_closed || fail "the menus did not close"
until_true logged "create object [テキスト] layer=1 frame=0" \
  || fail "no text object was created: $(log | grep -E "create|ERROR" | tail -5)"

# 4. Saved as scenario.vpj2 (Ctrl+S asks for the name of a new project).
key ctrl+s
project_saved() { [ -f "$project" ]; }
save_in_chooser "Save As" scenario.vpj2 project_saved
expect "the movie's frames" "0,149" "$(movie_frames)"
expect "the text's frames" "0,80" "$(saved 1 frame)"

# 5. The title typed into the text panel: the text object chosen in the
# object list, the panel opened as the fifth panel entry of the Display
# popup (File's label, then three to the left).
choose_object 1 1
xdotool mousemove --window "$main" --sync 20 10 click 1
until_true menus_open || fail "the File popup did not open"
park
# Each Left opens the next popup to the left: the keys after it are for the
# new one, so each waits for it.
popups() { menus | sort | tr '\n' ' '; }
for _ in 1 2 3; do
  shown=$(popups)
  xdotool key Left
  until_eval 'test "$(popups)" != "$shown" && menus_open' || fail "Left did not open the next popup"
done
xdotool key Down Down Down Down Down Return
until_eval 'test -n "$(place "text editor")"' || fail "the Display popup did not open the text panel: $(log | tail -5)"
until_true menus_closed || fail "the Display popup did not close"
wait_settled
# While the editor has the keyboard, keys go to it: a click on the panel's
# title strip lets go of it before the project is saved.
read -r tx ty tw th <<<"$(place "text editor")"
xdotool mousemove --sync $((tx + tw - 20)) $((ty + th - 20)) click 1
key ctrl+End
LC_ALL=C.UTF-8 xdotool type --delay 50 "$title"
xdotool mousemove --sync $((tx + tw / 2)) $((ty - 18)) click 1
save
expect "the typed title" "$title" "$(saved 1.0 テキスト)"

# 6. ぼかし added to the movie from its block menu ("フィルタ効果を追加" →
# "ぼかし" (third) → "ぼかし" (first)), its 範囲 typed as 10.
choose_object 0 0
wait_settled
wait_place "block \[動画ファイル\] header"
read -r bx by bw bh <<<"$(place "block \[動画ファイル\] header")"
xdotool mousemove --sync $((bx + bw / 3)) $((by + bh / 2)) click 3
until_true menus_open || fail "the block menu did not open"
park
xdotool key Down Right
until_true menus_open 1 || fail "the add-filter submenu did not open"
xdotool key Down Down Right
until_true menus_open 2 || fail "the blur submenu did not open"
xdotool key Return
until_true menus_closed || fail "the block menu did not close"
until_true logged "set effect [ぼかし] layer=0" || fail "ぼかし was not added: $(log | grep -E "effect|ERROR" | tail -5)"
wait_settled
wait_place "number row \[範囲\] value"
read -r rx ry rw rh <<<"$(place "number row \[範囲\] value")"
xdotool mousemove --sync $((rx + rw / 2)) $((ry + rh / 2)) click 1
xdotool type --delay 50 "10"
key Return
save
expect "the movie's third effect" "ぼかし" "$(saved 0.2 effect.name)"
expect "ぼかし's 範囲" "10" "$(saved 0.2 範囲)"

# 7. The text dragged 100 pixels to the right in the preview. Its origin
# (the frame's centre) is the top-left corner of its box (about 210 x 42
# pixels here), where a handle sizes it; a press picks the object whose box
# centre is nearest, so it is made in the middle of the letters, far nearer
# to the text's centre than to the movie's (the frame's centre).
choose_object 1 1
wait_settled
read -r px py pw ph <<<"$(place "frame drawn")"
cx=$((px + pw / 2 + 100)); cy=$((py + ph / 2 + 20))
xdotool mousemove --sync "$cx" "$cy" mousedown 1
for step in 10 20 40 60 80 100; do xdotool mousemove --sync $((cx + step)) "$cy"; done
xdotool mouseup 1
save
moved=$(saved 1.1 X)
wanted=$(awk -v w="$pw" 'BEGIN{printf "%.2f", 100 * 1280 / w}')
awk -v a="$moved" -v b="$wanted" -v w="$pw" 'BEGIN{d=a-b; if (d<0) d=-d; exit !(d <= 2 * 1280 / w)}' \
  || fail "dragging the text 100 pixels on a $pw-pixel frame moved its X to $moved, not about $wanted"
expect "the text's Y" "0.00" "$(saved 1.1 Y)"
expect "the text's size" "40.00" "$(saved 1.0 サイズ)"
expect "the movie's X" "0.00" "$(saved 0.1 X)"

# 8. The movie's end edge (after frame 149) dragged to frame 90: three seconds.
timeline_rows
drag() {  # x0 y0 x1 y1
  xdotool mousemove --sync "$1" "$2" mousedown 1
  xdotool mousemove --sync $(( ($1 + $3) / 2 )) "$2" mousemove --sync "$3" "$4"
  xdotool mouseup 1
}
drag "$(( $(fx 150) - 1 ))" "$(ly 0)" "$(( $(fx 90) - 1 ))" "$(ly 0)"
save
expect "the trimmed movie's frames" "0,89" "$(movie_frames)"

# 9. Ctrl+Z takes the trim back, Ctrl+Shift+Z brings it again.
undos=$(count "Undo: ")
key ctrl+z
until_eval 'test "$(count "Undo: ")" -gt "$undos"' || fail "Ctrl+Z did not undo: $(log | tail -5)"
save
expect "the movie after Ctrl+Z" "0,149" "$(movie_frames)"
redos=$(count "Redo: ")
key ctrl+shift+z
until_eval 'test "$(count "Redo: ")" -gt "$redos"' || fail "Ctrl+Shift+Z did not redo: $(log | tail -5)"
save
expect "the movie after Ctrl+Shift+Z" "0,89" "$(movie_frames)"

if [ -n "${SCENARIO_SHOT:-}" ]; then
  # The text chosen, so that the panels show its settings and its title.
  choose_object 1 1
  # The pointer rests on the explorer's empty space: no tip is left open.
  xdotool mousemove --window "$main" --sync 120 500
  wait_settled
  cp "$work/settle-b.png" "$SCENARIO_SHOT"
fi

# 10. Play from the playback bar: the sound device receives the movie's
# tone, and the cursor runs to the end of the scene, where the time counter
# shows another time.
read -r _ _ _ bplace bsize apart _ <<<"$(log | grep -o "playback buttons at [0-9]*,[0-9]* [0-9]*x[0-9]*, [0-9]* apart" | tail -1)"
bx=${bplace%%,*}; by=${bplace#*,}; bw=${bsize%x*}; bh=${bsize#*x}; bh=${bh%,}
read -r cx cy cw ch <<<"$(place "time counter")"
counter_shot() { import -window root -crop "${cw}x${ch}+$cx+$cy" +repage "$1"; }
counter_shot "$work/counter0.png"
shown_before=$(log | grep -c "frame [0-9]* shown at" || true)
xdotool mousemove --sync $((bx + bw / 2)) $((by + bh / 2)) click 1
until_true logged "start audio player" || fail "the play button started no sound: $(log | tail -5)"
heard() {
  [ -s "$work/played.raw" ] && python3 -c '
import sys
data = open(sys.argv[1], "rb").read()
sys.exit(0 if sum(1 for b in data[::64] if b not in (0, 255)) > 100 else 1)' "$work/played.raw"
}
until_true heard || fail "the sound device received no sound: $(ls -l "$work/played.raw" 2>&1)"
# The end: the preview shows the frame the cursor stopped at.
ended() { log | grep -o "frame [0-9]* shown at" | tail -n +$((shown_before + 1)) | grep -qv "frame 0 shown"; }
until_true ended || fail "playback did not run to the end: $(log | grep "shown at" | tail -3)"
counter_shot "$work/counter.png"
! compare -metric AE "$work/counter.png" "$work/counter0.png" null: 2>/dev/null || fail "the time counter did not move"
save
[ "$(saved scene.0 cursor.frame)" -gt 0 ] || fail "the cursor stayed at frame $(saved scene.0 cursor.frame)"

# 11. Closed and opened again from the saved file.
wmctrl -i -c "$main"
wait_program_end
main_window_name='^(Velmo Kirta2|scenario\.vpj2)'
loads=$(count "load project file")
start_program "$project"
main=$window
until_eval 'test "$(count "load project file")" -gt "$loads"' || fail "the saved project was not opened: $(log | tail -5)"
until_eval 'test "$(log | grep -c "frame [0-9]* shown at")" -gt 0' || fail "the reopened project showed no frame"

# 12. ファイル → "ファイル出力" (third from the bottom) → AVI (the first writer).
xdotool windowactivate --sync "$main" mousemove --window "$main" --sync 20 10 click 1
until_true menus_open || fail "the File popup did not open"
park
xdotool key Up Up Up Right
until_true menus_open 1 || fail "the export submenu did not open"
xdotool key Return
exported() { logged "export file complete"; }
save_in_chooser "AVIファイル出力" out.avi exported
[ -s "$work/out.avi" ] || fail "no AVI was written"

# The export: every frame of the scene at 1280 x 720, with sound.
last=$(tr -d '\r' < "$project" | awk -F'[=,]' '/^frame=/ { if ($3 > m) m = $3 } END { print m }')
video=$(ffprobe -v error -select_streams v:0 -count_frames -show_entries stream=width,height,nb_read_frames -of csv=p=0 "$work/out.avi")
expect "the exported video" "1280,720,$((last + 1))" "$video"
audio=$(ffprobe -v error -select_streams a:0 -show_entries stream=codec_type -of csv=p=0 "$work/out.avi")
expect "the export's sound" "audio" "$audio"
ffmpeg -v error -i "$work/out.avi" -vf "select=eq(n\\,45)" -frames:v 1 "$work/frame45.png"
if [ -n "${WRITE_REFERENCE:-}" ]; then cp "$work/frame45.png" "$reference"; fi
psnr=$(compare -metric PSNR "$work/frame45.png" "$reference" null: 2>&1 || true)
awk -v p="$psnr" 'BEGIN { exit !(p == "inf" || p + 0 >= 30) }' || fail "frame 45 differs from the reference: PSNR $psnr dB"
wmctrl -i -c "$main"
wait_program_end
echo "scenario: frame 45 at $psnr dB"

echo "scenario: 1 passed, 0 failed"
