// What kind of document a source file is, told by its content and, for Markdown alone, by its
// name: embed converts every kind but RTF to RTF before splitting it.
#pragma once

#include <filesystem>
#include <string_view>

namespace scrivora {

enum class SourceKind {
  Rtf,       // begins with {\rtf
  Docx,      // a ZIP archive that holds word/document.xml
  Odt,       // a ZIP archive whose first entry, mimetype, names OpenDocument text
  Doc,       // an OLE2 compound file (Word 97-2003)
  Markdown,  // none of the above, named .md or .markdown
  Unknown,   // none of the above: handed to the splitter as RTF, which says what is wrong
};

// `bytes` is the whole file; `name` its path (only its extension is looked at).
SourceKind DetectSourceKind(std::string_view bytes, const std::filesystem::path& name);

// "DOCX", "ODT", ... for messages.
const char* SourceKindName(SourceKind kind);

}  // namespace scrivora
