#!/usr/bin/env bash
# embed_bench.sh [NATIVE_BUILD_DIR]: times embed on a generated ~20 MB RTF document with 10,000
# footnotes against its child programs run alone on the same input (notes -r | encrypt and
# notes -x | encrypt), and prints the overhead ratio. Target: at most 1.1.
# The splitter is NOTES if set, else dist/notes, else the stand-in splitter of the tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/native}
dist="$build/dist"
for f in "$dist/embed" "$dist/encrypt"; do
  [ -x "$f" ] || { echo "$f is not built: cmake --build --preset native first" >&2; exit 1; }
done
command -v hyperfine >/dev/null || { echo "hyperfine is not installed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tools="$work/tools"
mkdir -p "$tools" "$work/run"
cp "$dist/embed" "$dist/encrypt" "$tools/"
if [ -n "${NOTES:-}" ]; then
  splitter="$NOTES"
  cp "$NOTES" "$tools/notes"
elif [ -x "$dist/notes" ]; then
  splitter="the real notes ($dist/notes)"
  cp "$dist/notes" "$tools/notes"
else
  splitter="the STAND-IN splitter of the tests (dist/notes is not built): -r copies its input"
  cp "$build/tests/embed/fake_notes" "$tools/notes"
fi
viewer="$root/build/windows/dist/scrivora.exe"
if [ -f "$viewer" ]; then cp "$viewer" "$tools/scrivora.exe"; else head -c 332288 /dev/urandom >"$tools/scrivora.exe"; fi

# About 2,000 bytes of text and one footnote a paragraph, 10,000 paragraphs.
awk 'BEGIN {
  print "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}\\f0\\fs24"
  line = "The quick brown fox jumps over the lazy dog, and the \\{braced\\} words stay as they are. "
  body = ""
  while (length(body) < 1900) body = body line
  for (i = 1; i <= 10000; i++) {
    printf "\\pard %s{\\super\\chftn}{\\footnote\\pard\\plain{\\super\\chftn} Note %d: a remark on paragraph %d.}\\par\n", body, i, i
  }
  print "}"
}' >"$work/run/doc.rtf"
printf 'Benchmark document\r\nTen thousand footnotes.\r\n' >"$work/run/about.txt"
size=$(stat -c %s "$work/run/doc.rtf")
notes_count=$(grep -o '\\footnote' "$work/run/doc.rtf" | wc -l)
echo "document: $size bytes, $notes_count footnotes; splitter: $splitter"

cd "$work/run"
hyperfine --warmup 2 --runs 15 --export-json "$work/times.json" \
  -n embed "$tools/embed doc.rtf about.txt" \
  -n children "$tools/notes -r <doc.rtf | $tools/encrypt >main.out; $tools/notes -x <doc.rtf | $tools/encrypt >notes.out"
ls -A | grep -E '^(mbrtf|sccfg)' && { echo "temporary files left behind" >&2; exit 1; }
echo "container: $(stat -c %s embedded.exe) bytes"
# The mean decides; the ratio of the fastest runs shows the cost on an otherwise idle machine.
jq -r '.results as $r | ($r[0].mean / $r[1].mean) as $ratio | ($r[0].min / $r[1].min) as $best |
  "embed \($r[0].mean * 1000 | floor) ms, children alone \($r[1].mean * 1000 | floor) ms: overhead ratio \($ratio * 1000 | round / 1000) (target <= 1.1) \(if $ratio <= 1.1 then "MET" else "MISSED" end)",
  "fastest runs: embed \($r[0].min * 1000 | floor) ms, children alone \($r[1].min * 1000 | floor) ms: ratio \($best * 1000 | round / 1000)"' \
  "$work/times.json"
