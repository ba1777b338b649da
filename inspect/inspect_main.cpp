// inspect: says whether a file is a sound container and what it holds, reading it as the viewer
// does. Exit status 0 for a sound container, 1 for a file that is not one, 2 for a usage error,
// 3 when the report could not be written.
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "embed/command_line.h"
#include "embed/platform.h"
#include "inspect/container_report.h"
#include "inspect/report_text.h"
#include "inspect/standard_output.h"

namespace {

constexpr char kUsage[] =
    "usage: inspect [--json] FILE\n"
    "Says whether FILE is a sound Scrivora container and what it holds: title, description,\n"
    "permissions, notes pane height, pieces, note markers and signature.\n"
    "  --json  the same as one JSON object\n"
    "Exit status: 0 a sound container, 1 not a sound container, 2 a usage error,\n"
    "3 the report could not be written.\n";

constexpr int kSound = 0;
constexpr int kNotSound = 1;
constexpr int kUsageError = 2;
constexpr int kNotWritten = 3;

// A report that did not reach its reader must not pass for one that did.
bool WriteReport(const std::string& report) {
  if (scrivora::WriteStandardOutput(report)) return true;
  scrivora::ReportOnStandardError("inspect: writing the report to standard output failed\n");
  return false;
}

int Run(const std::vector<scrivora::NativeString>& arguments) {
  using namespace scrivora;
  bool json = false;
  std::vector<std::filesystem::path> files;
  bool optionsEnd = false;
  for (const NativeString& argument : arguments) {
    const std::filesystem::path text(argument);
    if (!optionsEnd && text == "--json") {
      json = true;
    } else if (!optionsEnd && text == "--") {
      optionsEnd = true;
    } else if (!optionsEnd && !argument.empty() && argument[0] == '-') {
      files.clear();
      break;
    } else {
      files.push_back(text);
    }
  }
  if (files.size() != 1) {
    WriteStandardError(kUsage);
    return kUsageError;
  }
  const std::filesystem::path& path = files.front();
  const std::string name = PathForMessage(path);

  MappedFile view;
  if (const OsResult read = MapWholeFile(path, view); !read.ok()) {
    const std::string reason = "The file cannot be read: " + read.reason + ".";
    ReportOnStandardError("inspect: reading \"" + name + "\" failed: " + read.reason + "\n");
    if (json && !WriteReport("{\"file\": " + JsonString(name) + ", \"sound\": false, \"reason\": " +
                             JsonString(reason) + "}\n")) {
      return kNotWritten;
    }
    return kNotSound;
  }
  const ContainerReport report = InspectContainer(view.data(), view.size());
  if (json) {
    if (!WriteReport(ReportAsJson(report, name))) return kNotWritten;
  } else if (report.sound) {
    if (!WriteReport(ReportAsText(report, name))) return kNotWritten;
  } else {
    ReportOnStandardError("inspect: " + ReportAsText(report, name));
  }
  return report.sound ? kSound : kNotSound;
}

}  // namespace

#if defined(_WIN32)
int wmain(int argc, wchar_t** argv) {
#else
int main(int argc, char** argv) {
#endif
  try {
    return Run({argv + 1, argv + argc});
  } catch (const std::bad_alloc&) {
    scrivora::ReportOnStandardError("inspect: not enough memory to read the file\n");
    return kNotSound;
  }
}
