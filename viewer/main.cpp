// The viewer's entry: one application object, run until its frame closes.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <cstdlib>

#include "viewer/scrivora_app.h"

// The viewer throws nothing of its own; the library's default terminate handler would bring a
// C++ name demangler (about 40 KB) into every container just to print a message nobody sees.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  const HRESULT ole = ::OleInitialize(nullptr);  // embedded objects in the RTF need OLE
  int result;
  {
    scrivora::TScrivora2App app;
    result = app.Run(showCommand);
  }
  if (SUCCEEDED(ole)) ::OleUninitialize();
  return result;
}
