#!/usr/bin/env bash
# check-reproducible.sh: builds the shipped nxl.exe a second time from a copy of the sources in another
# folder and requires the same bytes as build/win32/nxl.exe; then compares its SHA-256 with the one the
# README names for the toolchain it names, and requires the download folder build/dist to hold the same
# file as NoxelSetup.exe and nxl.exe, with their sums.
set -euo pipefail
cd "$(dirname "$0")/.."

copy=build/again/src
rm -rf build/again
mkdir -p "$copy"
tar -c --exclude=./build --exclude=./.git . | tar -x -C "$copy"
(cd "$copy" && cmake --preset win32 >/dev/null && cmake --build --preset win32 --target nxl >/dev/null)
if ! cmp -s build/win32/nxl.exe "$copy/build/win32/nxl.exe"; then
  echo "check-reproducible: a second build in $copy differs from build/win32/nxl.exe:" >&2
  cmp -l build/win32/nxl.exe "$copy/build/win32/nxl.exe" | head >&2 || true
  exit 1
fi
rm -rf build/again
for name in NoxelSetup.exe nxl.exe; do
  cmp -s build/win32/nxl.exe "build/dist/$name" ||
    { echo "check-reproducible: build/dist/$name is not build/win32/nxl.exe" >&2; exit 1; }
done
(cd build/dist && sha256sum --check --quiet SHA256SUMS) ||
  { echo "check-reproducible: build/dist/SHA256SUMS does not match its files" >&2; exit 1; }
hash=$(sha256sum build/win32/nxl.exe | cut -d' ' -f1)

toolchain=$(dpkg-query -W -f='${Package} ${Version}, ' g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix-runtime \
              binutils-mingw-w64-i686 mingw-w64-i686-dev)
toolchain=${toolchain%, }
named=$(sed -n 's/^    SHA-256 \([0-9a-f]\{64\}\)$/\1/p' README.md)
named_toolchain=$(sed -n 's/^    built by \(.*\)$/\1/p' README.md)
if [ "$toolchain" != "$named_toolchain" ]; then
  echo "check-reproducible: build/win32/nxl.exe built twice alike, SHA-256 $hash; the README names another" \
       "toolchain ($named_toolchain), so its SHA-256 is not compared"
elif [ "$hash" != "$named" ]; then
  echo "check-reproducible: build/win32/nxl.exe has SHA-256 $hash, the README names ${named:-none}: update it" >&2
  exit 1
else
  echo "check-reproducible: build/win32/nxl.exe built twice alike, SHA-256 $hash as the README names"
fi
