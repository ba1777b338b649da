#include "viewer/sdi_dec_frame.h"

namespace scrivora {

TSDIDecFrame::TSDIDecFrame(const wchar_t* caption, std::wstring imagePath)
    : FrameWindow(caption),
      client_(std::make_unique<TScrivora2Client>(*this, std::move(imagePath))) {
  SetClientWindow(client_.get());
}

TSDIDecFrame::~TSDIDecFrame() {
  // The frame's window goes first, taking the client's and the panes' with it.
  if (Handle()) ::DestroyWindow(Handle());
}

void TSDIDecFrame::SetupWindow() {
  client_->Create(Handle());
  FrameWindow::SetupWindow();
}

}  // namespace scrivora
