#include "viewer/core/pane_layout.h"

namespace scrivora {

std::int32_t EffectiveNotesPercent(std::int32_t notesPercent) {
  if (notesPercent < 0) return 0;
  if (notesPercent > 100) return 100;
  return notesPercent;
}

PaneLayout ComputePaneLayout(std::int32_t width, std::int32_t height, std::int32_t notesPercent) {
  PaneLayout layout;
  if (width <= 0 || height <= 0) return layout;  // a minimised client: both panes empty
  const std::int64_t textShare = 100 - EffectiveNotesPercent(notesPercent);
  const auto textBottom = static_cast<std::int32_t>((std::int64_t{height} - 1) * textShare / 100);
  layout.text = {0, 0, width - 2, textBottom};
  layout.notes = {0, textBottom + 1, width - 2, height - 1};
  return layout;
}

}  // namespace scrivora
