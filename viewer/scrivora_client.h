// The frame's client window. Its constructor reads the container of the program file (the
// trailer, the title and the description) and makes the two panes; its window lays them out by
// the trailer's notes percentage and puts the title into the frame's caption.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "viewer/container_document.h"
#include "viewer/core/pane_layout.h"
#include "viewer/core/text_snapshot_pane.h"
#include "viewer/embedded_rich_edit.h"
#include "viewer/framework/window.h"

namespace scrivora {

class FrameWindow;

class TScrivora2Client : public Window {
 public:
  // Reads the container at `imagePath`: the running program's own file in the product.
  TScrivora2Client(FrameWindow& frame, std::wstring imagePath);
  ~TScrivora2Client() override;

  bool Create(HWND parent);

  const ContainerDocument& Document() const { return document_; }
  std::int32_t Permissions() const { return document_.Permissions(); }
  // "Scrivora 3 - " and the document title; the frame's caption.
  const std::wstring& Title() const { return title_; }
  const std::wstring& Description() const { return document_.description; }
  EmbeddedRichEdit& TextPane() const { return *textPane_; }
  EmbeddedRichEdit& NotesPane() const { return *notesPane_; }
  FrameWindow& Frame() const { return frame_; }

  // Where the panes go in a client area of the given size.
  PaneLayout Layout(int width, int height) const;

  // Note tracking: the first marker at or after character `start` of `scrolled` is selected in
  // the other pane and brought to its top line. Runs no check of either pane.
  void SyncToMarker(const EmbeddedRichEdit& scrolled, std::int32_t start);
  // True while SyncToMarker moves a pane.
  bool SyncRunning() const { return syncRunning_; }

  // File > Print... and File > Print notes only...: the print dialog, then the jobs that the
  // permissions and the reader's choice call for. Both are enabled only with a printing bit.
  void CmFilePrint();
  void CmPrintNotes();
  void CePrint(CommandEnabler& enabler);

  // Help > Document...: the description proper in a modal box captioned with the title.
  void CmHelpDocument();

  const ResponseTable& Responses() const override;

 protected:
  void SetupWindow() override;
  LRESULT EvSize(WPARAM, LPARAM);

 private:
  void ArrangePanes();

  FrameWindow& frame_;
  const std::wstring imagePath_;
  ContainerDocument document_;
  std::wstring title_;
  std::unique_ptr<EmbeddedRichEdit> textPane_;
  std::unique_ptr<EmbeddedRichEdit> notesPane_;
  // Copies of the loaded panes' text, searched in memory by the tracking.
  std::unique_ptr<TextSnapshotPane> textSnapshot_;
  std::unique_ptr<TextSnapshotPane> notesSnapshot_;
  bool syncRunning_ = false;
};

}  // namespace scrivora
