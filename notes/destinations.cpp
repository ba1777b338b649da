#include "notes/destinations.h"

#include <unordered_map>

namespace scrivora::rtf {
namespace {

struct Entry {
  std::string_view word;
  Destination destination;
};

// Destinations the rich-edit control skips: dropping them keeps containers small. The note
// separators go too, since the documents written here hold no notes of their own.
constexpr Entry kEntries[] = {
    {"themedata", Destination::Ignored},      {"colorschememapping", Destination::Ignored},
    {"datastore", Destination::Ignored},      {"latentstyles", Destination::Ignored},
    {"rsidtbl", Destination::Ignored},        {"xmlnstbl", Destination::Ignored},
    {"mmathPr", Destination::Ignored},        {"pgdsctbl", Destination::Ignored},
    {"wgrffmtfilter", Destination::Ignored},  {"ftnsep", Destination::Ignored},
    {"ftnsepc", Destination::Ignored},        {"aftnsep", Destination::Ignored},
    {"aftnsepc", Destination::Ignored},       {"generator", Destination::Ignored},
    // Tables that the notes document needs as much as the main text.
    {"fonttbl", Destination::HeaderTable},    {"colortbl", Destination::HeaderTable},
    {"stylesheet", Destination::HeaderTable}, {"listtable", Destination::HeaderTable},
    {"listoverridetable", Destination::HeaderTable}, {"revtbl", Destination::HeaderTable},
    {"defchp", Destination::HeaderTable},     {"defpap", Destination::HeaderTable},
    {"upr", Destination::HeaderTable},        {"ud", Destination::HeaderTable},
    // Content that is not document text; list labels are made again from the list tables.
    {"info", Destination::NonText},           {"pict", Destination::NonText},
    {"object", Destination::NonText},         {"objdata", Destination::NonText},
    {"fldinst", Destination::NonText},        {"datafield", Destination::NonText},
    {"filetbl", Destination::NonText},        {"nonshppict", Destination::NonText},
    {"shpinst", Destination::NonText},        {"sp", Destination::NonText},
    {"sn", Destination::NonText},             {"sv", Destination::NonText},
    {"bkmkstart", Destination::NonText},      {"bkmkend", Destination::NonText},
    {"xmlattrname", Destination::NonText},    {"xmlattrvalue", Destination::NonText},
    {"panose", Destination::NonText},         {"listtext", Destination::NonText},
    {"pntext", Destination::NonText},
};

const std::unordered_map<std::string_view, Destination>& Table() {
  static const std::unordered_map<std::string_view, Destination> table = [] {
    std::unordered_map<std::string_view, Destination> entries;
    for (const Entry& entry : kEntries) entries.emplace(entry.word, entry.destination);
    return entries;
  }();
  return table;
}

}  // namespace

Destination ClassifyDestination(std::string_view word, bool starred) {
  if (word == "footnote") return Destination::Note;
  const auto& table = Table();
  if (const auto found = table.find(word); found != table.end()) return found->second;
  return starred ? Destination::NonText : Destination::Plain;
}

}  // namespace scrivora::rtf
