// An inspection report for people and for scripts: plain text, or one JSON object.
#pragma once

#include <string>
#include <string_view>

#include "inspect/container_report.h"

namespace scrivora {

// The permissions in words, as the viewer applies them.
const char* CopyingWords(std::int32_t permissions);  // "allowed" or "not allowed"
// "everything", "the current page only" or "nothing"
const char* PrintingWords(std::int32_t permissions);

// Description bytes as UTF-8: UTF-8 stays, anything else is converted from the ANSI code page.
std::string TextAsUtf8(std::string_view bytes, TextEncoding encoding);

// `text` (UTF-8; a byte that is not part of valid UTF-8 becomes U+FFFD) as a JSON string with
// its quotation marks.
std::string JsonString(std::string_view text);

// The report of a sound container, or of one that is not, for `fileName` (UTF-8).
std::string ReportAsText(const ContainerReport& report, std::string_view fileName);
std::string ReportAsJson(const ContainerReport& report, std::string_view fileName);

}  // namespace scrivora
