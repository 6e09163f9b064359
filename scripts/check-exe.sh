#!/usr/bin/env bash
# check-exe.sh: the shipped executables need no DLL outside Windows, are hardened (ASLR, DEP, and
# high-entropy ASLR on 64-bit) and carry the icon "I", the version information and the manifest (as
# invoker, aware of each display's DPI).
#   check-exe.sh nxl.exe [more.exe ...]
set -uo pipefail
failed=0
fail() { echo "check-exe: $1: $2" >&2; failed=1; }

for exe in "$@"; do
  case "$(x86_64-w64-mingw32-objdump -f "$exe" 2>/dev/null | awk '/file format/{print $NF}')" in
    pei-i386) objdump=i686-w64-mingw32-objdump; bits=32 ;;
    pei-x86-64) objdump=x86_64-w64-mingw32-objdump; bits=64 ;;
    *) fail "$exe" "not a Windows executable"; continue ;;
  esac
  headers=$($objdump -p "$exe")
  extra=$(awk '/DLL Name:/{print tolower($3)}' <<<"$headers" |
          grep -vE '^(kernel32|user32|gdi32|advapi32|shell32|ole32|msvcrt)\.dll$' || true)
  [ -z "$extra" ] || fail "$exe" "imports DLLs that Windows does not ship: $(echo $extra)"
  flags=$(awk '/^DllCharacteristics/{print $2}' <<<"$headers")
  (( 0x$flags & 0x40 )) || fail "$exe" "DYNAMIC_BASE is not set"
  (( 0x$flags & 0x100 )) || fail "$exe" "NX_COMPAT is not set"
  if [ "$bits" = 64 ]; then (( 0x$flags & 0x20 )) || fail "$exe" "HIGH_ENTROPY_VA is not set"; fi
  grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || fail "$exe" "not a GUI program"

  # The resource directory: a group icon named I, a version resource and a manifest.
  resources=$(python3 "$(dirname "$0")/pe-resources.py" "$exe") || { fail "$exe" "resources unreadable or incomplete"; continue; }
  for want in "GROUP_ICON I" "VERSION 1" "MANIFEST 1"; do
    grep -qx "$want" <<<"$resources" || fail "$exe" "resource missing: $want"
  done
  [ "$failed" = 0 ] && echo "check-exe: $exe: $bits-bit, Windows DLLs only, ASLR and DEP, icon, version and manifest"
done
exit $failed
