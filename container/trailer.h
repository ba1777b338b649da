// The 20-byte record at the end of every container: where its pieces begin, how tall the notes
// pane is, and what the reader may do. Stored as five little-endian signed 32-bit values.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace scrivora {

inline constexpr std::size_t kTrailerSize = 20;

// Permission bits of ContainerTrailer::permissions.
inline constexpr std::int32_t PermitCopy = 1;      // selected text may go to the clipboard
inline constexpr std::int32_t PermitPrint = 2;     // printing is allowed (at least the current page)
inline constexpr std::int32_t PermitPrintAll = 4;  // whole text and page ranges may be printed

inline constexpr std::int32_t kDefaultNotesPercent = 30;

struct ContainerTrailer {
  std::int32_t mainOffset = 0;         // start of the main stream = length of the viewer image
  std::int32_t notesOffset = 0;        // start of the notes stream
  std::int32_t descriptionOffset = 0;  // start of the description text
  std::int32_t notesPercent = kDefaultNotesPercent;  // notes pane height, percent of the client
  std::int32_t permissions = PermitCopy | PermitPrint | PermitPrintAll;

  friend bool operator==(const ContainerTrailer&, const ContainerTrailer&) = default;
};

using TrailerBytes = std::array<std::uint8_t, kTrailerSize>;

// Byte order and layout are fixed here, whatever the host's.
TrailerBytes EncodeTrailer(const ContainerTrailer& trailer);
ContainerTrailer DecodeTrailer(const std::uint8_t* bytes);  // reads exactly kTrailerSize bytes

// The permission word that the packaging options give: each flag 1 (allowed) or 0.
constexpr std::int32_t ComposePermissions(bool copy, bool print, bool printAll) {
  return (copy ? PermitCopy : 0) + (print ? PermitPrint : 0) + (printAll ? PermitPrintAll : 0);
}

}  // namespace scrivora
