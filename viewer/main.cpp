// The viewer's entry: one application object, run until its frame closes.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "viewer/scrivora_app.h"

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
