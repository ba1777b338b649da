#include "viewer/core/text_snapshot_pane.h"

#include <algorithm>
#include <cstring>

namespace scrivora {
namespace {

// Whether no other character folds together with `c`: true outside the letter ranges above.
bool HasNoCase(char16_t c) {
  if (c < 0x80) return !((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'));
  return !(c >= 0xC0 && c <= 0x24F) && !(c >= 0x370 && c <= 0x45F);
}

// Index of the first `c` at or after `at`, or npos; four characters at a time, since the
// platform's own character search may be a plain loop.
std::size_t FindChar(std::u16string_view text, char16_t c, std::size_t at) {
  constexpr std::uint64_t kOnes = 0x0001000100010001ULL;
  constexpr std::uint64_t kHighs = 0x8000800080008000ULL;
  const std::uint64_t pattern = kOnes * c;
  for (; at + 4 <= text.size(); at += 4) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + at, sizeof word);
    const std::uint64_t x = word ^ pattern;  // a zero lane where the character is `c`
    if ((x - kOnes) & ~x & kHighs) break;
  }
  for (; at < text.size(); ++at)
    if (text[at] == c) return at;
  return std::u16string_view::npos;
}

}  // namespace

char16_t FoldCase(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? c + 0x20 : c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;  // Latin-1 capitals
  if (c == 0x178) return 0xFF;                               // Y with diaeresis
  if (c >= 0x100 && c <= 0x17F) {                            // Latin Extended-A: pairs
    const bool oddPairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    if (oddPairs) return (c % 2 == 1) ? c + 1 : c;
    return (c % 2 == 0) ? c + 1 : c;
  }
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;  // Greek capitals
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;                // Cyrillic capitals
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  return c;
}

std::int32_t FindIgnoringCase(std::u16string_view text, std::u16string_view needle,
                              std::int32_t start) {
  if (start < 0 || needle.empty() || static_cast<std::size_t>(start) > text.size()) return -1;
  std::u16string folded(needle);
  for (char16_t& c : folded) c = FoldCase(c);
  const std::size_t last = text.size() - std::min(text.size(), needle.size() - 1);
  // The first character of a note marker has no case: find it at memory speed.
  const bool firstHasNoCase = HasNoCase(needle[0]);
  for (std::size_t at = start; at < last; ++at) {
    if (firstHasNoCase) {
      at = FindChar(text, needle[0], at);
      if (at == std::u16string_view::npos || at >= last) return -1;
    } else if (FoldCase(text[at]) != folded[0]) {
      continue;
    }
    std::size_t i = 1;
    while (i < folded.size() && FoldCase(text[at + i]) == folded[i]) ++i;
    if (i == folded.size()) return static_cast<std::int32_t>(at);
  }
  return -1;
}

void TextSnapshotPane::TakeSnapshot() {
  text_ = pane_.TextRange(0, pane_.TextLength());
  taken_ = true;
}

std::int32_t TextSnapshotPane::FindString(std::u16string_view text, std::int32_t start,
                                          bool matchCase, bool wholeWord) const {
  if (!taken_ || matchCase || wholeWord) return pane_.FindString(text, start, matchCase, wholeWord);
  return FindIgnoringCase(text_, text, start);
}

std::int32_t TextSnapshotPane::TextLength() const {
  return taken_ ? static_cast<std::int32_t>(text_.size()) : pane_.TextLength();
}

std::u16string TextSnapshotPane::TextRange(std::int32_t from, std::int32_t to) const {
  if (!taken_) return pane_.TextRange(from, to);
  const auto length = static_cast<std::int32_t>(text_.size());
  from = std::clamp(from, 0, length);
  to = std::clamp(to, from, length);
  return text_.substr(from, to - from);
}

}  // namespace scrivora
