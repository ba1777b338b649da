// Any input either fails cleanly or splits into two documents that are each one balanced RTF
// group, with the same number of notes in both.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "container/stream_codec.h"
#include "notes/plain_text.h"
#include "notes/splitter.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// The viewer's decoder must end exactly at the document's last byte.
void CheckFramed(const std::string& rtf) {
  const std::string scrambled = scrivora::EncodeStream(rtf);
  const scrivora::DecodedStream decoded = scrivora::DecodeStream(
      reinterpret_cast<const std::uint8_t*>(scrambled.data()), scrambled.size(), 0);
  Check(decoded.groupClosed && decoded.consumed == rtf.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string main;
  std::string notes;
  const scrivora::SplitResult mainResult =
      scrivora::SplitDocument(input, main, scrivora::SplitMode::MainText);
  const scrivora::SplitResult notesResult =
      scrivora::SplitDocument(input, notes, scrivora::SplitMode::Notes);
  // Both modes read the same input the same way.
  Check(mainResult.status == notesResult.status);
  if (!mainResult) {
    Check(!mainResult.Describe().empty());
    return 0;
  }
  Check(mainResult.footnotes == notesResult.footnotes && mainResult.endnotes == notesResult.endnotes);
  CheckFramed(main);
  CheckFramed(notes);
  // The outputs are sound documents in their turn.
  std::string again;
  Check(static_cast<bool>(scrivora::SplitDocument(main, again, scrivora::SplitMode::MainText)));
  Check(static_cast<bool>(scrivora::SplitDocument(notes, again, scrivora::SplitMode::MainText)));
  const scrivora::PlainText mainText = scrivora::ExtractPlainText(main);
  const scrivora::PlainText notesText = scrivora::ExtractPlainText(notes);
  Check(mainText.ok && notesText.ok);
  return 0;
}
