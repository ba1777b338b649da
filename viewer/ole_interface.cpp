#include "viewer/ole_interface.h"

namespace scrivora {

HRESULT OleInterface::QueryInterface(REFIID iid, void** object) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IRichEditOleCallback)) {
    *object = static_cast<IRichEditOleCallback*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG OleInterface::AddRef() { return ++references_; }

ULONG OleInterface::Release() {
  const ULONG remaining = --references_;
  if (remaining == 0) delete this;
  return remaining;
}

HRESULT OleInterface::GetNewStorage(LPSTORAGE* storage) {
  return ::StgCreateDocfile(nullptr,
                            STGM_DELETEONRELEASE | STGM_CREATE | STGM_SHARE_EXCLUSIVE |
                                STGM_READWRITE,
                            0, storage);
}

HRESULT OleInterface::GetInPlaceContext(LPOLEINPLACEFRAME*, LPOLEINPLACEUIWINDOW*,
                                        LPOLEINPLACEFRAMEINFO) {
  return E_NOTIMPL;  // objects are shown, never activated in place
}

HRESULT OleInterface::ShowContainerUI(BOOL) { return S_OK; }
HRESULT OleInterface::QueryInsertObject(LPCLSID, LPSTORAGE, LONG) { return S_OK; }
HRESULT OleInterface::DeleteObject(LPOLEOBJECT) { return S_OK; }
HRESULT OleInterface::QueryAcceptData(LPDATAOBJECT, CLIPFORMAT*, DWORD, BOOL, HGLOBAL) {
  return S_OK;
}
HRESULT OleInterface::ContextSensitiveHelp(BOOL) { return S_OK; }

HRESULT OleInterface::GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT*) {
  return E_NOTIMPL;  // the control builds its own clipboard data
}

HRESULT OleInterface::GetDragDropEffect(BOOL, DWORD, LPDWORD effect) {
  if (!copyPermitted_ && effect) *effect = DROPEFFECT_NONE;
  return S_OK;
}

HRESULT OleInterface::GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU*) {
  return E_NOTIMPL;  // no context menu
}

}  // namespace scrivora
