// Any file as an author's document: telling its kind reads only inside its bytes, whatever its
// archive records claim.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "embed/source_kind.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A copy of exactly the input's size, so AddressSanitizer sees a read one byte past it.
  auto bytes = std::make_unique<char[]>(size);
  if (size > 0) std::memcpy(bytes.get(), data, size);
  const std::string_view view(bytes.get(), size);
  scrivora::DetectSourceKind(view, "book.docx");
  scrivora::DetectSourceKind(view, "book.md");
  return 0;
}
