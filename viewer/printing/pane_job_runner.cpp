#include "viewer/printing/pane_job_runner.h"

#include "viewer/framework/frame_window.h"
#include "viewer/printing/gdi_print_job.h"
#include "viewer/printing/print_range.h"
#include "viewer/scrivora_client.h"

namespace scrivora {

PaneJobRunner::PaneJobRunner(TScrivora2Client& client)
    : client_(client), documentName_(client.Title().begin(), client.Title().end()) {}

PrintJobResult PaneJobRunner::PrintRange(PaneKind pane, PrinterContext& printer, bool currentPage,
                                         std::int32_t firstPage, std::int32_t lastPage) {
  EmbeddedRichEdit& control = pane == PaneKind::Text ? client_.TextPane() : client_.NotesPane();
  // A pane whose control was never made shows nothing, and has nothing to print.
  if (!control.Handle()) return PrintJobResult::Ran;
  PrintRangePane job;
  job.control = control.Handle();
  job.operations = &control;
  job.client = client_.Handle();
  job.frame = client_.Frame().Handle();
  job.documentName = documentName_;
  job.instance = ::GetModuleHandleW(nullptr);
  return scrivora::PrintRange(job, static_cast<GdiPrinterContext&>(printer).Handle(), currentPage,
                              firstPage, lastPage);
}

}  // namespace scrivora
