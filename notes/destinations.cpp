#include "notes/destinations.h"

#include <algorithm>
#include <array>

namespace scrivora::rtf {
namespace {

template <std::size_t N>
bool OneOf(std::string_view word, const std::array<std::string_view, N>& words) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

// Destinations the rich-edit control skips: dropping them keeps containers small. The note
// separators go too, since the documents written here hold no notes of their own.
constexpr std::array<std::string_view, 14> kIgnored = {
    "themedata", "colorschememapping", "datastore", "latentstyles", "rsidtbl",
    "xmlnstbl",  "mmathPr",            "pgdsctbl",  "wgrffmtfilter", "ftnsep",
    "ftnsepc",   "aftnsep",            "aftnsepc",  "generator"};

constexpr std::array<std::string_view, 10> kHeaderTables = {
    "fonttbl", "colortbl", "stylesheet", "listtable", "listoverridetable",
    "revtbl",  "defchp",   "defpap",     "upr",       "ud"};

constexpr std::array<std::string_view, 19> kNonText = {
    "info",     "pict",     "object",    "objdata",    "fldinst",   "datafield",
    "filetbl",  "nonshppict", "shpinst", "sp",         "sn",        "sv",
    "bkmkstart", "bkmkend", "xmlattrname", "xmlattrvalue", "panose", "listtext", "pntext"};

constexpr std::array<std::string_view, 27> kCharacterWords = {
    "par",     "line",     "tab",       "cell",      "row",       "nestcell",  "sect",
    "page",    "column",   "emdash",    "endash",    "emspace",   "enspace",   "qmspace",
    "bullet",  "lquote",   "rquote",    "ldblquote", "rdblquote", "zwj",       "zwnj",
    "ltrmark", "rtlmark",  "u",         "chftn",     "chpgn",     "softline"};

}  // namespace

Destination ClassifyDestination(std::string_view word, bool starred) {
  if (word == "footnote") return Destination::Note;
  if (OneOf(word, kIgnored)) return Destination::Ignored;
  if (OneOf(word, kHeaderTables)) return Destination::HeaderTable;
  if (starred || OneOf(word, kNonText)) return Destination::NonText;
  return Destination::Plain;
}

bool IsCharacterWord(std::string_view word) { return OneOf(word, kCharacterWords); }

}  // namespace scrivora::rtf
