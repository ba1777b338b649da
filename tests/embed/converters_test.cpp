// Which converter a document needs, where it is looked for, and what it is told.
#include "embed/converters.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/embed/embed_harness.h"

namespace scrivora {
namespace {

namespace fs = std::filesystem;
using test::NativeArgument;

EnvironmentLookup Environment(std::map<std::string, std::string> values) {
  return [values](const char* name) -> std::optional<NativeString> {
    const auto found = values.find(name);
    if (found == values.end()) return std::nullopt;
    return NativeArgument(found->second);
  };
}

std::vector<std::string> Utf8(const std::vector<fs::path>& paths) {
  std::vector<std::string> texts;
  for (const fs::path& path : paths) {
    const std::u8string text = path.u8string();
    texts.emplace_back(text.begin(), text.end());
  }
  return texts;
}

TEST(Converters, OnePerKindOfDocument) {
  EXPECT_EQ(ConverterFor(SourceKind::Docx), Converter::LibreOffice);
  EXPECT_EQ(ConverterFor(SourceKind::Doc), Converter::LibreOffice);
  EXPECT_EQ(ConverterFor(SourceKind::Odt), Converter::LibreOffice);
  EXPECT_EQ(ConverterFor(SourceKind::Markdown), Converter::Pandoc);
  EXPECT_FALSE(ConverterFor(SourceKind::Rtf));
  EXPECT_FALSE(ConverterFor(SourceKind::Unknown));
}

#if defined(_WIN32)

TEST(Converters, SearchPathThenInstallFolders) {
  const auto environment = Environment({{"PATH", "C:\\bin;;bin;.\\x;\"C:\\odd;dir\";D:\\tools\\"},
                                        {"ProgramFiles", "C:\\Program Files"},
                                        {"ProgramW6432", "C:\\Program Files"},
                                        {"ProgramFiles(x86)", "C:\\Program Files (x86)"},
                                        {"LOCALAPPDATA", "C:\\Users\\\xC3\xBC\\AppData\\Local"}});
  EXPECT_EQ(Utf8(ConverterCandidates(Converter::LibreOffice, environment)),
            (std::vector<std::string>{
                "C:\\bin\\soffice.exe", "C:\\odd;dir\\soffice.exe", "D:\\tools\\soffice.exe",
                "C:\\Program Files\\LibreOffice\\program\\soffice.exe",
                "C:\\Program Files (x86)\\LibreOffice\\program\\soffice.exe"}));
  EXPECT_EQ(Utf8(ConverterCandidates(Converter::Pandoc, environment)),
            (std::vector<std::string>{"C:\\bin\\pandoc.exe", "C:\\odd;dir\\pandoc.exe",
                                      "D:\\tools\\pandoc.exe",
                                      "C:\\Users\\\xC3\xBC\\AppData\\Local\\Pandoc\\pandoc.exe",
                                      "C:\\Program Files\\Pandoc\\pandoc.exe"}));
  EXPECT_TRUE(ConverterCandidates(Converter::Pandoc, Environment({})).empty());
}

TEST(Converters, FileUrls) {
  EXPECT_EQ(FileUrl(test::Utf8Path("C:\\Books\\my book #1\\\xC3\xBC%")),
            "file:///C:/Books/my%20book%20%231/%C3%BC%25");
  EXPECT_EQ(FileUrl(test::Utf8Path("\\\\server\\share\\a b")), "file://server/share/a%20b");
}

#else

TEST(Converters, SearchPathInOrderWithoutTheCurrentFolder) {
  const auto environment =
      Environment({{"PATH", "/usr/local/bin::bin:./x:/usr/bin:"}, {"ProgramFiles", "/ignored"}});
  EXPECT_EQ(Utf8(ConverterCandidates(Converter::LibreOffice, environment)),
            (std::vector<std::string>{"/usr/local/bin/soffice", "/usr/bin/soffice",
                                      "/usr/local/bin/libreoffice", "/usr/bin/libreoffice"}));
  EXPECT_EQ(Utf8(ConverterCandidates(Converter::Pandoc, environment)),
            (std::vector<std::string>{"/usr/local/bin/pandoc", "/usr/bin/pandoc"}));
  EXPECT_TRUE(ConverterCandidates(Converter::Pandoc, Environment({})).empty());
  EXPECT_TRUE(ConverterCandidates(Converter::Pandoc, Environment({{"PATH", ""}})).empty());
}

TEST(Converters, FileUrls) {
  EXPECT_EQ(FileUrl("/home/a/my book #1/\xC3\xBC%?&;"),
            "file:///home/a/my%20book%20%231/%C3%BC%25%3F%26%3B");
  EXPECT_EQ(FileUrl("/tmp/plain-name_1.~x"), "file:///tmp/plain-name_1.~x");
}

#endif

TEST(Converters, Arguments) {
  const fs::path source = test::Utf8Path("/w/-book \xC3\xBC.docx");
  const fs::path out = test::Utf8Path("/w/mbcnvAbc123/out");
  const fs::path profile = test::Utf8Path("/w/mbcnvAbc123/profile");
  std::vector<NativeString> expected;
  for (const char* a : {"--headless", "--norestore", "--nolockcheck"}) {
    expected.push_back(NativeArgument(a));
  }
  expected.push_back(NativeArgument("-env:UserInstallation=" + FileUrl(profile)));
  for (const char* a : {"--convert-to", "rtf", "--outdir"}) expected.push_back(NativeArgument(a));
  expected.push_back(out.native());
  expected.push_back(source.native());
  EXPECT_EQ(ConverterArguments(Converter::LibreOffice, source, out, profile), expected);

  expected.clear();
  for (const char* a : {"-s", "-f", "markdown", "-t", "rtf"}) expected.push_back(NativeArgument(a));
  expected.push_back(NativeArgument("--resource-path=") + source.parent_path().native());
  expected.push_back(NativeArgument("-o"));
  expected.push_back((out / "converted.rtf").native());
  expected.push_back(source.native());
  EXPECT_EQ(ConverterArguments(Converter::Pandoc, source, out / "converted.rtf", profile),
            expected);
}

TEST(Converters, MissingConverterSaysWhatToDo) {
  const std::string office = MissingConverterAdvice(Converter::LibreOffice, SourceKind::Docx);
  const std::string pandoc = MissingConverterAdvice(Converter::Pandoc, SourceKind::Markdown);
  EXPECT_NE(office.find("LibreOffice converts DOCX documents"), std::string::npos) << office;
  EXPECT_NE(pandoc.find("pandoc converts Markdown documents"), std::string::npos) << pandoc;
  for (const std::string& advice : {office, pandoc}) {
    EXPECT_NE(advice.find("or save the document as RTF"), std::string::npos) << advice;
  }
#if defined(_WIN32)
  EXPECT_NE(office.find("https://www.libreoffice.org/download/"), std::string::npos);
  EXPECT_NE(pandoc.find("https://pandoc.org/installing.html"), std::string::npos);
#else
  EXPECT_NE(office.find("apt install libreoffice-writer-nogui"), std::string::npos);
  EXPECT_NE(pandoc.find("apt install pandoc"), std::string::npos);
#endif
}

}  // namespace
}  // namespace scrivora
