#include "viewer/printing/print_range.h"

#include "viewer/printing/gdi_print_job.h"
#include "viewer/printing/print_abort.h"
#include "viewer/printing/print_progress_dlg.h"
#include "viewer/printing/rich_edit_page_formatter.h"

namespace scrivora {
namespace {

// Keeps the main window from taking input while a job runs, since the abort procedure dispatches
// every message of the thread: no second job and no closing under the running one.
class InertWindow {
 public:
  explicit InertWindow(HWND window) : window_(window) {
    if (window_) wasEnabled_ = !EnableWindow(window_, FALSE);
  }
  ~InertWindow() {
    if (window_ && wasEnabled_) EnableWindow(window_, TRUE);
  }
  InertWindow(const InertWindow&) = delete;
  InertWindow& operator=(const InertWindow&) = delete;

 private:
  HWND window_;
  bool wasEnabled_ = false;
};

}  // namespace

PrintJobResult PrintRange(const PrintRangePane& pane, HDC printer, bool currentPage,
                          std::int32_t firstPage, std::int32_t lastPage) {
  const PageTwips page = PageSizeTwips(ReadDeviceMetrics(printer));
  RichEditPageFormatter formatter(pane.control, printer, page);
  SetMapMode(printer, MM_TEXT);

  PrintProgressDlg progress(pane.client, pane.instance);
  if (!progress.Handle()) return PrintJobResult::NoProgressWindow;
  ProgressDlgHandle = progress.Handle();
  SetAbortProc(printer, &PrintAbortProc);
  {
    // Enabled again before the progress dialog goes, so activation returns to the main window.
    InertWindow inert(pane.frame);
    GdiPrintJob job(printer);
    PrintPages(*pane.operations, formatter, job, progress,
               {currentPage, firstPage, lastPage, pane.documentName});
  }
  return PrintJobResult::Ran;
}

}  // namespace scrivora
