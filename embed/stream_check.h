// Whether a scrambled stream is what the viewer can show: one complete RTF group.
#pragma once

#include <string_view>

namespace scrivora {

// True when `scrambled`, decoded from the initial key, begins with the opening brace of its
// outermost group and that group closes before the end; bytes after the close do not matter.
// This is DecodeStream(...).groupClosed, the viewer's own framing, at about twice its speed,
// since embed checks streams of many megabytes while its companions are still at work.
bool IsOneCompleteGroup(std::string_view scrambled);

}  // namespace scrivora
