// Times note tracking in the viewer as built: a container of about 5 MB of text with 5,000 notes
// behind the real scrivora.exe image, opened by the viewer's own application, frame, client and
// panes. Measures the client's SyncToMarker for the last note in both directions (the lookup from
// the start of the other pane passes its whole text), the parts of a run in the big pane (scroll,
// selection, paint: the control's own costs), and the whole reader's action: a scroll-bar message
// that takes a pane to its end and runs the check and the sync.
// Usage: sync_to_marker_viewer_probe.exe <scrivora.exe> <folder for the container>
#include <ole2.h>
#include <richedit.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/windows/probe_timing.h"
#include "container/stream_codec.h"
#include "container/trailer.h"
#include "viewer/scrivora_app.h"
#include "viewer/scrivora_client.h"
#include "viewer/sdi_dec_frame.h"

namespace {

using scrivora::CharRange;
using scrivora::bench::Figure;
using scrivora::bench::Milliseconds;
using scrivora::bench::Time;

std::string ReadAll(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Marker(int n) { return "\\'b7" + std::to_string(n) + "\\'b7"; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: sync_to_marker_viewer_probe <scrivora.exe> <folder>\n");
    return 2;
  }
  constexpr int kNotes = 5000;
  const std::string words =
      "The quick brown fox jumps over the lazy dog, and the reader follows every word of it. ";
  std::string mainRtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
  std::string notesRtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
  for (int n = 1; n <= kNotes; ++n) {
    for (int i = 0; i < 11; ++i) mainRtf += words;
    mainRtf += "reference" + Marker(n) + " here.\\par ";
    notesRtf += Marker(n) + " Note number " + std::to_string(n) + " explains a point.\\par ";
  }
  mainRtf += "}";
  notesRtf += "}";

  const std::string image = ReadAll(argv[1]);
  if (image.empty()) {
    std::fprintf(stderr, "cannot read the viewer image\n");
    return 2;
  }
  const std::string main = scrivora::EncodeStream(mainRtf);
  const std::string notes = scrivora::EncodeStream(notesRtf);
  scrivora::ContainerTrailer trailer;
  trailer.mainOffset = static_cast<std::int32_t>(image.size());
  trailer.notesOffset = trailer.mainOffset + static_cast<std::int32_t>(main.size());
  trailer.descriptionOffset = trailer.notesOffset + static_cast<std::int32_t>(notes.size());
  trailer.notesPercent = 30;
  trailer.permissions = 7;
  const auto bytes = scrivora::EncodeTrailer(trailer);
  const std::wstring container = std::wstring(argv[2]) + L"\\tracking-5mb.exe";
  {
    std::ofstream out(container.c_str(), std::ios::binary);
    out << image << main << notes << "Tracking probe\r\nFive thousand notes.";
    out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }

  ::OleInitialize(nullptr);
  int status = 0;
  {
    scrivora::TScrivora2App app(container);
    LARGE_INTEGER from, to;
    QueryPerformanceCounter(&from);
    if (!app.Start(SW_SHOWNORMAL)) return 2;
    app.PumpWaiting();
    QueryPerformanceCounter(&to);
    scrivora::TScrivora2Client& client = app.Frame()->Client();
    scrivora::EmbeddedRichEdit& text = client.TextPane();
    scrivora::EmbeddedRichEdit& notesPane = client.NotesPane();
    std::printf("viewer start with the container (load and snapshots): %.0f ms\n",
                Milliseconds(from, to));
    std::printf("text pane: %d characters; notes pane: %d characters; %d notes\n",
                text.TextLength(), notesPane.TextLength(), kNotes);

    const std::u16string last = u"\u00B7" + std::u16string(u"5000") + u"\u00B7";
    const auto lastSize = static_cast<std::int32_t>(last.size());
    const std::int32_t lastReference = text.FindString(last, 0, false, false);
    const std::int32_t lastNote = notesPane.FindString(last, 0, false, false);
    const std::int32_t textStart = text.LineIndex(text.LineFromChar(lastReference));
    const std::int32_t notesStart = notesPane.LineIndex(notesPane.LineFromChar(lastNote));

    bool right = lastReference > 0 && lastNote > 0;
    // Before each run the other pane stands at its start. Its selection is either near the
    // marker that the run selects (the reader went through the notes in order) or at the start
    // of its text (a jump through the whole document): the rich-edit control's cost of moving a
    // selection grows with the distance it moves.
    const auto measure = [&](const char* name, scrivora::EmbeddedRichEdit& scrolled,
                             std::int32_t start, scrivora::EmbeddedRichEdit& other,
                             std::int32_t marker, bool farSelection) {
      const CharRange before = farSelection ? CharRange{0, 0} : CharRange{marker - 40, marker - 40};
      const Figure figure = Time(
          [&] {
            other.SetSelection(before);
            other.ScrollLines(-other.FirstVisibleLine());
            ::UpdateWindow(other.Handle());
          },
          [&] {
            client.SyncToMarker(scrolled, start);
            ::UpdateWindow(other.Handle());
          },
          30);
      right = right && other.Selection() == CharRange{marker, marker + lastSize};
      std::printf(
          "SyncToMarker %s (last note), selection %s before: slowest %.2f ms, 95%% %.2f ms, "
          "median %.2f ms, first run %.2f ms\n",
          name, farSelection ? "at the start" : "near", figure.slowest, figure.p95, figure.median,
          figure.first);
    };
    for (bool farSelection : {false, true}) {
      measure("text -> notes", text, textStart, notesPane, lastNote, farSelection);
      measure("notes -> text", notesPane, notesStart, text, lastReference, farSelection);
    }

    // The parts of a run in the big pane, one by one.
    const auto step = [&](const char* what, auto run) {
      LARGE_INTEGER a, b;
      QueryPerformanceCounter(&a);
      run();
      QueryPerformanceCounter(&b);
      std::printf("  %s: %.2f ms\n", what, Milliseconds(a, b));
    };
    const std::int32_t line = text.LineFromChar(lastReference);
    text.SetSelection({0, 0});
    text.ScrollLines(-text.FirstVisibleLine());
    ::UpdateWindow(text.Handle());
    step("text pane: scroll from line 0 to the last reference",
         [&] { text.ScrollLines(line - text.FirstVisibleLine()); });
    step("text pane: move the caret from 0 to the visible last reference", [&] {
      text.SetSelection({lastReference, lastReference});
    });
    step("text pane: select the marker there", [&] {
      text.SetSelection({lastReference, lastReference + lastSize});
    });
    step("text pane: paint", [&] { ::UpdateWindow(text.Handle()); });
    const auto phase = [&](const char* what, auto run) {
      const Figure figure = Time([] {}, run, 10);
      std::printf("  %s: slowest %.2f ms, median %.2f ms\n", what, figure.slowest, figure.median);
    };
    phase("line count", [&] { (void)::SendMessageW(text.Handle(), EM_GETLINECOUNT, 0, 0); });
    phase("first visible line", [&] { (void)text.FirstVisibleLine(); });
    phase("line of the last reference", [&] { (void)text.LineFromChar(lastReference); });
    phase("start of its line", [&] { (void)text.LineIndex(text.LineFromChar(lastReference)); });
    phase("select it", [&] { text.SetSelection({lastReference, lastReference + lastSize}); });
    RECT area;
    ::GetClientRect(text.Handle(), &area);
    std::printf("  text pane %ld x %ld pixels\n", area.right, area.bottom);
    // The reader's whole action: the notes pane's scroll bar to its end; the control scrolls, the
    // check runs and the text pane follows to the last reference.
    const Figure bar = Time(
        [&] {
          ::SendMessageW(notesPane.Handle(), WM_VSCROLL, SB_TOP, 0);
          text.ScrollLines(-text.FirstVisibleLine());
          app.PumpWaiting();
        },
        [&] {
          ::SendMessageW(notesPane.Handle(), WM_VSCROLL, SB_BOTTOM, 0);
          ::UpdateWindow(text.Handle());
        },
        20);
    std::printf(
        "scroll bar to the end of the notes, with tracking: slowest %.2f ms, median %.2f ms\n",
        bar.slowest, bar.median);
    std::printf("target: SyncToMarker at most 16 ms; results %s\n", right ? "right" : "WRONG");
    status = right ? 0 : 1;
    ::DestroyWindow(app.Frame()->Handle());
    app.PumpWaiting();
  }
  ::OleUninitialize();
  ::DeleteFileW(container.c_str());
  return status;
}
