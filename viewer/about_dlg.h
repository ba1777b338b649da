// The About box (template 22000): a fixed first line, then the product name and version around
// the template's word "Version", the copyright line and a special-build note, all read from the
// version information of the running program file.
#pragma once

#include <string>

#include "viewer/framework/dialog.h"

namespace scrivora {

class TScrivora2AboutDlg : public Dialog {
 public:
  // `versionFile`: the file whose version information is shown; the running program if empty.
  TScrivora2AboutDlg(HWND parent, int templateId, std::wstring versionFile = {});

 protected:
  void SetupWindow() override;

 private:
  std::wstring versionFile_;
};

}  // namespace scrivora
