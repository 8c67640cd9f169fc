#include "static_picture.h"

#include <gdiplus.h>

#include <memory>
#include <utility>

#include "image_data_object.h"
#include "winkit/com_ptr.h"
#include "winkit/handle.h"
#include "winkit/memory_stream.h"

namespace parley {
namespace {

// The class a static bitmap picture reports ({00000316-0000-0000-C000-000000000046}).
constexpr CLSID kStaticBitmapClass = {0x00000316, 0x0000, 0x0000,
                                      {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr LONG kHimetricPerPixel = 26;

class StillPicture final : public IOleObject, public IViewObject2, public IDataObject {
 public:
  explicit StillPicture(winkit::UniqueBitmap bitmap) : bitmap_(std::move(bitmap)) {
    BITMAP info{};
    GetObjectW(bitmap_.Get(), sizeof info, &info);
    width_ = info.bmWidth;
    height_ = info.bmHeight;
    data_ = new CImageDataObject();
    data_->AddRef();
    FORMATETC format{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    STGMEDIUM medium{};
    medium.tymed = TYMED_GDI;
    medium.hBitmap = bitmap_.Get();
    data_->SetData(&format, &medium, FALSE);
  }
  StillPicture(const StillPicture&) = delete;
  StillPicture& operator=(const StillPicture&) = delete;

  LONG Width() const { return width_; }
  LONG Height() const { return height_; }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleObject) *out = static_cast<IOleObject*>(this);
    else if (iid == IID_IViewObject || iid == IID_IViewObject2) *out = static_cast<IViewObject2*>(this);
    else if (iid == IID_IDataObject) *out = static_cast<IDataObject*>(this);
    else return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  // IOleObject: a picture that only shows itself.
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
  STDMETHODIMP Close(DWORD) override { return S_OK; }
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  STDMETHODIMP DoVerb(LONG, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) override { return S_OK; }
  STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return OLEOBJ_E_NOVERBS; }
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID* clsid) override {
    if (!clsid) return E_POINTER;
    *clsid = kStaticBitmapClass;
    return S_OK;
  }
  STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return OLE_S_USEREG; }
  STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return S_OK; }
  STDMETHODIMP GetExtent(DWORD, SIZEL* size) override {
    if (!size) return E_POINTER;
    *size = {width_ * kHimetricPerPixel, height_ * kHimetricPerPixel};
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

  // IViewObject2: the bitmap stretched over the bounds.
  STDMETHODIMP Draw(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                    LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override {
    if (!dc || !bounds) return E_INVALIDARG;
    winkit::UniqueDc memory(CreateCompatibleDC(dc));
    if (!memory) return E_FAIL;
    winkit::SelectedObject keep(memory.Get(), bitmap_.Get());
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, bounds->left, bounds->top, bounds->right - bounds->left,
               bounds->bottom - bounds->top, memory.Get(), 0, 0, width_, height_, SRCCOPY);
    return S_OK;
  }
  STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override {
    return S_FALSE;
  }
  STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP SetAdvise(DWORD, DWORD, IAdviseSink*) override { return S_OK; }
  STDMETHODIMP GetAdvise(DWORD*, DWORD*, IAdviseSink** sink) override {
    if (sink) *sink = nullptr;
    return S_OK;
  }
  STDMETHODIMP GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override {
    return GetExtent(aspect, size);
  }

  // IDataObject: the bitmap, through the data object that carries it.
  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (!format || !medium) return E_POINTER;
    if (format->cfFormat != CF_BITMAP || !(format->tymed & TYMED_GDI)) return DV_E_FORMATETC;
    return data_->GetData(format, medium);
  }
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryGetData(FORMATETC* format) override {
    if (!format) return E_POINTER;
    return format->cfFormat == CF_BITMAP && (format->tymed & TYMED_GDI) ? S_OK : DV_E_FORMATETC;
  }
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_NOCONNECTION; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  ~StillPicture() {
    if (data_) data_->Release();
  }

  ULONG refs_ = 0;
  winkit::UniqueBitmap bitmap_;
  LONG width_ = 0;
  LONG height_ = 0;
  CImageDataObject* data_ = nullptr;
  winkit::ComPtr<IOleClientSite> site_;
};

}  // namespace

winkit::UniqueBitmap DecodePictureBitmap(const void* bytes, size_t size, COLORREF background) {
  if (!bytes || size == 0) return {};
  winkit::ComPtr<IStream> stream = winkit::StreamOnCopy(bytes, size);
  if (!stream) return {};
  // GDI+ for this decoding alone, whoever else has it running.
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return {};
  HBITMAP result = nullptr;
  {
    std::unique_ptr<Gdiplus::Bitmap> picture(Gdiplus::Bitmap::FromStream(stream.Get()));
    if (picture && picture->GetLastStatus() == Gdiplus::Ok && picture->GetWidth() > 0 &&
        picture->GetHeight() > 0) {
      const Gdiplus::Color back(255, GetRValue(background), GetGValue(background),
                                GetBValue(background));
      if (picture->GetHBITMAP(back, &result) != Gdiplus::Ok) result = nullptr;
    }
  }
  Gdiplus::GdiplusShutdown(token);
  return winkit::UniqueBitmap(result);
}

bool InsertStillPicture(HWND box, IRichEditOle* rich, IOleClientSite* site,
                        winkit::UniqueBitmap bitmap, uint32_t key) {
  if (!bitmap || !box || !rich) return false;
  winkit::ComPtr<StillPicture> picture(new StillPicture(std::move(bitmap)));
  REOBJECT reo{};
  reo.cbStruct = sizeof reo;
  picture->GetUserClassID(&reo.clsid);
  reo.cp = REO_CP_SELECTION;
  reo.poleobj = static_cast<IOleObject*>(picture.Get());
  reo.polesite = site;
  reo.dvaspect = DVASPECT_CONTENT;
  reo.dwFlags = REO_RESIZABLE;
  reo.dwUser = key;
  reo.sizel = {picture->Width() * kHimetricPerPixel, picture->Height() * kHimetricPerPixel};
  if (site) picture->SetClientSite(site);
  if (FAILED(rich->InsertObject(&reo))) {
    picture->SetClientSite(nullptr);
    return false;
  }
  SendMessageW(box, EM_SCROLLCARET, 0, 0);
  return true;
}

}  // namespace parley
