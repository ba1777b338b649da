// A pane over plain text for the viewer's logic: display lines of a fixed width, a window of a
// fixed number of visible lines, and scrolling that stops when the last line reaches the bottom,
// as the rich-edit control does. Counts the calls that cost time on the real control.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "viewer/core/pane_control.h"

namespace scrivora::test {

class FakePane : public PaneControl {
 public:
  explicit FakePane(std::u16string text = {}, std::int32_t visibleLines = 5,
                    std::int32_t lineWidth = 40);

  std::int32_t FirstVisibleLine() const override { return top_; }
  std::int32_t LineIndex(std::int32_t line) const override;
  std::int32_t LineFromChar(std::int32_t index) const override;
  void ScrollLines(std::int32_t lines) override;
  std::int32_t FindString(std::u16string_view text, std::int32_t start, bool matchCase,
                          bool wholeWord) const override;
  std::u16string TextRange(std::int32_t from, std::int32_t to) const override;
  CharRange Selection() const override { return selection_; }
  void SetSelection(CharRange range) override { selection_ = range; }
  std::int32_t TextLength() const override { return static_cast<std::int32_t>(text_.size()); }

  std::int32_t LineCount() const;
  // Where the reader scrolls to, clamped like ScrollLines.
  void ScrollTo(std::int32_t line) { ScrollLines(line - top_); }

  mutable int findCalls = 0;

 private:
  std::u16string text_;
  std::int32_t visibleLines_;
  std::int32_t lineWidth_;
  std::int32_t top_ = 0;
  CharRange selection_;
};

// Text whose display lines are exactly `lines`: each padded with spaces to `lineWidth`.
std::u16string PaddedLines(const std::vector<std::u16string>& lines, std::int32_t lineWidth = 40);

// `count` lines of filler text, then the given lines at the given line numbers. Lines not named
// hold filler ("line 7" and so on) without a middle dot.
std::u16string LinesWith(std::int32_t count,
                         const std::vector<std::pair<std::int32_t, std::u16string>>& placed,
                         std::int32_t lineWidth = 40);

}  // namespace scrivora::test
