#include "viewer/core/print_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace scrivora {
namespace {

std::string Narrow(std::u16string_view text) { return std::string(text.begin(), text.end()); }

using Log = std::vector<std::string>;

class LoggedPrinter : public PrinterContext {
 public:
  explicit LoggedPrinter(Log& log) : log_(log) {}
  ~LoggedPrinter() override { log_.push_back("release printer"); }

 private:
  Log& log_;
};

struct DialogAnswer {
  bool confirmed = true;
  RangeChoice range = RangeChoice::All;
  std::int32_t from = 0;
  std::int32_t to = 0;
  bool givesPrinter = true;
};

class ScriptedDialog : public PrintDialog {
 public:
  ScriptedDialog(Log& log, DialogAnswer answer) : log_(log), answer_(answer) {}
  PrintDialogResult Run(const PrintDialogSetup& setup) override {
    char flags[16];
    std::snprintf(flags, sizeof flags, "0x%X", setup.flags);
    std::string line = "dialog flags=" + std::string(flags) + " title='" + Narrow(setup.title) + "'";
    if (setup.setsPageLimits)
      line += " pages " + std::to_string(setup.minPage) + ".." + std::to_string(setup.maxPage);
    log_.push_back(line);
    PrintDialogResult result;
    result.confirmed = answer_.confirmed;
    result.range = answer_.range;
    result.fromPage = answer_.from;
    result.toPage = answer_.to;
    if (answer_.confirmed && answer_.givesPrinter) {
      result.printer = std::make_unique<LoggedPrinter>(log_);
      printer = result.printer.get();
    }
    return result;
  }
  PrinterContext* printer = nullptr;

 private:
  Log& log_;
  DialogAnswer answer_;
};

class ScriptedQuestion : public YesNoQuestion {
 public:
  ScriptedQuestion(Log& log, bool yes) : log_(log), yes_(yes) {}
  bool Ask(std::u16string_view caption, std::u16string_view text) override {
    log_.push_back("ask '" + Narrow(caption) + "' '" + Narrow(text) + "'");
    return yes_;
  }

 private:
  Log& log_;
  bool yes_;
};

// Runs jobs on paper only; the job numbered `failingJob` (from 1) gets no progress window.
class LoggedRunner : public PrintJobRunner {
 public:
  LoggedRunner(Log& log, const ScriptedDialog& dialog, int failingJob = 0)
      : log_(log), dialog_(dialog), failingJob_(failingJob) {}
  PrintJobResult PrintRange(PaneKind pane, PrinterContext& printer, bool currentPage,
                            std::int32_t first, std::int32_t last) override {
    EXPECT_EQ(&printer, dialog_.printer) << "every job prints on the dialog's printer context";
    const bool fails = ++jobs_ == failingJob_;
    log_.push_back(std::string("job ") + (pane == PaneKind::Text ? "text" : "notes") +
                   (currentPage ? " current " : " ") + std::to_string(first) + ".." +
                   std::to_string(last) + (fails ? kNoProgress : ""));
    return fails ? PrintJobResult::NoProgressWindow : PrintJobResult::Ran;
  }
  static constexpr const char* kNoProgress = " without progress window";

 private:
  Log& log_;
  const ScriptedDialog& dialog_;
  int failingJob_;
  int jobs_ = 0;
};

const std::string kAsk =
    "ask 'Scrivora 2' 'Print footnotes (separate page(s) at the end of the document)?'";
const std::string kFull = "dialog flags=0x100 title='' pages 1..2147483647";
const std::string kNotesFull = "dialog flags=0x108 title=''";
const std::string kCurrentOnly = "dialog flags=0x10C title='Current page' pages 1..2147483647";
const std::string kNotesCurrentOnly = "dialog flags=0x10C title='Current page'";
const std::string kRelease = "release printer";
const std::string kTextWhole = "job text 1..2147483647";
const std::string kNotesWhole = "job notes 1..2147483647";
const std::string kTextCurrent = "job text current 1..2147483647";
const std::string kNotesCurrent = "job notes current 1..2147483647";

struct CommandCase {
  const char* name;
  PrintCommand command;
  std::int32_t permissions;
  DialogAnswer dialog;
  bool answerYes;
  Log expected;
};

TEST(RunPrintCommand, DialogJobsAndQuestionFollowThePermissionsAndTheChoice) {
  using enum RangeChoice;
  const PrintCommand file = PrintCommand::FilePrint;
  const PrintCommand notes = PrintCommand::PrintNotes;
  const DialogAnswer cancelled{false};
  const CommandCase cases[] = {
      {"no printing bit", file, 0, {}, true, {}},
      {"copy only", file, 1, {}, true, {}},
      {"notes, copy only", notes, 1, {}, true, {}},
      {"current page only", file, 2, {true, All}, true, {kCurrentOnly, kTextCurrent, kRelease}},
      {"current page only, with copy", file, 3, {true, All}, true,
       {kCurrentOnly, kTextCurrent, kRelease}},
      {"current page only, odd choice", file, 2, {true, Pages, 2, 3}, true,
       {kCurrentOnly, kTextCurrent, kRelease}},
      {"all", file, 6, {true, All}, true, {kFull, kTextWhole, kNotesWhole, kRelease}},
      {"all without the plain print bit", file, 4, {true, All}, false,
       {kFull, kTextWhole, kNotesWhole, kRelease}},
      {"selection, yes", file, 7, {true, Selection}, true,
       {kFull, kTextCurrent, kAsk, kNotesWhole, kRelease}},
      {"selection, no", file, 6, {true, Selection}, false, {kFull, kTextCurrent, kAsk, kRelease}},
      {"pages 2 to 3, yes", file, 6, {true, Pages, 2, 3}, true,
       {kFull, "job text 2..3", kAsk, kNotesWhole, kRelease}},
      {"pages 2 to 3, no", file, 6, {true, Pages, 2, 3}, false,
       {kFull, "job text 2..3", kAsk, kRelease}},
      {"pages as the 16-bit dialog returns them", file, 6, {true, Pages, 0, 65535}, false,
       {kFull, "job text 0..65535", kAsk, kRelease}},
      {"dialog cancelled", file, 6, cancelled, true, {kFull}},
      {"dialog cancelled, current page only", file, 2, cancelled, true, {kCurrentOnly}},
      {"notes, current page only", notes, 2, {true, All}, true,
       {kNotesCurrentOnly, kNotesCurrent, kRelease}},
      {"notes, all", notes, 6, {true, All}, true, {kNotesFull, kNotesWhole, kRelease}},
      {"notes, selection", notes, 6, {true, Selection}, true,
       {kNotesFull, kNotesCurrent, kRelease}},
      {"notes, dialog cancelled", notes, 6, cancelled, true, {kNotesFull}},
  };
  for (const CommandCase& c : cases) {
    Log log;
    ScriptedDialog dialog(log, c.dialog);
    ScriptedQuestion question(log, c.answerYes);
    LoggedRunner runner(log, dialog);
    const PrintCommandResult result =
        RunPrintCommand(c.command, c.permissions, dialog, question, runner);
    EXPECT_EQ(log, c.expected) << c.name;
    const auto jobs = std::count_if(log.begin(), log.end(), [](const std::string& line) {
      return line.starts_with("job");
    });
    EXPECT_EQ(result, (PrintCommandResult{PrintFailure::None, static_cast<int>(jobs)})) << c.name;
    EXPECT_TRUE(PrintFailureText(result).empty()) << c.name;
  }
}

struct FailureCase {
  const char* name;
  PrintCommand command;
  std::int32_t permissions;
  DialogAnswer dialog;
  int failingJob;
  Log expected;
  PrintCommandResult result;
  std::u16string_view text;
};

TEST(RunPrintCommand, StopsAtAPrintThatCannotGoOnAndSaysWhy) {
  using enum RangeChoice;
  const PrintCommand file = PrintCommand::FilePrint;
  const PrintCommand notes = PrintCommand::PrintNotes;
  const std::string failed = LoggedRunner::kNoProgress;
  const DialogAnswer noPrinter{true, All, 0, 0, false};
  const PrintCommandResult noContext{PrintFailure::NoPrinterContext, 0};
  const PrintCommandResult firstJob{PrintFailure::NoProgressWindow, 0};
  const PrintCommandResult secondJob{PrintFailure::NoProgressWindow, 1};
  const std::u16string_view nothing = kNoProgressNothingPrintedText;
  const std::u16string_view noNotes = kNoProgressNotesNotPrintedText;
  const FailureCase cases[] = {
      {"no printer context", file, 6, noPrinter, 0, {kFull}, noContext, kNoPrinterText},
      {"no printer context, current page only", file, 2, noPrinter, 0, {kCurrentOnly}, noContext,
       kNoPrinterText},
      {"notes, no printer context", notes, 6, noPrinter, 0, {kNotesFull}, noContext,
       kNoPrinterText},
      {"all: the text job fails, so no notes job", file, 6, {true, All}, 1,
       {kFull, kTextWhole + failed, kRelease}, firstJob, nothing},
      {"all: the notes job fails after the text", file, 6, {true, All}, 2,
       {kFull, kTextWhole, kNotesWhole + failed, kRelease}, secondJob, noNotes},
      {"selection: no footnote question after a failed job", file, 6, {true, Selection}, 1,
       {kFull, kTextCurrent + failed, kRelease}, firstJob, nothing},
      {"pages: the notes asked for fail", file, 6, {true, Pages, 2, 3}, 2,
       {kFull, "job text 2..3", kAsk, kNotesWhole + failed, kRelease}, secondJob, noNotes},
      {"current page only", file, 2, {true, All}, 1,
       {kCurrentOnly, kTextCurrent + failed, kRelease}, firstJob, nothing},
      {"notes, all", notes, 6, {true, All}, 1, {kNotesFull, kNotesWhole + failed, kRelease},
       firstJob, nothing},
  };
  for (const FailureCase& c : cases) {
    Log log;
    ScriptedDialog dialog(log, c.dialog);
    ScriptedQuestion question(log, true);
    LoggedRunner runner(log, dialog, c.failingJob);
    const PrintCommandResult result =
        RunPrintCommand(c.command, c.permissions, dialog, question, runner);
    EXPECT_EQ(log, c.expected) << c.name;
    EXPECT_EQ(result, c.result) << c.name;
    EXPECT_EQ(Narrow(PrintFailureText(result)), Narrow(c.text)) << c.name;
  }
}

TEST(PrintCommandEnabled, NeedsSomePrintingBit) {
  for (std::int32_t permissions = 0; permissions < 8; ++permissions)
    EXPECT_EQ(PrintCommandEnabled(permissions), (permissions & 6) != 0) << permissions;
}

TEST(RangeChoiceFromFlags, SelectionWinsOverPages) {
  EXPECT_EQ(RangeChoiceFromFlags(0x100), RangeChoice::All);
  EXPECT_EQ(RangeChoiceFromFlags(0x101), RangeChoice::Selection);
  EXPECT_EQ(RangeChoiceFromFlags(0x102), RangeChoice::Pages);
  EXPECT_EQ(RangeChoiceFromFlags(0x103), RangeChoice::Selection);
}

}  // namespace
}  // namespace scrivora
