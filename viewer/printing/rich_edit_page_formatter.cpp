#include "viewer/printing/rich_edit_page_formatter.h"

#include <richedit.h>

namespace scrivora {

RichEditPageFormatter::RichEditPageFormatter(HWND pane, HDC printer, PageTwips page)
    : pane_(pane), printer_(printer), page_{0, 0, page.width, page.height} {}

RichEditPageFormatter::~RichEditPageFormatter() { ReleaseCache(); }

std::int32_t RichEditPageFormatter::FormatPage(std::int32_t start, bool render) {
  FORMATRANGE range{};
  range.hdc = printer_;
  range.hdcTarget = printer_;
  range.rc = page_;
  range.rcPage = page_;
  range.chrg.cpMin = start;
  range.chrg.cpMax = -1;  // to the end of the text
  cached_ = true;
  return static_cast<std::int32_t>(
      SendMessageW(pane_, EM_FORMATRANGE, render ? TRUE : FALSE, reinterpret_cast<LPARAM>(&range)));
}

void RichEditPageFormatter::ReleaseCache() {
  if (!cached_) return;
  SendMessageW(pane_, EM_FORMATRANGE, TRUE, 0);
  cached_ = false;
}

}  // namespace scrivora
