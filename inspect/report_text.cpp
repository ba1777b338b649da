#include "inspect/report_text.h"

#include <cstdio>

#include "container/trailer.h"
#include "inspect/ansi_text.h"

namespace scrivora {
namespace {

// Length of the valid UTF-8 sequence at `at`, or 0 when the bytes there are not one.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
  const auto b = static_cast<unsigned char>(text[at]);
  std::size_t length = 0;
  char32_t c = 0;
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) {
    length = 2;
    c = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    length = 3;
    c = b & 0x0F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    length = 4;
    c = b & 0x07;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0) != 0x80) return 0;
    c = c << 6 | (next & 0x3F);
  }
  const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
  if (overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return length;
}

std::string Number(std::uint64_t n) { return std::to_string(n); }

const char* EncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8: return "UTF-8";
    case TextEncoding::Utf8Bom: return "UTF-8 with byte order mark";
    case TextEncoding::Ansi: return "ANSI code page";
  }
  return "";
}

std::int32_t ShownPercent(std::int32_t percent) {
  return percent < 0 ? 0 : (percent > 100 ? 100 : percent);
}

// Lines after the first are indented to stand under it (empty ones stay empty); line ends
// become plain line feeds.
std::string Indented(std::string_view text, std::string_view indent) {
  std::string out;
  bool lineStart = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    const bool lineEnd = text[i] == '\r' || text[i] == '\n';
    if (lineStart && !lineEnd) out += indent;
    out.push_back(lineEnd ? '\n' : text[i]);
    lineStart = lineEnd;
  }
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

struct Piece {
  const char* name;
  const char* key;
  std::uint64_t offset;
  std::uint64_t size;
  const StreamReport* stream = nullptr;
};

std::vector<Piece> Pieces(const ContainerReport& report) {
  const LayoutResult& layout = report.layout;
  const ContainerTrailer& t = layout.trailer;
  const auto descriptionAt = static_cast<std::uint64_t>(t.descriptionOffset);
  std::vector<Piece> pieces = {
      {"viewer image", "viewer", 0, static_cast<std::uint64_t>(t.mainOffset)},
      {"main stream", "main", report.main.offset, report.main.pieceSize, &report.main},
      {"notes stream", "notes", report.notes.offset, report.notes.pieceSize, &report.notes},
      {"description", "description", descriptionAt, layout.DescriptionEnd() - descriptionAt},
      {"trailer", "trailer", layout.TrailerOffset(), kTrailerSize},
  };
  if (layout.padding > 0) {
    pieces.push_back({"signing padding", "padding", layout.containerEnd - layout.padding,
                      layout.padding});
  }
  if (layout.certificate.present()) {
    pieces.push_back({"certificate table", "certificateTable", layout.certificate.offset,
                      layout.certificate.size});
  }
  return pieces;
}

std::string Padded(std::string text, std::size_t width, bool right) {
  const std::string fill(text.size() < width ? width - text.size() : 0, ' ');
  return right ? fill + text : text + fill;
}

}  // namespace

const char* CopyingWords(std::int32_t permissions) {
  return (permissions & PermitCopy) ? "allowed" : "not allowed";
}

const char* PrintingWords(std::int32_t permissions) {
  if (!(permissions & PermitPrint)) return "nothing";
  return (permissions & PermitPrintAll) ? "everything" : "the current page only";
}

std::string TextAsUtf8(std::string_view bytes, TextEncoding encoding) {
  return encoding == TextEncoding::Ansi ? AnsiToUtf8(bytes) : std::string(bytes);
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = Utf8SequenceLength(text, at);
    if (length == 0) {
      out += "\xEF\xBF\xBD";  // U+FFFD: JSON text is UTF-8 throughout
      ++at;
      continue;
    }
    const char c = text[at];
    if (length > 1) {
      out.append(text.substr(at, length));
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
      out += escape;
    } else {
      out += c;
    }
    at += length;
  }
  return out + "\"";
}

std::string ReportAsText(const ContainerReport& report, std::string_view fileName) {
  std::string out(fileName);
  if (!report.sound) return out + ": not a sound container. " + report.reason + "\n";
  const LayoutResult& layout = report.layout;
  const ContainerTrailer& t = layout.trailer;
  const std::string indent(15, ' ');
  out += ": a sound container\n";
  out += "  Title:       " + TextAsUtf8(report.title, report.encoding) + "\n";
  out += "  Description: " + Indented(TextAsUtf8(report.description, report.encoding), indent) +
         "\n";
  out += "  Text:        " + std::string(EncodingName(report.encoding)) + "\n";
  out += "  Copying:     " + std::string(CopyingWords(t.permissions)) + "\n";
  out += "  Printing:    " + std::string(PrintingWords(t.permissions)) + "\n";
  out += "  Notes pane:  " + std::to_string(t.notesPercent) + "% of the window";
  if (ShownPercent(t.notesPercent) != t.notesPercent) {
    out += " (shown as " + std::to_string(ShownPercent(t.notesPercent)) + "%)";
  }
  out += "\n  Note markers: " + Number(report.main.markers.size()) + " in the main text, " +
         Number(report.notes.markers.size()) + " in the notes; ";
  if (report.pairing.paired()) {
    out += "they pair up\n";
  } else {
    out += "they do not pair up (" + Number(report.pairing.mainWithoutNote) +
           " without a note, " + Number(report.pairing.notesWithoutMain) +
           " notes without a marker in the text)\n";
  }
  out += "  Signed:      ";
  out += layout.certificate.present()
             ? "yes, a certificate table of " + Number(layout.certificate.size) +
                   " bytes (not verified)\n"
             : "no\n";
  out += "  Pieces:              offset        size\n";
  for (const Piece& piece : Pieces(report)) {
    out += "    " + Padded(piece.name, 17, false) + Padded(Number(piece.offset), 10, true) +
           Padded(Number(piece.size), 12, true);
    if (piece.stream) out += "  (RTF: " + Number(piece.stream->rtfBytes) + " bytes)";
    out += "\n";
  }
  out += "  File size:   " + Number(layout.fileLength) + " bytes\n";
  return out;
}

std::string ReportAsJson(const ContainerReport& report, std::string_view fileName) {
  const LayoutResult& layout = report.layout;
  std::string out = "{\"file\": " + JsonString(fileName) +
                    ", \"sound\": " + (report.sound ? "true" : "false");
  if (!report.sound) {
    return out + ", \"reason\": " + JsonString(report.reason) + ", \"fileSize\": " +
           Number(layout.fileLength) + "}\n";
  }
  const ContainerTrailer& t = layout.trailer;
  out += ", \"title\": " + JsonString(TextAsUtf8(report.title, report.encoding));
  out += ", \"description\": " + JsonString(TextAsUtf8(report.description, report.encoding));
  out += ", \"textEncoding\": " + JsonString(EncodingName(report.encoding));
  out += ", \"copying\": " + JsonString(CopyingWords(t.permissions));
  out += ", \"printing\": " + JsonString(PrintingWords(t.permissions));
  out += ", \"permissions\": " + std::to_string(t.permissions);
  out += ", \"notesPercent\": " + std::to_string(t.notesPercent);
  out += ", \"notesPercentShown\": " + std::to_string(ShownPercent(t.notesPercent));
  out += ", \"markers\": {\"main\": " + Number(report.main.markers.size()) +
         ", \"notes\": " + Number(report.notes.markers.size()) +
         ", \"paired\": " + (report.pairing.paired() ? "true" : "false") +
         ", \"mainWithoutNote\": " + Number(report.pairing.mainWithoutNote) +
         ", \"notesWithoutMain\": " + Number(report.pairing.notesWithoutMain) + "}";
  out += ", \"signed\": " + std::string(layout.certificate.present() ? "true" : "false");
  out += ", \"certificateTableSize\": " + Number(layout.certificate.size);
  out += ", \"fileSize\": " + Number(layout.fileLength);
  out += ", \"containerEnd\": " + Number(layout.containerEnd);
  out += ", \"pieces\": {";
  bool first = true;
  for (const Piece& piece : Pieces(report)) {
    out += first ? "" : ", ";
    first = false;
    out += JsonString(piece.key) + ": {\"offset\": " + Number(piece.offset) +
           ", \"size\": " + Number(piece.size);
    if (piece.stream) out += ", \"rtfBytes\": " + Number(piece.stream->rtfBytes);
    out += "}";
  }
  return out + "}}\n";
}

}  // namespace scrivora
