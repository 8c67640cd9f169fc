// The window magic actions play in: a top-level pop-up owned by the table control that hosts
// the movie player windowless and copies each frame it paints into a layered window with its
// per-pixel alpha (or, without layered windows, into a window region built from the alpha), so
// that only the movie's shapes cover the table.
//
// COleContainerWnd is the windowless OLE container over the hosted control's interface;
// CFlashWnd adds the movie player's set-up and the sink of its events.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "memory_bitmap.h"
#include "records/magic_records.h"
#include "shockwave_flash.h"
#include "winkit/com_ptr.h"
#include "winkit/handle.h"

namespace table_gdi {

template <class TObj>
class COleContainerWnd : public IOleClientSite, public IOleInPlaceSiteWindowless {
 public:
  COleContainerWnd();
  virtual ~COleContainerWnd();
  COleContainerWnd(const COleContainerWnd&) = delete;
  COleContainerWnd& operator=(const COleContainerWnd&) = delete;

  // Makes the window and the hosted control; true when the control is active in it. The window
  // may exist while the control does not (not registered, refused): check Window().
  virtual bool Create(const CLSID& clsid, DWORD exStyle, DWORD style, HWND parent,
                      HINSTANCE module);
  // Copies what the control paints onto the layered window (or through the region).
  virtual void Draw();
  // The window region of the pixels whose alpha is 5 or more (one row-high rectangle per run).
  virtual winkit::UniqueRegion Alpha2Region(const uint8_t* bgra, int width, int height);
  // The draw of a window that is not layered: content on white and on black, the alpha between
  // them, the region, the black picture copied onto the window.
  virtual void DrawThroughRegion(HDC target);
  // Plays the item's movie with the text (null = none).
  virtual void ShowContent(const CActionItem* item, const char* text);
  virtual void OnControlNotRegistered() {}
  virtual bool OnBeforeShowingContent() = 0;
  virtual void LoadAndShowContent() = 0;
  virtual void OnAfterShowingContent_WithoutLoad() = 0;
  // True when the control's content is drawn on white and on black and the alpha taken from
  // the two pictures; false when it draws its own alpha in the transparent aspect.
  virtual bool FixTransparency() const { return false; }

  HWND Window() const { return m_hWnd; }
  TObj* Control() const { return m_pControl.Get(); }
  bool Shown() const { return m_bShown; }
  bool Transparent() const { return m_bTransparent; }
  const std::string& CurrentMovie() const { return m_strMovie; }
  const std::string& CurrentText() const { return m_strText; }
  // Hides the window and clears the shown flag (the action's time is over).
  void Hide();

  // IUnknown: the object belongs to its owner, not to its reference count.
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  // IOleClientSite
  STDMETHODIMP SaveObject() override { return S_OK; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override;
  STDMETHODIMP GetContainer(IOleContainer** out) override;
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
  // IOleWindow, IOleInPlaceSite, IOleInPlaceSiteEx
  STDMETHODIMP GetWindow(HWND* out) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                LPRECT pos, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
  STDMETHODIMP Scroll(SIZE) override { return S_OK; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }
  STDMETHODIMP OnInPlaceActivateEx(BOOL* noRedraw, DWORD) override;
  STDMETHODIMP OnInPlaceDeactivateEx(BOOL) override { return S_OK; }
  STDMETHODIMP RequestUIActivate() override { return S_OK; }
  // IOleInPlaceSiteWindowless
  STDMETHODIMP CanWindowlessActivate() override { return m_bTransparent ? S_OK : S_FALSE; }
  STDMETHODIMP GetCapture() override { return S_FALSE; }
  STDMETHODIMP SetCapture(BOOL) override { return S_OK; }
  STDMETHODIMP GetFocus() override { return S_OK; }
  STDMETHODIMP SetFocus(BOOL) override { return S_OK; }
  // The window's DC lent to the control, which gives it back through ReleaseDC: the control
  // holds it in between, so the site keeps no owner of its own.
  STDMETHODIMP GetDC(LPCRECT, DWORD, HDC* out) override;
  STDMETHODIMP ReleaseDC(HDC dc) override;
  STDMETHODIMP InvalidateRect(LPCRECT, BOOL) override;
  STDMETHODIMP InvalidateRgn(HRGN, BOOL) override;
  STDMETHODIMP ScrollRect(INT, INT, LPCRECT, LPCRECT) override { return S_OK; }
  STDMETHODIMP AdjustRect(LPRECT) override { return S_OK; }
  STDMETHODIMP OnDefWindowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

 protected:
  // The back buffers for a window of this size (remade only when the size changes).
  bool EnsureBuffers(int width, int height);
  // Draws the control's content into a buffer through IViewObject::Draw.
  void DrawContent(HDC dc, int width, int height);
  // After the content was drawn on both backgrounds: the alpha into the black buffer.
  void DeriveBufferAlpha();
  void ReleaseBuffers();
  // Hands the region to the window (cuts it to the region).
  void SetRegion(winkit::UniqueRegion region);
  void ReleaseControl();
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                               BLENDFUNCTION*, DWORD);

  CLSID m_clsid{};
  HWND m_hWnd = nullptr;
  HWND m_hParent = nullptr;
  HINSTANCE m_hInstance = nullptr;
  winkit::ComPtr<IOleObject> m_pOleObject;
  winkit::ComPtr<TObj> m_pControl;
  winkit::ComPtr<IViewObjectEx> m_pViewObjectEx;
  winkit::ComPtr<IViewObject> m_pViewObject;
  winkit::ComPtr<IOleInPlaceObjectWindowless> m_pWindowless;
  winkit::ComPtr<IOleInPlaceObject> m_pInPlace;
  winkit::ComPtr<IStorage> m_pStorage;
  bool m_bTransparent = false;
  bool m_bChild = false;
  winkit::ComPtr<IConnectionPoint> m_pEvents;
  DWORD m_dwCookie = 0;
  // Black and white back buffers (32-bit top-down DIB sections).
  std::unique_ptr<MemoryBitmap> m_Black, m_White;
  uint8_t* m_pBitsBlack = nullptr;
  uint8_t* m_pBitsWhite = nullptr;
  SIZE m_BufferSize{};
  int m_nBitsPixel = 0;
  UpdateLayeredWindowFn m_pUpdateLayeredWindow = nullptr;
  bool m_bShown = false;
  bool m_bDrawing = false;
  std::string m_strMovie, m_strText;
};

class CFlashWnd : public COleContainerWnd<IShockwaveFlash>, public IDispatch {
 public:
  CFlashWnd();
  ~CFlashWnd() override;

  // The window for a table control: class id of the movie player, layered when the system has
  // layered windows. Null window afterwards: the caller reports the failure.
  static std::unique_ptr<CFlashWnd> Make(HWND tableWindow, HINSTANCE module);

  bool OnBeforeShowingContent() override;
  void LoadAndShowContent() override;
  void OnAfterShowingContent_WithoutLoad() override;
  void OnControlNotRegistered() override {}
  bool FixTransparency() const override { return m_bFixTransparency; }

  // IUnknown (shared with the site), IDispatch: the player's events, all accepted and ignored.
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetTypeInfoCount(UINT* n) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    return S_OK;
  }

 private:
  void Check(HRESULT hr, const char* what);
  void PlayCurrent();
  bool m_bFixTransparency = false;
  long m_nFlashVersion = 0;
};

}  // namespace table_gdi
