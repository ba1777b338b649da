#include <windows.h>
#include <gtest/gtest.h>

#include "container/pe_image.h"
#include "container/stream_codec.h"
#include "tests/windows/viewer_harness.h"
#include "viewer/resources/command_ids.h"

namespace scrivora::test {
namespace {

// A sound container whose trailer is replaced.
std::string Retrailered(const std::function<void(ContainerTrailer&)>& change) {
  const std::string sound = ContainerSpec{}.Build();
  ContainerTrailer trailer = DecodeTrailer(
      reinterpret_cast<const std::uint8_t*>(sound.data() + sound.size() - kTrailerSize));
  change(trailer);
  return WithTrailer(sound.substr(0, sound.size() - kTrailerSize), trailer);
}

TEST(ViewerBadContainers, OpensAndSaysWhatItCan) {
  // The inspector's tests go through the same table.
  for (const BadContainer& c : BadContainers(ViewerImage())) {
    const TestFile file(c.bytes);
    RunningViewer viewer(file.Path());
    ASSERT_TRUE(::IsWindow(viewer.FrameHandle())) << c.name;
    EXPECT_EQ(PaneText(viewer.TextPane()).substr(0, c.viewerTextStart.size()), c.viewerTextStart)
        << c.name;
    // The reader can still use the menus; the Document box says what is wrong.
    EXPECT_TRUE(viewer.MenuItemEnabled(CM_HELPDOCUMENT)) << c.name;
  }
}

// Signed as a signing tool signs: `padding` zero bytes, then a certificate table (`table`)
// that the viewer image's own header records.
std::string Signed(std::string container, std::size_t padding, const std::string& table) {
  const PeHeader header =
      ReadPeHeader(reinterpret_cast<const std::uint8_t*>(container.data()), container.size());
  EXPECT_TRUE(header.valid);
  container.append(padding, '\0');
  const auto offset = static_cast<std::uint32_t>(container.size());
  const auto size = static_cast<std::uint32_t>(table.size());
  for (int i = 0; i < 4; ++i) {
    container[header.securityDirectoryAt + i] = static_cast<char>(offset >> (8 * i));
    container[header.securityDirectoryAt + 4 + i] = static_cast<char>(size >> (8 * i));
  }
  return container + table;
}

TEST(ViewerSignedContainers, OpenWithTheirDocument) {
  for (const std::size_t padding : {0u, 4u, 7u}) {
    const TestFile file(Signed(ContainerSpec{}.Build(), padding, std::string(1024, 'x')));
    RunningViewer viewer(file.Path());
    EXPECT_EQ(WindowText(viewer.FrameHandle()), L"Scrivora 3 - My Title") << padding;
    EXPECT_EQ(PaneText(viewer.TextPane()).substr(0, 15), L"Hello main text") << padding;
    EXPECT_EQ(PaneText(viewer.NotesPane()).substr(0, 3), L"\u00B71\u00B7") << padding;
  }
}

TEST(ViewerSignedContainers, TheDecoderStopsAtTheCertificateTable) {
  // The notes stream never closes: its decoder runs on through the description and the trailer.
  // The table behind them is scrambled so that a decoder going on would deliver "LEAKED".
  ContainerSpec parts;
  parts.notesRtf = "{\\rtf1\\ansi Open notes" + std::string(20, '{');
  const std::string container = parts.Build();
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(container.data());
  const ContainerTrailer trailer = DecodeTrailer(bytes + container.size() - kTrailerSize);
  StreamCursor cursor = StreamCursor::At(bytes, container.size(), trailer.notesOffset);
  std::uint8_t buffer[4096];
  std::int32_t count = 0;
  do {
    StreamInCallback(cursor, buffer, sizeof buffer, count);
  } while (count > 0);
  ASSERT_TRUE(cursor.hitImageEnd);
  std::string table;
  std::uint8_t key = static_cast<std::uint8_t>(cursor.key);
  for (int i = 0; i < 16; ++i) {
    for (const char c : std::string(" LEAKED")) {
      table.push_back(static_cast<char>(static_cast<std::uint8_t>(c) + key));
      key ^= static_cast<std::uint8_t>(c);
    }
  }

  const TestFile file(Signed(container, 0, table));
  RunningViewer viewer(file.Path());
  const std::wstring notes = PaneText(viewer.NotesPane());
  EXPECT_EQ(notes.substr(0, 10), L"Open notes");
  EXPECT_EQ(notes.find(L"LEAKED"), std::wstring::npos) << notes.size();
}

TEST(ViewerBadContainers, TheProblemIsNamed) {
  const TestFile file(Retrailered([](auto& t) { t.notesOffset = t.mainOffset - 1; }));
  RunningViewer viewer(file.Path());
  EXPECT_EQ(PaneText(viewer.TextPane()),
            L"This file contains no document.\rThe notes stream offset lies before the main "
            L"stream.");
  EXPECT_EQ(WindowText(viewer.FrameHandle()), L"Scrivora 3");
  EXPECT_EQ(PaneText(viewer.NotesPane()), L"");
}

TEST(ViewerBadContainers, ADescriptionWithoutLineEndIsAllTitle) {
  ContainerSpec parts;
  parts.description = "Just a title";
  const TestFile file(parts.Build());
  RunningViewer viewer(file.Path());
  EXPECT_EQ(WindowText(viewer.FrameHandle()), L"Scrivora 3 - Just a title");
  EXPECT_EQ(viewer.Client().Description(), L"");
}

TEST(ViewerBadContainers, AnUnmappableFileShowsTheLoadError) {
  const TestFile file(ContainerSpec{}.Build());
  TSDIDecFrame frame(L"Scrivora 3", file.Path().wstring());  // reads the container
  // Nobody else may open the file while the panes load.
  HANDLE lock = ::CreateFileW(file.Path().wstring().c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(frame.Create());
  ::CloseHandle(lock);
  for (EmbeddedRichEdit* pane : {&frame.Client().TextPane(), &frame.Client().NotesPane()}) {
    EXPECT_EQ(PaneText(*pane), L"Error loading data !") << pane->Id();
    ::SendMessageW(pane->Handle(), WM_CHAR, 'x', 0);
    EXPECT_EQ(PaneText(*pane), L"Error loading data !") << pane->Id();
  }
}

}  // namespace
}  // namespace scrivora::test
