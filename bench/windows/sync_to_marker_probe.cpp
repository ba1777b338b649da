// Times the slowest note-tracking run on real rich-edit panes: a document of about 5 MB of text
// with 5,000 notes, the reader at the last note, so the lookup from the start of the other pane
// has to pass the whole text. Prints the slowest and the median run in milliseconds.
#include <richedit.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/windows/probe_timing.h"
#include "viewer/core/note_tracking.h"
#include "viewer/core/text_snapshot_pane.h"

namespace {

using scrivora::CharRange;
using scrivora::bench::Figure;
using scrivora::bench::Milliseconds;
using scrivora::bench::Time;

// The find flags of commdlg.h (FR_DOWN, FR_WHOLEWORD, FR_MATCHCASE).
constexpr WPARAM kFindDown = 1, kFindWholeWord = 2, kFindMatchCase = 4;

// The pane operations over a rich-edit control, as the viewer's adapter performs them.
class RichEditPane : public scrivora::PaneControl {
 public:
  explicit RichEditPane(HWND control) : control_(control) {}
  HWND Window() const { return control_; }
  std::int32_t FirstVisibleLine() const override {
    return static_cast<std::int32_t>(SendMessageW(control_, EM_GETFIRSTVISIBLELINE, 0, 0));
  }
  std::int32_t LineIndex(std::int32_t line) const override {
    return static_cast<std::int32_t>(SendMessageW(control_, EM_LINEINDEX, line, 0));
  }
  std::int32_t LineFromChar(std::int32_t index) const override {
    return static_cast<std::int32_t>(SendMessageW(control_, EM_EXLINEFROMCHAR, 0, index));
  }
  void ScrollLines(std::int32_t lines) override { SendMessageW(control_, EM_LINESCROLL, 0, lines); }
  std::int32_t FindString(std::u16string_view text, std::int32_t start, bool matchCase,
                          bool wholeWord) const override {
    std::wstring needle(text.begin(), text.end());
    FINDTEXTEXW find{};
    find.chrg.cpMin = start;
    find.chrg.cpMax = -1;
    find.lpstrText = needle.c_str();
    const WPARAM flags =
        kFindDown | (matchCase ? kFindMatchCase : 0) | (wholeWord ? kFindWholeWord : 0);
    return static_cast<std::int32_t>(
        SendMessageW(control_, EM_FINDTEXTEXW, flags, reinterpret_cast<LPARAM>(&find)));
  }
  std::u16string TextRange(std::int32_t from, std::int32_t to) const override {
    std::wstring buffer(static_cast<std::size_t>(to - from) + 1, L'\0');
    TEXTRANGEW range{{from, to}, buffer.data()};
    const auto got = SendMessageW(control_, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    return std::u16string(buffer.begin(), buffer.begin() + got);
  }
  CharRange Selection() const override {
    CHARRANGE range{};
    SendMessageW(control_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return {range.cpMin, range.cpMax};
  }
  void SetSelection(CharRange range) override {
    CHARRANGE chosen{range.min, range.max};
    SendMessageW(control_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&chosen));
  }
  std::int32_t TextLength() const override {
    GETTEXTLENGTHEX how{GTL_NUMCHARS | GTL_PRECISE, 1200};
    return static_cast<std::int32_t>(
        SendMessageW(control_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
  }

 private:
  HWND control_;
};

std::wstring Marker(int n) { return L"\u00B7" + std::to_wstring(n) + L"\u00B7"; }

HWND MakePane(HWND parent, const std::wstring& text) {
  HWND pane = CreateWindowExW(0, MSFTEDIT_CLASS, L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 0, 0,
                              780, 400, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(pane, EM_EXLIMITTEXT, 0, 64 * 1024 * 1024);
  SETTEXTEX set{ST_DEFAULT, 1200};
  SendMessageW(pane, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set),
               reinterpret_cast<LPARAM>(text.c_str()));
  return pane;
}

}  // namespace

int wmain() {
  constexpr int kNotes = 5000;
  LoadLibraryW(L"msftedit.dll");
  std::wstring text;
  std::wstring notes;
  const std::wstring words =
      L"The quick brown fox jumps over the lazy dog, and the reader follows every word of it. ";
  for (int n = 1; n <= kNotes; ++n) {
    for (int i = 0; i < 11; ++i) text += words;
    text += L"reference" + Marker(n) + L" here.\r\n";
    notes += Marker(n) + L" Note number " + std::to_wstring(n) + L" explains a point.\r\n";
  }
  HWND frame = CreateWindowExW(0, L"STATIC", L"probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800,
                               900, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  RichEditPane textPane(MakePane(frame, text));
  RichEditPane notesPane(MakePane(frame, notes));
  std::printf("text pane: %d characters; notes pane: %d characters; %d notes\n",
              textPane.TextLength(), notesPane.TextLength(), kNotes);

  const std::wstring lastMarker = Marker(kNotes);
  const std::u16string last(lastMarker.begin(), lastMarker.end());
  const auto lastSize = static_cast<std::int32_t>(last.size());
  const std::int32_t lastReference = textPane.FindString(last, 0, false, false);
  const std::int32_t lastNote = notesPane.FindString(last, 0, false, false);
  // The reader has the last note (reference) on the top line: the lookup in the other pane runs
  // from its start to its end.
  const std::int32_t notesStart = notesPane.LineIndex(notesPane.LineFromChar(lastNote));
  const std::int32_t textStart = textPane.LineIndex(textPane.LineFromChar(lastReference));

  bool right = true;
  const auto check = [&](const char* what, bool ok) {
    if (!ok) std::printf("WRONG: %s\n", what);
    right = right && ok;
  };
  const HWND textWindow = textPane.Window();
  const HWND notesWindow = notesPane.Window();
  const auto measure = [&](const char* name, scrivora::PaneControl& text,
                           scrivora::PaneControl& notes, int repeats) {
    const Figure toText = Time([&] { text.ScrollLines(-text.FirstVisibleLine()); },
                               [&] {
                                 scrivora::SyncToMarker(notes, notesStart, text);
                                 UpdateWindow(textWindow);
                               },
                               repeats);
    check("text pane selection",
          text.Selection() == CharRange{lastReference, lastReference + lastSize});
    const Figure toNotes = Time([&] { notes.ScrollLines(-notes.FirstVisibleLine()); },
                                [&] {
                                  scrivora::SyncToMarker(text, textStart, notes);
                                  UpdateWindow(notesWindow);
                                },
                                repeats);
    check("notes pane selection", notes.Selection() == CharRange{lastNote, lastNote + lastSize});
    std::printf(
        "%s, notes -> text (last note): slowest %.2f ms, 95%% %.2f ms, median %.2f ms, "
        "fastest %.2f ms\n",
        name, toText.slowest, toText.p95, toText.median, toText.fastest);
    std::printf(
        "%s, text -> notes (last note): slowest %.2f ms, 95%% %.2f ms, median %.2f ms, "
        "fastest %.2f ms\n",
        name, toNotes.slowest, toNotes.p95, toNotes.median, toNotes.fastest);
  };

  measure("SyncToMarker, control's search", textPane, notesPane, 5);

  scrivora::TextSnapshotPane textSnapshot(textPane);
  scrivora::TextSnapshotPane notesSnapshot(notesPane);
  const Figure snapshot = Time(
      [&] {
        textSnapshot.TakeSnapshot();
        notesSnapshot.TakeSnapshot();
      },
      3);
  std::printf("snapshot of both panes after loading: %.2f ms\n", snapshot.median);
  measure("SyncToMarker, snapshot search", textSnapshot, notesSnapshot, 100);

  // Same answers as the control's own search: markers across both panes, in other letter case.
  for (int n = 1; n <= kNotes; n += 499) {
    for (const std::wstring& marker : {Marker(n), L"\u00B7" + std::to_wstring(n) + L"\u00B7"}) {
      const std::u16string needle(marker.begin(), marker.end());
      for (std::int32_t from : {0, lastNote / 2}) {
        check("notes lookup", notesSnapshot.FindString(needle, from, false, false) ==
                                  notesPane.FindString(needle, from, false, false));
      }
    }
  }
  for (const wchar_t* word : {L"QUICK", L"Lazy DOG", L"REFERENCE\u00B7", L"nOtE nUmBeR 4999"}) {
    const std::wstring wide(word);
    const std::u16string needle(wide.begin(), wide.end());
    check("word lookup", textSnapshot.FindString(needle, 4000000, false, false) ==
                             textPane.FindString(needle, 4000000, false, false));
    check("notes word lookup", notesSnapshot.FindString(needle, 0, false, false) ==
                                   notesPane.FindString(needle, 0, false, false));
  }
  const auto phase = [&](const char* what, auto run) {
    const Figure figure = Time(run, 10);
    std::printf("  %s: slowest %.2f ms, median %.2f ms\n", what, figure.slowest, figure.median);
  };
  phase("find marker in the text snapshot",
        [&] { (void)scrivora::FindMarker(textSnapshot, textStart); });
  phase("find last marker in the text snapshot",
        [&] { (void)textSnapshot.FindString(last, 0, false, false); });
  phase("select it", [&] { textPane.SetSelection({lastReference, lastReference + lastSize}); });
  phase("line of it", [&] { (void)textPane.LineFromChar(lastReference); });
  phase("first visible line", [&] { (void)textPane.FirstVisibleLine(); });
  phase("line index", [&] { (void)textPane.LineIndex(textPane.LineFromChar(lastReference)); });
  const Figure down = Time([&] { textPane.ScrollLines(-textPane.FirstVisibleLine()); },
                           [&] { textPane.ScrollLines(textPane.LineFromChar(lastReference)); }, 10);
  std::printf("  scroll 0 -> end: slowest %.2f ms, median %.2f ms\n", down.slowest, down.median);
  const Figure paint = Time([&] { InvalidateRect(textWindow, nullptr, TRUE); },
                            [&] { UpdateWindow(textWindow); }, 10);
  std::printf("  repaint of the pane: slowest %.2f ms, median %.2f ms\n", paint.slowest,
              paint.median);
  std::printf("text length: control %d, snapshot %d\n", textPane.TextLength(),
              textSnapshot.TextLength());
  check("text length", textSnapshot.TextLength() == textPane.TextLength());
  std::printf("target: at most 16 ms; results %s\n",
              right ? "the same as the control's" : "DIFFER");
  DestroyWindow(frame);
  return right ? 0 : 1;
}
