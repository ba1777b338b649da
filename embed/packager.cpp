#include "embed/packager.h"

#include <cstdint>
#include <string_view>
#include <system_error>
#include <vector>

#include "container/pe_image.h"
#include "container/trailer.h"
#include "embed/convert.h"
#include "embed/converters.h"
#include "embed/platform.h"
#include "embed/process.h"
#include "embed/source_kind.h"
#include "embed/stream_check.h"

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
  if (status.type() == fs::file_type::none) {
    return Fail("finding the companion program", program, error.message());
  }
  if (!fs::exists(status)) {
    return Fail("finding the companion program", program, "it is not in the folder of embed");
  }
  if (!fs::is_regular_file(status)) {
    return Fail("finding the companion program", program, "it is not a file");
  }
  return std::nullopt;
}

// Reads from the current position to the end of the file, straight into `bytes`.
OsResult ReadRest(File& file, std::string& bytes, std::uint64_t expectedSize) {
  bytes.resize(static_cast<std::size_t>(expectedSize) + 1);  // one more byte shows the end
  std::size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) bytes.resize(bytes.size() * 2);  // it grew after it was measured
    std::size_t got = 0;
    if (OsResult read = file.Read(bytes.data() + filled, bytes.size() - filled, got); !read.ok()) {
      return read;
    }
    if (got == 0) break;
    filled += got;
  }
  bytes.resize(filled);
  return {};
}

// How much of the viewer goes into a container: all of it, unless it is a signed program image,
// whose certificate table is left behind so that the container carries no signature of its own
// until its author signs it. Only the headers are read here (no linker puts them beyond the
// first 64 KiB; an image that has them there is copied unchanged); the file is left at its start.
constexpr std::size_t kViewerHeadersRead = 64 * 1024;

OsResult MeasureViewerImage(File& viewer, std::uint64_t viewerSize, std::uint64_t& imageLength) {
  std::vector<std::uint8_t> headers(static_cast<std::size_t>(
      viewerSize < kViewerHeadersRead ? viewerSize : kViewerHeadersRead));
  std::size_t filled = 0;
  while (filled < headers.size()) {
    std::size_t got = 0;
    if (OsResult read = viewer.Read(headers.data() + filled, headers.size() - filled, got);
        !read.ok()) {
      return read;
    }
    if (got == 0) break;
    filled += got;
  }
  const CertificateTable table =
      CertificateTableOf(ReadPeHeader(headers.data(), filled), viewerSize);
  imageLength = table.present() ? table.offset : viewerSize;
  return viewer.SeekTo(0);
}

std::optional<EmbedFailure> CreateTemporary(std::string_view prefix, TempFile& temp) {
  if (OsResult created = TempFile::Create(prefix, temp); !created.ok()) {
    std::error_code ignored;
    return Fail("creating a temporary file in", fs::current_path(ignored), created.reason);
  }
  return std::nullopt;
}

// `piecesSize` is everything but the trailer; `more` when pieces are still to come.
std::optional<EmbedFailure> CheckContainerSize(std::uint64_t piecesSize, bool more = false) {
  const std::uint64_t containerSize = piecesSize + kTrailerSize;
  if (containerSize < kContainerLimit) return std::nullopt;
  return Fail("assembling", kContainerName,
              std::string("the container would be ") + (more ? "at least " : "") +
                  std::to_string(containerSize) +
                  " bytes, and its offsets only reach to 2 GiB (2147483648 bytes)");
}

// The RTF to split: the source itself, or, for an author's own format, the RTF that its
// converter made of it in `conversion`.
std::optional<EmbedFailure> PrepareRtf(const fs::path& source, TempFolder& conversion,
                                       fs::path& rtf) {
  MappedFile view;
  if (OsResult read = MapWholeFile(source, view); !read.ok()) {
    return Fail("reading the RTF source", source, read.reason);
  }
  const SourceKind kind = DetectSourceKind(view.bytes(), source);
  view.Release();
  rtf = source;
  if (!ConverterFor(kind)) return std::nullopt;  // RTF, or what the splitter will refuse
  return ConvertToRtf(source, kind, ConvertTimeLimit(), conversion, rtf);
}

// One stream of the container: `notes <mode> | encrypt` from the RTF into a temporary file, then
// read back and checked. Messages name the author's source, whatever it was converted to.
class StreamJob {
 public:
  StreamJob(std::string_view mode, std::string_view contents, const EmbedOptions& options,
            const fs::path& rtf)
      : mode_(mode), contents_(contents), options_(options), rtf_(rtf) {}

  std::optional<EmbedFailure> Start(const Companions& companions) {
    File source;
    if (OsResult opened = File::OpenForReading(rtf_, source); !opened.ok()) {
      return Fail("reading the RTF source", options_.rtfSource, opened.reason);
    }
    if (auto failure = CreateTemporary("mbrtf", temp_)) return failure;
    const Command notes{companions.notes, {NativeString(mode_.begin(), mode_.end())}, {}};
    const Command encrypt{companions.encrypt, {}, {}};
    pipeline_.emplace(Pipeline::Start(notes, encrypt, source, temp_.file()));
    return std::nullopt;
  }

  std::optional<EmbedFailure> Finish() {
    const PipelineOutcome outcome = pipeline_->Wait();
    const std::string step = "running notes " + std::string(mode_) + " | encrypt on";
    if (!outcome.setup.ok()) return Fail(step, options_.rtfSource, outcome.setup.reason);
    std::string reason;
    if (!outcome.first.ok()) reason = outcome.first.Describe("notes " + std::string(mode_));
    if (!outcome.second.ok() && outcome.second.kind != ChildOutcome::Kind::NotRun) {
      reason += (reason.empty() ? "" : "; ") + outcome.second.Describe("encrypt");
    }
    if (!reason.empty()) return Fail(step, options_.rtfSource, reason);
    if (OsResult sized = temp_.file().Size(size_); !sized.ok()) return ReadFailure(sized);
    return std::nullopt;
  }

  std::uint64_t size() const { return size_; }

  // Maps the finished stream and checks that the viewer can show it.
  std::optional<EmbedFailure> MapAndCheck() {
    if (OsResult mapped = view_.Map(temp_.file().handle(), size_); !mapped.ok()) {
      return ReadFailure(mapped);
    }
    if (!IsOneCompleteGroup(view_.bytes())) {
      return Fail("checking the output of notes " + std::string(mode_) + " for", options_.rtfSource,
                  "it does not decode to one complete RTF group");
    }
    return std::nullopt;
  }

  std::string_view stream() const { return view_.bytes(); }

  // Unmaps and removes the temporary file once its stream has been copied.
  void Discard() {
    view_.Release();
    temp_.Remove();
  }

 private:
  EmbedFailure ReadFailure(const OsResult& result) const {
    return Fail("reading the " + std::string(contents_) + " stream", temp_.name(), result.reason);
  }

  std::string_view mode_;
  std::string_view contents_;
  const EmbedOptions& options_;
  const fs::path& rtf_;
  TempFile temp_;
  // Declared after the file: the view is released and a pipeline left running by a failure is
  // stopped before the file is removed.
  MappedFile view_;
  std::optional<Pipeline> pipeline_;
  std::uint64_t size_ = 0;
};

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
  // The length of the viewer image that is copied: mainOffset.
  std::uint64_t imageLength = 0;
  if (OsResult measured = MeasureViewerImage(viewer, viewerSize, imageLength); !measured.ok()) {
    return Fail("reading the viewer", companions.viewer, measured.reason);
  }

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
    if (!read.ok()) return Fail("reading the description", options.description, read.reason);
    // A description too large for any container is refused before it is read into memory.
    if (auto failure = CheckContainerSize(imageLength + size, true)) return failure;
    if (read = ReadRest(file, description, size); !read.ok()) {
      return Fail("reading the description", options.description, read.reason);
    }
  }
  // The viewer reads the description as text that ends at the first NUL byte.
  if (const auto nul = description.find('\0'); nul != std::string::npos) {
    return Fail("checking the description", options.description,
                "it holds a NUL byte at offset " + std::to_string(nul));
  }

  // Converted only now, since a converter takes seconds and the checks above take none. The
  // folder outlives both streams' pipelines, which read the RTF in it.
  TempFolder conversion;
  fs::path rtf;
  if (auto failure = PrepareRtf(options.rtfSource, conversion, rtf)) return failure;

  StreamJob mainJob("-r", "main text", options, rtf);
  if (auto failure = mainJob.Start(companions)) return failure;
  if (auto failure = mainJob.Finish()) return failure;

  // While notes -x and encrypt run, the main stream is checked (which costs about as much as
  // scrambling it did) and copied to its place in the new container, behind room for the viewer,
  // which follows once everything has passed its checks. A failure on either side stops the
  // other.
  StreamJob notesJob("-x", "notes", options, rtf);
  if (auto failure = notesJob.Start(companions)) return failure;
  if (auto failure = CheckContainerSize(imageLength + mainJob.size() + description.size(), true)) {
    return failure;
  }
  if (auto failure = mainJob.MapAndCheck()) return failure;
  // The new container is made complete beside the old one and only then takes its name.
  TempFile container;
  if (auto failure = CreateTemporary("sccfg", container)) return failure;
  File& out = container.file();
  const std::string_view mainStream = mainJob.stream();
  OsResult written = out.SeekTo(imageLength);
  if (written.ok()) written = out.WriteAll(mainStream.data(), mainStream.size());
  if (!written.ok()) return Fail("writing", kContainerName, written.reason);
  out.StartFlush();
  const std::uint64_t mainSize = mainStream.size();
  mainJob.Discard();

  if (auto failure = notesJob.Finish()) return failure;
  if (auto failure =
          CheckContainerSize(imageLength + mainSize + notesJob.size() + description.size())) {
    return failure;
  }
  if (auto failure = notesJob.MapAndCheck()) return failure;
  const std::string_view notesStream = notesJob.stream();
  std::string viewerImage;
  if (OsResult read = ReadRest(viewer, viewerImage, viewerSize); !read.ok()) {
    return Fail("reading the viewer", companions.viewer, read.reason);
  }
  // A signed viewer loses its certificate table here, and its headers stop recording one.
  const bool isSigned = imageLength != viewerSize;
  if (viewerImage.size() != viewerSize ||
      (isSigned && RemoveSignature(reinterpret_cast<std::uint8_t*>(viewerImage.data()),
                                   viewerSize) != imageLength)) {
    return Fail("reading the viewer", companions.viewer, "it changed while embed ran");
  }
  viewerImage.resize(static_cast<std::size_t>(imageLength));
  const std::uint64_t mainOffset = imageLength;
  const std::uint64_t notesOffset = mainOffset + mainSize;
  const std::uint64_t descriptionOffset = notesOffset + notesStream.size();

  ContainerTrailer trailer;
  trailer.mainOffset = static_cast<std::int32_t>(mainOffset);
  trailer.notesOffset = static_cast<std::int32_t>(notesOffset);
  trailer.descriptionOffset = static_cast<std::int32_t>(descriptionOffset);
  trailer.notesPercent = options.notesPercent;
  trailer.permissions = options.permissions;
  const TrailerBytes trailerBytes = EncodeTrailer(trailer);

  if (written.ok()) written = out.WriteAll(notesStream.data(), notesStream.size());
  if (written.ok()) written = out.WriteAll(description.data(), description.size());
  if (written.ok()) written = out.WriteAll(trailerBytes.data(), trailerBytes.size());
  if (written.ok()) written = out.SeekTo(0);
  if (written.ok()) written = out.WriteAll(viewerImage.data(), viewerImage.size());
  if (written.ok()) written = out.FlushToDisk();
  if (!written.ok()) return Fail("writing", kContainerName, written.reason);
  if (OsResult renamed = container.CloseAndRename(kContainerName); !renamed.ok()) {
    return Fail("replacing", kContainerName, renamed.reason);
  }
  return std::nullopt;
}

}  // namespace scrivora
