// embed: packages an RTF document with notes and its description into embedded.exe.
#include <exception>
#include <filesystem>
#include <new>
#include <vector>

#include "embed/command_line.h"
#include "embed/packager.h"
#include "embed/platform.h"

namespace {

int Run(std::vector<scrivora::NativeString> arguments) {
  using namespace scrivora;
  PrepareProcess();
  const ParsedCommandLine parsed = ParseCommandLine(arguments);
  if (parsed.usage) {
    WriteStandardError(kUsageText);
    return 1;
  }
  std::filesystem::path self;
  if (OsResult found = RunningProgramPath(self); !found.ok()) {
    ReportOnStandardError(EmbedFailure{"finding the folder of", "embed", found.reason}.Message());
    return 2;
  }
  try {
    if (auto failure = BuildContainer(parsed.options, Companions::In(self.parent_path()))) {
      ReportOnStandardError(failure->Message());
      return 2;
    }
  } catch (const std::bad_alloc&) {
    // Streams are held in memory while the container is assembled; the temporary files are
    // gone by now, removed while the stack unwound.
    ReportOnStandardError("embed: assembling \"embedded.exe\" failed: not enough memory\n");
    return 2;
  }
  return 0;
}

}  // namespace

#if defined(_WIN32)
int wmain(int argc, wchar_t** argv) {
#else
int main(int argc, char** argv) {
#endif
  return Run({argv + 1, argv + argc});
}
