#!/usr/bin/env bash
# The object settings panel's block menu in the real program on its own Xvfb
# screen with a window manager: its "フィルタ効果を追加" adds ぼかし to a figure
# (its menu entry set first in the menu definitions), after the figure's
# output, and the saved project has it.
# Usage: settings-menus.sh PROGRAM   (run under xvfb-run -a)
set -euo pipefail
program=$1
source "$(dirname "${BASH_SOURCE[0]}")/../../support/settings-test.sh" velmo-settings-menus

program_settings 1200 800
# ぼかし first in every effect menu, outside any submenu.
printf '[Effect.ぼかし]\r\norder=-1\r\nlabel=\r\nhide=0\r\n' >> "$data/velmo2.ini"

# A 640 x 360 scene with a figure on layer 0.
project="$work/menus.vpj2"
{ small_scene_head; cat; } > "$project" <<'PROJECT'
[0]
layer=0
frame=0,299
[0.0]
effect.name=図形
[0.1]
effect.name=標準描画
PROJECT

start_settings_program
# How many windows of the program are visible: the main window and its helpers, and each open popup on top.
shown_count() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l; }
more_than() { [ "$(shown_count)" -gt "$1" ]; }


# The figure (the list's only row): its block menu adds ぼかし.
choose_object
until_eval 'test -n "$(place "block \[図形\] header")"' || fail "the panel showed no figure block: $(log | tail -5)"
read -r bx by bw bh <<<"$(place "block \[図形\] header")"
base=$(shown_count)
xdotool mousemove --sync $((bx + bw / 3)) $((by + bh / 2)) click 3
until_true more_than "$base" || fail "the block menu did not open"
menu=$(shown_count)
xdotool key Down Right
until_true more_than "$menu" || fail "the add-filter submenu did not open"
xdotool key Return
until_true logged "set effect [ぼかし]" || fail "no filter was added: $(log | grep -E "effect|ERROR" | tail -5)"
save
[ "$(saved 0.2 effect.name)" = "ぼかし" ] || fail "the saved figure has [$(saved 0.2 effect.name)] third, not ぼかし"
[ "$(saved 0.1 effect.name)" = "標準描画" ] || fail "the filter did not go after the figure's output"

echo "settings menus: 1 passed, 0 failed"
