// Test containers and a running viewer for the Win32 tests: the real application, frame, client
// and panes, created on the test's thread and driven by real messages.
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "container/trailer.h"
#include "tests/support/test_containers.h"
#include "tests/support/test_support.h"
#include "viewer/embedded_rich_edit.h"
#include "viewer/scrivora_app.h"
#include "viewer/scrivora_client.h"
#include "viewer/sdi_dec_frame.h"

namespace scrivora::test {

// The viewer program file that containers start with.
const std::string& ViewerImage();

// Writes `bytes` as a file in a fresh folder that lives as long as the object.
class TestFile {
 public:
  explicit TestFile(std::string_view bytes, std::string_view name = "embedded.exe");
  const std::filesystem::path& Path() const { return path_; }

 private:
  TempDir dir_;
  std::filesystem::path path_;
};

// A running viewer over a container file.
class RunningViewer {
 public:
  explicit RunningViewer(const std::filesystem::path& container, int show = SW_SHOWNORMAL);
  ~RunningViewer();

  TScrivora2App& App() { return *app_; }
  TSDIDecFrame& Frame() { return *app_->Frame(); }
  HWND FrameHandle() { return Frame().Handle(); }
  TScrivora2Client& Client() { return Frame().Client(); }
  EmbeddedRichEdit& TextPane() { return Client().TextPane(); }
  EmbeddedRichEdit& NotesPane() { return Client().NotesPane(); }

  void Pump() { app_->PumpWaiting(); }
  // A menu command as the menu sends it (or another program posts it), dispatched.
  void Command(UINT id);
  // The state of a menu item after its pop-up has been opened (WM_INITMENUPOPUP).
  bool MenuItemEnabled(UINT id);
  // A key press as it arrives from the keyboard, with the modifiers held, dispatched through
  // the application's message loop steps.
  void PressKey(HWND target, UINT key, bool control = false, bool shift = false,
                bool alt = false);

 private:
  std::unique_ptr<TScrivora2App> app_;
};

// The text a pane shows, as the control reports it.
std::wstring PaneText(const EmbeddedRichEdit& pane);
std::wstring WindowText(HWND window);

// The clipboard as Unicode text; empty when it holds none.
std::wstring ClipboardText();
void SetClipboardText(const std::wstring& text);

// Runs `action` and, while it waits in a modal loop, hands the first dialog box that appears on
// this thread to `inspect`, then ends that box with `endCommand`.
void WithModalBox(const std::function<void()>& action, const std::function<void(HWND)>& inspect,
                  UINT endCommand = IDOK);

// Holds modifier keys down in this thread's keyboard state, for the length of a scope.
class HeldKeys {
 public:
  HeldKeys(bool control, bool shift, bool alt);
  ~HeldKeys();

 private:
  BYTE saved_[256];
};

}  // namespace scrivora::test
