#!/usr/bin/env bash
# The file row of a movie object in the real program on its own Xvfb screen
# with a window manager: a movie object chosen in the object list, its
# "ファイル" button opens the file chooser, a two-second movie with sound is
# chosen there, and the saved project has the file, the object cut to the
# movie's 60 frames and the mark that the movie brings its sound; one undo
# takes both back.
# Usage: movie-file-row.sh PROGRAM   (run under xvfb-run -a)
set -euo pipefail
program=$1
source "$(dirname "${BASH_SOURCE[0]}")/../../support/settings-test.sh" velmo-movie-file-row

program_settings 1200 800

# Two seconds of a test picture with a tone, at 30 fps.
movie="$work/clip.mp4"
ffmpeg -v error -f lavfi -i "testsrc=s=160x120:r=30" -f lavfi -i "sine=frequency=440:sample_rate=48000" \
  -t 2 -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -shortest "$movie"

# A 640 x 360 scene with a movie object of 300 frames and no file yet.
project="$work/movie.vpj2"
{ small_scene_head; cat; } > "$project" <<'PROJECT'
[0]
layer=0
frame=0,299
[0.0]
effect.name=動画ファイル
再生位置=0.000,0.000,再生範囲,0
再生速度=100.00
ファイル=
ループ再生=0
音声付き=0
[0.1]
effect.name=標準描画
PROJECT

start_settings_program

# Choosing the object shows its rows; the file row's button opens the chooser.
choose_object
until_eval 'test -n "$(place "file row \[ファイル\] button")"' || fail "the panel showed no file row: $(log | tail -5)"
main=$window
# The program's visible window named "Open" other than the main one.
chooser=""
find_chooser() {
  chooser=$(xdotool search --all --onlyvisible --pid "$app_pid" --name '^Open$' 2>/dev/null | grep -vx "$main" | head -1)
  [ -n "$chooser" ]
}
# The rows may be laid out again after they first show (a busy machine
# paints late): the button is clicked where it was last drawn, again each
# second until the chooser shows.
clicks=0
chooser_open() {
  find_chooser && return 0
  clicks=$((clicks + 1))
  if [ $((clicks % 10)) -eq 1 ]; then
    read -r bx by bw bh <<<"$(place "file row \[ファイル\] button")"
    xdotool mousemove --sync $((bx + bw / 2)) $((by + bh / 2)) click 1
  fi
  return 1
}
until_true chooser_open || fail "the file row's button opened no chooser: $(log | tail -5)"

# The movie's path typed into the chooser's location field, and Return. A
# key the chooser took before it was ready (its folder still loading, the
# field's completion taking the Return) leaves it open: then the path is
# typed again each second until it closes.
tries=0
chosen() {
  xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | grep -qx "$chooser" || return 0
  tries=$((tries + 1))
  if [ $((tries % 10)) -eq 1 ]; then
    xdotool windowactivate --sync "$chooser" key --clearmodifiers ctrl+l 2>/dev/null || return 1
    xdotool key --clearmodifiers ctrl+a BackSpace
    xdotool type --delay 20 "$movie"
    xdotool windowactivate --sync "$chooser" key --clearmodifiers Return 2>/dev/null || true
  fi
  return 1
}
until_true chosen || fail "the chooser did not take the movie"

# The choice is one edit on the program's thread before the save key is read.
save "after the choice"
[ "$(saved 0.0 ファイル)" = "$movie" ] || fail "the saved file is '$(saved 0.0 ファイル)', not $movie"
[ "$(saved 0 frame)" = "0,59" ] || fail "the object spans frames $(saved 0 frame), not the movie's 60"
[ "$(saved 0.0 音声付き)" = "1" ] || fail "the movie's sound is not marked: 音声付き=$(saved 0.0 音声付き)"

# One undo takes back the file and the length together.
key ctrl+z
until_eval 'test "$(count "Undo: ")" -ge 1' || fail "the undo did not run"
save "after the undo"
[ -z "$(saved 0.0 ファイル)" ] || fail "one undo left the file $(saved 0.0 ファイル)"
[ "$(saved 0 frame)" = "0,299" ] || fail "one undo left the object at frames $(saved 0 frame)"
echo "movie file row: 1 passed, 0 failed"
