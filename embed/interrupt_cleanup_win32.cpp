#include <windows.h>

#include <cwchar>
#include <system_error>

#include "embed/interrupt_cleanup.h"

namespace scrivora {
namespace {

constexpr int kSlots = 4;

// Read by the console's control handler, which runs on a thread of its own: a slot's name is
// complete before its flag is set.
struct NameSlot {
  wchar_t name[64];
  volatile LONG used;
};
NameSlot gFiles[kSlots];
NameSlot gFolders[kSlots];
volatile LONG_PTR gChildren[kSlots];
volatile LONG_PTR gTrees[kSlots];

void Watch(NameSlot (&slots)[kSlots], const std::filesystem::path& name) {
  const std::wstring& text = name.native();
  if (text.size() >= sizeof NameSlot::name / sizeof(wchar_t)) return;
  for (NameSlot& slot : slots) {
    if (slot.used) continue;
    std::wmemcpy(slot.name, text.c_str(), text.size() + 1);
    InterlockedExchange(&slot.used, 1);
    return;
  }
}

void Unwatch(NameSlot (&slots)[kSlots], const std::filesystem::path& name) {
  for (NameSlot& slot : slots) {
    if (slot.used && name.native() == slot.name) InterlockedExchange(&slot.used, 0);
  }
}

void WatchId(volatile LONG_PTR (&slots)[kSlots], std::intptr_t id) {
  for (volatile LONG_PTR& slot : slots) {
    if (slot == 0) {
      slot = id;
      return;
    }
  }
}

void UnwatchId(volatile LONG_PTR (&slots)[kSlots], std::intptr_t id) {
  for (volatile LONG_PTR& slot : slots) {
    if (slot == id) slot = 0;
  }
}

// Waits until no process of the job runs any more, for at most a few seconds.
void WaitForEmptyJob(HANDLE job) {
  for (int attempt = 0; attempt < 50; ++attempt) {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    if (!QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting,
                                   sizeof accounting, nullptr) ||
        accounting.ActiveProcesses == 0) {
      return;
    }
    Sleep(100);
  }
}

BOOL WINAPI OnConsoleEvent(DWORD) {
  for (volatile LONG_PTR& tree : gTrees) {
    if (tree != 0) TerminateJobObject(reinterpret_cast<HANDLE>(tree), 1);
  }
  for (volatile LONG_PTR& child : gChildren) {
    if (child != 0) TerminateProcess(reinterpret_cast<HANDLE>(child), 1);
  }
  // Still open here, so removed when the process ends.
  for (NameSlot& file : gFiles) {
    if (file.used) DeleteFileW(file.name);
  }
  // A converter's files can go only once it has let go of them.
  for (volatile LONG_PTR& tree : gTrees) {
    if (tree != 0) WaitForEmptyJob(reinterpret_cast<HANDLE>(tree));
  }
  for (NameSlot& folder : gFolders) {
    if (!folder.used) continue;
    for (int attempt = 0; attempt < 20; ++attempt) {
      std::error_code error;
      std::filesystem::remove_all(folder.name, error);
      if (!error) break;
      Sleep(100);
    }
  }
  return FALSE;  // and now the usual end
}

}  // namespace

void InstallInterruptCleanup() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

void WatchTempFile(const std::filesystem::path& name) { Watch(gFiles, name); }
void UnwatchTempFile(const std::filesystem::path& name) { Unwatch(gFiles, name); }
void WatchTempFolder(const std::filesystem::path& name) { Watch(gFolders, name); }
void UnwatchTempFolder(const std::filesystem::path& name) { Unwatch(gFolders, name); }
void WatchChild(std::intptr_t child) { WatchId(gChildren, child); }
void UnwatchChild(std::intptr_t child) { UnwatchId(gChildren, child); }
void WatchProcessTree(std::intptr_t tree) { WatchId(gTrees, tree); }
void UnwatchProcessTree(std::intptr_t tree) { UnwatchId(gTrees, tree); }

}  // namespace scrivora
