#include "viewer/scrivora_client.h"

#include "viewer/core/note_tracking.h"
#include "viewer/core/print_command.h"
#include "viewer/doc_content.h"
#include "viewer/framework/frame_window.h"
#include "viewer/printing/pane_job_runner.h"
#include "viewer/printing/print_dialog.h"
#include "viewer/resources/command_ids.h"
#include "viewer/scrivora_app.h"

namespace scrivora {

TScrivora2Client::TScrivora2Client(FrameWindow& frame, std::wstring imagePath)
    : frame_(frame),
      imagePath_(std::move(imagePath)),
      document_(ReadContainerDocument(imagePath_)) {
  const bool valid = document_.Valid();
  title_ = valid ? kApplicationName + (L" - " + document_.title) : kApplicationName;
  if (!valid) document_.description = document_.Problem();
  const ContainerTrailer& trailer = document_.layout.trailer;
  textPane_ = std::make_unique<EmbeddedRichEdit>(*this, IDC_TEXTPANE, imagePath_,
                                                 valid ? trailer.mainOffset : -1);
  notesPane_ = std::make_unique<EmbeddedRichEdit>(*this, IDC_NOTESPANE, imagePath_,
                                                  valid ? trailer.notesOffset : -1);
  textSnapshot_ = std::make_unique<TextSnapshotPane>(*textPane_);
  notesSnapshot_ = std::make_unique<TextSnapshotPane>(*notesPane_);
  if (!valid) {
    textPane_->ShowPlainTextInstead(document_.Problem());
    notesPane_->ShowPlainTextInstead(L"");
  }
}

TScrivora2Client::~TScrivora2Client() = default;

const ResponseTable& TScrivora2Client::Responses() const {
  static const MessageEntry messages[] = {Ev(WM_SIZE, &TScrivora2Client::EvSize)};
  using P = TScrivora2Client;
  static const CommandEntry commands[] = {
      Cm(CM_FILEPRINT, &P::CmFilePrint),
      Cm(CM_PRINTNOTES, &P::CmPrintNotes),
      Cm(CM_HELPDOCUMENT, &P::CmHelpDocument),
  };
  static const EnablerEntry enablers[] = {
      Ce(CM_FILEPRINT, &P::CePrint),
      Ce(CM_PRINTNOTES, &P::CePrint),
  };
  static const ResponseTable table{&Window::Responses(), messages, commands, enablers};
  return table;
}

bool TScrivora2Client::Create(HWND parent) {
  ClassSpec windowClass{L"ScrivoraClient"};
  windowClass.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  return CreateOwn(windowClass, 0, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, parent,
                   nullptr);
}

namespace {
RECT ToRect(const PixelRect& r) { return {r.left, r.top, r.left + r.Width(), r.top + r.Height()}; }
}  // namespace

void TScrivora2Client::SetupWindow() {
  // Take the frame's client area now rather than at the frame's next layout, and create each
  // pane at its place: a pane lays its text out once, at its own width, as it loads.
  RECT area;
  ::GetClientRect(::GetParent(Handle()), &area);
  ::MoveWindow(Handle(), 0, 0, area.right, area.bottom, FALSE);
  const PaneLayout layout = Layout(area.right, area.bottom);
  textPane_->Create(Handle(), ToRect(layout.text));
  notesPane_->Create(Handle(), ToRect(layout.notes));
  // The panes are read-only: their text as loaded now stays true for their whole life.
  if (textPane_->Handle()) textSnapshot_->TakeSnapshot();
  if (notesPane_->Handle()) notesSnapshot_->TakeSnapshot();
  frame_.SetCaption(title_.c_str());
}

PaneLayout TScrivora2Client::Layout(int width, int height) const {
  return ComputePaneLayout(width, height, document_.NotesPercent());
}

void TScrivora2Client::ArrangePanes() {
  RECT area;
  ::GetClientRect(Handle(), &area);
  const PaneLayout layout = Layout(area.right, area.bottom);
  const auto place = [](EmbeddedRichEdit& pane, const PixelRect& r) {
    const RECT rect = ToRect(r);
    if (pane.Handle())
      ::MoveWindow(pane.Handle(), rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, TRUE);
  };
  place(*textPane_, layout.text);
  place(*notesPane_, layout.notes);
}

LRESULT TScrivora2Client::EvSize(WPARAM, LPARAM) {
  ArrangePanes();
  return 0;
}

void TScrivora2Client::SyncToMarker(const EmbeddedRichEdit& scrolled, std::int32_t start) {
  if (syncRunning_) return;
  const bool fromText = &scrolled == textPane_.get();
  const TextSnapshotPane& from = fromText ? *textSnapshot_ : *notesSnapshot_;
  TextSnapshotPane& other = fromText ? *notesSnapshot_ : *textSnapshot_;
  syncRunning_ = true;
  scrivora::SyncToMarker(from, start, other);
  syncRunning_ = false;
}

namespace {
void RunPrint(TScrivora2Client& client, PrintCommand command) {
  Win32PrintDialog dialog(client.Handle());
  MessageBoxQuestion question(client.Handle());
  PaneJobRunner runner(client);
  // The printer context is released by now; the reader learns why a command printed less.
  ShowPrintFailure(client.Handle(),
                   RunPrintCommand(command, client.Permissions(), dialog, question, runner));
}
}  // namespace

void TScrivora2Client::CmFilePrint() { RunPrint(*this, PrintCommand::FilePrint); }

void TScrivora2Client::CmPrintNotes() { RunPrint(*this, PrintCommand::PrintNotes); }

void TScrivora2Client::CePrint(CommandEnabler& enabler) {
  enabler.Enable(PrintCommandEnabled(Permissions()));
}

void TScrivora2Client::CmHelpDocument() {
  DocContent box(Handle(), title_.c_str(), Description().c_str(), IDD_DOCCONTENT);
  box.Execute();
}

}  // namespace scrivora
