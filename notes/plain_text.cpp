#include "notes/plain_text.h"

#include <vector>

#include "notes/destinations.h"
#include "notes/rtf_tokenizer.h"

namespace scrivora {
namespace {

using rtf::Destination;
using rtf::Token;
using rtf::TokenKind;

struct TextGroup {
  bool textual = true;
  bool inNote = false;
  bool noteRoot = false;
};

char32_t WordCharacter(std::string_view word) {
  if (word == "par" || word == "line" || word == "sect" || word == "page" || word == "cell" ||
      word == "row" || word == "nestcell" || word == "column" || word == "softline") {
    return U'\n';
  }
  if (word == "tab") return U'\t';
  if (word == "emdash") return U'\u2014';
  if (word == "endash") return U'\u2013';
  if (word == "emspace" || word == "enspace" || word == "qmspace") return U' ';
  if (word == "bullet") return U'\u2022';
  if (word == "lquote") return U'\u2018';
  if (word == "rquote") return U'\u2019';
  if (word == "ldblquote") return U'\u201C';
  if (word == "rdblquote") return U'\u201D';
  return 0;
}

}  // namespace

PlainText ExtractPlainText(std::string_view rtf) {
  PlainText text;
  MemorySource source(rtf);
  rtf::Tokenizer tokenizer(source);
  std::vector<TextGroup> groups{TextGroup{}};
  bool opening = false;
  bool starred = false;
  Token token;
  for (;;) {
    if (!tokenizer.Next(token)) return text;
    if (token.kind == TokenKind::End) break;
    if (opening) {
      if (token.kind == TokenKind::ControlSymbol && token.value == '*') {
        starred = true;
        continue;
      }
      if (token.kind == TokenKind::Text && token.raw.find_first_not_of("\r\n") == std::string_view::npos) {
        continue;
      }
      opening = false;
      TextGroup group = groups.back();
      group.noteRoot = false;
      Destination destination = starred ? Destination::NonText : Destination::Plain;
      if (token.kind == TokenKind::ControlWord) {
        destination = rtf::ClassifyDestination(token.name, starred);
      }
      if (destination == Destination::Note && group.textual && !group.inNote) {
        group.inNote = true;
        group.noteRoot = true;
        ++text.noteGroups;
      } else if (destination == Destination::Ignored || destination == Destination::NonText ||
                 destination == Destination::HeaderTable) {
        group.textual = false;
      }
      groups.push_back(group);
    }
    const TextGroup& group = groups.back();
    std::u32string& out = group.inNote ? text.notes : text.main;
    switch (token.kind) {
      case TokenKind::GroupOpen:
        opening = true;
        starred = false;
        break;
      case TokenKind::GroupClose:
        if (group.noteRoot) text.notes.push_back(U'\n');
        if (groups.size() > 1) groups.pop_back();
        break;
      case TokenKind::Text:
        if (!group.textual || token.fallback) break;
        for (const char c : token.raw) {
          if (c != '\r' && c != '\n') out.push_back(static_cast<unsigned char>(c));
        }
        break;
      case TokenKind::HexByte:
        if (group.textual && !token.fallback) out.push_back(token.value);
        break;
      case TokenKind::ControlSymbol:
        if (!group.textual || token.fallback) break;
        switch (token.value) {
          case '~': out.push_back(U'\u00A0'); break;
          case '_': out.push_back(U'\u2011'); break;
          case '\n': out.push_back(U'\n'); break;
          case '\\': case '{': case '}': out.push_back(token.value); break;
          default: break;
        }
        break;
      case TokenKind::ControlWord:
        if (!group.textual || token.fallback) break;
        if (token.name == "u") {
          out.push_back(static_cast<char32_t>(token.parameter < 0 ? token.parameter + 65536
                                                                  : token.parameter));
        } else if (const char32_t c = WordCharacter(token.name); c != 0) {
          out.push_back(c);
        }
        break;
      default: break;
    }
  }
  text.ok = tokenizer.depth() == 0;
  return text;
}

}  // namespace scrivora
