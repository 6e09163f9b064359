#!/usr/bin/env bash
# run.sh: builds the game and starts it through Wine: on your display when there is one, otherwise on a
# virtual display, where it waits untouched and a screenshot tells what it shows. A step that fails is
# named, with where its output is.
#   run.sh [--win32] [arguments for nxl.exe]
# --win32 starts the shipped 32-bit build/win32/nxl.exe under a 32-bit Wine instead of the 64-bit build.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
trap 'echo "run: failed (exit $?) at: $BASH_COMMAND" >&2' ERR

preset=win64 prefix=$root/build/wineprefix-run
if [ "${1:-}" = --win32 ]; then
  preset=win32 prefix=$root/build/wineprefix-run32
  shift
fi

./scripts/install-deps.sh
mkdir -p build
build_log=$root/build/run-$preset-build.log
if ! { cmake --preset $preset && cmake --build --preset $preset --target nxl; } >"$build_log" 2>&1; then
  tail -20 "$build_log" >&2
  echo "run: building nxl.exe failed; the whole output is in $build_log" >&2
  exit 1
fi
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

# Starts the program and waits for its window; true when the window is there or the program still runs.
start_program() {
  "$WINE64" "$program" "$@" >>"$WINE_SESSION_LOG" 2>&1 &
  game=$!
  for _ in $(seq 300); do
    xwininfo -root -tree 2>/dev/null | grep -q '"Noxel' && return 0
    kill -0 "$game" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$game" 2>/dev/null
}

if ! start_program "$@"; then
  status=0
  wait "$game" || status=$?
  # With arguments it may have been a setup run, which ends by itself with its exit code.
  if [ $# -gt 0 ]; then
    echo "run: nxl.exe $* ended with exit code $status"
    exit $status
  fi
  echo "run: the game ended (exit $status) before its window appeared; trying once more" >&2
  if ! start_program; then
    wait "$game" || status=$?
    echo "run: the game ended again (exit $status) before its window appeared; Wine's output is in $WINE_SESSION_LOG" >&2
    exit 1
  fi
fi

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
