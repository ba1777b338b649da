// The outside programs that turn an author's document into RTF: which one a kind of document
// needs, where it may be installed, what it is told and what is said when it is missing. Pure
// functions of their inputs (the environment comes in as a function), so both builds test them.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "embed/command_line.h"
#include "embed/source_kind.h"

namespace scrivora {

enum class Converter {
  LibreOffice,  // DOCX, DOC and ODT, through Writer's RTF export, headless
  Pandoc,       // Markdown, through pandoc's standalone RTF writer
};

// The converter for a kind of document; nothing for RTF and for what is not recognised.
std::optional<Converter> ConverterFor(SourceKind kind);

// "LibreOffice" or "pandoc".
const char* ConverterName(Converter converter);

// The value of an environment variable, or nothing when it is not set.
using EnvironmentLookup =
    std::function<std::optional<std::filesystem::path::string_type>(const char* name)>;

// Where the converter may lie, in the order they are tried: each of its program names along the
// search path (empty entries, which would mean the current folder, are skipped), then on Windows
// its usual install folders.
std::vector<std::filesystem::path> ConverterCandidates(Converter converter,
                                                       const EnvironmentLookup& environment);

// The reason given when no candidate exists: what to install, or to save the document as RTF.
std::string MissingConverterAdvice(Converter converter, SourceKind kind);

// The arguments after the program name. LibreOffice gets a private profile (so it runs beside
// an author's open LibreOffice and leaves no trace in the author's profile) and writes into
// `output`, a folder; pandoc writes the file `output`. All paths are absolute, so none can be
// taken for an option.
std::vector<NativeString> ConverterArguments(Converter converter,
                                             const std::filesystem::path& source,
                                             const std::filesystem::path& output,
                                             const std::filesystem::path& profile);

// A file: URL for an absolute path, as LibreOffice takes its profile folder: UTF-8, with every
// byte but unreserved letters, digits, "-._~", "/" and a drive's ":" percent-encoded.
std::string FileUrl(const std::filesystem::path& absolute);

}  // namespace scrivora
