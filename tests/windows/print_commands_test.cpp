// The print commands on the real menu, and a real print dialog and printer reaching the page
// printing. The printer is the private CUPS printer of scripts/cups-session.sh; without it the
// tests that need one are skipped.
#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/windows/viewer_harness.h"
#include "viewer/printing/print_abort.h"
#include "viewer/resources/command_ids.h"

namespace scrivora::test {
namespace {

constexpr wchar_t kPrinterName[] = L"ScrivoraPDF";
constexpr wchar_t kProgressCaption[] = L"Scrivora 2 - Printing";

// The file that the test printer's queue writes, beside the scheduler's socket.
std::wstring PrinterOutputPath() {
  wchar_t socket[MAX_PATH] = {};
  if (!::GetEnvironmentVariableW(L"CUPS_SERVER", socket, MAX_PATH)) return {};
  std::wstring path = std::wstring(L"Z:") + socket;
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path.substr(0, path.rfind(L'\\')) + L"\\out\\printed.ps";
}

// What reached the printer: the PostScript of the last job that the queue completed, once it is
// there in full; empty after ten seconds without.
std::string WaitForPrintedOutput(const std::wstring& path) {
  for (int i = 0; i < 200; ++i) {
    const std::string bytes = ReadFile(std::filesystem::path(path));
    if (bytes.find("%%EOF") != std::string::npos) return bytes;
    ::Sleep(50);
  }
  return {};
}

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

bool TestPrinterPresent() {
  HANDLE printer = nullptr;
  if (!::OpenPrinterW(const_cast<wchar_t*>(kPrinterName), &printer, nullptr)) return false;
  ::ClosePrinter(printer);
  wchar_t name[256];
  DWORD size = 256;
  return ::GetDefaultPrinterW(name, &size) && std::wstring(name) == kPrinterName;
}

#define SKIP_WITHOUT_PRINTER()                                                                  \
  if (!TestPrinterPresent())                                                                    \
  GTEST_SKIP() << "no printer \"ScrivoraPDF\": run the Wine tests through scripts/test, which " \
                  "starts a private CUPS (scripts/setup --print installs it)"

TEST(ViewerPrint, BothItemsFollowThePrintingBits) {
  for (std::int32_t permissions = 0; permissions <= 7; ++permissions) {
    ContainerSpec parts;
    parts.permissions = permissions;
    const TestFile file(parts.Build());
    RunningViewer viewer(file.Path());
    const bool expected = (permissions & (PermitPrint | PermitPrintAll)) != 0;
    EXPECT_EQ(viewer.MenuItemEnabled(CM_FILEPRINT), expected) << "permissions " << permissions;
    EXPECT_EQ(viewer.MenuItemEnabled(CM_PRINTNOTES), expected) << "permissions " << permissions;
  }
}

// Counts the dialog boxes that come up while `action` runs, and ends each with Cancel.
int DialogsDuring(const std::function<void()>& action) {
  static int seen = 0;
  seen = 0;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM) -> BOOL {
          wchar_t name[16];
          ::GetClassNameW(hwnd, name, 16);
          if (std::wstring_view(name) == L"#32770" && ::IsWindowVisible(hwnd)) {
            ++seen;
            ::PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
          }
          return TRUE;
        },
        0);
  });
  action();
  ::KillTimer(nullptr, timer);
  return seen;
}

TEST(ViewerPrint, WithoutAPrintingBitAPostedCommandDoesNothing) {
  for (std::int32_t permissions : {0, PermitCopy}) {
    ContainerSpec parts;
    parts.permissions = permissions;
    const TestFile file(parts.Build());
    RunningViewer viewer(file.Path());
    EXPECT_EQ(DialogsDuring([&] {
                viewer.Command(CM_FILEPRINT);
                viewer.Command(CM_PRINTNOTES);
                ::SendMessageW(viewer.FrameHandle(), WM_COMMAND, CM_FILEPRINT, 0);
              }),
              0)
        << "permissions " << permissions;
    EXPECT_TRUE(::IsWindowEnabled(viewer.FrameHandle()));
  }
}

TEST(ViewerPrint, WithAPrintingBitThePrintDialogComes) {
  SKIP_WITHOUT_PRINTER();
  // The counterpart of the test above: the same command with a printing bit shows the dialog,
  // which is cancelled, so nothing is printed.
  ContainerSpec parts;
  parts.permissions = PermitPrint;
  const TestFile file(parts.Build());
  RunningViewer viewer(file.Path());
  EXPECT_EQ(DialogsDuring([&] { viewer.Command(CM_FILEPRINT); }), 1);
  EXPECT_EQ(DialogsDuring([&] { viewer.Command(CM_PRINTNOTES); }), 1);
}

// What the test sees from inside a print job: the abort procedure, called by the platform from
// the job's page output, dispatches the messages that the watch posts to its window.
struct JobView {
  HWND progress = nullptr;
  std::wstring pageText;
  bool frameEnabled = true;
  bool progressEnabled = false;
  bool keepPrinting = false;
};

class JobWatch {
 public:
  explicit JobWatch(HWND frame, bool cancelFirstJob) : frame_(frame), cancelFirst_(cancelFirstJob) {
    current_ = this;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &WindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ScrivoraJobWatch";
    ::RegisterClassW(&windowClass);
    window_ = ::CreateWindowExW(0, L"ScrivoraJobWatch", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
    hook_ = ::SetWindowsHookExW(WH_CBT, &CbtProc, nullptr, ::GetCurrentThreadId());
  }
  ~JobWatch() {
    ::UnhookWindowsHookEx(hook_);
    ::DestroyWindow(window_);
    current_ = nullptr;
  }

  std::vector<JobView> jobs;
  std::vector<HWND> progressDialogs;  // every progress dialog made, in order
  bool keepPrintingAfterEscape = true;

 private:
  static constexpr UINT kLook = WM_APP + 1;
  static constexpr UINT kAfterEscape = WM_APP + 2;

  // A new progress dialog: have a look once the job's page output pumps the messages.
  static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && current_) {
      const CREATESTRUCTW& create = *reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
      if (create.lpszName && !IS_INTRESOURCE(create.lpszName) &&
          std::wstring_view(create.lpszName) == kProgressCaption) {
        current_->progressDialogs.push_back(reinterpret_cast<HWND>(wParam));
        ::PostMessageW(current_->window_, kLook, 0, 0);
      }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kLook && current_) current_->Look();
    if (message == kAfterEscape && current_) current_->keepPrintingAfterEscape = KeepPrinting;
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }

  void Look() {
    JobView view;
    view.progress = progressDialogs.back();
    wchar_t text[32] = {};
    ::GetDlgItemTextW(view.progress, 101, text, 32);
    view.pageText = text;
    view.frameEnabled = ::IsWindowEnabled(frame_);
    view.progressEnabled = ::IsWindowEnabled(view.progress);
    view.keepPrinting = KeepPrinting;
    jobs.push_back(view);
    // Escape, as the reader would press it: reaches Cancel through the abort procedure's pump.
    if (cancelFirst_ && jobs.size() == 1) {
      HWND cancel = ::GetDlgItem(view.progress, IDCANCEL);
      ::PostMessageW(cancel, WM_KEYDOWN, VK_ESCAPE, 1);
      ::PostMessageW(window_, kAfterEscape, 0, 0);
    }
  }

  static JobWatch* current_;
  HWND frame_;
  bool cancelFirst_;
  HWND window_ = nullptr;
  HHOOK hook_ = nullptr;
};
JobWatch* JobWatch::current_ = nullptr;

// File > Print, confirmed in the real print dialog as it comes; returns the dialog's title.
std::wstring ConfirmFilePrint(RunningViewer& viewer) {
  std::wstring title;
  WithModalBox([&] { viewer.Command(CM_FILEPRINT); },
               [&](HWND dialog) { title = WindowText(dialog); });
  return title;
}

TEST(ViewerPrint, CurrentPageOnlyThroughARealDialogAndPrinter) {
  SKIP_WITHOUT_PRINTER();
  ContainerSpec parts;
  parts.permissions = PermitPrint;
  const TestFile file(parts.Build());
  RunningViewer viewer(file.Path());
  JobWatch watch(viewer.FrameHandle(), false);
  const std::wstring output = PrinterOutputPath();
  ASSERT_FALSE(output.empty());
  ::DeleteFileW(output.c_str());
  const std::wstring title = ConfirmFilePrint(viewer);
  EXPECT_EQ(title, L"Current page");
  // One job: the current page of the text, with no question.
  ASSERT_EQ(watch.jobs.size(), 1u);
  const JobView& job = watch.jobs[0];
  EXPECT_EQ(job.pageText, L"current");
  EXPECT_FALSE(job.frameEnabled) << "the main window stays live during the job";
  EXPECT_TRUE(job.progressEnabled);
  EXPECT_TRUE(job.keepPrinting);
  EXPECT_FALSE(::IsWindow(job.progress));
  EXPECT_TRUE(::IsWindowEnabled(viewer.FrameHandle()));
  // The printer got one page, under the client's title as the document name.
  const std::string printed = WaitForPrintedOutput(output);
  ASSERT_FALSE(printed.empty()) << "nothing reached the printer";
  EXPECT_NE(printed.find("%%Title: Scrivora 3 - My Title"), std::string::npos);
  EXPECT_EQ(Count(printed, "%%Page: "), 1);
}

TEST(ViewerPrint, WholeTextAndNotesAsTwoJobsCancelStopsOnlyTheFirst) {
  SKIP_WITHOUT_PRINTER();
  ContainerSpec parts;  // every permission
  const TestFile file(parts.Build());
  RunningViewer viewer(file.Path());
  JobWatch watch(viewer.FrameHandle(), true);
  const std::wstring output = PrinterOutputPath();
  ASSERT_FALSE(output.empty());
  ::DeleteFileW(output.c_str());
  const std::wstring title = ConfirmFilePrint(viewer);
  EXPECT_NE(title, L"Current page");
  // All: the text, then the notes, each with its own progress dialog; no question.
  ASSERT_EQ(watch.progressDialogs.size(), 2u);
  EXPECT_NE(watch.progressDialogs[0], watch.progressDialogs[1]);
  ASSERT_EQ(watch.jobs.size(), 2u);
  for (const JobView& job : watch.jobs) {
    EXPECT_FALSE(job.frameEnabled);
    EXPECT_TRUE(job.progressEnabled);
    EXPECT_TRUE(job.keepPrinting);  // each job starts running, whatever the one before did
    EXPECT_FALSE(::IsWindow(job.progress));
  }
  // Escape in the first job's dialog pressed its Cancel; the second job started afresh and ran
  // to its end.
  EXPECT_FALSE(watch.keepPrintingAfterEscape);
  EXPECT_TRUE(KeepPrinting);
  EXPECT_TRUE(::IsWindowEnabled(viewer.FrameHandle()));
  EXPECT_EQ(ProgressDlgHandle, watch.progressDialogs[1]);
  // The notes job reached the printer (its output replaces that of any job before).
  const std::string printed = WaitForPrintedOutput(output);
  ASSERT_FALSE(printed.empty()) << "nothing reached the printer";
  EXPECT_EQ(Count(printed, "%%Title: "), 1);
  EXPECT_EQ(Count(printed, "%%Page: "), 1);
}

// Refuses to make the progress window of the job numbered `refused` (from 1), as a system short
// of window resources would.
class ProgressRefusal {
 public:
  explicit ProgressRefusal(int refused) {
    refused_ = refused;
    made_ = 0;
    hook_ = ::SetWindowsHookExW(WH_CBT, &CbtProc, nullptr, ::GetCurrentThreadId());
  }
  ~ProgressRefusal() { ::UnhookWindowsHookEx(hook_); }
  ProgressRefusal(const ProgressRefusal&) = delete;
  ProgressRefusal& operator=(const ProgressRefusal&) = delete;
  static int Asked() { return made_; }

 private:
  static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
      const CREATESTRUCTW& create = *reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
      if (create.lpszName && !IS_INTRESOURCE(create.lpszName) &&
          std::wstring_view(create.lpszName) == kProgressCaption && ++made_ == refused_) {
        return 1;  // the window is not made
      }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static int refused_;
  static int made_;
  HHOOK hook_ = nullptr;
};
int ProgressRefusal::refused_ = 0;
int ProgressRefusal::made_ = 0;

struct MessageSeen {
  std::wstring caption;
  std::wstring text;
};

// Runs `action`, confirming the print dialog as it comes, then reading and closing each message
// box that follows it. The progress dialogs of running jobs are left alone.
std::vector<MessageSeen> ConfirmPrintAndReadMessages(const std::function<void()>& action) {
  struct Watch {
    bool printDialogSeen = false;
    std::vector<HWND> handled;
    std::vector<MessageSeen> messages;
  };
  static Watch* watch = nullptr;
  Watch current;
  watch = &current;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM) -> BOOL {
          wchar_t name[16];
          ::GetClassNameW(hwnd, name, 16);
          if (std::wstring_view(name) != L"#32770" || !::IsWindowVisible(hwnd) ||
              !::IsWindowEnabled(hwnd) || WindowText(hwnd) == kProgressCaption ||
              std::find(watch->handled.begin(), watch->handled.end(), hwnd) !=
                  watch->handled.end()) {
            return TRUE;
          }
          watch->handled.push_back(hwnd);
          if (watch->printDialogSeen) {
            wchar_t text[256] = {};
            ::GetDlgItemTextW(hwnd, 0xFFFF, text, 256);
            watch->messages.push_back({WindowText(hwnd), text});
          }
          watch->printDialogSeen = true;
          ::PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
          return TRUE;
        },
        0);
  });
  action();
  ::KillTimer(nullptr, timer);
  watch = nullptr;
  EXPECT_TRUE(current.printDialogSeen) << "no print dialog appeared";
  return current.messages;
}

TEST(ViewerPrint, AJobWithoutProgressWindowStopsTheCommandAndTheReaderIsTold) {
  SKIP_WITHOUT_PRINTER();
  struct Case {
    const char* name;
    int refused;
    const wchar_t* message;
  };
  const Case cases[] = {
      {"the text job", 1,
       L"The print progress window could not be opened, so nothing was printed."},
      {"the notes job after the text", 2,
       L"The print progress window could not be opened, so the notes were not printed."},
  };
  for (const Case& c : cases) {
    ContainerSpec parts;  // every permission: All prints the text, then the notes
    const TestFile file(parts.Build());
    RunningViewer viewer(file.Path());
    ProgressRefusal refusal(c.refused);
    const std::vector<MessageSeen> messages =
        ConfirmPrintAndReadMessages([&] { viewer.Command(CM_FILEPRINT); });
    EXPECT_EQ(ProgressRefusal::Asked(), c.refused) << c.name << ": no job after the failed one";
    ASSERT_EQ(messages.size(), 1u) << c.name;
    EXPECT_EQ(messages[0].caption, L"Scrivora 3") << c.name;
    EXPECT_EQ(messages[0].text, c.message) << c.name;
    EXPECT_TRUE(::IsWindowEnabled(viewer.FrameHandle())) << c.name;
  }
}

}  // namespace
}  // namespace scrivora::test
