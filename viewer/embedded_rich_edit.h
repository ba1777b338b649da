// A read-only rich-text pane showing one stream of the container. When its window exists it
// maps the program file read-only and streams its part through the decoder into the control.
// It offers copying only when the document permits it, and find and find-next through the
// system's Find dialog. The control operations the viewer's logic needs are its PaneControl.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <cstdint>
#include <optional>
#include <string>

#include "viewer/core/note_tracking.h"
#include "viewer/core/pane_control.h"
#include "viewer/framework/window.h"

namespace scrivora {

class TScrivora2Client;

// The rich-edit class in use: RICHEDIT50W of MSFTEDIT, else RichEdit20W, else RICHED32's.
const wchar_t* RichEditClassName();

class EmbeddedRichEdit : public Window, public PaneControl {
 public:
  EmbeddedRichEdit(TScrivora2Client& client, int id, const std::wstring& imagePath,
                   std::int64_t streamOffset);
  ~EmbeddedRichEdit() override;

  // Creates the control as a child of the client, at its place there; the load runs in its
  // set-up, so it lays the text out once, at the pane's own width.
  bool Create(HWND parent, const RECT& place);
  // Instead of a stream: the pane shows this text (a file that holds no document).
  void ShowPlainTextInstead(std::wstring text) { plainText_ = std::move(text); }

  int Id() const { return id_; }
  TScrivora2Client& Client() const { return client_; }
  bool CopyPermitted() const;
  // The search text of the last find, empty before any; whether this pane's Find dialog is open.
  HWND FindDialog() const { return findDialog_; }

  // Note tracking: the first visible line when the check last ran (0 from the start).
  std::int32_t LastTopLine() const { return topLine_.LastTopLine(); }
  // When the top line has moved since the last check, has the client bring the matching note
  // marker of the other pane to that pane's top line.
  void CheckTopLine();
  // The mouse wheel: the check runs before the control scrolls for this step.
  bool PreProcessMsg(MSG& msg) override;

  // PaneControl, over the rich-edit control.
  std::int32_t FirstVisibleLine() const override;
  std::int32_t LineIndex(std::int32_t line) const override;
  std::int32_t LineFromChar(std::int32_t index) const override;
  void ScrollLines(std::int32_t lines) override;
  std::int32_t FindString(std::u16string_view text, std::int32_t start, bool matchCase,
                          bool wholeWord) const override;
  std::u16string TextRange(std::int32_t from, std::int32_t to) const override;
  CharRange Selection() const override;
  void SetSelection(CharRange range) override;
  std::int32_t TextLength() const override;

  // Command handlers and enablers of the Edit and Search menus.
  void CmEditCopy();
  void CeEditCopy(CommandEnabler& enabler);
  void CmEditCut();
  void CmEditPaste();
  void CmEditClear();
  void CmEditUndo();
  void CmEditFind();
  void CeEditFind(CommandEnabler& enabler);
  void CmEditFindNext();
  void CeEditFindNext(CommandEnabler& enabler);

  // Scroll bar actions and navigation keys: the control acts first, then the check runs.
  LRESULT EvVScroll(WPARAM wParam, LPARAM lParam);
  LRESULT EvKeyDown(WPARAM wParam, LPARAM lParam);
  LRESULT EvDestroy(WPARAM wParam, LPARAM lParam);
  // Closes the Find dialog if it is still there and takes it off the application's list.
  void ForgetFindDialog();

  const ResponseTable& Responses() const override;

 protected:
  void SetupWindow() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Load();
  // Copy keys, copy messages and the like that the control would act on by itself.
  bool IsCopyingMessage(UINT message, WPARAM wParam) const;
  // Messages that would change the text.
  static bool IsEditingMessage(UINT message);
  void OnFindMessage(const FINDREPLACEW& data);
  void Search();

  TScrivora2Client& client_;
  int id_;
  const std::wstring& imagePath_;
  std::int64_t streamOffset_;
  std::optional<std::wstring> plainText_;
  TopLineCheck topLine_;

  static constexpr int kSearchLength = 80;
  wchar_t searchText_[kSearchLength] = {};
  FINDREPLACEW findData_{};
  DWORD searchFlags_ = FR_DOWN;
  HWND findDialog_ = nullptr;
};

}  // namespace scrivora
