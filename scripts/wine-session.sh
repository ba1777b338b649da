# Sourced by scripts that run Windows programs: starts a private Xvfb display and a persistent
# wineserver on the project's prefix, and stops exactly those two again on every exit path.
# Output of both goes to files under the build tree, so nothing holds the caller's output open.

wine_session_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
wine_env_root=$wine_session_root
source "$wine_session_root/scripts/wine-env.sh"
wine_session_log="$wine_session_root/build/windows/session-logs"
wine_session_xvfb_pid=""

wine_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$wine_session_xvfb_pid" ]; then
    kill "$wine_session_xvfb_pid" 2>/dev/null || true
    wait "$wine_session_xvfb_pid" 2>/dev/null || true
    wine_session_xvfb_pid=""
  fi
}

# wine_session_start [use-own-display]: with "use-own-display" and DISPLAY set, Wine shows on it.
wine_session_start() {
  mkdir -p "$wine_session_log" "$(dirname "$WINEPREFIX")"
  trap wine_session_stop EXIT
  if [ "${1:-}" != "use-own-display" ] || [ -z "${DISPLAY:-}" ]; then
    # A free display: another X server (of this machine or of another session on it) may hold
    # a number without a socket file that this file system shows, so try until one starts.
    local n=90 i
    for n in $(seq 90 160); do
      [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
      Xvfb ":$n" -screen 0 1280x960x24 -nolisten tcp >"$wine_session_log/xvfb.log" 2>&1 &
      wine_session_xvfb_pid=$!
      for i in $(seq 1 50); do
        if [ -e "/tmp/.X11-unix/X$n" ] || ! kill -0 "$wine_session_xvfb_pid" 2>/dev/null; then break; fi
        sleep 0.1
      done
      if kill -0 "$wine_session_xvfb_pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
        export DISPLAY=":$n"
        break
      fi
      wait "$wine_session_xvfb_pid" 2>/dev/null || true
      wine_session_xvfb_pid=""
    done
    if [ -z "$wine_session_xvfb_pid" ]; then
      echo "wine-session: could not start Xvfb (log: $wine_session_log/xvfb.log)" >&2
      return 1
    fi
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-session: creating the Wine prefix $WINEPREFIX"
    wineboot -i >"$wine_session_log/wineboot.log" 2>&1 || true
    # The server that made the prefix lingers for a while; a persistent one can start after it.
    wineserver -w >/dev/null 2>&1 || true
  fi
  if ! wineserver -p >"$wine_session_log/wineserver.log" 2>&1; then
    echo "wine-session: no persistent wineserver (log: $wine_session_log/wineserver.log);" \
         "each program starts its own" >&2
  fi
  wineboot >>"$wine_session_log/wineboot.log" 2>&1 || true
}
