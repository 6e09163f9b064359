# wine-session.sh: sourced by the scripts that run Windows programs here. Starts a virtual display (unless
# one is given), a Wine prefix inside the build tree and a persistent wineserver, lets 32-bit programs
# run where the kernel cannot run them itself, and undoes exactly what it did when the calling script
# exits, also after a failure or an interrupt.
#   wine_i386_native            whether the kernel runs the 32-bit Wine without help
#   wine_i386_enable            32-bit programs from now on; prints one line and fails when impossible;
#                               sets WINE_I386_QEMU when they run through qemu
#   wine_session_start PREFIX_DIR [use-own-display]
#                               Wine's output goes to PREFIX_DIR.log; a failing step is named, with that log
#   wine_session_stop; wine_i386_disable
WINE64=/usr/lib/wine/wine64
WINE32=/usr/lib/wine/wine
WINESERVER=/usr/lib/wine/wineserver
BINFMT=/proc/sys/fs/binfmt_misc
# The entry that hands i386 ELF files (the 32-bit Wine loader) to qemu: ELF, 32-bit, little-endian,
# executable or shared object, machine 3 (i386).
I386_BINFMT_NAME=noxel-i386
I386_BINFMT_MAGIC='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
I386_BINFMT_MASK='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

_wine_session_xvfb_pid=""
WINE_SESSION_LOG=/dev/null
_wine_session_server=""
_wine_i386_registered=""
_wine_i386_mounted=""
WINE_I386_QEMU=""

_wine_session_traps() {
  trap 'wine_session_stop; wine_i386_disable' EXIT
  trap 'exit 130' INT TERM
}

wine_session_stop() {
  if [ -n "$_wine_session_server" ]; then
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
    _wine_session_server=""
  fi
  if [ -n "$_wine_session_xvfb_pid" ]; then
    kill "$_wine_session_xvfb_pid" 2>/dev/null || true
    wait "$_wine_session_xvfb_pid" 2>/dev/null || true
    _wine_session_xvfb_pid=""
WINE_SESSION_LOG=/dev/null
  fi
}

# The kernel runs the 32-bit Wine loader itself: it starts, and no binfmt_misc entry (anyone's) that
# takes i386 ELF files is there to hand it on.
wine_i386_native() {
  ! grep -qs '^magic 7f454c4601010100000000000000000002000300$' "$BINFMT"/* && "$WINE32" --version >/dev/null 2>&1
}

wine_i386_enable() {
  local qemu
  qemu=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/tools/qemu-i386
  if [ ! -x "$WINE32" ]; then
    echo "32-bit Wine: not installed (wine32:i386); scripts/install-deps.sh installs it"
    return 1
  fi
  wine_i386_native && return 0
  if [ "$(id -u)" != 0 ]; then
    echo "32-bit Wine: this kernel runs no i386 code, and handing it to qemu through binfmt_misc needs root"
    return 1
  fi
  if [ ! -x "$qemu" ]; then
    echo "32-bit Wine: this kernel runs no i386 code and $qemu is missing; scripts/install-deps.sh fetches it"
    return 1
  fi
  if [ ! -e "$BINFMT/register" ]; then
    if ! mount -t binfmt_misc binfmt_misc "$BINFMT" 2>/dev/null; then
      echo "32-bit Wine: this kernel runs no i386 code and offers no binfmt_misc to hand it to qemu"
      return 1
    fi
    _wine_i386_mounted=1
  fi
  _wine_session_traps
  # An entry of this name is a leftover of an earlier run that was killed outright.
  [ ! -e "$BINFMT/$I386_BINFMT_NAME" ] || echo -1 >"$BINFMT/$I386_BINFMT_NAME"
  # F: the kernel opens qemu now, so it is found whatever the 32-bit process's root and path. A newer
  # entry comes first, so this one also wins over an older one for i386.
  if ! printf '%s' ":$I386_BINFMT_NAME:M::$I386_BINFMT_MAGIC:$I386_BINFMT_MASK:$qemu:F" >"$BINFMT/register" 2>/dev/null; then
    echo "32-bit Wine: binfmt_misc refused the entry for qemu"
    wine_i386_disable
    return 1
  fi
  _wine_i386_registered=1
  WINE_I386_QEMU=$qemu
  if ! "$WINE32" --version >/dev/null 2>&1; then
    echo "32-bit Wine: the loader does not start even through $qemu"
    wine_i386_disable
    return 1
  fi
}

wine_i386_disable() {
  if [ -n "$_wine_i386_registered" ]; then
    echo -1 >"$BINFMT/$I386_BINFMT_NAME" 2>/dev/null || true
    _wine_i386_registered=""
    WINE_I386_QEMU=""
  fi
  # Unmounted again only when nobody else's entry lives there.
  if [ -n "$_wine_i386_mounted" ] && [ -z "$(ls "$BINFMT" | grep -vxE 'register|status')" ]; then
    umount "$BINFMT" 2>/dev/null || true
    _wine_i386_mounted=""
  fi
}

_wine_session_start_xvfb() {
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  _wine_session_xvfb_pid=$!
  local number
  read -r -t 20 number <"$fifo" || { rm -f "$fifo"; echo "wine-session: Xvfb did not start" >&2; return 1; }
  rm -f "$fifo"
  export DISPLAY=":$number"
}

# Settings measured to matter here: no 1-2 s wait for a window manager at every hidden window, and a
# crash ends the process with its exception code instead of waiting in the debugger. A 32-bit process
# reads the debugger's setting from the 32-bit view of the registry.
_wine_session_tune_prefix() {
  "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f &&
    "$WINE64" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d "" /f \
      /reg:64 &&
    "$WINE64" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d "" /f \
      /reg:32 &&
    "$WINE64" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
}

# One Wine step, its output appended to the log. A start through qemu now and then fails for a passing
# reason, so a failed step is tried once more; a second failure names the step and the log.
wine_session_step() {
  local what=$1 status
  shift
  "$@" >>"$WINE_SESSION_LOG" 2>&1 </dev/null && return 0
  echo "wine-session: $what failed (exit $?); trying once more" >&2
  "$@" >>"$WINE_SESSION_LOG" 2>&1 </dev/null && return 0
  status=$?
  echo "wine-session: $what failed again (exit $status); Wine's output is in $WINE_SESSION_LOG" >&2
  return $status
}

wine_session_start() {
  local prefix=$1 own_display=${2:-}
  _wine_session_traps
  if [ -z "$own_display" ] || [ -z "${DISPLAY:-}" ]; then
    _wine_session_start_xvfb || return 1
  fi
  export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  WINE_SESSION_LOG=$prefix.log
  : >"$WINE_SESSION_LOG"
  "$WINESERVER" -p || { echo "wine-session: the wineserver did not start" >&2; return 1; }
  _wine_session_server=1
  if [ ! -f "$WINEPREFIX/.noxel-prefix-ready" ]; then
    echo "wine-session: creating the Wine prefix $WINEPREFIX (once)"
    wine_session_step "creating the prefix (wineboot -i)" "$WINE64" wineboot -i || return 1
    wine_session_step "setting up the prefix (reg add)" _wine_session_tune_prefix || return 1
    touch "$WINEPREFIX/.noxel-prefix-ready"
    # The server that made the prefix is ended and started anew, with the programs that it left running
    # (explorer, services): in that first server, a program started on another desktop more than about
    # 40 s after the prefix was made never showed its window, and every start after it waited
    # (measured; in a server started anew on the same prefix it shows at once).
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
    "$WINESERVER" -p || { echo "wine-session: the wineserver did not start again" >&2; return 1; }
  fi
  # Wine's background services start with the first program and keep its output open; start them here,
  # so that a test runner reading a test's output is not kept waiting by them. That program also puts
  # the display back to 96 DPI: a driver that was killed while it ran the game at another scale could
  # not set back the user's LogPixels, which Wine reads at the start of every process.
  # Wine quotes only the words with spaces when it joins them into cmd's command line.
  wine_session_step "the first program (reg delete LogPixels)" "$WINE64" cmd /c \
    reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f '>nul' '2>nul' '&' exit 0 || return 1
}
