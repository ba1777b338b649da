#include "embed/windows_command_line.h"

namespace scrivora {

std::wstring QuoteWindowsArgument(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    return argument;
  }
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes are literal unless a quotation mark follows them: then each is doubled and
    // the mark itself is escaped.
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    quoted.push_back(c);
    backslashes = 0;
  }
  // Those before the closing mark are doubled, so the mark still closes the argument.
  quoted.append(2 * backslashes, L'\\');
  quoted.push_back(L'"');
  return quoted;
}

std::wstring ComposeWindowsCommandLine(const std::wstring& program,
                                       const std::vector<std::wstring>& arguments) {
  std::wstring line = L"\"" + program + L"\"";
  for (const std::wstring& argument : arguments) {
    line.push_back(L' ');
    line += QuoteWindowsArgument(argument);
  }
  return line;
}

}  // namespace scrivora
