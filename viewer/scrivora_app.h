// The application object: named "Scrivora 3", builds the frame, handles Help > About.
#pragma once

#include <string>

#include "viewer/framework/application.h"

namespace scrivora {

inline constexpr wchar_t kApplicationName[] = L"Scrivora 3";

class TSDIDecFrame;

class TScrivora2App : public Application {
 public:
  // The document is read from `imagePath`; the running program's own file when it is empty.
  explicit TScrivora2App(std::wstring imagePath = {});

  TSDIDecFrame* Frame() const;

  // Help > About...: the About box over the main window.
  void CmHelpAbout();

  const ResponseTable& Responses() const override;

 protected:
  void InitMainWindow() override;

 private:
  std::wstring imagePath_;
};

}  // namespace scrivora
