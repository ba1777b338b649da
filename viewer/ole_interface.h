// The host of objects embedded in a pane's RTF (pictures among them): each object gets a
// temporary storage that vanishes with it. Installed with EM_SETOLECALLBACK; the control holds
// the references and the object deletes itself with the last one.
#pragma once

#include <windows.h>
#include <richole.h>

namespace scrivora {

class OleInterface final : public IRichEditOleCallback {
 public:
  // With copying not permitted, text cannot be dragged out of the pane either.
  explicit OleInterface(bool copyPermitted) : copyPermitted_(copyPermitted) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE GetNewStorage(LPSTORAGE* storage) override;
  HRESULT STDMETHODCALLTYPE GetInPlaceContext(LPOLEINPLACEFRAME*, LPOLEINPLACEUIWINDOW*,
                                              LPOLEINPLACEFRAMEINFO) override;
  HRESULT STDMETHODCALLTYPE ShowContainerUI(BOOL) override;
  HRESULT STDMETHODCALLTYPE QueryInsertObject(LPCLSID, LPSTORAGE, LONG) override;
  HRESULT STDMETHODCALLTYPE DeleteObject(LPOLEOBJECT) override;
  HRESULT STDMETHODCALLTYPE QueryAcceptData(LPDATAOBJECT, CLIPFORMAT*, DWORD, BOOL,
                                            HGLOBAL) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override;
  HRESULT STDMETHODCALLTYPE GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT*) override;
  HRESULT STDMETHODCALLTYPE GetDragDropEffect(BOOL drag, DWORD keyState, LPDWORD effect) override;
  HRESULT STDMETHODCALLTYPE GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU*) override;

 private:
  ~OleInterface() = default;

  ULONG references_ = 0;
  bool copyPermitted_;
};

}  // namespace scrivora
