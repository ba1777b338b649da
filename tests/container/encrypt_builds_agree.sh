#!/usr/bin/env bash
# encrypt_builds_agree.sh NATIVE_ENCRYPT WINE_RUN ENCRYPT_EXE CORPUS_DIR
set -euo pipefail
native=$1 wine_run=$2 exe=$3 corpus=$4
if [ ! -x "$native" ]; then
  echo "native encrypt not built at $native: build the native tree first" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A binary input with every byte value, an empty one, and real documents.
head -c 300000 /dev/urandom >"$work/random.bin"
: >"$work/empty.bin"
inputs=("$work/random.bin" "$work/empty.bin" "$corpus"/*.rtf)
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
