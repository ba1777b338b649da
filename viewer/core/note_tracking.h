// Note tracking between the two panes: when the reader scrolls one pane, the first note marker at
// or below its top line is looked up in the other pane, selected there and brought to that pane's
// top line. A note marker is a middle dot, at most four further characters and a middle dot again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "viewer/core/pane_control.h"

namespace scrivora {

inline constexpr char16_t kMarkerDot = u'\u00B7';
// The second dot of a marker stands at most this many characters after the first.
inline constexpr std::int32_t kMaxMarkerSpan = 5;

// The per-pane half of the tracking: remembers the top line seen at the last check, so scroll
// events that leave the top line where it was cost nothing.
class TopLineCheck {
 public:
  // When the pane's top line differs from `LastTopLine`, remembers it and returns the index of
  // its first character (the start for SyncToMarker); otherwise returns nothing.
  std::optional<std::int32_t> Check(const PaneControl& pane);

  std::int32_t LastTopLine() const { return lastTopLine_; }

 private:
  std::int32_t lastTopLine_ = 0;  // both panes start at line 0
};

// The first marker at or after `start` in `pane`: empty when there is no middle dot, no second
// one, or the second is more than kMaxMarkerSpan characters after the first (no later dot is
// tried then).
std::u16string FindMarker(const PaneControl& pane, std::int32_t start);

// Looks `marker` up from the start of `other` without regard to case, selects the first match and
// scrolls `other` so that its line becomes the top line, as far as the pane can scroll. Returns
// false, leaving `other` untouched, when there is no match.
bool ShowMarker(PaneControl& other, std::u16string_view marker);

// The whole tracking run for the pane that was scrolled: FindMarker in `scrolled` from `start`,
// then ShowMarker in `other`. Touches nothing of `scrolled` and runs no check of `other`.
void SyncToMarker(const PaneControl& scrolled, std::int32_t start, PaneControl& other);

}  // namespace scrivora
