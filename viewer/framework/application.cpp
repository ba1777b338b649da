#include "viewer/framework/application.h"

#include <algorithm>

#include "viewer/core/show_command.h"
#include "viewer/framework/frame_window.h"
#include "viewer/resources/command_ids.h"

namespace scrivora {

Application* Application::current_ = nullptr;

Application::Application(const wchar_t* name) : name_(name) { current_ = this; }

Application::~Application() {
  mainWindow_.reset();
  if (current_ == this) current_ = nullptr;
}

const ResponseTable& Application::Responses() const {
  static const CommandEntry commands[] = {Cm(CM_EXIT, &Application::CmExit)};
  static const ResponseTable table{&EventHandler::Responses(), {}, commands, {}};
  return table;
}

void Application::SetMainWindow(std::unique_ptr<FrameWindow> frame) {
  mainWindow_ = std::move(frame);
}

bool Application::Start(int showCommand) {
  InitMainWindow();
  if (!mainWindow_ || !mainWindow_->Create()) return false;
  ::ShowWindow(mainWindow_->Handle(), AdjustShowCommand(showCommand));
  ::UpdateWindow(mainWindow_->Handle());
  return true;
}

int Application::Run(int showCommand) {
  if (!Start(showCommand)) {
    ::MessageBoxW(nullptr, L"The main window cannot be created.", name_, MB_OK | MB_ICONSTOP);
    return 1;
  }
  return MessageLoop();
}

int Application::MessageLoop() {
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
  return static_cast<int>(msg.wParam);
}

void Application::PumpWaiting() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) break;
    Dispatch(msg);
  }
}

void Application::Dispatch(MSG& msg) {
  if (PreTranslate(msg)) return;
  ::TranslateMessage(&msg);
  ::DispatchMessageW(&msg);
}

bool Application::PreTranslate(MSG& msg) {
  for (HWND dialog : modeless_)
    if (::IsDialogMessageW(dialog, &msg)) return true;
  for (HWND hwnd = msg.hwnd; hwnd; hwnd = ::GetParent(hwnd))
    if (Window* window = Window::FromHandle(hwnd))
      if (window->PreProcessMsg(msg)) return true;
  return false;
}

void Application::AddModeless(HWND dialog) { modeless_.push_back(dialog); }

void Application::RemoveModeless(HWND dialog) {
  modeless_.erase(std::remove(modeless_.begin(), modeless_.end(), dialog), modeless_.end());
}

void Application::CmExit() {
  if (mainWindow_ && mainWindow_->Handle()) ::PostMessageW(mainWindow_->Handle(), WM_CLOSE, 0, 0);
}

}  // namespace scrivora
