#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

#include "embed/interrupt_cleanup.h"

namespace scrivora {
namespace {

constexpr int kSlots = 4;

// Read by the signal handler: a slot's name is complete before its flag is set.
struct NameSlot {
  char name[64];
  volatile sig_atomic_t used;
};
NameSlot gFiles[kSlots];
NameSlot gFolders[kSlots];
volatile sig_atomic_t gChildren[kSlots];
volatile sig_atomic_t gTrees[kSlots];

void Watch(NameSlot (&slots)[kSlots], const std::filesystem::path& name) {
  const std::string& text = name.native();
  if (text.size() >= sizeof NameSlot::name) return;
  for (NameSlot& slot : slots) {
    if (slot.used) continue;
    std::memcpy(slot.name, text.c_str(), text.size() + 1);
    std::atomic_signal_fence(std::memory_order_release);  // the name is written before the flag
    slot.used = 1;
    return;
  }
}

void Unwatch(NameSlot (&slots)[kSlots], const std::filesystem::path& name) {
  for (NameSlot& slot : slots) {
    if (slot.used && name.native() == slot.name) slot.used = 0;
  }
}

void WatchId(volatile sig_atomic_t (&slots)[kSlots], std::intptr_t id) {
  for (volatile sig_atomic_t& slot : slots) {
    if (slot == 0) {
      slot = static_cast<sig_atomic_t>(id);
      return;
    }
  }
}

void UnwatchId(volatile sig_atomic_t (&slots)[kSlots], std::intptr_t id) {
  for (volatile sig_atomic_t& slot : slots) {
    if (slot == static_cast<sig_atomic_t>(id)) slot = 0;
  }
}

// The kernel's directory entry record, read with the getdents64 system call: unlike opendir and
// readdir, it allocates nothing, so it may be used in a signal handler.
struct DirectoryEntry {
  ino64_t inode;
  off64_t next;
  unsigned short length;
  unsigned char type;
  char name[1];
};

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Removes `name` in the folder `parent` with all it holds, using only calls that are safe in a
// signal handler. Symbolic links are removed, never followed.
void RemoveTree(int parent, const char* name, int depth) {
  const int folder = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (folder < 0) {
    ::unlinkat(parent, name, 0);
    return;
  }
  alignas(DirectoryEntry) char buffer[2048];
  // Entries removed while the folder is read may shift the rest: read again until it is empty.
  for (int pass = 0; pass < 4; ++pass) {
    bool removedAny = false;
    ::lseek(folder, 0, SEEK_SET);
    for (;;) {
      const long got = ::syscall(SYS_getdents64, folder, buffer, sizeof buffer);
      if (got <= 0) break;
      for (long at = 0; at < got;) {
        const auto* entry = reinterpret_cast<const DirectoryEntry*>(buffer + at);
        at += entry->length;
        if (IsDotOrDotDot(entry->name)) continue;
        removedAny = true;
        if (entry->type == DT_DIR ||
            (::unlinkat(folder, entry->name, 0) != 0 && (errno == EISDIR || errno == EPERM))) {
          if (depth < 32) RemoveTree(folder, entry->name, depth + 1);
        }
      }
    }
    if (!removedAny) break;
  }
  ::close(folder);
  ::unlinkat(parent, name, AT_REMOVEDIR);
}

void OnInterrupt(int signalNumber) {
  for (volatile sig_atomic_t& tree : gTrees) {
    if (tree != 0) ::kill(-static_cast<pid_t>(tree), SIGKILL);
  }
  for (volatile sig_atomic_t& child : gChildren) {
    if (child != 0) ::kill(static_cast<pid_t>(child), SIGKILL);
  }
  for (NameSlot& file : gFiles) {
    if (file.used) ::unlink(file.name);
  }
  if (gFolders[0].used || gFolders[1].used || gFolders[2].used || gFolders[3].used) {
    // A converter writes into its folder until it has really gone.
    for (volatile sig_atomic_t& tree : gTrees) {
      if (tree != 0) ::waitpid(static_cast<pid_t>(tree), nullptr, 0);
    }
    for (NameSlot& folder : gFolders) {
      if (folder.used) RemoveTree(AT_FDCWD, folder.name, 0);
    }
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

void WatchTempFile(const std::filesystem::path& name) { Watch(gFiles, name); }
void UnwatchTempFile(const std::filesystem::path& name) { Unwatch(gFiles, name); }
void WatchTempFolder(const std::filesystem::path& name) { Watch(gFolders, name); }
void UnwatchTempFolder(const std::filesystem::path& name) { Unwatch(gFolders, name); }
void WatchChild(std::intptr_t child) { WatchId(gChildren, child); }
void UnwatchChild(std::intptr_t child) { UnwatchId(gChildren, child); }
void WatchProcessTree(std::intptr_t tree) { WatchId(gTrees, tree); }
void UnwatchProcessTree(std::intptr_t tree) { UnwatchId(gTrees, tree); }

}  // namespace scrivora
