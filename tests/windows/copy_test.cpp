#include <windows.h>
#include <ole2.h>
#include <richedit.h>
#include <richole.h>

#include <gtest/gtest.h>

#include "tests/windows/viewer_harness.h"
#include "viewer/ole_interface.h"
#include "viewer/resources/command_ids.h"

namespace scrivora::test {
namespace {

constexpr wchar_t kSentinel[] = L"clipboard before";

// Every way a reader or another program may try to copy from the focused text pane.
struct CopyPath {
  const char* name;
  void (*attempt)(RunningViewer&);
};
const CopyPath kCopyPaths[] = {
    {"Edit > Copy", [](RunningViewer& v) { v.Command(CM_EDITCOPY); }},
    {"Ctrl+C", [](RunningViewer& v) { v.PressKey(v.TextPane().Handle(), 'C', true); }},
    {"Ctrl+Ins", [](RunningViewer& v) { v.PressKey(v.TextPane().Handle(), VK_INSERT, true); }},
    {"Ctrl+X", [](RunningViewer& v) { v.PressKey(v.TextPane().Handle(), 'X', true); }},
    {"the control's own Ctrl+C",
     [](RunningViewer& v) {
       HeldKeys held(true, false, false);
       ::SendMessageW(v.TextPane().Handle(), WM_KEYDOWN, 'C', 1);
     }},
    {"the control's own Ctrl+Ins",
     [](RunningViewer& v) {
       HeldKeys held(true, false, false);
       ::SendMessageW(v.TextPane().Handle(), WM_KEYDOWN, VK_INSERT, 1);
     }},
    {"WM_COPY sent to the pane",
     [](RunningViewer& v) { ::SendMessageW(v.TextPane().Handle(), WM_COPY, 0, 0); }},
    {"WM_CUT sent to the pane",
     [](RunningViewer& v) { ::SendMessageW(v.TextPane().Handle(), WM_CUT, 0, 0); }},
};

TEST(ViewerCopy, ForbiddenCopyingCopiesNothingByAnyPath) {
  ContainerSpec parts;
  parts.permissions = PermitPrint | PermitPrintAll;
  const TestFile file(parts.Build());
  RunningViewer viewer(file.Path());
  for (const CopyPath& path : kCopyPaths) {
    SetClipboardText(kSentinel);
    ::SetFocus(viewer.TextPane().Handle());
    viewer.TextPane().SetSelection({0, 5});
    path.attempt(viewer);
    EXPECT_EQ(ClipboardText(), kSentinel) << path.name;
  }
  EXPECT_FALSE(viewer.MenuItemEnabled(CM_EDITCOPY));
}

TEST(ViewerCopy, PermittedCopyingPutsTheSelectionOnTheClipboard) {
  const TestFile file(ContainerSpec{}.Build());
  RunningViewer viewer(file.Path());
  const CopyPath* paths[] = {&kCopyPaths[0], &kCopyPaths[1], &kCopyPaths[2]};
  for (const CopyPath* path : paths) {
    SetClipboardText(kSentinel);
    ::SetFocus(viewer.TextPane().Handle());
    viewer.TextPane().SetSelection({6, 10});
    path->attempt(viewer);
    EXPECT_EQ(ClipboardText(), L"main") << path->name;
  }
  // The notes pane copies its own selection when it has the focus.
  SetClipboardText(kSentinel);
  ::SetFocus(viewer.NotesPane().Handle());
  viewer.NotesPane().SetSelection({8, 13});
  viewer.Command(CM_EDITCOPY);
  EXPECT_EQ(ClipboardText(), L"first");
}

TEST(ViewerCopy, DraggingTextOutFollowsThePermission) {
  for (bool permitted : {false, true}) {
    auto* host = new OleInterface(permitted);
    host->AddRef();
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(host->GetDragDropEffect(TRUE, 0, &effect), S_OK);
    EXPECT_EQ(effect, permitted ? DWORD{DROPEFFECT_COPY | DROPEFFECT_MOVE} : DWORD{DROPEFFECT_NONE});
    HMENU menu = nullptr;
    EXPECT_EQ(host->GetContextMenu(0, nullptr, nullptr, &menu), E_NOTIMPL);
    void* unknown = nullptr;
    EXPECT_EQ(host->QueryInterface(IID_IDataObject, &unknown), E_NOINTERFACE);
    EXPECT_EQ(unknown, nullptr);
    EXPECT_EQ(host->Release(), 0u);
  }
}

TEST(ViewerCopy, PicturesInTheRtfAreLoadedAsObjects) {
  // A 2x2 24-bit device-independent bitmap.
  ContainerSpec parts;
  parts.mainRtf =
      "{\\rtf1\\ansi Before {\\pict\\dibitmap0\\picw2\\pich2\\picwgoal300\\pichgoal300 "
      "28000000020000000200000001001800000000001000000000000000000000000000000000000000"
      "0000ff0000ff00000000ff0000ff0000}"
      " after.\\par}";
  const TestFile file(parts.Build());
  RunningViewer viewer(file.Path());
  // The picture is one object, taking one character between the two words.
  const std::wstring text = PaneText(viewer.TextPane());
  EXPECT_EQ(text.size(), 15u);
  EXPECT_EQ(text.substr(0, 7), L"Before ");
  EXPECT_EQ(text.substr(8), L" after.");
  IRichEditOle* ole = nullptr;
  ::SendMessageW(viewer.TextPane().Handle(), EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole));
  ASSERT_NE(ole, nullptr);
  EXPECT_EQ(ole->GetObjectCount(), 1);
  ole->Release();
}

}  // namespace
}  // namespace scrivora::test
