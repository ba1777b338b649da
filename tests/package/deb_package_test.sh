#!/usr/bin/env bash
# deb_package_test.sh NATIVE_BUILD_DIR SOURCE_DIR
# Makes the Linux package with cpack, installs it with dpkg into a private root, packages a
# document from another folder through scrivora-embed on the search path, checks it with
# scrivora-inspect, reads the manual pages, and removes the package again: nothing may be left.
set -euo pipefail
build=$1 source=$2

viewer=$(sed -n 's/^SCRIVORA_WINDOWS_DIST:PATH=//p' "$build/CMakeCache.txt")/scrivora.exe
if [ ! -f "$viewer" ]; then
  echo "skipped: the package carries the Windows viewer, which is not built ($viewer)"
  exit 77
fi
for tool in cpack dpkg dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/setup" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log" >&2; fail "cpack could not make the package"; }
deb=$(ls "$work/out"/scrivora_*.deb)

# Metadata: the libraries the programs link against, and nothing with a generic name on the path.
depends=$(dpkg-deb -f "$deb" Depends)
case "$depends" in *libc6*libstdc++6*) ;; *) fail "dependencies lack libc6 or libstdc++6: $depends" ;; esac
listing=$(dpkg-deb -c "$deb")
for entry in $(awk '{print $6}' <<<"$listing" | grep '^\./usr/bin/.' || true); do
  case "$entry" in ./usr/bin/scrivora-*) ;; *) fail "generic name on the search path: $entry" ;; esac
done
for program in embed inspect; do
  grep -q -- "/usr/bin/scrivora-$program -> \.\./lib/scrivora/$program\$" <<<"$listing" ||
    fail "scrivora-$program is not a relative link to the private folder"
done

# A private root for dpkg: its own database, the package's files and nothing else.
root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
: >"$root/var/lib/dpkg/status"
: >"$root/var/lib/dpkg/available"
dpkg_here() { dpkg --root="$root" --force-script-chrootless --force-depends "$@" >>"$work/dpkg.log" 2>&1; }
dpkg_here -i "$deb" || { cat "$work/dpkg.log" >&2; fail "dpkg -i failed"; }

PATH="$root/usr/bin:$PATH"
book="$work/a folder of the author's"
mkdir -p "$book" "$work/elsewhere"
cp "$source/examples/sample.rtf" "$book/My Book.rtf"
cp "$source/examples/sample-description.txt" "$book/about.txt"
(cd "$work/elsewhere" && scrivora-embed -c /25 "$book/My Book.rtf" "$book/about.txt") ||
  fail "scrivora-embed failed"
container="$work/elsewhere/embedded.exe"
[ -f "$container" ] || fail "no embedded.exe in the current folder"
viewer_size=$(stat -c %s "$root/usr/lib/scrivora/scrivora.exe")
cmp -s -n "$viewer_size" "$container" "$root/usr/lib/scrivora/scrivora.exe" ||
  fail "the container does not start with the packaged viewer"
report=$(cd "$work/elsewhere" && scrivora-inspect embedded.exe) || fail "not a sound container: $report"
for expected in "Copying: *not allowed" "Notes pane: *25%" "Note markers: 14 in the main text, 14 in the notes; they pair up"; do
  grep -q "$expected" <<<"$report" || fail "inspect does not say '$expected': $report"
done
(cd "$work/elsewhere" && scrivora-embed) 2>"$work/usage" && fail "no usage error without arguments"
grep -q 'Usage: embed' "$work/usage" || fail "no usage text: $(cat "$work/usage")"

check_page() {
  local page="$root/usr/share/man/man1/$1.1.gz" section
  shift
  [ -f "$page" ] || fail "no manual page $page"
  command -v man >/dev/null || fail "man is missing: run scripts/setup"
  warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >"$work/page.txt") || fail "man cannot show $page"
  [ -z "$warnings" ] || fail "warnings for $page: $warnings"
  for section in NAME SYNOPSIS "EXIT STATUS" FILES EXAMPLES "$@"; do
    grep -q "^$section" "$work/page.txt" || fail "$page has no $section section"
  done
}
check_page scrivora-embed OPTIONS "WHAT THE PERMISSIONS DO AND DO NOT PROTECT"
check_page scrivora-inspect OPTIONS

dpkg_here -r scrivora || { cat "$work/dpkg.log" >&2; fail "dpkg -r failed"; }
left=$(cd "$root" && find . -mindepth 1 -not -path './var' -not -path './var/lib' -not -path './var/lib/dpkg*')
[ -z "$left" ] || fail "dpkg -r left files behind: $left"
echo "the package installs, packages and inspects a document from another folder, and removes every file"
