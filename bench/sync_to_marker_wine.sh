#!/bin/bash
# Builds the note-tracking probes for Windows and runs them under Wine on a private display:
# the slowest SyncToMarker on a document of about 5 MB with 5,000 notes, first on bare rich-edit
# controls (with the control's own search and with the text snapshots), then in the viewer as
# built, on a real container opened by its own application, frame, client and panes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build/windows/bench"
mkdir -p "$out"
flags=(-std=c++20 -O2 -municode -DUNICODE -D_UNICODE -DNOMINMAX -D_WIN32_WINNT=0x0601 -I"$root" -static)
x86_64-w64-mingw32-g++-posix "${flags[@]}" -DWIN32_LEAN_AND_MEAN \
  "$root/bench/windows/sync_to_marker_probe.cpp" "$root/viewer/core/note_tracking.cpp" "$root/viewer/core/text_snapshot_pane.cpp" \
  -o "$out/sync_to_marker_probe.exe"

cd "$root"
cmake --preset windows >/dev/null
cmake --build --preset windows --target scrivora
w="$root/build/windows"
x86_64-w64-mingw32-g++-posix "${flags[@]}" "$root/bench/windows/sync_to_marker_viewer_probe.cpp" \
  "$w/viewer/libscrivora_viewer.a" "$w/viewer/core/libscrivora_viewer_core.a" \
  "$w/container/libscrivora_container.a" \
  -lcomctl32 -lcomdlg32 -lole32 -luuid -lversion -lgdi32 -luser32 -mwindows -mconsole \
  -o "$out/sync_to_marker_viewer_probe.exe"

source "$root/scripts/wine-session.sh"
wine_session_start
echo "== bare rich-edit controls"
[ -n "${VIEWER_ONLY:-}" ] || wine "$out/sync_to_marker_probe.exe"
echo "== the viewer as built"
wine "$out/sync_to_marker_viewer_probe.exe" "$(winepath -w "$w/dist/scrivora.exe")" "$(winepath -w "$out")"
