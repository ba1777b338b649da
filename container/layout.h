// Checks a container's trailer against the file that carries it, so that no reader ever reads
// outside the file. Errors are values: a status, the trailer as found and a text for people.
#pragma once

#include <cstdint>

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

struct LayoutResult {
  LayoutStatus status = LayoutStatus::FileTooShort;
  ContainerTrailer trailer;      // as read; meaningful unless status is FileTooShort
  std::uint64_t fileLength = 0;

  explicit operator bool() const { return status == LayoutStatus::Ok; }
  const char* Describe() const;  // one English sentence naming what is wrong
  // Where the description text ends: the first byte of the trailer.
  std::uint64_t DescriptionEnd() const { return fileLength - kTrailerSize; }
};

// 0 < mainOffset <= notesOffset <= descriptionOffset <= fileLength - 20.
LayoutResult CheckLayout(const ContainerTrailer& trailer, std::uint64_t fileLength);

// Reads the trailer from the last 20 bytes of a whole file in memory and checks it.
LayoutResult ReadLayout(const std::uint8_t* file, std::uint64_t fileLength);

}  // namespace scrivora
