#!/usr/bin/env bash
# run_e2e.sh NATIVE_DIST WINDOWS_DIST WINE_RUN PROBE SOURCE_DIR CORPUS_DIR
# Packages documents with the real Linux tools and the real viewer, runs each container under
# Wine and checks it from outside with the probe.
set -uo pipefail
native=$1 windows=$2 wine_run=$3 probe=$4 source=$5 corpus=$6

failures=0
checks=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check() { checks=$((checks + 1)); }

for tool in embed notes encrypt; do
  [ -x "$native/$tool" ] || { echo "the native tree has no $tool in $native: build it first" >&2; exit 1; }
done
[ -f "$windows/scrivora.exe" ] || { echo "no scrivora.exe in $windows" >&2; exit 1; }

work=$(mktemp -d)
viewer_pid=""
cleanup() {
  [ -n "$viewer_pid" ] && kill "$viewer_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

tools="$work/tools"
mkdir -p "$tools"
cp "$native/embed" "$native/notes" "$native/encrypt" "$windows/scrivora.exe" "$tools/"

probe() { "$wine_run" "$probe" "$@" 2>/dev/null | tr -d '\r'; }

# Markers as the viewer takes them: a middle dot, up to four characters, a middle dot.
markers() { grep -o '·[^·]\{0,4\}·' | sort; }

start_viewer() {
  "$wine_run" "$1" >/dev/null 2>&1 &
  viewer_pid=$!
  if ! probe wait 60 >/dev/null; then
    fail "$1: no viewer window with text"
    stop_viewer
    return 1
  fi
}

stop_viewer() {
  probe close >/dev/null
  for _ in $(seq 1 50); do kill -0 "$viewer_pid" 2>/dev/null || break; sleep 0.1; done
  kill "$viewer_pid" 2>/dev/null
  wait "$viewer_pid" 2>/dev/null
  viewer_pid=""
}

# package NAME RTF DESCRIPTION [embed options...]: builds $work/NAME/embedded.exe
package() {
  local name=$1 rtf=$2 description=$3
  shift 3
  mkdir -p "$work/$name"
  (cd "$work/$name" && "$tools/embed" "$@" "$rtf" "$description") >"$work/$name.log" 2>&1 ||
    { fail "$name: embed failed: $(cat "$work/$name.log")"; return 1; }
}

# inspect NAME CONTAINER TITLE: the caption, both panes, the markers and Page Down tracking.
inspect() {
  local name=$1 container=$2 title=$3
  start_viewer "$container" || return
  check
  local caption
  caption=$(probe caption)
  [ "$caption" = "Scrivora 3 - $title" ] || fail "$name: caption is '$caption'"

  probe text text >"$work/$name.text"
  probe text notes >"$work/$name.notes"
  check
  [ -s "$work/$name.text" ] || fail "$name: the text pane is empty"
  markers <"$work/$name.text" >"$work/$name.text.markers"
  markers <"$work/$name.notes" >"$work/$name.notes.markers"
  check
  if ! cmp -s "$work/$name.text.markers" "$work/$name.notes.markers"; then
    fail "$name: markers of the panes differ: $(diff "$work/$name.text.markers" "$work/$name.notes.markers" | head -5 | tr '\n' ' ')"
  fi
  local count
  count=$(grep -c '' "$work/$name.text.markers")
  [ "$count" -eq "${notes_of[$name]}" ] || fail "$name: $count markers, expected ${notes_of[$name]}"

  if [ "${notes_of[$name]}" -gt 0 ]; then
    # Page Down in the text pane: whenever its top line moves, the notes pane must select the
    # first marker at or after the text pane's new top line, however far below it lies. A document that fits in the pane
    # never moves, and tracking rightly does nothing then.
    check
    local tracked="" line before
    before=$(probe line text)
    for _ in $(seq 1 30); do
      probe key text 34 >/dev/null   # VK_NEXT
      line=$(probe line text)
      [ "$line" = "$before" ] && break
      before=$line
      local first
      first=$(probe top text | grep -o '·[^·]\{0,4\}·' | head -1)
      if [ -n "$first" ]; then
        tracked=$(probe selection notes)
        [ "$tracked" = "$first" ] || fail "$name: after Page Down the notes pane selects '$tracked', expected '$first'"
        break
      fi
    done
    if [ -z "$tracked" ]; then
      [ "$name" = sample ] && fail "$name: Page Down never brought a marker into the notes pane"
      echo "$name: fits in its pane, no tracking to check"
    fi
  fi
  stop_viewer
}

declare -A rtf_of notes_of
add_document() { rtf_of[$1]=$2; notes_of[$1]=$3; }

add_document sample "$source/examples/sample.rtf" 14
for rtf in "$source"/tests/notes/data/*.rtf \
           "$corpus/pandoc__footnote.rtf" "$corpus/osxcart__p056_footnotes.rtf" \
           "$corpus/RtfPipe__phprtflite_footnotes.rtf" "$corpus/LibreOffice__tdf130817.rtf"; do
  name=$(basename "$rtf" .rtf)
  count=$(grep -o '\\footnote[^a-z]' "$rtf" | grep -c '')
  add_document "$name" "$rtf" "$count"
done

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
  inspect "$name" "$work/$name/embedded.exe" "$name document"
done

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
