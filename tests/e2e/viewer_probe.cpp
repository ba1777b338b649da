// viewer_probe: looks at a running viewer (or any rich-text program) from outside.
//
//   viewer_probe time <frame class> <text length> <timeout ms> <program> [document]
//
// starts the program and prints the milliseconds from its start until a visible top-level
// window of the given class ("*": any class), belonging to that process, holds a rich-edit control whose text
// is at least <text length> characters long; then ends the program. Exit status 0 when it was
// shown in time, 1 otherwise, 2 on a usage error.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

struct Search {
  DWORD process;
  const wchar_t* frameClass;
  HWND frame = nullptr;
  HWND richEdit = nullptr;
};

BOOL CALLBACK FindRichEdit(HWND hwnd, LPARAM param) {
  auto& search = *reinterpret_cast<Search*>(param);
  wchar_t name[64] = {};
  ::GetClassNameW(hwnd, name, 64);
  if (!_wcsnicmp(name, L"RICHEDIT", 8)) {
    search.richEdit = hwnd;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindFrame(HWND hwnd, LPARAM param) {
  auto& search = *reinterpret_cast<Search*>(param);
  DWORD process = 0;
  ::GetWindowThreadProcessId(hwnd, &process);
  wchar_t name[64] = {};
  ::GetClassNameW(hwnd, name, 64);
  const bool anyClass = !std::wcscmp(search.frameClass, L"*");
  if (process == search.process && (anyClass || !_wcsicmp(name, search.frameClass)) &&
      ::IsWindowVisible(hwnd)) {
    search.frame = hwnd;
    return FALSE;
  }
  return TRUE;
}

// The length of the first rich-edit text under a visible frame of the process; -1 if none yet.
long long ShownLength(DWORD process, const wchar_t* frameClass) {
  Search search{process, frameClass};
  ::EnumWindows(FindFrame, reinterpret_cast<LPARAM>(&search));
  if (!search.frame) return -1;
  ::EnumChildWindows(search.frame, FindRichEdit, reinterpret_cast<LPARAM>(&search));
  if (!search.richEdit) return -1;
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(search.richEdit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 60000, &length))
    return -1;
  return static_cast<long long>(length);
}

int TimeToShown(const wchar_t* frameClass, long long textLength, DWORD timeoutMs,
                const wchar_t* program, const wchar_t* document) {
  std::wstring commandLine = L"\"" + std::wstring(program) + L"\"";
  if (document) commandLine += L" \"" + std::wstring(document) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  LARGE_INTEGER frequency, start, now;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
    std::fwprintf(stderr, L"viewer_probe: cannot start %ls (error %lu)\n", program,
                  ::GetLastError());
    return 1;
  }
  double elapsed = 0;
  bool shown = false;
  long long seen = -1;
  while (elapsed < timeoutMs) {
    seen = ShownLength(info.dwProcessId, frameClass);
    shown = seen >= textLength;
    ::QueryPerformanceCounter(&now);
    elapsed = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
              static_cast<double>(frequency.QuadPart);
    if (shown) break;
    ::Sleep(1);
  }
  ::TerminateProcess(info.hProcess, 0);
  ::WaitForSingleObject(info.hProcess, 10000);
  ::CloseHandle(info.hThread);
  ::CloseHandle(info.hProcess);
  if (!shown) {
    std::fwprintf(stderr,
                  L"viewer_probe: %ls showed no text of %lld characters within %lu ms "
                  L"(last seen: %lld)\n",
                  program, textLength, timeoutMs, seen);
    return 1;
  }
  std::printf("%.1f\n", elapsed);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc >= 6 && argc <= 7 && !std::wcscmp(argv[1], L"time")) {
    return TimeToShown(argv[2], static_cast<long long>(_wtoi64(argv[3])), static_cast<DWORD>(_wtol(argv[4])), argv[5],
                       argc == 7 ? argv[6] : nullptr);
  }
  std::fputs(
      "Usage: viewer_probe time <frame class> <text length> <timeout ms> <program> [document]\n",
      stderr);
  return 2;
}
