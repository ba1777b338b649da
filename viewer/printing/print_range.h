// One print job of one pane on a printer context: the progress dialog, the abort procedure, the
// pages, with the main window made inert meanwhile so that the pane outlives the job.
#pragma once

#include <windows.h>

#include <string_view>

#include "viewer/core/pane_control.h"
#include "viewer/core/print_command.h"
#include "viewer/core/print_pages.h"

namespace scrivora {

struct PrintRangePane {
  HWND control = nullptr;                   // the rich-edit control that formats the pages
  const PaneControl* operations = nullptr;  // the same pane's operations (first visible line...)
  HWND client = nullptr;                    // owner of the progress dialog
  HWND frame = nullptr;                     // disabled while the job runs
  std::u16string_view documentName;         // the client's title text
  HINSTANCE instance = nullptr;             // holds dialog template 1
};

// Returns when the job has ended and its progress dialog is gone. If the progress dialog cannot
// be created, nothing is printed and the result says so.
PrintJobResult PrintRange(const PrintRangePane& pane, HDC printer, bool currentPage,
                          std::int32_t firstPage, std::int32_t lastPage);

}  // namespace scrivora
