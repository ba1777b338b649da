// Telling an author's document apart by its bytes: small archives and signatures made here.
#include "embed/source_kind.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace scrivora {
namespace {

void PutLittle(std::string& out, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A ZIP archive of stored entries, as the writers of DOCX and ODT files lay it out: local
// headers with the data, then the central directory and its end record (with `comment`).
std::string Zip(const std::vector<std::pair<std::string, std::string>>& entries,
                const std::string& comment = "") {
  std::string archive, directory;
  for (const auto& [name, data] : entries) {
    const std::uint32_t offset = static_cast<std::uint32_t>(archive.size());
    archive += "PK\x03\x04";
    PutLittle(archive, 20, 2);  // version needed
    PutLittle(archive, 0, 2);   // flags
    PutLittle(archive, 0, 2);   // stored
    PutLittle(archive, 0, 4);   // time and date
    PutLittle(archive, 0, 4);   // CRC (not looked at)
    PutLittle(archive, static_cast<std::uint32_t>(data.size()), 4);
    PutLittle(archive, static_cast<std::uint32_t>(data.size()), 4);
    PutLittle(archive, static_cast<std::uint32_t>(name.size()), 2);
    PutLittle(archive, 0, 2);
    archive += name + data;

    directory += "PK\x01\x02";
    PutLittle(directory, 20, 2);
    PutLittle(directory, 20, 2);
    PutLittle(directory, 0, 2);
    PutLittle(directory, 0, 2);
    PutLittle(directory, 0, 4);
    PutLittle(directory, 0, 4);
    PutLittle(directory, static_cast<std::uint32_t>(data.size()), 4);
    PutLittle(directory, static_cast<std::uint32_t>(data.size()), 4);
    PutLittle(directory, static_cast<std::uint32_t>(name.size()), 2);
    PutLittle(directory, 0, 2);  // extra
    PutLittle(directory, 0, 2);  // comment
    PutLittle(directory, 0, 2);  // disk
    PutLittle(directory, 0, 2);  // internal attributes
    PutLittle(directory, 0, 4);  // external attributes
    PutLittle(directory, offset, 4);
    directory += name;
  }
  const std::uint32_t directoryOffset = static_cast<std::uint32_t>(archive.size());
  archive += directory;
  archive += "PK\x05\x06";
  PutLittle(archive, 0, 2);
  PutLittle(archive, 0, 2);
  PutLittle(archive, static_cast<std::uint32_t>(entries.size()), 2);
  PutLittle(archive, static_cast<std::uint32_t>(entries.size()), 2);
  PutLittle(archive, static_cast<std::uint32_t>(directory.size()), 4);
  PutLittle(archive, directoryOffset, 4);
  PutLittle(archive, static_cast<std::uint32_t>(comment.size()), 2);
  return archive + comment;
}

const std::string kOdtType = "application/vnd.oasis.opendocument.text";
const std::string kDocx = Zip({{"[Content_Types].xml", "<Types/>"},
                               {"_rels/.rels", "<Relationships/>"},
                               {"word/document.xml", "<w:document/>"}});
const std::string kOdt = Zip({{"mimetype", kOdtType}, {"content.xml", "<office:document/>"}});

TEST(SourceKind, ToldByContentFirst) {
  struct Case {
    const char* what;
    std::string bytes;
    const char* name;
    SourceKind kind;
  };
  const std::string ole2("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0\0\0", 12);
  const Case cases[] = {
      {"RTF", "{\\rtf1\\ansi text}", "book.rtf", SourceKind::Rtf},
      {"RTF under another name", "{\\rtf1 text}", "book.md", SourceKind::Rtf},
      {"DOCX", kDocx, "book.docx", SourceKind::Docx},
      {"DOCX under another name", kDocx, "book.rtf", SourceKind::Docx},
      {"DOCX with an archive comment", Zip({{"word/document.xml", "x"}}, "a comment PK\x05\x06"),
       "book.docx", SourceKind::Docx},
      {"ODT", kOdt, "book.odt", SourceKind::Odt},
      {"ODT under another name", kOdt, "book", SourceKind::Odt},
      {"DOC", ole2, "book.doc", SourceKind::Doc},
      {"Markdown", "# A book\n\nText.[^1]\n\n[^1]: A note.\n", "book.md", SourceKind::Markdown},
      {"Markdown, long extension, any case", "Text.\n", "Book.MarkDown", SourceKind::Markdown},
      {"text that claims to be RTF", "# A book\n", "book.rtf", SourceKind::Unknown},
      {"an empty file", "", "book.rtf", SourceKind::Unknown},
      {"an empty Markdown file", "", "book.md", SourceKind::Markdown},
      {"an archive without a document", Zip({{"word/styles.xml", "x"}}), "book.docx",
       SourceKind::Unknown},
      {"OpenDocument, but a spreadsheet",
       Zip({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}}), "book.odt",
       SourceKind::Unknown},
      {"mimetype not first", Zip({{"content.xml", "x"}, {"mimetype", kOdtType}}), "book.odt",
       SourceKind::Unknown},
      {"Markdown named without its extension", "Text.\n", "book.txt", SourceKind::Unknown},
      {"a folder called .md in the path", "Text.\n", "notes.md/book", SourceKind::Unknown},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DetectSourceKind(c.bytes, c.name), c.kind) << c.what;
  }
}

// Damaged archives are looked at only within their bytes, and are no document.
TEST(SourceKind, DamagedArchivesAreNoDocument) {
  // Every cut of a DOCX and an ODT: no read outside the bytes (the sanitizers and the fuzz target
  // see to that), and a short one is never taken for a whole archive of its kind.
  for (std::size_t length = 0; length < kDocx.size(); ++length) {
    const SourceKind kind = DetectSourceKind(std::string_view(kDocx).substr(0, length), "x.docx");
    EXPECT_EQ(kind, SourceKind::Unknown) << "cut at " << length;
  }
  for (std::size_t length = 0; length < 30 + 8 + kOdtType.size(); ++length) {
    EXPECT_EQ(DetectSourceKind(std::string_view(kOdt).substr(0, length), "x.odt"),
              SourceKind::Unknown)
        << "cut at " << length;
  }
  // A central directory that claims more than the archive holds.
  std::string lying = kDocx;
  lying[lying.size() - 22 + 12] = '\x7F';
  EXPECT_EQ(DetectSourceKind(lying, "x.docx"), SourceKind::Unknown);
  std::string tooMany = kDocx;
  tooMany[tooMany.size() - 22 + 10] = '\x40';  // 64 entries in a directory of three
  EXPECT_EQ(DetectSourceKind(tooMany, "x.docx"), SourceKind::Docx);
  tooMany = Zip({{"a", "b"}});
  tooMany[tooMany.size() - 22 + 10] = '\x40';
  EXPECT_EQ(DetectSourceKind(tooMany, "x.docx"), SourceKind::Unknown);
}

}  // namespace
}  // namespace scrivora
