// A large Word-style document with many footnotes, for measuring the note splitter.
#pragma once

#include <cstddef>
#include <string>

namespace scrivora::bench {

// About `bytes` bytes of RTF with `notes` footnotes spread evenly through the text, in the
// shapes Word writes: font and style tables, theme data, formatted runs, \uN escapes, tables.
std::string MakeNotesDocument(std::size_t bytes, int notes);

}  // namespace scrivora::bench
