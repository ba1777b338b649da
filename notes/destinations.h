// What a group is, judged by the control word that opens it (after an optional \*).
#pragma once

#include <string_view>

namespace scrivora::rtf {

enum class Destination : unsigned char {
  Plain,        // formatting or text: a group whose text belongs to the surrounding text
  Note,         // \footnote: a footnote or, with \ftnalt, an endnote
  Ignored,      // data the rich-edit control ignores (theme, data store, revision tables...)
  HeaderTable,  // font, colour, style and list tables: the notes document needs them too
  NonText,      // other destinations whose content is not document text (pictures, fields'
                // instructions, document information, unknown \* destinations)
};

Destination ClassifyDestination(std::string_view word, bool starred);

}  // namespace scrivora::rtf
