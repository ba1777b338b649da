#include "inspect/standard_output.h"

#include <windows.h>

#include <string>

namespace scrivora {

bool WriteStandardOutput(std::string_view utf8) {
  const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) return false;
  DWORD mode = 0;
  if (::GetConsoleMode(out, &mode)) {
    const int size = static_cast<int>(utf8.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    DWORD written = 0;
    return ::WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  }
  while (!utf8.empty()) {
    DWORD written = 0;
    if (!::WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr) ||
        written == 0) {
      return false;
    }
    utf8.remove_prefix(written);
  }
  return true;
}

}  // namespace scrivora
