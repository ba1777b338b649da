// What a container holds, read as the viewer reads it: the layout through the container's end,
// both streams through the framing decoder, the description split into title and description,
// and the note markers of each stream as the viewer's tracking finds them. Portable; errors are
// values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "container/description.h"
#include "container/layout.h"

namespace scrivora {

struct StreamReport {
  std::uint64_t offset = 0;
  std::uint64_t pieceSize = 0;   // up to the next piece's offset
  bool groupClosed = false;      // one complete RTF group, as the viewer needs
  std::uint64_t rtfBytes = 0;    // bytes up to and with the brace that closes the group
  std::vector<std::u16string> markers;
};

struct MarkerPairing {
  std::size_t mainWithoutNote = 0;   // markers of the main text that no note marker matches
  std::size_t notesWithoutMain = 0;  // markers of the notes that no main text marker matches
  bool paired() const { return mainWithoutNote == 0 && notesWithoutMain == 0; }
};

struct ContainerReport {
  LayoutResult layout;
  bool sound = false;
  std::string reason;  // for a file that is not a sound container: why, as a sentence
  StreamReport main;
  StreamReport notes;
  MarkerPairing pairing;
  TextEncoding encoding = TextEncoding::Utf8;
  std::string_view title;        // bytes of the file, in `encoding`
  std::string_view description;  // bytes of the file, in `encoding`
};

// `file` holds the whole file; nothing at or past the container's end is read.
ContainerReport InspectContainer(const std::uint8_t* file, std::uint64_t length);

// Markers pair up when each one of the main text has one of the same text in the notes and the
// other way round, without regard to letter case, as the viewer looks them up.
MarkerPairing PairMarkers(const std::vector<std::u16string>& main,
                          const std::vector<std::u16string>& notes);

}  // namespace scrivora
