// The labels between the two middle dots of note markers: one to four characters, never the same
// twice without regard to letter case. Footnotes count 1, 2 ... 9999 and then go on with labels
// that start with a digit and hold a letter (10a ...); endnotes count a, b ... z, aa ... zzzz.
// A footnote label starts with a digit and an endnote label never does, so they cannot meet.
#pragma once

#include <cstdint>
#include <string>

namespace scrivora {

enum class NoteKind : unsigned char { Footnote, Endnote };

inline constexpr std::uint32_t kMaxFootnotes = 9999 + 260 + 11960 + 456560;
inline constexpr std::uint32_t kMaxEndnotes = 26 + 26 * 26 + 26 * 26 * 26 + 26 * 26 * 26 * 26;

// The label of the n-th note of a kind, counting from 1; empty when n is 0 or beyond the maximum.
std::string FootnoteLabel(std::uint32_t n);
std::string EndnoteLabel(std::uint32_t n);

// How many notes of each kind get a label: every distinct label unless a smaller number is given
// (so that running out can be tried without half a million notes).
struct LabelLimits {
  std::uint32_t footnotes = kMaxFootnotes;
  std::uint32_t endnotes = kMaxEndnotes;
};

// Hands out the labels of a document's notes in order.
class MarkerLabels {
 public:
  explicit MarkerLabels(LabelLimits limits = {});
  // The next label of that kind; empty, from then on, once that kind has run out of labels.
  std::string Next(NoteKind kind);
  std::uint32_t footnotes() const { return footnotes_; }
  std::uint32_t endnotes() const { return endnotes_; }

 private:
  LabelLimits limits_;
  std::uint32_t footnotes_ = 0;
  std::uint32_t endnotes_ = 0;
};

}  // namespace scrivora
