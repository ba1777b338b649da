// The report goes to standard output as UTF-8; a Windows console gets it as wide characters,
// so every letter of a title shows whatever the console's code page.
#pragma once

#include <string_view>

namespace scrivora {

// Returns false when the output could not be written (a closed pipe, a full disk).
bool WriteStandardOutput(std::string_view utf8);

}  // namespace scrivora
