#include "viewer/printing/gdi_print_job.h"

#include <string>

#include "viewer/printing/print_abort.h"

namespace scrivora {

DeviceMetrics ReadDeviceMetrics(HDC printer) {
  DeviceMetrics metrics;
  metrics.horzRes = GetDeviceCaps(printer, HORZRES);
  metrics.vertRes = GetDeviceCaps(printer, VERTRES);
  metrics.logPixelsX = GetDeviceCaps(printer, LOGPIXELSX);
  metrics.logPixelsY = GetDeviceCaps(printer, LOGPIXELSY);
  return metrics;
}

GdiPrintJob::~GdiPrintJob() {
  if (started_) EndDoc(printer_);
}

void GdiPrintJob::StartDocument(std::u16string_view name) {
  const std::wstring documentName(name.begin(), name.end());
  DOCINFOW info{};
  info.cbSize = sizeof info;
  info.lpszDocName = documentName.c_str();
  info.lpszOutput = nullptr;  // to the device, not to a file
  started_ = StartDocW(printer_, &info) > 0;
}

void GdiPrintJob::StartPage() {
  if (!started_) return;
  ::StartPage(printer_);
  savedState_ = SaveDC(printer_);
}

void GdiPrintJob::EndPage() {
  if (started_) ::EndPage(printer_);
}

void GdiPrintJob::EndDocument() {
  if (!started_) return;
  EndDoc(printer_);
  started_ = false;
}

void GdiPrintJob::RestoreDrawingObjects() {
  if (savedState_ > 0) RestoreDC(printer_, savedState_);
  savedState_ = 0;
}

bool GdiPrintJob::KeepPrinting() const { return scrivora::KeepPrinting; }

}  // namespace scrivora
