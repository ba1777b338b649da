// What the stand-in converter of the embed tests writes, and the words in a source that make it
// misbehave.
#pragma once

#include <string>

namespace scrivora::test {

// The RTF the stand-in makes of any ordinary source, telling which converter it played.
inline std::string ConvertedRtf(bool libreOffice) {
  return std::string("{\\rtf1\\ansi Converted by ") + (libreOffice ? "soffice" : "pandoc") +
         "{\\super \\chftn}{\\footnote \\pard {\\super \\chftn} A note.}.\\par}";
}

inline constexpr char kConvertFails[] = "FAKE-CONVERT-FAIL";             // exits with status 5
inline constexpr char kConvertWritesNothing[] = "FAKE-CONVERT-NOTHING";  // exits 0, writes nothing
inline constexpr char kConvertHangs[] = "FAKE-CONVERT-HANG";  // starts a child, waits a minute

}  // namespace scrivora::test
