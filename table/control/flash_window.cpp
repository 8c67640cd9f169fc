#include "flash_window.h"

#include <algorithm>
#include <cstring>

#include "gdi_plus.h"
#include "magic_imaging.h"
#include "winkit/dib.h"
#include "winkit/gbk.h"

namespace table_gdi {

namespace {

constexpr wchar_t kClassName[] = L"MyOleControl";
constexpr wchar_t kWindowName[] = L"MyOleControlWindow";
constexpr size_t kRegionBlock = 3000;  // rectangles per region block
constexpr size_t kMaxText = 1024;      // the words are bounded by the sender; this is a backstop

void ClearRect(RECT* r, HWND hwnd) {
  if (r) GetClientRect(hwnd, r);
}

}  // namespace

// ------------------------------------------------------------------------------------------
// COleContainerWnd

template <class TObj>
COleContainerWnd<TObj>::COleContainerWnd() = default;

template <class TObj>
COleContainerWnd<TObj>::~COleContainerWnd() {
  ReleaseControl();
}

template <class TObj>
void COleContainerWnd<TObj>::ReleaseControl() {
  if (m_pEvents && m_dwCookie) m_pEvents->Unadvise(m_dwCookie);
  m_dwCookie = 0;
  m_pEvents.Reset();
  if (m_pWindowless) m_pWindowless->InPlaceDeactivate();
  else if (m_pInPlace) m_pInPlace->InPlaceDeactivate();
  if (m_pOleObject) {
    m_pOleObject->Close(OLECLOSE_NOSAVE);
    m_pOleObject->SetClientSite(nullptr);
  }
  m_pWindowless.Reset();
  m_pInPlace.Reset();
  m_pViewObject.Reset();
  m_pViewObjectEx.Reset();
  m_pControl.Reset();
  m_pOleObject.Reset();
  m_pStorage.Reset();
  ReleaseBuffers();
  if (m_hWnd && IsWindow(m_hWnd)) {
    SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hWnd);
  }
  m_hWnd = nullptr;
}

template <class TObj>
bool COleContainerWnd<TObj>::Create(const CLSID& clsid, DWORD exStyle, DWORD style, HWND parent,
                                    HINSTANCE module) {
  m_clsid = clsid;
  m_hParent = parent;
  m_hInstance = module;
  m_bTransparent = (exStyle & WS_EX_LAYERED) != 0;
  m_bChild = (style & WS_CHILD) != 0;
  m_pUpdateLayeredWindow = reinterpret_cast<UpdateLayeredWindowFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"USER32.DLL"), "UpdateLayeredWindow")));

  WNDCLASSEXW wc = {};
  if (!GetClassInfoExW(module, kClassName, &wc)) {
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &COleContainerWnd::WindowProc;
    wc.hInstance = module;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);  // one that exists already is used as it is
  }
  RECT r = {};
  if (parent) {
    if (m_bChild) GetClientRect(parent, &r);
    else GetWindowRect(parent, &r);
  }
  m_hWnd = CreateWindowExW(exStyle, kClassName, kWindowName, style, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, parent, nullptr, module, this);
  if (!m_hWnd) return false;

  winkit::ComPtr<ILockBytes> bytes;
  if (SUCCEEDED(CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.Put()))) {
    StgCreateDocfileOnILockBytes(bytes.Get(), STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_READWRITE,
                                 0, m_pStorage.Put());
  }
  const HRESULT hr =
      OleCreate(clsid, IID_IOleObject, OLERENDER_DRAW, nullptr,
                static_cast<IOleClientSite*>(this), m_pStorage.Get(), m_pOleObject.PutVoid());
  if (hr == REGDB_E_CLASSNOTREG) {
    OnControlNotRegistered();
    return false;
  }
  if (FAILED(hr) || !m_pOleObject) return false;
  OleSetContainedObject(m_pOleObject.Get(), TRUE);
  m_pOleObject->QueryInterface(__uuidof(TObj), m_pControl.PutVoid());
  if (SUCCEEDED(m_pOleObject->QueryInterface(IID_IViewObjectEx, m_pViewObjectEx.PutVoid())))
    m_pOleObject->QueryInterface(IID_IViewObject, m_pViewObject.PutVoid());
  else
    m_pOleObject->QueryInterface(IID_IViewObject, m_pViewObject.PutVoid());
  if (m_bTransparent &&
      FAILED(m_pOleObject->QueryInterface(IID_IOleInPlaceObjectWindowless,
                                          m_pWindowless.PutVoid()))) {
    m_bTransparent = false;
  }
  if (!m_bTransparent) m_pOleObject->QueryInterface(IID_IOleInPlaceObject, m_pInPlace.PutVoid());
  if (!m_pControl) return false;

  if (!OnBeforeShowingContent()) return false;
  RECT client;
  GetClientRect(m_hWnd, &client);
  return SUCCEEDED(m_pOleObject->DoVerb(OLEIVERB_SHOW, nullptr,
                                        static_cast<IOleClientSite*>(this), 0, m_hWnd, &client));
}

template <class TObj>
void COleContainerWnd<TObj>::ShowContent(const CActionItem* item, const char* text) {
  if (!item) return;
  const std::string path(item->swf, strnlen(item->swf, sizeof item->swf));
  m_bShown = true;
  m_strText = text ? std::string(text, strnlen(text, kMaxText)) : std::string();
  if (!SameMoviePath(path, m_strMovie)) {
    m_strMovie = path;
    LoadAndShowContent();
  } else {
    OnAfterShowingContent_WithoutLoad();
  }
  // The first frame at once: a movie that does not load replaces the last action's picture
  // with nothing instead of leaving it on the screen.
  Draw();
}

template <class TObj>
void COleContainerWnd<TObj>::Hide() {
  m_bShown = false;
  if (m_hWnd) ShowWindow(m_hWnd, SW_HIDE);
}

template <class TObj>
bool COleContainerWnd<TObj>::EnsureBuffers(int width, int height) {
  if (width <= 0 || height <= 0) return false;
  if (m_Black && m_Black->Dc() && m_BufferSize.cx == width && m_BufferSize.cy == height)
    return true;
  ReleaseBuffers();
  void* black = nullptr;
  void* white = nullptr;
  winkit::UniqueBitmap blackBitmap(winkit::CreateTopDownDib32(width, height, &black));
  winkit::UniqueBitmap whiteBitmap(winkit::CreateTopDownDib32(width, height, &white));
  if (!blackBitmap || !whiteBitmap) return false;
  m_pBitsBlack = static_cast<uint8_t*>(black);
  m_pBitsWhite = static_cast<uint8_t*>(white);
  m_Black = std::make_unique<MemoryBitmap>(nullptr, std::move(blackBitmap));
  m_White = std::make_unique<MemoryBitmap>(nullptr, std::move(whiteBitmap));
  m_BufferSize = {width, height};
  if (m_nBitsPixel == 0) {
    winkit::WindowDc screen(nullptr);
    m_nBitsPixel = GetDeviceCaps(screen.Get(), BITSPIXEL);
  }
  return true;
}

template <class TObj>
void COleContainerWnd<TObj>::ReleaseBuffers() {
  m_Black.reset();
  m_White.reset();
  m_pBitsBlack = m_pBitsWhite = nullptr;
  m_BufferSize = {};
}

template <class TObj>
void COleContainerWnd<TObj>::DrawContent(HDC dc, int width, int height) {
  if (!m_pViewObject) return;
  RECTL bounds = {0, 0, width, height};
  m_pViewObject->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr,
                      nullptr, 0);
  GdiFlush();
}

template <class TObj>
void COleContainerWnd<TObj>::DeriveBufferAlpha() {
  DeriveAlpha(m_pBitsWhite, m_pBitsBlack,
              static_cast<size_t>(m_BufferSize.cx) * static_cast<size_t>(m_BufferSize.cy));
}

template <class TObj>
void COleContainerWnd<TObj>::Draw() {
  if (!m_hWnd || !IsWindowVisible(m_hWnd) || !m_bShown || m_bDrawing || !m_pViewObject) return;
  m_bDrawing = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{m_bDrawing};
  if (!m_bTransparent) {
    winkit::WindowDc dc(m_hWnd);
    DrawThroughRegion(dc.Get());
    return;
  }
  RECT wr;
  GetWindowRect(m_hWnd, &wr);
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  if (!EnsureBuffers(w, h)) return;
  const size_t bytes = static_cast<size_t>(w) * static_cast<size_t>(h) * 4;
  if (m_nBitsPixel != 32) {
    // Another display depth: the movie drawn opaque on white and on black, through the region.
    winkit::WindowDc dc(m_hWnd);
    DrawThroughRegion(dc.Get());
    return;
  }
  const bool fix = FixTransparency();
  std::memset(m_pBitsBlack, 0, bytes);
  if (fix) {
    std::memset(m_pBitsWhite, 0xFF, bytes);
    DrawContent(m_White->Dc(), w, h);
    DrawContent(m_Black->Dc(), w, h);
    DeriveBufferAlpha();
  } else {
    RECT r = {0, 0, w, h};
    OleDraw(m_pViewObject.Get(), DVASPECT_TRANSPARENT, m_Black->Dc(), &r);
    GdiFlush();
  }
  if (m_pUpdateLayeredWindow) {
    POINT position = {wr.left, wr.top};
    SIZE size = {w, h};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    m_pUpdateLayeredWindow(m_hWnd, nullptr, &position, &size, m_Black->Dc(), &source, 0, &blend,
                           ULW_ALPHA);
    return;
  }
  SetRegion(Alpha2Region(m_pBitsBlack, w, h));
  winkit::WindowDc dc(m_hWnd);
  BitBlt(dc.Get(), 0, 0, w, h, m_Black->Dc(), 0, 0, SRCCOPY);
}

template <class TObj>
void COleContainerWnd<TObj>::DrawThroughRegion(HDC target) {
  if (!m_bShown || !m_pViewObject || !m_pControl) return;
  RECT cr;
  GetClientRect(m_hWnd, &cr);
  const int w = cr.right - cr.left, h = cr.bottom - cr.top;
  if (!EnsureBuffers(w, h)) return;
  if (m_bTransparent) m_pControl->put_WMode(winkit::Bstr(L"Opaque").Get());
  m_pControl->put_BGColor(winkit::Bstr(L"FFFFFFFF").Get());
  DrawContent(m_White->Dc(), w, h);
  m_pControl->put_BGColor(winkit::Bstr(L"00000000").Get());
  DrawContent(m_Black->Dc(), w, h);
  DeriveBufferAlpha();
  SetRegion(Alpha2Region(m_pBitsBlack, w, h));
  if (target) BitBlt(target, 0, 0, w, h, m_Black->Dc(), 0, 0, SRCCOPY);
}

template <class TObj>
void COleContainerWnd<TObj>::SetRegion(winkit::UniqueRegion region) {
  // The window owns a region it took; one it refused is still ours.
  if (region && SetWindowRgn(m_hWnd, region.Get(), TRUE)) region.Release();
}

template <class TObj>
winkit::UniqueRegion COleContainerWnd<TObj>::Alpha2Region(const uint8_t* bgra, int width,
                                                          int height) {
  if (!bgra || width <= 0 || height <= 0) return {};
  const std::vector<AlphaRun> runs = AlphaRuns(bgra, width, height);
  winkit::UniqueRegion result(CreateRectRgn(0, 0, 0, 0));
  if (runs.empty()) {
    // A movie that has drawn itself away ends.
    if (m_pControl) m_pControl->Stop();
    return result;
  }
  // Regions are made in blocks so that one region-data block stays small.
  std::vector<uint8_t> data;
  for (size_t first = 0; first < runs.size(); first += kRegionBlock) {
    const size_t count = std::min(kRegionBlock, runs.size() - first);
    data.assign(sizeof(RGNDATAHEADER) + count * sizeof(RECT), 0);
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(count);
    header->nRgnSize = static_cast<DWORD>(count * sizeof(RECT));
    RECT bounds = {0x7FFFFFFF, 0x7FFFFFFF, 0, 0};
    auto* rects = reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER));
    for (size_t i = 0; i < count; ++i) {
      const AlphaRun& run = runs[first + i];
      rects[i] = {run.left, run.top, run.right, run.bottom};
      bounds.left = std::min<LONG>(bounds.left, run.left);
      bounds.top = std::min<LONG>(bounds.top, run.top);
      bounds.right = std::max<LONG>(bounds.right, run.right);
      bounds.bottom = std::max<LONG>(bounds.bottom, run.bottom);
    }
    header->rcBound = bounds;
    winkit::UniqueRegion block(ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                                               reinterpret_cast<const RGNDATA*>(data.data())));
    if (block) CombineRgn(result.Get(), result.Get(), block.Get(), RGN_OR);
  }
  return result;
}

template <class TObj>
LRESULT CALLBACK COleContainerWnd<TObj>::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  COleContainerWnd* self;
  if (msg == WM_NCCREATE) {
    self = static_cast<COleContainerWnd*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    if (self) self->m_hWnd = hwnd;
  } else {
    self = reinterpret_cast<COleContainerWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  try {
    return self->HandleMessage(msg, wp, lp);
  } catch (...) {
    OutputDebugStringA("MyOleControl: a window message failed\n");
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

template <class TObj>
LRESULT COleContainerWnd<TObj>::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT:
      if (!m_bTransparent) {
        winkit::PaintDc dc(m_hWnd);
        if (m_bShown && !m_bDrawing) {
          m_bDrawing = true;
          DrawThroughRegion(dc.Get());
          m_bDrawing = false;
        }
        return 0;
      }
      break;
    case WM_NCHITTEST:
      if (m_pControl && m_pViewObjectEx) {
        RECT wr;
        GetWindowRect(m_hWnd, &wr);
        const POINT pt = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        DWORD hit = HITRESULT_OUTSIDE;
        m_pViewObjectEx->QueryHitPoint(DVASPECT_CONTENT, &wr, pt, 1, &hit);
        return hit == HITRESULT_HIT ? HTCLIENT : HTTRANSPARENT;
      }
      break;
    case WM_SIZE:
      if (m_pWindowless || m_pInPlace) {
        RECT client;
        GetClientRect(m_hWnd, &client);
        if (m_pWindowless) m_pWindowless->SetObjectRects(&client, &client);
        else m_pInPlace->SetObjectRects(&client, &client);
      }
      break;
    default:
      if (((msg >= WM_MOUSEMOVE && msg <= WM_MOUSEWHEEL) || msg == WM_KEYDOWN || msg == WM_KEYUP ||
           msg == WM_CHAR || msg == WM_SETCURSOR) &&
          m_bTransparent && m_pWindowless) {
        LRESULT result = 0;
        if (m_pWindowless->OnWindowMessage(msg, wp, lp, &result) == S_OK) return result;
      }
      break;
  }
  return DefWindowProcW(m_hWnd, msg, wp, lp);
}

// ---- the site the control sees ----

template <class TObj>
STDMETHODIMP COleContainerWnd<TObj>::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IOleClientSite)
    *out = static_cast<IOleClientSite*>(this);
  else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite || iid == IID_IOleInPlaceSiteEx ||
           iid == IID_IOleInPlaceSiteWindowless)
    *out = static_cast<IOleInPlaceSiteWindowless*>(this);
  else
    return E_NOINTERFACE;
  return S_OK;
}

template <class TObj>
STDMETHODIMP COleContainerWnd<TObj>::GetMoniker(DWORD, DWORD, IMoniker** out) {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

template <class TObj>
STDMETHODIMP COleContainerWnd<TObj>::GetContainer(IOleContainer** out) {
  if (out) *out = nullptr;
  return E_NOINTERFACE;
}

template <class TObj>
STDMETHODIMP COleContainerWnd<TObj>::GetWindow(HWND* out) {
  if (!out) return E_POINTER;
  *out = m_hWnd;
  return m_hWnd ? S_OK : E_FAIL;
}

template <class TObj>
STDMETHODIMP COleContainerWnd<TObj>::GetWindowContext(IOleInPlaceFrame** frame,
                                                      IOleInPlaceUIWindow** doc, LPRECT pos,
                                                      LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
  if (frame) *frame = nullptr;
  if (doc) *doc = nullptr;
  ClearRect(pos, m_hWnd);
  ClearRect(clip, m_hWnd);
  if (info) {
    info->fMDIApp = FALSE;
    info->hwndFrame = m_hWnd;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
  }
  return S_OK;
}

template <class TObj>
STDMETHODIMP COleContainerWnd<TObj>::OnInPlaceActivateEx(BOOL* noRedraw, DWORD) {
  if (noRedraw) *noRedraw = FALSE;
  return S_OK;
}

template <class TObj>
STDMETHODIMP COleContainerWnd<TObj>::GetDC(LPCRECT, DWORD, HDC* out) {
  if (!out) return E_POINTER;
  *out = ::GetDC(m_hWnd);
  return *out ? S_OK : E_FAIL;
}

template <class TObj>
STDMETHODIMP COleContainerWnd<TObj>::ReleaseDC(HDC dc) {
  ::ReleaseDC(m_hWnd, dc);
  return S_OK;
}

template <class TObj>
STDMETHODIMP COleContainerWnd<TObj>::InvalidateRect(LPCRECT, BOOL) {
  Draw();
  return S_OK;
}

template <class TObj>
STDMETHODIMP COleContainerWnd<TObj>::InvalidateRgn(HRGN, BOOL) {
  return S_OK;
}

template <class TObj>
STDMETHODIMP COleContainerWnd<TObj>::OnDefWindowMessage(UINT msg, WPARAM wp, LPARAM lp,
                                                        LRESULT* result) {
  if (!result) return E_POINTER;
  *result = DefWindowProcW(m_hWnd, msg, wp, lp);
  return S_OK;
}

template class COleContainerWnd<IShockwaveFlash>;

// ------------------------------------------------------------------------------------------
// CFlashWnd

CFlashWnd::CFlashWnd() = default;

CFlashWnd::~CFlashWnd() { ReleaseControl(); }

std::unique_ptr<CFlashWnd> CFlashWnd::Make(HWND tableWindow, HINSTANCE module) {
  auto wnd = std::make_unique<CFlashWnd>();
  const bool layered =
      GetProcAddress(GetModuleHandleW(L"USER32.DLL"), "UpdateLayeredWindow") != nullptr;
  wnd->Create(CLSID_ShockwaveFlash, layered ? WS_EX_LAYERED : 0,
              WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS, tableWindow, module);
  return wnd;
}

void CFlashWnd::Check(HRESULT hr, const char* what) {
  if (FAILED(hr)) throw winkit::ComError(hr, what);
}

bool CFlashWnd::OnBeforeShowingContent() {
  IShockwaveFlash* flash = Control();
  Check(flash->get_FlashVersion(&m_nFlashVersion), "IShockwaveFlash::FlashVersion");
  m_bFixTransparency = ((m_nFlashVersion >> 16) & 0xFF) == 8;
  winkit::ComPtr<IConnectionPointContainer> points;
  if (FAILED(flash->QueryInterface(IID_IConnectionPointContainer, points.PutVoid()))) return false;
  if (FAILED(points->FindConnectionPoint(IID__IShockwaveFlashEvents, m_pEvents.Put())))
    return false;
  if (FAILED(m_pEvents->Advise(static_cast<IDispatch*>(this), &m_dwCookie))) {
    m_pEvents.Reset();
    return false;
  }
  Check(flash->put_WMode(winkit::Bstr(m_bTransparent ? L"transparent" : L"Opaque").Get()),
        "IShockwaveFlash::WMode");
  Check(flash->put_Scale(winkit::Bstr(L"showAll").Get()), "IShockwaveFlash::Scale");
  Check(flash->put_BackgroundColor(0), "IShockwaveFlash::BackgroundColor");
  Check(flash->put_EmbedMovie(VARIANT_FALSE), "IShockwaveFlash::EmbedMovie");
  return true;
}

void CFlashWnd::PlayCurrent() {
  IShockwaveFlash* flash = Control();
  if (!m_strText.empty()) {
    Check(flash->SetVariable(winkit::Bstr(L"tipword.text").Get(),
                             winkit::Bstr(winkit::GbkToWide(m_strText).c_str()).Get()),
          "IShockwaveFlash::SetVariable");
  }
  Check(flash->Play(), "IShockwaveFlash::Play");
}

void CFlashWnd::LoadAndShowContent() {
  IShockwaveFlash* flash = Control();
  if (!flash) return;
  Check(flash->put_EmbedMovie(VARIANT_TRUE), "IShockwaveFlash::EmbedMovie");
  Check(flash->put_Movie(winkit::Bstr(winkit::GbkToWide(m_strMovie).c_str()).Get()),
        "IShockwaveFlash::Movie");
  PlayCurrent();
}

void CFlashWnd::OnAfterShowingContent_WithoutLoad() {
  IShockwaveFlash* flash = Control();
  if (!flash) return;
  Check(flash->put_EmbedMovie(VARIANT_TRUE), "IShockwaveFlash::EmbedMovie");
  // A blank movie first, so that the same movie starts again from its beginning.
  Check(flash->put_Movie(winkit::Bstr(L" ").Get()), "IShockwaveFlash::Movie");
  Check(flash->put_Movie(winkit::Bstr(winkit::GbkToWide(m_strMovie).c_str()).Get()),
        "IShockwaveFlash::Movie");
  PlayCurrent();
}

STDMETHODIMP CFlashWnd::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (iid == IID_IDispatch || iid == IID__IShockwaveFlashEvents) {
    *out = static_cast<IDispatch*>(this);
    return S_OK;
  }
  return COleContainerWnd<IShockwaveFlash>::QueryInterface(iid, out);
}

STDMETHODIMP CFlashWnd::GetTypeInfoCount(UINT* n) {
  if (!n) return E_POINTER;
  *n = 0;
  return S_OK;
}

}  // namespace table_gdi
