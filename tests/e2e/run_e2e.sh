#!/usr/bin/env bash
# run_e2e.sh NATIVE_DIST WINDOWS_DIST WINE_RUN PROBE SOURCE_DIR CORPUS_DIR [corpus]
# Packages documents with the real Linux tools and the real viewer, runs each container under
# Wine and checks it from outside with the probe: the project's own documents, or with "corpus"
# some real documents of the shared corpus, whose absence skips the test (status 77).
set -uo pipefail
native=$1 windows=$2 wine_run=$3 probe=$4 source=$5 corpus=$6 kind=${7:-own}
if [ "$kind" = corpus ] && [ ! -d "$corpus" ]; then
  echo "skipped: the shared corpus is absent (looked for $corpus)"
  exit 77
fi

# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

declare -A rtf_of notes_of
add_document() { rtf_of[$1]=$2; notes_of[$1]=$3; }

add_rtf_document() {
  local count
  count=$(grep -o '\\footnote[^a-z]' "$1" | grep -c '')
  add_document "$(basename "$1" .rtf)" "$1" "$count"
}
if [ "$kind" = corpus ]; then
  for rtf in "$corpus/pandoc__footnote.rtf" "$corpus/osxcart__p056_footnotes.rtf" \
             "$corpus/RtfPipe__phprtflite_footnotes.rtf" "$corpus/LibreOffice__tdf130817.rtf"; do
    add_rtf_document "$rtf"
  done
else
  add_document sample "$source/examples/sample.rtf" 14
  for rtf in "$source"/tests/notes/data/*.rtf; do add_rtf_document "$rtf"; done
fi

# A book written as Markdown and saved as DOCX (by pandoc): embed converts it through LibreOffice.
if command -v pandoc >/dev/null && { command -v soffice >/dev/null || command -v libreoffice >/dev/null; }; then
  pandoc -s -f markdown -t docx -o "$work/sixty notes.docx" "$source/tests/embed/data/sixty_notes.md"
  add_document docx "$work/sixty notes.docx" 60
else
  fail "pandoc and LibreOffice are needed for the DOCX case (scripts/setup --convert)"
fi

for name in "${!rtf_of[@]}"; do
  printf '%s document\r\nPackaged by the end-to-end test.\r\n' "$name" >"$work/$name.description"
  package "$name" "${rtf_of[$name]}" "$work/$name.description" || continue
  check_inspect "$name" "$work/$name/embedded.exe" "title=$name document" \
    "markers.main=${notes_of[$name]}" "markers.notes=${notes_of[$name]}" markers.paired=true \
    copying=allowed printing=everything notesPercent=30 signed=false
  check_viewer "$name" "$work/$name/embedded.exe" "$name document" "${notes_of[$name]}"
done

if [ "$kind" = corpus ]; then
  echo "$checks checks, $failures failures"
  [ "$failures" -eq 0 ]
  exit
fi

# Every permission word and a notes pane height, as inspect reports them.
while read -r options copying printing percent; do
  dir="options${options//_/}"
  options=${options//_/ } copying=${copying//_/ } printing=${printing//_/ }
  # shellcheck disable=SC2086
  package "$dir" "$source/examples/sample.rtf" "$work/sample.description" $options /$percent &&
    check_inspect "$dir" "$work/$dir/embedded.exe" "copying=$copying" "printing=$printing" \
      "notesPercent=$percent" "markers.main=${notes_of[sample]}" markers.paired=true
done <<'OPTIONS'
-c not_allowed everything 20
-pa allowed the_current_page_only 0
-c_-pa not_allowed the_current_page_only 45
-p allowed nothing 100
-c_-p not_allowed nothing 30
OPTIONS

# A container cut in half is no container.
head -c "$(( $(stat -c %s "$work/sample/embedded.exe") / 2 ))" "$work/sample/embedded.exe" >"$work/half.exe"
check_not_container "half" "$work/half.exe"

# The same container under another name shows the same document.
check
cp "$work/sample/embedded.exe" "$work/another name.exe"
if start_viewer "$work/another name.exe"; then
  [ "$(probe caption)" = "Scrivora 3 - sample document" ] || fail "renamed container: caption differs"
  probe text text >"$work/renamed.text"
  cmp -s "$work/renamed.text" "$work/sample.text" || fail "renamed container: text differs"
  stop_viewer
fi

# Copying: forbidden puts nothing on the clipboard by any path; allowed copies the text.
check
package nocopy "$source/examples/sample.rtf" "$work/sample.description" -c &&
if start_viewer "$work/nocopy/embedded.exe"; then
  copied=$(probe copy text)
  [ -z "$copied" ] || fail "copy-forbidden container put '${copied:0:40}...' on the clipboard"
  stop_viewer
fi
check
if start_viewer "$work/sample/embedded.exe"; then
  copied=$(probe copy text)
  case "$copied" in
    *"Notes in the Margin"*) ;;
    *) fail "copy-permitted container did not copy the text (clipboard: '${copied:0:40}')" ;;
  esac
  stop_viewer
fi

echo "$checks checks, $failures failures"
[ "$failures" -eq 0 ]
