#include "viewer/embedded_rich_edit.h"

#include <richedit.h>

#include <algorithm>

#include "container/stream_codec.h"
#include "container/trailer.h"
#include "viewer/framework/application.h"
#include "common/unique_handle.h"
#include "viewer/program_file.h"
#include "viewer/ole_interface.h"
#include "viewer/scrivora_app.h"
#include "viewer/resources/command_ids.h"
#include "viewer/scrivora_client.h"

namespace scrivora {

namespace {

struct RichEditLibrary {
  UniqueLibrary module;
  const wchar_t* className = L"RICHEDIT";
  RichEditLibrary() {
    struct Candidate {
      const wchar_t* dll;
      const wchar_t* className;
    };
    static constexpr Candidate candidates[] = {
        {L"msftedit.dll", L"RICHEDIT50W"},
        {L"riched20.dll", L"RichEdit20W"},
        {L"riched32.dll", L"RICHEDIT"},
    };
    for (const Candidate& candidate : candidates) {
      module.reset(::LoadLibraryW(candidate.dll));
      if (module) {
        className = candidate.className;
        return;
      }
    }
  }
};

DWORD CALLBACK StreamInThunk(DWORD_PTR cookie, LPBYTE buffer, LONG capacity, LONG* count) {
  std::int32_t delivered = 0;
  const DWORD status =
      StreamInCallback(*reinterpret_cast<StreamCursor*>(cookie), buffer, capacity, delivered);
  *count = delivered;
  return status;
}

UINT FindMessageId() {
  static const UINT id = ::RegisterWindowMessageW(FINDMSGSTRING);
  return id;
}

bool KeyDown(int key) { return ::GetKeyState(key) < 0; }

}  // namespace

const wchar_t* RichEditClassName() {
  static RichEditLibrary library;  // loaded once, freed at exit
  return library.className;
}

EmbeddedRichEdit::EmbeddedRichEdit(TScrivora2Client& client, int id, const std::wstring& imagePath,
                                   std::int64_t streamOffset)
    : client_(client), id_(id), imagePath_(imagePath), streamOffset_(streamOffset) {}

EmbeddedRichEdit::~EmbeddedRichEdit() { ForgetFindDialog(); }

void EmbeddedRichEdit::ForgetFindDialog() {
  if (!findDialog_) return;
  if (Application* app = Application::Current()) app->RemoveModeless(findDialog_);
  // The frame owns the dialog: when the frame closes, the dialog goes first, unannounced.
  if (::IsWindow(findDialog_)) ::DestroyWindow(findDialog_);
  findDialog_ = nullptr;
}

LRESULT EmbeddedRichEdit::EvDestroy(WPARAM, LPARAM) {
  ForgetFindDialog();
  return DefaultProcessing();
}

const ResponseTable& EmbeddedRichEdit::Responses() const {
  using P = EmbeddedRichEdit;
  static const CommandEntry commands[] = {
      Cm(CM_EDITCOPY, &P::CmEditCopy),   Cm(CM_EDITCUT, &P::CmEditCut),
      Cm(CM_EDITPASTE, &P::CmEditPaste), Cm(CM_EDITCLEAR, &P::CmEditClear),
      Cm(CM_EDITUNDO, &P::CmEditUndo),   Cm(CM_EDITFIND, &P::CmEditFind),
      Cm(CM_EDITFINDNEXT, &P::CmEditFindNext),
  };
  static const EnablerEntry enablers[] = {
      Ce(CM_EDITCOPY, &P::CeEditCopy),
      Ce(CM_EDITFIND, &P::CeEditFind),
      Ce(CM_EDITFINDNEXT, &P::CeEditFindNext),
  };
  static const MessageEntry messages[] = {
      Ev(WM_VSCROLL, &P::EvVScroll),
      Ev(WM_KEYDOWN, &P::EvKeyDown),
      Ev(WM_DESTROY, &P::EvDestroy),
  };
  static const ResponseTable table{&Window::Responses(), messages, commands, enablers};
  return table;
}

bool EmbeddedRichEdit::Create(HWND parent, const RECT& place) {
  // The scroll bars stay, greyed while there is nothing to scroll: the pane's width never
  // changes when a long document arrives, so the control lays the text out only once.
  return CreateControl(RichEditClassName(), 0,
                       WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL |
                           ES_DISABLENOSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL,
                       parent, id_, place);
}

bool EmbeddedRichEdit::CopyPermitted() const { return (client_.Permissions() & PermitCopy) != 0; }

void EmbeddedRichEdit::SetupWindow() {
  // The control holds the object host from here on and releases it when it is destroyed.
  ::SendMessageW(Handle(), EM_SETOLECALLBACK, 0,
                 reinterpret_cast<LPARAM>(new OleInterface(CopyPermitted())));
  // Lines wrap at the pane's width, whatever the scroll bars.
  ::SendMessageW(Handle(), EM_SETTARGETDEVICE, 0, 0);
  if (plainText_) {
    ::SetWindowTextW(Handle(), plainText_->c_str());
  } else {
    Load();
  }
  ::SendMessageW(Handle(), EM_SETREADONLY, TRUE, 0);
}

void EmbeddedRichEdit::Load() {
  MappedFile image;
  if (!MapWholeFile(imagePath_, image) || image.size() == 0) {
    ::SetWindowTextW(Handle(), L"Error loading data !");
    return;
  }
  const std::uint64_t limit = client_.Document().TextLimit();
  ::SendMessageW(Handle(), EM_EXLIMITTEXT, 0,
                 static_cast<LPARAM>(limit > 0x7FFFFFFF ? 0x7FFFFFFF : limit));
  const std::uint64_t end = std::min(image.size(), client_.Document().ContainerEnd());
  StreamCursor cursor = StreamCursor::At(image.data(), end, streamOffset_);
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&cursor), 0, StreamInThunk};
  ::SendMessageW(Handle(), EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
}

bool EmbeddedRichEdit::IsCopyingMessage(UINT message, WPARAM wParam) const {
  switch (message) {
    case WM_COPY:
    case WM_CUT:
      return true;
    case WM_KEYDOWN: {
      const bool control = KeyDown(VK_CONTROL), shift = KeyDown(VK_SHIFT);
      return (control && (wParam == 'C' || wParam == 'X' || wParam == VK_INSERT)) ||
             (shift && wParam == VK_DELETE);
    }
    case WM_CHAR:
      return wParam == 0x03 || wParam == 0x18;  // Ctrl+C and Ctrl+X as characters
  }
  return false;
}

bool EmbeddedRichEdit::IsEditingMessage(UINT message) {
  // Some rich-edit builds clear, paste or undo even when read-only; the pane's text never changes.
  switch (message) {
    case WM_CLEAR:
    case WM_PASTE:
    case WM_UNDO:
    case EM_UNDO:
    case EM_REDO:
    case WM_CUT:
      return true;
  }
  return false;
}

LRESULT EmbeddedRichEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == FindMessageId() && lParam) {
    OnFindMessage(*reinterpret_cast<const FINDREPLACEW*>(lParam));
    return 0;
  }
  if (!CopyPermitted() && IsCopyingMessage(message, wParam)) return 0;
  if (IsEditingMessage(message)) return 0;
  return Window::WindowProc(message, wParam, lParam);
}

// --- Note tracking -----------------------------------------------------------------------

void EmbeddedRichEdit::CheckTopLine() {
  // A scroll that the tracking itself causes in this pane is no reader's scroll.
  if (client_.SyncRunning()) return;
  if (const std::optional<std::int32_t> start = topLine_.Check(*this))
    client_.SyncToMarker(*this, *start);
}

LRESULT EmbeddedRichEdit::EvVScroll(WPARAM, LPARAM) {
  const LRESULT result = DefaultProcessing();
  CheckTopLine();
  return result;
}

LRESULT EmbeddedRichEdit::EvKeyDown(WPARAM key, LPARAM) {
  const LRESULT result = DefaultProcessing();
  switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_UP:
    case VK_DOWN:
      CheckTopLine();
  }
  return result;
}

bool EmbeddedRichEdit::PreProcessMsg(MSG& msg) {
  const bool done = Window::PreProcessMsg(msg);
  if (msg.message == WM_MOUSEWHEEL) CheckTopLine();
  return done;
}

// --- PaneControl -------------------------------------------------------------------------

std::int32_t EmbeddedRichEdit::FirstVisibleLine() const {
  return static_cast<std::int32_t>(::SendMessageW(Handle(), EM_GETFIRSTVISIBLELINE, 0, 0));
}

std::int32_t EmbeddedRichEdit::LineIndex(std::int32_t line) const {
  return static_cast<std::int32_t>(::SendMessageW(Handle(), EM_LINEINDEX, line, 0));
}

std::int32_t EmbeddedRichEdit::LineFromChar(std::int32_t index) const {
  return static_cast<std::int32_t>(::SendMessageW(Handle(), EM_EXLINEFROMCHAR, 0, index));
}

void EmbeddedRichEdit::ScrollLines(std::int32_t lines) {
  // Some rich-edit builds scroll EM_LINESCROLL by the height of a line in the default font, not
  // by display lines; where the control reports positions, the scroll goes by the lines' own
  // pixel positions instead.
  const auto lineCount = static_cast<std::int32_t>(::SendMessageW(Handle(), EM_GETLINECOUNT, 0, 0));
  const std::int32_t top = FirstVisibleLine();
  const std::int32_t target = std::clamp(top + lines, 0, std::max(lineCount - 1, 0));
  POINT scroll{};
  POINTL from{}, to{};
  if (lines == 0 || target == top ||
      !::SendMessageW(Handle(), EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll))) {
    if (target != top) ::SendMessageW(Handle(), EM_LINESCROLL, 0, lines);
    return;
  }
  ::SendMessageW(Handle(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&from), LineIndex(top));
  ::SendMessageW(Handle(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&to), LineIndex(target));
  scroll.y += to.y - from.y;
  ::SendMessageW(Handle(), EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
}

std::int32_t EmbeddedRichEdit::FindString(std::u16string_view text, std::int32_t start,
                                          bool matchCase, bool wholeWord) const {
  std::wstring needle(text.begin(), text.end());
  FINDTEXTEXW find{};
  find.chrg = {start, -1};
  find.lpstrText = needle.c_str();
  const WPARAM flags = FR_DOWN | (matchCase ? FR_MATCHCASE : 0) | (wholeWord ? FR_WHOLEWORD : 0);
  return static_cast<std::int32_t>(
      ::SendMessageW(Handle(), EM_FINDTEXTEXW, flags, reinterpret_cast<LPARAM>(&find)));
}

std::u16string EmbeddedRichEdit::TextRange(std::int32_t from, std::int32_t to) const {
  if (to <= from) return {};
  // The control writes UTF-16 straight into the result (a whole document for a text snapshot).
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  std::u16string text(static_cast<std::size_t>(to - from) + 1, u'\0');
  TEXTRANGEW range{{from, to}, reinterpret_cast<wchar_t*>(text.data())};
  const auto length = static_cast<std::size_t>(
      ::SendMessageW(Handle(), EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range)));
  text.resize(std::min(length, text.size() - 1));
  return text;
}

CharRange EmbeddedRichEdit::Selection() const {
  CHARRANGE range{};
  ::SendMessageW(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return {range.cpMin, range.cpMax};
}

void EmbeddedRichEdit::SetSelection(CharRange range) {
  CHARRANGE selection{range.min, range.max};
  ::SendMessageW(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
}

std::int32_t EmbeddedRichEdit::TextLength() const {
  GETTEXTLENGTHEX request{GTL_NUMCHARS | GTL_PRECISE, 1200};
  return static_cast<std::int32_t>(
      ::SendMessageW(Handle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request), 0));
}

// --- Edit commands -----------------------------------------------------------------------

void EmbeddedRichEdit::CeEditCopy(CommandEnabler& enabler) {
  const CharRange selection = Selection();
  enabler.Enable(CopyPermitted() && selection.min != selection.max);
}

void EmbeddedRichEdit::CmEditCopy() {
  if (CopyPermitted()) ::SendMessageW(Handle(), WM_COPY, 0, 0);
}

void EmbeddedRichEdit::CmEditCut() { ::SendMessageW(Handle(), WM_CUT, 0, 0); }

void EmbeddedRichEdit::CmEditPaste() { ::SendMessageW(Handle(), WM_PASTE, 0, 0); }

void EmbeddedRichEdit::CmEditClear() {
  // The whole text is selected; the read-only control then deletes nothing.
  ::SendMessageW(Handle(), EM_SETSEL, 0, -1);
  ::SendMessageW(Handle(), WM_CLEAR, 0, 0);
}

void EmbeddedRichEdit::CmEditUndo() { ::SendMessageW(Handle(), EM_UNDO, 0, 0); }

// --- Find and find next ------------------------------------------------------------------

void EmbeddedRichEdit::CeEditFind(CommandEnabler& enabler) { enabler.Enable(!findDialog_); }

void EmbeddedRichEdit::CeEditFindNext(CommandEnabler& enabler) {
  enabler.Enable(searchText_[0] != L'\0');
}

void EmbeddedRichEdit::CmEditFind() {
  if (findDialog_) return;
  findData_ = {};
  findData_.lStructSize = sizeof findData_;
  findData_.hwndOwner = Handle();
  findData_.Flags = searchFlags_ & (FR_DOWN | FR_MATCHCASE | FR_WHOLEWORD);
  findData_.lpstrFindWhat = searchText_;
  findData_.wFindWhatLen = kSearchLength;
  findDialog_ = ::FindTextW(&findData_);
  if (findDialog_)
    if (Application* app = Application::Current()) app->AddModeless(findDialog_);
}

void EmbeddedRichEdit::CmEditFindNext() { Search(); }

void EmbeddedRichEdit::OnFindMessage(const FINDREPLACEW& data) {
  if (data.Flags & FR_DIALOGTERM) {
    if (Application* app = Application::Current()) app->RemoveModeless(findDialog_);
    findDialog_ = nullptr;
    return;
  }
  if (data.Flags & FR_FINDNEXT) {
    searchFlags_ = data.Flags & (FR_DOWN | FR_MATCHCASE | FR_WHOLEWORD);
    Search();
  }
}

void EmbeddedRichEdit::Search() {
  if (searchText_[0] == L'\0') return;
  const CharRange selection = Selection();
  const bool down = (searchFlags_ & FR_DOWN) != 0;
  FINDTEXTEXW find{};
  // Down: from the end of the selection to the end of the text; up: from its start back to 0.
  find.chrg = down ? CHARRANGE{selection.max, -1} : CHARRANGE{selection.min, 0};
  find.lpstrText = searchText_;
  const LRESULT found = ::SendMessageW(Handle(), EM_FINDTEXTEXW, searchFlags_,
                                       reinterpret_cast<LPARAM>(&find));
  if (found >= 0) {
    SetSelection({find.chrgText.cpMin, find.chrgText.cpMax});
    ::SendMessageW(Handle(), EM_SCROLLCARET, 0, 0);
    return;
  }
  std::wstring message = L"Cannot find \"";
  message += searchText_;
  message += L"\".";
  Application* app = Application::Current();
  HWND owner = findDialog_ ? findDialog_ : ::GetAncestor(Handle(), GA_ROOT);
  ::MessageBoxW(owner, message.c_str(), app ? app->Name() : kApplicationName,
                MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
}

}  // namespace scrivora
