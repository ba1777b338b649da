#include "embed/interrupt_cleanup.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace scrivora {
namespace {

constexpr int kSlots = 4;

// Read by the signal handler: a slot's name is complete before its flag is set.
struct FileSlot {
  char name[64];
  volatile sig_atomic_t used;
};
FileSlot gFiles[kSlots];
volatile sig_atomic_t gChildren[kSlots];

void OnInterrupt(int signalNumber) {
  for (volatile sig_atomic_t& child : gChildren) {
    if (child != 0) ::kill(static_cast<pid_t>(child), SIGKILL);
  }
  for (FileSlot& file : gFiles) {
    if (file.used) ::unlink(file.name);
  }
  ::signal(signalNumber, SIG_DFL);
  ::raise(signalNumber);
}

}  // namespace

void InstallInterruptCleanup() {
  for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction previous {};
    ::sigaction(signalNumber, nullptr, &previous);
    if (previous.sa_handler == SIG_IGN) continue;  // started to ignore it: it stays ignored
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigfillset(&action.sa_mask);
    ::sigaction(signalNumber, &action, nullptr);
  }
}

void WatchTempFile(const std::filesystem::path& name) {
  const std::string& text = name.native();
  if (text.size() >= sizeof FileSlot::name) return;
  for (FileSlot& file : gFiles) {
    if (file.used) continue;
    std::memcpy(file.name, text.c_str(), text.size() + 1);
    std::atomic_signal_fence(std::memory_order_release);  // the name is written before the flag
    file.used = 1;
    return;
  }
}

void UnwatchTempFile(const std::filesystem::path& name) {
  for (FileSlot& file : gFiles) {
    if (file.used && name.native() == file.name) file.used = 0;
  }
}

void WatchChild(std::intptr_t child) {
  for (volatile sig_atomic_t& slot : gChildren) {
    if (slot == 0) {
      slot = static_cast<sig_atomic_t>(child);
      return;
    }
  }
}

void UnwatchChild(std::intptr_t child) {
  for (volatile sig_atomic_t& slot : gChildren) {
    if (slot == static_cast<sig_atomic_t>(child)) slot = 0;
  }
}

}  // namespace scrivora
