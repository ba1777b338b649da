#!/usr/bin/env bash
# Whole-program figures for the note splitter: throughput of `notes -r` and `notes -x` on a
# generated 20 MB document with 10,000 footnotes, peak memory at 20 MB and at 40 MB (it must not
# grow with the document), and pandoc converting the same file to plain text for comparison.
# Needs the native tree built (cmake --preset native && cmake --build --preset native).
# RUNS=n sets the timed runs of each option (10).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup --bench
build=build/native
notes="$build/dist/notes"
work="$build/bench-work"
mkdir -p "$work"
"$build/bench/notes_make_document" 20 10000 >"$work/notes_20mb.rtf"
"$build/bench/notes_make_document" 40 20000 >"$work/notes_40mb.rtf"
size=$(stat -c %s "$work/notes_20mb.rtf")
echo "document: $size bytes, 10000 footnotes"

# Mean seconds of a command over several runs (hyperfine), input from the 20 MB document.
mean_seconds() {
  hyperfine --style none --warmup 1 --runs "${RUNS:-10}" --export-json "$work/run.json" \
    "$1 <$work/notes_20mb.rtf >/dev/null" >/dev/null
  sed -n 's/.*"mean": *\([0-9.e-]*\).*/\1/p' "$work/run.json" | head -n1
}
# Peak resident memory in KiB of `notes <option>` on a document.
peak_kib() {
  /usr/bin/time -f '%M' -o "$work/time.txt" "$notes" "$1" <"$2" >/dev/null
  cat "$work/time.txt"
}
# Least processor time (user + system) in seconds over five runs: unlike the wall clock, it does
# not count the time the program waits for a core on a busy machine.
cpu_seconds() {
  for _ in 1 2 3 4 5; do
    /usr/bin/time -f '%U %S' -o "$work/time.txt" "$notes" "$1" <"$work/notes_20mb.rtf" >/dev/null
    awk '{ print $1 + $2 }' "$work/time.txt"
  done | sort -g | head -n1
}

declare -A seconds
for option in -r -x; do
  seconds[$option]=$(mean_seconds "$notes $option")
  awk -v s="${seconds[$option]}" -v c="$(cpu_seconds "$option")" -v b="$size" -v o="$option" \
      -v m20="$(peak_kib "$option" "$work/notes_20mb.rtf")" \
      -v m40="$(peak_kib "$option" "$work/notes_40mb.rtf")" \
    'BEGIN { printf "notes %s: %.1f ms wall, %.0f MB/s (target 200); %.0f MB/s of processor time; peak memory %d KiB at 20 MB, %d KiB at 40 MB\n",
             o, s * 1000, b / s / 1e6, (c > 0 ? b / c / 1e6 : 0), m20, m40 }'
done

# pandoc needs about 3 GB of memory and half a minute here; NO_PANDOC=1 leaves it out.
[ -n "${NO_PANDOC:-}" ] && exit 0
echo "pandoc -f rtf -t plain on the same file (one run) ..."
/usr/bin/time -f '%e %M' -o "$work/pandoc.txt" pandoc -f rtf -t plain "$work/notes_20mb.rtf" -o /dev/null
read -r pandoc_seconds pandoc_kib <"$work/pandoc.txt"
awk -v p="$pandoc_seconds" -v k="$pandoc_kib" -v r="${seconds[-r]}" -v x="${seconds[-x]}" -v b="$size" \
  'BEGIN { printf "pandoc: %.2f s, %.1f MB/s, peak memory %d KiB\n", p, b / p / 1e6, k;
           printf "ratio pandoc / notes: %.0fx (-r), %.0fx (-x)\n", p / r, p / x }'
