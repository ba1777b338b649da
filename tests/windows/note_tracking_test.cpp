// Note tracking on real panes of a real container: which reader actions bring the other pane's
// marker to its top line, and which leave both panes alone.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <string>

#include <gtest/gtest.h>

#include "tests/windows/viewer_harness.h"
#include "viewer/resources/command_ids.h"

namespace scrivora::test {
namespace {

constexpr int kNotes = 120;

// One reference a paragraph in the text; each note two paragraphs long, so both panes scroll.
// Note 7's reference is in lower case and its note in upper case. A long stretch without notes
// comes before the last reference, so the text's last page leads to the last note.
ContainerSpec TrackingContainer() {
  ContainerSpec parts;
  parts.mainRtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
  parts.notesRtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
  for (int i = 1; i <= kNotes; ++i) {
    const std::string n = i == 7 ? "7a" : std::to_string(i);
    const std::string label = i == 7 ? "7A" : n;
    if (i == kNotes)
      for (int j = 0; j < 80; ++j) parts.mainRtf += "A line without a reference.\\par ";
    parts.mainRtf += "Paragraph " + std::to_string(i) + " of the text with the reference \\'b7" + n +
                    "\\'b7 to its note.\\par ";
    parts.notesRtf += "\\'b7" + label + "\\'b7 Note " + std::to_string(i) +
                     " explains its paragraph.\\par And says a little more.\\par ";
  }
  parts.mainRtf += "}";
  parts.notesRtf += "}";
  return parts;
}

// What tracking must do, worked out from the panes' text alone: the first middle dot at or
// after `start`, a second within five characters, and that text's first occurrence in the other
// pane without regard to case.
struct Expected {
  std::wstring marker;
  std::int32_t position = -1;  // in the other pane
};

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(::towlower(c));
  return text;
}

Expected ExpectedSync(const EmbeddedRichEdit& scrolled, std::int32_t start,
                      const EmbeddedRichEdit& other) {
  const std::wstring text = PaneText(scrolled);
  const std::size_t a = text.find(L'\u00B7', static_cast<std::size_t>(start));
  if (a == std::wstring::npos) return {};
  const std::size_t b = text.find(L'\u00B7', a + 1);
  if (b == std::wstring::npos || b - a > 5) return {};
  Expected expected;
  expected.marker = text.substr(a, b - a + 1);
  const std::size_t m = Lower(PaneText(other)).find(Lower(expected.marker));
  expected.position = m == std::wstring::npos ? -1 : static_cast<std::int32_t>(m);
  return expected;
}

struct PaneState {
  std::int32_t top;
  CharRange selection;
  std::int32_t lastTopLine;
  friend bool operator==(const PaneState&, const PaneState&) = default;
};

PaneState StateOf(const EmbeddedRichEdit& pane) {
  return {pane.FirstVisibleLine(), pane.Selection(), pane.LastTopLine()};
}

// The other pane shows the marker that the scrolled pane's top line leads to: selected, and on
// its top line unless the control cannot scroll that far.
void ExpectSynced(const EmbeddedRichEdit& scrolled, const EmbeddedRichEdit& other,
                  const char* action) {
  SCOPED_TRACE(action);
  const std::int32_t top = scrolled.FirstVisibleLine();
  EXPECT_EQ(scrolled.LastTopLine(), top);
  const Expected expected = ExpectedSync(scrolled, scrolled.LineIndex(top), other);
  ASSERT_FALSE(expected.marker.empty());
  ASSERT_GE(expected.position, 0);
  const auto length = static_cast<std::int32_t>(expected.marker.size());
  EXPECT_EQ(other.Selection(), (CharRange{expected.position, expected.position + length}));
  EXPECT_EQ(other.FirstVisibleLine(), other.LineFromChar(expected.position));
}

class NoteTracking : public ::testing::Test {
 protected:
  NoteTracking() : file_(TrackingContainer().Build()), viewer_(file_.Path()) {}

  EmbeddedRichEdit& Text() { return viewer_.TextPane(); }
  EmbeddedRichEdit& Notes() { return viewer_.NotesPane(); }
  void Key(EmbeddedRichEdit& pane, UINT key, bool control = false, bool shift = false) {
    viewer_.PressKey(pane.Handle(), key, control, shift);
  }
  void ScrollBar(EmbeddedRichEdit& pane, WORD action, WORD position = 0) {
    ::SendMessageW(pane.Handle(), WM_VSCROLL, MAKEWPARAM(action, position), 0);
  }
  void Wheel(EmbeddedRichEdit& pane, short delta) {
    RECT r;
    ::GetWindowRect(pane.Handle(), &r);
    ::PostMessageW(pane.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)),
                   MAKELPARAM(r.left + 20, r.top + 20));
    viewer_.Pump();
  }

  TestFile file_;
  RunningViewer viewer_;
};

TEST_F(NoteTracking, NothingHappensAtStart) {
  EXPECT_EQ(StateOf(Text()), (PaneState{0, {0, 0}, 0}));
  EXPECT_EQ(StateOf(Notes()), (PaneState{0, {0, 0}, 0}));
}

TEST_F(NoteTracking, PageKeysBringTheOtherPanesMarkerToItsTop) {
  Key(Text(), VK_NEXT);
  ASSERT_GT(Text().FirstVisibleLine(), 0);
  ExpectSynced(Text(), Notes(), "Page Down in the text");
  Key(Text(), VK_NEXT, false, true);  // with Shift too
  ExpectSynced(Text(), Notes(), "Shift+Page Down in the text");
  Key(Text(), VK_PRIOR);
  ExpectSynced(Text(), Notes(), "Page Up in the text");

  // The other way round: the notes lead the text.
  Key(Notes(), VK_NEXT);
  ASSERT_GT(Notes().FirstVisibleLine(), 0);
  ExpectSynced(Notes(), Text(), "Page Down in the notes");
}

TEST_F(NoteTracking, ScrollBarActionsIncludingTheThumb) {
  ScrollBar(Text(), SB_PAGEDOWN);
  ASSERT_GT(Text().FirstVisibleLine(), 0);
  ExpectSynced(Text(), Notes(), "SB_PAGEDOWN");
  ScrollBar(Text(), SB_LINEDOWN);
  ExpectSynced(Text(), Notes(), "SB_LINEDOWN");

  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  ::GetScrollInfo(Text().Handle(), SB_VERT, &info);
  const std::int32_t before = Text().FirstVisibleLine();
  const WORD target = static_cast<WORD>(info.nMin + (info.nMax - info.nMin) / 2);
  ScrollBar(Text(), SB_THUMBTRACK, target);
  ScrollBar(Text(), SB_THUMBPOSITION, target);
  ASSERT_NE(Text().FirstVisibleLine(), before) << "the thumb did not move the text";
  ExpectSynced(Text(), Notes(), "thumb");

  // A further thumb message at the same place leaves everything as it is.
  const PaneState notes = StateOf(Notes());
  ScrollBar(Text(), SB_THUMBPOSITION, target);
  EXPECT_EQ(StateOf(Notes()), notes);
}

TEST_F(NoteTracking, EndThenHomeReturnsToLineZeroAndRuns) {
  Key(Text(), VK_END, true);
  ASSERT_GT(Text().FirstVisibleLine(), 0);
  // The last references lead to the last notes, which the notes pane cannot bring to its top:
  // it stops where the control stops.
  const std::int32_t top = Text().FirstVisibleLine();
  const Expected expected = ExpectedSync(Text(), Text().LineIndex(top), Notes());
  ASSERT_GE(expected.position, 0);
  const auto length = static_cast<std::int32_t>(expected.marker.size());
  EXPECT_EQ(Notes().Selection(), (CharRange{expected.position, expected.position + length}));
  const std::int32_t notesTop = Notes().FirstVisibleLine();
  EXPECT_GT(notesTop, 0);
  EXPECT_LT(notesTop, Notes().LineFromChar(expected.position));
  Notes().ScrollLines(1);
  EXPECT_EQ(Notes().FirstVisibleLine(), notesTop) << "the notes pane could have scrolled further";

  // Back to line 0: the tracking runs from the first character of the text.
  Key(Text(), VK_HOME, true);
  EXPECT_EQ(Text().FirstVisibleLine(), 0);
  ExpectSynced(Text(), Notes(), "Ctrl+Home in the text");
  EXPECT_EQ(Notes().Selection(), (CharRange{0, 3}));
  EXPECT_EQ(Notes().FirstVisibleLine(), 0);
}

TEST_F(NoteTracking, TheWheelFollowsTheTopLineBeforeTheStep) {
  // The first step: the top line is still the one of the last check, so nothing happens; the
  // control then scrolls.
  Wheel(Text(), -WHEEL_DELTA);
  const std::int32_t afterFirst = Text().FirstVisibleLine();
  ASSERT_GT(afterFirst, 0) << "the wheel did not scroll the pane";
  EXPECT_EQ(Text().LastTopLine(), 0);
  EXPECT_EQ(StateOf(Notes()), (PaneState{0, {0, 0}, 0}));

  // The second step follows the top line as it stood after the first.
  const Expected expected = ExpectedSync(Text(), Text().LineIndex(afterFirst), Notes());
  Wheel(Text(), -WHEEL_DELTA);
  EXPECT_GT(Text().FirstVisibleLine(), afterFirst);
  EXPECT_EQ(Text().LastTopLine(), afterFirst);
  ASSERT_GE(expected.position, 0);
  const auto length = static_cast<std::int32_t>(expected.marker.size());
  EXPECT_EQ(Notes().Selection(), (CharRange{expected.position, expected.position + length}));
  EXPECT_EQ(Notes().FirstVisibleLine(), Notes().LineFromChar(expected.position));
}

TEST_F(NoteTracking, UpAndDownInsideTheVisibleLinesDoNothing) {
  ::SetFocus(Text().Handle());
  Key(Text(), VK_DOWN);
  Key(Text(), VK_DOWN, true, true);
  Key(Text(), VK_UP);
  EXPECT_GT(Text().Selection().max, 0) << "the caret did not move";
  EXPECT_EQ(Text().FirstVisibleLine(), 0);
  EXPECT_EQ(Text().LastTopLine(), 0);
  EXPECT_EQ(StateOf(Notes()), (PaneState{0, {0, 0}, 0}));
}

TEST_F(NoteTracking, DownPastTheLastVisibleLineRuns) {
  // Enough Down presses to take the caret below the visible lines: the pane scrolls, and the
  // check after the key sees it.
  for (int i = 0; i < 200 && Text().FirstVisibleLine() == 0; ++i) Key(Text(), VK_DOWN);
  ASSERT_GT(Text().FirstVisibleLine(), 0);
  ExpectSynced(Text(), Notes(), "Down below the visible lines");
}

TEST_F(NoteTracking, APaneMovedByTrackingAndScrolledBackToItsLastTopLineDoesNothing) {
  Key(Text(), VK_NEXT);
  ExpectSynced(Text(), Notes(), "Page Down in the text");
  // The tracking moved the notes pane without running its check: it still holds line 0.
  ASSERT_GT(Notes().FirstVisibleLine(), 0);
  EXPECT_EQ(Notes().LastTopLine(), 0);

  const PaneState text = StateOf(Text());
  ScrollBar(Notes(), SB_TOP);
  EXPECT_EQ(Notes().FirstVisibleLine(), 0);
  EXPECT_EQ(StateOf(Text()), text);  // nothing bounced back

  // A reader's scroll to any other line does run.
  ScrollBar(Notes(), SB_PAGEDOWN);
  ExpectSynced(Notes(), Text(), "SB_PAGEDOWN in the notes");
}

TEST_F(NoteTracking, LeftRightAndFindDoNotRun) {
  // Scrolled by a means that is no trigger; the caret at the start of the top line.
  Text().ScrollLines(10);
  ASSERT_EQ(Text().FirstVisibleLine(), 10);
  const std::int32_t lineStart = Text().LineIndex(10);
  Text().SetSelection({lineStart, lineStart});
  ::SetFocus(Text().Handle());
  Key(Text(), VK_LEFT);  // the caret goes to the line above: the control scrolls up to it
  EXPECT_EQ(Text().FirstVisibleLine(), 9);
  Key(Text(), VK_RIGHT);
  Key(Text(), VK_RIGHT, true, true);
  EXPECT_EQ(Text().LastTopLine(), 0);
  EXPECT_EQ(StateOf(Notes()), (PaneState{0, {0, 0}, 0}));

  // Find a paragraph far below: the pane scrolls to the match, the tracking stays still.
  viewer_.Command(CM_EDITFIND);
  HWND dialog = Text().FindDialog();
  ASSERT_TRUE(dialog);
  ::SetDlgItemTextW(dialog, edt1, L"Paragraph 100 ");
  ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
  viewer_.Pump();
  ::SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  viewer_.Pump();
  EXPECT_GT(Text().FirstVisibleLine(), 50);
  EXPECT_EQ(Text().LastTopLine(), 0);
  EXPECT_EQ(StateOf(Notes()), (PaneState{0, {0, 0}, 0}));
}

TEST_F(NoteTracking, MarkersMatchWithoutRegardToCase) {
  // The top line at the paragraph with the lower-case reference "7a".
  const std::int32_t at = Text().FindString(u"Paragraph 7 ", 0, true, false);
  ASSERT_GE(at, 0);
  Text().ScrollLines(Text().LineFromChar(at) - Text().FirstVisibleLine());
  ScrollBar(Text(), SB_LINEDOWN);
  ScrollBar(Text(), SB_LINEUP);
  ASSERT_EQ(Text().LineIndex(Text().FirstVisibleLine()), at);
  const std::int32_t note = Notes().FindString(u"\u00B77A\u00B7", 0, true, false);
  ASSERT_GE(note, 0);
  EXPECT_EQ(Notes().Selection(), (CharRange{note, note + 4}));
  EXPECT_EQ(Notes().FirstVisibleLine(), Notes().LineFromChar(note));
}

}  // namespace
}  // namespace scrivora::test
