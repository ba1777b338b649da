// Splits an RTF byte stream into tokens without holding the whole document: braces, control
// words with their parameters, control symbols, \'hh bytes, text runs and \binN data. It keeps
// the group nesting on a heap stack (any depth, no recursion) with each group's \ucN setting,
// and marks the tokens that are the fallback of a preceding \uN.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "notes/byte_stream.h"

namespace scrivora::rtf {

enum class TokenKind : std::uint8_t {
  GroupOpen,      // {
  GroupClose,     // }
  ControlWord,    // \letters with an optional signed parameter; `name` and `parameter`
  ControlSymbol,  // \ and one non-letter; `value` is that byte (\ and a line end gives '\n')
  HexByte,        // \'hh; `value` is the byte
  Text,           // a run of bytes other than \ { }; line ends are part of runs
  BinaryData,     // a piece of the raw data of \binN (any bytes, braces included)
  End,            // the end of the input
};

// Control words that the splitter acts on, recognised once by the tokenizer.
enum class Word : std::uint8_t {
  Other,      // formatting and everything else
  Character,  // stands for a character or a break of the text: \tab, \emdash, \line ...
  Par,        // \par
  U,          // \uN
  Uc,         // \ucN
  Bin,        // \binN
  Chftn,      // the automatic note number
  Ftnalt,     // marks a note as an endnote
  Ansicpg,    // \ansicpgN
  Mac,        // code page 10000
  Pc,         // code page 437
  Pca,        // code page 850
};

Word LookUpWord(std::string_view name);

struct Token {
  TokenKind kind = TokenKind::End;
  std::string_view raw;        // the token's bytes as in the input (valid until the next token)
  std::string_view name;       // a control word's letters
  Word word = Word::Other;     // what a control word is to the splitter
  std::int64_t parameter = 0;  // a control word's parameter (0 when it has none)
  bool hasParameter = false;
  std::uint8_t value = 0;      // a control symbol's byte or a \'hh byte
  bool fallback = false;       // skipped by a Unicode reader: the \ucN fallback of a \uN
  std::uint64_t offset = 0;    // offset of the token's first byte in the input
};

enum class TokenError : std::uint8_t {
  None,
  Truncated,         // the input ends inside a control word, a \'hh or \binN data
  UnbalancedClose,   // a closing brace with no group open
  OverlongControl,   // a control word name or parameter longer than any RTF writer makes
  ReadFailed,        // the source reported a read error
};

class Tokenizer {
 public:
  explicit Tokenizer(ByteSource& source, std::size_t bufferSize = 256 * 1024);

  // Reads the next token. Returns false on bad input (see error()); an End token at the end.
  bool Next(Token& token);

  TokenError error() const { return error_; }
  std::uint64_t errorOffset() const { return errorOffset_; }
  // Groups open after the last token.
  std::size_t depth() const { return ucStack_.size(); }
  // The \ucN in effect after the last token.
  int unicodeFallback() const { return uc_; }

  static constexpr std::size_t kMaxWordLength = 64;
  static constexpr std::size_t kMaxParameterDigits = 20;

 private:
  bool Ensure(std::size_t count);
  bool Fail(TokenError error, std::uint64_t offset);
  bool ReadControl(Token& token);
  void NoteSkippedCharacter(Token& token);
  std::uint64_t Offset() const { return base_ + pos_; }

  ByteSource& source_;
  std::vector<std::uint8_t> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  std::uint64_t base_ = 0;  // input offset of buffer_[0]
  bool eof_ = false;
  std::vector<std::uint16_t> ucStack_;  // the enclosing groups' \ucN
  std::uint16_t uc_ = 1;
  std::int64_t skip_ = 0;          // fallback characters still to skip
  std::int64_t binRemaining_ = 0;  // \binN data bytes still to deliver
  bool binFallback_ = false;
  TokenError error_ = TokenError::None;
  std::uint64_t errorOffset_ = 0;
};

}  // namespace scrivora::rtf
