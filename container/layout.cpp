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

std::string LayoutResult::Sentence() const {
  std::string text = Describe();
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') {
    text[0] = static_cast<char>(text[0] - 'a' + 'A');
  }
  return text + ".";
}

LayoutResult CheckLayout(const ContainerTrailer& trailer, std::uint64_t fileLength) {
  LayoutResult result;
  result.trailer = trailer;
  result.fileLength = fileLength;
  result.containerEnd = fileLength;
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
  const CertificateTable certificate = FindCertificateTable(file, fileLength);
  const std::uint64_t end = certificate.present() ? certificate.offset : fileLength;
  LayoutResult first;
  for (std::uint64_t padding = 0; padding <= kMaxSigningPadding; ++padding) {
    if (padding > 0 && (end < padding || file[end - padding] != 0)) break;
    const std::uint64_t trailerEnd = end - padding;
    LayoutResult result =
        trailerEnd < kTrailerSize
            ? CheckLayout(ContainerTrailer{}, trailerEnd)
            : CheckLayout(DecodeTrailer(file + (trailerEnd - kTrailerSize)), trailerEnd);
    result.fileLength = fileLength;
    result.containerEnd = end;
    result.padding = padding;
    result.certificate = certificate;
    if (result) return result;
    if (padding == 0) first = result;
  }
  return first;
}

}  // namespace scrivora
