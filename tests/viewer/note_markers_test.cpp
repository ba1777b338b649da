#include "viewer/core/note_markers.h"

#include <gtest/gtest.h>

#include <vector>

namespace scrivora {
namespace {

TEST(NoteMarkers, ListedAsTrackingFindsThem) {
  struct Case {
    const char* name;
    std::u16string text;
    std::vector<std::u16string> expected;
  };
  const Case cases[] = {
      {"none", u"plain text without dots", {}},
      {"empty", u"", {}},
      {"two markers", u"Text\u00B71\u00B7 and \u00B7ab\u00B7.",
       {u"\u00B71\u00B7", u"\u00B7ab\u00B7"}},
      {"four characters", u"\u00B7zzzz\u00B7", {u"\u00B7zzzz\u00B7"}},
      {"adjacent", u"\u00B71\u00B7\u00B72\u00B7", {u"\u00B71\u00B7", u"\u00B72\u00B7"}},
      // Too far apart: the first dot starts nothing, the search goes on from the second.
      {"five characters", u"\u00B7abcde\u00B7 \u00B79\u00B7", {u"\u00B7 \u00B7"}},
      {"a lone dot at the end", u"x \u00B73\u00B7 y \u00B7", {u"\u00B73\u00B7"}},
  };
  for (const Case& c : cases) {
    const TextOnlyPane pane(c.text);
    EXPECT_EQ(ListMarkers(pane), c.expected) << c.name;
  }
}

TEST(NoteMarkers, TextOnlyPaneSearchesLikeTheSnapshot) {
  const TextOnlyPane pane(u"Alpha beta ALPHA");
  EXPECT_EQ(pane.FindString(u"alpha", 1, false, false), 11);
  EXPECT_EQ(pane.FindString(u"alpha", 1, true, false), -1);
  EXPECT_EQ(pane.FindString(u"beta", 0, true, false), 6);
  EXPECT_EQ(pane.TextRange(6, 100), u"beta ALPHA");
  EXPECT_EQ(pane.FindString(u"a", 99, false, false), -1);
}

}  // namespace
}  // namespace scrivora
