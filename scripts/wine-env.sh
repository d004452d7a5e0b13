# shellcheck shell=bash
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
quillet_services_limit=60
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
    local answer=none exe pid start=$SECONDS
    "$probe" 2>/dev/null &
    pid=$!
    # Bash shows as the process until the kernel has started the probe: 10 s at the most.
    while ((SECONDS - start < 10)); do
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

# True when 32-bit Wine is installed (scripts/setup may not have been able to install it).
quillet_wine32_installed() { [ -x "$quillet_wine32_loader" ]; }

# True when only 64-bit Wine is to be used: forced, no 32-bit execution here, or no 32-bit Wine.
quillet_wine64_only() {
  [ "${QUILLET_WINE64_ONLY:-0}" = 1 ] || ! quillet_i386_native || ! quillet_wine32_installed
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
  if ! DISPLAY="" timeout "$quillet_wineboot_limit" wineboot -i </dev/null >"$QUILLET_WINE_DIR/wineboot.log" 2>&1 9>&-; then
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

# The desktop shell check's program, built by the Windows presets; empty before either built it.
_quillet_shell_probe() {
  local preset
  for preset in mingw64 mingw; do
    [ "$preset" = mingw ] && quillet_wine64_only && continue
    [ -f "$quillet_build/$preset/quillet_shell_probe.exe" ] || continue
    echo "$quillet_build/$preset/quillet_shell_probe.exe"
    return 0
  done
}

# _quillet_wait LIMIT COMMAND...: runs COMMAND until it succeeds or LIMIT seconds of wall-clock
# time have passed. Sets quillet_waited to the seconds it really waited.
_quillet_wait() {
  local limit=$1 start=$SECONDS
  shift
  until "$@"; do
    if ((SECONDS - start >= limit)); then
      quillet_waited=$((SECONDS - start))
      return 1
    fi
    sleep 0.2
  done
  quillet_waited=$((SECONDS - start))
}

_quillet_all_run() {
  local p
  for p in "$@"; do
    _quillet_prefix_runs "C:\\windows\\system32\\$p.exe" || { quillet_missing=$p; return 1; }
  done
}

# Ends every Wine process of our own prefix and our helper window; Xvfb stays.
_quillet_wine_reset() {
  timeout 60 wineserver -k 2>/dev/null
  local f
  for f in keepalive wineserver; do
    if _quillet_alive "$QUILLET_WINE_DIR/$f.pid"; then kill "$(cat "$QUILLET_WINE_DIR/$f.pid")" 2>/dev/null; fi
    rm -f "$QUILLET_WINE_DIR/$f.pid"
  done
  rm -f "$QUILLET_WINE_DIR/shell-checked"
  timeout 60 wineserver -w 2>/dev/null
  return 0
}

# Brings Wine's services up in the order Windows boots them: RPCSS first, then the desktop
# (which the helper window brings up), then the helper window itself. An explorer.exe that starts
# before RPCSS never registers the shell's window list. On failure, quillet_failed_step names
# the step.
_quillet_bring_up() {
  if ! _quillet_alive "$QUILLET_WINE_DIR/wineserver.pid"; then
    setsid wineserver -p </dev/null >/dev/null 2>&1 9>&- &
    echo $! >"$QUILLET_WINE_DIR/wineserver.pid"
  fi
  local start=$SECONDS
  # Its status does not count: Wine's services.exe, which the command starts first, may already
  # have started RPCSS ("Service already running", status 1). What counts is that it runs.
  timeout "$quillet_services_limit" wine net start RpcSs </dev/null >/dev/null 2>&1 9>&-
  if [ $? -eq 124 ]; then
    quillet_failed_step="'wine net start RpcSs' did not end within $quillet_services_limit s"
    return 1
  fi
  if ! _quillet_wait "$quillet_services_limit" _quillet_all_run rpcss services; then
    quillet_failed_step="Wine's $quillet_missing.exe was not running $quillet_waited s after 'wine net start RpcSs'"
    return 1
  fi
  # Wine's desktop starts with the first window and inherits that program's output: a test whose
  # output ctest reads to the end would then never end. It comes up here, detached.
  setsid wine notepad </dev/null >/dev/null 2>&1 9>&- &
  echo $! >"$QUILLET_WINE_DIR/keepalive.pid"
  if ! _quillet_wait "$quillet_services_limit" _quillet_all_run explorer notepad rpcss services; then
    quillet_failed_step="Wine's $quillet_missing.exe was not running $quillet_waited s after starting the desktop and the helper window (notepad)"
    return 1
  fi
}

# True when the desktop shell starts another program for us (or when the check's program has not
# been built yet: the check then comes with the first bring-up after it was). Checked once per
# helper window.
_quillet_shell_works() {
  local probe keepalive
  keepalive=$(cat "$QUILLET_WINE_DIR/keepalive.pid" 2>/dev/null)
  [ -n "$keepalive" ] && [ "$(cat "$QUILLET_WINE_DIR/shell-checked" 2>/dev/null)" = "$keepalive" ] && return 0
  probe=$(_quillet_shell_probe)
  [ -n "$probe" ] || return 0
  local start=$SECONDS out
  out=$(timeout $((quillet_services_limit + 30)) wine "$probe" check "$quillet_services_limit" </dev/null 2>/dev/null 9>&-)
  local status=$?
  if [ "$status" -ne 0 ]; then
    quillet_failed_step="the desktop shell could not start another program (status $status after $((SECONDS - start)) s${out:+: ${out//$'\r'/}})"
    return 1
  fi
  echo "$keepalive" >"$QUILLET_WINE_DIR/shell-checked"
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
    if _quillet_alive "$QUILLET_WINE_DIR/xvfb.pid"; then
      DISPLAY=$(cat "$QUILLET_WINE_DIR/display")
      export DISPLAY
    fi
    # Up already, with a shell that works: nothing to do.
    local attempt quillet_failed_step=
    if _quillet_alive "$QUILLET_WINE_DIR/keepalive.pid"; then
      _quillet_shell_works && exit 0
      echo "wine-env: Wine was up, but $quillet_failed_step; bringing it up again, RPCSS first" >&2
    fi
    for attempt in 1 2; do
      _quillet_wine_reset
      if _quillet_bring_up && _quillet_shell_works; then exit 0; fi
      echo "wine-env: bringing Wine up, attempt $attempt of 2: $quillet_failed_step" >&2
    done
    _quillet_wine_reset
    echo "wine-env: Wine did not come up; the failed step: $quillet_failed_step" >&2
    exit 1
  ) 9>"$QUILLET_WINE_DIR/lock" || return 1
  if _quillet_alive "$QUILLET_WINE_DIR/xvfb.pid"; then
    DISPLAY=$(cat "$QUILLET_WINE_DIR/display")
    export DISPLAY
  fi
}

# Ends what quillet_wine_up started for this build tree (by PID and by our own prefix only).
quillet_wine_down() {
  [ -d "$QUILLET_WINE_DIR" ] || return 0
  [ -d "$WINEPREFIX" ] && timeout 60 wineserver -k 2>/dev/null
  local f
  rm -f "$QUILLET_WINE_DIR/shell-checked"
  for f in keepalive wineserver xvfb; do
    if _quillet_alive "$QUILLET_WINE_DIR/$f.pid"; then kill "$(cat "$QUILLET_WINE_DIR/$f.pid")" 2>/dev/null || true; fi
    rm -f "$QUILLET_WINE_DIR/$f.pid"
  done
  return 0
}
