#!/usr/bin/env bash
# Generates de_DE.UTF-8, the comma-decimal locale the tests run number texts under.
set -euo pipefail
if locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  exit 0
fi
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
if ! grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
  echo 'de_DE.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
fi
"${sudo_cmd[@]}" locale-gen >/dev/null
