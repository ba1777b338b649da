#!/usr/bin/env bash
# embed_bench.sh [NATIVE_BUILD_DIR]: times embed on a generated ~20 MB RTF document with 10,000
# footnotes against its child programs run alone on the same input (notes -r | encrypt and
# notes -x | encrypt), and prints the overhead ratio. Target: at most 1.1.
# The splitter is NOTES if set, else dist/notes, else the stand-in splitter of the tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/native}
dist="$build/dist"
for f in "$dist/embed" "$dist/encrypt" "$build/bench/notes_make_document"; do
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

# About 20 MB of text with 10,000 footnotes, the document of the note splitter's benchmark.
"$build/bench/notes_make_document" 20 10000 >"$work/run/doc.rtf"
printf 'Benchmark document\r\nTen thousand footnotes.\r\n' >"$work/run/about.txt"
size=$(stat -c %s "$work/run/doc.rtf")
notes_count=$(grep -o '\\footnote' "$work/run/doc.rtf" | wc -l)
echo "document: $size bytes, $notes_count footnotes; splitter: $splitter"

cd "$work/run"
# Each run starts without the outputs of the previous one, so neither side pays for freeing them.
hyperfine --warmup 3 --runs 25 --export-json "$work/times.json" \
  --prepare 'rm -f embedded.exe' --prepare 'rm -f main.out notes.out' \
  -n embed "$tools/embed doc.rtf about.txt" \
  -n children "$tools/notes -r <doc.rtf | $tools/encrypt >main.out; $tools/notes -x <doc.rtf | $tools/encrypt >notes.out"
"$tools/embed" doc.rtf about.txt
ls -A | grep -E '^(mbrtf|sccfg)' && { echo "temporary files left behind" >&2; exit 1; }
echo "container: $(stat -c %s embedded.exe) bytes"
# The median decides, since other work on the machine makes single runs slow; the mean and the
# fastest runs are shown beside it.
jq -r '.results as $r |
  def ms(x): x * 1000 | round;
  def ratio(a; b): a / b * 1000 | round / 1000;
  ratio($r[0].median; $r[1].median) as $ratio |
  "median: embed \(ms($r[0].median)) ms, children alone \(ms($r[1].median)) ms: overhead ratio \($ratio) (target <= 1.1) \(if $ratio <= 1.1 then "MET" else "MISSED" end)",
  "mean: embed \(ms($r[0].mean)) ms, children alone \(ms($r[1].mean)) ms: ratio \(ratio($r[0].mean; $r[1].mean))",
  "fastest: embed \(ms($r[0].min)) ms, children alone \(ms($r[1].min)) ms: ratio \(ratio($r[0].min; $r[1].min))",
  "processor time (user + system, children included): embed \(ms($r[0].user + $r[0].system)) ms, children alone \(ms($r[1].user + $r[1].system)) ms: ratio \(ratio($r[0].user + $r[0].system; $r[1].user + $r[1].system))"' \
  "$work/times.json"
