// The state that a running print job shares with its progress dialog and the abort procedure that
// the platform calls from inside page output. One job runs at a time, on the GUI thread only.
#pragma once

#include <windows.h>

namespace scrivora {

// True while the job may go on: set by the progress dialog when it opens, cleared by its Cancel.
extern bool KeepPrinting;
// The running job's progress dialog, offered the keyboard messages the abort procedure pumps.
extern HWND ProgressDlgHandle;

// Dispatches every pending message of the thread (so Cancel and the rest of the program stay
// live during page output), then answers KeepPrinting: nonzero to go on, zero to cancel.
BOOL CALLBACK PrintAbortProc(HDC printer, int code);

}  // namespace scrivora
