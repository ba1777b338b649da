#!/usr/bin/env bash
# usage_one_write.sh EMBED: the usage text reaches standard error in one write call, byte for
# byte, with status 1, and the program writes nothing else.
set -euo pipefail
embed=$1
command -v strace >/dev/null || { echo "strace is not installed" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
status=0
strace -f -e trace=write,writev,pwrite64,pwritev -o "$work/trace" "$embed" -p -c a.rtf d.txt \
  2>"$work/err" >"$work/out" || status=$?
[ "$status" = 1 ] || { echo "status $status, expected 1" >&2; exit 1; }
writes=$(grep -cE ' (write|writev|pwrite64|pwritev)\(' "$work/trace" || true)
[ "$writes" = 1 ] || { echo "$writes write calls, expected 1:" >&2; cat "$work/trace" >&2; exit 1; }
grep -qE ' write\(2, ".*, 347\) = 347' "$work/trace" || { echo "not one write of 347 bytes to standard error" >&2; cat "$work/trace" >&2; exit 1; }
printf '\nUsage: embed [ -c ] [ -p | -pa ] [ /size ] RTF-source-file summary-TEXT-file\n\n               -c  forbids clipboard operations\n               -p  forbids all printing operations\n               -pa forbids whole text printing\n\nsize gives the height of the footnotes window in percent of the whole window'"'"'s\n(0: no footnote displayed; default: 30%%)\n\n' >"$work/expected"
cmp "$work/expected" "$work/err"
[ ! -s "$work/out" ] || { echo "unexpected standard output" >&2; exit 1; }
[ "$(ls -A "$work" | sort | tr '\n' ' ')" = "err expected out trace " ] || { echo "files were created" >&2; ls -A "$work" >&2; exit 1; }
echo "usage text: one write of 347 bytes, status 1"
