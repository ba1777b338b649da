// Converting an author's own document (DOCX, DOC, ODT, Markdown) to RTF with an outside
// converter, before it is split like any RTF source.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>

#include "embed/packager.h"
#include "embed/platform.h"
#include "embed/source_kind.h"

namespace scrivora {

// LibreOffice needs a few seconds for a book, and waits forever on a document that asks a
// question (a password, say): past this it is stopped.
inline constexpr std::chrono::seconds kDefaultConvertTimeLimit{120};

// The time limit: EMBED_CONVERT_TIME_LIMIT_MS when it holds a positive whole number of
// milliseconds, else the default.
std::chrono::milliseconds ConvertTimeLimit();

// Converts `source`, a document of `kind` that has a converter, to RTF in `folder`, which this
// creates in the current folder; `rtf` then names the result. On a failure, what the converter
// said goes to standard error before the failure comes back.
std::optional<EmbedFailure> ConvertToRtf(const std::filesystem::path& source, SourceKind kind,
                                         std::chrono::milliseconds limit, TempFolder& folder,
                                         std::filesystem::path& rtf);

}  // namespace scrivora
