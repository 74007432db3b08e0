#!/usr/bin/env bash
# The export yardstick: a 1080p30 composition (a video layer; a still image
# blurred, zoomed, rotated and drawn at 70 % opacity; a line of text) exported
# to uncompressed AVI by bench_export, and the same work done by ffmpeg's
# filter graph on the same machine. Prints both and their ratio.
#   bench/export-composition.sh [seconds] [notext]   (default 10, with the text)
# notext leaves the text line out of both.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-10}"
text=1
case "${2:-}" in
  "") ;;
  notext) text=0 ;;
  *) echo "usage: $0 [seconds] [notext]" >&2; exit 2 ;;
esac
frames=$((seconds * 30))
work="$(mktemp -d)"
# VELMO_BENCH_KEEP=1 keeps the made files and both exports for a look.
[ -n "${VELMO_BENCH_KEEP:-}" ] || trap 'rm -rf "$work"' EXIT
echo "work folder: $work"

bash "$root/scripts/setup.sh" release >/dev/null
source "$root/scripts/test-env.sh"

ffmpeg -nostdin -v error -f lavfi -i "testsrc2=size=1920x1080:rate=30:duration=$seconds" \
  -c:v libx264 -pix_fmt yuv420p -g 30 "$work/video.mp4"
ffmpeg -nostdin -v error -f lavfi -i "mandelbrot=size=800x600:rate=1" -frames:v 1 "$work/image.png"

# output SECTION Z-ROTATION ZOOM TRANSPARENCY: a standard drawing section at the centre.
output() {
  printf '[%s]\neffect.name=標準描画\nX=0.00\nY=0.00\nZ=0.00\n中心X=0.00\n中心Y=0.00\n中心Z=0.00\n' "$1"
  printf 'X軸回転=0.00\nY軸回転=0.00\nZ軸回転=%s.00\n拡大率=%s.000\n縦横比=0.000\n透明度=%s.00\n合成モード=通常' "$2" "$3" "$4"
}

cat >"$work/scene.vpj2" <<EOF
[project]
file=$work/scene.vpj2
display.scene=0
[scene.0]
scene=0
name=Root
video.width=1920
video.height=1080
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
frame=0,$((frames - 1))
[0.0]
effect.name=動画ファイル
再生位置=0.000,0.000,再生範囲,0
再生速度=100.00
ファイル=$work/video.mp4
ループ再生=0
音声付き=0
$(output 0.1 0 100 0)
[1]
layer=1
frame=0,$((frames - 1))
[1.0]
effect.name=画像ファイル
ファイル=$work/image.png
表示番号=0
連番ファイル=0
[1.1]
effect.name=ぼかし
範囲=5
縦横比=0.00
光の強さ=0.0
サイズ固定=0
$(output 1.2 30 150 30)
EOF
[ "$text" = 1 ] && cat >>"$work/scene.vpj2" <<EOF
[2]
layer=2
frame=0,$((frames - 1))
[2.0]
effect.name=テキスト
サイズ=64.00
字間=0.00
行間=0.00
表示速度=0.00
フォント=DejaVu Sans
文字色=ffffff
影・縁色=000000
文字装飾=標準文字
文字揃え=左寄せ[上]
B=0
I=0
テキスト=velmo
文字毎に個別オブジェクト=0
移動座標上に表示=0
オブジェクトの長さを自動調節=0
$(output 2.1 0 100 0 | sed -e 's/^X=0.00$/X=-860.00/' -e 's/^Y=0.00$/Y=-440.00/')
EOF

# CPU seconds (user + system) and peak resident memory of a finished run, from
# /usr/bin/time's record: on a busy machine the CPU time per frame is the
# steadier figure, and the peak memory is compared as it is.
usage() {
  awk -v f="$frames" '{ printf "cpu=%.2fs cpu/frame=%.1fms peak=%dMB\n", $1 + $2, ($1 + $2) * 1000 / f, $3 / 1024 }' "$1"
}

echo "== ours: bench_export to AVI"
ours="$(/usr/bin/time -f "%U %S %M" -o "$work/ours.time" \
  "$root/build/release/bench/bench_export" "$work/scene.vpj2" 0 "$work/ours.avi" | tail -1)"
echo "$ours $(usage "$work/ours.time")"

drawtext=""
[ "$text" = 1 ] && drawtext=",drawtext=text='velmo':fontsize=64:fontcolor=white:x=100:y=100"
echo "== ffmpeg: the same composition through its filter graph to AVI"
start=$(date +%s.%N)
/usr/bin/time -f "%U %S %M" -o "$work/ffmpeg.time" ffmpeg -nostdin -v error -i "$work/video.mp4" -loop 1 -framerate 30 -i "$work/image.png" -filter_complex \
  "[1:v]format=rgba,boxblur=5:2,scale=iw*1.5:ih*1.5,rotate=PI/6:c=none:ow=rotw(PI/6):oh=roth(PI/6),colorchannelmixer=aa=0.7[img];\
[0:v][img]overlay=(W-w)/2:(H-h)/2:shortest=1$drawtext[out]" \
  -map "[out]" -frames:v "$frames" -c:v rawvideo -pix_fmt bgr24 -y "$work/ffmpeg.avi"
end=$(date +%s.%N)
ffmpeg_fps=$(awk -v f="$frames" -v s="$start" -v e="$end" 'BEGIN { printf "%.2f", f / (e - s) }')
echo "frames=$frames fps=$ffmpeg_fps $(usage "$work/ffmpeg.time")"

ours_fps="${ours##*fps=}"
awk -v a="$ours_fps" -v b="$ffmpeg_fps" 'BEGIN { printf "ratio (ours / ffmpeg) = %.2f\n", a / b }'
