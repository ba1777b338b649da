#include "notes/splitter.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "notes/destinations.h"
#include "notes/marker_labels.h"
#include "notes/rtf_tokenizer.h"

namespace scrivora {
namespace {

using rtf::Destination;
using rtf::Token;
using rtf::TokenKind;
using rtf::Word;

// Writes through a buffer, so the sink sees few large writes; a failed write is kept.
class Output {
 public:
  explicit Output(ByteSink& sink) : sink_(sink), buffer_(kSize) {}
  void Write(std::string_view bytes) {
    if (bytes.size() > kSize - used_) {
      Flush();
      if (bytes.size() > kSize) {
        Send(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        return;
      }
    }
    std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
  }
  bool Flush() {
    Send(buffer_.data(), used_);
    used_ = 0;
    return !failed_;
  }
  bool failed() const { return failed_; }

 private:
  static constexpr std::size_t kSize = 64 * 1024;
  void Send(const std::uint8_t* bytes, std::size_t length) {
    if (!failed_ && length > 0) failed_ = !sink_.Write(bytes, length);
  }
  ByteSink& sink_;
  std::vector<std::uint8_t> buffer_;
  std::size_t used_ = 0;
  bool failed_ = false;
};

struct Group {
  bool emit = false;      // this mode writes what the group holds
  bool dropped = false;   // an ignored destination, or inside one
  bool textual = true;    // its text is document text
  bool inNote = false;    // a note's group or a group inside it
  bool noteRoot = false;  // the group of a note itself
};

bool IsLineEnds(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; });
}

bool IsCharacter(const Token& token) {
  switch (token.kind) {
    case TokenKind::Text: return !IsLineEnds(token.raw);
    case TokenKind::HexByte: return true;
    case TokenKind::ControlSymbol: return token.value != '*';
    case TokenKind::ControlWord:
      return token.word == Word::Character || token.word == Word::Par || token.word == Word::U ||
             token.word == Word::Chftn;
    default: return false;
  }
}

bool IsParagraphEnd(const Token& token) {
  return (token.kind == TokenKind::ControlWord && token.word == Word::Par) ||
         (token.kind == TokenKind::ControlSymbol && token.value == '\n');
}

// The byte that is U+00B7 in a document's code page, or -1 where no single byte is.
int MiddleDotByte(std::int64_t codePage) {
  switch (codePage) {
    case 10000: return 0xE1;
    case 437: case 850: case 852: case 860: case 861: case 863: case 865: return 0xFA;
    case 874: case 932: case 936: case 949: case 950: return -1;
    default: return 0xB7;
  }
}

constexpr char kHexDigits[] = "0123456789abcdef";

class Splitter {
 public:
  Splitter(ByteSource& input, ByteSink& output, SplitMode mode, LabelLimits limits)
      : tokenizer_(input), out_(output), mode_(mode), labels_(limits) {}

  SplitResult Run();

 private:
  bool Fail(SplitStatus status, std::uint64_t offset) {
    if (result_.status == SplitStatus::Ok) {
      result_.status = status;
      result_.offset = offset;
    }
    return false;
  }
  bool TokenizerFailed();
  bool Handle(const Token& token);
  bool ContinueOpening(const Token& token, bool& consumed);
  void OpenGroup(Destination destination, bool& consumed);
  bool CloseGroup(const Token& token);
  bool Content(const Token& token);
  bool ResolveNote(NoteKind kind, std::uint64_t offset);
  void CountMiddleDots(const Token& token);
  void Emit(std::string_view bytes);
  void EmitToken(const Token& token, const Group& group);
  void FlushStrayReference();

  rtf::Tokenizer tokenizer_;
  Output out_;
  SplitMode mode_;
  SplitResult result_;
  MarkerLabels labels_;
  std::vector<Group> groups_;
  bool documentClosed_ = false;
  bool bodyStarted_ = false;  // -x: document settings before this are kept

  // A group whose opening brace has been read but whose first control word has not.
  bool opening_ = false;
  bool openingStarred_ = false;
  std::uint64_t openingOffset_ = 0;
  std::string openingRaw_;
  static constexpr std::size_t kMaxOpening = 64;

  // A note whose group is open but whose kind (\ftnalt or not) is not known yet.
  bool noteKindPending_ = false;
  std::uint64_t noteOffset_ = 0;
  int noteFallback_ = 1;
  std::string marker_;

  // -r: an auto-numbered reference (\chftn) held back until its note group shows up.
  bool referencePending_ = false;
  std::string referenceRaw_;
  std::string referenceTail_;  // what followed it, up to the note group
  static constexpr std::size_t kMaxReferenceTail = 4096;

  // -x: the marker of the current note is written before its first character.
  bool notePending_ = false;
  bool lastWasParagraphEnd_ = false;

  int middleDot_ = 0xB7;
};

SplitResult Splitter::Run() {
  Token token;
  // The document must open with {\rtf.
  if (!tokenizer_.Next(token) || token.kind != TokenKind::GroupOpen || token.offset != 0 ||
      !tokenizer_.Next(token) || token.kind != TokenKind::ControlWord || token.name != "rtf") {
    if (tokenizer_.error() == rtf::TokenError::ReadFailed) {
      Fail(SplitStatus::ReadFailed, tokenizer_.errorOffset());
    } else {
      Fail(SplitStatus::NotRtf, 0);
    }
    return result_;
  }
  Group root;
  root.emit = mode_ == SplitMode::MainText;  // -x writes only the settings from the root group
  groups_.push_back(root);
  out_.Write("{");
  out_.Write(token.raw);

  for (;;) {
    if (!tokenizer_.Next(token)) {
      TokenizerFailed();
      return result_;
    }
    if (token.kind == TokenKind::End) break;
    if (documentClosed_) {
      const bool blank = token.kind == TokenKind::Text &&
                         std::all_of(token.raw.begin(), token.raw.end(), [](char c) {
                           return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0';
                         });
      if (!blank) {
        Fail(SplitStatus::TrailingData, token.offset);
        return result_;
      }
      continue;
    }
    if (!Handle(token)) return result_;
  }
  if (!documentClosed_) {
    Fail(SplitStatus::Truncated, token.offset);
    return result_;
  }
  // Only now, with the whole input read and sound, does the output become a complete group.
  out_.Write("}");
  if (!out_.Flush()) Fail(SplitStatus::WriteFailed, token.offset);
  result_.footnotes = labels_.footnotes();
  result_.endnotes = labels_.endnotes();
  return result_;
}

bool Splitter::TokenizerFailed() {
  const std::uint64_t offset = tokenizer_.errorOffset();
  switch (tokenizer_.error()) {
    case rtf::TokenError::Truncated: return Fail(SplitStatus::Truncated, offset);
    case rtf::TokenError::UnbalancedClose: return Fail(SplitStatus::UnbalancedBrace, offset);
    case rtf::TokenError::OverlongControl: return Fail(SplitStatus::OverlongControl, offset);
    case rtf::TokenError::ReadFailed: return Fail(SplitStatus::ReadFailed, offset);
    case rtf::TokenError::None: break;
  }
  return Fail(SplitStatus::Truncated, offset);
}

bool Splitter::Handle(const Token& token) {
  if (opening_) {
    bool consumed = false;
    if (!ContinueOpening(token, consumed)) return false;
    if (consumed) return true;
  }
  if (noteKindPending_ && token.kind == TokenKind::GroupOpen &&
      !ResolveNote(NoteKind::Footnote, token.offset)) {
    return false;
  }
  Group& group = groups_.back();
  switch (token.kind) {
    case TokenKind::GroupOpen:
      if (group.dropped) {
        result_.droppedBytes += token.raw.size();
        Group inner = group;
        inner.noteRoot = false;
        groups_.push_back(inner);
        return true;
      }
      opening_ = true;
      openingStarred_ = false;
      openingOffset_ = token.offset;
      openingRaw_.assign(token.raw);
      return true;
    case TokenKind::GroupClose:
      return CloseGroup(token);
    default:
      return Content(token);
  }
}

// Gathers `{`, `\*` and line ends until the word that says what the group is.
bool Splitter::ContinueOpening(const Token& token, bool& consumed) {
  consumed = true;
  if (token.kind == TokenKind::Text && IsLineEnds(token.raw)) {
    // Line ends mean nothing in RTF: a few are kept as they were, a flood is not held in memory.
    if (openingRaw_.size() < kMaxOpening) openingRaw_.append(token.raw);
    return true;
  }
  if (token.kind == TokenKind::ControlSymbol && token.value == '*' && !openingStarred_) {
    openingRaw_.append(token.raw);
    openingStarred_ = true;
    return true;
  }
  opening_ = false;
  Destination destination = openingStarred_ ? Destination::NonText : Destination::Plain;
  if (token.kind == TokenKind::ControlWord) {
    destination = rtf::ClassifyDestination(token.name, openingStarred_);
  }
  consumed = false;
  OpenGroup(destination, consumed);
  if (destination == Destination::Ignored) result_.droppedBytes += openingRaw_.size();
  return result_.status == SplitStatus::Ok;
}

void Splitter::OpenGroup(Destination destination, bool& consumed) {
  const Group parent = groups_.back();
  Group group = parent;
  group.noteRoot = false;

  if (destination == Destination::Ignored) {
    group.dropped = true;
    group.emit = false;
    groups_.push_back(group);
    return;
  }
  if (destination == Destination::Note) {
    if (parent.textual && !parent.inNote) {
      group.inNote = true;
      group.noteRoot = true;
      group.emit = false;  // -x writes its own opening once the marker is known
      groups_.push_back(group);
      noteKindPending_ = true;
      noteOffset_ = openingOffset_;
      noteFallback_ = tokenizer_.unicodeFallback();
      bodyStarted_ = true;
      consumed = true;  // the \footnote word itself goes nowhere
      return;
    }
    // A note inside a note is part of that note's text (a note inside data stays data): its
    // group stays, the word that would hide it from the reader goes.
    destination = Destination::Plain;
    consumed = true;
  }
  if (destination == Destination::NonText || destination == Destination::HeaderTable) {
    group.textual = false;
  }
  if (mode_ == SplitMode::Notes) {
    if (parent.inNote) group.emit = true;
    if (destination == Destination::HeaderTable && groups_.size() == 1) group.emit = true;
  }
  groups_.push_back(group);
  if (group.emit) Emit(openingRaw_);
}

bool Splitter::CloseGroup(const Token& token) {
  const Group group = groups_.back();
  if (noteKindPending_ && group.noteRoot && !ResolveNote(NoteKind::Footnote, token.offset)) {
    return false;
  }
  if (group.dropped) {
    result_.droppedBytes += token.raw.size();
  } else if (groups_.size() == 1) {
    // The document's own closing brace: written once the rest of the input has been checked.
    if (referencePending_) FlushStrayReference();
    documentClosed_ = true;
  } else if (mode_ == SplitMode::Notes && group.noteRoot) {
    if (notePending_) {
      Emit(marker_);
      notePending_ = false;
    }
    Emit(lastWasParagraphEnd_ ? "}" : "\\par}");
  } else if (group.emit) {
    Emit(token.raw);
  }
  groups_.pop_back();
  return !out_.failed() || Fail(SplitStatus::WriteFailed, token.offset);
}

bool Splitter::Content(const Token& token) {
  const Group& group = groups_.back();
  if (group.dropped) {
    result_.droppedBytes += token.raw.size();
    return true;
  }
  if (noteKindPending_) {
    if (token.kind == TokenKind::Text && IsLineEnds(token.raw)) return true;
    if (token.kind == TokenKind::ControlWord && token.word == Word::Ftnalt) {
      return ResolveNote(NoteKind::Endnote, token.offset);
    }
    if (!ResolveNote(NoteKind::Footnote, token.offset)) return false;
  }

  const bool character = group.textual && !token.fallback && IsCharacter(token);
  if (character) CountMiddleDots(token);
  if (token.kind == TokenKind::ControlWord) {
    switch (token.word) {
      case Word::Ansicpg: middleDot_ = MiddleDotByte(token.parameter); break;
      case Word::Mac: middleDot_ = MiddleDotByte(10000); break;
      case Word::Pc: middleDot_ = MiddleDotByte(437); break;
      case Word::Pca: middleDot_ = MiddleDotByte(850); break;
      default: break;
    }
  }
  const bool reference = group.textual && !token.fallback &&
                         token.kind == TokenKind::ControlWord && token.word == Word::Chftn;

  if (mode_ == SplitMode::MainText) {
    if (!group.emit) return true;  // inside a note
    if (referencePending_ && character) FlushStrayReference();
    if (reference) {
      referencePending_ = true;
      referenceRaw_.assign(token.raw);
      referenceTail_.clear();
      return true;
    }
    EmitToken(token, group);
    return !out_.failed() || Fail(SplitStatus::WriteFailed, token.offset);
  }

  if (group.inNote) {
    if (notePending_ && reference) {
      // The note's own number becomes its marker, in the number's formatting.
      Emit(marker_);
      notePending_ = false;
      lastWasParagraphEnd_ = false;
      return true;
    }
    if (reference) return true;  // the marker already shows the note's number
    if (notePending_ && character) {
      Emit(marker_);
      notePending_ = false;
    }
    if (character) lastWasParagraphEnd_ = IsParagraphEnd(token);
    EmitToken(token, group);
  } else if (group.emit) {
    EmitToken(token, group);  // the header tables
  } else if (groups_.size() == 1 && !bodyStarted_) {
    if (character) {
      bodyStarted_ = true;
    } else if (token.kind == TokenKind::ControlWord || token.kind == TokenKind::ControlSymbol) {
      EmitToken(token, group);  // document settings: code page, default font ...
    }
  } else if (character) {
    bodyStarted_ = true;
  }
  return !out_.failed() || Fail(SplitStatus::WriteFailed, token.offset);
}

bool Splitter::ResolveNote(NoteKind kind, std::uint64_t offset) {
  noteKindPending_ = false;
  const std::string label = labels_.Next(kind);
  if (label.empty()) return Fail(SplitStatus::TooManyNotes, noteOffset_);
  marker_ = MarkerRtf(label);
  if (mode_ == SplitMode::MainText) {
    // In place of the held-back \chftn, or where the note group stood (after a custom mark).
    if (referencePending_) {
      referencePending_ = false;
      out_.Write(marker_);
      out_.Write(referenceTail_);
      referenceTail_.clear();
    } else {
      out_.Write(marker_);
    }
  } else {
    out_.Write("\n{\\uc");
    out_.Write(std::to_string(noteFallback_));
    out_.Write("\\pard\\plain ");
    notePending_ = true;
    lastWasParagraphEnd_ = false;
    groups_.back().emit = true;
  }
  return !out_.failed() || Fail(SplitStatus::WriteFailed, offset);
}

void Splitter::CountMiddleDots(const Token& token) {
  switch (token.kind) {
    case TokenKind::Text:
      if (middleDot_ >= 0) {
        result_.middleDots += static_cast<std::uint64_t>(
            std::count(token.raw.begin(), token.raw.end(), static_cast<char>(middleDot_)));
      }
      break;
    case TokenKind::HexByte:
      if (token.value == middleDot_) ++result_.middleDots;
      break;
    case TokenKind::ControlWord:
      if (token.word == Word::U && (token.parameter == 183 || token.parameter == 183 - 65536)) {
        ++result_.middleDots;
      }
      break;
    default: break;
  }
}

void Splitter::Emit(std::string_view bytes) {
  if (referencePending_) {
    referenceTail_.append(bytes);
    if (referenceTail_.size() > kMaxReferenceTail) FlushStrayReference();
  } else {
    out_.Write(bytes);
  }
}

void Splitter::EmitToken(const Token& token, const Group& group) {
  // Raw \bin data may hold brace bytes, which would end the stream early for the viewer's
  // decoder: pictures and objects get their data as hex digits instead; in text it is dropped.
  if (token.kind == TokenKind::ControlWord && token.word == Word::Bin) {
    if (!group.textual) {
      Emit(" ");  // ends the control word before the hex digits
    } else if (token.fallback) {
      // It stood for a \uN in older readers, which still skip one character there.
      Emit("?");
    }
    return;
  }
  if (token.kind == TokenKind::BinaryData) {
    if (group.textual) return;
    std::string hex;
    hex.reserve(token.raw.size() * 2);
    for (const char c : token.raw) {
      const auto byte = static_cast<std::uint8_t>(c);
      hex.push_back(kHexDigits[byte >> 4]);
      hex.push_back(kHexDigits[byte & 15]);
    }
    Emit(hex);
    return;
  }
  Emit(token.raw);
}

void Splitter::FlushStrayReference() {
  // A \chftn with no note after it: it stays as it was.
  referencePending_ = false;
  out_.Write(referenceRaw_);
  out_.Write(referenceTail_);
  referenceTail_.clear();
}

}  // namespace

std::string SplitResult::Describe() const {
  const std::string at = " (at byte " + std::to_string(offset) + ")";
  switch (status) {
    case SplitStatus::Ok: return "no error";
    case SplitStatus::NotRtf: return "the input is not an RTF document: it does not begin with {\\rtf";
    case SplitStatus::Truncated:
      return "the input is truncated: it ends inside an open group, a control word or binary data" + at;
    case SplitStatus::UnbalancedBrace:
      return "unbalanced braces: a closing brace has no open group to close" + at;
    case SplitStatus::TrailingData:
      return "unbalanced braces: there is more after the closing brace of the document" + at;
    case SplitStatus::OverlongControl: return "malformed control word, longer than RTF allows" + at;
    case SplitStatus::TooManyNotes: return "too many notes: no distinct marker is left for this note" + at;
    case SplitStatus::ReadFailed: return "the input could not be read" + at;
    case SplitStatus::WriteFailed: return "the output could not be written";
  }
  return "unknown error";
}

SplitResult SplitDocument(ByteSource& input, ByteSink& output, SplitMode mode,
                          LabelLimits limits) {
  return Splitter(input, output, mode, limits).Run();
}

SplitResult SplitDocument(std::string_view input, std::string& output, SplitMode mode,
                          LabelLimits limits) {
  MemorySource source(input);
  StringSink sink;
  const SplitResult result = SplitDocument(source, sink, mode, limits);
  output = std::move(sink.text);
  return result;
}

std::string MarkerRtf(std::string_view label) {
  std::string rtf = "{\\uc1\\u183\\'b7";
  rtf += label;
  rtf += "\\u183\\'b7}";
  return rtf;
}

}  // namespace scrivora
