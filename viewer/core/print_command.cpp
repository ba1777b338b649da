#include "viewer/core/print_command.h"

#include "container/trailer.h"

namespace scrivora {
namespace {

bool WholeTextAllowed(std::int32_t permissions) { return (permissions & PermitPrintAll) != 0; }

void PrintWhole(PrintJobRunner& runner, PaneKind pane, PrinterContext& printer) {
  runner.PrintRange(pane, printer, false, 1, kLastPossiblePage);
}

void PrintCurrentPage(PrintJobRunner& runner, PaneKind pane, PrinterContext& printer) {
  runner.PrintRange(pane, printer, true, 1, kLastPossiblePage);
}

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

void RunPrintCommand(PrintCommand command, std::int32_t permissions, PrintDialog& dialog,
                     YesNoQuestion& question, PrintJobRunner& runner) {
  if (!PrintCommandEnabled(permissions)) return;
  const bool wholeText = WholeTextAllowed(permissions);

  PrintDialogResult result = dialog.Run(MakePrintDialogSetup(command, permissions));
  // A confirmed dialog that hands back no printer context has nothing to print on.
  if (!result.confirmed || !result.printer) return;
  PrinterContext& printer = *result.printer;

  if (command == PrintCommand::PrintNotes) {
    if (wholeText && result.range != RangeChoice::Selection)
      PrintWhole(runner, PaneKind::Notes, printer);
    else
      PrintCurrentPage(runner, PaneKind::Notes, printer);
    return;
  }

  if (wholeText && result.range == RangeChoice::All) {
    PrintWhole(runner, PaneKind::Text, printer);
    PrintWhole(runner, PaneKind::Notes, printer);
    return;
  }
  if (!wholeText || result.range == RangeChoice::Selection)
    PrintCurrentPage(runner, PaneKind::Text, printer);
  else
    runner.PrintRange(PaneKind::Text, printer, false, result.fromPage, result.toPage);
  if (wholeText && question.Ask(kFootnoteCaption, kFootnoteQuestion))
    PrintWhole(runner, PaneKind::Notes, printer);
}

}  // namespace scrivora
