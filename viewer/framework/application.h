// The application object: builds the main window, runs the message loop, and is the last stop
// of command routing (after the focused window, its parents and the frame).
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "viewer/framework/event_handler.h"

namespace scrivora {

class FrameWindow;

class Application : public EventHandler {
 public:
  explicit Application(const wchar_t* name);
  ~Application() override;
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  static Application* Current() { return current_; }
  const wchar_t* Name() const { return name_; }
  FrameWindow* MainWindow() const { return mainWindow_.get(); }

  // Start, then the message loop until the main window is gone; the loop's result.
  int Run(int showCommand);
  // Main-window initialisation, creation and showing with the adjusted show command.
  bool Start(int showCommand);
  int MessageLoop();
  // Dispatches every message queued now, through the same steps as the loop.
  void PumpWaiting();
  // Modeless dialogs get their keys (Tab, Enter, Escape) before anything else.
  void AddModeless(HWND dialog);
  void RemoveModeless(HWND dialog);

  const ResponseTable& Responses() const override;

 protected:
  // Builds the main window object (no window yet); called once by Start.
  virtual void InitMainWindow() = 0;
  void SetMainWindow(std::unique_ptr<FrameWindow> frame);

  // Closes the main window; closing asks nothing.
  void CmExit();

 private:
  // Modeless dialogs, then the pre-processing of the window and its parents.
  bool PreTranslate(MSG& msg);
  void Dispatch(MSG& msg);

  static Application* current_;
  const wchar_t* name_;
  std::unique_ptr<FrameWindow> mainWindow_;
  std::vector<HWND> modeless_;
};

}  // namespace scrivora
