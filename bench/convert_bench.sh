#!/usr/bin/env bash
# convert_bench.sh [NATIVE_BUILD_DIR]: times `embed book.docx` on a document with 1,000
# footnotes against what it replaces: LibreOffice's conversion alone (headless, a fresh private
# profile, as embed runs it) plus `embed book.rtf`, and prints the ratio: what converting inside
# embed costs beyond doing the same by hand.
# The document is Markdown made here, turned into DOCX by pandoc.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/native}
dist="$build/dist"
for f in "$dist/embed" "$dist/encrypt" "$dist/notes"; do
  [ -x "$f" ] || { echo "$f is not built: cmake --build --preset native first" >&2; exit 1; }
done
for tool in pandoc; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/setup --bench)" >&2; exit 1; }
done
soffice=$(command -v soffice || command -v libreoffice || true)
[ -n "$soffice" ] || { echo "LibreOffice is not installed (scripts/setup --bench)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tools="$work/tools"
mkdir -p "$tools" "$work/run"
cp "$dist/embed" "$dist/encrypt" "$dist/notes" "$tools/"
viewer="$root/build/windows/dist/scrivora.exe"
if [ -f "$viewer" ]; then cp "$viewer" "$tools/scrivora.exe"; else head -c 332288 /dev/urandom >"$tools/scrivora.exe"; fi

cd "$work/run"
# A thousand paragraphs, each with a footnote; every tenth note is two paragraphs long.
{
  echo "# A Thousand Notes"
  echo
  for i in $(seq 1 1000); do
    echo "Paragraph $i tells a part of the story and points to its note.[^n$i] The story goes on"
    echo "after the note with a few more words, so the page holds more text than notes."
    echo
  done
  for i in $(seq 1 1000); do
    echo "[^n$i]: Note $i says something about paragraph $i."
    if [ $((i % 10)) -eq 0 ]; then echo; echo "    And a second paragraph for note $i."; fi
    echo
  done
} >book.md
pandoc -s -f markdown -t docx -o book.docx book.md
printf 'Benchmark document\r\nA thousand footnotes.\r\n' >about.txt
convert_alone="'$soffice' --headless --norestore --nolockcheck -env:UserInstallation=file://$work/profile --convert-to rtf --outdir out book.docx >/dev/null 2>&1"
eval "$convert_alone"
notes=$("$tools/notes" -x <out/book.rtf | grep -ao '\\u183' | wc -l)
echo "document: $(stat -c %s book.docx) bytes of DOCX, $(stat -c %s out/book.rtf) bytes as RTF, $((notes / 2)) note markers after splitting"

# Each run starts with no profile, as embed's own conversion does; the two sides take turns, so
# other work on the machine falls on both alike. The median of five decides.
seconds() { local start end; start=$(date +%s%N); "$@"; end=$(date +%s%N); echo $(((end - start) / 1000000)); }
run_embed() { rm -rf "$work/profile" out embedded.exe; "$tools/embed" book.docx about.txt; }
run_alone() {
  rm -rf "$work/profile" out embedded.exe
  eval "$convert_alone" && "$tools/embed" out/book.rtf about.txt
}
embed_ms=() alone_ms=()
for _ in 1 2 3 4 5; do
  embed_ms+=("$(seconds run_embed)")
  alone_ms+=("$(seconds run_alone)")
done
ls -A | grep -E '^(mbrtf|sccfg|mbcnv)' && { echo "temporary files left behind" >&2; exit 1; }
median() { printf '%s\n' "$@" | sort -n | sed -n 3p; }
fastest() { printf '%s\n' "$@" | sort -n | head -1; }
awk -v e="$(median "${embed_ms[@]}")" -v a="$(median "${alone_ms[@]}")" \
    -v ef="$(fastest "${embed_ms[@]}")" -v af="$(fastest "${alone_ms[@]}")" \
    -v runs="${embed_ms[*]} | ${alone_ms[*]}" 'BEGIN {
  ratio = e / a
  printf "runs (ms), embed book.docx | LibreOffice alone + embed book.rtf: %s\n", runs
  printf "median: embed book.docx %d ms, LibreOffice alone + embed book.rtf %d ms: ratio %.3f\n", e, a, ratio
  printf "fastest: %d ms against %d ms: ratio %.3f\n", ef, af, ef / af
}'
