#include "viewer/core/pane_layout.h"

#include <gtest/gtest.h>

namespace scrivora {
namespace {

TEST(PaneLayout, PixelRule) {
  struct Case {
    const char* name;
    std::int32_t width, height, percent;
    PixelRect text, notes;
  };
  const Case cases[] = {
      {"half of 600 by 401", 600, 401, 50, {0, 0, 598, 200}, {0, 201, 598, 400}},
      {"a quarter of 401 rows", 300, 401, 25, {0, 0, 298, 300}, {0, 301, 298, 400}},
      {"no notes", 600, 401, 0, {0, 0, 598, 400}, {0, 401, 598, 400}},
      {"all notes but one row", 600, 401, 100, {0, 0, 598, 0}, {0, 1, 598, 400}},
      {"above 100 is 100", 600, 401, 250, {0, 0, 598, 0}, {0, 1, 598, 400}},
      {"negative is 0", 600, 401, -30, {0, 0, 598, 400}, {0, 401, 598, 400}},
      {"rounded down", 10, 10, 30, {0, 0, 8, 6}, {0, 7, 8, 9}},
      {"one row", 10, 1, 50, {0, 0, 8, 0}, {0, 1, 8, 0}},
  };
  for (const Case& c : cases) {
    const PaneLayout layout = ComputePaneLayout(c.width, c.height, c.percent);
    EXPECT_EQ(layout.text, c.text) << c.name;
    EXPECT_EQ(layout.notes, c.notes) << c.name;
    EXPECT_EQ(layout.text.Height() + layout.notes.Height(), c.height) << c.name;
  }
}

TEST(PaneLayout, EmptyClientGivesEmptyPanes) {
  for (auto [w, h] : {std::pair{0, 0}, {0, 100}, {100, 0}, {-5, -5}}) {
    const PaneLayout layout = ComputePaneLayout(w, h, 30);
    EXPECT_EQ(layout.text.Width() * layout.text.Height(), 0);
    EXPECT_EQ(layout.notes.Width() * layout.notes.Height(), 0);
  }
}

TEST(PaneLayout, NoOverflowOnHugeClients) {
  const PaneLayout layout = ComputePaneLayout(100, 2'000'000'000, 1);
  EXPECT_EQ(layout.text.bottom, 1'979'999'999);
  EXPECT_EQ(layout.notes.bottom, 1'999'999'999);
}

}  // namespace
}  // namespace scrivora
