// The text of an RTF document as a reader sees it, with the notes' text apart from the main
// text: for checking that splitting loses no text, and for counting notes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace scrivora {

struct PlainText {
  bool ok = false;           // the document could be read to its end
  std::u32string main;       // text outside notes; \par and the like give '\n'
  std::u32string notes;      // text of all notes, each note ended by '\n'
  std::uint32_t noteGroups = 0;  // note groups in text (not nested in another note)
};

// Characters are code points for \uN and byte values otherwise (code pages are not applied).
PlainText ExtractPlainText(std::string_view rtf);

}  // namespace scrivora
