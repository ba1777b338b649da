// Checks shared by the splitter tests: the documents, markers in extracted text, framing for
// the viewer.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "notes/plain_text.h"

namespace scrivora::test {

// Each marker text (middle dot, up to four characters, middle dot) with how often it occurs,
// letter case folded.
std::map<std::u32string, int> Markers(const std::u32string& text);

// The text without markers and without white space.
std::u32string WithoutMarkersAndSpace(const std::u32string& text);

// The RTF files of the splitter's own fixtures (tests/notes/data) or of the shared corpus,
// sorted; none where the folder is absent.
std::vector<std::filesystem::path> RtfFilesIn(const std::filesystem::path& folder);

// True when the viewer's decoder, fed the scrambled output, ends exactly at its last byte.
bool FramedAsOneGroup(std::string_view rtf);

}  // namespace scrivora::test
