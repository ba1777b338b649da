// The printer side of a print job over a GDI printer context, and the printer context that a
// confirmed print dialog hands over.
#pragma once

#include <windows.h>

#include "viewer/core/print_command.h"
#include "viewer/core/print_pages.h"
#include "common/unique_handle.h"

namespace scrivora {

// Owns a printer device context; deletes it when the print command ends.
class GdiPrinterContext : public PrinterContext {
 public:
  explicit GdiPrinterContext(HDC dc) : dc_(dc) {}
  HDC Handle() const { return dc_.get(); }

 private:
  UniqueDc dc_;
};

// What the printer reports of its printable area and resolution.
DeviceMetrics ReadDeviceMetrics(HDC printer);

// One document on a printer context. A document that the printer refused to start takes no page
// calls; the job is ended in the destructor if EndDocument was not reached.
class GdiPrintJob : public PrintJob {
 public:
  explicit GdiPrintJob(HDC printer) : printer_(printer) {}
  ~GdiPrintJob() override;
  GdiPrintJob(const GdiPrintJob&) = delete;
  GdiPrintJob& operator=(const GdiPrintJob&) = delete;

  void StartDocument(std::u16string_view name) override;
  void StartPage() override;
  void EndPage() override;
  void EndDocument() override;
  void RestoreDrawingObjects() override;
  bool KeepPrinting() const override;

 private:
  HDC printer_;
  bool started_ = false;
  int savedState_ = 0;  // the context's drawing objects as they were before the page
};

}  // namespace scrivora
