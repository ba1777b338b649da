// The print job's progress dialog and abort procedure on real windows.
#include <gtest/gtest.h>

#include <string>

#include "viewer/printing/print_abort.h"
#include "viewer/printing/print_progress_dlg.h"
#include "viewer/printing/print_range.h"

namespace scrivora {
namespace {

std::wstring ControlText(HWND dialog, int id) {
  wchar_t text[64] = {};
  GetDlgItemTextW(dialog, id, text, 64);
  return text;
}

int appMessages = 0;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) ++appMessages;
  return DefWindowProcW(window, message, wParam, lParam);
}

class ProgressDialog : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &OwnerProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ProgressDialogOwner";
    RegisterClassW(&windowClass);
  }
  void SetUp() override {
    // Not shown: without a window manager, Wine waits for every shown window's unmapping.
    owner_ = CreateWindowExW(0, L"ProgressDialogOwner", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 300,
                             200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner_, nullptr);
  }
  void TearDown() override { DestroyWindow(owner_); }
  HWND owner_ = nullptr;
};

TEST_F(ProgressDialog, ShowsCurrentUntilAPageIsSet) {
  KeepPrinting = false;  // left so by an earlier, cancelled job
  PrintProgressDlg progress(owner_, GetModuleHandleW(nullptr));
  ASSERT_NE(progress.Handle(), nullptr);
  EXPECT_TRUE(KeepPrinting);
  EXPECT_TRUE(IsWindowVisible(progress.Handle()));
  wchar_t caption[64] = {};
  GetWindowTextW(progress.Handle(), caption, 64);
  EXPECT_EQ(std::wstring(caption), L"Scrivora 2 - Printing");
  EXPECT_EQ(ControlText(progress.Handle(), kPageTextControl), L"current");
  progress.SetPage(1);
  EXPECT_EQ(ControlText(progress.Handle(), kPageTextControl), L"1");
  progress.SetPage(2147483647);
  EXPECT_EQ(ControlText(progress.Handle(), kPageTextControl), L"2147483647");
}

TEST_F(ProgressDialog, CancelClearsKeepPrintingAndTheDialogStays) {
  HWND window = nullptr;
  {
    PrintProgressDlg progress(owner_, GetModuleHandleW(nullptr));
    window = progress.Handle();
    ProgressDlgHandle = window;
    EXPECT_EQ(PrintAbortProc(nullptr, 0), TRUE);
    SendDlgItemMessageW(window, IDCANCEL, BM_CLICK, 0, 0);
    EXPECT_FALSE(KeepPrinting);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(PrintAbortProc(nullptr, 0), FALSE);
    EXPECT_EQ(PrintAbortProc(nullptr, 0), FALSE);  // and from then on
  }
  EXPECT_FALSE(IsWindow(window));
  // The next job's dialog starts running again.
  PrintProgressDlg next(owner_, GetModuleHandleW(nullptr));
  ProgressDlgHandle = next.Handle();
  EXPECT_EQ(PrintAbortProc(nullptr, 0), TRUE);
}

TEST_F(ProgressDialog, TheAbortProcedurePumpsTheThreadsMessages) {
  PrintProgressDlg progress(owner_, GetModuleHandleW(nullptr));
  ProgressDlgHandle = progress.Handle();
  appMessages = 0;
  PostMessageW(owner_, WM_APP, 0, 0);
  PostMessageW(owner_, WM_APP, 0, 0);
  EXPECT_EQ(PrintAbortProc(nullptr, 0), TRUE);
  EXPECT_EQ(appMessages, 2);
  MSG left;
  EXPECT_FALSE(PeekMessageW(&left, owner_, WM_APP, WM_APP, PM_NOREMOVE));
}

TEST_F(ProgressDialog, EscapeReachesCancelThroughTheAbortProcedure) {
  PrintProgressDlg progress(owner_, GetModuleHandleW(nullptr));
  ProgressDlgHandle = progress.Handle();
  HWND cancel = GetDlgItem(progress.Handle(), IDCANCEL);
  PostMessageW(cancel, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(PrintAbortProc(nullptr, 0), FALSE);
  EXPECT_FALSE(KeepPrinting);
}

// Refuses every window of this thread while it lives, as a system short of resources would.
class NoNewWindows {
 public:
  NoNewWindows() {
    hook_ = SetWindowsHookExW(
        WH_CBT, [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
          return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
  }
  ~NoNewWindows() { UnhookWindowsHookEx(hook_); }
  NoNewWindows(const NoNewWindows&) = delete;
  NoNewWindows& operator=(const NoNewWindows&) = delete;

 private:
  HHOOK hook_ = nullptr;
};

TEST_F(ProgressDialog, AJobWithoutItPrintsNothingAndSaysSo) {
  HDC printer = CreateCompatibleDC(nullptr);  // any context: the job ends before it prints
  ASSERT_NE(printer, nullptr);
  PrintRangePane pane;
  pane.client = owner_;
  pane.frame = owner_;
  pane.documentName = u"Document";
  pane.instance = GetModuleHandleW(nullptr);
  PrintJobResult result;
  {
    NoNewWindows refusal;
    result = PrintRange(pane, printer, false, 1, kLastPossiblePage);
  }
  EXPECT_EQ(result, PrintJobResult::NoProgressWindow);
  EXPECT_TRUE(IsWindowEnabled(owner_));
  DeleteDC(printer);
}

}  // namespace
}  // namespace scrivora
