#include "viewer/about_dlg.h"

#include "viewer/project_rc_version.h"
#include "viewer/resources/command_ids.h"

namespace scrivora {

TScrivora2AboutDlg::TScrivora2AboutDlg(HWND parent, int templateId, std::wstring versionFile)
    : Dialog(parent, templateId), versionFile_(std::move(versionFile)) {}

void TScrivora2AboutDlg::SetupWindow() {
  const TProjectRCVersion version = versionFile_.empty()
                                        ? TProjectRCVersion(static_cast<HMODULE>(nullptr))
                                        : TProjectRCVersion(versionFile_);
  const wchar_t* name = nullptr;
  const wchar_t* number = nullptr;
  if (version.GetProductName(name) && version.GetProductVersion(number)) {
    wchar_t word[128] = {};
    ::GetDlgItemTextW(Handle(), IDC_ABOUT_VERSION, word, 128);
    const std::wstring line = std::wstring(name) + L' ' + word + L' ' + number;
    SetControlText(IDC_ABOUT_VERSION, line.c_str());
  }
  const wchar_t* text = nullptr;
  if (version.GetCopyright(text)) SetControlText(IDC_ABOUT_COPYRIGHT, text);
  if (version.GetSpecialBuild(text)) SetControlText(IDC_ABOUT_SPECIALBUILD, text);
}

}  // namespace scrivora
