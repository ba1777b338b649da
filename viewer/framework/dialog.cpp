#include "viewer/framework/dialog.h"

namespace scrivora {

INT_PTR Dialog::Execute() {
  return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), parent_,
                           StaticProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK Dialog::StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      self = reinterpret_cast<Dialog*>(lParam);
      ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
      self->hwnd_ = hwnd;
      self->SetupWindow();
      return TRUE;  // the focus goes to the first control with a tab stop
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        ::EndDialog(hwnd, LOWORD(wParam));
        return TRUE;
      }
      break;
    case WM_NCDESTROY:
      if (self) self->hwnd_ = nullptr;
      break;
  }
  return FALSE;
}

}  // namespace scrivora
