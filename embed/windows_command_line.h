// Composing a Windows command line that the receiving program's runtime splits back into exactly
// the arguments given (the rules of CommandLineToArgvW and the C runtime). No command
// interpreter ever sees it, so only blanks, tabs, quotation marks and backslashes matter.
#pragma once

#include <string>
#include <vector>

namespace scrivora {

// One argument, quoted only when it must be.
std::wstring QuoteWindowsArgument(const std::wstring& argument);

// The program path (always quoted: it is split by simpler rules, and a Windows path holds no
// quotation mark) followed by the quoted arguments, separated by single blanks.
std::wstring ComposeWindowsCommandLine(const std::wstring& program,
                                       const std::vector<std::wstring>& arguments);

}  // namespace scrivora
