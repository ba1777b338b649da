#include "viewer/core/note_tracking.h"

namespace scrivora {

std::optional<std::int32_t> TopLineCheck::Check(const PaneControl& pane) {
  const std::int32_t top = pane.FirstVisibleLine();
  if (top == lastTopLine_) return std::nullopt;
  lastTopLine_ = top;
  return pane.LineIndex(top);
}

std::u16string FindMarker(const PaneControl& pane, std::int32_t start) {
  const std::u16string_view dot(&kMarkerDot, 1);
  const std::int32_t first = pane.FindString(dot, start, false, false);
  if (first < 0) return {};
  const std::int32_t second = pane.FindString(dot, first + 1, false, false);
  if (second < 0 || second - first > kMaxMarkerSpan) return {};
  return pane.TextRange(first, second + 1);
}

bool ShowMarker(PaneControl& other, std::u16string_view marker) {
  const std::int32_t match = other.FindString(marker, 0, false, false);
  if (match < 0) return false;
  const std::int32_t line = other.LineFromChar(match);
  other.ScrollLines(line - other.FirstVisibleLine());
  // Selected once its line is in view: a rich-edit control scrolls a selection that lies out of
  // view into view, which would cost a second scroll of the whole pane.
  other.SetSelection({match, match + static_cast<std::int32_t>(marker.size())});
  return true;
}

void SyncToMarker(const PaneControl& scrolled, std::int32_t start, PaneControl& other) {
  const std::u16string marker = FindMarker(scrolled, start);
  if (marker.empty()) return;
  ShowMarker(other, marker);
}

}  // namespace scrivora
