#!/usr/bin/env bash
# The viewer's figures: the size of scrivora.exe (every container carries it; target at most
# 256 KB) and, under Wine, the time from start to a shown 5 MB document compared with Wine's
# WordPad opening the same RTF file (the same rich-edit control underneath; target ratio <= 1.2).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dist="$root/build/windows/dist"
probe="$root/build/windows/tests/e2e/viewer_probe.exe"
runs=${RUNS:-5}
(cd "$root" && cmake --preset windows >/dev/null && cmake --build --preset windows --target embed scrivora viewer_probe)

size=$(stat -c %s "$dist/scrivora.exe")
echo "scrivora.exe size: $size bytes ($(( (size + 1023) / 1024 )) KB; target <= 256 KB)"

work=$(mktemp -d)
source "$root/scripts/wine-session.sh"
cleanup() { wine_session_stop; [ -s "$work/probe.log" ] && cat "$work/probe.log" >&2; rm -rf "$work"; }
wine_session_start
trap cleanup EXIT  # after the start, which sets a trap of its own

# About 5 MB of RTF: a font table, then paragraphs of plain text with a note marker each.
awk 'BEGIN {
  printf "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}\\f0\\fs22\n"
  line = "The quick brown fox jumps over the lazy dog while the reader turns another page of"
  line = line " the long document, and the viewer keeps pace with every line of it."
  letters = 0
  for (i = 1; bytes < 5 * 1024 * 1024; i++) {
    text = sprintf("%06d %s", i, line)
    printf "%s \\'"'"'b7%d\\'"'"'b7\\par\n", text, i % 1000
    bytes += length(text) + 20
    letters += length(text) + 3 + length(i % 1000 "")
  }
  printf "}"
  print letters > "/dev/stderr"
}' >"$work/document.rtf" 2>"$work/letters"
letters=$(cat "$work/letters")
printf 'A five megabyte document\r\nGenerated for timing.\r\n' >"$work/description.txt"
# The container, made by the tool set itself; the document has no notes, so its notes pane is empty.
(cd "$work" && wine "$dist/embed.exe" document.rtf description.txt >/dev/null 2>"$work/embed.log") ||
  { cat "$work/embed.log" >&2; exit 1; }
echo "document: $(stat -c %s "$work/document.rtf") bytes of RTF, $letters characters of text"

wordpad="C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe"
winpath() { echo "Z:${1//\//\\}"; }
measure() {  # frame class, program, [document]
  wine "$probe" time "$@" 2>>"$work/probe.log" | tr -d '\r'
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

viewer_times=() wordpad_times=()
# One run of each first, unmeasured, so both start from warm caches.
measure ScrivoraFrame "$letters" ${TIMEOUT_MS:-120000} "$(winpath "$work/embedded.exe")" >/dev/null
measure '*' "$letters" ${TIMEOUT_MS:-120000} "$wordpad" "$(winpath "$work/document.rtf")" >/dev/null
for _ in $(seq "$runs"); do
  viewer_times+=("$(measure ScrivoraFrame "$letters" ${TIMEOUT_MS:-120000} "$(winpath "$work/embedded.exe")")")
  wordpad_times+=("$(measure '*' "$letters" ${TIMEOUT_MS:-120000} "$wordpad" "$(winpath "$work/document.rtf")")")
done
viewer=$(printf '%s\n' "${viewer_times[@]}" | median)
wordpad=$(printf '%s\n' "${wordpad_times[@]}" | median)
echo "start to shown, median of $runs runs: scrivora ${viewer} ms (runs: ${viewer_times[*]}),"\
     "WordPad ${wordpad} ms (runs: ${wordpad_times[*]})"
awk -v v="$viewer" -v w="$wordpad" 'BEGIN { printf "ratio scrivora / WordPad: %.2f (target <= 1.2)\n", v / w }'
