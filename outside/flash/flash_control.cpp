// The movie player stand-in: an ActiveX control that plays a generated animation described by
// a small movie file, drawn through IViewObject::Draw so that a windowless host can render it
// on any background (only the shapes are drawn in "transparent" mode).
//
// Movie file (text, GBK or ASCII):
//   KVMV 1
//   shape=circle|star|heart     what moves
//   color=r,g,b                 its colour
//   frames=N                    frames of the loop (1 to 600), 50 ms each
// A path that names no such file loads nothing: the player draws nothing and Play does nothing.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include "shockwave_flash.h"
#include "winkit/boundary.h"
#include "winkit/com_ptr.h"
#include "winkit/control.h"
#include "winkit/dispatch.h"
#include "winkit/inproc_server.h"

namespace {

constexpr long kVersion = 0x00080000;  // reports major version 8
constexpr UINT kFrameMs = 50;
constexpr int kStage = 300;            // the movie's own stage, square
constexpr long kMaxFrames = 600;
constexpr DISPID kReadyStateChange = -609;

struct Movie {
  bool loaded = false;
  std::wstring shape = L"circle";
  COLORREF colour = RGB(230, 40, 90);
  long frames = 40;
};

Movie ReadMovie(const std::wstring& path) {
  Movie movie;
  if (path.empty()) return movie;
  FILE* f = _wfopen(path.c_str(), L"rb");
  if (!f) return movie;
  char line[256];
  bool first = true;
  while (std::fgets(line, sizeof line, f)) {
    std::string s(line);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
    if (first) {
      first = false;
      if (s.rfind("KVMV", 0) != 0) break;
      movie.loaded = true;
      continue;
    }
    const size_t eq = s.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = s.substr(0, eq), value = s.substr(eq + 1);
    if (key == "shape") {
      movie.shape = std::wstring(value.begin(), value.end());
    } else if (key == "color") {
      int r = 0, g = 0, b = 0;
      if (std::sscanf(value.c_str(), "%d,%d,%d", &r, &g, &b) == 3) {
        movie.colour = RGB(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
      }
    } else if (key == "frames") {
      movie.frames = std::clamp(std::atol(value.c_str()), 1L, kMaxFrames);
    }
  }
  std::fclose(f);
  return movie;
}

// "RRGGBB" or "AARRGGBB" to a COLORREF; false for anything else.
bool ParseHexColour(const wchar_t* text, COLORREF& out) {
  if (!text) return false;
  const size_t n = wcslen(text);
  if (n != 6 && n != 8) return false;
  unsigned long v = 0;
  for (size_t i = n - 6; i < n; ++i) {
    const wchar_t c = text[i];
    int d = c >= L'0' && c <= L'9' ? c - L'0' : c >= L'a' && c <= L'f' ? c - L'a' + 10
          : c >= L'A' && c <= L'F' ? c - L'A' + 10 : -1;
    if (d < 0) return false;
    v = v << 4 | static_cast<unsigned long>(d);
  }
  out = RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  return true;
}

HRESULT CopyOut(const std::wstring& s, BSTR* out) {
  if (!out) return E_POINTER;
  *out = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

class CShockwaveFlash;
std::map<UINT_PTR, CShockwaveFlash*>& Timers() {
  static std::map<UINT_PTR, CShockwaveFlash*> timers;
  return timers;
}

class CShockwaveFlash : public winkit::DispatchImpl<IShockwaveFlash, &IID_IShockwaveFlash>,
                        public winkit::ControlBase {
 public:
  CShockwaveFlash()
      : ControlBase(CLSID_ShockwaveFlash, IID__IShockwaveFlashEvents, L"KorvelMoviePlayer") {
    OfferStandardInterfaces();
  }
  ~CShockwaveFlash() override { StopTimer(); }

  WINKIT_IUNKNOWN
  void* CastTo(REFIID iid) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IShockwaveFlash)
      return static_cast<IShockwaveFlash*>(this);
    return ControlBase::CastTo(iid);
  }

  // IShockwaveFlash
  STDMETHODIMP get_FlashVersion(long* v) override { return Out(v, kVersion); }
  STDMETHODIMP get_WMode(BSTR* mode) override { return CopyOut(mode_, mode); }
  STDMETHODIMP put_WMode(BSTR mode) override {
    mode_ = mode ? mode : L"";
    ViewChanged();
    return S_OK;
  }
  STDMETHODIMP get_Scale(BSTR* scale) override { return CopyOut(scale_, scale); }
  STDMETHODIMP put_Scale(BSTR scale) override {
    scale_ = scale ? scale : L"";
    return S_OK;
  }
  STDMETHODIMP get_BackgroundColor(long* c) override { return Out(c, background_); }
  STDMETHODIMP put_BackgroundColor(long c) override {
    background_ = c;
    return S_OK;
  }
  STDMETHODIMP get_EmbedMovie(VARIANT_BOOL* e) override {
    return Out(e, static_cast<VARIANT_BOOL>(embed_ ? VARIANT_TRUE : VARIANT_FALSE));
  }
  STDMETHODIMP put_EmbedMovie(VARIANT_BOOL e) override {
    embed_ = e != VARIANT_FALSE;
    return S_OK;
  }
  STDMETHODIMP get_Movie(BSTR* path) override { return CopyOut(path_, path); }
  STDMETHODIMP put_Movie(BSTR path) override {
    return winkit::CallAtBoundary([&] {
      path_ = path ? path : L"";
      StopTimer();
      playing_ = false;
      frame_ = 0;
      movie_ = ReadMovie(path_);
      words_.clear();  // a movie's variables start afresh with each load
      Events().Fire(kReadyStateChange, {winkit::EventArg::I4(movie_.loaded ? 4 : 0)});
      ViewChanged();
      return S_OK;
    });
  }
  STDMETHODIMP SetVariable(BSTR name, BSTR value) override {
    if (name && std::wstring(name) == L"tipword.text") words_ = value ? value : L"";
    ViewChanged();
    return S_OK;
  }
  STDMETHODIMP GetVariable(BSTR name, BSTR* value) override {
    return CopyOut(name && std::wstring(name) == L"tipword.text" ? words_ : L"", value);
  }
  STDMETHODIMP Play() override {
    if (!movie_.loaded) return S_OK;
    playing_ = true;
    if (timer_ == 0) {
      timer_ = SetTimer(nullptr, 0, kFrameMs, &CShockwaveFlash::OnTimer);
      if (timer_) Timers()[timer_] = this;
    }
    return S_OK;
  }
  STDMETHODIMP Stop() override {
    playing_ = false;
    StopTimer();
    return S_OK;
  }
  STDMETHODIMP get_BGColor(BSTR* colour) override {
    wchar_t text[16];
    swprintf(text, 16, L"%02X%02X%02X", GetRValue(bg_), GetGValue(bg_), GetBValue(bg_));
    return CopyOut(text, colour);
  }
  STDMETHODIMP put_BGColor(BSTR colour) override {
    COLORREF c;
    if (ParseHexColour(colour, c)) {
      bg_ = c;
      ViewChanged();
    }
    return S_OK;
  }
  STDMETHODIMP get_Playing(VARIANT_BOOL* p) override {
    return Out(p, static_cast<VARIANT_BOOL>(playing_ ? VARIANT_TRUE : VARIANT_FALSE));
  }
  STDMETHODIMP get_FrameNum(long* f) override { return Out(f, frame_); }
  STDMETHODIMP get_TotalFrames(long* f) override { return Out(f, movie_.loaded ? movie_.frames : 0); }
  STDMETHODIMP get_ReadyState(long* s) override { return Out(s, movie_.loaded ? 4L : 0L); }

  // A host that offers a windowless site gets the player without a window of its own: the host
  // draws it through IViewObject and hears of each new frame through its site's InvalidateRect.
  STDMETHODIMP DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                      LPCRECT pos) override {
    if (verb == OLEIVERB_SHOW || verb == OLEIVERB_PRIMARY || verb == OLEIVERB_INPLACEACTIVATE ||
        verb == OLEIVERB_UIACTIVATE) {
      winkit::ComPtr<IOleClientSite> own;
      if (!site && SUCCEEDED(GetClientSite(own.Put()))) site = own.Get();
      winkit::ComPtr<IOleInPlaceSiteWindowless> windowless;
      if (site &&
          SUCCEEDED(site->QueryInterface(IID_IOleInPlaceSiteWindowless,
                                         reinterpret_cast<void**>(windowless.Put()))) &&
          windowless && windowless->CanWindowlessActivate() == S_OK) {
        if (!windowless_) {
          BOOL noRedraw = FALSE;
          windowless->OnInPlaceActivateEx(&noRedraw, ACTIVATE_WINDOWLESS);
          windowless_ = std::move(windowless);
        }
        return S_OK;
      }
    }
    return ControlBase::DoVerb(verb, msg, site, index, parent, pos);
  }
  STDMETHODIMP InPlaceDeactivate() override {
    if (windowless_) {
      windowless_->OnInPlaceDeactivateEx(TRUE);
      windowless_.Reset();
    }
    return ControlBase::InPlaceDeactivate();
  }
  STDMETHODIMP Close(DWORD option) override {
    StopTimer();
    playing_ = false;
    if (windowless_) {
      windowless_->OnInPlaceDeactivateEx(TRUE);
      windowless_.Reset();
    }
    return ControlBase::Close(option);
  }

  // A point hits the content only where the movie draws.
  STDMETHODIMP QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT point, LONG,
                             DWORD* result) override {
    if (!result || !bounds) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return E_FAIL;
    RECT shape = ShapeRect(*bounds);
    *result = movie_.loaded && PtInRect(&shape, point) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return S_OK;
  }

  // Advances one frame (the frame timer; also callable for a step by step test).
  void Step() {
    if (!playing_ || !movie_.loaded) return;
    frame_ = (frame_ + 1) % movie_.frames;
    Redraw();
  }

 protected:
  HRESULT OnDraw(HDC dc, const RECT& bounds) override {
    if (mode_ != L"transparent") {
      const COLORREF fill = background_ >= 0 && bg_ == kNoColour
                                ? RGB((background_ >> 16) & 0xFF, (background_ >> 8) & 0xFF,
                                      background_ & 0xFF)
                                : (bg_ == kNoColour ? RGB(255, 255, 255) : bg_);
      HBRUSH brush = CreateSolidBrush(fill);
      FillRect(dc, &bounds, brush);
      DeleteObject(brush);
    }
    if (!movie_.loaded) return S_OK;
    const RECT shape = ShapeRect(bounds);
    HBRUSH brush = CreateSolidBrush(movie_.colour);
    HPEN pen = CreatePen(PS_SOLID, 2, RGB(40, 20, 20));
    HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
    const int cx = (shape.left + shape.right) / 2, cy = (shape.top + shape.bottom) / 2;
    const int r = (shape.right - shape.left) / 2;
    if (movie_.shape == L"star" || movie_.shape == L"heart") {
      POINT pts[10];
      const int n = movie_.shape == L"star" ? 10 : 8;
      const double turn = frame_ * 2 * 3.14159265 / std::max(movie_.frames, 1L);
      for (int i = 0; i < n; ++i) {
        const double a = turn + i * 2 * 3.14159265 / n;
        const double radius = (i % 2 == 0 || n == 8) ? r : r * 0.45;
        pts[i] = {cx + static_cast<LONG>(radius * std::sin(a)),
                  cy - static_cast<LONG>(radius * std::cos(a))};
      }
      Polygon(dc, pts, n);
    } else {
      Ellipse(dc, shape.left, shape.top, shape.right, shape.bottom);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
    if (!words_.empty()) {
      RECT text = {bounds.left, shape.bottom + 4, bounds.right, bounds.bottom};
      const int oldMode = SetBkMode(dc, TRANSPARENT);
      const COLORREF oldColour = SetTextColor(dc, RGB(20, 20, 120));
      DrawTextW(dc, words_.c_str(), static_cast<int>(words_.size()), &text,
                DT_CENTER | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
      SetTextColor(dc, oldColour);
      SetBkMode(dc, oldMode);
    }
    return S_OK;
  }

 private:
  static constexpr COLORREF kNoColour = 0xFFFFFFFF;

  template <class T>
  static HRESULT Out(T* out, T value) {
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
  }

  // The moving shape: the stage scaled into the bounds ("showAll": whole stage, aspect kept),
  // a ball that grows over the loop and swings from side to side.
  RECT ShapeRect(const RECT& bounds) const {
    const int w = bounds.right - bounds.left, h = bounds.bottom - bounds.top;
    const int side = std::max(std::min(w, h), 1);
    const double scale = static_cast<double>(side) / kStage;
    const double phase = static_cast<double>(frame_) / std::max(movie_.frames, 1L);
    const int radius = static_cast<int>((50 + 40 * std::sin(phase * 3.14159265)) * scale);
    const int cx = bounds.left + w / 2 + static_cast<int>(60 * scale * std::sin(phase * 6.2831853));
    const int cy = bounds.top + h / 2 - static_cast<int>(20 * scale);
    return {cx - radius, cy - radius, cx + radius, cy + radius};
  }

  void Redraw() {
    winkit::ComPtr<IOleClientSite> site;
    if (SUCCEEDED(GetClientSite(site.Put())) && site) {
      winkit::ComPtr<IOleInPlaceSiteWindowless> windowless;
      if (SUCCEEDED(site->QueryInterface(IID_IOleInPlaceSiteWindowless,
                                         reinterpret_cast<void**>(windowless.Put()))) &&
          windowless) {
        windowless->InvalidateRect(nullptr, FALSE);
        return;
      }
    }
    ViewChanged();
  }

  void StopTimer() {
    if (timer_) {
      KillTimer(nullptr, timer_);
      Timers().erase(timer_);
      timer_ = 0;
    }
  }

  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = Timers().find(id);
    if (it != Timers().end()) it->second->Step();
  }

  std::wstring mode_ = L"Window", scale_ = L"showAll", path_, words_;
  long background_ = -1;
  COLORREF bg_ = kNoColour;
  bool embed_ = false, playing_ = false;
  Movie movie_;
  long frame_ = 0;
  UINT_PTR timer_ = 0;
  winkit::ComPtr<IOleInPlaceSiteWindowless> windowless_;
};

winkit::ClassFactory<CShockwaveFlash> g_factory;
const winkit::ServedClass g_classes[] = {
    {{&CLSID_ShockwaveFlash, L"ShockwaveFlash.ShockwaveFlash.8", L"ShockwaveFlash.ShockwaveFlash",
      L"Shockwave Flash Object", &LIBID_ShockwaveFlashObjects, L"1.0", true, 101, L"131473",
      false, nullptr},
     &g_factory},
};
const winkit::InprocServer g_server(g_classes, 1);

}  // namespace

WINKIT_INPROC_SERVER_EXPORTS(g_server)
