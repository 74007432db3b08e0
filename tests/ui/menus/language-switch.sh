#!/usr/bin/env bash
# Switches the language of the real program at run time on its own Xvfb
# screen: a language file dragged from another program onto the preview is
# installed and made the language: the menu bar is built again in it (its
# picture changes), a notice says so, and the rebuilt File popup still ends
# the program, which keeps the language in its settings.
# Usage: language-switch.sh PROGRAM DRAG_PROBE   (run under xvfb-run -a)
set -euo pipefail
program=$1
probe=$2
source "$(dirname "${BASH_SOURCE[0]}")/../../support/window-test.sh" velmo-language
program_settings 800 600
printf '[Window.preview]\r\nleft=0\r\ntop=0\r\nright=1\r\nbottom=0.6\r\narea=2\r\nhide=0\r\n' >> "$data/velmo2.ini"
printf '[Window.edit]\r\nleft=0\r\ntop=0.6\r\nright=1\r\nbottom=1\r\narea=3\r\nhide=0\r\n' >> "$data/velmo2.ini"
# Built-in texts start as Japanese whatever the screen's language is.
printf '[Translate]\r\nLanguage=\r\n' >> "$data/velmo2.ini"
printf '[Menu]\nファイル=FILE\n編集=EDIT\n表示=VIEW\n設定=SETTINGS\nその他=OTHER\n終了=Quit\n' \
  > "$work/Test.vln2"

start_window_manager || fail "the window manager did not start"
start_program
log() { cat "$data"/Log/* 2>/dev/null || true; }
shown_count() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l; }
# The main window's picture, and pixels that differ between two pictures.
shot() { import -window "$window" "$1" 2>/dev/null; }
differing() { compare -metric AE -fuzz 4% "$1" "$2" null: 2>&1 | awk '{print int($1)}' || true; }
# The rows (height, top) of a picture.
band() { convert "$1" -crop "800x$2+0+$3" +repage "$4"; }
painted() { shot "$work/now.png" && [ "$(identify -format %k "$work/now.png")" -gt 16 ]; }
settled() {
  shot "$work/a.png"
  [ -f "$work/b.png" ] && [ "$(differing "$work/a.png" "$work/b.png")" -eq 0 ] && return 0
  mv "$work/a.png" "$work/b.png"
  return 1
}
wait_settled() { rm -f "$work/b.png"; until_true settled || fail "the window did not settle"; cp "$work/b.png" "$1"; }

until_true painted || fail "the main window did not draw its panels"
wait_settled "$work/before.png"
base=$(shown_count)

# The language file dragged onto the middle of the preview.
read -r wx wy ww wh <<<"$(xdotool getwindowgeometry --shell "$window" | awk -F= '/^X=/{x=$2} /^Y=/{y=$2} /^WIDTH=/{w=$2} /^HEIGHT=/{h=$2} END{print x, y, w, h}')"
tx=$((wx + ww / 2)); ty=$((wy + wh / 4))
drag_files_to "$tx" "$ty" "$work/Test.vln2"
# The tip "言語ファイルを設定" shows once the preview accepts the file.
nudge=0
tip_shown() {
  nudge=$((1 - nudge))
  xdotool mousemove "$tx" $((ty + nudge))
  [ "$(shown_count)" -gt "$base" ]
}
until_true tip_shown || { xdotool mouseup 1; fail "the preview did not accept the drag"; }
xdotool mouseup 1

# The file is installed and a notice box says so.
installed() { [ -f "$data/Language/Test.vln2" ]; }
until_true installed || fail "the language file was not installed: $(log | tail -8) $(cat "$work/source.txt")"
notice=""
# A window of the program besides the main one (a box or a popup), larger
# than its 1 x 1 helpers.
find_notice() {
  local w
  notice=""
  for w in $(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | grep -vx "$window"); do
    [ "$(xwininfo -id "$w" | awk '/Width:/{print $2}')" -gt 10 ] && { notice=$w; return 0; }
  done
  return 1
}
until_true find_notice || fail "the notice box did not show"
# The box runs while the drop is still open, the drag source holding the
# keyboard; the source goes, which lets the keys reach the box.
kill "$source_pid" 2>/dev/null || true
closed() {
  find_notice || return 0
  xdotool windowactivate --sync "$notice" 2>/dev/null || true
  xdotool key --clearmodifiers Return
  return 1
}
until_true closed || fail "the notice box did not close"

wait_settled "$work/after.png"
band "$work/before.png" 22 0 "$work/bar1.png"
band "$work/after.png" 22 0 "$work/bar2.png"
bar_changed=$(differing "$work/bar1.png" "$work/bar2.png")
[ "$bar_changed" -gt 100 ] || fail "the menu bar did not change: $bar_changed pixels differ"

# The rebuilt File popup (now "FILE"): its last entry, "Quit", ends the program.
xdotool mousemove --window "$window" 20 10 click 1
until_true find_notice || fail "the File popup did not open"
ended() {
  [ "$(shown_count)" -eq 0 ] && return 0
  find_notice && xdotool key Up Return
  return 1
}
until_true ended || fail "the File popup's last entry did not end the program"
wait_program_end
language=$(tr -d '\r' < "$data/velmo2.ini" | sed -n '/^\[Translate\]/,/^\[/p' | grep '^Language=' || true)
[ "$language" = "Language=Test" ] || fail "the language was not kept: $language"
echo "language switch: 1 passed, 0 failed"
