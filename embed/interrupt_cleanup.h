// What an interrupted run (Ctrl+C, a termination signal, a closed console) would leave behind:
// the temporary files and folders and the running children, with whatever a converter started. On an interruption they are stopped and
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
// A folder is removed with all it holds, after the children and process trees are stopped.
void WatchTempFolder(const std::filesystem::path& name);
void UnwatchTempFolder(const std::filesystem::path& name);
// A child with every process it started: a process group id (POSIX) or a job handle (Windows).
void WatchProcessTree(std::intptr_t tree);
void UnwatchProcessTree(std::intptr_t tree);

}  // namespace scrivora
