#!/usr/bin/env bash
# Writes the AviReader target's seeds that the ffmpeg tool makes: raw top-down
# frames with PCM sound, and compressed video and sound for the decompressors.
# The program's own files come from write_avi_seeds.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
out="$root/fuzz/seeds/AviReader"
ff() { ffmpeg -nostdin -v error -y -threads 1 "$@"; }
ff -f lavfi -i testsrc=s=8x6:r=10:d=0.5 -f lavfi -i sine=sample_rate=8000:d=0.5 \
  -c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le -ac 2 "$out/tool-raw.avi"
ff -f lavfi -i testsrc=s=16x16:r=10:d=0.5 -f lavfi -i sine=sample_rate=8000:d=0.5 \
  -c:v mjpeg -g 3 -c:a adpcm_ms -ac 1 "$out/tool-mjpeg.avi"
