#include "notes/marker_labels.h"

#include <algorithm>

namespace scrivora {
namespace {

constexpr char kBase36[] = "0123456789abcdefghijklmnopqrstuvwxyz";

std::uint64_t Power(std::uint64_t base, unsigned exponent) {
  std::uint64_t result = 1;
  while (exponent-- > 0) result *= base;
  return result;
}

// Writes `index` as `width` base-36 characters.
void AppendBase36(std::string& out, std::uint64_t index, unsigned width) {
  std::string digits(width, '0');
  for (unsigned i = width; i-- > 0; index /= 36) digits[i] = kBase36[index % 36];
  out += digits;
}

// The index-th string of `width` base-36 characters holding at least one letter, grouped by the
// place of its first letter: p digits, a letter, then any characters.
void AppendWithLetter(std::string& out, std::uint64_t index, unsigned width) {
  for (unsigned p = 0; p < width; ++p) {
    const std::uint64_t tail = Power(36, width - 1 - p);
    const std::uint64_t count = Power(10, p) * 26 * tail;
    if (index < count) {
      const std::uint64_t digits = index / (26 * tail);
      const std::uint64_t rest = index % (26 * tail);
      if (p > 0) {
        std::string prefix = std::to_string(digits);
        out += std::string(p - prefix.size(), '0') + prefix;
      }
      out += static_cast<char>('a' + rest / tail);
      if (width - 1 - p > 0) AppendBase36(out, rest % tail, width - 1 - p);
      return;
    }
    index -= count;
  }
}

}  // namespace

std::string FootnoteLabel(std::uint32_t n) {
  if (n == 0 || n > kMaxFootnotes) return {};
  if (n <= 9999) return std::to_string(n);
  std::uint64_t index = n - 10000;
  for (unsigned length = 2; length <= 4; ++length) {
    const std::uint64_t perDigit = Power(36, length - 1) - Power(10, length - 1);
    if (index < 10 * perDigit) {
      std::string label(1, static_cast<char>('0' + index / perDigit));
      AppendWithLetter(label, index % perDigit, length - 1);
      return label;
    }
    index -= 10 * perDigit;
  }
  return {};
}

std::string EndnoteLabel(std::uint32_t n) {
  if (n == 0 || n > kMaxEndnotes) return {};
  // Bijective base 26: a ... z, aa ... zz, aaa ...
  std::string label;
  for (std::uint64_t rest = n; rest > 0; rest = (rest - 1) / 26) {
    label.insert(label.begin(), static_cast<char>('a' + (rest - 1) % 26));
  }
  return label;
}

MarkerLabels::MarkerLabels(LabelLimits limits)
    : limits_{std::min(limits.footnotes, kMaxFootnotes), std::min(limits.endnotes, kMaxEndnotes)} {}

std::string MarkerLabels::Next(NoteKind kind) {
  // The counts stop at the limit, so they always say how many notes got a label.
  if (kind == NoteKind::Footnote) {
    return footnotes_ < limits_.footnotes ? FootnoteLabel(++footnotes_) : std::string();
  }
  return endnotes_ < limits_.endnotes ? EndnoteLabel(++endnotes_) : std::string();
}

}  // namespace scrivora
