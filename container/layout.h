// Checks a container's trailer against the file that carries it, so that no reader ever reads
// outside the file. Errors are values: a status, the trailer as found and a text for people.
//
// Where a container ends: a container signed after packaging carries zero padding (up to 7
// bytes) and a certificate table behind its trailer, and its PE header names that table. The
// container then ends where the table begins, otherwise at the file's end; its trailer lies
// before that end, or before up to 7 zero bytes there (a signature removed again leaves its
// padding): the first candidate, fewest padding bytes first, whose trailer checks.
#pragma once

#include <cstdint>
#include <string>

#include "container/pe_image.h"
#include "container/trailer.h"

namespace scrivora {

enum class LayoutStatus {
  Ok,
  FileTooShort,            // fewer than 20 bytes: there is no trailer to read
  MainOffsetNotPositive,   // mainOffset is 0 or negative
  NotesBeforeMain,         // notesOffset lies before mainOffset
  DescriptionBeforeNotes,  // descriptionOffset lies before notesOffset
  DescriptionPastTrailer,  // descriptionOffset lies inside the trailer or beyond the file
};

// What the viewer's text pane says first about a file that holds no document.
inline constexpr char kNoDocumentText[] = "This file contains no document.";

// The zero bytes that signing may put between a trailer and the certificate table.
inline constexpr std::uint64_t kMaxSigningPadding = 7;

struct LayoutResult {
  LayoutStatus status = LayoutStatus::FileTooShort;
  ContainerTrailer trailer;      // as read; meaningful unless status is FileTooShort
  std::uint64_t fileLength = 0;  // the whole file
  // Where the container ends: the start of its certificate table, or the file's end. Nothing at
  // or past it belongs to the document, and no reader of the document reads there.
  std::uint64_t containerEnd = 0;
  std::uint64_t padding = 0;     // zero bytes between the trailer and containerEnd
  CertificateTable certificate;  // the file's certificate table, when it is signed

  explicit operator bool() const { return status == LayoutStatus::Ok; }
  const char* Describe() const;  // one English sentence naming what is wrong
  // Describe() as a sentence for people: capital letter and full stop.
  std::string Sentence() const;
  // Where the trailer begins, which is where the description text ends.
  std::uint64_t TrailerOffset() const { return containerEnd - padding - kTrailerSize; }
  std::uint64_t DescriptionEnd() const { return TrailerOffset(); }
};

// 0 < mainOffset <= notesOffset <= descriptionOffset <= fileLength - 20, for a trailer that
// ends the file (no padding, no certificate table).
LayoutResult CheckLayout(const ContainerTrailer& trailer, std::uint64_t fileLength);

// Finds where the container in a whole file in memory ends and reads and checks its trailer.
// When no candidate checks, the result is the one without padding, so a file that simply is no
// container gets the reason its last 20 bytes give.
LayoutResult ReadLayout(const std::uint8_t* file, std::uint64_t fileLength);

}  // namespace scrivora
