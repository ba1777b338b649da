// The main frame: owns the menu bar and the accelerators, routes commands (focused window inside
// the client, its parents up to the frame, then the application), decides menu states along
// the same route, and hands the keyboard focus back to the window that last had it.
#pragma once

#include <windows.h>

#include <vector>

#include "viewer/framework/window.h"

namespace scrivora {

class FrameWindow : public Window {
 public:
  explicit FrameWindow(const wchar_t* caption) : caption_(caption) {}

  // Creates the frame's window, which creates the client's in its set-up.
  bool Create();

  void SetClientWindow(Window* client) { client_ = client; }
  void SetIconResource(int id) { iconId_ = id; }
  void SetMenuResource(int id) { menuId_ = id; }
  void SetAcceleratorResource(int id) { acceleratorId_ = id; }

  // The state of a command along the route: the first enabler decides; without one the command
  // is enabled when some window on the route or the application handles it.
  bool CommandEnabled(UINT id);
  // Runs the first handler on the route, if the command is enabled; true when one ran.
  bool ExecuteCommand(UINT id);
  // Brings the states of a pop-up's items up to date.
  void UpdateMenuStates(HMENU popup);

  // Accelerators: an item's state is updated first; a greyed item's key does nothing and goes
  // no further.
  bool PreProcessMsg(MSG& msg) override;

 protected:
  void SetupWindow() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  static constexpr int kMaxRoute = 16;
  struct Route {
    EventHandler* handlers[kMaxRoute];
    int count = 0;
  };
  Route BuildRoute() const;
  const ACCEL* MatchAccelerator(const MSG& msg) const;
  HWND FirstFocusable(HWND parent) const;
  void RestoreFocus();
  void LayoutClient();

  const wchar_t* caption_;
  Window* client_ = nullptr;
  int iconId_ = 0;
  int menuId_ = 0;
  int acceleratorId_ = 0;
  std::vector<ACCEL> accelerators_;
  HWND lastFocus_ = nullptr;
};

}  // namespace scrivora
