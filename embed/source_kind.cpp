#include "embed/source_kind.h"

#include <cstdint>
#include <string>

namespace scrivora {
namespace {

constexpr std::string_view kOle2Signature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
constexpr std::string_view kOdtMimeType = "application/vnd.oasis.opendocument.text";

std::uint32_t Little(std::string_view bytes, std::size_t at, int width) {
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  }
  return value;
}

// The archive's central directory, from its end record; empty when the bytes are no ZIP archive
// that can be read that way. Every offset is checked against the bytes.
std::string_view CentralDirectory(std::string_view zip, std::uint32_t& entries) {
  constexpr std::size_t kEndRecord = 22;  // without its comment, which is at most 65535 bytes
  if (zip.size() < kEndRecord) return {};
  const std::size_t lowest =
      zip.size() > kEndRecord + 0xFFFF ? zip.size() - kEndRecord - 0xFFFF : 0;
  for (std::size_t at = zip.size() - kEndRecord + 1; at-- > lowest;) {
    if (zip.compare(at, 4, "PK\x05\x06") != 0) continue;
    const std::uint32_t size = Little(zip, at + 12, 4);
    const std::uint32_t offset = Little(zip, at + 16, 4);
    if (offset > at || size > at - offset) continue;  // a record of another archive, or no record
    entries = Little(zip, at + 10, 2);
    return zip.substr(offset, size);
  }
  return {};
}

bool ZipHolds(std::string_view zip, std::string_view wanted) {
  std::uint32_t entries = 0;
  std::string_view directory = CentralDirectory(zip, entries);
  constexpr std::size_t kHeader = 46;
  for (std::uint32_t i = 0; i < entries && directory.size() >= kHeader; ++i) {
    if (directory.compare(0, 4, "PK\x01\x02") != 0) return false;
    const std::size_t nameLength = Little(directory, 28, 2);
    const std::size_t rest = nameLength + Little(directory, 30, 2) + Little(directory, 32, 2);
    if (directory.size() - kHeader < rest) return false;
    if (directory.substr(kHeader, nameLength) == wanted) return true;
    directory.remove_prefix(kHeader + rest);
  }
  return false;
}

// OpenDocument puts its type first, stored uncompressed, so it can be read at a fixed place.
bool IsOpenDocumentText(std::string_view zip) {
  constexpr std::size_t kHeader = 30;
  if (zip.size() < kHeader || zip.compare(0, 4, "PK\x03\x04") != 0) return false;
  const std::uint32_t method = Little(zip, 8, 2);
  const std::uint32_t size = Little(zip, 18, 4);
  const std::size_t nameLength = Little(zip, 26, 2);
  const std::size_t extraLength = Little(zip, 28, 2);
  if (method != 0 || zip.size() - kHeader < nameLength + extraLength) return false;
  if (zip.substr(kHeader, nameLength) != "mimetype") return false;
  return zip.substr(kHeader + nameLength + extraLength, size) == kOdtMimeType &&
         size == kOdtMimeType.size();
}

bool HasMarkdownExtension(const std::filesystem::path& name) {
  // Compared in the system's own characters: the name may hold any letter.
  const auto extension = name.extension().native();
  auto is = [&extension](std::string_view wanted) {
    if (extension.size() != wanted.size()) return false;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
      auto c = extension[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<decltype(c)>(c - 'A' + 'a');
      if (c != static_cast<decltype(c)>(wanted[i])) return false;
    }
    return true;
  };
  return is(".md") || is(".markdown");
}

}  // namespace

SourceKind DetectSourceKind(std::string_view bytes, const std::filesystem::path& name) {
  if (bytes.starts_with("{\\rtf")) return SourceKind::Rtf;
  if (bytes.starts_with(kOle2Signature)) return SourceKind::Doc;
  if (bytes.starts_with("PK")) {
    if (IsOpenDocumentText(bytes)) return SourceKind::Odt;
    if (ZipHolds(bytes, "word/document.xml")) return SourceKind::Docx;
  }
  if (HasMarkdownExtension(name)) return SourceKind::Markdown;
  return SourceKind::Unknown;
}

const char* SourceKindName(SourceKind kind) {
  switch (kind) {
    case SourceKind::Rtf:
      return "RTF";
    case SourceKind::Docx:
      return "DOCX";
    case SourceKind::Odt:
      return "ODT";
    case SourceKind::Doc:
      return "DOC";
    case SourceKind::Markdown:
      return "Markdown";
    case SourceKind::Unknown:
      break;
  }
  return "unknown";
}

}  // namespace scrivora
