#include "inspect/ansi_text.h"

#include <windows.h>

namespace scrivora {

std::string AnsiToUtf8(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int wideLength = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), wideLength);
  const int length =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr,
                        nullptr);
  return utf8;
}

}  // namespace scrivora
