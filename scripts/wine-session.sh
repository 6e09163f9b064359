# wine-session.sh: sourced by the scripts that run Windows programs here. Starts a virtual display (unless
# one is given), a Wine prefix inside the build tree and a persistent wineserver, and stops exactly what
# it started when the calling script exits.
#   wine_session_start PREFIX_DIR [use-own-display]
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

_wine_session_xvfb_pid=""
_wine_session_server=""

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
# crash ends the process with its exception code instead of waiting in the debugger.
_wine_session_tune_prefix() {
  "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  "$WINE64" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d "" /f >/dev/null 2>&1
  "$WINE64" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
}

wine_session_start() {
  local prefix=$1 own_display=${2:-}
  trap wine_session_stop EXIT
  trap 'exit 130' INT TERM
  if [ -z "$own_display" ] || [ -z "${DISPLAY:-}" ]; then
    _wine_session_start_xvfb || return 1
  fi
  export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  "$WINESERVER" -p
  _wine_session_server=1
  if [ ! -f "$WINEPREFIX/.noxel-prefix-ready" ]; then
    echo "wine-session: creating the Wine prefix $WINEPREFIX (once)"
    "$WINE64" wineboot -i >/dev/null 2>&1
    _wine_session_tune_prefix
    touch "$WINEPREFIX/.noxel-prefix-ready"
  fi
  # Wine's background services start with the first program and keep its output open; start them here,
  # so that a test runner reading a test's output is not kept waiting by them.
  "$WINE64" cmd /c exit >/dev/null 2>&1 </dev/null
}
