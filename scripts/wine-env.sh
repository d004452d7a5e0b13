# Sourced by the scripts that run Windows programs: one Wine prefix, one Xvfb display and one
# persistent wineserver per build tree, made on first use and shared by every later run.
# Safe to call from parallel test processes: the setup runs under a lock.
#
# Machines come in two sorts: some kernels run 32-bit programs, some do not (then 32-bit Wine
# cannot start at all). quillet_i386_native probes which sort this is, once per build tree;
# without 32-bit execution, or with QUILLET_WINE64_ONLY=1, every `wine` these scripts call is the
# 64-bit loader.
#
# Only a prefix inside this tree's build folder is ever made, stopped or deleted here: a
# WINEPREFIX the caller exported (~/.wine, say) is ignored, never touched.

quillet_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
quillet_build=$quillet_root/build
QUILLET_WINE_DIR=$(realpath -m "${QUILLET_WINE_DIR:-$quillet_build/wine}")
export QUILLET_WINE_DIR
case "$QUILLET_WINE_DIR/" in
  "$quillet_build"/?*) ;;
  *)
    echo "wine-env: QUILLET_WINE_DIR ($QUILLET_WINE_DIR) must lie inside $quillet_build" >&2
    return 1
    ;;
esac
export WINEPREFIX=$QUILLET_WINE_DIR/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
quillet_wine32_loader=/usr/lib/wine/wine
quillet_wine64_loader=/usr/lib/wine/wine64

# How long a step may take before we give up and say which one it was (seconds).
quillet_wineboot_limit=300
quillet_services_limit=120
quillet_lock_limit=900

_quillet_alive() { [ -f "$1" ] && kill -0 "$(cat "$1")" 2>/dev/null; }

# True when this kernel runs 32-bit x86 programs itself. An emulator registered through
# binfmt_misc runs them too (and a Windows start then takes a minute), so the answer comes from
# which program the kernel really started: a 32-bit probe that waits, looked at from outside.
quillet_i386_native() {
  local cache=$quillet_build/i386-execution
  if [ ! -s "$cache" ]; then
    mkdir -p "$quillet_build"
    local probe=$quillet_build/i386-probe
    # A minimal static i386 ELF whose one instruction loop is pause(2).
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x1d\x00\x00\x00\xcd\x80\xeb\xf7' >"$probe"
    chmod +x "$probe"
    local answer=none exe pid i
    "$probe" 2>/dev/null &
    pid=$!
    for i in $(seq 1 200); do
      exe=$(readlink "/proc/$pid/exe" 2>/dev/null) || break # gone: the kernel refused it
      if [ "$exe" = "$probe" ]; then answer=native; break; fi
      case "$exe" in */bash | */sh | */dash) ;; *) break ;; esac # an emulator runs it
      sleep 0.05
    done
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    echo "$answer" >"$cache"
  fi
  [ "$(cat "$cache")" = native ]
}

# True when only 64-bit Wine is to be used: forced, or no 32-bit execution here.
quillet_wine64_only() {
  [ "${QUILLET_WINE64_ONLY:-0}" = 1 ] || ! quillet_i386_native
}

# Puts `wine` (and `wine-stable`, which winepath calls) for the loader that runs here in front of
# PATH: Debian's wrapper always picks the 32-bit loader when it is installed, runnable or not.
_quillet_use_loader() {
  local bin=$QUILLET_WINE_DIR/bin loader=$quillet_wine32_loader
  unset WINELOADER # the caller's choice of loader is not ours
  if quillet_wine64_only; then
    loader=$quillet_wine64_loader
    export WINELOADER=$loader
  fi
  mkdir -p "$bin"
  # Parallel test processes all come through here: each writes its own file and renames it
  # over the old one, and only when the loader changed.
  local name line
  line="exec $loader \"\$@\""
  for name in wine wine-stable; do
    [ "$(sed -n 2p "$bin/$name" 2>/dev/null)" = "$line" ] && continue
    printf '#!/bin/sh\n%s\n' "$line" >"$bin/$name.$$" &&
      chmod +x "$bin/$name.$$" &&
      mv -f "$bin/$name.$$" "$bin/$name" || return 1
  done
  case ":$PATH:" in *":$bin:"*) ;; *) export PATH=$bin:$PATH ;; esac
}

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

# Xvfb picks a free display itself and tells us which, so parallel build trees never race for
# one.
_quillet_start_xvfb() {
  local fifo=$QUILLET_WINE_DIR/displayfd
  rm -f "$fifo"
  mkfifo "$fifo" || return 1
  setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" </dev/null \
    >/dev/null 2>&1 9>&- &
  echo $! >"$QUILLET_WINE_DIR/xvfb.pid"
  local n
  n=$(timeout 30 head -n 1 "$fifo")
  rm -f "$fifo"
  if [ -z "$n" ] || ! _quillet_alive "$QUILLET_WINE_DIR/xvfb.pid"; then
    echo "wine-env: Xvfb did not report a display within 30 s" >&2
    return 1
  fi
  echo ":$n" >"$QUILLET_WINE_DIR/display"
}

# Makes the prefix. Marked ready only when every step succeeded, so a failure is met again
# (and reported) on the next call instead of being taken for a prefix.
_quillet_make_prefix() {
  rm -rf "$WINEPREFIX"
  if ! DISPLAY= timeout "$quillet_wineboot_limit" wineboot -i </dev/null >"$QUILLET_WINE_DIR/wineboot.log" 2>&1 9>&-; then
    echo "wine-env: making the Wine prefix failed or took over $quillet_wineboot_limit s (wineboot -i with $(command -v wine) -> $(sed -n 's/^exec \([^ ]*\).*/\1/p' "$QUILLET_WINE_DIR/bin/wine")); its last words:" >&2
    tail -n 5 "$QUILLET_WINE_DIR/wineboot.log" >&2
    return 1
  fi
  # Without a window manager Wine waits ~2 s whenever a window is hidden.
  if ! timeout 120 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 9>&-; then
    echo "wine-env: could not set the X11 driver's Managed=N in the new prefix" >&2
    return 1
  fi
  if ! timeout 120 wineserver -w; then
    echo "wine-env: Wine's processes did not end within 120 s after making the prefix" >&2
    return 1
  fi
  touch "$WINEPREFIX/.quillet-ready"
}

quillet_wine_up() {
  mkdir -p "$QUILLET_WINE_DIR" || return 1
  _quillet_use_loader || return 1
  (
    flock -w "$quillet_lock_limit" 9 || {
      echo "wine-env: waited $quillet_lock_limit s for $QUILLET_WINE_DIR/lock" >&2
      exit 1
    }
    if [ -z "${QUILLET_OWN_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ] && ! _quillet_alive "$QUILLET_WINE_DIR/xvfb.pid"; then
      : # a desktop of the user's own: use it
    elif ! _quillet_alive "$QUILLET_WINE_DIR/xvfb.pid"; then
      _quillet_start_xvfb || exit 1
    fi
    if [ ! -f "$WINEPREFIX/.quillet-ready" ]; then
      _quillet_make_prefix || exit 1
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
    flock -w "$quillet_lock_limit" 9 || {
      echo "wine-env: waited $quillet_lock_limit s for $QUILLET_WINE_DIR/lock" >&2
      exit 1
    }
    _quillet_alive "$QUILLET_WINE_DIR/keepalive.pid" && exit 0
    # Wine's services and desktop start with the first programs that need them and inherit
    # their output: a test whose output ctest reads to the end would then never end. Let
    # them all start here, detached, before any caller's program runs. Once in a while the
    # first start after making a prefix does not bring them all up; a second one does.
    local attempt i missing=
    for attempt in 1 2; do
      setsid wine notepad </dev/null >/dev/null 2>&1 9>&- &
      echo $! >"$QUILLET_WINE_DIR/keepalive.pid"
      for i in $(seq 1 $((quillet_services_limit * 5))); do
        missing=
        for p in notepad explorer services rpcss; do
          _quillet_prefix_runs "C:\\windows\\system32\\$p.exe" || { missing=$p; break; }
        done
        [ -z "$missing" ] && exit 0
        _quillet_alive "$QUILLET_WINE_DIR/keepalive.pid" || break
        sleep 0.1
      done
      echo "wine-env: Wine's $missing.exe was not running within $((quillet_services_limit / 2)) s of starting the helper window (notepad, attempt $attempt of 2)" >&2
      kill "$(cat "$QUILLET_WINE_DIR/keepalive.pid")" 2>/dev/null
      rm -f "$QUILLET_WINE_DIR/keepalive.pid"
    done
    exit 1
  ) 9>"$QUILLET_WINE_DIR/lock"
}

# Ends what quillet_wine_up started for this build tree (by PID and by our own prefix only).
quillet_wine_down() {
  [ -d "$QUILLET_WINE_DIR" ] || return 0
  [ -d "$WINEPREFIX" ] && timeout 60 wineserver -k 2>/dev/null
  local f
  for f in keepalive wineserver xvfb; do
    if _quillet_alive "$QUILLET_WINE_DIR/$f.pid"; then kill "$(cat "$QUILLET_WINE_DIR/$f.pid")" 2>/dev/null || true; fi
    rm -f "$QUILLET_WINE_DIR/$f.pid"
  done
  return 0
}
