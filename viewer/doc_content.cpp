#include "viewer/doc_content.h"

#include <string>

#include "viewer/core/line_ends.h"
#include "viewer/resources/command_ids.h"

namespace scrivora {

namespace {
constexpr int kContentTextLimit = 255;
}

DocContent::DocContent(HWND parent, const wchar_t* caption, const wchar_t* text, int templateId)
    : Dialog(parent, templateId), caption_(caption), ContentText(text) {}

void DocContent::SetupWindow() {
  ::SetWindowTextW(Handle(), caption_);
  HWND edit = ::GetDlgItem(Handle(), IDC_DOCCONTENT_TEXT);
  // Typing is limited; text set by the program is shown whole, however long.
  ::SendMessageW(edit, EM_LIMITTEXT, kContentTextLimit - 1, 0);
  const std::wstring shown = WithCrLfLineEnds(std::wstring_view(ContentText));
  ::SetWindowTextW(edit, shown.c_str());
}

}  // namespace scrivora
