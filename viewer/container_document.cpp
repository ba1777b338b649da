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
  const std::string_view first = kNoDocumentText;
  std::wstring text = std::wstring(first.begin(), first.end()) + L"\r\n";
  if (!fileRead) return text + L"The program file cannot be read.";
  const std::string reason = layout.Sentence();
  return text + std::wstring(reason.begin(), reason.end());
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
