# Sourced by scripts that print under Wine: starts a private CUPS scheduler with one printer,
# "ScrivoraPDF" (the CUPS-PDF driver description; output spooled to a file under the build tree),
# and points libcups, and so Wine, at it through CUPS_SERVER. cups_session_stop stops exactly
# that scheduler again. Nothing of the machine's own CUPS set-up is read or changed.
# cups_session_start returns non-zero, with the reason on standard error, when CUPS cannot run.

cups_session_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cups_session_dir="$cups_session_root/build/windows/cups"
cups_session_pid=""

cups_session_stop() {
  if [ -n "$cups_session_pid" ]; then
    kill "$cups_session_pid" 2>/dev/null || true
    wait "$cups_session_pid" 2>/dev/null || true
    cups_session_pid=""
  fi
}

cups_session_start() {
  local ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd i
  if ! command -v cupsd >/dev/null || ! command -v lpadmin >/dev/null || [ ! -f "$ppd" ]; then
    echo "cups-session: CUPS or the CUPS-PDF driver is not installed (scripts/setup --print)" >&2
    return 1
  fi
  local d="$cups_session_dir"
  rm -rf "$d"
  mkdir -p "$d/etc/ppd" "$d/spool/tmp" "$d/state" "$d/cache" "$d/log" "$d/out"
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
AccessLog $d/log/access_log
ErrorLog $d/log/error_log
PageLog $d/log/page_log
FileDevice Yes
CONF
  cupsd -f -c "$d/etc/cupsd.conf" -s "$d/etc/cups-files.conf" >"$d/log/cupsd.out" 2>&1 &
  cups_session_pid=$!
  for i in $(seq 1 50); do
    [ -S "$d/cups.sock" ] || ! kill -0 "$cups_session_pid" 2>/dev/null && break
    sleep 0.1
  done
  if ! [ -S "$d/cups.sock" ]; then
    echo "cups-session: the CUPS scheduler did not start (log: $d/log)" >&2
    cups_session_stop
    return 1
  fi
  export CUPS_SERVER="$d/cups.sock"
  if ! lpadmin -p ScrivoraPDF -E -v "file://$d/out/printed.ps" -P "$ppd" >"$d/log/lpadmin.out" 2>&1 ||
     ! lpadmin -d ScrivoraPDF >>"$d/log/lpadmin.out" 2>&1; then
    echo "cups-session: the printer could not be added: $(cat "$d/log/lpadmin.out")" >&2
    cups_session_stop
    unset CUPS_SERVER
    return 1
  fi
}
