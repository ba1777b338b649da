#include "viewer/framework/frame_window.h"

#include "viewer/framework/application.h"
#include "common/unique_handle.h"

namespace scrivora {

namespace {
bool KeyDown(int key) { return ::GetKeyState(key) < 0; }
}  // namespace

bool FrameWindow::Create() {
  ClassSpec windowClass{L"ScrivoraFrame"};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.iconId = iconId_;
  windowClass.background = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);

  UniqueMenu menu;
  if (menuId_) {
    menu.reset(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId_)));
    // The resource divides the bar into groups by separators; the bar itself shows none.
    for (int i = ::GetMenuItemCount(menu.get()) - 1; i >= 0; --i)
      if (::GetMenuState(menu.get(), i, MF_BYPOSITION) & MF_SEPARATOR)
        ::DeleteMenu(menu.get(), i, MF_BYPOSITION);
  }
  if (acceleratorId_) {
    if (HACCEL table = ::LoadAcceleratorsW(::GetModuleHandleW(nullptr),
                                           MAKEINTRESOURCEW(acceleratorId_))) {
      accelerators_.resize(::CopyAcceleratorTableW(table, nullptr, 0));
      ::CopyAcceleratorTableW(table, accelerators_.data(), static_cast<int>(accelerators_.size()));
    }
  }
  const bool created = CreateOwn(windowClass, 0, caption_, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 nullptr, menu.get());
  if (created) menu.release();  // the window owns its menu bar now
  return created;
}

void FrameWindow::SetupWindow() {
  if (client_) {
    LayoutClient();
    lastFocus_ = FirstFocusable(Handle());
  }
}

void FrameWindow::LayoutClient() {
  if (!client_ || !client_->Handle()) return;
  RECT area;
  ::GetClientRect(Handle(), &area);
  ::MoveWindow(client_->Handle(), 0, 0, area.right, area.bottom, TRUE);
}

FrameWindow::Route FrameWindow::BuildRoute() const {
  Route route;
  HWND client = client_ ? client_->Handle() : nullptr;
  HWND focus = ::GetFocus();
  HWND target = client && focus && ::IsChild(client, focus) ? focus : client ? client : Handle();
  for (HWND hwnd = target; hwnd && route.count < kMaxRoute - 1; hwnd = ::GetParent(hwnd)) {
    if (Window* window = Window::FromHandle(hwnd)) route.handlers[route.count++] = window;
    if (hwnd == Handle()) break;
  }
  if (Application* app = Application::Current()) route.handlers[route.count++] = app;
  return route;
}

bool FrameWindow::CommandEnabled(UINT id) {
  const Route route = BuildRoute();
  bool handled = false;
  for (int i = 0; i < route.count; ++i) {
    CommandEnabler enabler(id);
    if (route.handlers[i]->RunEnabler(enabler)) return enabler.Enabled();
    handled = handled || route.handlers[i]->HasCommand(id);
  }
  return handled;
}

bool FrameWindow::ExecuteCommand(UINT id) {
  if (!CommandEnabled(id)) return false;
  const Route route = BuildRoute();
  for (int i = 0; i < route.count; ++i)
    if (route.handlers[i]->RunCommand(id)) return true;
  return false;
}

void FrameWindow::UpdateMenuStates(HMENU popup) {
  const int count = ::GetMenuItemCount(popup);
  for (int i = 0; i < count; ++i) {
    const UINT id = ::GetMenuItemID(popup, i);
    if (id == 0 || id == static_cast<UINT>(-1)) continue;  // separators and sub-menus
    ::EnableMenuItem(popup, id, MF_BYCOMMAND | (CommandEnabled(id) ? MF_ENABLED : MF_GRAYED));
  }
}

const ACCEL* FrameWindow::MatchAccelerator(const MSG& msg) const {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return nullptr;
  const bool shift = KeyDown(VK_SHIFT);
  const bool control = KeyDown(VK_CONTROL);
  const bool alt = KeyDown(VK_MENU) || (msg.message == WM_SYSKEYDOWN && (msg.lParam & (1 << 29)));
  for (const ACCEL& accel : accelerators_) {
    if (!(accel.fVirt & FVIRTKEY) || accel.key != msg.wParam) continue;
    if (shift == !!(accel.fVirt & FSHIFT) && control == !!(accel.fVirt & FCONTROL) &&
        alt == !!(accel.fVirt & FALT))
      return &accel;
  }
  return nullptr;
}

bool FrameWindow::PreProcessMsg(MSG& msg) {
  if (!Handle() || (msg.hwnd != Handle() && !::IsChild(Handle(), msg.hwnd))) return false;
  const ACCEL* accel = MatchAccelerator(msg);
  if (!accel) return false;
  HMENU menu = ::GetMenu(Handle());
  if (menu && ::GetMenuState(menu, accel->cmd, MF_BYCOMMAND) != static_cast<UINT>(-1)) {
    const bool enabled = CommandEnabled(accel->cmd);
    ::EnableMenuItem(menu, accel->cmd, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    if (!enabled) return true;  // a greyed item's key does nothing and goes no further
  }
  ExecuteCommand(accel->cmd);
  return true;
}

HWND FrameWindow::FirstFocusable(HWND parent) const {
  // Depth first, in creation order: the first visible, enabled tab stop, else the first
  // visible, enabled child.
  HWND fallback = nullptr;
  for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (!::IsWindowVisible(child) || !::IsWindowEnabled(child)) continue;
    if (::GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) return child;
    if (HWND inner = FirstFocusable(child)) {
      if (::GetWindowLongW(inner, GWL_STYLE) & WS_TABSTOP) return inner;
      if (!fallback) fallback = inner;
    }
    if (!fallback) fallback = child;
  }
  return fallback;
}

void FrameWindow::RestoreFocus() {
  if (!lastFocus_ || !::IsWindow(lastFocus_) || !::IsChild(Handle(), lastFocus_) ||
      !::IsWindowVisible(lastFocus_))
    lastFocus_ = FirstFocusable(Handle());
  if (lastFocus_) ::SetFocus(lastFocus_);
}

LRESULT FrameWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      // Menu items and accelerators carry no control handle; control notifications do.
      if (lParam == 0) {
        ExecuteCommand(LOWORD(wParam));
        return 0;
      }
      break;
    case WM_INITMENUPOPUP:
      if (!HIWORD(lParam)) UpdateMenuStates(reinterpret_cast<HMENU>(wParam));
      return 0;
    case WM_SIZE:
      LayoutClient();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(Handle(), focus)) lastFocus_ = focus;
      }
      break;
    case WM_SETFOCUS:
      RestoreFocus();
      return 0;
    case WM_DPICHANGED: {
      // Moved to a monitor of another density: take the size the system suggests.
      const RECT& r = *reinterpret_cast<const RECT*>(lParam);
      ::SetWindowPos(Handle(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_CLOSE:
      if (!CanClose()) return 0;
      ::DestroyWindow(Handle());
      return 0;
    case WM_NCDESTROY:
      if (Application* app = Application::Current(); app && app->MainWindow() == this)
        ::PostQuitMessage(0);
      break;
  }
  return Window::WindowProc(message, wParam, lParam);
}

}  // namespace scrivora
