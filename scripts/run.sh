#!/usr/bin/env bash
# run.sh: builds the game and starts it through Wine: on your display when there is one, otherwise on a
# virtual display, where it waits untouched and a screenshot tells what it shows.
#   run.sh [--win32] [arguments for nxl.exe]
# --win32 starts the shipped 32-bit build/win32/nxl.exe under a 32-bit Wine instead of the 64-bit build.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

preset=win64 prefix=$root/build/wineprefix-run
if [ "${1:-}" = --win32 ]; then
  preset=win32 prefix=$root/build/wineprefix-run32
  shift
fi

./scripts/install-deps.sh
cmake --preset $preset >/dev/null
cmake --build --preset $preset --target nxl >/dev/null
program=$root/build/$preset/nxl.exe
if [ $preset = win32 ]; then
  echo "run: built $program (32-bit, the shipped file)"
else
  echo "run: built $program (64-bit, for Wine on this machine)"
fi

own_display=""
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then own_display=1; fi

. scripts/wine-session.sh
if [ $preset = win32 ]; then
  wine_i386_enable || exit 1
  if [ -n "$WINE_I386_QEMU" ]; then
    echo "run: this kernel runs no 32-bit code, so the 32-bit Wine runs through qemu while the game is open:"
    echo "run: a new prefix takes about 20 s, the game about 2 s to open and some 4 % of a processor while played"
  fi
fi
wine_session_start "$prefix" $own_display

"$WINE64" "$program" "$@" &
game=$!
for _ in $(seq 300); do
  xwininfo -root -tree 2>/dev/null | grep -q '"Noxel' && break
  kill -0 "$game" 2>/dev/null || break
  sleep 0.1
done

if [ -n "$own_display" ]; then
  echo "run: Noxel is open on $DISPLAY"
else
  sleep 1
  shot="$root/build/noxel-screenshot.png"
  import -window root "$shot"
  echo "run: no display here, so Noxel runs on the virtual display $DISPLAY; screenshot: $shot"
  echo "run: press Ctrl+C to end it${NOXEL_RUN_SECONDS:+ (ends by itself after $NOXEL_RUN_SECONDS s)}"
  if [ -n "${NOXEL_RUN_SECONDS:-}" ]; then
    ( sleep "$NOXEL_RUN_SECONDS"; kill "$game" 2>/dev/null ) &
  fi
fi
wait "$game" || true
