// The platform's modal print dialog and the footnote question, behind the print commands'
// interfaces.
#pragma once

#include <windows.h>

#include "viewer/core/print_command.h"

namespace scrivora {

// Runs the common print dialog owned by `owner`, from a fresh record each time; the title, when
// given, replaces the dialog's own.
class Win32PrintDialog : public PrintDialog {
 public:
  explicit Win32PrintDialog(HWND owner) : owner_(owner) {}
  PrintDialogResult Run(const PrintDialogSetup& setup) override;

 private:
  HWND owner_;
};

// Tells the reader, in a message box owned by `owner`, why a print command printed less than
// was asked; shows nothing when the command has nothing to tell.
void ShowPrintFailure(HWND owner, const PrintCommandResult& result);

class MessageBoxQuestion : public YesNoQuestion {
 public:
  explicit MessageBoxQuestion(HWND owner) : owner_(owner) {}
  bool Ask(std::u16string_view caption, std::u16string_view text) override;

 private:
  HWND owner_;
};

}  // namespace scrivora
