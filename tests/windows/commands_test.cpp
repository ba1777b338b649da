#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include "tests/windows/viewer_harness.h"
#include "viewer/resources/command_ids.h"

namespace scrivora::test {
namespace {

TEST(ViewerResources, MenuAsStored) {
  HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_SCRIVORA));
  ASSERT_TRUE(menu);
  // Top level: File, separator, Edit, Search, four separators, Help.
  ASSERT_EQ(::GetMenuItemCount(menu), 9);
  for (int separator : {1, 4, 5, 6, 7})
    EXPECT_TRUE(::GetMenuState(menu, separator, MF_BYPOSITION) & MF_SEPARATOR) << separator;
  struct Item {
    UINT id;
    const wchar_t* text;
    bool grey;
  };
  const Item items[] = {
      {CM_FILEPRINT, L"Print...", false},
      {CM_PRINTNOTES, L"Print notes only...", false},
      {CM_EXIT, L"E&xit\tAlt+F4", false},
      {CM_EDITCOPY, L"&Copy\tCtrl+Ins", true},
      {CM_EDITFIND, L"&Find...", true},
      {CM_EDITFINDNEXT, L"&Next\bF3", true},
      {CM_HELPDOCUMENT, L"&Document...", false},
      {CM_HELPABOUT, L"&About...", false},
  };
  for (const Item& item : items) {
    wchar_t text[64] = {};
    ::GetMenuStringW(menu, item.id, text, 64, MF_BYCOMMAND);
    EXPECT_STREQ(text, item.text) << item.id;
    EXPECT_EQ((::GetMenuState(menu, item.id, MF_BYCOMMAND) & MF_GRAYED) != 0, item.grey)
        << item.id;
  }
  ::DestroyMenu(menu);
}

TEST(ViewerResources, AcceleratorsAsStored) {
  HACCEL table = ::LoadAcceleratorsW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_SCRIVORA));
  ASSERT_TRUE(table);
  ACCEL rows[16];
  ASSERT_EQ(::CopyAcceleratorTableW(table, rows, 16), 7);
  const ACCEL expected[] = {
      {FVIRTKEY | FSHIFT, VK_DELETE, CM_EDITCUT},   {FVIRTKEY | FCONTROL, VK_INSERT, CM_EDITCOPY},
      {FVIRTKEY | FSHIFT, VK_INSERT, CM_EDITPASTE}, {FVIRTKEY | FCONTROL, VK_DELETE, CM_EDITCLEAR},
      {FVIRTKEY | FALT, VK_BACK, CM_EDITUNDO},      {FVIRTKEY, VK_F3, CM_EDITFINDNEXT},
      {FVIRTKEY | FCONTROL, 'C', CM_EDITCOPY},
  };
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(rows[i].fVirt & ~0x80, expected[i].fVirt) << i;  // 0x80 marks the last row
    EXPECT_EQ(rows[i].key, expected[i].key) << i;
    EXPECT_EQ(rows[i].cmd, expected[i].cmd) << i;
  }
}

TEST(ViewerCommands, MenuStatesAlongTheRoute) {
  struct Case {
    const char* name;
    std::int32_t permissions;
    bool focusInPane;
    bool selection;
    bool copy, find, next;
  };
  const Case cases[] = {
      {"pane, copy allowed, selection", PermitCopy, true, true, true, true, false},
      {"pane, copy allowed, no selection", PermitCopy, true, false, false, true, false},
      {"pane, copy forbidden, selection", 0, true, true, false, true, false},
      {"client, copy allowed, selection", PermitCopy, false, true, false, false, false},
  };
  for (const Case& c : cases) {
    ContainerSpec parts;
    parts.permissions = c.permissions;
    const TestFile file(parts.Build());
    RunningViewer viewer(file.Path());
    viewer.TextPane().SetSelection(c.selection ? CharRange{0, 5} : CharRange{2, 2});
    ::SetFocus(c.focusInPane ? viewer.TextPane().Handle() : viewer.Client().Handle());
    EXPECT_EQ(viewer.MenuItemEnabled(CM_EDITCOPY), c.copy) << c.name;
    EXPECT_EQ(viewer.MenuItemEnabled(CM_EDITFIND), c.find) << c.name;
    EXPECT_EQ(viewer.MenuItemEnabled(CM_EDITFINDNEXT), c.next) << c.name;
    // Document and About always; Exit by the application.
    EXPECT_TRUE(viewer.MenuItemEnabled(CM_HELPDOCUMENT)) << c.name;
    EXPECT_TRUE(viewer.MenuItemEnabled(CM_HELPABOUT)) << c.name;
    EXPECT_TRUE(viewer.MenuItemEnabled(CM_EXIT)) << c.name;
  }
}

TEST(ViewerCommands, TheNotesPaneRoutesItsOwnCommands) {
  const TestFile file(ContainerSpec{}.Build());
  RunningViewer viewer(file.Path());
  viewer.NotesPane().SetSelection({0, 4});
  viewer.TextPane().SetSelection({1, 1});
  ::SetFocus(viewer.NotesPane().Handle());
  EXPECT_TRUE(viewer.MenuItemEnabled(CM_EDITCOPY));
  ::SetFocus(viewer.TextPane().Handle());
  EXPECT_FALSE(viewer.MenuItemEnabled(CM_EDITCOPY));
}

TEST(ViewerCommands, EditingChangesNothing) {
  ContainerSpec parts;
  const TestFile file(parts.Build());
  RunningViewer viewer(file.Path());
  EmbeddedRichEdit& pane = viewer.TextPane();
  HWND hwnd = pane.Handle();
  const std::wstring before = PaneText(pane);
  SetClipboardText(L"pasted text");

  pane.SetSelection({0, 5});
  viewer.PressKey(hwnd, 'X');                    // typing
  viewer.PressKey(hwnd, VK_BACK);                // deleting back
  viewer.PressKey(hwnd, VK_DELETE);              // deleting forward
  viewer.PressKey(hwnd, VK_DELETE, false, true);  // Shift+Del: cut
  viewer.PressKey(hwnd, VK_INSERT, false, true);  // Shift+Ins: paste
  viewer.PressKey(hwnd, 'V', true);               // the control's own paste key
  viewer.PressKey(hwnd, VK_BACK, false, false, true);  // Alt+Backspace: undo
  ::SendMessageW(hwnd, WM_CHAR, 'y', 0);
  ::SendMessageW(hwnd, WM_PASTE, 0, 0);
  ::SendMessageW(hwnd, WM_CUT, 0, 0);
  ::SendMessageW(hwnd, WM_CLEAR, 0, 0);
  viewer.Command(CM_EDITCUT);
  viewer.Command(CM_EDITPASTE);
  viewer.Command(CM_EDITUNDO);
  EXPECT_EQ(PaneText(pane), before);

  // Clear selects the whole text and deletes nothing.
  viewer.PressKey(hwnd, VK_DELETE, true);  // Ctrl+Del
  EXPECT_EQ(PaneText(pane), before);
  const CharRange all = pane.Selection();
  EXPECT_EQ(all.min, 0);
  EXPECT_GE(all.max, pane.TextLength());  // the final paragraph mark may count
  EXPECT_EQ(PaneText(viewer.NotesPane()), L"\u00b71\u00b7 The first note.");
}

TEST(ViewerCommands, DisabledCommandsDoNothingEvenWhenPosted) {
  const TestFile file(ContainerSpec{}.Build());
  RunningViewer viewer(file.Path());
  // Next is greyed before any search: F3 and a posted command both do nothing (no box).
  EXPECT_FALSE(viewer.MenuItemEnabled(CM_EDITFINDNEXT));
  viewer.PressKey(viewer.TextPane().Handle(), VK_F3);
  viewer.Command(CM_EDITFINDNEXT);
  // With the focus outside the panes, Find has no handler on the route.
  ::SetFocus(viewer.Client().Handle());
  viewer.Command(CM_EDITFIND);
  EXPECT_EQ(viewer.TextPane().FindDialog(), nullptr);
}

TEST(ViewerCommands, AGreyedItemsKeyGoesNoFurther) {
  // With copying forbidden, Ctrl+Ins is greyed: the key must not reach the pane either.
  ContainerSpec parts;
  parts.permissions = 0;
  const TestFile file(parts.Build());
  RunningViewer viewer(file.Path());
  HWND hwnd = viewer.TextPane().Handle();
  int seenByPane = 0;
  static int* counter = nullptr;
  counter = &seenByPane;
  static WNDPROC original = nullptr;
  original = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
      hwnd, GWLP_WNDPROC,
      reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_KEYDOWN && w == VK_INSERT) ++*counter;
        return ::CallWindowProcW(original, h, m, w, l);
      })));
  viewer.TextPane().SetSelection({0, 5});
  viewer.PressKey(hwnd, VK_INSERT, true);
  EXPECT_EQ(seenByPane, 0);
  viewer.PressKey(hwnd, VK_INSERT);  // not an accelerator: the pane sees it
  EXPECT_EQ(seenByPane, 1);
  ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
}

}  // namespace
}  // namespace scrivora::test
