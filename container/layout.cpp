#include "container/layout.h"

namespace scrivora {

const char* LayoutResult::Describe() const {
  switch (status) {
    case LayoutStatus::Ok: return "the container layout is sound";
    case LayoutStatus::FileTooShort: return "the file is shorter than a 20-byte trailer";
    case LayoutStatus::MainOffsetNotPositive: return "the main stream offset is not positive";
    case LayoutStatus::NotesBeforeMain: return "the notes stream offset lies before the main stream";
    case LayoutStatus::DescriptionBeforeNotes:
      return "the description offset lies before the notes stream";
    case LayoutStatus::DescriptionPastTrailer:
      return "the description offset lies beyond the start of the trailer";
  }
  return "unknown layout status";
}

LayoutResult CheckLayout(const ContainerTrailer& trailer, std::uint64_t fileLength) {
  LayoutResult result;
  result.trailer = trailer;
  result.fileLength = fileLength;
  if (fileLength < kTrailerSize) {
    result.status = LayoutStatus::FileTooShort;
  } else if (trailer.mainOffset <= 0) {
    result.status = LayoutStatus::MainOffsetNotPositive;
  } else if (trailer.notesOffset < trailer.mainOffset) {
    result.status = LayoutStatus::NotesBeforeMain;
  } else if (trailer.descriptionOffset < trailer.notesOffset) {
    result.status = LayoutStatus::DescriptionBeforeNotes;
  } else if (static_cast<std::uint64_t>(trailer.descriptionOffset) > fileLength - kTrailerSize) {
    result.status = LayoutStatus::DescriptionPastTrailer;
  } else {
    result.status = LayoutStatus::Ok;
  }
  return result;
}

LayoutResult ReadLayout(const std::uint8_t* file, std::uint64_t fileLength) {
  if (fileLength < kTrailerSize) return CheckLayout(ContainerTrailer{}, fileLength);
  return CheckLayout(DecodeTrailer(file + (fileLength - kTrailerSize)), fileLength);
}

}  // namespace scrivora
