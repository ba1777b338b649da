#include "viewer/container_document.h"

#include <windows.h>

#include "container/description.h"
#include "viewer/program_file.h"

namespace scrivora {

std::wstring DescriptionToWide(std::string_view bytes, bool utf8) {
  if (bytes.empty()) return {};
  const UINT codePage = utf8 ? CP_UTF8 : CP_ACP;
  const int size = static_cast<int>(bytes.size());
  const int length = ::MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), length);
  return wide;
}

std::wstring ContainerDocument::Problem() const {
  std::wstring text = L"This file contains no document.\r\n";
  if (!fileRead) return text + L"The program file cannot be read.";
  const char* reason = layout.Describe();
  std::wstring wide(reason, reason + std::char_traits<char>::length(reason));
  if (!wide.empty() && wide[0] >= L'a' && wide[0] <= L'z') wide[0] -= L'a' - L'A';
  return text + wide + L".";
}

ContainerDocument ReadContainerDocument(const std::wstring& path) {
  ContainerDocument document;
  MappedFile file;
  if (!MapWholeFile(path, file)) return document;
  document.fileRead = true;
  document.layout = ReadLayout(file.data(), file.size());
  if (!document.layout) return document;

  const auto from = static_cast<std::size_t>(document.layout.trailer.descriptionOffset);
  const std::string_view text(reinterpret_cast<const char*>(file.data()) + from,
                              static_cast<std::size_t>(document.layout.DescriptionEnd()) - from);
  const TextEncoding encoding = DetectEncoding(text);
  const DescriptionParts parts = SplitDescription(StripUtf8Bom(text));
  const bool utf8 = encoding != TextEncoding::Ansi;
  const std::wstring title = DescriptionToWide(parts.title, utf8);
  document.title = std::wstring(CutTitleForDisplay(std::wstring_view(title)));
  document.description = DescriptionToWide(parts.description, utf8);
  return document;
}

}  // namespace scrivora
