// The notes program: its command line, byte-exact standard streams, statuses and messages.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "notes/splitter.h"
#include "tests/support/test_support.h"

namespace scrivora {
namespace {

void ExpectProgramWritesWhatTheSplitterMakes(const std::string& input) {
  test::TempDir dir;
  test::WriteFile(dir / "in.rtf", input);
  for (const auto& [option, mode] : {std::pair{"-r", SplitMode::MainText},
                                     std::pair{"-x", SplitMode::Notes}}) {
    ASSERT_EQ(test::RunProgram(test::DistProgram("notes"), option, dir / "in.rtf", dir / "out",
                               dir / "err"),
              0)
        << option << ": " << test::ReadFile(dir / "err");
    std::string expected;
    ASSERT_TRUE(SplitDocument(input, expected, mode));
    EXPECT_TRUE(test::ReadFile(dir / "out") == expected) << option;
    EXPECT_EQ(test::ReadFile(dir / "err"), "") << option;
  }
}

TEST(NotesProgram, WritesWhatTheSplitterMakesByteForByte) {
  // CR LF line ends and a byte 0x1A in the text: nothing may be translated on the way in or out.
  std::string input = test::ReadFile(test::FixtureDir() / "libreoffice_notes.rtf");
  ASSERT_NE(input.find("\r\n"), std::string::npos);
  const std::size_t text = input.rfind("\\par ");
  ASSERT_NE(text, std::string::npos);
  input.insert(text, "\x1A");
  std::string main;
  ASSERT_TRUE(SplitDocument(input, main, SplitMode::MainText));
  ASSERT_NE(main.find('\x1A'), std::string::npos);
  ExpectProgramWritesWhatTheSplitterMakes(input);
}

TEST(NotesProgram, WritesWhatTheSplitterMakesOfACorpusDocument) {
  SCRIVORA_SKIP_WITHOUT_CORPUS();
  ExpectProgramWritesWhatTheSplitterMakes(
      test::ReadFile(test::CorpusDir() / "LibreOffice__tdf130817.rtf"));
}

TEST(NotesProgram, RefusesAMissingOrUnknownOption) {
  test::TempDir dir;
  test::WriteFile(dir / "in.rtf", "{\\rtf1 x}");
  for (const char* args : {"", "-y", "-r -x", "r"}) {
    EXPECT_EQ(test::RunProgram(test::DistProgram("notes"), args, dir / "in.rtf", dir / "out",
                               dir / "err"),
              2)
        << args;
    EXPECT_NE(test::ReadFile(dir / "err").find("Usage: notes -r"), std::string::npos) << args;
    EXPECT_EQ(test::ReadFile(dir / "out"), "") << args;
  }
}

TEST(NotesProgram, FailsWithAMessageOnBadInput) {
  test::TempDir dir;
  const std::pair<std::string, std::string> cases[] = {
      {"plain text", "not an RTF document"},
      {"{\\rtf1 {\\footnote unfinished", "truncated"},
      {"{\\rtf1 x}}", "unbalanced"},
  };
  for (const auto& [input, words] : cases) {
    test::WriteFile(dir / "in.rtf", input);
    for (const char* option : {"-r", "-x"}) {
      EXPECT_EQ(test::RunProgram(test::DistProgram("notes"), option, dir / "in.rtf", dir / "out",
                                 dir / "err"),
                1)
          << input;
      const std::string error = test::ReadFile(dir / "err");
      EXPECT_EQ(error.rfind("notes: ", 0), 0u) << error;
      EXPECT_NE(error.find(words), std::string::npos) << error;
    }
  }
}

#if !defined(_WIN32)
// Native only: the system's own failing streams (a folder as standard input, a full device as
// standard output), which Windows has no counterpart of.
TEST(NotesProgram, FailsWithTheSystemsReasonWhenAStreamFails) {
  test::TempDir dir;
  std::string large = "{\\rtf1\\ansi ";
  for (int i = 0; i < 10'000; ++i) large += "Word{\\super\\chftn}{\\footnote \\chftn Note.}\\par ";
  large += "}";
  test::WriteFile(dir / "small.rtf", "{\\rtf1 A{\\footnote N}}");
  test::WriteFile(dir / "large.rtf", large);  // fills the output buffers many times
  struct Case {
    const char* name;
    std::filesystem::path input;
    std::filesystem::path output;
    std::string message;
  };
  const Case cases[] = {
      {"a folder as input", dir.path(), dir / "out",
       "notes: the input could not be read (at byte 0): Is a directory\n"},
      {"full device, output written at the end", dir / "small.rtf", "/dev/full",
       "notes: the output could not be written: No space left on device\n"},
      {"full device, output written along the way", dir / "large.rtf", "/dev/full",
       "notes: the output could not be written: No space left on device\n"},
  };
  for (const Case& c : cases) {
    for (const char* option : {"-r", "-x"}) {
      const int status =
          test::RunProgram(test::DistProgram("notes"), option, c.input, c.output, dir / "err");
      EXPECT_EQ(status, 1) << c.name << " " << option;
      EXPECT_EQ(test::ReadFile(dir / "err"), c.message) << c.name << " " << option;
    }
  }
}
#endif

TEST(NotesProgram, WarnsAboutMiddleDotsInTheText) {
  test::TempDir dir;
  test::WriteFile(dir / "in.rtf", "{\\rtf1\\ansi a\\'b7b\\u183?c}");
  EXPECT_EQ(test::RunProgram(test::DistProgram("notes"), "-r", dir / "in.rtf", dir / "out",
                             dir / "err"),
            0);
  const std::string error = test::ReadFile(dir / "err");
  EXPECT_NE(error.find("warning"), std::string::npos) << error;
  EXPECT_NE(error.find("2 middle dots"), std::string::npos) << error;
}

}  // namespace
}  // namespace scrivora
