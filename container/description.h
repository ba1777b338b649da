// The description text of a container: its first line is the document's title, everything after
// that line's end is the description proper. Nothing is dropped or moved between the two.
#pragma once

#include <cstddef>
#include <string_view>

namespace scrivora {

struct DescriptionParts {
  std::string_view title;        // the first line without its line end (CR LF or a lone LF)
  std::string_view description;  // everything after that line end
};

// A text without any line end is all title.
DescriptionParts SplitDescription(std::string_view text);

enum class TextEncoding {
  Utf8,      // valid UTF-8 (plain ASCII included); no byte order mark
  Utf8Bom,   // valid UTF-8 after a byte order mark, which belongs to neither part
  Ansi,      // anything else: the system's ANSI code page
};

TextEncoding DetectEncoding(std::string_view text);

// The text without its UTF-8 byte order mark, if it has one.
std::string_view StripUtf8Bom(std::string_view text);

inline constexpr std::size_t kTitleDisplayLength = 79;

namespace detail {
// Code units of the character that starts at `at`: a whole UTF-8 sequence for char, a whole
// surrogate pair for 16-bit characters, one unit otherwise.
template <class Char>
std::size_t CharacterUnits(std::basic_string_view<Char> text, std::size_t at) {
  std::size_t step = 1;
  if constexpr (sizeof(Char) == 1) {
    while (at + step < text.size() && (static_cast<unsigned char>(text[at + step]) & 0xC0) == 0x80)
      ++step;
  } else if constexpr (sizeof(Char) == 2) {
    const auto c = static_cast<unsigned>(text[at]);
    if (c >= 0xD800 && c <= 0xDBFF && at + 1 < text.size()) step = 2;
  }
  return step;
}
}  // namespace detail

// The title as shown: at most 79 characters, never a character cut in half. UTF-8 titles are
// cut as char; ANSI titles are converted to UTF-16 first and cut as 16-bit characters.
template <class Char>
std::basic_string_view<Char> CutTitleForDisplay(std::basic_string_view<Char> title) {
  std::size_t units = 0;
  for (std::size_t shown = 0; units < title.size() && shown < kTitleDisplayLength; ++shown)
    units += detail::CharacterUnits(title, units);
  return title.substr(0, units);
}

}  // namespace scrivora
