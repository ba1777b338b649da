// The inspector's reading of containers and its two report forms.
#include <gtest/gtest.h>

#include <string>

#include "container/layout.h"
#include "inspect/container_report.h"
#include "inspect/report_text.h"
#include "tests/support/test_containers.h"
#include "tests/support/pe_test_image.h"

namespace scrivora {
namespace {

std::string Image() {
  const test::ImageBytes image = test::PeImage(true, 1024);
  return std::string(image.begin(), image.end());
}

ContainerReport Inspect(const std::string& file) {
  return InspectContainer(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
}

// Signs a container as a signing tool does: zero padding to a multiple of 8, a table behind it,
// recorded in the headers at the front.
std::string Signed(std::string file, std::uint32_t tableSize) {
  file.resize((file.size() + 7) / 8 * 8, '\0');
  test::ImageBytes bytes(file.begin(), file.end());
  test::SetSecurityDirectory(bytes, true, static_cast<std::uint32_t>(bytes.size()), tableSize);
  bytes.resize(bytes.size() + tableSize, 0x30);  // what the table holds is never read
  return std::string(bytes.begin(), bytes.end());
}

TEST(InspectReport, PermissionsInWords) {
  struct Case {
    std::int32_t permissions;
    const char* copying;
    const char* printing;
  };
  // Every value that embed writes: no option, -c, -pa, -c -pa, -p, -c -p.
  const Case cases[] = {{7, "allowed", "everything"},
                        {6, "not allowed", "everything"},
                        {3, "allowed", "the current page only"},
                        {2, "not allowed", "the current page only"},
                        {1, "allowed", "nothing"},
                        {0, "not allowed", "nothing"}};
  for (const Case& c : cases) {
    test::ContainerSpec parts;
    parts.permissions = c.permissions;
    const std::string json = ReportAsJson(Inspect(parts.BuildOn(Image())), "f");
    EXPECT_NE(json.find(std::string("\"copying\": \"") + c.copying + "\""), std::string::npos)
        << c.permissions << json;
    EXPECT_NE(json.find(std::string("\"printing\": \"") + c.printing + "\""), std::string::npos)
        << c.permissions << json;
  }
}

TEST(InspectReport, SoundContainerPiecesAndMarkers) {
  test::ContainerSpec parts;
  parts.mainRtf = "{\\rtf1\\ansi Text\\'b71\\'b7 and\\u183?2\\u183? and \\'b7a\\'b7.\\par}";
  parts.notesRtf = "{\\rtf1\\ansi \\'b71\\'b7 one\\par \\'b72\\'b7 two\\par \\'b7A\\'b7 three\\par}";
  parts.notesPercent = 25;
  const std::string file = parts.BuildOn(Image());
  const ContainerReport report = Inspect(file);
  ASSERT_TRUE(report.sound) << report.reason;
  EXPECT_EQ(report.main.markers.size(), 3u);
  EXPECT_EQ(report.notes.markers.size(), 3u);
  EXPECT_TRUE(report.pairing.paired());  // "a" and "A" pair: the viewer ignores case
  EXPECT_EQ(report.main.offset, 1024u);
  EXPECT_EQ(report.main.rtfBytes, parts.mainRtf.size());
  EXPECT_EQ(report.notes.offset, 1024u + parts.mainRtf.size());
  EXPECT_EQ(report.title, "My Title");
  EXPECT_EQ(report.description, "A description\r\nover two lines.");
  EXPECT_FALSE(report.layout.certificate.present());

  const std::string text = ReportAsText(report, "book.exe");
  for (const char* part : {"book.exe: a sound container\n", "Title:       My Title\n",
                           "Description: A description\n               over two lines.\n",
                           "Notes pane:  25% of the window\n",
                           "3 in the main text, 3 in the notes; they pair up\n",
                           "Signed:      no\n"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
  }
}

TEST(InspectReport, MarkersThatDoNotPairAreCounted) {
  test::ContainerSpec parts;
  parts.mainRtf = "{\\rtf1 a\\'b71\\'b7 b\\'b72\\'b7 c\\'b73\\'b7\\par}";
  parts.notesRtf = "{\\rtf1 \\'b71\\'b7 n\\par \\'b79\\'b7 m\\par}";
  const ContainerReport report = Inspect(parts.BuildOn(Image()));
  ASSERT_TRUE(report.sound);
  EXPECT_FALSE(report.pairing.paired());
  EXPECT_EQ(report.pairing.mainWithoutNote, 2u);
  EXPECT_EQ(report.pairing.notesWithoutMain, 1u);
}

TEST(InspectReport, SignedContainerEndsBeforeItsTable) {
  const std::string unsignedFile = test::ContainerSpec{}.BuildOn(Image());
  const std::string file = Signed(unsignedFile, 1200);
  const ContainerReport report = Inspect(file);
  ASSERT_TRUE(report.sound) << report.reason;
  EXPECT_EQ(report.layout.certificate.size, 1200u);
  EXPECT_EQ(report.layout.containerEnd, file.size() - 1200);
  EXPECT_EQ(report.layout.padding, report.layout.containerEnd - unsignedFile.size());
  const std::string text = ReportAsText(report, "f");
  EXPECT_NE(text.find("Signed:      yes, a certificate table of 1200 bytes (not verified)\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("certificate table"), std::string::npos);
}

TEST(InspectReport, AStreamIsNeverReadIntoTheCertificateTable) {
  // Neither stream closes: the decoder runs on through every piece up to the container's end,
  // and not one byte into the table behind it.
  test::ContainerSpec parts;
  parts.mainRtf = "{\\rtf1 open";
  parts.notesRtf = "{{{{{{ deeper";
  const std::string file = Signed(parts.BuildOn(Image()), 64);
  const ContainerReport report = Inspect(file);
  EXPECT_FALSE(report.sound);
  EXPECT_FALSE(report.main.groupClosed);
  EXPECT_EQ(report.main.rtfBytes, report.layout.containerEnd - 1024);
  EXPECT_EQ(report.layout.containerEnd, file.size() - 64);
  EXPECT_EQ(report.reason,
            "The main stream does not decode to one complete RTF group within its own piece.");
}

TEST(InspectReport, JsonStringsAreEscaped) {
  struct Case {
    std::string text;
    std::string json;
  };
  const Case cases[] = {
      {"plain", "\"plain\""},
      {"quote \" backslash \\ slash /", "\"quote \\\" backslash \\\\ slash /\""},
      {"line\r\nend\ttab", "\"line\\r\\nend\\ttab\""},
      {std::string("nul\0bell\x07 del\x7F", 14), "\"nul\\u0000bell\\u0007 del\\u007f\""},
      {"\xC3\xBC \xE2\x82\xAC \xF0\x9F\x98\x80", "\"\xC3\xBC \xE2\x82\xAC \xF0\x9F\x98\x80\""},
      // Bytes that are not UTF-8: a lone continuation, a cut sequence, an overlong form.
      {"a\x80z \xE2\x82 \xC0\xAF",
       "\"a\xEF\xBF\xBDz \xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\""},
  };
  for (const Case& c : cases) EXPECT_EQ(JsonString(c.text), c.json) << c.text;
}

TEST(InspectReport, AnsiDescriptionsAreConverted) {
  test::ContainerSpec parts;
  parts.description = "Caf\xE9 \x80 \x93quoted\x94\r\nna\xEFve";
  const ContainerReport report = Inspect(parts.BuildOn(Image()));
  ASSERT_TRUE(report.sound);
  EXPECT_EQ(report.encoding, TextEncoding::Ansi);
#if !defined(_WIN32)
  // Windows-1252, whatever the host's locale.
  EXPECT_EQ(TextAsUtf8(report.title, report.encoding),
            "Caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cquoted\xE2\x80\x9D");
#endif
  EXPECT_EQ(TextAsUtf8(report.description, report.encoding), "na\xC3\xAFve");
}

}  // namespace
}  // namespace scrivora
