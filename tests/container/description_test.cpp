#include "container/description.h"

#include <gtest/gtest.h>

#include <string>

namespace scrivora {
namespace {

TEST(Description, Split) {
  const std::string letters100(100, 'T');
  const std::string letters80(80, 'T');
  struct Case {
    std::string text, title, description;
  };
  const Case cases[] = {
      {"Thirteen char\r\nAbout it.\r\n", "Thirteen char", "About it.\r\n"},
      {"Title only\r\n", "Title only", ""},
      {"Lone line feed\nrest", "Lone line feed", "rest"},  // last letter kept
      {"No line end at all", "No line end at all", ""},
      {"", "", ""},
      {"\r\nDescription after an empty title", "", "Description after an empty title"},
      {"CR alone\rstays in the title\r\nrest", "CR alone\rstays in the title", "rest"},
      {letters80 + "\r\nNext", letters80, "Next"},     // nothing of the line end is left over
      {letters100 + "\r\nNext", letters100, "Next"},   // characters 80 and 81 are not lost
  };
  for (const Case& c : cases) {
    const DescriptionParts parts = SplitDescription(c.text);
    EXPECT_EQ(parts.title, c.title) << c.text;
    EXPECT_EQ(parts.description, c.description) << c.text;
  }
}

TEST(Description, DisplayTitleIsCutTo79Characters) {
  const std::string t79(79, 'a'), t80(80, 'a');
  EXPECT_EQ(CutTitleForDisplay(std::string_view(t79)), t79);
  EXPECT_EQ(CutTitleForDisplay(std::string_view(t80)), t79);
  EXPECT_EQ(CutTitleForDisplay(std::string_view("short")), "short");
}

TEST(Description, DisplayTitleNeverSplitsACharacter) {
  // 78 ASCII letters, then a two-byte and a three-byte UTF-8 character.
  const std::string utf8 = std::string(78, 'a') + "\xC3\xA9" + "\xE2\x82\xAC";
  EXPECT_EQ(CutTitleForDisplay(std::string_view(utf8)), std::string(78, 'a') + "\xC3\xA9");
  // 78 UTF-16 units, then a surrogate pair: the pair is the 79th character and stays whole.
  const std::u16string utf16 = std::u16string(78, u'a') + u"\U0001F600" + u"b";
  EXPECT_EQ(CutTitleForDisplay(std::u16string_view(utf16)),
            std::u16string(78, u'a') + u"\U0001F600");
}

TEST(Description, Encoding) {
  struct Case {
    std::string text;
    TextEncoding expected;
  };
  const Case cases[] = {
      {"plain ASCII\r\n", TextEncoding::Utf8},
      {"Caf\xC3\xA9\r\n", TextEncoding::Utf8},
      {"\xEF\xBB\xBF" "Caf\xC3\xA9\r\n", TextEncoding::Utf8Bom},
      {"Caf\xE9\r\n", TextEncoding::Ansi},           // Windows-1252 e acute
      {"\xC3", TextEncoding::Ansi},                  // truncated sequence
      {"\xC0\xAF", TextEncoding::Ansi},              // overlong
      {"\xED\xA0\x80", TextEncoding::Ansi},          // surrogate
      {"\xF4\x90\x80\x80", TextEncoding::Ansi},      // past U+10FFFF
      {"\xF0\x9F\x98\x80", TextEncoding::Utf8},      // emoji
  };
  for (const Case& c : cases) EXPECT_EQ(DetectEncoding(c.text), c.expected) << c.text;
  EXPECT_EQ(StripUtf8Bom("\xEF\xBB\xBFx"), "x");
  EXPECT_EQ(StripUtf8Bom("x"), "x");
}

}  // namespace
}  // namespace scrivora
