// A modal dialog built from a dialog template resource. OK and Cancel (Enter, Escape, the close
// box) end it with their ids; derived classes fill their controls in SetupWindow.
#pragma once

#include <windows.h>

namespace scrivora {

class Dialog {
 public:
  Dialog(HWND parent, int templateId) : parent_(parent), templateId_(templateId) {}
  virtual ~Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modally; the result is the id of the button that ended it, or -1.
  INT_PTR Execute();
  HWND Handle() const { return hwnd_; }

 protected:
  // Runs once the dialog window and its controls exist.
  virtual void SetupWindow() {}
  void SetControlText(int id, const wchar_t* text) { ::SetDlgItemTextW(hwnd_, id, text); }

 private:
  static INT_PTR CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND parent_;
  int templateId_;
  HWND hwnd_ = nullptr;
};

}  // namespace scrivora
