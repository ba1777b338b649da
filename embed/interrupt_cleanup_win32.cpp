#include "embed/interrupt_cleanup.h"

#include <windows.h>

#include <cwchar>

namespace scrivora {
namespace {

constexpr int kSlots = 4;

// Read by the console's control handler, which runs on a thread of its own: a slot's name is
// complete before its flag is set.
struct FileSlot {
  wchar_t name[64];
  volatile LONG used;
};
FileSlot gFiles[kSlots];
volatile LONG_PTR gChildren[kSlots];

BOOL WINAPI OnConsoleEvent(DWORD) {
  for (volatile LONG_PTR& child : gChildren) {
    if (child != 0) TerminateProcess(reinterpret_cast<HANDLE>(child), 1);
  }
  // Still open here, so removed when the process ends.
  for (FileSlot& file : gFiles) {
    if (file.used) DeleteFileW(file.name);
  }
  return FALSE;  // and now the usual end
}

}  // namespace

void InstallInterruptCleanup() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

void WatchTempFile(const std::filesystem::path& name) {
  const std::wstring& text = name.native();
  if (text.size() >= sizeof FileSlot::name / sizeof(wchar_t)) return;
  for (FileSlot& file : gFiles) {
    if (file.used) continue;
    std::wmemcpy(file.name, text.c_str(), text.size() + 1);
    InterlockedExchange(&file.used, 1);
    return;
  }
}

void UnwatchTempFile(const std::filesystem::path& name) {
  for (FileSlot& file : gFiles) {
    if (file.used && name.native() == file.name) InterlockedExchange(&file.used, 0);
  }
}

void WatchChild(std::intptr_t child) {
  for (volatile LONG_PTR& slot : gChildren) {
    if (slot == 0) {
      slot = child;
      return;
    }
  }
}

void UnwatchChild(std::intptr_t child) {
  for (volatile LONG_PTR& slot : gChildren) {
    if (slot == child) slot = 0;
  }
}

}  // namespace scrivora
