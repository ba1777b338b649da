# Sourced by scripts that print under Wine: starts a private CUPS scheduler with one printer,
# "ScrivoraPDF" (the CUPS-PDF driver description; output spooled to a file), and points libcups,
# and so Wine, at it through CUPS_SERVER. cups_session_stop stops exactly that scheduler again
# and removes its folder. Nothing of the machine's own CUPS set-up is read or changed.
# cups_session_start returns non-zero, with the reason on standard error, when CUPS cannot run.
#
# The scheduler's folder is a fresh one under the temporary folder, not the build tree: CUPS runs
# its filters and backend as the user lp, who must reach the spool and the output, and a checkout
# may lie where only its owner can go (/root); a short path also keeps the socket's name within
# its limit. The logs stay under the build tree, where the scheduler itself writes them.

cups_session_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cups_session_log="$cups_session_root/build/windows/cups-log"
cups_session_dir=""
cups_session_pid=""

cups_session_stop() {
  if [ -n "$cups_session_pid" ]; then
    kill "$cups_session_pid" 2>/dev/null || true
    wait "$cups_session_pid" 2>/dev/null || true
    cups_session_pid=""
  fi
  if [ -n "$cups_session_dir" ]; then
    rm -rf "$cups_session_dir"
    cups_session_dir=""
  fi
}

cups_session_start() {
  local ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd i
  if ! command -v cupsd >/dev/null || ! command -v lpadmin >/dev/null || [ ! -f "$ppd" ]; then
    echo "cups-session: CUPS or the CUPS-PDF driver is not installed (scripts/setup --print)" >&2
    return 1
  fi
  local d log="$cups_session_log"
  d=$(mktemp -d /tmp/scrivora-cups.XXXXXX) || return 1
  cups_session_dir=$d
  rm -rf "$log"
  mkdir -p "$d/etc/ppd" "$d/spool/tmp" "$d/state" "$d/cache" "$d/out" "$log"
  chmod 0755 "$d" "$d/out"
  cat >"$d/etc/cupsd.conf" <<CONF
Listen $d/cups.sock
LogLevel warn
Browsing Off
DefaultAuthType None
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
  cat >"$d/etc/cups-files.conf" <<CONF
ServerRoot $d/etc
RequestRoot $d/spool
TempDir $d/spool/tmp
StateDir $d/state
CacheDir $d/cache
AccessLog $log/access_log
ErrorLog $log/error_log
PageLog $log/page_log
FileDevice Yes
CONF
  cupsd -f -c "$d/etc/cupsd.conf" -s "$d/etc/cups-files.conf" >"$log/cupsd.out" 2>&1 &
  cups_session_pid=$!
  for i in $(seq 1 50); do
    [ -S "$d/cups.sock" ] || ! kill -0 "$cups_session_pid" 2>/dev/null && break
    sleep 0.1
  done
  if ! [ -S "$d/cups.sock" ]; then
    echo "cups-session: the CUPS scheduler did not start (log: $log)" >&2
    cups_session_stop
    return 1
  fi
  export CUPS_SERVER="$d/cups.sock"
  if ! lpadmin -p ScrivoraPDF -E -v "file://$d/out/printed.ps" -P "$ppd" >"$log/lpadmin.out" 2>&1 ||
     ! lpadmin -d ScrivoraPDF >>"$log/lpadmin.out" 2>&1; then
    echo "cups-session: the printer could not be added: $(cat "$log/lpadmin.out")" >&2
    cups_session_stop
    unset CUPS_SERVER
    return 1
  fi
}
