#include "embed/convert.h"

#include <string>
#include <system_error>

#include "embed/converters.h"
#include "embed/process.h"

namespace scrivora {
namespace {

namespace fs = std::filesystem;

constexpr char kConvertedName[] = "converted.rtf";

EmbedFailure ConvertFailure(const fs::path& source, std::string reason) {
  return EmbedFailure{"convert", source, std::move(reason)};
}

fs::path FindConverter(Converter converter) {
  for (const fs::path& candidate : ConverterCandidates(converter, EnvironmentValue)) {
    if (IsProgramFile(candidate)) return candidate;
  }
  return {};
}

// Passes on the end of what the converter wrote, which usually says what went wrong.
void ShowLog(File& log) {
  constexpr std::uint64_t kShown = 4096;
  std::uint64_t size = 0;
  if (!log.Size(size).ok() || size == 0) return;
  std::string text(static_cast<std::size_t>(std::min(size, kShown)), '\0');
  std::size_t filled = 0;
  if (!log.SeekTo(size - text.size()).ok()) return;
  while (filled < text.size()) {
    std::size_t got = 0;
    if (!log.Read(text.data() + filled, text.size() - filled, got).ok() || got == 0) break;
    filled += got;
  }
  text.resize(filled);
  if (!text.empty() && text.back() != '\n') text += '\n';
  WriteStandardError(text);
}

std::string Duration(std::chrono::milliseconds limit) {
  if (limit.count() % 1000 == 0) return std::to_string(limit.count() / 1000) + " seconds";
  return std::to_string(limit.count()) + " milliseconds";
}

// LibreOffice names its output after the source; the folder is ours alone, so the one file in
// it is the result.
fs::path OnlyFileIn(const fs::path& folder) {
  std::error_code error;
  fs::path found;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    if (!entry.is_regular_file(error)) continue;
    if (!found.empty()) return {};
    found = entry.path();
  }
  return found;
}

}  // namespace

std::chrono::milliseconds ConvertTimeLimit() {
  const std::optional<NativeString> value = EnvironmentValue("EMBED_CONVERT_TIME_LIMIT_MS");
  if (!value || value->empty() || value->size() > 9) return kDefaultConvertTimeLimit;
  long long milliseconds = 0;
  for (const auto c : *value) {
    if (c < '0' || c > '9') return kDefaultConvertTimeLimit;
    milliseconds = milliseconds * 10 + (c - '0');
  }
  if (milliseconds == 0) return kDefaultConvertTimeLimit;
  return std::chrono::milliseconds(milliseconds);
}

std::optional<EmbedFailure> ConvertToRtf(const fs::path& source, SourceKind kind,
                                         std::chrono::milliseconds limit, TempFolder& folder,
                                         fs::path& rtf) {
  const Converter converter = *ConverterFor(kind);
  const std::string name = ConverterName(converter);
  const fs::path program = FindConverter(converter);
  if (program.empty()) return ConvertFailure(source, MissingConverterAdvice(converter, kind));

  std::error_code error;
  if (OsResult made = TempFolder::Create("mbcnv", folder); !made.ok()) {
    return EmbedFailure{"creating a temporary folder in", fs::current_path(error), made.reason};
  }
  const fs::path base = fs::absolute(folder.name(), error);
  const fs::path absoluteSource = error ? fs::path() : fs::absolute(source, error);
  if (error) return ConvertFailure(source, error.message());
  const fs::path out = base / "out";
  File log;
  bool nameTaken = false;
  OsResult prepared = CreateNewFolder(out, nameTaken);
  if (prepared.ok()) prepared = File::CreateNew(base / "log", log, nameTaken);
  if (!prepared.ok()) {
    return EmbedFailure{"creating a temporary folder in", fs::current_path(error), prepared.reason};
  }

  // The converter's own temporary files go into the folder too: LibreOffice leaves its working
  // folder behind when it is stopped.
  const fs::path temporary = base / "tmp";
  if (prepared = CreateNewFolder(temporary, nameTaken); !prepared.ok()) {
    return EmbedFailure{"creating a temporary folder in", fs::current_path(error), prepared.reason};
  }
  const fs::path output = converter == Converter::LibreOffice ? out : out / kConvertedName;
  Command command{program,
                  ConverterArguments(converter, absoluteSource, output, base / "profile"),
                  {}};
#if defined(_WIN32)
  command.environment = {{"TMP", temporary.native()}, {"TEMP", temporary.native()}};
#else
  command.environment = {{"TMPDIR", temporary.native()}};
#endif
  const ChildOutcome outcome = RunWithTimeLimit(command, log, limit);
  if (outcome.kind == ChildOutcome::Kind::TimedOut) {
    ShowLog(log);
    return ConvertFailure(source,
                          name + " did not finish within " + Duration(limit) + " and was stopped");
  }
  if (!outcome.ok()) {
    ShowLog(log);
    return ConvertFailure(source, outcome.Describe(name + " (" + PathForMessage(program) + ")"));
  }
  rtf = converter == Converter::LibreOffice ? OnlyFileIn(out) : output;
  if (rtf.empty() || !fs::is_regular_file(rtf, error)) {
    ShowLog(log);
    return ConvertFailure(
        source, name + " (" + PathForMessage(program) + ") ended without writing an RTF document");
  }
  return std::nullopt;
}

}  // namespace scrivora
