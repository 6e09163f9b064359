#!/usr/bin/env bash
# test.sh: installs what is missing, builds the shipped 32-bit nxl.exe and the 64-bit test build, and runs
# every test: hardening checks of both executables, short fuzz runs on this host, and the unit tests and
# drivers of the real program under wine64 on a virtual display of its own, in a Wine prefix inside the
# build tree.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

./scripts/install-deps.sh

cmake --preset win32 >/dev/null
cmake --build --preset win32
cmake --preset win64 >/dev/null
cmake --build --preset win64

./scripts/check-exe.sh build/win32/nxl.exe build/win64/nxl.exe
./scripts/fuzz.sh

. scripts/wine-session.sh
wine_session_start "$root/build/win64/wineprefix"
# The game's window and texts are checked in English; the drivers start German runs themselves.
env LC_ALL=en_US.UTF-8 ctest --preset win64 "$@"
