#include "viewer/scrivora_app.h"

#include "viewer/about_dlg.h"
#include "viewer/program_file.h"
#include "viewer/resources/command_ids.h"
#include "viewer/sdi_dec_frame.h"

namespace scrivora {

TScrivora2App::TScrivora2App(std::wstring imagePath)
    : Application(kApplicationName),
      imagePath_(imagePath.empty() ? ModuleFilePath() : std::move(imagePath)) {}

const ResponseTable& TScrivora2App::Responses() const {
  static const CommandEntry commands[] = {Cm(CM_HELPABOUT, &TScrivora2App::CmHelpAbout)};
  static const ResponseTable table{&Application::Responses(), {}, commands, {}};
  return table;
}

TSDIDecFrame* TScrivora2App::Frame() const { return static_cast<TSDIDecFrame*>(MainWindow()); }

void TScrivora2App::InitMainWindow() {
  auto frame = std::make_unique<TSDIDecFrame>(Name(), imagePath_);
  frame->SetIconResource(IDI_SCRIVORA);
  frame->SetMenuResource(IDM_SCRIVORA);
  frame->SetAcceleratorResource(IDM_SCRIVORA);
  SetMainWindow(std::move(frame));
}

void TScrivora2App::CmHelpAbout() {
  TScrivora2AboutDlg box(MainWindow() ? MainWindow()->Handle() : nullptr, IDD_ABOUT);
  box.Execute();
}

}  // namespace scrivora
