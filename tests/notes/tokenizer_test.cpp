// The tokenizer: control words and symbols, \'hh, \uN fallbacks, \binN data, nesting, errors.
#include "notes/rtf_tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace scrivora::rtf {
namespace {

// One line a token: kind, then what matters for it; a trailing '~' marks a fallback token.
std::string Describe(const Token& token) {
  std::string text;
  switch (token.kind) {
    case TokenKind::GroupOpen: text = "{"; break;
    case TokenKind::GroupClose: text = "}"; break;
    case TokenKind::ControlWord:
      text = "w:" + std::string(token.name);
      if (token.hasParameter) text += "=" + std::to_string(token.parameter);
      break;
    case TokenKind::ControlSymbol: text = std::string("s:") + static_cast<char>(token.value); break;
    case TokenKind::HexByte: text = "h:" + std::to_string(token.value); break;
    case TokenKind::Text: text = "t:" + std::string(token.raw); break;
    case TokenKind::BinaryData: text = "b:" + std::string(token.raw); break;
    case TokenKind::End: text = "end"; break;
  }
  if (token.fallback) text += "~";
  return text;
}

struct Tokens {
  std::vector<std::string> tokens;
  TokenError error = TokenError::None;
  std::uint64_t errorOffset = 0;
};

Tokens Tokenize(std::string_view input, std::size_t bufferSize = 1024) {
  MemorySource source(input);
  Tokenizer tokenizer(source, bufferSize);
  Tokens result;
  Token token;
  while (tokenizer.Next(token) && token.kind != TokenKind::End) {
    result.tokens.push_back(Describe(token));
  }
  result.error = tokenizer.error();
  result.errorOffset = tokenizer.errorOffset();
  return result;
}

struct TokenCase {
  const char* name;
  std::string input;
  std::vector<std::string> expected;
};

TEST(Tokenizer, ReadsEachKindOfToken) {
  const TokenCase cases[] = {
      {"word with parameter and delimiter", "\\fs24 x", {"w:fs=24", "t:x"}},
      {"negative parameter", "\\li-360\\b", {"w:li=-360", "w:b"}},
      {"hyphen without digits is text", "\\b-x", {"w:b", "t:-x"}},
      {"delimiting space belongs to the word", "\\par  two", {"w:par", "t: two"}},
      {"control symbols", "\\~\\-\\{\\}\\\\", {"s:~", "s:-", "s:{", "s:}", "s:\\"}},
      {"backslash and line end is a paragraph", "a\\\r\nb", {"t:a", "s:\n", "t:\nb"}},
      {"hex byte", "\\'b7\\'E9x", {"h:183", "h:233", "t:x"}},
      {"star destination", "{\\*\\themedata 0a}", {"{", "s:*", "w:themedata", "t:0a", "}"}},
      {"line ends stay in text runs", "a\r\nb", {"t:a\r\nb"}},
      {"unicode with default fallback of one", "\\u8230\\'85x", {"w:u=8230", "h:133~", "t:x"}},
      {"unicode fallback in text", "\\u8220?q", {"w:u=8220", "t:?~", "t:q"}},
      {"negative unicode", "\\u-10240?", {"w:u=-10240", "t:?~"}},
      {"uc0 skips nothing", "\\uc0\\u183 x", {"w:uc=0", "w:u=183", "t:x"}},
      {"uc2 skips two", "\\uc2\\u183\\'b7\\'b7z", {"w:uc=2", "w:u=183", "h:183~", "h:183~", "t:z"}},
      {"line ends are not fallback characters", "\\u183\r\n?z", {"w:u=183", "t:\r\n?~", "t:z"}},
      {"fallback ends at a brace",
       "{\\uc3\\u183 a}b",
       {"{", "w:uc=3", "w:u=183", "t:a~", "}", "t:b"}},
      {"uc is scoped to its group",
       "{\\uc2 }\\u183 ab",
       {"{", "w:uc=2", "}", "w:u=183", "t:a~", "t:b"}},
      {"binary data holds braces and backslashes",
       "{\\bin5 {}\\\\}x",
       {"{", "w:bin=5", "b:{}\\\\}", "t:x"}},
      {"bin without length has no data", "\\bin x", {"w:bin", "t:x"}},
      {"a skipped bin skips its data", "\\u183\\bin2 {}x", {"w:u=183", "w:bin=2~", "b:{}~", "t:x"}},
  };
  for (const TokenCase& c : cases) {
    const Tokens tokens = Tokenize(c.input);
    EXPECT_EQ(tokens.error, TokenError::None) << c.name;
    EXPECT_EQ(tokens.tokens, c.expected) << c.name;
  }
}

TEST(Tokenizer, ReportsBadInputWithItsOffset) {
  struct ErrorCase {
    std::string input;
    TokenError error;
    std::uint64_t offset;
  };
  const ErrorCase cases[] = {
      {"{a}}", TokenError::UnbalancedClose, 3},
      {"{\\", TokenError::Truncated, 1},
      {"{\\'4", TokenError::Truncated, 1},
      {"{\\bin10 abc", TokenError::Truncated, 11},
      {"{\\" + std::string(200, 'a') + "}", TokenError::OverlongControl, 1},
      {"{\\fs" + std::string(40, '9') + "}", TokenError::OverlongControl, 1},
  };
  for (const ErrorCase& c : cases) {
    const Tokens tokens = Tokenize(c.input);
    EXPECT_EQ(tokens.error, c.error) << c.input.substr(0, 20);
    EXPECT_EQ(tokens.errorOffset, c.offset) << c.input.substr(0, 20);
  }
}

TEST(Tokenizer, NestsFarDeeperThanAnyStack) {
  const std::size_t depth = 1'000'000;
  const std::string input = std::string(depth, '{') + "x" + std::string(depth, '}');
  MemorySource source(input);
  Tokenizer tokenizer(source);
  Token token;
  std::size_t deepest = 0;
  while (tokenizer.Next(token) && token.kind != TokenKind::End) {
    deepest = std::max(deepest, tokenizer.depth());
  }
  EXPECT_EQ(tokenizer.error(), TokenError::None);
  EXPECT_EQ(deepest, depth);
  EXPECT_EQ(tokenizer.depth(), 0u);
}

// Reads in pieces of one to seven bytes, as a slow pipe might deliver them.
class TrickleSource final : public ByteSource {
 public:
  explicit TrickleSource(std::string_view bytes) : bytes_(bytes) {}
  std::ptrdiff_t Read(std::uint8_t* buffer, std::size_t capacity) override {
    const std::size_t count = std::min({capacity, bytes_.size() - pos_, 1 + pos_ % 7});
    std::copy_n(bytes_.data() + pos_, count, buffer);
    pos_ += count;
    return static_cast<std::ptrdiff_t>(count);
  }

 private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
};

// Tokens do not depend on how the input arrives or on the size of the tokenizer's buffer.
void ExpectSameTokensWhateverTheReads(const std::filesystem::path& path) {
  SCOPED_TRACE(path.filename().string());
  std::string document = test::ReadFile(path);
  document += "{\\pict\\bin300 " + std::string(300, '}') + "}";
  const Tokens whole = Tokenize(document, 1 << 20);
  TrickleSource trickle(document);
  Tokenizer tokenizer(trickle, 64);  // the smallest buffer, refilled all the time
  Token token;
  std::vector<std::string> pieces;
  std::string binary;
  while (tokenizer.Next(token) && token.kind != TokenKind::End) {
    if (token.kind == TokenKind::BinaryData) {
      binary += token.raw;  // binary data may come in several tokens
      continue;
    }
    if (!binary.empty()) pieces.push_back("b:" + std::exchange(binary, {}));
    pieces.push_back(Describe(token));
  }
  if (!binary.empty()) pieces.push_back("b:" + binary);
  ASSERT_EQ(tokenizer.error(), TokenError::None);
  // Text runs may be cut at other places: compare with runs joined.
  auto join = [](const std::vector<std::string>& tokens) {
    std::vector<std::string> joined;
    for (const std::string& t : tokens) {
      if (!joined.empty() && t.rfind("t:", 0) == 0 && joined.back().rfind("t:", 0) == 0 &&
          t.back() != '~' && joined.back().back() != '~') {
        joined.back() += t.substr(2);
      } else {
        joined.push_back(t);
      }
    }
    return joined;
  };
  EXPECT_EQ(join(pieces), join(whole.tokens));
}

TEST(Tokenizer, GivesTheSameTokensWhateverTheReadsAndBufferSize) {
  ExpectSameTokensWhateverTheReads(test::FixtureDir() / "word_notes.rtf");
}

TEST(Tokenizer, GivesTheSameTokensForACorpusDocument) {
  SCRIVORA_SKIP_WITHOUT_CORPUS();
  ExpectSameTokensWhateverTheReads(test::CorpusDir() / "tika__testRTFVarious.rtf");
}

}  // namespace
}  // namespace scrivora::rtf
