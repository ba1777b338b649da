// Text in the ANSI code page, as UTF-8 for printing. On Windows that is the system's ANSI code
// page, as the viewer uses; elsewhere there is none, so Windows-1252 (the code page of Western
// European Windows, where a description written in Notepad most likely came from) stands in.
#pragma once

#include <string>
#include <string_view>

namespace scrivora {

std::string AnsiToUtf8(std::string_view bytes);

}  // namespace scrivora
