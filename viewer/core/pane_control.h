// The rich-text control operations that the viewer's logic needs of a document pane. The real
// panes implement them over the rich-edit control; tests implement them over plain text, so the
// note tracking and the print planning run natively without a window.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace scrivora {

struct CharRange {
  std::int32_t min = 0;  // first character
  std::int32_t max = 0;  // one past the last character

  friend bool operator==(const CharRange&, const CharRange&) = default;
};

class PaneControl {
 public:
  virtual ~PaneControl() = default;

  // Index, from 0, of the top display line.
  virtual std::int32_t FirstVisibleLine() const = 0;
  // Character index of the first character of display line `line`.
  virtual std::int32_t LineIndex(std::int32_t line) const = 0;
  // Display line that holds character `index`.
  virtual std::int32_t LineFromChar(std::int32_t index) const = 0;
  // Scrolls vertically by `lines` display lines (negative: upwards) as far as the text allows.
  virtual void ScrollLines(std::int32_t lines) = 0;
  // First occurrence of `text` at or after `start`, towards the end; -1 when there is none.
  virtual std::int32_t FindString(std::u16string_view text, std::int32_t start, bool matchCase,
                                  bool wholeWord) const = 0;
  // The characters from `from` up to `to` (excluded).
  virtual std::u16string TextRange(std::int32_t from, std::int32_t to) const = 0;
  virtual CharRange Selection() const = 0;
  virtual void SetSelection(CharRange range) = 0;
  // Total length of the text, in the character positions of the other operations.
  virtual std::int32_t TextLength() const = 0;
};

}  // namespace scrivora
