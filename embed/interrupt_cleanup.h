// What an interrupted run (Ctrl+C, a termination signal, a closed console) would leave behind:
// the temporary files and the running children. On an interruption they are stopped and
// removed, and then the interruption takes its usual course.
#pragma once

#include <cstdint>
#include <filesystem>

namespace scrivora {

void InstallInterruptCleanup();

// A handful of each at a time; more are simply not watched.
void WatchTempFile(const std::filesystem::path& name);
void UnwatchTempFile(const std::filesystem::path& name);
void WatchChild(std::intptr_t child);  // a process id or process handle
void UnwatchChild(std::intptr_t child);

}  // namespace scrivora
