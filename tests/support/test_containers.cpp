#include "tests/support/test_containers.h"

#include <utility>

#include "container/stream_codec.h"

namespace scrivora::test {
namespace {

const std::wstring kNoDocument = L"This file contains no document.";
const std::string kNoDocumentUtf8 = "This file contains no document. ";

// A sound container whose trailer is replaced.
std::string Retrailered(const std::string& image,
                        const std::function<void(ContainerTrailer&)>& change) {
  const std::string sound = ContainerSpec{}.BuildOn(image);
  ContainerTrailer trailer = DecodeTrailer(
      reinterpret_cast<const std::uint8_t*>(sound.data() + sound.size() - kTrailerSize));
  change(trailer);
  return WithTrailer(sound.substr(0, sound.size() - kTrailerSize), trailer);
}

}  // namespace

std::string ContainerSpec::BuildOn(std::string_view image) const {
  const std::string main = EncodeStream(mainRtf);
  const std::string notes = EncodeStream(notesRtf);
  ContainerTrailer trailer;
  trailer.mainOffset = static_cast<std::int32_t>(image.size());
  trailer.notesOffset = trailer.mainOffset + static_cast<std::int32_t>(main.size());
  trailer.descriptionOffset = trailer.notesOffset + static_cast<std::int32_t>(notes.size());
  trailer.notesPercent = notesPercent;
  trailer.permissions = permissions;
  return WithTrailer(std::string(image) + main + notes + description, trailer);
}

std::string WithTrailer(std::string body, const ContainerTrailer& trailer) {
  const TrailerBytes bytes = EncodeTrailer(trailer);
  return body + std::string(bytes.begin(), bytes.end());
}

std::vector<BadContainer> BadContainers(const std::string& image) {
  ContainerSpec unclosed;
  unclosed.mainRtf = "{\\rtf1\\ansi Never closed {\\b bold";
  const std::string zeroOffsets = kNoDocumentUtf8 + "The main stream offset is not positive.";
  std::vector<BadContainer> cases = {
      {"empty file", "", kNoDocument,
       kNoDocumentUtf8 + "The file is shorter than a 20-byte trailer."},
      {"shorter than 20 bytes", std::string(19, '\x7f'), kNoDocument,
       kNoDocumentUtf8 + "The file is shorter than a 20-byte trailer."},
      {"the bare viewer", image, kNoDocument, zeroOffsets},
      {"offsets out of order",
       Retrailered(image, [](auto& t) { std::swap(t.mainOffset, t.notesOffset); }), kNoDocument,
       kNoDocumentUtf8 + "The notes stream offset lies before the main stream."},
      {"negative offset", Retrailered(image, [](auto& t) { t.mainOffset = -4; }), kNoDocument,
       zeroOffsets},
      {"description beyond the file",
       Retrailered(image, [](auto& t) { t.descriptionOffset += 1 << 20; }), kNoDocument,
       kNoDocumentUtf8 + "The description offset lies beyond the start of the trailer."},
      {"all zero trailer", WithTrailer(image, ContainerTrailer{0, 0, 0, 0, 0}), kNoDocument,
       zeroOffsets},
      {"percent 250", Retrailered(image, [](auto& t) { t.notesPercent = 250; }),
       L"Hello main text", ""},
      {"a stream that never closes", unclosed.BuildOn(image), L"Never closed",
       "The main stream does not decode to one complete RTF group within its own piece."},
      {"streams that start past the file end",
       Retrailered(image, [](auto& t) { t.notesOffset = t.descriptionOffset; }),
       L"Hello main text",
       "The notes stream does not decode to one complete RTF group within its own piece."},
  };
  return cases;
}

}  // namespace scrivora::test
