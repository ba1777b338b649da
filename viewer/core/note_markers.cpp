#include "viewer/core/note_markers.h"

#include <algorithm>

#include "viewer/core/note_tracking.h"
#include "viewer/core/text_snapshot_pane.h"

namespace scrivora {

std::vector<std::u16string> ListMarkers(const PaneControl& pane) {
  std::vector<std::u16string> markers;
  const std::u16string_view dot(&kMarkerDot, 1);
  for (std::int32_t at = 0;;) {
    const std::int32_t first = pane.FindString(dot, at, false, false);
    if (first < 0) break;
    std::u16string marker = FindMarker(pane, first);
    if (marker.empty()) {
      at = first + 1;
      continue;
    }
    at = first + static_cast<std::int32_t>(marker.size());
    markers.push_back(std::move(marker));
  }
  return markers;
}

std::int32_t TextOnlyPane::FindString(std::u16string_view text, std::int32_t start, bool matchCase,
                                      bool) const {
  if (!matchCase) return FindIgnoringCase(text_, text, start);
  if (start < 0 || static_cast<std::size_t>(start) > text_.size()) return -1;
  const std::size_t at = std::u16string_view(text_).find(text, static_cast<std::size_t>(start));
  return at == std::u16string_view::npos ? -1 : static_cast<std::int32_t>(at);
}

std::u16string TextOnlyPane::TextRange(std::int32_t from, std::int32_t to) const {
  const auto length = static_cast<std::int32_t>(text_.size());
  from = std::clamp(from, 0, length);
  to = std::clamp(to, from, length);
  return text_.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
}

}  // namespace scrivora
