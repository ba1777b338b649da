#!/usr/bin/env bash
# inspect_json.sh NATIVE_DIST SOURCE_DIR
# inspect --json prints JSON that a JSON parser takes, whatever the description holds: quotation
# marks, backslashes, tabs, control characters, text in the ANSI code page; and for files that
# are not containers too.
set -uo pipefail
dist=$1 source=$2
command -v python3 >/dev/null || { echo "SKIP: python3 is not installed (scripts/setup installs it)"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

mkdir -p "$work/tools" "$work/out"
cp "$dist/embed" "$dist/notes" "$dist/encrypt" "$work/tools/"
# embed copies any viewer file; a program image's first bytes are enough here.
{ printf 'MZ'; head -c 510 /dev/zero; } >"$work/tools/scrivora.exe"

# parse FILE EXPECTED_STATUS PYTHON_CHECK: runs inspect --json on FILE and checks its output.
parse() {
  local file=$1 expected=$2 check=$3 status=0
  "$dist/inspect" --json "$file" >"$work/report.json" 2>"$work/report.err" || status=$?
  [ "$status" -eq "$expected" ] || fail "$file: status $status, expected $expected: $(cat "$work/report.err")"
  python3 -m json.tool "$work/report.json" >/dev/null 2>"$work/parse.err" ||
    { fail "$file: not JSON: $(cat "$work/parse.err") in $(cat "$work/report.json")"; return; }
  python3 -c "import json, sys; r = json.load(open(sys.argv[1], encoding='utf-8')); sys.exit(0 if ($check) else 1)" \
    "$work/report.json" || fail "$file: $check does not hold for $(cat "$work/report.json")"
}

# A UTF-8 description full of characters that JSON escapes.
printf 'Title "quoted" \\ back\tslash\r\nLine\x01 two \xE2\x82\xAC\r\n' >"$work/utf8.txt"
(cd "$work/out" && "$work/tools/embed" "$source/examples/sample.rtf" "$work/utf8.txt") ||
  fail "embed (UTF-8 description) failed"
parse "$work/out/embedded.exe" 0 \
  "r['title'] == 'Title \"quoted\" \\\\ back\\tslash' and r['description'] == 'Line\\x01 two \\u20ac\\r\\n'"

# A description in the ANSI code page: Windows-1252 here.
printf 'Caf\xE9 \x93Noir\x94\r\n\x80 5\r\n' >"$work/ansi.txt"
(cd "$work/out" && "$work/tools/embed" "$source/examples/sample.rtf" "$work/ansi.txt") ||
  fail "embed (ANSI description) failed"
parse "$work/out/embedded.exe" 0 \
  "r['title'] == 'Caf\\u00e9 \\u201cNoir\\u201d' and r['textEncoding'] == 'ANSI code page'"

# Not containers: half a container, and a file whose name is not UTF-8.
head -c 1000 "$work/out/embedded.exe" >"$work/half.exe"
parse "$work/half.exe" 1 "r['sound'] is False and r['reason'].startswith('This file contains no document. ')"
cp "$work/half.exe" "$work/name-$(printf '\xFF')-.exe"
parse "$work/name-$(printf '\xFF')-.exe" 1 "'\\ufffd' in r['file']"

echo "$failures failures"
[ "$failures" -eq 0 ]
