#include "tests/viewer/fake_pane.h"

#include <algorithm>

namespace scrivora::test {
namespace {

// Case folding for ASCII and Latin-1 letters, enough for the texts of these tests.
char16_t Fold(char16_t c) {
  if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  return c;
}

}  // namespace

FakePane::FakePane(std::u16string text, std::int32_t visibleLines, std::int32_t lineWidth)
    : text_(std::move(text)), visibleLines_(visibleLines), lineWidth_(lineWidth) {}

std::int32_t FakePane::LineCount() const {
  return std::max<std::int32_t>(1, (TextLength() + lineWidth_ - 1) / lineWidth_);
}

std::int32_t FakePane::LineIndex(std::int32_t line) const {
  return std::min(line * lineWidth_, TextLength());
}

std::int32_t FakePane::LineFromChar(std::int32_t index) const {
  return std::min(std::max(index, 0) / lineWidth_, LineCount() - 1);
}

void FakePane::ScrollLines(std::int32_t lines) {
  const std::int32_t lowestTop = std::max(0, LineCount() - visibleLines_);
  top_ = std::clamp(top_ + lines, 0, lowestTop);
}

std::int32_t FakePane::FindString(std::u16string_view text, std::int32_t start, bool matchCase,
                                  bool /*wholeWord*/) const {
  ++findCalls;
  if (start < 0 || text.empty()) return -1;
  const auto same = [matchCase](char16_t a, char16_t b) {
    return matchCase ? a == b : Fold(a) == Fold(b);
  };
  const auto from = text_.begin() + std::min<std::size_t>(start, text_.size());
  const auto found = std::search(from, text_.end(), text.begin(), text.end(), same);
  return found == text_.end() ? -1 : static_cast<std::int32_t>(found - text_.begin());
}

std::u16string FakePane::TextRange(std::int32_t from, std::int32_t to) const {
  from = std::clamp(from, 0, TextLength());
  to = std::clamp(to, from, TextLength());
  return text_.substr(from, to - from);
}

std::u16string PaddedLines(const std::vector<std::u16string>& lines, std::int32_t lineWidth) {
  std::u16string text;
  for (std::u16string line : lines) {
    line.resize(std::max<std::size_t>(line.size(), lineWidth), u' ');
    text += line.substr(0, lineWidth);
  }
  return text;
}

std::u16string LinesWith(std::int32_t count,
                         const std::vector<std::pair<std::int32_t, std::u16string>>& placed,
                         std::int32_t lineWidth) {
  std::vector<std::u16string> lines;
  for (std::int32_t i = 0; i < count; ++i) {
    std::u16string filler = u"line ";
    for (char c : std::to_string(i)) filler += static_cast<char16_t>(c);
    lines.push_back(filler);
  }
  for (const auto& [line, text] : placed) lines.at(line) = text;
  return PaddedLines(lines, lineWidth);
}

}  // namespace scrivora::test
