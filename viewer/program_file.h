// The viewer's own program file: its path, however long, and the whole file mapped read-only.
// The client reads the container through such a view, and each pane streams its part from one
// straight into its control.
#pragma once

#include <windows.h>

#include <string>

#include "common/mapped_file.h"

namespace scrivora {

// Opens `path` and maps all of it. False when it cannot be opened, measured or mapped; an empty
// file gives an empty view.
bool MapWholeFile(const std::wstring& path, MappedFile& view);

// A path that CreateFileW accepts whatever its length (\\?\ in front of long absolute paths).
std::wstring ExtendedLengthPath(const std::wstring& path);

// The full path of the running program's file, however long.
std::wstring ModuleFilePath(HMODULE module = nullptr);

}  // namespace scrivora
