#include "viewer/printing/print_abort.h"

namespace scrivora {

bool KeepPrinting = true;
HWND ProgressDlgHandle = nullptr;

BOOL CALLBACK PrintAbortProc(HDC /*printer*/, int /*code*/) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (ProgressDlgHandle && IsDialogMessageW(ProgressDlgHandle, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return KeepPrinting ? TRUE : FALSE;
}

}  // namespace scrivora
