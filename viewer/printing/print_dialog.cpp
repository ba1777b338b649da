#include "viewer/printing/print_dialog.h"

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>
#include <string>

#include "common/unique_handle.h"
#include "viewer/framework/application.h"
#include "viewer/printing/gdi_print_job.h"
#include "viewer/scrivora_app.h"

namespace scrivora {
namespace {

UINT_PTR CALLBACK TitleHook(HWND dialog, UINT message, WPARAM /*wParam*/, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const auto* record = reinterpret_cast<const PRINTDLGW*>(lParam);
    SetWindowTextW(dialog, reinterpret_cast<const wchar_t*>(record->lCustData));
  }
  return 0;  // the dialog's own handling goes on
}

}  // namespace

PrintDialogResult Win32PrintDialog::Run(const PrintDialogSetup& setup) {
  PRINTDLGW record{};
  record.lStructSize = sizeof record;
  record.hwndOwner = owner_;
  record.Flags = setup.flags;
  record.nFromPage = 0xFFFF;  // no page preset: the fields start empty
  record.nToPage = 0xFFFF;
  record.nCopies = 1;
  if (setup.setsPageLimits) {
    // The dialog holds page numbers in 16 bits.
    record.nMinPage = static_cast<WORD>(std::clamp<std::int32_t>(setup.minPage, 0, 0xFFFF));
    record.nMaxPage = static_cast<WORD>(std::clamp<std::int32_t>(setup.maxPage, 0, 0xFFFF));
  }
  const std::wstring title(setup.title.begin(), setup.title.end());
  if (!title.empty()) {
    record.Flags |= PD_ENABLEPRINTHOOK;
    record.lpfnPrintHook = &TitleHook;
    record.lCustData = reinterpret_cast<LPARAM>(title.c_str());
  }
  const BOOL confirmed = PrintDlgW(&record);
  // The reader confirmed, but no context could be made for the chosen printer: the command says so.
  const bool noPrinterContext = !confirmed && CommDlgExtendedError() == PDERR_CREATEICFAILURE;
  // The printer selections that the dialog allocates.
  const UniqueGlobal devMode(record.hDevMode), devNames(record.hDevNames);

  PrintDialogResult result;
  if (record.hDC) result.printer = std::make_unique<GdiPrinterContext>(record.hDC);
  result.confirmed = confirmed != FALSE || noPrinterContext;
  result.range = RangeChoiceFromFlags(record.Flags);
  result.fromPage = record.nFromPage;
  result.toPage = record.nToPage;
  return result;
}

bool MessageBoxQuestion::Ask(std::u16string_view caption, std::u16string_view text) {
  const std::wstring wideCaption(caption.begin(), caption.end());
  const std::wstring wideText(text.begin(), text.end());
  return MessageBoxW(owner_, wideText.c_str(), wideCaption.c_str(), MB_YESNO | MB_ICONQUESTION) ==
         IDYES;
}

void ShowPrintFailure(HWND owner, const PrintCommandResult& result) {
  const std::u16string_view text = PrintFailureText(result);
  if (text.empty()) return;
  const std::wstring wideText(text.begin(), text.end());
  const Application* app = Application::Current();
  MessageBoxW(owner, wideText.c_str(), app ? app->Name() : kApplicationName,
              MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace scrivora
