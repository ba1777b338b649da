#include "viewer/core/line_ends.h"
#include "viewer/core/show_command.h"

#include <gtest/gtest.h>

namespace scrivora {
namespace {

TEST(ShowCommand, OnlyHiddenAndMinimisedInactiveSurvive) {
  // SW_HIDE .. SW_MAX: hide, normal, minimized, maximized, noactivate, show, minimize,
  // minnoactive, showna, restore, showdefault, forceminimize.
  const int expected[] = {0, 1, 1, 1, 1, 1, 1, 7, 1, 1, 1, 1};
  for (int s = 0; s < 12; ++s) EXPECT_EQ(AdjustShowCommand(s), expected[s]) << s;
}

TEST(LineEnds, LoneLineFeedsGainCarriageReturns) {
  EXPECT_EQ(WithCrLfLineEnds<char>("a\nb\r\nc\n\n"), "a\r\nb\r\nc\r\n\r\n");
  EXPECT_EQ(WithCrLfLineEnds<char>("\n"), "\r\n");
  EXPECT_EQ(WithCrLfLineEnds<char>("no ends\r"), "no ends\r");
}

}  // namespace
}  // namespace scrivora
