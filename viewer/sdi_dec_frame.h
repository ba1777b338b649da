// The viewer's main frame: no decorations; its client window is the document client.
#pragma once

#include <memory>
#include <string>

#include "viewer/framework/frame_window.h"
#include "viewer/scrivora_client.h"

namespace scrivora {

class TSDIDecFrame : public FrameWindow {
 public:
  // Builds the client, which reads the container at `imagePath`, before any window exists.
  TSDIDecFrame(const wchar_t* caption, std::wstring imagePath);
  ~TSDIDecFrame() override;

  TScrivora2Client& Client() const { return *client_; }

 protected:
  void SetupWindow() override;

 private:
  std::unique_ptr<TScrivora2Client> client_;
};

}  // namespace scrivora
