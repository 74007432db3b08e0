#!/usr/bin/env bash
# Runs the benchmark programs of the release build: bench/run.sh [name-filter]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh" release
source "$root/scripts/test-env.sh"
for b in "$root"/build/release/bench/bench_*; do
  [ -x "$b" ] || continue
  # The export benchmark takes a project and a target; see bench/README.md.
  [ "$(basename "$b")" = bench_export ] && continue
  case "$(basename "$b")" in *"${1:-}"*) ;; *) continue ;; esac
  echo "== $(basename "$b")"
  "$b" --benchmark_min_time=0.2
done
