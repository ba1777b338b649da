// The note splitter: reads an RTF document once, as a stream, and writes either its main text,
// with each note reference replaced by a note marker, or its notes, one paragraph a note that
// starts with the same marker. Memory stays bounded whatever the size of the document.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "notes/byte_stream.h"
#include "notes/marker_labels.h"

namespace scrivora {

enum class SplitMode : unsigned char {
  MainText,  // notes -r
  Notes,     // notes -x
};

enum class SplitStatus : unsigned char {
  Ok,
  NotRtf,           // the input does not begin with {\rtf
  Truncated,        // the input ends inside a group, a control word or binary data
  UnbalancedBrace,  // a closing brace with no group open
  TrailingData,     // something other than white space after the document's closing brace
  OverlongControl,  // a control word name or parameter longer than RTF allows
  TooManyNotes,     // more notes of one kind than there are distinct markers
  ReadFailed,       // standard input could not be read
  WriteFailed,      // the output could not be written
};

struct SplitResult {
  SplitStatus status = SplitStatus::Ok;
  std::uint64_t offset = 0;        // input offset where the fault was found
  std::uint32_t footnotes = 0;
  std::uint32_t endnotes = 0;
  std::uint64_t middleDots = 0;    // U+00B7 already in the document's text
  std::uint64_t droppedBytes = 0;  // input bytes of ignored destinations left out

  explicit operator bool() const { return status == SplitStatus::Ok; }
  // A sentence for the user, with the offset where it helps.
  std::string Describe() const;
};

// Splits the document from `input` into `output`. On failure the output is never a complete
// RTF group: the closing brace of the document is written only after the whole input is read.
// `limits` caps the notes of each kind that get a marker; a note beyond them is TooManyNotes.
SplitResult SplitDocument(ByteSource& input, ByteSink& output, SplitMode mode,
                          LabelLimits limits = {});

// The same for a document in memory.
SplitResult SplitDocument(std::string_view input, std::string& output, SplitMode mode,
                          LabelLimits limits = {});

// The RTF of a note marker: U+00B7, the label, U+00B7, readable as U+00B7 whatever the code
// page and the \ucN in effect, since it sets its own \uc1 inside its own group.
std::string MarkerRtf(std::string_view label);

}  // namespace scrivora
