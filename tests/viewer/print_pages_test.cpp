#include "viewer/core/print_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/viewer/fake_pane.h"

namespace scrivora {
namespace {

using Log = std::vector<std::string>;
using test::FakePane;

// Lays out a fixed number of characters a page; a stuck formatter returns `stuckAt` from there.
class LoggedFormatter : public PageFormatter {
 public:
  LoggedFormatter(Log& log, std::int32_t length, std::int32_t perPage)
      : log_(log), length_(length), perPage_(perPage) {}
  std::int32_t FormatPage(std::int32_t start, bool render) override {
    log_.push_back((render ? "render " : "measure ") + std::to_string(start));
    if (start >= stuckAt) return stuckAt;
    return std::min(start + perPage_, length_);
  }
  void ReleaseCache() override { log_.push_back("release cache"); }
  std::int32_t stuckAt = 1 << 30;

 private:
  Log& log_;
  std::int32_t length_;
  std::int32_t perPage_;
};

// The printer; the reader's Cancel arrives while page `cancelInPage` ends (the platform runs the
// abort procedure, and with it the message pump, from inside page output).
class LoggedJob : public PrintJob {
 public:
  explicit LoggedJob(Log& log) : log_(log) {}
  void StartDocument(std::u16string_view name) override {
    log_.push_back("start document " + std::string(name.begin(), name.end()));
  }
  void StartPage() override { log_.push_back(keepPrinting_ ? "start page" : "LATE start page"); }
  void EndPage() override {
    log_.push_back("end page");
    if (++pagesEnded_ == cancelInPage) keepPrinting_ = false;
  }
  void EndDocument() override { log_.push_back("end document"); }
  void RestoreDrawingObjects() override { log_.push_back("restore"); }
  bool KeepPrinting() const override { return keepPrinting_; }
  int cancelInPage = 0;

 private:
  Log& log_;
  bool keepPrinting_ = true;
  int pagesEnded_ = 0;
};

class LoggedProgress : public PrintProgress {
 public:
  explicit LoggedProgress(Log& log) : log_(log) {}
  void SetPage(std::int32_t page) override { log_.push_back("show " + std::to_string(page)); }

 private:
  Log& log_;
};

Log Printed(std::int32_t start) {
  return {"start page", "render " + std::to_string(start), "restore", "end page"};
}

Log Concat(std::initializer_list<Log> parts) {
  Log all;
  for (const Log& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

const Log kStart = {"start document Title"};
const Log kEnd = {"release cache", "end document"};

struct PageCase {
  const char* name;
  std::int32_t textLength;
  PrintRangeRequest request;
  Log expected;
  std::int32_t topLine = 0;
  std::int32_t stuckAt = 1 << 30;
};

TEST(PrintPages, PrintsTheRequestedPagesAndMeasuresTheOnesBefore) {
  constexpr std::int32_t kMax = 2147483647;
  // 100 characters at 30 a page: pages start at 0, 30, 60 and 90.
  const PageCase cases[] = {
      {"empty pane: one blank page", 0, {false, 1, kMax, u"Title"},
       Concat({kStart, Printed(0), {"show 1"}, kEnd})},
      {"whole text", 100, {false, 1, kMax, u"Title"},
       Concat({kStart, Printed(0), {"show 1"}, Printed(30), {"show 2"}, Printed(60), {"show 3"},
               Printed(90), {"show 4"}, kEnd})},
      {"range past the end: all measured, none printed", 100, {false, 5, 9, u"Title"},
       Concat({kStart, {"measure 0", "show 1", "measure 30", "show 2", "measure 60", "show 3",
                        "measure 90", "show 4"},
               kEnd})},
      {"5 to 3: three measured, none printed", 100, {false, 5, 3, u"Title"},
       Concat({kStart, {"measure 0", "show 1", "measure 30", "show 2", "measure 60", "show 3"},
               kEnd})},
      {"2 to 3", 100, {false, 2, 3, u"Title"},
       Concat({kStart, {"measure 0", "show 1"}, Printed(30), {"show 2"}, Printed(60),
               {"show 3"}, kEnd})},
      {"current page: one page from the first visible line", 400, {true, 5, 3, u"Title"},
       Concat({kStart, Printed(120), kEnd}), 3},
      {"current page of an empty pane", 0, {true, 1, kMax, u"Title"},
       Concat({kStart, Printed(0), kEnd})},
      {"formatter stuck at the start", 100, {false, 1, kMax, u"Title"},
       Concat({kStart, Printed(0), {"show 1"}, kEnd}), 0, 0},
      {"formatter stuck on page 3", 100, {false, 1, kMax, u"Title"},
       Concat({kStart, Printed(0), {"show 1"}, Printed(30), {"show 2"}, Printed(60),
               {"show 3"}, kEnd}),
       0, 60},
      {"formatter stuck while measuring", 100, {false, 4, kMax, u"Title"},
       Concat({kStart, {"measure 0", "show 1", "measure 30", "show 2"}, kEnd}), 0, 30},
      {"last page is the largest page number", 30, {false, kMax, kMax, u"Title"},
       Concat({kStart, {"measure 0", "show 1"}, kEnd})},
  };
  for (const PageCase& c : cases) {
    Log log;
    FakePane pane(std::u16string(c.textLength, u'x'), 5, 40);
    pane.ScrollTo(c.topLine);
    LoggedFormatter formatter(log, c.textLength, 30);
    formatter.stuckAt = c.stuckAt;
    LoggedJob job(log);
    LoggedProgress progress(log);
    PrintPages(pane, formatter, job, progress, c.request);
    EXPECT_EQ(log, c.expected) << c.name;
  }
}

TEST(PrintPages, NothingReachesThePrinterAfterCancel) {
  Log log;
  FakePane pane(std::u16string(300, u'x'));
  LoggedFormatter formatter(log, 300, 30);
  LoggedJob job(log);
  job.cancelInPage = 2;
  LoggedProgress progress(log);
  PrintPages(pane, formatter, job, progress, {false, 1, 2147483647, u"Title"});
  EXPECT_EQ(log, Concat({kStart, Printed(0), {"show 1"}, Printed(30), {"show 2"}, kEnd}));
  EXPECT_FALSE(job.KeepPrinting());
}

TEST(PrintPages, EachJobHasItsOwnProgressAndCancelStaysInItsJob) {
  Log textLog;
  Log notesLog;
  FakePane text(std::u16string(90, u'x'));
  FakePane notes(std::u16string(60, u'n'));
  LoggedFormatter textFormatter(textLog, 90, 30);
  LoggedFormatter notesFormatter(notesLog, 60, 30);
  LoggedJob textJob(textLog);
  textJob.cancelInPage = 1;
  LoggedJob notesJob(notesLog);
  LoggedProgress textProgress(textLog);
  LoggedProgress notesProgress(notesLog);
  PrintPages(text, textFormatter, textJob, textProgress, {false, 1, 2147483647, u"Title"});
  PrintPages(notes, notesFormatter, notesJob, notesProgress, {false, 1, 2147483647, u"Title"});
  EXPECT_EQ(textLog, Concat({kStart, Printed(0), {"show 1"}, kEnd}));
  EXPECT_EQ(notesLog, Concat({kStart, Printed(0), {"show 1"}, Printed(30), {"show 2"}, kEnd}));
}

TEST(PageSizeTwips, MultipliesFirstAndTruncates) {
  EXPECT_EQ(PageSizeTwips({4800, 6600, 600, 600}), (PageTwips{11520, 15840}));  // Letter, 600 dpi
  EXPECT_EQ(PageSizeTwips({1001, 999, 300, 300}), (PageTwips{4804, 4795}));
  EXPECT_EQ(PageSizeTwips({5000, 7000, 600, 300}), (PageTwips{12000, 33600}));
  EXPECT_EQ(PageSizeTwips({2000000, 2000000, 600, 600}), (PageTwips{4800000, 4800000}));
  EXPECT_EQ(PageSizeTwips({4800, 6600, 0, 0}), (PageTwips{0, 0}));
}

}  // namespace
}  // namespace scrivora
