// Any file as a container: the PE header reading, the layout check and both stream decoders
// must stay inside it, and the decoders inside the container's end.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "container/description.h"
#include "container/layout.h"
#include "container/pe_image.h"
#include "container/stream_codec.h"

namespace {

// Decodes one stream in calls of varying size into a buffer sized exactly to each call, so
// AddressSanitizer sees any write past the capacity the control gave.
void DecodeInCalls(const std::uint8_t* image, std::size_t length, std::int64_t offset,
                   std::uint8_t sizes) {
  scrivora::StreamCursor cursor = scrivora::StreamCursor::At(image, length, offset);
  std::int32_t count = 0;
  std::size_t total = 0;
  for (int call = 0;; ++call) {
    const std::int32_t capacity = 1 + (sizes + call * 37) % 300;
    auto buffer = std::make_unique<std::uint8_t[]>(capacity);
    scrivora::StreamInCallback(cursor, buffer.get(), capacity, count);
    if (count < 0 || count > capacity) __builtin_trap();
    total += static_cast<std::size_t>(count);
    if (count == 0) break;
  }
  if (total > length) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exact-size copy, so reading one byte past the file is caught.
  std::vector<std::uint8_t> file(data, data + size);
  const scrivora::LayoutResult layout = scrivora::ReadLayout(file.data(), file.size());
  const std::uint8_t sizes = size > 0 ? data[0] : 0;
  if (layout) {
    const auto& t = layout.trailer;
    const char* text = reinterpret_cast<const char*>(file.data());
    const std::string_view description(text + t.descriptionOffset,
                                       layout.DescriptionEnd() - t.descriptionOffset);
    const scrivora::DescriptionParts parts = scrivora::SplitDescription(description);
    scrivora::DetectEncoding(description);
    scrivora::CutTitleForDisplay(parts.title);
    if (layout.containerEnd > file.size() || layout.DescriptionEnd() < t.descriptionOffset) {
      __builtin_trap();
    }
    DecodeInCalls(file.data(), layout.containerEnd, t.mainOffset, sizes);
    DecodeInCalls(file.data(), layout.containerEnd, t.notesOffset, sizes);
  } else if (size >= scrivora::kTrailerSize) {
    // Readers that ignore the check must still stay inside the file.
    const scrivora::ContainerTrailer t = scrivora::DecodeTrailer(file.data() + size - 20);
    DecodeInCalls(file.data(), file.size(), t.mainOffset, sizes);
    DecodeInCalls(file.data(), file.size(), t.notesOffset, sizes);
  }
  // Stripping a signature changes only the copy and never grows it.
  if (scrivora::RemoveSignature(file.data(), file.size()) > file.size()) __builtin_trap();
  return 0;
}
