#include "viewer/framework/window.h"

#include <utility>

namespace scrivora {

namespace {
constexpr wchar_t kObjectProperty[] = L"Scrivora.Window";

HICON LoadIconSized(HINSTANCE instance, int id, int size) {
  return static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size,
                                         LR_DEFAULTCOLOR));
}
}  // namespace

Window::~Window() {
  if (hwnd_) ::DestroyWindow(hwnd_);
}

Window* Window::FromHandle(HWND hwnd) {
  return hwnd ? static_cast<Window*>(::GetPropW(hwnd, kObjectProperty)) : nullptr;
}

bool Window::PreProcessMsg(MSG&) { return false; }

void Window::Attach(HWND hwnd) {
  hwnd_ = hwnd;
  ::SetPropW(hwnd, kObjectProperty, this);
}

void Window::Detach() {
  if (controlProc_) {
    ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProc_));
  }
  ::RemovePropW(hwnd_, kObjectProperty);
  hwnd_ = nullptr;
}

bool Window::CreateOwn(const ClassSpec& windowClass, DWORD exStyle, const wchar_t* caption, DWORD style,
                       int x, int y, int width, int height, HWND parent, HMENU menuOrId) {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  if (!::GetClassInfoExW(instance, windowClass.name, &wc)) {
    wc = {};
    wc.cbSize = sizeof wc;
    wc.style = windowClass.style;
    wc.lpfnWndProc = StaticProc;
    wc.hInstance = instance;
    if (windowClass.iconId) {
      // The class keeps its icons for the life of the program: they are loaded once, with it.
      wc.hIcon = LoadIconSized(instance, windowClass.iconId, 32);
      wc.hIconSm = LoadIconSized(instance, windowClass.iconId, 16);
    }
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = windowClass.background;
    wc.lpszClassName = windowClass.name;
    if (!::RegisterClassExW(&wc)) return false;
  }
  if (!::CreateWindowExW(exStyle, windowClass.name, caption, style, x, y, width, height, parent,
                         menuOrId, instance, this))
    return false;
  SetupWindow();
  return true;
}

bool Window::CreateControl(const wchar_t* className, DWORD exStyle, DWORD style, HWND parent,
                           int id, const RECT& place) {
  // Created empty, then sized: a control that reads its client area only when that changes
  // (the rich edit does) would otherwise keep the area it saw before its border and scroll
  // bars were taken off, and lay its text out wider than it shows.
  HWND hwnd = ::CreateWindowExW(exStyle, className, L"", style, place.left, place.top, 0, 0,
                                parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                ::GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) return false;
  ::SetWindowPos(hwnd, nullptr, 0, 0, place.right - place.left, place.bottom - place.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Attach(hwnd);
  controlProc_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticProc)));
  SetupWindow();
  return true;
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* self = FromHandle(hwnd);
  if (!self && message == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    if (self) self->Attach(hwnd);
  }
  if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);

  const Message outer = std::exchange(self->current_, Message{message, wParam, lParam});
  const LRESULT result = self->WindowProc(message, wParam, lParam);
  self->current_ = outer;
  if (message == WM_NCDESTROY) self->Detach();
  return result;
}

LRESULT Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (const MessageEntry* entry = Responses().FindMessage(message))
    return (this->*entry->handler)(wParam, lParam);
  return DefaultProcessing(message, wParam, lParam);
}

LRESULT Window::DefaultProcessing() {
  return DefaultProcessing(current_.message, current_.wParam, current_.lParam);
}

LRESULT Window::DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) {
  if (controlProc_) return ::CallWindowProcW(controlProc_, hwnd_, message, wParam, lParam);
  return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace scrivora
