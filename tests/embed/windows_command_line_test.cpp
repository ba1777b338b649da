// Command lines for Windows children: each argument must arrive exactly as given.
#include "embed/windows_command_line.h"

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#endif

namespace scrivora {
namespace {

struct QuoteCase {
  std::wstring argument;
  std::wstring quoted;
};

const QuoteCase kQuoteCases[] = {
    {L"-r", L"-r"},
    {L"", L"\"\""},
    {L"a b", L"\"a b\""},
    {L"tab\there", L"\"tab\there\""},
    {L"say \"hi\"", L"\"say \\\"hi\\\"\""},
    {L"C:\\dir\\", L"C:\\dir\\"},  // nothing to quote: backslashes stay as they are
    {L"C:\\my dir\\", L"\"C:\\my dir\\\\\""},
    {L"a\\\"b", L"\"a\\\\\\\"b\""},
    {L"a\\\\b c", L"\"a\\\\b c\""},
    {L"&;$%^!", L"&;$%^!"},  // no interpreter reads the line: these need nothing
    {L"\u00FCber \u4E2D", L"\"\u00FCber \u4E2D\""},
};

TEST(WindowsCommandLine, QuotesOnlyWhatTheSplitterWouldChange) {
  for (const QuoteCase& c : kQuoteCases) {
    EXPECT_EQ(QuoteWindowsArgument(c.argument), c.quoted);
  }
}

TEST(WindowsCommandLine, ProgramIsAlwaysQuoted) {
  EXPECT_EQ(ComposeWindowsCommandLine(L"C:\\Tools\\notes.exe", {L"-r"}),
            L"\"C:\\Tools\\notes.exe\" -r");
  EXPECT_EQ(ComposeWindowsCommandLine(L"C:\\a b\\encrypt.exe", {}), L"\"C:\\a b\\encrypt.exe\"");
}

#if defined(_WIN32)
// The system's own splitter gives back every argument.
TEST(WindowsCommandLine, SystemSplitsItBack) {
  std::vector<std::wstring> arguments;
  for (const QuoteCase& c : kQuoteCases) arguments.push_back(c.argument);
  const std::wstring line = ComposeWindowsCommandLine(L"Z:\\a b\\notes.exe", arguments);
  int count = 0;
  wchar_t** split = CommandLineToArgvW(line.c_str(), &count);
  ASSERT_NE(split, nullptr);
  ASSERT_EQ(count, static_cast<int>(arguments.size()) + 1);
  EXPECT_EQ(std::wstring(split[0]), L"Z:\\a b\\notes.exe");
  for (std::size_t i = 0; i < arguments.size(); ++i)
    EXPECT_EQ(std::wstring(split[i + 1]), arguments[i]);
  LocalFree(split);
}
#endif

}  // namespace
}  // namespace scrivora
