#include "bench/notes_document.h"

#include <cstdint>

namespace scrivora::bench {
namespace {

const char kHeader[] =
    "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff31507\\deff0\\deflang1033"
    "{\\fonttbl{\\f0\\fbidi \\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}"
    "{\\f37\\fbidi \\fswiss\\fcharset0\\fprq2 Calibri;}}\r\n"
    "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
    "{\\stylesheet{\\ql \\li0\\ri0\\sa160\\sl259\\slmult1\\widctlpar \\fs22\\lang1033 \\snext0 Normal;}"
    "{\\s15\\ql \\fs20 \\sbasedon0 \\snext15 footnote text;}"
    "{\\*\\cs16 \\additive \\super \\sbasedon10 footnote reference;}}\r\n"
    "{\\*\\rsidtbl \\rsid1379345\\rsid2452481\\rsid15863462}\r\n"
    "{\\info{\\title Benchmark}{\\author Bench}}\r\n"
    "\\paperw12240\\paperh15840\\margl1440\\margr1440\\ftnbj\\aenddoc\\sectd \\pard\\plain \r\n";

const char kSentence[] =
    "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\insrsid15863462 \\hich\\af31506\\dbch\\af31505"
    "\\loch\\f31506 The quick brown fox jumps over the lazy dog while the caf\\'e9 owner "
    "watches, \\u8220\\'93amused\\u8221\\'94, from the doorway. }";

const char kNote[] =
    "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\cs16\\super\\insrsid15863462 \\chftn "
    "{\\footnote \\ltrpar \\pard\\plain \\ltrpar\\s15\\ql \\li0\\ri0\\widctlpar\\fs20\\lang1033 "
    "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\cs16\\super\\insrsid15863462 \\chftn }"
    "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\insrsid15863462 \\hich\\af31506\\dbch\\af31505"
    "\\loch\\f31506  A footnote that cites a source, with {\\i italics} and a page number.}}}";

}  // namespace

std::string MakeNotesDocument(std::size_t bytes, int notes) {
  std::string rtf = kHeader;
  // Theme data as Word writes it: long lines of hex digits.
  rtf += "{\\*\\themedata ";
  for (int line = 0; line < 2000; ++line) {
    for (int i = 0; i < 64; ++i) {
      static const char hex[] = "0123456789abcdef";
      rtf += hex[(line * 7 + i * 13) & 15];
      rtf += hex[(line + i) & 15];
    }
    rtf += "\r\n";
  }
  rtf += "}\r\n";
  const std::size_t perNote = bytes > rtf.size() ? (bytes - rtf.size()) / notes : 0;
  for (int n = 0; n < notes; ++n) {
    const std::size_t target = rtf.size() + perNote;
    while (rtf.size() + sizeof kSentence + sizeof kNote < target) {
      rtf += kSentence;
      rtf += "\r\n";
    }
    rtf += kNote;
    rtf += "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\insrsid15863462 \\par }\r\n";
  }
  rtf += "}\r\n";
  return rtf;
}

}  // namespace scrivora::bench
