#include "tests/windows/viewer_harness.h"

#include <ole2.h>

#include <cstring>

#include <gtest/gtest.h>

#include "container/stream_codec.h"

namespace scrivora::test {

namespace {
// The panes' clipboard and embedded objects need OLE on the test thread.
struct OleSession {
  OleSession() { ::OleInitialize(nullptr); }
  ~OleSession() { ::OleUninitialize(); }
} oleSession;
}  // namespace

const std::string& ViewerImage() {
  static const std::string image = ReadFile(DistProgram("scrivora"));
  return image;
}

std::string ContainerSpec::Build() const { return BuildOn(ViewerImage()); }

TestFile::TestFile(std::string_view bytes, std::string_view name) : path_(dir_ / name) {
  WriteFile(path_, bytes);
}

RunningViewer::RunningViewer(const std::filesystem::path& container, int show)
    : app_(std::make_unique<TScrivora2App>(container.wstring())) {
  EXPECT_TRUE(app_->Start(show));
  Pump();
}

RunningViewer::~RunningViewer() {
  if (app_->MainWindow() && app_->MainWindow()->Handle())
    ::DestroyWindow(app_->MainWindow()->Handle());
  Pump();
  app_.reset();
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {  // the WM_QUIT of the closed frame
  }
}

void RunningViewer::Command(UINT id) {
  ::PostMessageW(FrameHandle(), WM_COMMAND, id, 0);
  Pump();
}

bool RunningViewer::MenuItemEnabled(UINT id) {
  HMENU bar = ::GetMenu(FrameHandle());
  for (int i = 0; i < ::GetMenuItemCount(bar); ++i) {
    HMENU popup = ::GetSubMenu(bar, i);
    if (!popup || ::GetMenuState(popup, id, MF_BYCOMMAND) == static_cast<UINT>(-1)) continue;
    ::SendMessageW(FrameHandle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), i);
    return !(::GetMenuState(popup, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
  }
  ADD_FAILURE() << "no menu item " << id;
  return false;
}

HeldKeys::HeldKeys(bool control, bool shift, bool alt) {
  ::GetKeyboardState(saved_);
  BYTE state[256];
  ::GetKeyboardState(state);
  const auto hold = [&state](int key, bool down) { state[key] = down ? 0x80 : 0; };
  hold(VK_CONTROL, control), hold(VK_LCONTROL, control);
  hold(VK_SHIFT, shift), hold(VK_LSHIFT, shift);
  hold(VK_MENU, alt), hold(VK_LMENU, alt);
  ::SetKeyboardState(state);
}

HeldKeys::~HeldKeys() { ::SetKeyboardState(saved_); }

void RunningViewer::PressKey(HWND target, UINT key, bool control, bool shift, bool alt) {
  HeldKeys held(control, shift, alt);
  const UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
  const UINT up = alt ? WM_SYSKEYUP : WM_KEYUP;
  const LPARAM context = alt ? (1 << 29) : 0;
  ::PostMessageW(target, down, key, 1 | context);
  ::PostMessageW(target, up, key, static_cast<LPARAM>(0xC0000001u) | context);
  Pump();
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring PaneText(const EmbeddedRichEdit& pane) {
  const std::u16string text = pane.TextRange(0, pane.TextLength());
  return std::wstring(text.begin(), text.end());
}

std::wstring ClipboardText() {
  std::wstring text;
  if (!::OpenClipboard(nullptr)) return text;
  if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
      text = chars;
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

void SetClipboardText(const std::wstring& text) {
  if (!::OpenClipboard(nullptr)) return;
  ::EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    std::memcpy(::GlobalLock(memory), text.c_str(), bytes);
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_UNICODETEXT, memory);
  }
  ::CloseClipboard();
}

namespace {
struct ModalWatch {
  std::function<void(HWND)> inspect;
  UINT endCommand = IDOK;
  bool seen = false;
};
ModalWatch* activeWatch = nullptr;

BOOL CALLBACK FindDialogBox(HWND hwnd, LPARAM result) {
  wchar_t name[16];
  ::GetClassNameW(hwnd, name, 16);
  if (std::wstring_view(name) == L"#32770" && ::IsWindowVisible(hwnd) && ::IsWindowEnabled(hwnd)) {
    *reinterpret_cast<HWND*>(result) = hwnd;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK WatchTimer(HWND, UINT, UINT_PTR timer, DWORD) {
  if (!activeWatch || activeWatch->seen) return;
  HWND box = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), FindDialogBox, reinterpret_cast<LPARAM>(&box));
  if (!box) return;
  activeWatch->seen = true;
  ::KillTimer(nullptr, timer);
  activeWatch->inspect(box);
  ::PostMessageW(box, WM_COMMAND, activeWatch->endCommand, 0);
}
}  // namespace

void WithModalBox(const std::function<void()>& action, const std::function<void(HWND)>& inspect,
                  UINT endCommand) {
  ModalWatch watch{inspect, endCommand};
  activeWatch = &watch;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, WatchTimer);
  action();
  if (!watch.seen) ::KillTimer(nullptr, timer);
  activeWatch = nullptr;
  EXPECT_TRUE(watch.seen) << "no dialog box appeared";
}

}  // namespace scrivora::test
