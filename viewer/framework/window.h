// The window base: one object per window, found from its HWND, with messages dispatched through
// the class's response table. Windows of our own classes store `this` at WM_NCCREATE; system
// controls are subclassed so that their object sees every message first.
#pragma once

#include <windows.h>

#include "viewer/framework/event_handler.h"

namespace scrivora {

class Window : public EventHandler {
 public:
  Window() = default;
  ~Window() override;  // destroys the window if it still exists
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND Handle() const { return hwnd_; }
  static Window* FromHandle(HWND hwnd);

  // Runs before the message is translated and dispatched; true when it is done with.
  // The application's loop asks the window the message is for, then its parents.
  virtual bool PreProcessMsg(MSG& msg);
  // Whether the window agrees to close; windows that would ask a question override it.
  virtual bool CanClose() { return true; }

  void SetCaption(const wchar_t* text) { ::SetWindowTextW(hwnd_, text); }

 protected:
  struct ClassSpec {
    const wchar_t* name;
    UINT style = 0;
    int iconId = 0;  // an icon resource of the program, in its large and small size
    HBRUSH background = nullptr;
  };

  // A window of a class of our own; the class is registered on first use.
  bool CreateOwn(const ClassSpec& windowClass, DWORD exStyle, const wchar_t* caption, DWORD style,
                 int x, int y, int width, int height, HWND parent, HMENU menuOrId);
  // A control of a system class at `place` in its parent, subclassed to this object.
  bool CreateControl(const wchar_t* className, DWORD exStyle, DWORD style, HWND parent, int id,
                     const RECT& place = {});

  // Work that needs the window: runs once it exists (the client creates its panes there).
  virtual void SetupWindow() {}

  // Looks the message up in the response table; the default processing otherwise.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The processing the window would get without this object: the control's own procedure for a
  // subclassed control, DefWindowProc otherwise. Applies to the message being handled now.
  LRESULT DefaultProcessing();
  LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void Attach(HWND hwnd);
  void Detach();

  HWND hwnd_ = nullptr;
  WNDPROC controlProc_ = nullptr;  // a subclassed control's own procedure
  struct Message {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
  } current_;
};

}  // namespace scrivora
