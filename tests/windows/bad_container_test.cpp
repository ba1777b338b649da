#include <windows.h>
#include <gtest/gtest.h>

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
