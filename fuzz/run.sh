#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs one or all of them; an
# undefined-behaviour report stops the run like a crash and leaves its input.
#   fuzz/run.sh [target] [seconds] [libFuzzer flags...]   e.g. fuzz/run.sh IniFile 60 -max_len=65536
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
target="${1:-}"
seconds="${2:-60}"
dir="$root/build/fuzz"
export CCACHE_BASEDIR="$root"
if [ ! -f "$dir/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELMO_FUZZ=ON -DVELMO_TESTS=OFF -DVELMO_BENCH=OFF
fi
cmake --build "$dir"
for exe in "$dir"/fuzz/fuzz_*; do
  name="$(basename "$exe")"; name="${name#fuzz_}"
  [ -z "$target" ] || [ "$target" = "$name" ] || continue
  corpus="$root/fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds=()
  [ -d "$root/fuzz/seeds/$name" ] && seeds=("$root/fuzz/seeds/$name")
  # A target's own limits (memory, time per input) stand in fuzz/flags/<target>;
  # the others get these, so a stall or a runaway allocation shows there too.
  limits=(-malloc_limit_mb=1100 -rss_limit_mb=2560 -timeout=10)
  if [ -f "$root/fuzz/flags/$name" ]; then
    read -r -a limits <<< "$(sed -e 's/#.*//' "$root/fuzz/flags/$name" | tr '\n' ' ')"
  fi
  echo "== $name for ${seconds}s"
  ASAN_OPTIONS=quarantine_size_mb=8 UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}" "$exe" -max_total_time="$seconds" -print_final_stats=1 "${limits[@]}" "${@:3}" "$corpus" "${seeds[@]}"
done
