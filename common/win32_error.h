// The system's words for a Win32 error code, as UTF-8 for messages.
#pragma once

#include <windows.h>

#include <string>

namespace scrivora {

std::string WindowsErrorText(DWORD code);

}  // namespace scrivora
