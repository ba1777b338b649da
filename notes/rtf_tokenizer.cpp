#include "notes/rtf_tokenizer.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace scrivora::rtf {
namespace {

constexpr std::array<bool, 256> MakeSpecial() {
  std::array<bool, 256> special{};
  special['\\'] = special['{'] = special['}'] = true;
  return special;
}
constexpr std::array<bool, 256> kSpecial = MakeSpecial();

bool IsLetter(std::uint8_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }
int HexValue(std::uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The longest control token: backslash, name, sign, digits, delimiter.
constexpr std::size_t kControlLookahead =
    1 + Tokenizer::kMaxWordLength + 1 + Tokenizer::kMaxParameterDigits + 2;

}  // namespace

Word LookUpWord(std::string_view w) {
  switch (w[0]) {
    case 'a':
      if (w == "ansicpg") return Word::Ansicpg;
      break;
    case 'b':
      if (w == "bin") return Word::Bin;
      if (w == "bullet") return Word::Character;
      break;
    case 'c':
      if (w == "chftn") return Word::Chftn;
      if (w == "cell" || w == "column" || w == "chpgn") return Word::Character;
      break;
    case 'e':
      if (w == "emdash" || w == "endash" || w == "emspace" || w == "enspace") return Word::Character;
      break;
    case 'f':
      if (w == "ftnalt") return Word::Ftnalt;
      break;
    case 'l':
      if (w == "line" || w == "lquote" || w == "ldblquote" || w == "ltrmark") return Word::Character;
      break;
    case 'm':
      if (w == "mac") return Word::Mac;
      break;
    case 'n':
      if (w == "nestcell") return Word::Character;
      break;
    case 'p':
      if (w == "par") return Word::Par;
      if (w == "page") return Word::Character;
      if (w == "pc") return Word::Pc;
      if (w == "pca") return Word::Pca;
      break;
    case 'q':
      if (w == "qmspace") return Word::Character;
      break;
    case 'r':
      if (w == "row" || w == "rquote" || w == "rdblquote" || w == "rtlmark") return Word::Character;
      break;
    case 's':
      if (w == "sect" || w == "softline") return Word::Character;
      break;
    case 't':
      if (w == "tab") return Word::Character;
      break;
    case 'u':
      if (w == "u") return Word::U;
      if (w == "uc") return Word::Uc;
      break;
    case 'z':
      if (w == "zwj" || w == "zwnj") return Word::Character;
      break;
    default:
      break;
  }
  return Word::Other;
}

Tokenizer::Tokenizer(ByteSource& source, std::size_t bufferSize)
    : source_(source), buffer_(std::max<std::size_t>(bufferSize, 4 * kControlLookahead)) {}

bool Tokenizer::Ensure(std::size_t count) {
  if (end_ - pos_ >= count) return true;
  if (eof_) return false;
  if (pos_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
    base_ += pos_;
    end_ -= pos_;
    pos_ = 0;
  }
  while (end_ < count && !eof_) {
    const std::ptrdiff_t got = source_.Read(buffer_.data() + end_, buffer_.size() - end_);
    if (got < 0) {
      eof_ = true;
      error_ = TokenError::ReadFailed;
      errorOffset_ = base_ + end_;
      return false;
    }
    if (got == 0) eof_ = true;
    end_ += static_cast<std::size_t>(got);
  }
  return end_ - pos_ >= count;
}

bool Tokenizer::Fail(TokenError error, std::uint64_t offset) {
  if (error_ == TokenError::None) {
    error_ = error;
    errorOffset_ = offset;
  }
  return false;
}

void Tokenizer::NoteSkippedCharacter(Token& token) {
  if (skip_ > 0) {
    token.fallback = true;
    --skip_;
  }
}

bool Tokenizer::Next(Token& token) {
  if (error_ != TokenError::None) return false;
  token = Token{};

  if (binRemaining_ > 0) {
    if (!Ensure(1)) {
      return Fail(error_ == TokenError::ReadFailed ? error_ : TokenError::Truncated, Offset());
    }
    const std::size_t count = static_cast<std::size_t>(
        std::min<std::uint64_t>(static_cast<std::uint64_t>(binRemaining_), end_ - pos_));
    token.kind = TokenKind::BinaryData;
    token.offset = Offset();
    token.raw = {reinterpret_cast<const char*>(buffer_.data() + pos_), count};
    token.fallback = binFallback_;
    pos_ += count;
    binRemaining_ -= static_cast<std::int64_t>(count);
    return true;
  }

  if (!Ensure(1)) {
    if (error_ == TokenError::ReadFailed) return false;
    token.kind = TokenKind::End;
    token.offset = Offset();
    return true;
  }

  const std::uint8_t* const data = buffer_.data();
  token.offset = Offset();
  const std::uint8_t c = data[pos_];
  if (c == '{') {
    ucStack_.push_back(uc_);
    skip_ = 0;
    token.kind = TokenKind::GroupOpen;
    token.raw = {reinterpret_cast<const char*>(data + pos_), 1};
    ++pos_;
    return true;
  }
  if (c == '}') {
    if (ucStack_.empty()) return Fail(TokenError::UnbalancedClose, Offset());
    uc_ = ucStack_.back();
    ucStack_.pop_back();
    skip_ = 0;
    token.kind = TokenKind::GroupClose;
    token.raw = {reinterpret_cast<const char*>(data + pos_), 1};
    ++pos_;
    return true;
  }
  if (c == '\\') return ReadControl(token);

  // A text run. While fallback characters are being skipped, the run stops after them so that
  // the skipped bytes form a token of their own; line ends are no characters.
  std::size_t i = pos_;
  if (skip_ > 0) {
    while (i < end_ && !kSpecial[data[i]] && skip_ > 0) {
      if (data[i] != '\r' && data[i] != '\n') --skip_;
      ++i;
    }
    token.fallback = true;
  } else {
    while (i < end_ && !kSpecial[data[i]]) ++i;
  }
  token.kind = TokenKind::Text;
  token.raw = {reinterpret_cast<const char*>(data + pos_), i - pos_};
  pos_ = i;
  return true;
}

bool Tokenizer::ReadControl(Token& token) {
  Ensure(kControlLookahead);
  const std::uint8_t* const data = buffer_.data();
  const std::size_t start = pos_;
  if (end_ - start < 2) return Fail(TokenError::Truncated, Offset());
  const std::uint8_t first = data[start + 1];

  if (!IsLetter(first)) {
    if (first == '\'') {
      if (end_ - start < 4) return Fail(TokenError::Truncated, Offset());
      const int high = HexValue(data[start + 2]);
      const int low = HexValue(data[start + 3]);
      if (high >= 0 && low >= 0) {
        token.kind = TokenKind::HexByte;
        token.value = static_cast<std::uint8_t>(high * 16 + low);
        token.raw = {reinterpret_cast<const char*>(data + start), 4};
        pos_ = start + 4;
        NoteSkippedCharacter(token);
        return true;
      }
    }
    token.kind = TokenKind::ControlSymbol;
    token.value = (first == '\r') ? static_cast<std::uint8_t>('\n') : first;
    token.raw = {reinterpret_cast<const char*>(data + start), 2};
    pos_ = start + 2;
    if (first != '*') NoteSkippedCharacter(token);
    return true;
  }

  std::size_t i = start + 1;
  while (i < end_ && IsLetter(data[i])) {
    if (i - start > kMaxWordLength) return Fail(TokenError::OverlongControl, Offset());
    ++i;
  }
  token.kind = TokenKind::ControlWord;
  token.name = {reinterpret_cast<const char*>(data + start + 1), i - start - 1};
  bool negative = false;
  if (i < end_ && data[i] == '-' && i + 1 < end_ && IsDigit(data[i + 1])) {
    negative = true;
    ++i;
  }
  if (i < end_ && IsDigit(data[i])) {
    const std::size_t digitsStart = i;
    std::int64_t value = 0;
    while (i < end_ && IsDigit(data[i])) {
      if (i - digitsStart >= kMaxParameterDigits) return Fail(TokenError::OverlongControl, Offset());
      // Saturates instead of overflowing: no RTF value comes near it.
      if (value < (INT64_MAX - 9) / 10) value = value * 10 + (data[i] - '0');
      ++i;
    }
    token.hasParameter = true;
    token.parameter = negative ? -value : value;
  }
  if (i == end_ && !eof_) return Fail(TokenError::OverlongControl, Offset());
  if (i < end_ && data[i] == ' ') ++i;  // the delimiting space belongs to the control word
  token.raw = {reinterpret_cast<const char*>(data + start), i - start};
  pos_ = i;

  token.word = LookUpWord(token.name);
  if (skip_ > 0) {
    NoteSkippedCharacter(token);
  } else if (token.word == Word::U) {
    skip_ = uc_;
  } else if (token.word == Word::Uc) {
    uc_ = static_cast<std::uint16_t>(std::clamp<std::int64_t>(token.parameter, 0, 255));
  }
  if (token.word == Word::Bin && token.parameter > 0) {
    binRemaining_ = token.parameter;
    binFallback_ = token.fallback;  // the data of a skipped \bin is skipped with it
  }
  return true;
}

}  // namespace scrivora::rtf
