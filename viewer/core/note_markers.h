// All the note markers of a text, found as the viewer's tracking finds them, for tools that look
// at a whole stream at once (the container inspector) rather than at one scroll position.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "viewer/core/pane_control.h"

namespace scrivora {

// Every marker of `pane` in order: FindMarker from the start, again behind each marker found,
// and again from the next middle dot where a dot starts no marker.
std::vector<std::u16string> ListMarkers(const PaneControl& pane);

// A pane over a fixed text that is never shown: one display line, nothing to scroll. Searches go
// as in a snapshot pane (without regard to case unless asked); whole-word search is not offered.
class TextOnlyPane : public PaneControl {
 public:
  explicit TextOnlyPane(std::u16string text) : text_(std::move(text)) {}

  std::int32_t FirstVisibleLine() const override { return 0; }
  std::int32_t LineIndex(std::int32_t) const override { return 0; }
  std::int32_t LineFromChar(std::int32_t) const override { return 0; }
  void ScrollLines(std::int32_t) override {}
  std::int32_t FindString(std::u16string_view text, std::int32_t start, bool matchCase,
                          bool wholeWord) const override;
  std::u16string TextRange(std::int32_t from, std::int32_t to) const override;
  CharRange Selection() const override { return selection_; }
  void SetSelection(CharRange range) override { selection_ = range; }
  std::int32_t TextLength() const override { return static_cast<std::int32_t>(text_.size()); }

 private:
  std::u16string text_;
  CharRange selection_;
};

}  // namespace scrivora
