#include "viewer/core/print_command.h"

#include "container/trailer.h"

namespace scrivora {
namespace {

bool WholeTextAllowed(std::int32_t permissions) { return (permissions & PermitPrintAll) != 0; }

// Runs the jobs of one command on one printer context, in order, until one of them fails.
class JobSequence {
 public:
  JobSequence(PrintJobRunner& runner, PrinterContext& printer)
      : runner_(runner), printer_(printer) {}

  // False once a job has failed: the command then stops.
  bool Print(PaneKind pane, bool currentPage, std::int32_t firstPage, std::int32_t lastPage) {
    if (result_.failure != PrintFailure::None) return false;
    if (runner_.PrintRange(pane, printer_, currentPage, firstPage, lastPage) ==
        PrintJobResult::NoProgressWindow) {
      result_.failure = PrintFailure::NoProgressWindow;
      return false;
    }
    ++result_.jobsRun;
    return true;
  }
  bool Whole(PaneKind pane) { return Print(pane, false, 1, kLastPossiblePage); }
  bool CurrentPage(PaneKind pane) { return Print(pane, true, 1, kLastPossiblePage); }
  const PrintCommandResult& result() const { return result_; }

 private:
  PrintJobRunner& runner_;
  PrinterContext& printer_;
  PrintCommandResult result_;
};

}  // namespace

bool PrintCommandEnabled(std::int32_t permissions) {
  return (permissions & (PermitPrint | PermitPrintAll)) != 0;
}

RangeChoice RangeChoiceFromFlags(std::uint32_t flags) {
  if (flags & kPrintDlgSelection) return RangeChoice::Selection;
  if (flags & kPrintDlgPageNums) return RangeChoice::Pages;
  return RangeChoice::All;
}

PrintDialogSetup MakePrintDialogSetup(PrintCommand command, std::int32_t permissions) {
  const bool wholeText = WholeTextAllowed(permissions);
  PrintDialogSetup setup;
  if (!wholeText) {
    setup.flags = kPrintDlgReturnDc | kPrintDlgNoSelection | kPrintDlgNoPageNums;
    setup.title = kCurrentPageTitle;
  } else if (command == PrintCommand::FilePrint) {
    setup.flags = kPrintDlgReturnDc;
  } else {
    setup.flags = kPrintDlgReturnDc | kPrintDlgNoPageNums;
  }
  if (command == PrintCommand::FilePrint) {
    setup.setsPageLimits = true;
    setup.minPage = 1;
    setup.maxPage = kLastPossiblePage;
  }
  return setup;
}

std::u16string_view PrintFailureText(const PrintCommandResult& result) {
  switch (result.failure) {
    case PrintFailure::None: return {};
    case PrintFailure::NoPrinterContext: return kNoPrinterText;
    case PrintFailure::NoProgressWindow:
      // Only the notes follow another job, so a later job that fails is the notes'.
      return result.jobsRun == 0 ? kNoProgressNothingPrintedText : kNoProgressNotesNotPrintedText;
  }
  return {};
}

PrintCommandResult RunPrintCommand(PrintCommand command, std::int32_t permissions,
                                   PrintDialog& dialog, YesNoQuestion& question,
                                   PrintJobRunner& runner) {
  if (!PrintCommandEnabled(permissions)) return {};
  const bool wholeText = WholeTextAllowed(permissions);

  PrintDialogResult result = dialog.Run(MakePrintDialogSetup(command, permissions));
  if (!result.confirmed) return {};
  // A confirmed dialog that hands back no printer context has nothing to print on.
  if (!result.printer) return {PrintFailure::NoPrinterContext, 0};
  JobSequence jobs(runner, *result.printer);

  if (command == PrintCommand::PrintNotes) {
    if (wholeText && result.range != RangeChoice::Selection)
      jobs.Whole(PaneKind::Notes);
    else
      jobs.CurrentPage(PaneKind::Notes);
    return jobs.result();
  }

  if (wholeText && result.range == RangeChoice::All) {
    if (jobs.Whole(PaneKind::Text)) jobs.Whole(PaneKind::Notes);
    return jobs.result();
  }
  const bool printed = !wholeText || result.range == RangeChoice::Selection
                           ? jobs.CurrentPage(PaneKind::Text)
                           : jobs.Print(PaneKind::Text, false, result.fromPage, result.toPage);
  if (printed && wholeText && question.Ask(kFootnoteCaption, kFootnoteQuestion))
    jobs.Whole(PaneKind::Notes);
  return jobs.result();
}

}  // namespace scrivora
