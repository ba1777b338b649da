// Whether a scrambled stream is what the viewer can show: one complete RTF group.
#pragma once

#include <string_view>

namespace scrivora {

// True when `scrambled`, decoded from the initial key, begins with the opening brace of its
// outermost group and that group closes before the end. Bytes after the close do not matter.
// Gives the same answer as DecodeStream(...).groupClosed without keeping the decoded text.
bool IsOneCompleteGroup(std::string_view scrambled);

}  // namespace scrivora
