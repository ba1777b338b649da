// The document description box (template 2): the description proper in a read-only,
// vertically scrolling edit control, under the viewer's title.
#pragma once

#include "viewer/framework/dialog.h"

namespace scrivora {

class DocContent : public Dialog {
 public:
  // `text` is not copied: the caller keeps it alive while the box exists.
  DocContent(HWND parent, const wchar_t* caption, const wchar_t* text, int templateId);

 protected:
  void SetupWindow() override;

 private:
  const wchar_t* caption_;
  const wchar_t* ContentText;
};

}  // namespace scrivora
