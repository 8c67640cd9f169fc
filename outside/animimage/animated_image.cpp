// The animated picture object: an OLE object without a window of its own. A rich-text box holds
// it in place and draws it through IViewObject::Draw (or asks it for a bitmap through
// IDataObject); its host calls verb 1234 every 50 ms while the picture is in view, and the
// object counts those calls against the picture's own frame delays.
//
// Pictures are decoded once, at load, into premultiplied 32-bit frames (GIF frames composed as
// the format says, PNG as one frame). Pictures larger than kMaxSide on a side, with more than
// kMaxFrames frames or bigger than kMaxFileBytes are refused, as is anything that does not decode.
#include <windows.h>
#include <gdiplus.h>
#include <ole2.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "animated_image.h"
#include "winkit/com_object.h"
#include "winkit/com_ptr.h"
#include "winkit/inproc_server.h"
#include "winkit/dib.h"
#include "winkit/memory_stream.h"

namespace {

constexpr LONG kAdvanceVerb = 1234;
constexpr int kVerbPeriodMs = 50;
constexpr UINT kMaxSide = 512;
constexpr UINT kMaxFrames = 256;
constexpr SIZE_T kMaxFileBytes = 4 * 1024 * 1024;
constexpr int kMinDelayMs = 50;
constexpr int kDefaultDelayMs = 100;
// {6AEDBD6D-3FB5-418A-83A6-7F45229DC872}: the time dimension of a multi-frame picture.
const GUID kFrameDimensionTime = {0x6aedbd6d, 0x3fb5, 0x418a,
                                  {0x83, 0xa6, 0x7f, 0x45, 0x22, 0x9d, 0xc8, 0x72}};
constexpr PROPID kPropertyFrameDelay = 0x5100;

struct Frame {
  HBITMAP bitmap = nullptr;  // 32-bit premultiplied, top-down
  int delayMs = kDefaultDelayMs;
};

class GdiplusSession {
 public:
  GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
  }
  ~GdiplusSession() {
    if (ok_) Gdiplus::GdiplusShutdown(token_);
  }
  bool ok() const { return ok_; }

 private:
  ULONG_PTR token_ = 0;
  bool ok_ = false;
};

// Decodes a picture file; false when it does not decode or is too large.
bool Decode(const BYTE* data, SIZE_T size, std::vector<Frame>& frames, UINT& width, UINT& height) {
  winkit::ComPtr<IStream> stream = winkit::StreamOnCopy(data, size);
  if (!stream) return false;
  GdiplusSession gdiplus;
  if (!gdiplus.ok()) return false;
  std::unique_ptr<Gdiplus::Bitmap> picture(Gdiplus::Bitmap::FromStream(stream.Get()));
  if (!picture || picture->GetLastStatus() != Gdiplus::Ok) return false;
  width = picture->GetWidth();
  height = picture->GetHeight();
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return false;
  UINT count = picture->GetFrameCount(&kFrameDimensionTime);
  const bool animated = count > 0;
  if (!animated) count = 1;
  if (count > kMaxFrames) return false;

  std::vector<LONG> delays;
  if (animated) {
    const UINT bytes = picture->GetPropertyItemSize(kPropertyFrameDelay);
    if (bytes >= sizeof(Gdiplus::PropertyItem)) {
      std::vector<BYTE> buffer(bytes);
      auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
      if (picture->GetPropertyItem(kPropertyFrameDelay, bytes, item) == Gdiplus::Ok && item->value)
        delays.assign(static_cast<LONG*>(item->value),
                      static_cast<LONG*>(item->value) +
                          std::min<UINT>(item->length / sizeof(LONG), count));
    }
  }
  for (UINT i = 0; i < count; ++i) {
    if (animated && picture->SelectActiveFrame(&kFrameDimensionTime, i) != Gdiplus::Ok) return false;
    Gdiplus::BitmapData locked{};
    Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    if (picture->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &locked) !=
        Gdiplus::Ok)
      return false;
    void* bits = nullptr;
    Frame frame;
    frame.bitmap =
        winkit::CreateTopDownDib32(static_cast<int>(width), static_cast<int>(height), &bits);
    if (frame.bitmap) {
      for (UINT y = 0; y < height; ++y)
        memcpy(static_cast<BYTE*>(bits) + y * width * 4,
               static_cast<const BYTE*>(locked.Scan0) + static_cast<INT_PTR>(y) * locked.Stride,
               width * 4);
    }
    picture->UnlockBits(&locked);
    if (!frame.bitmap) return false;
    if (i < delays.size()) frame.delayMs = std::max<int>(static_cast<int>(std::min<LONG>(delays[i], 6000)) * 10, kMinDelayMs);
    frames.push_back(frame);
  }
  return true;
}

class CAnimatedImage : public winkit::ComObject,
                       public IAnimatedImage,
                       public IOleObject,
                       public IViewObject2,
                       public IDataObject {
 public:
  ~CAnimatedImage() override { FreeFrames(); }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return QueryInterfaceImpl(iid, out); }
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

  void* CastTo(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IAnimatedImage) return static_cast<IAnimatedImage*>(this);
    if (iid == IID_IOleObject) return static_cast<IOleObject*>(this);
    if (iid == IID_IViewObject || iid == IID_IViewObject2) return static_cast<IViewObject2*>(this);
    if (iid == IID_IDataObject) return static_cast<IDataObject*>(this);
    return nullptr;
  }

  // IAnimatedImage
  STDMETHODIMP GetSize(long* width, long* height) override {
    if (!width || !height) return E_POINTER;
    if (frames_.empty()) return E_FAIL;
    *width = static_cast<long>(width_);
    *height = static_cast<long>(height_);
    return S_OK;
  }
  STDMETHODIMP Start() override {
    started_ = !frames_.empty();
    return frames_.empty() ? E_FAIL : S_OK;
  }
  STDMETHODIMP LoadFromMemory(void* data, unsigned long size) override {
    FreeFrames();
    if (!data || size == 0) return E_INVALIDARG;
    HGLOBAL handle = static_cast<HGLOBAL>(data);
    const SIZE_T held = GlobalSize(handle);
    if (held == 0) return E_INVALIDARG;
    const SIZE_T bytes = std::min<SIZE_T>(held, size);
    if (bytes > kMaxFileBytes) return E_OUTOFMEMORY;
    const BYTE* file = static_cast<const BYTE*>(GlobalLock(handle));
    if (!file) return E_INVALIDARG;
    std::vector<Frame> frames;
    UINT width = 0, height = 0;
    const bool ok = Decode(file, bytes, frames, width, height);
    GlobalUnlock(handle);
    if (!ok) {
      for (Frame& f : frames) DeleteObject(f.bitmap);
      return E_FAIL;
    }
    frames_ = std::move(frames);
    width_ = width;
    height_ = height;
    return S_OK;
  }

  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) override {
    site_ = winkit::ComPtr<IOleClientSite>(site);
    return S_OK;
  }
  STDMETHODIMP GetClientSite(IOleClientSite** site) override {
    if (!site) return E_POINTER;
    *site = site_.Get();
    if (*site) (*site)->AddRef();
    return S_OK;
  }
  STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP Close(DWORD) override {
    started_ = false;
    site_.Reset();
    advise_.Reset();
    return S_OK;
  }
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND window,
                      LPCRECT rect) override {
    switch (verb) {
      case kAdvanceVerb:
        if (Advance() && window) InvalidateRect(window, rect, FALSE);
        return S_OK;
      case OLEIVERB_PRIMARY:
      case OLEIVERB_SHOW:
      case OLEIVERB_OPEN:
      case OLEIVERB_INPLACEACTIVATE:
      case OLEIVERB_UIACTIVATE:
        if (site && !site_) site_ = winkit::ComPtr<IOleClientSite>(site);
        return S_OK;
      case OLEIVERB_HIDE:
        return S_OK;
      default:
        return OLEOBJ_S_INVALIDVERB;
    }
  }
  STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return OLEOBJ_E_NOVERBS; }
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID* clsid) override {
    if (!clsid) return E_POINTER;
    *clsid = CLSID_AnimatedImage;
    return S_OK;
  }
  STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return OLE_S_USEREG; }
  STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override {
    if (!size) return E_POINTER;
    if (aspect != DVASPECT_CONTENT || frames_.empty()) return E_FAIL;
    *size = Himetric();
    return S_OK;
  }
  STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP Unadvise(DWORD) override { return OLE_E_NOCONNECTION; }
  STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
  STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override {
    if (!status) return E_POINTER;
    *status = 0;
    return S_OK;
  }
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IViewObject2
  STDMETHODIMP Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                    LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!dc || !bounds) return E_INVALIDARG;
    if (frames_.empty()) return S_OK;
    return DrawFrame(dc, RECT{bounds->left, bounds->top, bounds->right, bounds->bottom})
               ? S_OK
               : E_FAIL;
  }
  STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** palette) override {
    if (palette) *palette = nullptr;
    return S_FALSE;
  }
  STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override {
    advise_ = winkit::ComPtr<IAdviseSink>(sink);
    adviseAspects_ = aspects;
    adviseFlags_ = flags;
    return S_OK;
  }
  STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override {
    if (aspects) *aspects = adviseAspects_;
    if (flags) *flags = adviseFlags_;
    if (sink) {
      *sink = advise_.Get();
      if (*sink) (*sink)->AddRef();
    }
    return S_OK;
  }
  STDMETHODIMP GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override {
    return GetExtent(aspect, size);
  }

  // IDataObject: the current frame as a bitmap on white.
  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (!format || !medium) return E_POINTER;
    if (format->cfFormat != CF_BITMAP || !(format->tymed & TYMED_GDI)) return DV_E_FORMATETC;
    if (frames_.empty()) return E_FAIL;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, static_cast<int>(width_), static_cast<int>(height_));
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (!bitmap || !dc) {
      if (bitmap) DeleteObject(bitmap);
      if (dc) DeleteDC(dc);
      return E_OUTOFMEMORY;
    }
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, static_cast<LONG>(width_), static_cast<LONG>(height_)};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawFrame(dc, all);
    SelectObject(dc, old);
    DeleteDC(dc);
    medium->tymed = TYMED_GDI;
    medium->hBitmap = bitmap;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryGetData(FORMATETC* format) override {
    if (!format) return E_POINTER;
    return format->cfFormat == CF_BITMAP && (format->tymed & TYMED_GDI) ? S_OK : DV_E_FORMATETC;
  }
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out) out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
  }
  STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_NOCONNECTION; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  SIZEL Himetric() const {
    return {static_cast<LONG>(MulDiv(static_cast<int>(width_), 2540, 96)),
            static_cast<LONG>(MulDiv(static_cast<int>(height_), 2540, 96))};
  }

  // One 50 ms step; true when the frame changed.
  bool Advance() {
    if (!started_ || frames_.size() < 2) return false;
    elapsedMs_ += kVerbPeriodMs;
    if (elapsedMs_ < frames_[frame_].delayMs) return false;
    elapsedMs_ = 0;
    frame_ = (frame_ + 1) % frames_.size();
    return true;
  }

  bool DrawFrame(HDC dc, const RECT& r) const {
    HDC source = CreateCompatibleDC(dc);
    if (!source) return false;
    HGDIOBJ old = SelectObject(source, frames_[frame_].bitmap);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const BOOL ok = AlphaBlend(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, source, 0, 0,
                               static_cast<int>(width_), static_cast<int>(height_), blend);
    SelectObject(source, old);
    DeleteDC(source);
    return ok != FALSE;
  }

  void FreeFrames() {
    for (Frame& f : frames_) DeleteObject(f.bitmap);
    frames_.clear();
    frame_ = 0;
    elapsedMs_ = 0;
    started_ = false;
  }

  std::vector<Frame> frames_;
  UINT width_ = 0, height_ = 0;
  size_t frame_ = 0;
  int elapsedMs_ = 0;
  bool started_ = false;
  winkit::ComPtr<IOleClientSite> site_;
  winkit::ComPtr<IAdviseSink> advise_;
  DWORD adviseAspects_ = 0, adviseFlags_ = 0;
};

winkit::ClassFactory<CAnimatedImage> g_factory;
const winkit::ServedClass g_classes[] = {
    {{&CLSID_AnimatedImage, L"AnimatedImage.AnimatedImage.1", L"AnimatedImage.AnimatedImage",
      L"Animated picture", &LIBID_AnimatedImageLib, L"1.0", false, 0, nullptr, false, nullptr},
     &g_factory},
};
const winkit::InprocServer g_server(g_classes, 1);

}  // namespace

WINKIT_INPROC_SERVER_EXPORTS(g_server)
