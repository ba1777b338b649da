#include "viewer/core/print_pages.h"

namespace scrivora {
namespace {

std::int32_t ToTwips(std::int32_t pixels, std::int32_t pixelsPerInch) {
  if (pixelsPerInch <= 0 || pixels <= 0) return 0;
  // 64-bit so that no real device size overflows; equal to the 32-bit result wherever that fits.
  return static_cast<std::int32_t>(static_cast<std::int64_t>(pixels) * kTwipsPerInch /
                                   pixelsPerInch);
}

}  // namespace

PageTwips PageSizeTwips(const DeviceMetrics& metrics) {
  PageTwips page;
  page.height = ToTwips(metrics.vertRes, metrics.logPixelsY);
  page.width = ToTwips(metrics.horzRes, metrics.logPixelsX);
  return page;
}

void PrintPages(const PaneControl& pane, PageFormatter& formatter, PrintJob& job,
                PrintProgress& progress, const PrintRangeRequest& request) {
  std::int32_t start = 0;
  if (request.currentPage) start = pane.LineIndex(pane.FirstVisibleLine());
  const std::int32_t textLength = pane.TextLength();
  std::int32_t page = 1;

  job.StartDocument(request.documentName);
  while (job.KeepPrinting()) {
    std::int32_t next;
    if (request.currentPage || page >= request.firstPage) {
      job.StartPage();
      next = formatter.FormatPage(start, true);
      job.RestoreDrawingObjects();
      job.EndPage();
    } else {
      next = formatter.FormatPage(start, false);  // only measured, to find where the page ends
    }
    if (request.currentPage) break;
    progress.SetPage(page);
    // A formatter that makes no progress would repeat the same page for ever.
    if (next <= start) break;
    start = next;
    if (page >= request.lastPage) break;
    ++page;
    if (next >= textLength) break;
  }
  formatter.ReleaseCache();
  job.EndDocument();
}

}  // namespace scrivora
