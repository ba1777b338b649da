#include "viewer/core/note_tracking.h"

#include <gtest/gtest.h>

#include "tests/viewer/fake_pane.h"

namespace scrivora {
namespace {

using test::FakePane;
using test::LinesWith;

std::string Narrow(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out += c == kMarkerDot ? std::string("\xC2\xB7") : std::string(1, char(c));
  return out;
}

struct MarkerCase {
  const char* name;
  std::u16string text;
  std::int32_t start;
  std::u16string marker;  // empty: none
};

TEST(FindMarker, TakesTheFirstDotPairWithinFiveCharacters) {
  const MarkerCase cases[] = {
      {"no dot", u"plain text without notes", 0, u""},
      {"one dot", u"a lone \u00B7 and nothing more", 0, u""},
      {"adjacent dots", u"word\u00B7\u00B7 rest", 0, u"\u00B7\u00B7"},
      {"short marker", u"text\u00B712\u00B7 rest", 0, u"\u00B712\u00B7"},
      {"four inner characters", u"x\u00B7abcd\u00B7y", 0, u"\u00B7abcd\u00B7"},
      {"six apart", u"x\u00B7abcde\u00B7y", 0, u""},
      {"six apart, no later dot tried", u"\u00B7abcde\u00B7 then \u00B73\u00B7", 0, u""},
      {"lone dot forms a false marker", u"x\u00B7y\u00B75\u00B7", 0, u"\u00B7y\u00B7"},
      {"marker inside a word", u"word\u00B7A\u00B7word", 0, u"\u00B7A\u00B7"},
      {"marker before the start is passed", u"\u00B71\u00B7 text \u00B72\u00B7", 3,
       u"\u00B72\u00B7"},
      {"far below the start", std::u16string(5000, u'x') + u"\u00B79\u00B7", 0, u"\u00B79\u00B7"},
  };
  for (const MarkerCase& c : cases) {
    FakePane pane(c.text);
    EXPECT_EQ(Narrow(FindMarker(pane, c.start)), Narrow(c.marker)) << c.name;
    EXPECT_LE(pane.findCalls, 2) << c.name;
  }
}

// The client's side of tracking, as the viewer wires it: each pane has its own check, and a run
// moves only the other pane.
struct TrackedPanes {
  FakePane text;
  FakePane notes;
  TopLineCheck textCheck;
  TopLineCheck notesCheck;

  void CheckText() {
    if (auto start = textCheck.Check(text)) SyncToMarker(text, *start, notes);
  }
  void CheckNotes() {
    if (auto start = notesCheck.Check(notes)) SyncToMarker(notes, *start, text);
  }
  void ReaderScrollsText(std::int32_t line) {
    text.ScrollTo(line);
    CheckText();
  }
  void ReaderScrollsNotes(std::int32_t line) {
    notes.ScrollTo(line);
    CheckNotes();
  }
};

constexpr std::int32_t kWidth = 40;

struct SyncCase {
  const char* name;
  std::u16string text;         // the text pane's lines
  std::u16string notes;        // the notes pane's lines
  std::int32_t notesTopBefore;  // where the notes pane stands before the reader scrolls
  std::int32_t scrollTextTo;
  std::int32_t notesTopAfter;
  CharRange notesSelection;  // {0, 0}: left as it was
  int lookups = 1;           // searches in the other pane: one when a marker was taken
};

TEST(SyncToMarker, BringsTheMatchingNoteToTheTopOfTheOtherPane) {
  const auto at = [](std::int32_t line, std::int32_t column = 0) { return line * kWidth + column; };
  const SyncCase cases[] = {
      {"marker on the new top line", LinesWith(30, {{4, u"ref \u00B73\u00B7"}}),
       LinesWith(30, {{12, u"\u00B73\u00B7 the note"}}), 0, 4, 12, {at(12), at(12, 3)}},
      {"marker far below the visible part", LinesWith(30, {{27, u"ref \u00B79\u00B7"}}),
       LinesWith(30, {{6, u"\u00B79\u00B7 the note"}}), 0, 1, 6, {at(6), at(6, 3)}},
      {"marker text differs in case", LinesWith(30, {{4, u"ref \u00B7a\u00B7"}}),
       LinesWith(30, {{9, u"\u00B7A\u00B7 note"}}), 0, 2, 9, {at(9), at(9, 3)}},
      {"first occurrence from the start wins", LinesWith(30, {{4, u"ref \u00B72\u00B7"}}),
       LinesWith(30, {{3, u"x \u00B72\u00B7"}, {20, u"\u00B72\u00B7 again"}}), 18, 4, 3,
       {at(3, 2), at(3, 5)}},
      {"near the end the pane stops at its last page", LinesWith(30, {{4, u"\u00B77\u00B7"}}),
       LinesWith(20, {{18, u"\u00B77\u00B7 last note"}}), 0, 4, 15, {at(18), at(18, 3)}},
      {"lone dot makes a false marker",
       LinesWith(30, {{4, u"a\u00B7b \u00B75\u00B7"}}),
       LinesWith(30, {{2, u"\u00B75\u00B7 real note"}, {7, u"see \u00B7b \u00B7"}}), 0, 4, 7,
       {at(7, 4), at(7, 8)}},
      {"dots six apart: nothing, though a marker follows",
       LinesWith(30, {{4, u"\u00B7abcde\u00B7 \u00B75\u00B7"}}),
       LinesWith(30, {{2, u"\u00B75\u00B7"}}), 1, 4, 1, {}, 0},
      {"no marker below the top line", LinesWith(30, {{2, u"\u00B71\u00B7"}}),
       LinesWith(30, {{5, u"\u00B71\u00B7"}}), 1, 4, 1, {}, 0},
      {"marker missing in the other pane", LinesWith(30, {{4, u"\u00B74\u00B7"}}),
       LinesWith(30, {{5, u"\u00B71\u00B7"}}), 1, 4, 1, {}},
  };
  for (const SyncCase& c : cases) {
    TrackedPanes panes{FakePane(c.text), FakePane(c.notes), {}, {}};
    panes.notes.ScrollTo(c.notesTopBefore);
    panes.ReaderScrollsText(c.scrollTextTo);
    EXPECT_EQ(panes.notes.FirstVisibleLine(), c.notesTopAfter) << c.name;
    EXPECT_EQ(panes.notes.Selection(), c.notesSelection) << c.name;
    EXPECT_EQ(panes.notes.findCalls, c.lookups) << c.name;
    EXPECT_LE(panes.text.findCalls, 2) << c.name;
    // The tracking moves the other pane without running that pane's own check.
    EXPECT_EQ(panes.notesCheck.LastTopLine(), 0) << c.name;
    EXPECT_EQ(panes.text.FirstVisibleLine(), c.scrollTextTo) << c.name;
  }
}

TEST(SyncToMarker, WorksTheSameFromTheNotesPane) {
  TrackedPanes panes{FakePane(LinesWith(30, {{21, u"ref \u00B7iv\u00B7"}})),
                     FakePane(LinesWith(30, {{8, u"\u00B7IV\u00B7 note"}})), {}, {}};
  panes.ReaderScrollsNotes(8);
  EXPECT_EQ(panes.text.FirstVisibleLine(), 21);
  EXPECT_EQ(panes.text.Selection(), (CharRange{21 * kWidth + 4, 21 * kWidth + 8}));
  EXPECT_EQ(panes.textCheck.LastTopLine(), 0);
}

class TopLineRules : public ::testing::Test {
 protected:
  TrackedPanes panes{FakePane(LinesWith(40, {{0, u"\u00B71\u00B7 first"}, {10, u"\u00B72\u00B7"}})),
                     FakePane(LinesWith(40, {{3, u"\u00B71\u00B7 note one"},
                                             {7, u"\u00B72\u00B7 note two"}})),
                     {}, {}};
};

TEST_F(TopLineRules, NothingHappensWhileTheTopLineStaysAtZero) {
  panes.CheckText();
  panes.CheckNotes();
  EXPECT_EQ(panes.text.findCalls + panes.notes.findCalls, 0);
  EXPECT_EQ(panes.notes.FirstVisibleLine(), 0);
  EXPECT_EQ(panes.text.FirstVisibleLine(), 0);
}

TEST_F(TopLineRules, AnUnchangedTopLineDoesNothing) {
  panes.ReaderScrollsText(5);
  const int finds = panes.text.findCalls + panes.notes.findCalls;
  panes.notes.ScrollTo(0);  // the reader looks elsewhere in the notes
  panes.CheckText();        // e.g. Up or Down moving the caret inside the visible lines
  panes.CheckText();
  EXPECT_EQ(panes.text.findCalls + panes.notes.findCalls, finds);
  EXPECT_EQ(panes.notes.FirstVisibleLine(), 0);
}

TEST_F(TopLineRules, ReturningToLineZeroRunsFromTheFirstCharacter) {
  panes.ReaderScrollsText(5);
  EXPECT_EQ(panes.notes.FirstVisibleLine(), 7);
  panes.ReaderScrollsText(0);
  EXPECT_EQ(panes.textCheck.LastTopLine(), 0);
  EXPECT_EQ(panes.notes.FirstVisibleLine(), 3);
  EXPECT_EQ(panes.notes.Selection(), (CharRange{3 * kWidth, 3 * kWidth + 3}));
}

TEST_F(TopLineRules, ARunWithoutMarkerStillRemembersTheTopLine) {
  panes.ReaderScrollsText(15);  // no marker below line 15
  EXPECT_EQ(panes.textCheck.LastTopLine(), 15);
  EXPECT_EQ(panes.notes.FirstVisibleLine(), 0);
}

TEST_F(TopLineRules, APaneMovedByTrackingIgnoresAScrollToItsOwnLastTopLine) {
  panes.ReaderScrollsText(5);  // moves the notes to line 7; their LastTopLine stays 0
  ASSERT_EQ(panes.notes.FirstVisibleLine(), 7);
  const int textFinds = panes.text.findCalls;
  panes.ReaderScrollsNotes(0);  // back to the line of its own last check
  EXPECT_EQ(panes.text.findCalls, textFinds);
  EXPECT_EQ(panes.notes.findCalls, 1);  // only the lookup of the text pane's run
  EXPECT_EQ(panes.text.FirstVisibleLine(), 5);
  panes.ReaderScrollsNotes(2);  // a real change runs again, from the note on line 3
  EXPECT_EQ(panes.text.FirstVisibleLine(), 0);
}

}  // namespace
}  // namespace scrivora
