// Marker labels: short, distinct without regard to case, footnotes as a reader counts them.
#include "notes/marker_labels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <unordered_set>

namespace scrivora {
namespace {

TEST(MarkerLabels, CountFootnotesInDigitsAndEndnotesInLetters) {
  EXPECT_EQ(FootnoteLabel(1), "1");
  EXPECT_EQ(FootnoteLabel(42), "42");
  EXPECT_EQ(FootnoteLabel(9999), "9999");
  EXPECT_EQ(FootnoteLabel(10000), "0a");
  EXPECT_EQ(EndnoteLabel(1), "a");
  EXPECT_EQ(EndnoteLabel(26), "z");
  EXPECT_EQ(EndnoteLabel(27), "aa");
  EXPECT_EQ(EndnoteLabel(kMaxEndnotes), "zzzz");
  EXPECT_EQ(FootnoteLabel(0), "");
  EXPECT_EQ(EndnoteLabel(0), "");
  EXPECT_EQ(FootnoteLabel(kMaxFootnotes + 1), "");
  EXPECT_EQ(EndnoteLabel(kMaxEndnotes + 1), "");
}

TEST(MarkerLabels, EveryLabelOfBothKindsIsShortAndDistinctIgnoringCase) {
  std::unordered_set<std::string> seen;
  seen.reserve(kMaxFootnotes + kMaxEndnotes);
  auto check = [&](const std::string& label, const char* kind, std::uint32_t n) {
    ASSERT_GE(label.size(), 1u) << kind << " " << n;
    ASSERT_LE(label.size(), 4u) << kind << " " << n;
    std::string folded = label;
    for (char& c : folded) {
      ASSERT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << label;
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    ASSERT_TRUE(seen.insert(folded).second) << kind << " " << n << " repeats " << label;
  };
  for (std::uint32_t n = 1; n <= kMaxFootnotes; ++n) check(FootnoteLabel(n), "footnote", n);
  for (std::uint32_t n = 1; n <= kMaxEndnotes; ++n) check(EndnoteLabel(n), "endnote", n);
}

TEST(MarkerLabels, HandsOutEachKindInItsOwnSequence) {
  MarkerLabels labels;
  EXPECT_EQ(labels.Next(NoteKind::Footnote), "1");
  EXPECT_EQ(labels.Next(NoteKind::Endnote), "a");
  EXPECT_EQ(labels.Next(NoteKind::Footnote), "2");
  EXPECT_EQ(labels.footnotes(), 2u);
  EXPECT_EQ(labels.endnotes(), 1u);
}

TEST(MarkerLabels, RunOutAtTheirLimitAndStayOut) {
  MarkerLabels labels(LabelLimits{2, 1});
  EXPECT_EQ(labels.Next(NoteKind::Footnote), "1");
  EXPECT_EQ(labels.Next(NoteKind::Footnote), "2");
  EXPECT_EQ(labels.Next(NoteKind::Endnote), "a");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(labels.Next(NoteKind::Footnote), "");
    EXPECT_EQ(labels.Next(NoteKind::Endnote), "");
  }
  // The counts say how many notes got a label, not how many asked.
  EXPECT_EQ(labels.footnotes(), 2u);
  EXPECT_EQ(labels.endnotes(), 1u);

  // A limit beyond the distinct labels gives only those.
  MarkerLabels all(LabelLimits{kMaxFootnotes + 10, kMaxEndnotes + 10});
  std::string last;
  for (std::uint32_t n = 0; n < kMaxEndnotes; ++n) last = all.Next(NoteKind::Endnote);
  EXPECT_EQ(last, "zzzz");
  EXPECT_EQ(all.Next(NoteKind::Endnote), "");
  EXPECT_EQ(all.endnotes(), kMaxEndnotes);
  for (std::uint32_t n = 0; n < kMaxFootnotes; ++n) last = all.Next(NoteKind::Footnote);
  EXPECT_EQ(last, FootnoteLabel(kMaxFootnotes));
  EXPECT_EQ(all.Next(NoteKind::Footnote), "");
  EXPECT_EQ(all.footnotes(), kMaxFootnotes);
}

}  // namespace
}  // namespace scrivora
