#!/usr/bin/env bash
# run.sh: builds the game and starts it through wine64: on your display when there is one, otherwise on
# a virtual display, where it waits untouched and a screenshot tells what it shows.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

./scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target nxl >/dev/null
echo "run: built $root/build/win64/nxl.exe (64-bit, for Wine on this machine)"

own_display=""
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then own_display=1; fi

. scripts/wine-session.sh
wine_session_start "$root/build/wineprefix-run" $own_display

"$WINE64" "$root/build/win64/nxl.exe" "$@" &
game=$!
for _ in $(seq 100); do
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
