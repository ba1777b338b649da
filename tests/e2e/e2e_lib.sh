# Shared by the end-to-end scripts (sourced): a temporary folder with the real tools, counting
# checks and failures, running a container under Wine and looking at it from outside with the
# probe, and inspecting it with inspect.
# The sourcing script sets: native and windows (the two dist folders), wine_run and probe (the
# probe program). This sets: work (a temporary folder, removed on exit), tools (embed with its
# companions and the viewer) and inspect_program.

failures=0
checks=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check() { checks=$((checks + 1)); }
viewer_pid=""

for tool in embed notes encrypt inspect; do
  [ -x "$native/$tool" ] || { echo "the native tree has no $tool in $native: build it first" >&2; exit 1; }
done
[ -f "$windows/scrivora.exe" ] || { echo "no scrivora.exe in $windows" >&2; exit 1; }

work=$(mktemp -d)
cleanup() {
  [ -n "$viewer_pid" ] && kill "$viewer_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

tools="$work/tools"
mkdir -p "$tools"
cp "$native/embed" "$native/notes" "$native/encrypt" "$windows/scrivora.exe" "$tools/"
inspect_program="$native/inspect"

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

# check_viewer NAME CONTAINER TITLE NOTES: the caption, both panes, the markers (NOTES of them)
# and Page Down tracking.
check_viewer() {
  local name=$1 container=$2 title=$3 notes=$4
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
  [ "$count" -eq "$notes" ] || fail "$name: $count markers, expected $notes"

  if [ "$notes" -gt 0 ]; then
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

# check_inspect NAME CONTAINER key=value...: inspect --json says the container is sound (status 0,
# valid JSON) and each named field has the given value (markers.main, signed, copying ...).
check_inspect() {
  local name=$1 container=$2
  shift 2
  check
  local status=0
  "$inspect_program" --json "$container" >"$work/$name.json" 2>"$work/$name.json.err" || status=$?
  [ "$status" -eq 0 ] || { fail "$name: inspect status $status: $(cat "$work/$name.json.err")"; return; }
  python3 - "$work/$name.json" "$@" <<'PY' || fail "$name: inspect: $(cat "$work/$name.json.problem" 2>/dev/null)"
import json, sys
path, expectations = sys.argv[1], sys.argv[2:]
problems = []
try:
    report = json.load(open(path, encoding="utf-8"))
except ValueError as error:
    problems.append(f"not JSON: {error}")
    report = None
if report is not None:
    if report.get("sound") is not True:
        problems.append("not sound")
    for expectation in expectations:
        key, want = expectation.split("=", 1)
        value = report
        for part in key.split("."):
            value = value.get(part) if isinstance(value, dict) else None
        shown = json.dumps(value) if not isinstance(value, str) else value
        if shown != want:
            problems.append(f"{key} is {shown}, expected {want}")
if problems:
    open(path + ".problem", "w").write("; ".join(problems))
    sys.exit(1)
PY
}

# check_not_container NAME FILE: inspect says FILE is no sound container (status 1, a reason).
check_not_container() {
  local name=$1 file=$2
  check
  local status=0 err
  err=$("$inspect_program" "$file" 2>&1 >/dev/null) || status=$?
  [ "$status" -eq 1 ] || fail "$name: inspect status $status, expected 1"
  case "$err" in
    *"not a sound container. "*) ;;
    *) fail "$name: inspect gave no reason: '$err'" ;;
  esac
}
