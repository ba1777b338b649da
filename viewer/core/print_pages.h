// One print job of one pane: the page loop that lays the pane's text out page by page on the
// printer, draws the requested pages and reports progress. The printer, the rich-text formatter
// and the progress dialog sit behind the small interfaces below.
#pragma once

#include <cstdint>
#include <string_view>

#include "viewer/core/pane_control.h"

namespace scrivora {

// What a printer context reports of itself (Win32 GetDeviceCaps HORZRES, VERTRES, LOGPIXELSX,
// LOGPIXELSY).
struct DeviceMetrics {
  std::int32_t horzRes = 0;     // printable width, device pixels
  std::int32_t vertRes = 0;     // printable height, device pixels
  std::int32_t logPixelsX = 0;  // device pixels per inch across
  std::int32_t logPixelsY = 0;  // device pixels per inch down
};

inline constexpr std::int32_t kTwipsPerInch = 1440;

// The page rectangle in twips, from (0, 0): the whole printable area, no margins.
struct PageTwips {
  std::int32_t width = 0;
  std::int32_t height = 0;

  friend bool operator==(const PageTwips&, const PageTwips&) = default;
};

// Multiplies first and divides last, truncating; a device that reports no resolution gives an
// empty page rather than a division by zero.
PageTwips PageSizeTwips(const DeviceMetrics& metrics);

// Lays the pane's text out one page at a time on the printer (the rich-edit control's page
// formatter for real panes). Keeps layout data from call to call until ReleaseCache.
class PageFormatter {
 public:
  virtual ~PageFormatter() = default;
  // Lays out one page from character `start` to the end of the text; draws it on the printer
  // only when `render` is set. Returns the index of the first character that did not fit.
  virtual std::int32_t FormatPage(std::int32_t start, bool render) = 0;
  // Releases the cached layout data.
  virtual void ReleaseCache() = 0;
};

// The printer side of one job.
class PrintJob {
 public:
  virtual ~PrintJob() = default;
  virtual void StartDocument(std::u16string_view name) = 0;
  virtual void StartPage() = 0;
  virtual void EndPage() = 0;
  virtual void EndDocument() = 0;
  // Puts back the drawing objects (pen, brush, font, palette) selected before the page was drawn.
  virtual void RestoreDrawingObjects() = 0;
  // The answer of the job's abort procedure: false once the reader has cancelled the job.
  virtual bool KeepPrinting() const = 0;
};

// The job's progress dialog.
class PrintProgress {
 public:
  virtual ~PrintProgress() = default;
  // Shows the number of the page just laid out.
  virtual void SetPage(std::int32_t page) = 0;
};

struct PrintRangeRequest {
  bool currentPage = false;    // one page from the pane's first visible line; pages ignored
  std::int32_t firstPage = 1;  // pages are numbered from 1
  std::int32_t lastPage = 1;
  std::u16string_view documentName;  // shows in the platform's list of print jobs
};

// Runs one whole job: document start, the pages, release of the layout data, document end.
// Pages before `firstPage` are only measured. The first page is always processed; the loop ends
// after `lastPage`, when the text is used up, when the formatter makes no progress, or once the
// job is cancelled (nothing further then reaches the printer).
void PrintPages(const PaneControl& pane, PageFormatter& formatter, PrintJob& job,
                PrintProgress& progress, const PrintRangeRequest& request);

}  // namespace scrivora
