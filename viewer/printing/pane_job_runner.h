// The print commands' jobs on the client's real panes: one PrintRange a job, on the printer
// context that the Win32 print dialog handed over.
#pragma once

#include <string>

#include "viewer/core/print_command.h"

namespace scrivora {

class TScrivora2Client;

class PaneJobRunner : public PrintJobRunner {
 public:
  explicit PaneJobRunner(TScrivora2Client& client);
  // `printer` must come from Win32PrintDialog, which makes every context a GdiPrinterContext.
  PrintJobResult PrintRange(PaneKind pane, PrinterContext& printer, bool currentPage,
                            std::int32_t firstPage, std::int32_t lastPage) override;

 private:
  TScrivora2Client& client_;
  std::u16string documentName_;  // the client's title
};

}  // namespace scrivora
