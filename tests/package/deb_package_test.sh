#!/usr/bin/env bash
# deb_package_test.sh NATIVE_BUILD_DIR SOURCE_DIR
# Makes the Linux package with cpack, installs it with dpkg into a private root, packages a
# document from another folder through scrivora-embed on the search path, reads its manual page,
# and removes the package again: nothing may be left behind.
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
grep -q -- '-> \.\./lib/scrivora/embed$' <<<"$listing" || fail "scrivora-embed is not a relative link"

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
# The trailer: mainOffset is the viewer's length, 25 percent, copying forbidden (permissions 6).
read -r main_offset percent permissions < <(tail -c 20 "$container" | od -An -t d4 -w20 | awk '{print $1, $4, $5}')
[ "$main_offset" = "$viewer_size" ] || fail "mainOffset $main_offset, viewer $viewer_size bytes"
[ "$percent $permissions" = "25 6" ] || fail "notes percent and permissions are $percent $permissions"
(cd "$work/elsewhere" && scrivora-embed) 2>"$work/usage" && fail "no usage error without arguments"
grep -q 'Usage: embed' "$work/usage" || fail "no usage text: $(cat "$work/usage")"

page="$root/usr/share/man/man1/scrivora-embed.1.gz"
[ -f "$page" ] || fail "no manual page"
zcat "$page" | grep -q '^\.TH SCRIVORA-EMBED 1' || fail "the manual page has no title line"
if command -v man >/dev/null; then
  warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >"$work/page.txt") || fail "man cannot show the page"
  [ -z "$warnings" ] || fail "manual page warnings: $warnings"
  for section in SYNOPSIS OPTIONS "EXIT STATUS" FILES EXAMPLES "WHAT THE PERMISSIONS DO AND DO NOT PROTECT"; do
    grep -q "^$section" "$work/page.txt" || fail "the manual page has no $section section"
  done
fi

dpkg_here -r scrivora || { cat "$work/dpkg.log" >&2; fail "dpkg -r failed"; }
left=$(cd "$root" && find . -mindepth 1 -not -path './var' -not -path './var/lib' -not -path './var/lib/dpkg*')
[ -z "$left" ] || fail "dpkg -r left files behind: $left"
echo "the package installs, packages a document from another folder and removes every file"
