#!/bin/bash
# Builds the note-tracking probe for Windows and runs it under Wine on a private display:
# prints the slowest SyncToMarker on a document of about 5 MB with 5,000 notes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build/windows/bench"
mkdir -p "$out"
x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -municode -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX -I"$root" \
  "$root/bench/windows/sync_to_marker_probe.cpp" "$root/viewer/core/note_tracking.cpp" "$root/viewer/core/text_snapshot_pane.cpp" \
  -static -o "$out/sync_to_marker_probe.exe"
source "$root/scripts/wine-session.sh"
wine_session_start
wine "$out/sync_to_marker_probe.exe"
