#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include "tests/windows/viewer_harness.h"
#include "viewer/resources/command_ids.h"

namespace scrivora::test {
namespace {

TEST(ViewerStart, ShowsTheContainersDocument) {
  const ContainerSpec parts;
  const TestFile file(parts.Build());
  RunningViewer viewer(file.Path());

  EXPECT_EQ(WindowText(viewer.FrameHandle()), L"Scrivora 3 - My Title");
  EXPECT_EQ(PaneText(viewer.TextPane()),
            L"Hello main text \u00b71\u00b7 with a marker.\rSecond paragraph about whales.");
  EXPECT_EQ(PaneText(viewer.NotesPane()), L"\u00b71\u00b7 The first note.");
  EXPECT_EQ(::GetDlgCtrlID(viewer.TextPane().Handle()), IDC_TEXTPANE);
  EXPECT_EQ(::GetDlgCtrlID(viewer.NotesPane().Handle()), IDC_NOTESPANE);
  EXPECT_EQ(viewer.Client().Description(), L"A description\r\nover two lines.");
  // Right after start the text pane has the keyboard focus.
  EXPECT_EQ(::GetFocus(), viewer.TextPane().Handle());
  // Each pane may hold as many characters as the container has behind the viewer image.
  const auto limit = ::SendMessageW(viewer.TextPane().Handle(), EM_GETLIMITTEXT, 0, 0);
  EXPECT_EQ(static_cast<std::size_t>(limit), parts.Build().size() - ViewerImage().size());
}

TEST(ViewerStart, TitlesInEveryEncodingAndLength) {
  struct Case {
    const char* name;
    std::string description;
    std::wstring caption;
    std::wstring rest;
  };
  const std::string letters79(79, 'T');
  const std::string letters100 = std::string(79, 'A') + "BC" + std::string(19, 'D');
  const Case cases[] = {
      {"13 letters", "Thirteen Char\r\nrest", L"Scrivora 3 - Thirteen Char", L"rest"},
      {"79 characters", letters79 + "\r\n", L"Scrivora 3 - " + std::wstring(79, L'T'), L""},
      {"100 characters: nothing lost from the description",
       letters100 + "\r\nmore",
       L"Scrivora 3 - " + std::wstring(79, L'A'), L"more"},
      {"lone line feed", "Title\nrest", L"Scrivora 3 - Title", L"rest"},
      {"UTF-8 without BOM", "Caf\xC3\xA9 \xE2\x82\xAC\r\nna\xC3\xAFve", L"Scrivora 3 - Caf\u00e9 \u20ac",
       L"na\u00efve"},
      {"UTF-8 with BOM", "\xEF\xBB\xBFGr\xC3\xBC\xC3\x9F\r\nx", L"Scrivora 3 - Gr\u00fc\u00df", L"x"},
      {"ANSI (Windows-1252)", "Caf\xE9\r\n\x80 5", L"Scrivora 3 - Caf\u00e9", L"\u20ac 5"},
      {"no line end at all", "Only a title", L"Scrivora 3 - Only a title", L""},
  };
  for (const Case& c : cases) {
    ContainerSpec parts;
    parts.description = c.description;
    const TestFile file(parts.Build());
    RunningViewer viewer(file.Path());
    EXPECT_EQ(WindowText(viewer.FrameHandle()), c.caption) << c.name;
    EXPECT_EQ(viewer.Client().Description(), c.rest) << c.name;
  }
}

TEST(ViewerStart, ACopyUnderAnotherNameShowsTheSame) {
  const ContainerSpec parts;
  const TestFile file(parts.Build(), "another name with spaces.exe");
  RunningViewer viewer(file.Path());
  EXPECT_EQ(WindowText(viewer.FrameHandle()), L"Scrivora 3 - My Title");
  EXPECT_NE(PaneText(viewer.TextPane()).find(L"whales"), std::wstring::npos);
}

TEST(ViewerStart, AContainerDeepInALongPath) {
  const TempDir dir;
  std::wstring path = dir.path().wstring();
  while (path.size() < 300) {
    path += L"\\a folder with a rather long name to pass the old limit";
    ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr));
  }
  path += L"\\embedded.exe";
  const std::string bytes = ContainerSpec{}.Build();
  HANDLE out = ::CreateFileW((L"\\\\?\\" + path).c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_NEW, 0, nullptr);
  ASSERT_NE(out, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ::WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(out);
  {
    RunningViewer viewer(path);
    EXPECT_EQ(WindowText(viewer.FrameHandle()), L"Scrivora 3 - My Title");
    EXPECT_NE(PaneText(viewer.TextPane()).find(L"whales"), std::wstring::npos);
    EXPECT_NE(PaneText(viewer.NotesPane()).find(L"first note"), std::wstring::npos);
  }
  std::error_code ignored;
  std::filesystem::remove_all(L"\\\\?\\" + dir.path().wstring(), ignored);
}

TEST(ViewerStart, ShowCommandRule) {
  const TestFile file(ContainerSpec{}.Build());
  {
    RunningViewer viewer(file.Path(), SW_SHOWMAXIMIZED);
    EXPECT_TRUE(::IsWindowVisible(viewer.FrameHandle()));
    EXPECT_FALSE(::IsZoomed(viewer.FrameHandle()));
  }
  {
    RunningViewer viewer(file.Path(), SW_SHOWMINIMIZED);
    EXPECT_FALSE(::IsIconic(viewer.FrameHandle()));
  }
  {
    RunningViewer viewer(file.Path(), SW_SHOWMINNOACTIVE);
    EXPECT_TRUE(::IsIconic(viewer.FrameHandle()));
  }
  {
    RunningViewer viewer(file.Path(), SW_HIDE);
    EXPECT_FALSE(::IsWindowVisible(viewer.FrameHandle()));
  }
}

TEST(ViewerStart, MenuBarAndIcon) {
  const TestFile file(ContainerSpec{}.Build());
  RunningViewer viewer(file.Path());
  HMENU bar = ::GetMenu(viewer.FrameHandle());
  ASSERT_EQ(::GetMenuItemCount(bar), 4);
  const wchar_t* names[] = {L"&File", L"&Edit", L"&Search", L"&Help"};
  for (int i = 0; i < 4; ++i) {
    wchar_t text[32];
    ::GetMenuStringW(bar, i, text, 32, MF_BYPOSITION);
    EXPECT_STREQ(text, names[i]);
  }
  EXPECT_NE(::GetClassLongPtrW(viewer.FrameHandle(), GCLP_HICON), 0);
  EXPECT_NE(::GetClassLongPtrW(viewer.FrameHandle(), GCLP_HICONSM), 0);
}

// The pixel rule for the panes, with the client area of the given size.
TEST(ViewerLayout, PanesFollowTheNotesPercentage) {
  struct Case {
    std::int32_t percent;
    int width, height;
    RECT text, notes;  // left, top, right and bottom, exclusive as Windows gives them
  };
  const Case cases[] = {
      {50, 600, 401, {0, 0, 599, 201}, {0, 201, 599, 401}},
      {25, 600, 401, {0, 0, 599, 301}, {0, 301, 599, 401}},
      {0, 600, 401, {0, 0, 599, 401}, {0, 401, 599, 401}},
      {100, 600, 401, {0, 0, 599, 1}, {0, 1, 599, 401}},
      {250, 600, 401, {0, 0, 599, 1}, {0, 1, 599, 401}},
  };
  for (const Case& c : cases) {
    ContainerSpec parts;
    parts.notesPercent = c.percent;
    const TestFile file(parts.Build());
    RunningViewer viewer(file.Path());
    ::MoveWindow(viewer.Client().Handle(), 0, 0, c.width, c.height, TRUE);
    const auto placed = [&](const EmbeddedRichEdit& pane) {
      RECT r;
      ::GetWindowRect(pane.Handle(), &r);
      ::MapWindowPoints(nullptr, viewer.Client().Handle(), reinterpret_cast<POINT*>(&r), 2);
      return r;
    };
    const RECT text = placed(viewer.TextPane()), notes = placed(viewer.NotesPane());
    EXPECT_TRUE(::EqualRect(&text, &c.text)) << c.percent << "%: text " << text.left << ","
                                             << text.top << "," << text.right << ","
                                             << text.bottom;
    EXPECT_TRUE(::EqualRect(&notes, &c.notes)) << c.percent << "%: notes " << notes.left << ","
                                               << notes.top << "," << notes.right << ","
                                               << notes.bottom;
  }
}

TEST(ViewerLayout, FrameSizeChangesReachThePanes) {
  const TestFile file(ContainerSpec{}.Build());
  RunningViewer viewer(file.Path());
  ::SetWindowPos(viewer.FrameHandle(), nullptr, 0, 0, 500, 400, SWP_NOZORDER | SWP_NOMOVE);
  RECT area, text;
  ::GetClientRect(viewer.Client().Handle(), &area);
  ::GetClientRect(viewer.FrameHandle(), &text);
  EXPECT_EQ(area.right, text.right);
  EXPECT_EQ(area.bottom, text.bottom);
  ::GetWindowRect(viewer.TextPane().Handle(), &text);
  EXPECT_EQ(text.bottom - text.top, (area.bottom - 1) * 70 / 100 + 1);
}

TEST(ViewerClose, ExitAndCloseEndTheLoopWithoutAQuestion) {
  const TestFile file(ContainerSpec{}.Build());
  for (UINT how : {0u, 1u}) {
    RunningViewer viewer(file.Path());
    HWND frame = viewer.FrameHandle();
    if (how == 0)
      ::PostMessageW(frame, WM_COMMAND, CM_EXIT, 0);
    else
      ::PostMessageW(frame, WM_CLOSE, 0, 0);
    MSG msg;
    bool quit = false;
    for (int i = 0; i < 100 && !quit; ++i) {
      while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
          quit = true;
          break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
      }
      if (!quit) ::Sleep(10);
    }
    EXPECT_TRUE(quit) << how;
    EXPECT_FALSE(::IsWindow(frame)) << how;
  }
}

TEST(ViewerFocus, TheFrameHandsTheFocusBack) {
  const TestFile file(ContainerSpec{}.Build());
  RunningViewer viewer(file.Path());
  ::SetFocus(viewer.NotesPane().Handle());
  HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 100, 100, nullptr, nullptr, nullptr, nullptr);
  ::SetActiveWindow(other);
  viewer.Pump();
  EXPECT_NE(::GetFocus(), viewer.NotesPane().Handle());
  ::SetActiveWindow(viewer.FrameHandle());
  viewer.Pump();
  EXPECT_EQ(::GetFocus(), viewer.NotesPane().Handle());
  ::DestroyWindow(other);
}

}  // namespace
}  // namespace scrivora::test

namespace scrivora::test {
namespace {

// A document as word processors write it: a heading with space before it, then long
// paragraphs that are wider than any pane.
ContainerSpec LongDocument() {
  ContainerSpec parts;
  std::string main =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss Arial;}}"
      "\\pard\\plain \\s1\\sb240\\sa120\\b\\f1\\fs32 A Heading\\par\n";
  for (int i = 0; i < 60; ++i) {
    main += "\\pard\\plain \\sa120\\qj\\f0\\fs24 Paragraph " + std::to_string(i) +
            " is long enough to need several lines in any pane that a reader would use, "
            "so the control has to wrap it at the pane's width rather than run it off to "
            "the right.\\par\n";
  }
  parts.mainRtf = main + "}";
  return parts;
}

TEST(ViewerStart, PanesOpenAtTheirFirstLineAndWrapAtTheirWidth) {
  const TestFile file(LongDocument().Build());
  RunningViewer viewer(file.Path());
  EmbeddedRichEdit& pane = viewer.TextPane();
  EXPECT_EQ(pane.FirstVisibleLine(), 0);
  EXPECT_EQ(viewer.NotesPane().FirstVisibleLine(), 0);
  // The first long paragraph (after the heading line) takes more than one display line.
  const std::int32_t second = pane.FindString(u"Paragraph 1 ", 0, true, false);
  ASSERT_GT(second, 0);
  EXPECT_GT(pane.LineFromChar(second), 2);
  // The lines are laid out in what the pane shows, not under its border or scroll bar.
  RECT shown{}, laidOut{};
  ::GetClientRect(pane.Handle(), &shown);
  ::SendMessageW(pane.Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&laidOut));
  EXPECT_LE(laidOut.right, shown.right);
  // Both panes keep their scroll bars, the short notes as well as the long text: a pane's
  // width does not change when its document turns out longer than the pane, so the text is
  // laid out once.
  RECT notesShown{};
  ::GetClientRect(viewer.NotesPane().Handle(), &notesShown);
  EXPECT_EQ(notesShown.right, shown.right);

  // Wrapping follows the pane's width when the reader resizes the frame.
  RECT before{};
  ::GetClientRect(pane.Handle(), &before);
  const std::int32_t linesBefore = pane.LineFromChar(pane.TextLength());
  ::SetWindowPos(viewer.FrameHandle(), nullptr, 0, 0, 400, 500, SWP_NOMOVE | SWP_NOZORDER);
  viewer.Pump();
  EXPECT_GT(pane.LineFromChar(pane.TextLength()), linesBefore);
}

}  // namespace
}  // namespace scrivora::test
