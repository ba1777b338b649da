#include "inspect/container_report.h"

#include <algorithm>
#include <utility>

#include "container/stream_codec.h"
#include "notes/plain_text.h"
#include "viewer/core/note_markers.h"
#include "viewer/core/text_snapshot_pane.h"

namespace scrivora {
namespace {

// The text a rich-text control shows for a stream, as UTF-16 like the control's.
std::u16string ShownText(std::string_view rtf) {
  const PlainText plain = ExtractPlainText(rtf);
  std::u16string text;
  text.reserve(plain.main.size() + plain.notes.size());
  for (const std::u32string* part : {&plain.main, &plain.notes}) {
    for (const char32_t c : *part) {
      if (c >= 0x10000 && c <= 0x10FFFF) {
        text.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
        text.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
      } else {
        text.push_back(static_cast<char16_t>(c));
      }
    }
  }
  return text;
}

StreamReport ReadStream(const std::uint8_t* file, const LayoutResult& layout,
                        std::uint64_t offset, std::uint64_t next) {
  StreamReport stream;
  stream.offset = offset;
  stream.pieceSize = next - offset;
  const DecodedStream decoded = DecodeStream(file, layout.containerEnd,
                                             static_cast<std::int64_t>(offset));
  stream.groupClosed = decoded.groupClosed;
  stream.rtfBytes = decoded.consumed;
  stream.markers = ListMarkers(TextOnlyPane(ShownText(decoded.text + "}")));
  return stream;
}

std::vector<std::u16string> Folded(std::vector<std::u16string> markers) {
  for (std::u16string& marker : markers)
    for (char16_t& c : marker) c = FoldCase(c);
  std::sort(markers.begin(), markers.end());
  return markers;
}

std::size_t CountMissing(const std::vector<std::u16string>& from,
                         const std::vector<std::u16string>& in) {
  std::vector<std::u16string> missing;
  std::set_difference(from.begin(), from.end(), in.begin(), in.end(), std::back_inserter(missing));
  return missing.size();
}

}  // namespace

MarkerPairing PairMarkers(const std::vector<std::u16string>& main,
                          const std::vector<std::u16string>& notes) {
  const std::vector<std::u16string> a = Folded(main), b = Folded(notes);
  return MarkerPairing{CountMissing(a, b), CountMissing(b, a)};
}

ContainerReport InspectContainer(const std::uint8_t* file, std::uint64_t length) {
  ContainerReport report;
  report.layout = ReadLayout(file, length);
  if (!report.layout) {
    report.reason = std::string(kNoDocumentText) + " " + report.layout.Sentence();
    return report;
  }
  const ContainerTrailer& t = report.layout.trailer;
  const auto mainAt = static_cast<std::uint64_t>(t.mainOffset);
  const auto notesAt = static_cast<std::uint64_t>(t.notesOffset);
  const auto descriptionAt = static_cast<std::uint64_t>(t.descriptionOffset);
  report.main = ReadStream(file, report.layout, mainAt, notesAt);
  report.notes = ReadStream(file, report.layout, notesAt, descriptionAt);
  report.pairing = PairMarkers(report.main.markers, report.notes.markers);

  const std::string_view text(reinterpret_cast<const char*>(file) + descriptionAt,
                              report.layout.DescriptionEnd() - descriptionAt);
  report.encoding = DetectEncoding(text);
  const DescriptionParts parts = SplitDescription(StripUtf8Bom(text));
  report.title = parts.title;
  report.description = parts.description;

  // The viewer shows a stream that does not close in its own piece as far as its decoder goes,
  // into the pieces behind it; embed never writes one, so a file that holds one is not sound.
  for (const auto& [stream, name] : {std::pair{&report.main, "main"}, {&report.notes, "notes"}}) {
    if (!stream->groupClosed || stream->rtfBytes > stream->pieceSize) {
      report.reason = std::string("The ") + name +
                      " stream does not decode to one complete RTF group within its own piece.";
      return report;
    }
  }
  report.sound = true;
  return report;
}

}  // namespace scrivora
