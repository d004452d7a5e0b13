# Sourced by the scripts that run Windows programs: one Wine prefix, one Xvfb display and one
# persistent wineserver per build tree, made on first use and shared by every later run.
# Safe to call from parallel test processes: the setup runs under a lock.

quillet_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QUILLET_WINE_DIR=${QUILLET_WINE_DIR:-$quillet_root/build/wine}
export WINEPREFIX=${WINEPREFIX:-$QUILLET_WINE_DIR/prefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

_quillet_alive() { [ -f "$1" ] && kill -0 "$(cat "$1")" 2>/dev/null; }

# True when a process of this prefix runs whose command line begins with $1 (Wine shows a
# Windows program's path there).
_quillet_prefix_runs() {
  local p args
  for p in /proc/[0-9]*; do
    args=$(tr '\0' ' ' 2>/dev/null <"$p/cmdline") || continue
    case "$args" in
      "$1"*) tr '\0' '\n' 2>/dev/null <"$p/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0 ;;
    esac
  done
  return 1
}

_quillet_start_xvfb() {
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 9>&- &
  echo $! >"$QUILLET_WINE_DIR/xvfb.pid"
  echo ":$n" >"$QUILLET_WINE_DIR/display"
  local i
  for i in $(seq 1 200); do
    [ -e "/tmp/.X11-unix/X$n" ] && return 0
    sleep 0.05
  done
  echo "wine-env: Xvfb on :$n did not come up" >&2
  return 1
}

quillet_wine_up() {
  mkdir -p "$QUILLET_WINE_DIR"
  (
    flock 9
    if [ -z "${QUILLET_OWN_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ] && ! _quillet_alive "$QUILLET_WINE_DIR/xvfb.pid"; then
      : # a desktop of the user's own: use it
    elif ! _quillet_alive "$QUILLET_WINE_DIR/xvfb.pid"; then
      _quillet_start_xvfb || exit 1
    fi
    if [ ! -f "$WINEPREFIX/.quillet-ready" ]; then
      rm -rf "$WINEPREFIX"
      DISPLAY= wineboot -i </dev/null >/dev/null 2>&1 9>&- || true
      # Without a window manager Wine waits ~2 s whenever a window is hidden.
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
      wineserver -w
      touch "$WINEPREFIX/.quillet-ready"
    fi
    if ! _quillet_alive "$QUILLET_WINE_DIR/wineserver.pid"; then
      setsid wineserver -p </dev/null >/dev/null 2>&1 9>&- &
      echo $! >"$QUILLET_WINE_DIR/wineserver.pid"
    fi
  ) 9>"$QUILLET_WINE_DIR/lock" || return 1
  if _quillet_alive "$QUILLET_WINE_DIR/xvfb.pid"; then
    DISPLAY=$(cat "$QUILLET_WINE_DIR/display")
    export DISPLAY
  fi
  # Wine tears its desktop down a few seconds after the last window closes, and a program
  # started during that stalls; one window that stays open for the whole run prevents it.
  (
    flock 9
    if ! _quillet_alive "$QUILLET_WINE_DIR/keepalive.pid"; then
      setsid wine notepad </dev/null >/dev/null 2>&1 9>&- &
      echo $! >"$QUILLET_WINE_DIR/keepalive.pid"
      # Wine's services and desktop start with the first programs that need them and inherit
      # their output: a test whose output ctest reads to the end would then never end. Let
      # them all start here, detached, before any caller's program runs.
      local i
      for i in $(seq 1 1200); do
        _quillet_prefix_runs 'C:\windows\system32\notepad.exe' &&
          _quillet_prefix_runs 'C:\windows\system32\explorer.exe' &&
          _quillet_prefix_runs 'C:\windows\system32\services.exe' &&
          _quillet_prefix_runs 'C:\windows\system32\rpcss.exe' && break
        sleep 0.05
      done
    fi
  ) 9>"$QUILLET_WINE_DIR/lock"
}

# Ends what quillet_wine_up started for this build tree (by PID and by our own prefix only).
quillet_wine_down() {
  [ -d "$QUILLET_WINE_DIR" ] || return 0
  wineserver -k 2>/dev/null || true
  local f
  for f in keepalive wineserver xvfb; do
    if _quillet_alive "$QUILLET_WINE_DIR/$f.pid"; then kill "$(cat "$QUILLET_WINE_DIR/$f.pid")" 2>/dev/null || true; fi
    rm -f "$QUILLET_WINE_DIR/$f.pid"
  done
}
