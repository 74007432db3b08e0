#!/usr/bin/env bash
# Runs every test of the sanitizer build (scripts/setup.sh test builds it).
# A test that runs past 15 minutes has hung: it fails instead of holding CI.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/test-env.sh"
cd "$root/build/test"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1920x1080x24" ctest --output-on-failure --timeout 900 -j "$(nproc)" "$@"
fi
exec ctest --output-on-failure --timeout 900 -j "$(nproc)" "$@"
