// The two print commands ("Print..." and "Print notes only..."): which print dialog they show,
// and which print jobs follow from the permissions and the reader's choice in that dialog.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace scrivora {

enum class PrintCommand { FilePrint, PrintNotes };
enum class PaneKind { Text, Notes };

// Option flags of the platform's print dialog, by their Win32 values.
inline constexpr std::uint32_t kPrintDlgSelection = 0x1;    // out: the Selection choice
inline constexpr std::uint32_t kPrintDlgPageNums = 0x2;     // out: the Pages choice
inline constexpr std::uint32_t kPrintDlgNoSelection = 0x4;  // in: Selection cannot be chosen
inline constexpr std::uint32_t kPrintDlgNoPageNums = 0x8;   // in: Pages cannot be chosen
inline constexpr std::uint32_t kPrintDlgReturnDc = 0x100;   // in: hand back a printer context

inline constexpr std::int32_t kLastPossiblePage = 2147483647;

inline constexpr std::u16string_view kCurrentPageTitle = u"Current page";
inline constexpr std::u16string_view kFootnoteQuestion =
    u"Print footnotes (separate page(s) at the end of the document)?";
inline constexpr std::u16string_view kFootnoteCaption = u"Scrivora 2";
inline constexpr std::u16string_view kNoPrinterText =
    u"The printer could not be prepared for printing, so nothing was printed.";
inline constexpr std::u16string_view kNoProgressNothingPrintedText =
    u"The print progress window could not be opened, so nothing was printed.";
inline constexpr std::u16string_view kNoProgressNotesNotPrintedText =
    u"The print progress window could not be opened, so the notes were not printed.";

// Whether the print commands are available: some printing bit is set (permissions & 6).
bool PrintCommandEnabled(std::int32_t permissions);

// How one command sets up its print dialog. Each command builds a fresh one, so nothing chosen
// in one dialog carries over to the next.
struct PrintDialogSetup {
  std::uint32_t flags = 0;
  std::u16string_view title;    // empty: the dialog keeps the platform's own title
  bool setsPageLimits = false;  // false: lowest and highest page stay at the dialog's defaults
  std::int32_t minPage = 0;
  std::int32_t maxPage = 0;

  friend bool operator==(const PrintDialogSetup&, const PrintDialogSetup&) = default;
};

enum class RangeChoice { All, Selection, Pages };

// The range choice that the dialog's returned flags stand for; Selection wins over Pages.
RangeChoice RangeChoiceFromFlags(std::uint32_t flags);

// A printer device context handed out by a confirmed dialog; released when destroyed.
class PrinterContext {
 public:
  virtual ~PrinterContext() = default;
};

struct PrintDialogResult {
  bool confirmed = false;  // a dialog that could not be shown counts as not confirmed
  RangeChoice range = RangeChoice::All;
  std::int32_t fromPage = 0;  // the Pages choice only
  std::int32_t toPage = 0;
  std::unique_ptr<PrinterContext> printer;  // owned by the command until it ends
};

class PrintDialog {
 public:
  virtual ~PrintDialog() = default;
  // Runs the modal print dialog.
  virtual PrintDialogResult Run(const PrintDialogSetup& setup) = 0;
};

class YesNoQuestion {
 public:
  virtual ~YesNoQuestion() = default;
  // Asks modally with a question icon; true for Yes.
  virtual bool Ask(std::u16string_view caption, std::u16string_view text) = 0;
};

// How a print job ended, as far as its command is concerned. A job that the reader cancelled ran.
enum class PrintJobResult {
  Ran,
  NoProgressWindow,  // its progress window could not be opened, so it printed nothing
};

class PrintJobRunner {
 public:
  virtual ~PrintJobRunner() = default;
  // One complete print job of `pane` on `printer`; returns when the job has ended.
  virtual PrintJobResult PrintRange(PaneKind pane, PrinterContext& printer, bool currentPage,
                                    std::int32_t firstPage, std::int32_t lastPage) = 0;
};

// Why a print command printed less than the reader asked for.
enum class PrintFailure {
  None,              // it printed all it was asked to, or the reader cancelled its dialog
  NoPrinterContext,  // the confirmed dialog handed back no printer context
  NoProgressWindow,  // a job could not open its progress window; the command stopped there
};

struct PrintCommandResult {
  PrintFailure failure = PrintFailure::None;
  int jobsRun = 0;  // jobs that ran before the command ended

  friend bool operator==(const PrintCommandResult&, const PrintCommandResult&) = default;
};

// What to tell the reader about how a command ended; empty when there is nothing to tell.
std::u16string_view PrintFailureText(const PrintCommandResult& result);

// The dialog set-up of `command` under `permissions`.
PrintDialogSetup MakePrintDialogSetup(PrintCommand command, std::int32_t permissions);

// Runs `command` from start to end: the dialog, then the jobs one after another (with the
// footnote question where it is due), then releases the printer context. Does nothing at all
// when the permissions do not enable printing, even if the command arrives anyway. A job that
// cannot open its progress window ends the command: no further job and no question.
PrintCommandResult RunPrintCommand(PrintCommand command, std::int32_t permissions,
                                   PrintDialog& dialog, YesNoQuestion& question,
                                   PrintJobRunner& runner);

}  // namespace scrivora
