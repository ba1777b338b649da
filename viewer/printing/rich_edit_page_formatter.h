// Lays a rich-edit pane's text out page by page on a printer (EM_FORMATRANGE), measured and
// drawn on the printer itself over the whole printable area.
#pragma once

#include <windows.h>

#include "viewer/core/print_pages.h"

namespace scrivora {

class RichEditPageFormatter : public PageFormatter {
 public:
  RichEditPageFormatter(HWND pane, HDC printer, PageTwips page);
  ~RichEditPageFormatter() override;
  RichEditPageFormatter(const RichEditPageFormatter&) = delete;
  RichEditPageFormatter& operator=(const RichEditPageFormatter&) = delete;

  std::int32_t FormatPage(std::int32_t start, bool render) override;
  void ReleaseCache() override;

 private:
  HWND pane_;
  HDC printer_;
  RECT page_;
  bool cached_ = false;
};

}  // namespace scrivora
