#include "container/description.h"

#include <cstdint>

namespace scrivora {

DescriptionParts SplitDescription(std::string_view text) {
  const std::size_t lf = text.find('\n');
  if (lf == std::string_view::npos) return {text, {}};
  std::size_t titleEnd = lf;
  if (titleEnd > 0 && text[titleEnd - 1] == '\r') --titleEnd;
  return {text.substr(0, titleEnd), text.substr(lf + 1)};
}

std::string_view StripUtf8Bom(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  return text;
}

namespace {

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<std::uint8_t>(text[i]);
    std::size_t length;
    std::uint32_t cp;
    if (b < 0x80) {
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      length = 2, cp = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
      length = 3, cp = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
      length = 4, cp = b & 0x07;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto cb = static_cast<std::uint8_t>(text[i + k]);
      if ((cb & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cb & 0x3F);
    }
    // No overlong forms, no surrogates, nothing past U+10FFFF.
    static constexpr std::uint32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

}  // namespace

TextEncoding DetectEncoding(std::string_view text) {
  const std::string_view body = StripUtf8Bom(text);
  if (!IsValidUtf8(body)) return TextEncoding::Ansi;
  return body.size() != text.size() ? TextEncoding::Utf8Bom : TextEncoding::Utf8;
}

}  // namespace scrivora
