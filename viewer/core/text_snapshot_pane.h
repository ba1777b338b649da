// A pane whose whole text is read once and then searched in memory. The rich-edit control's own
// search walks its text at a few hundred nanoseconds a character, far too slow for a lookup from
// the start of a 5 MB document on every scroll step; a document pane is read-only, so a copy of
// its text taken after loading stays true for the pane's whole life.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "viewer/core/pane_control.h"

namespace scrivora {

// Letter case folding for searches without regard to case: the simple one-to-one mappings of
// the Latin, Greek and Cyrillic letters; other characters stand for themselves.
char16_t FoldCase(char16_t c);

// First occurrence of `needle` in `text` at or after `start`, without regard to case; -1 when
// there is none.
std::int32_t FindIgnoringCase(std::u16string_view text, std::u16string_view needle,
                              std::int32_t start);

// Wraps a pane: once the snapshot is taken, searches without match case and whole word, text
// ranges and the text length are answered from it; everything else goes to the pane, and so does
// everything before the snapshot.
class TextSnapshotPane : public PaneControl {
 public:
  explicit TextSnapshotPane(PaneControl& pane) : pane_(pane) {}

  // Reads the pane's whole text; call once the pane has loaded its document.
  void TakeSnapshot();

  std::int32_t FirstVisibleLine() const override { return pane_.FirstVisibleLine(); }
  std::int32_t LineIndex(std::int32_t line) const override { return pane_.LineIndex(line); }
  std::int32_t LineFromChar(std::int32_t index) const override { return pane_.LineFromChar(index); }
  void ScrollLines(std::int32_t lines) override { pane_.ScrollLines(lines); }
  std::int32_t FindString(std::u16string_view text, std::int32_t start, bool matchCase,
                          bool wholeWord) const override;
  std::u16string TextRange(std::int32_t from, std::int32_t to) const override;
  CharRange Selection() const override { return pane_.Selection(); }
  void SetSelection(CharRange range) override { pane_.SetSelection(range); }
  std::int32_t TextLength() const override;

 private:
  PaneControl& pane_;
  bool taken_ = false;
  std::u16string text_;
};

}  // namespace scrivora
