// Where the client window puts its two document panes: the text pane above, the notes pane
// below, the notes pane taking `notesPercent` of the height. Pixel edges are inclusive.
#pragma once

#include <cstdint>

namespace scrivora {

struct PixelRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = -1;   // last column covered; right < left means no columns
  std::int32_t bottom = -1;  // last row covered; bottom < top means no rows

  std::int32_t Width() const { return right >= left ? right - left + 1 : 0; }
  std::int32_t Height() const { return bottom >= top ? bottom - top + 1 : 0; }
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct PaneLayout {
  PixelRect text;
  PixelRect notes;
};

// The trailer's percentage as the viewer uses it: negative counts as 0, above 100 as 100.
std::int32_t EffectiveNotesPercent(std::int32_t notesPercent);

// For a client area of `width` by `height` pixels: both panes span columns 0 to width - 2; the
// text pane rows 0 to b with b = floor((height - 1) * (100 - p) / 100), the notes pane the rest.
PaneLayout ComputePaneLayout(std::int32_t width, std::int32_t height, std::int32_t notesPercent);

}  // namespace scrivora
