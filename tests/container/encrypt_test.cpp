// The encrypt program writes exactly what the encoder makes of its standard input.
#include <gtest/gtest.h>

#include <string>

#include "container/stream_codec.h"
#include "tests/support/test_support.h"

namespace scrivora {
namespace {

void ExpectEncryptMatchesTheEncoder(const std::string& input) {
  test::TempDir dir;
  test::WriteFile(dir / "in", input);
  ASSERT_EQ(test::RunProgram(test::DistProgram("encrypt"), "", dir / "in", dir / "out"), 0);
  const std::string out = test::ReadFile(dir / "out");
  EXPECT_EQ(out.size(), input.size());
  EXPECT_TRUE(out == EncodeStream(input)) << "input of " << input.size() << " bytes";
}

TEST(EncryptProgram, MatchesTheEncoder) {
  std::string binary;
  for (int i = 0; i < 70000; ++i) binary.push_back(static_cast<char>((i * 7919) >> 3));
  const std::string inputs[] = {"", "{\\rtf1 hello}\r\n", binary + "\x1A\r\n\n\r" + binary,
                                test::ReadFile(test::FixtureDir() / "word_notes.rtf")};
  for (const std::string& input : inputs) ExpectEncryptMatchesTheEncoder(input);
}

TEST(EncryptProgram, MatchesTheEncoderOnACorpusDocument) {
  SCRIVORA_SKIP_WITHOUT_CORPUS();
  ExpectEncryptMatchesTheEncoder(test::ReadFile(test::CorpusDir() / "pandoc__writer.rtf"));
}

TEST(EncryptProgram, RefusesArguments) {
  test::TempDir dir;
  test::WriteFile(dir / "in", "x");
  EXPECT_NE(test::RunProgram(test::DistProgram("encrypt"), "extra", dir / "in", dir / "out",
                             dir / "err"),
            0);
  EXPECT_NE(test::ReadFile(dir / "err").find("Usage"), std::string::npos);
}

}  // namespace
}  // namespace scrivora
