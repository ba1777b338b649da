// The modeless dialog that a print job shows while it runs: the number of the page just done and
// a Cancel button. Built from dialog template 1; control 101 shows "current" until the first page
// number is written.
#pragma once

#include <windows.h>

#include "viewer/core/print_pages.h"
#include "viewer/resources/command_ids.h"

namespace scrivora {

inline constexpr int kPrintProgressTemplate = IDD_PRINTPROGRESS;
inline constexpr int kPageTextControl = IDC_PRINTPROGRESS_PAGE;

class PrintProgressDlg : public PrintProgress {
 public:
  // Sets KeepPrinting and creates the dialog's window (visible at once by its template). Handle()
  // is null if the window could not be created.
  PrintProgressDlg(HWND parent, HINSTANCE instance, int templateId = kPrintProgressTemplate);
  ~PrintProgressDlg() override;
  PrintProgressDlg(const PrintProgressDlg&) = delete;
  PrintProgressDlg& operator=(const PrintProgressDlg&) = delete;

  HWND Handle() const { return window_; }
  // Writes the page number in decimal into control 101.
  void SetPage(std::int32_t page) override;
  // The Cancel button: only clears KeepPrinting; the dialog stays until the job ends.
  void CmCancel();

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND window_ = nullptr;
};

}  // namespace scrivora
