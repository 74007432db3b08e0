#!/usr/bin/env bash
# Starts the editor from the release build (scripts/setup.sh builds it), under
# Xvfb when there is no display. Arguments go to the program (a project path).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
exe="$root/build/release/bin/velmo2"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$exe" "$@"
fi
exec "$exe" "$@"
