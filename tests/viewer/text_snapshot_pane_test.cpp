#include "viewer/core/text_snapshot_pane.h"

#include <gtest/gtest.h>

#include "tests/viewer/fake_pane.h"
#include "viewer/core/note_tracking.h"

namespace scrivora {
namespace {

using test::FakePane;

TEST(FoldCase, PairsCapitalAndSmallLetters) {
  const std::pair<char16_t, char16_t> pairs[] = {
      {u'A', u'a'}, {u'Z', u'z'}, {u'\u00C4', u'\u00E4'}, {u'\u00DE', u'\u00FE'},
      {u'\u0100', u'\u0101'}, {u'\u0139', u'\u013A'}, {u'\u014A', u'\u014B'},
      {u'\u0178', u'\u00FF'}, {u'\u017D', u'\u017E'}, {u'\u0391', u'\u03B1'},
      {u'\u03A9', u'\u03C9'}, {u'\u0416', u'\u0436'}, {u'\u0401', u'\u0451'}};
  for (auto [capital, small] : pairs) {
    EXPECT_EQ(FoldCase(capital), FoldCase(small)) << int(capital);
    EXPECT_EQ(FoldCase(small), small) << int(small);
  }
  for (char16_t alone : {u'\u00B7', u'\u00D7', u'\u00F7', u'\u00DF', u'1', u'*', u'[', u'@'})
    EXPECT_EQ(FoldCase(alone), alone) << int(alone);
  EXPECT_NE(FoldCase(u'\u00D7'), FoldCase(u'\u00F7'));
}

TEST(FindIgnoringCase, AnswersAsTheControlsSearchDoes) {
  const std::u16string text =
      u"Intro \u00B7a\u00B7 then \u00B7B\u00B7, \u00B7\u00C4\u00B7 and \u00B7b\u00B7 "
      u"\u00B7\u00B7 *note* end\u00B7";
  FakePane pane(text);
  const std::u16string needles[] = {u"\u00B7",       u"\u00B7A\u00B7", u"\u00B7b\u00B7",
                                    u"\u00B7\u00E4\u00B7", u"\u00B7\u00B7", u"*NOTE*",
                                    u"INTRO",        u"end\u00B7",     u"end\u00B7\u00B7",
                                    u"missing",      u"e"};
  for (const std::u16string& needle : needles) {
    for (std::int32_t start = 0; start <= pane.TextLength(); ++start) {
      EXPECT_EQ(FindIgnoringCase(text, needle, start), pane.FindString(needle, start, false, false))
          << "needle of " << needle.size() << " at " << start;
    }
  }
  EXPECT_EQ(FindIgnoringCase(text, u"\u00B7", -1), -1);
  EXPECT_EQ(FindIgnoringCase(text, u"\u00B7", pane.TextLength() + 1), -1);
  EXPECT_EQ(FindIgnoringCase(text, u"", 0), -1);
}

TEST(TextSnapshotPane, TracksLikeThePaneWithoutSearchingIt) {
  FakePane text(test::LinesWith(30, {{4, u"ref \u00B7iv\u00B7"}, {9, u"\u00B7v\u00B7"}}));
  FakePane notes(test::LinesWith(30, {{3, u"\u00B7V\u00B7 note"}, {12, u"\u00B7IV\u00B7 note"}}));
  TextSnapshotPane textSnapshot(text);
  TextSnapshotPane notesSnapshot(notes);
  textSnapshot.TakeSnapshot();
  notesSnapshot.TakeSnapshot();

  text.ScrollTo(2);
  SyncToMarker(textSnapshot, text.LineIndex(2), notesSnapshot);
  EXPECT_EQ(notes.FirstVisibleLine(), 12);
  EXPECT_EQ(notes.Selection(), (CharRange{12 * 40, 12 * 40 + 4}));

  notes.ScrollTo(3);
  SyncToMarker(notesSnapshot, notes.LineIndex(3), textSnapshot);
  EXPECT_EQ(text.FirstVisibleLine(), 9);
  EXPECT_EQ(text.Selection(), (CharRange{9 * 40, 9 * 40 + 3}));

  EXPECT_EQ(text.findCalls + notes.findCalls, 0);
  EXPECT_EQ(textSnapshot.TextLength(), text.TextLength());
  EXPECT_EQ(textSnapshot.TextRange(4 * 40 + 4, 4 * 40 + 8), u"\u00B7iv\u00B7");
  EXPECT_EQ(textSnapshot.TextRange(-5, 3), u"lin");
  // Searches with match case or whole word stay the control's.
  EXPECT_EQ(textSnapshot.FindString(u"\u00B7IV\u00B7", 0, true, false), -1);
  EXPECT_EQ(text.findCalls, 1);
}

TEST(TextSnapshotPane, AsksThePaneUntilTheSnapshotIsTaken) {
  FakePane pane(u"before \u00B71\u00B7");
  TextSnapshotPane snapshot(pane);
  EXPECT_EQ(snapshot.FindString(u"\u00B71\u00B7", 0, false, false), 7);
  EXPECT_EQ(snapshot.TextLength(), 10);
  EXPECT_EQ(snapshot.TextRange(7, 10), u"\u00B71\u00B7");
  EXPECT_EQ(pane.findCalls, 1);
}

}  // namespace
}  // namespace scrivora
