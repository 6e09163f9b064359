#!/usr/bin/env bash
# bench.sh: measures the game under the same wine64 and virtual display as the tests and prints a table:
# start-up and peak memory beside Wine's own winemine.exe, processor share over a whole game, key to
# painted mark, the paced wait, objects across repaints, the size of the shipped 32-bit executable, most
# of these again for that 32-bit file under a 32-bit Wine, and the long soak of many games.
#   bench.sh [runs]   (default 7; NOXEL_SOAK_GAMES sets the soak's games, default 300, 0 for none)
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

# Starts a program as a user would (wine64 PROGRAM) and prints the milliseconds until its window is
# mapped on the display.
start_ms() {
  local program=$1 title=$2 t0 t1 pid
  t0=$(date +%s%N)
  "$WINE64" "$program" >/dev/null 2>&1 &
  pid=$!
  local id=""
  until [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q IsViewable; do
    id=$(xwininfo -root -tree 2>/dev/null | grep -m1 "\"$title" | awk '{print $1}')
    sleep 0.002
  done
  t1=$(date +%s%N)
  echo "$(( (t1 - t0) / 1000000 ))"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

nxl_times=() mine_times=()
for _ in $(seq "$runs"); do
  nxl_times+=("$(start_ms build/win64/nxl.exe Noxel)")
  mine_times+=("$(start_ms winemine.exe WineMine)")
done
nt=$(printf '%s\n' "${nxl_times[@]}" | median); mt=$(printf '%s\n' "${mine_times[@]}" | median)

echo "Noxel benchmark, $(date -u +%Y-%m-%d), $(nproc) cores, $(uname -m), $("$WINE64" --version), medians of $runs runs"
echo
echo "| figure | nxl.exe | winemine.exe | ratio | target |"
echo "|---|---|---|---|---|"
echo "| start to its window on the display (ms) | $nt | $mt | $(awk "BEGIN{printf \"%.2f\", $nt/$mt}") | ratio <= 0.65 |"
"$WINE64" build/win64/nxl_bench.exe "$runs" 2>/dev/null | tr -d '\r'
echo "| shipped 32-bit nxl.exe (bytes) | $(stat -c %s build/win32/nxl.exe) | | | <= 49152 |"

# The shipped 32-bit file under a 32-bit Wine (through qemu where this kernel runs no i386 code): the
# same figures in a prefix of its own, with NOXEL_PROGRAM pointing the driver at it.
wine_session_stop
if wine_i386_enable; then
  wine_session_start "$root/build/win32/wineprefix"
  shipped_times=()
  for _ in $(seq "$runs"); do shipped_times+=("$(start_ms build/win32/nxl.exe Noxel)"); done
  echo
  echo "shipped 32-bit build/win32/nxl.exe under the 32-bit Wine${WINE_I386_QEMU:+ through qemu}:"
  echo
  echo "| figure | nxl.exe (32-bit) | winemine.exe (64-bit) | ratio | target |"
  echo "|---|---|---|---|---|"
  echo "| start to its window on the display (ms) | $(printf '%s\n' "${shipped_times[@]}" | median) | | | |"
  NOXEL_PROGRAM="Z:$root/build/win32/nxl.exe" "$WINE64" build/win64/nxl_bench.exe "$runs" 2>/dev/null | tr -d '\r' |
    grep -v waitPumping | if [ -n "$WINE_I386_QEMU" ]; then sed -E 's/\| [^|]+ \|$/| (emulated) |/'; else cat; fi
  wine_session_stop
  wine_i386_disable
else
  echo "bench: the shipped 32-bit file is not measured"
fi
wine_session_start "$root/build/win64/wineprefix"

games=${NOXEL_SOAK_GAMES:-300}
if [ "$games" -gt 0 ]; then
  echo
  echo "soak of $games games (GDI objects and windows inside the game before and after):"
  NOXEL_SOAK_GAMES=$games "$WINE64" build/win64/game_driver_tests.exe --gtest_filter='Soak.*' 2>/dev/null |
    tr -d '\r' | grep -E '^soak:|OK|FAILED'
fi
