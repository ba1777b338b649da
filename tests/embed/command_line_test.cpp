// The packaging tool's argument table: which command lines parse, and to what.
#include "embed/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scrivora {
namespace {

NativeString Native(const std::string& ascii) { return NativeString(ascii.begin(), ascii.end()); }

struct ArgumentCase {
  std::vector<std::string> arguments;
  bool usage;  // the usage text, status 1
  std::int32_t permissions = 0;
  std::int32_t notesPercent = 0;
  std::string rtfSource = "a.rtf";
  std::string description = "d.txt";
};

TEST(CommandLine, ArgumentTable) {
  const ArgumentCase cases[] = {
      {{}, true},
      {{"a.rtf"}, true},
      {{"-c"}, true},
      {{"-c", "a.rtf"}, true},
      {{"a.rtf", "d.txt"}, false, 7, 30},
      {{"-c", "a.rtf", "d.txt"}, false, 6, 30},
      {{"-C", "a.rtf", "d.txt"}, false, 6, 30},
      {{"-PA", "/0", "a.rtf", "d.txt"}, false, 3, 0},
      {{"-pA", "a.rtf", "d.txt"}, false, 3, 30},
      {{"-c", "-p", "a.rtf", "d.txt"}, false, 0, 30},
      {{"-c", "-pa", "a.rtf", "d.txt"}, false, 2, 30},
      {{"-P", "a.rtf", "d.txt"}, false, 1, 30},
      {{"-c", "-P", "/5", "a.rtf", "d.txt"}, false, 0, 5},
      // -c counts only as the first argument, and each option only at its place.
      {{"-p", "-c", "a.rtf", "d.txt"}, true},
      {{"-p", "-pa", "a.rtf", "d.txt"}, true},
      {{"/20", "-c", "a.rtf", "d.txt"}, true},
      {{"-c", "-c", "a.rtf", "d.txt"}, true},
      {{"/abc", "a.rtf", "d.txt"}, true},
      {{"a.rtf", "d.txt", "extra"}, true},
      // An argument that is no option at its place is an operand.
      {{"/abc", "d.txt"}, false, 7, 30, "/abc"},
      {{"-x", "d.txt"}, false, 7, 30, "-x"},
      {{"-c", "-p", "d.txt"}, true},
      {{"-p", "-p", "d.txt"}, false, 1, 30, "-p"},
      {{"-c", "/", "d.txt"}, false, 6, 30, "/"},
      {{"/20", "/30", "d.txt"}, false, 7, 20, "/30"},
      // The digits after the slash up to the first non-digit, not range-checked.
      {{"/15x", "a.rtf", "d.txt"}, false, 7, 15},
      {{"/150", "a.rtf", "d.txt"}, false, 7, 150},
      {{"/007", "a.rtf", "d.txt"}, false, 7, 7},
      {{"/9-1", "a.rtf", "d.txt"}, false, 7, 9},
      // Too large for the trailer: the largest value, never a negative height.
      {{"/99999999999", "a.rtf", "d.txt"}, false, 7, 2147483647},
      {{"/2147483648", "a.rtf", "d.txt"}, false, 7, 2147483647},
      {{"/2147483647", "a.rtf", "d.txt"}, false, 7, 2147483647},
      // Letter case is folded for ASCII letters only: a near-miss is an operand.
      {{"-\xC3\x87", "a.rtf", "d.txt"}, true},
      {{"-c ", "a.rtf", "d.txt"}, true},
      {{"a b.rtf", "d e.txt"}, false, 7, 30, "a b.rtf", "d e.txt"},
  };
  for (const ArgumentCase& c : cases) {
    std::vector<NativeString> arguments;
    std::string shown;
    for (const std::string& a : c.arguments) {
      arguments.push_back(Native(a));
      shown += " [" + a + "]";
    }
    SCOPED_TRACE("arguments:" + shown);
    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    ASSERT_EQ(parsed.usage, c.usage);
    if (c.usage) continue;
    EXPECT_EQ(parsed.options.permissions, c.permissions);
    EXPECT_EQ(parsed.options.notesPercent, c.notesPercent);
    EXPECT_EQ(parsed.options.rtfSource, std::filesystem::path(Native(c.rtfSource)));
    EXPECT_EQ(parsed.options.description, std::filesystem::path(Native(c.description)));
  }
}

TEST(CommandLine, UsageTextIsTheTenLines) {
  const std::string expected =
      std::string("\n") +
      "Usage: embed [ -c ] [ -p | -pa ] [ /size ] RTF-source-file summary-TEXT-file\n" + "\n" +
      "               -c  forbids clipboard operations\n" +
      "               -p  forbids all printing operations\n" +
      "               -pa forbids whole text printing\n" + "\n" +
      "size gives the height of the footnotes window in percent of the whole window's\n" +
      "(0: no footnote displayed; default: 30%)\n" + "\n";
  EXPECT_EQ(std::string(kUsageText), expected);
  EXPECT_EQ(std::count(kUsageText.begin(), kUsageText.end(), '\n'), 10);
  EXPECT_EQ(kUsageText.find('\r'), std::string_view::npos);
}

}  // namespace
}  // namespace scrivora
