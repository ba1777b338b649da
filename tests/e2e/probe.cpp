// probe: inspects a running viewer from outside, as a reader's tools would see it.
//   probe wait SECONDS          wait for a viewer window whose panes hold text; print its caption
//   probe caption               the frame's caption
//   probe text PANE             the whole text of pane "text" or "notes" (UTF-8)
//   probe line PANE             the index of that pane's top line
//   probe top PANE              the text of that pane from the first character of its top line
//   probe selection PANE        the selected text of that pane
//   probe key PANE VK           a key press (virtual-key code, decimal) sent to that pane
//   probe copy PANE             select all of the pane, then try every copy path; print what the
//                               clipboard holds afterwards (empty when nothing was copied)
//   probe close                 close the viewer
// Exit status 0 on success, 1 when the viewer or what was asked for is not there.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

constexpr int kTextPaneId = 1024;
constexpr int kNotesPaneId = 1025;
constexpr WPARAM kEditCopy = 24323;
constexpr wchar_t kCaptionPrefix[] = L"Scrivora 3";

struct Found {
  HWND frame = nullptr;
};

BOOL CALLBACK FindFrame(HWND window, LPARAM param) {
  wchar_t caption[512] = {};
  GetWindowTextW(window, caption, 512);
  if (IsWindowVisible(window) && std::wcsncmp(caption, kCaptionPrefix, 10) == 0) {
    reinterpret_cast<Found*>(param)->frame = window;
    return FALSE;
  }
  return TRUE;
}

HWND Frame() {
  Found found;
  EnumWindows(FindFrame, reinterpret_cast<LPARAM>(&found));
  return found.frame;
}

struct PaneSearch {
  int id;
  HWND pane = nullptr;
};

BOOL CALLBACK FindPane(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<PaneSearch*>(param);
  if (GetDlgCtrlID(window) == search->id) {
    search->pane = window;
    return FALSE;
  }
  return TRUE;
}

HWND Pane(HWND frame, const char* name) {
  PaneSearch search{std::strcmp(name, "notes") == 0 ? kNotesPaneId : kTextPaneId};
  EnumChildWindows(frame, FindPane, reinterpret_cast<LPARAM>(&search));
  return search.pane;
}

// The pane's text in its own character positions: paragraphs end in a lone CR.
std::wstring PaneText(HWND pane) {
  const LRESULT length = SendMessageW(pane, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT got = SendMessageW(pane, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(got));
  std::wstring positions;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
    positions.push_back(text[i] == L'\n' ? L'\r' : text[i]);
  }
  return positions;
}

void PrintUtf8(const std::wstring& text) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), bytes,
                      nullptr, nullptr);
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fputc('\n', stdout);
}

std::wstring ClipboardText() {
  std::wstring text;
  for (int attempt = 0; attempt < 20 && !OpenClipboard(nullptr); ++attempt) Sleep(50);
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

void EmptyTheClipboard() {
  for (int attempt = 0; attempt < 20 && !OpenClipboard(nullptr); ++attempt) Sleep(50);
  EmptyClipboard();
  CloseClipboard();
}

// A plain key is posted to the pane and goes through the viewer's own message loop (accelerators
// first), as a typed key does. Keys with Ctrl are typed for real, since the viewer reads the
// keyboard state for them.
void PressKey(HWND frame, HWND pane, UINT vk, bool ctrl = false) {
  if (!ctrl) {
    PostMessageW(pane, WM_KEYDOWN, vk, 1);
    PostMessageW(pane, WM_KEYUP, vk, 0xC0000001);
    Sleep(300);
    return;
  }
  SetForegroundWindow(frame);
  SetFocus(pane);
  INPUT inputs[4] = {};
  const WORD keys[4] = {VK_CONTROL, static_cast<WORD>(vk), static_cast<WORD>(vk), VK_CONTROL};
  for (int i = 0; i < 4; ++i) {
    inputs[i].type = INPUT_KEYBOARD;
    inputs[i].ki.wVk = keys[i];
    inputs[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
  }
  SendInput(4, inputs, sizeof(INPUT));
  Sleep(300);
}

int Usage() {
  std::fputs("usage: probe wait SECONDS | caption | text PANE | line PANE | top PANE | selection PANE |"
             " key PANE VK | copy PANE | close\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  if (command == "wait") {
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 30;
    for (int waited = 0; waited < seconds * 10; ++waited) {
      if (HWND frame = Frame()) {
        HWND text = Pane(frame, "text");
        wchar_t caption[512] = {};
        GetWindowTextW(frame, caption, 512);
        if (text && SendMessageW(text, WM_GETTEXTLENGTH, 0, 0) > 0 &&
            std::wcsncmp(caption, L"Scrivora 3 - ", 13) == 0) {
          Sleep(200);  // let the first paint finish
          PrintUtf8(caption);
          return 0;
        }
      }
      Sleep(100);
    }
    std::fputs("probe: no viewer window with text appeared\n", stderr);
    return 1;
  }

  HWND frame = Frame();
  if (!frame) {
    std::fputs("probe: no viewer window\n", stderr);
    return 1;
  }
  if (command == "caption") {
    wchar_t caption[512] = {};
    GetWindowTextW(frame, caption, 512);
    PrintUtf8(caption);
    return 0;
  }
  if (command == "close") {
    PostMessageW(frame, WM_CLOSE, 0, 0);
    return 0;
  }
  if (argc < 3) return Usage();
  HWND pane = Pane(frame, argv[2]);
  if (!pane) {
    std::fprintf(stderr, "probe: no %s pane\n", argv[2]);
    return 1;
  }
  if (command == "text") {
    PrintUtf8(PaneText(pane));
  } else if (command == "line") {
    std::printf("%ld\n", static_cast<long>(SendMessageW(pane, EM_GETFIRSTVISIBLELINE, 0, 0)));
  } else if (command == "top") {
    const std::wstring text = PaneText(pane);
    const LRESULT top = SendMessageW(pane, EM_GETFIRSTVISIBLELINE, 0, 0);
    const LRESULT start = SendMessageW(pane, EM_LINEINDEX, static_cast<WPARAM>(top), 0);
    // To the end of the text: the marker that tracking takes may lie far below the top line.
    PrintUtf8(start >= 0 && static_cast<std::size_t>(start) <= text.size()
                  ? text.substr(static_cast<std::size_t>(start))
                  : std::wstring());
  } else if (command == "selection") {
    DWORD from = 0, to = 0;
    SendMessageW(pane, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    const std::wstring text = PaneText(pane);
    PrintUtf8(from <= to && to <= text.size() ? text.substr(from, to - from) : std::wstring());
  } else if (command == "key" && argc > 3) {
    PressKey(frame, pane, static_cast<UINT>(std::atoi(argv[3])));
  } else if (command == "copy") {
    EmptyTheClipboard();
    SendMessageW(pane, EM_SETSEL, 0, -1);
    SetFocus(pane);
    PressKey(frame, pane, 'C', true);           // Ctrl+C
    PressKey(frame, pane, VK_INSERT, true);     // Ctrl+Ins
    SendMessageW(frame, WM_COMMAND, kEditCopy, 0);  // Edit > Copy, even if greyed
    SendMessageW(pane, WM_COPY, 0, 0);
    SendMessageW(pane, WM_CUT, 0, 0);
    PrintUtf8(ClipboardText());
  } else {
    return Usage();
  }
  return 0;
}
