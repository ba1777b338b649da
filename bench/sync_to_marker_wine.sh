#!/bin/bash
# Builds the note-tracking probes in the Windows tree and runs them under Wine on a private
# display: the slowest SyncToMarker on a document of about 5 MB with 5,000 notes, first on bare
# rich-edit controls (with the control's own search and with the text snapshots), then in the
# viewer as built, on a real container opened by its own application, frame, client and panes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --preset windows >/dev/null
cmake --build --preset windows --target scrivora sync_to_marker_probe sync_to_marker_viewer_probe

w="$root/build/windows"
probes="$w/bench/windows"
source "$root/scripts/wine-session.sh"
wine_session_start
echo "== bare rich-edit controls"
[ -n "${VIEWER_ONLY:-}" ] || wine "$probes/sync_to_marker_probe.exe"
echo "== the viewer as built"
# The probe writes its container beside itself.
wine "$probes/sync_to_marker_viewer_probe.exe" "$(winepath -w "$w/dist/scrivora.exe")" \
  "$(winepath -w "$probes")"
