#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include "tests/windows/viewer_harness.h"
#include "viewer/resources/command_ids.h"

namespace scrivora::test {
namespace {

// Fills the pane's open Find dialog and presses its Find Next button.
void FindWithDialog(RunningViewer& viewer, const wchar_t* text, bool matchCase, bool wholeWord,
                    bool down = true) {
  HWND dialog = viewer.TextPane().FindDialog();
  ASSERT_TRUE(dialog);
  ::SetDlgItemTextW(dialog, edt1, text);
  ::CheckDlgButton(dialog, chx1, wholeWord ? BST_CHECKED : BST_UNCHECKED);
  ::CheckDlgButton(dialog, chx2, matchCase ? BST_CHECKED : BST_UNCHECKED);
  ::CheckRadioButton(dialog, rad1, rad2, down ? rad2 : rad1);
  ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
  viewer.Pump();
}

TEST(ViewerFind, ClosingTheFrameWithFindOpenLeavesNoDeadDialog) {
  const TestFile file(ContainerSpec{}.Build());
  RunningViewer viewer(file.Path());
  viewer.Command(CM_EDITFIND);
  HWND dialog = viewer.TextPane().FindDialog();
  ASSERT_TRUE(dialog);
  // The frame owns the dialog, so the dialog is destroyed with it and says nothing of it.
  ::DestroyWindow(viewer.FrameHandle());
  EXPECT_FALSE(::IsWindow(dialog));
  EXPECT_EQ(viewer.TextPane().FindDialog(), nullptr);
}

TEST(ViewerFind, TheFindDialog) {
  const TestFile file(ContainerSpec{}.Build());
  RunningViewer viewer(file.Path());
  EmbeddedRichEdit& pane = viewer.TextPane();
  EXPECT_TRUE(viewer.MenuItemEnabled(CM_EDITFIND));
  EXPECT_FALSE(viewer.MenuItemEnabled(CM_EDITFINDNEXT));
  viewer.Command(CM_EDITFIND);
  HWND dialog = pane.FindDialog();
  ASSERT_TRUE(dialog);
  // Room for 80 characters; searching down at first; Find is greyed while it is open.
  EXPECT_EQ(::SendDlgItemMessageW(dialog, edt1, EM_GETLIMITTEXT, 0, 0), 80);
  EXPECT_EQ(::IsDlgButtonChecked(dialog, rad2), BST_CHECKED);
  ::SetFocus(pane.Handle());
  EXPECT_FALSE(viewer.MenuItemEnabled(CM_EDITFIND));

  FindWithDialog(viewer, L"paragraph", false, false);
  EXPECT_EQ(pane.Selection(), (CharRange{42, 51}));
  EXPECT_TRUE(viewer.MenuItemEnabled(CM_EDITFINDNEXT));

  // Closing the dialog makes Find available again; Next (F3) repeats the search.
  ::SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  viewer.Pump();
  EXPECT_EQ(pane.FindDialog(), nullptr);
  ::SetFocus(pane.Handle());
  EXPECT_TRUE(viewer.MenuItemEnabled(CM_EDITFIND));
  pane.SetSelection({0, 0});
  viewer.PressKey(pane.Handle(), VK_F3);
  EXPECT_EQ(pane.Selection(), (CharRange{42, 51}));
}

TEST(ViewerFind, OptionsAndDirection) {
  ContainerSpec parts;
  parts.mainRtf = "{\\rtf1\\ansi Whale whales WHALE whale.\\par}";
  const TestFile file(parts.Build());
  struct Case {
    const char* name;
    const wchar_t* text;
    bool matchCase, wholeWord, down;
    CharRange start;
    CharRange found;
  };
  const Case cases[] = {
      {"first from the start", L"whale", false, false, true, {0, 0}, {0, 5}},
      {"match case skips Whale", L"whale", true, false, true, {0, 0}, {6, 11}},
      {"whole word skips whales", L"whale", false, true, true, {1, 1}, {13, 18}},
      {"both", L"whale", true, true, true, {0, 0}, {19, 24}},
      {"after the selection", L"whale", false, false, true, {0, 5}, {6, 11}},
      {"up from the selection", L"whale", false, false, false, {19, 24}, {13, 18}},
  };
  for (const Case& c : cases) {
    RunningViewer viewer(file.Path());
    viewer.TextPane().SetSelection(c.start);
    viewer.Command(CM_EDITFIND);
    FindWithDialog(viewer, c.text, c.matchCase, c.wholeWord, c.down);
    EXPECT_EQ(viewer.TextPane().Selection(), c.found) << c.name;
  }
}

TEST(ViewerFind, NoMatchSaysSo) {
  const TestFile file(ContainerSpec{}.Build());
  RunningViewer viewer(file.Path());
  viewer.Command(CM_EDITFIND);
  FindWithDialog(viewer, L"paragraph", false, false);
  ::SendMessageW(viewer.TextPane().FindDialog(), WM_COMMAND, IDCANCEL, 0);
  viewer.Pump();
  // From behind the only match, Next finds nothing more.
  std::wstring caption, message;
  WithModalBox([&] { viewer.PressKey(viewer.TextPane().Handle(), VK_F3); },
               [&](HWND box) {
                 caption = WindowText(box);
                 wchar_t text[128] = {};
                 ::GetDlgItemTextW(box, 0xFFFF, text, 128);
                 message = text;
               });
  EXPECT_EQ(caption, L"Scrivora 3");
  EXPECT_EQ(message, L"Cannot find \"paragraph\".");
  EXPECT_EQ(viewer.TextPane().Selection(), (CharRange{42, 51}));
}

TEST(ViewerFind, ThePaneControlOperations) {
  const TestFile file(ContainerSpec{}.Build());
  RunningViewer viewer(file.Path());
  const EmbeddedRichEdit& pane = viewer.TextPane();
  EXPECT_EQ(pane.FindString(u"\u00b71\u00b7", 0, false, false), 16);
  EXPECT_EQ(pane.FindString(u"WHALES", 0, false, true), 58);
  EXPECT_EQ(pane.FindString(u"WHALES", 0, true, false), -1);
  EXPECT_EQ(pane.FindString(u"Hello", 1, false, false), -1);
  EXPECT_EQ(pane.TextRange(16, 19), u"\u00b71\u00b7");
  EXPECT_EQ(pane.LineFromChar(0), 0);
  EXPECT_EQ(pane.LineIndex(pane.LineFromChar(40)), 35);
  EXPECT_EQ(pane.FirstVisibleLine(), 0);
  EXPECT_EQ(pane.TextLength(), 65);
}

TEST(ViewerFind, ScrollingALongPane) {
  ContainerSpec parts;
  parts.mainRtf = "{\\rtf1\\ansi ";
  for (int i = 0; i < 200; ++i) parts.mainRtf += "Line " + std::to_string(i) + "\\par ";
  parts.mainRtf += "}";
  const TestFile file(parts.Build());
  RunningViewer viewer(file.Path());
  EmbeddedRichEdit& pane = viewer.TextPane();
  EXPECT_EQ(pane.FirstVisibleLine(), 0);
  pane.ScrollLines(10);
  EXPECT_EQ(pane.FirstVisibleLine(), 10);
  EXPECT_EQ(pane.TextRange(pane.LineIndex(10), pane.LineIndex(10) + 7), u"Line 10");
  pane.ScrollLines(-4);
  EXPECT_EQ(pane.FirstVisibleLine(), 6);
  pane.ScrollLines(100000);  // as far as the text allows
  EXPECT_GT(pane.FirstVisibleLine(), 100);
  EXPECT_LE(pane.FirstVisibleLine(), 200);
  EXPECT_EQ(pane.LineFromChar(pane.LineIndex(150)), 150);
}

}  // namespace
}  // namespace scrivora::test
