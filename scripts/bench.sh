#!/usr/bin/env bash
# bench.sh: measures the game under the same wine64 and virtual display as the tests and prints a table:
# start-up, memory and processor share beside Wine's winemine.exe, key-to-paint time, objects across
# repaints, the long soak of many games, and the size of the shipped 32-bit executable.
#   bench.sh [runs] (default 7; NOXEL_SOAK_GAMES sets the soak's games, default 300)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${1:-7}

./scripts/install-deps.sh
cmake --preset win32 >/dev/null && cmake --build --preset win32 >/dev/null
cmake --preset win64 >/dev/null && cmake --build --preset win64 >/dev/null

. scripts/wine-session.sh
wine_session_start "$root/build/win64/wineprefix"
export LC_ALL=C.UTF-8

echo "Noxel benchmark, $(date -u +%Y-%m-%d), $(nproc) cores, $(uname -m), $("$WINE64" --version)"
echo
"$WINE64" build/win64/nxl_bench.exe "$runs" 2>/dev/null | tr -d '\r'
size=$(stat -c %s build/win32/nxl.exe)
echo "| shipped 32-bit nxl.exe (bytes) | $size | | | <= 32768 |"
echo
games=${NOXEL_SOAK_GAMES:-300}
if [ "$games" -gt 0 ]; then
  echo "soak of $games games (GDI objects and windows inside the game before and after):"
  NOXEL_SOAK_GAMES=$games "$WINE64" build/win64/game_driver_tests.exe --gtest_filter='Soak.*' 2>/dev/null |
    tr -d '\r' | grep -E '^soak:|OK|FAILED'
fi
