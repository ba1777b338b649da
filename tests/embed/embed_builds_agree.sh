#!/usr/bin/env bash
# embed_builds_agree.sh NATIVE_DIST NATIVE_FAKE_NOTES WINE_RUN WINDOWS_DIST WINDOWS_FAKE_NOTES DOCUMENTS_DIR [corpus]
# The Linux embed and embed.exe under Wine build byte-identical containers from the same inputs.
# Both use the real notes when each dist folder has one, else the stand-in splitter of the tests.
# With "corpus", DOCUMENTS_DIR is the shared corpus, and its absence skips the test (status 77).
set -euo pipefail
native_dist=$1 native_fake=$2 wine_run=$3 windows_dist=$4 windows_fake=$5 documents=$6
if [ "${7:-}" = corpus ] && [ ! -d "$documents" ]; then
  echo "skipped: the shared corpus is absent (looked for $documents)"
  exit 77
fi
for f in "$native_dist/embed" "$native_dist/encrypt"; do
  [ -x "$f" ] || { echo "$f is not built: build the native tree first" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
native_tools="$work/native tools & ; \$x %y% ü"
windows_tools="$work/windows tools & ; \$x %y% ü"
native_work="$work/native work 'q' ü"
windows_work="$work/windows work 'q' ü"
mkdir -p "$native_tools" "$windows_tools" "$native_work" "$windows_work"

cp "$native_dist/embed" "$native_dist/encrypt" "$native_tools/"
cp "$windows_dist/embed.exe" "$windows_dist/encrypt.exe" "$windows_tools/"
if [ -x "$native_dist/notes" ] && [ -f "$windows_dist/notes.exe" ]; then
  splitter="the real notes"
  cp "$native_dist/notes" "$native_tools/notes"
  cp "$windows_dist/notes.exe" "$windows_tools/notes.exe"
else
  splitter="the stand-in splitter"
  [ -x "$native_fake" ] || { echo "$native_fake is not built: build the native tree first" >&2; exit 1; }
  cp "$native_fake" "$native_tools/notes"
  cp "$windows_fake" "$windows_tools/notes.exe"
fi
if [ -f "$windows_dist/scrivora.exe" ]; then
  cp "$windows_dist/scrivora.exe" "$native_tools/scrivora.exe"
else
  head -c 4096 /dev/urandom >"$native_tools/scrivora.exe"
fi
cp "$native_tools/scrivora.exe" "$windows_tools/scrivora.exe"
printf 'Titel mit \xc3\xbc\r\nBeschreibung & mehr\r\n' >"$native_work/about ü.txt"
cp "$native_work/about ü.txt" "$windows_work/about ü.txt"

# Wine now and then loses a new process while it starts (CreateProcess says "Internal error");
# such a run is tried once more. Any other failure, or the same one twice, fails the test.
windows_embed() {
  local log="$work/windows embed.log" status=0
  (cd "$windows_work" && "$wine_run" "$windows_tools/embed.exe" "$@") 2>"$log" || status=$?
  cat "$log" >&2
  [ "$status" -eq 0 ] && return 0
  grep -q 'could not be started: Internal error' "$log" || return "$status"
  echo "(Wine lost a starting child process; running embed.exe once more)" >&2
  (cd "$windows_work" && "$wine_run" "$windows_tools/embed.exe" "$@")
}

count=0
options=("-c /20" "-pa" "-c -p /0" "")
for rtf in "$documents"/*.rtf; do
  name="book ü & ; \$x %y%.rtf"
  cp "$rtf" "$native_work/$name"
  cp "$rtf" "$windows_work/$name"
  opts=${options[$((count % ${#options[@]}))]}
  # shellcheck disable=SC2086 # the options are meant to split into words
  (cd "$native_work" && "$native_tools/embed" $opts "$name" "about ü.txt")
  # shellcheck disable=SC2086
  windows_embed $opts "$name" "about ü.txt"
  if ! cmp "$native_work/embedded.exe" "$windows_work/embedded.exe"; then
    echo "containers differ for $rtf (options: $opts)" >&2
    exit 1
  fi
  rm "$native_work/embedded.exe" "$windows_work/embedded.exe"
  count=$((count + 1))
done
[ "$count" -gt 0 ] || { echo "no RTF documents in $documents" >&2; exit 1; }
leftovers=$(ls -A "$native_work" "$windows_work" | grep -E '^(mbrtf|sccfg)' || true)
[ -z "$leftovers" ] || { echo "temporary files left: $leftovers" >&2; exit 1; }
echo "$count documents with $splitter: native and Windows containers are identical"
