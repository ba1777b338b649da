#include "viewer/printing/print_progress_dlg.h"

#include "viewer/printing/print_abort.h"

namespace scrivora {

PrintProgressDlg::PrintProgressDlg(HWND parent, HINSTANCE instance, int templateId) {
  KeepPrinting = true;
  window_ = CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), parent, &DialogProc,
                               reinterpret_cast<LPARAM>(this));
}

PrintProgressDlg::~PrintProgressDlg() {
  if (window_) DestroyWindow(window_);
}

void PrintProgressDlg::SetPage(std::int32_t page) {
  wchar_t digits[16];
  wsprintfW(digits, L"%d", page);
  SetDlgItemTextW(window_, kPageTextControl, digits);
}

void PrintProgressDlg::CmCancel() { KeepPrinting = false; }

INT_PTR CALLBACK PrintProgressDlg::DialogProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    return TRUE;
  }
  auto* self = reinterpret_cast<PrintProgressDlg*>(GetWindowLongPtrW(window, DWLP_USER));
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL && self) {
    self->CmCancel();
    return TRUE;
  }
  return FALSE;
}

}  // namespace scrivora
