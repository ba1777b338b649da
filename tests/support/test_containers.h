// Test containers made from their parts, and the table of files that are not sound containers,
// shared by the viewer's Win32 tests and the inspector's tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "container/trailer.h"

namespace scrivora::test {

// The parts of a container before encoding; BuildOn() lays them out behind a viewer image.
struct ContainerSpec {
  std::string mainRtf =
      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Hello main text \\'b71\\'b7 with a "
      "marker.\\par Second paragraph about whales.\\par}";
  std::string notesRtf = "{\\rtf1\\ansi \\'b71\\'b7 The first note.\\par}";
  std::string description = "My Title\r\nA description\r\nover two lines.";
  std::int32_t notesPercent = 30;
  std::int32_t permissions = PermitCopy | PermitPrint | PermitPrintAll;

  // The viewer image, both encoded streams, the description and the trailer.
  std::string BuildOn(std::string_view image) const;
  // The same behind the real viewer image (the Win32 tests' harness has it).
  std::string Build() const;
};

// `body` with `trailer` behind it.
std::string WithTrailer(std::string body, const ContainerTrailer& trailer);

// Files that are not sound containers, or only just are, built on `image`.
struct BadContainer {
  const char* name;
  std::string bytes;
  std::wstring viewerTextStart;  // what the viewer's text pane begins with
  // What the inspector says is wrong: empty for a file it finds sound.
  std::string inspectorReason;
};

std::vector<BadContainer> BadContainers(const std::string& image);

}  // namespace scrivora::test
