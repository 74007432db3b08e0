#!/usr/bin/env bash
# Sets up a Debian 12 machine and builds. Idempotent and quick when everything
# is in place. Usage: scripts/setup.sh [release|test]  (default release)
#   release: build/release, the program as users run it
#   test:    build/test, the program, its tests and the fuzz targets, built by
#            clang with the sanitizers and thread-safety analysis as errors
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
mode="${1:-release}"

# Packages: every scripts/packages/*.txt lists what one part of the program needs.
mapfile -t wanted < <(sed -e 's/#.*//' -e '/^\s*$/d' "$root"/scripts/packages/*.txt | sort -u)
missing=()
for pkg in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$pkg")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# Further machine set-up (locales and the like), one script per need.
for extra in "$root"/scripts/setup.d/*.sh; do
  [ -e "$extra" ] && bash "$extra"
done

# ccache shared between clones: paths are taken relative to the clone's root.
export CCACHE_BASEDIR="$root"
export CCACHE_NOHASHDIR=1

case "$mode" in
  release) dir="$root/build/release"; cc="${CC:-cc}"; cxx="${CXX:-c++}"
           flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMO_SANITIZE=OFF -DVELMO_TESTS=OFF -DVELMO_BENCH=ON) ;;
  test)    dir="$root/build/test"; cc=clang-14; cxx=clang++-14
           flags=(-DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_FLAGS_DEBUG=-gline-tables-only -DCMAKE_CXX_FLAGS_DEBUG=-gline-tables-only -DVELMO_SANITIZE=ON -DVELMO_TESTS=ON -DVELMO_BENCH=OFF -DVELMO_FUZZ=ON) ;;
  *) echo "usage: $0 [release|test]" >&2; exit 2 ;;
esac
# A build folder made with another compiler or other options is made anew.
stamp="$cc $cxx ${flags[*]}"
if [ -d "$dir" ] && [ "$(cat "$dir/.setup-options" 2>/dev/null)" != "$stamp" ]; then
  rm -rf "$dir"
fi
if [ ! -f "$dir/build.ninja" ]; then
  CC="$cc" CXX="$cxx" cmake -S "$root" -B "$dir" -G Ninja "${flags[@]}"
  echo "$stamp" > "$dir/.setup-options"
fi
cmake --build "$dir"
