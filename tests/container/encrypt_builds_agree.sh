#!/usr/bin/env bash
# encrypt_builds_agree.sh NATIVE_ENCRYPT WINE_RUN ENCRYPT_EXE DOCUMENTS_DIR [corpus]
# With "corpus", DOCUMENTS_DIR is the shared corpus, and its absence skips the test (status 77).
set -euo pipefail
native=$1 wine_run=$2 exe=$3 documents=$4 kind=${5:-own}
if [ "$kind" = corpus ] && [ ! -d "$documents" ]; then
  echo "skipped: the shared corpus is absent (looked for $documents)"
  exit 77
fi
if [ ! -x "$native" ]; then
  echo "native encrypt not built at $native: build the native tree first" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Real documents; with the project's own, a binary input with every byte value and an empty one.
inputs=("$documents"/*.rtf)
if [ "$kind" != corpus ]; then
  head -c 300000 /dev/urandom >"$work/random.bin"
  : >"$work/empty.bin"
  inputs+=("$work/random.bin" "$work/empty.bin")
fi
for input in "${inputs[@]}"; do
  "$native" <"$input" >"$work/native.out"
  "$wine_run" "$exe" <"$input" >"$work/windows.out"
  if ! cmp -s "$work/native.out" "$work/windows.out"; then
    echo "encrypt outputs differ for $input" >&2
    exit 1
  fi
  [ "$(stat -c %s "$input")" = "$(stat -c %s "$work/native.out")" ] || { echo "length changed for $input" >&2; exit 1; }
done
echo "${#inputs[@]} inputs: native and Windows encrypt agree"
