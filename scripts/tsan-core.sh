#!/usr/bin/env bash
# Runs the worker-thread, synchronisation and pipe-process tests under
# ThreadSanitizer (build/tsan). Not part of CI's tests: bash scripts/tsan-core.sh
# (The abandoned process-mutex case is left out: ThreadSanitizer does not
# model robust mutexes and reports the new owner's unlock.)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="$root/build/tsan"
export CCACHE_BASEDIR="$root"
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMO_SANITIZE=OFF -DVELMO_TESTS=ON \
    -DVELMO_BENCH=OFF -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_C_FLAGS=-fsanitize=thread \
    -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread
fi
cmake --build "$dir" --target test_core test_platform_os
source "$root/scripts/test-env.sh"
export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}"
export VELMO_TEST_BINARY_DIR="$dir"
run() { if [ -z "${DISPLAY:-}" ]; then xvfb-run -a "$@"; else "$@"; fi; }
run "$dir/tests/test_core" --gtest_filter='WorkerThread.*:PipeProcess.*'
run "$dir/tests/test_platform_os" --gtest_filter='Semaphore.*:ProcessMutex.*:SlimLock.*:Thread.*:ChildProcess.*-ProcessMutex.TakesItFromAHolderThatDied'
