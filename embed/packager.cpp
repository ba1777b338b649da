#include "embed/packager.h"

#include <cstdint>
#include <string_view>
#include <system_error>
#include <vector>

#include "container/stream_codec.h"
#include "container/trailer.h"
#include "embed/platform.h"
#include "embed/process.h"

namespace scrivora {
namespace {

namespace fs = std::filesystem;

// The trailer's offsets are signed 32-bit numbers, so every byte must lie below 2 GiB.
constexpr std::uint64_t kContainerLimit = std::uint64_t{1} << 31;

#if defined(_WIN32)
constexpr char kProgramSuffix[] = ".exe";
#else
constexpr char kProgramSuffix[] = "";
#endif

EmbedFailure Fail(std::string step, fs::path file, std::string reason) {
  return EmbedFailure{std::move(step), std::move(file), std::move(reason)};
}

std::optional<EmbedFailure> CheckCompanion(const fs::path& program) {
  std::error_code error;
  const fs::file_status status = fs::status(program, error);
  if (!fs::exists(status)) {
    return Fail("finding the companion program", program, "it is not in the folder of embed");
  }
  if (!fs::is_regular_file(status)) {
    return Fail("finding the companion program", program, "it is not a file");
  }
  return std::nullopt;
}

// Reads from the current position to the end of the file.
OsResult ReadRest(File& file, std::string& bytes, std::uint64_t expectedSize) {
  bytes.clear();
  bytes.reserve(static_cast<std::size_t>(expectedSize));
  std::vector<char> chunk(1 << 20);
  for (;;) {
    std::size_t got = 0;
    if (OsResult read = file.Read(chunk.data(), chunk.size(), got); !read.ok()) return read;
    if (got == 0) return {};
    bytes.append(chunk.data(), got);
  }
}

// One run of `notes <mode> | encrypt` from the RTF source into a new temporary file, read back.
struct StreamRun {
  std::string_view mode;           // "-r" or "-x"
  std::string_view contents;       // "main text" or "notes", for messages
};

std::optional<EmbedFailure> RunSplitter(const StreamRun& run, const EmbedOptions& options,
                                        const Companions& companions, TempFile& output) {
  const std::string pipeline = "notes " + std::string(run.mode) + " | encrypt";
  File source;
  if (OsResult opened = File::OpenForReading(options.rtfSource, source); !opened.ok()) {
    return Fail("reading the RTF source", options.rtfSource, opened.reason);
  }
  if (OsResult created = TempFile::Create("mbrtf", output); !created.ok()) {
    std::error_code ignored;
    return Fail("creating a temporary file in", fs::current_path(ignored), created.reason);
  }
  const Command notes{companions.notes, {NativeString(run.mode.begin(), run.mode.end())}};
  const Command encrypt{companions.encrypt, {}};
  const PipelineOutcome outcome = RunPipeline(notes, encrypt, source, output.file());
  if (!outcome.setup.ok()) {
    return Fail("running " + pipeline + " on", options.rtfSource, outcome.setup.reason);
  }
  std::string reason;
  if (!outcome.first.ok()) reason = outcome.first.Describe("notes " + std::string(run.mode));
  if (!outcome.second.ok() && outcome.second.kind != ChildOutcome::Kind::NotRun) {
    reason += (reason.empty() ? "" : "; ") + outcome.second.Describe("encrypt");
  }
  if (!reason.empty()) return Fail("running " + pipeline + " on", options.rtfSource, reason);
  return std::nullopt;
}

std::optional<EmbedFailure> ReadStream(const StreamRun& run, const EmbedOptions& options,
                                       TempFile& temp, std::uint64_t size, std::string& stream) {
  OsResult read = temp.file().Rewind();
  if (read.ok()) read = ReadRest(temp.file(), stream, size);
  if (!read.ok()) return Fail("reading the " + std::string(run.contents) + " stream", temp.name(), read.reason);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(stream.data());
  if (!DecodeStream(bytes, stream.size(), 0).groupClosed) {
    return Fail("checking the output of notes " + std::string(run.mode) + " for", options.rtfSource,
                "it does not decode to one complete RTF group");
  }
  return std::nullopt;
}

// `piecesSize` is everything but the trailer.
std::optional<EmbedFailure> CheckContainerSize(std::uint64_t piecesSize) {
  const std::uint64_t containerSize = piecesSize + kTrailerSize;
  if (containerSize < kContainerLimit) return std::nullopt;
  return Fail("assembling", kContainerName,
              "the container would be " + std::to_string(containerSize) +
                  " bytes, and its offsets only reach to 2 GiB (2147483648 bytes)");
}

}  // namespace

std::string EmbedFailure::Message() const {
  return "embed: " + step + " \"" + PathForMessage(file) + "\" failed: " + reason + "\n";
}

Companions Companions::In(const fs::path& directory) {
  return Companions{directory / (std::string("notes") + kProgramSuffix),
                    directory / (std::string("encrypt") + kProgramSuffix),
                    directory / "scrivora.exe"};
}

std::optional<EmbedFailure> BuildContainer(const EmbedOptions& options,
                                           const Companions& companions) {
  // Everything that can be checked before a program runs or a file is made, is.
  for (const fs::path* program : {&companions.notes, &companions.encrypt, &companions.viewer}) {
    if (auto failure = CheckCompanion(*program)) return failure;
  }
  File viewer;
  std::uint64_t viewerSize = 0;
  OsResult viewerRead = File::OpenForReading(companions.viewer, viewer);
  if (viewerRead.ok()) viewerRead = viewer.Size(viewerSize);
  if (!viewerRead.ok()) return Fail("reading the viewer", companions.viewer, viewerRead.reason);
  if (viewerSize == 0) return Fail("reading the viewer", companions.viewer, "it is empty");

  {
    File source;
    if (OsResult opened = File::OpenForReading(options.rtfSource, source); !opened.ok()) {
      return Fail("reading the RTF source", options.rtfSource, opened.reason);
    }
  }

  std::string description;
  {
    File file;
    std::uint64_t size = 0;
    OsResult read = File::OpenForReading(options.description, file);
    if (read.ok()) read = file.Size(size);
    if (read.ok()) read = ReadRest(file, description, size);
    if (!read.ok()) return Fail("reading the description", options.description, read.reason);
  }
  // The viewer reads the description as text that ends at the first NUL byte.
  if (const auto nul = description.find('\0'); nul != std::string::npos) {
    return Fail("checking the description", options.description,
                "it holds a NUL byte at offset " + std::to_string(nul));
  }

  const StreamRun mainRun{"-r", "main text"};
  const StreamRun notesRun{"-x", "notes"};
  TempFile mainTemp, notesTemp;
  if (auto failure = RunSplitter(mainRun, options, companions, mainTemp)) return failure;
  if (auto failure = RunSplitter(notesRun, options, companions, notesTemp)) return failure;

  std::uint64_t mainSize = 0, notesSize = 0;
  if (OsResult sized = mainTemp.file().Size(mainSize); !sized.ok()) {
    return Fail("measuring the main text stream", mainTemp.name(), sized.reason);
  }
  if (OsResult sized = notesTemp.file().Size(notesSize); !sized.ok()) {
    return Fail("measuring the notes stream", notesTemp.name(), sized.reason);
  }
  if (auto failure = CheckContainerSize(viewerSize + mainSize + notesSize + description.size())) {
    return failure;
  }

  std::string viewerImage, mainStream, notesStream;
  if (OsResult read = ReadRest(viewer, viewerImage, viewerSize); !read.ok()) {
    return Fail("reading the viewer", companions.viewer, read.reason);
  }
  if (auto failure = ReadStream(mainRun, options, mainTemp, mainSize, mainStream)) return failure;
  if (auto failure = ReadStream(notesRun, options, notesTemp, notesSize, notesStream)) return failure;

  // The offsets come from the bytes that are written, even if a file changed since it was measured.
  if (auto failure = CheckContainerSize(viewerImage.size() + mainStream.size() +
                                        notesStream.size() + description.size())) {
    return failure;
  }
  ContainerTrailer trailer;
  trailer.mainOffset = static_cast<std::int32_t>(viewerImage.size());
  trailer.notesOffset = static_cast<std::int32_t>(trailer.mainOffset + mainStream.size());
  trailer.descriptionOffset = static_cast<std::int32_t>(trailer.notesOffset + notesStream.size());
  trailer.notesPercent = options.notesPercent;
  trailer.permissions = options.permissions;
  const TrailerBytes trailerBytes = EncodeTrailer(trailer);

  // The new container is made complete beside the old one and only then takes its name.
  TempFile container;
  if (OsResult created = TempFile::Create("sccfg", container); !created.ok()) {
    std::error_code ignored;
    return Fail("creating a temporary file in", fs::current_path(ignored), created.reason);
  }
  File& out = container.file();
  OsResult written;
  for (const std::string* piece : {&viewerImage, &mainStream, &notesStream, &description}) {
    if (written.ok()) written = out.WriteAll(piece->data(), piece->size());
  }
  if (written.ok()) written = out.WriteAll(trailerBytes.data(), trailerBytes.size());
  if (written.ok()) written = out.FlushToDisk();
  if (!written.ok()) return Fail("writing", kContainerName, written.reason);
  if (OsResult renamed = container.CloseAndRename(kContainerName); !renamed.ok()) {
    return Fail("replacing", kContainerName, renamed.reason);
  }
  return std::nullopt;
}

}  // namespace scrivora
