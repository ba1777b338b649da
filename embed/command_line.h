// The packaging tool's command line: embed [-c] [-p | -pa] [/N] RTF-source-file description-file.
// Options sit at fixed places; anything else counts as an operand, and exactly two operands
// must remain. Parsing is a pure function of the arguments, so both builds share it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

namespace scrivora {

// The arguments as the system hands them over: UTF-16 on Windows, bytes elsewhere.
using NativeString = std::filesystem::path::string_type;

// Written unchanged, with one write, to standard error when the command line does not parse.
inline constexpr std::string_view kUsageText =
    "\n"
    "Usage: embed [ -c ] [ -p | -pa ] [ /size ] RTF-source-file summary-TEXT-file\n"
    "\n"
    "               -c  forbids clipboard operations\n"
    "               -p  forbids all printing operations\n"
    "               -pa forbids whole text printing\n"
    "\n"
    "size gives the height of the footnotes window in percent of the whole window's\n"
    "(0: no footnote displayed; default: 30%)\n"
    "\n";

struct EmbedOptions {
  std::int32_t permissions = 0;   // the trailer's permission word
  std::int32_t notesPercent = 0;  // the trailer's notes pane height
  std::filesystem::path rtfSource;
  std::filesystem::path description;
};

struct ParsedCommandLine {
  bool usage = true;  // the command line did not parse: show the usage text, exit with status 1
  EmbedOptions options;
};

// `arguments` excludes the program name.
ParsedCommandLine ParseCommandLine(const std::vector<NativeString>& arguments);

}  // namespace scrivora
