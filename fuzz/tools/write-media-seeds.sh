#!/usr/bin/env bash
# Writes the MediaReader target's seeds that the ffmpeg tool makes or that are
# built byte by byte; run by hand when the reader learns a new form of file.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
out="$root/fuzz/seeds/MediaReader"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
ff() { ffmpeg -nostdin -v error -y -threads 1 "$@"; }

# Portrait phone video: a display matrix that turns the picture a quarter.
ff -f lavfi -i testsrc2=s=32x24:r=10:d=0.3 -c:v libx264 "$work/plain.mp4"
ff -i "$work/plain.mp4" -c copy -metadata:s:v:0 rotate=90 "$out/rotated.mp4"

# MP3 with the encoder's priming and its trim in the first frame's header.
ff -f lavfi -i "aevalsrc='0.5*sin(2*PI*(200+300*t)*t)':s=8000:d=0.3" -c:a libmp3lame -b:a 8k "$out/tone.mp3"

# A colour matrix no standard names (100) in the Matroska colour element.
ff -f lavfi -i testsrc2=s=32x24:r=10:d=0.3 -c:v mpeg4 -colorspace bt709 "$work/named.mkv"
python3 - "$work/named.mkv" "$out/unknown-matrix.mkv" <<'PY'
import sys
data = bytearray(open(sys.argv[1], 'rb').read())
at = data.find(bytes([0x55, 0xB1, 0x81, 0x01]))
assert at >= 0, 'no matrix element'
data[at + 3] = 100
open(sys.argv[2], 'wb').write(data)
PY

# 60 bytes of WAV whose information chunk claims 1.6 GB.
python3 - "$out/huge-list-chunk.wav" <<'PY'
import struct, sys
body = (b'WAVE' + b'fmt ' + struct.pack('<IHHIIHH', 16, 1, 1, 8000, 16000, 2, 16) +
        b'LIST' + struct.pack('<I', 0xFFFFFFF0) + b'INFO' + b'INAM' + struct.pack('<I', 0x60000000) + b'abcd')
open(sys.argv[1], 'wb').write(b'RIFF' + struct.pack('<I', len(body)) + body)
PY
echo "seeds written to $out"
