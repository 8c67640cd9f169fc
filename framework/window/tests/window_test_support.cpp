#include "window_test_support.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include "winkit/dib.h"

namespace framework_window::testing {

namespace {

std::wstring Wide(const std::string& s) {
  const int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
  std::wstring w(static_cast<size_t>(std::max(n, 1)), L'\0');
  MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w.data(), n);
  w.resize(wcslen(w.c_str()));
  return w;
}

bool PngEncoder(CLSID* clsid) {
  UINT count = 0, size = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
  std::vector<unsigned char> buf(size);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buf.data());
  if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (wcscmp(codecs[i].MimeType, L"image/png") == 0) {
      *clsid = codecs[i].Clsid;
      return true;
    }
  }
  return false;
}

class HostWindow : public RecordingWindow {};

}  // namespace

void WindowTestEnvironment::SetUp() {
  Gdiplus::GdiplusStartupInput input;
  ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
}

void WindowTestEnvironment::TearDown() {
  // The host stays to the end of the process; GDI+ goes with it.
}

HWND RecordingWindow::CreateTopLevel(int x, int y, int w, int h) {
  return Create(L"KorvelTestRecorder", L"test", WS_POPUP | WS_CLIPCHILDREN, 0,
                RECT{x, y, x + w, y + h}, nullptr, nullptr);
}

HWND RecordingWindow::CreateChild(HWND parent, int x, int y, int w, int h) {
  return Create(L"KorvelTestRecorder", L"", WS_CHILD | WS_VISIBLE, 0, RECT{x, y, x + w, y + h},
                parent, nullptr);
}

std::vector<UINT> RecordingWindow::Messages() const {
  std::vector<UINT> m;
  for (const Record& r : records) m.push_back(r.msg);
  return m;
}

LRESULT RecordingWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if ((msg >= WM_USER && msg < 0x8000) || msg == WM_CLOSE || msg == WM_COMMAND) {
    records.push_back(Record{msg, wp, lp});
    return 0;
  }
  return winkit::Window::HandleMessage(msg, wp, lp);
}

HWND Host() {
  static HostWindow* host = [] {
    auto* h = new HostWindow;  // kept to the end of the process
    h->CreateTopLevel(0, 0, 1100, 800);
    ShowWindow(h->hwnd(), SW_SHOW);
    UpdateWindow(h->hwnd());
    return h;
  }();
  return host->hwnd();
}

void ActivateHost() {
  HWND h = Host();
  if (IsIconic(h) || IsZoomed(h)) ShowWindow(h, SW_RESTORE);
  SetWindowPos(h, HWND_TOP, 0, 0, 1100, 800, SWP_SHOWWINDOW);
  SetForegroundWindow(h);
  SetActiveWindow(h);
  Pump();
}

void Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  do {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    if (ms) Sleep(5);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

Canvas::Canvas(int w, int h, uint32_t fill) : w_(w), h_(h) {
  void* p = nullptr;
  bitmap_ = winkit::CreateTopDownDib32(w, h, &p);
  bits_ = static_cast<uint32_t*>(p);
  dc_ = CreateCompatibleDC(nullptr);
  old_ = SelectObject(dc_, bitmap_);
  for (int i = 0; i < w * h; ++i) bits_[i] = fill;
}

Canvas::~Canvas() {
  SelectObject(dc_, old_);
  DeleteDC(dc_);
  DeleteObject(bitmap_);
}

uint32_t Canvas::At(int x, int y) const {
  GdiFlush();
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return 0xFF000000;
  return bits_[y * w_ + x] & 0xFFFFFF;
}

bool Canvas::SavePng(const std::string& path) const {
  GdiFlush();
  CLSID png;
  if (!PngEncoder(&png)) return false;
  // A copy without alpha: GDI leaves the top byte of a DIB's pixels undefined.
  Gdiplus::Bitmap out(w_, h_, PixelFormat24bppRGB);
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) {
      const uint32_t c = bits_[y * w_ + x];
      out.SetPixel(x, y, Gdiplus::Color(255, (c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF));
    }
  return out.Save(Wide(path).c_str(), &png, nullptr) == Gdiplus::Ok;
}

void CaptureWindow(HWND hwnd, Canvas& canvas) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  HDC dc = GetWindowDC(hwnd);
  BitBlt(canvas.dc(), 0, 0, canvas.width(), canvas.height(), dc, 0, 0, SRCCOPY);
  ReleaseDC(hwnd, dc);
}

bool SaveWindowPng(HWND hwnd, const std::string& path) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  Canvas canvas(std::max(1L, r.right - r.left), std::max(1L, r.bottom - r.top));
  CaptureWindow(hwnd, canvas);
  return canvas.SavePng(path);
}

uint32_t PicturePixel(const std::string& path, int x, int y) {
  Gdiplus::Bitmap b(Wide(path).c_str());
  if (b.GetLastStatus() != Gdiplus::Ok) return 0xFF000000;
  Gdiplus::Color c;
  if (b.GetPixel(x, y, &c) != Gdiplus::Ok) return 0xFF000000;
  return (static_cast<uint32_t>(c.GetR()) << 16) | (c.GetG() << 8) | c.GetB();
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift = 0; shift <= 16; shift += 8) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (std::abs(d) > tolerance) return false;
  }
  return (a >> 24) == (b >> 24);
}

DWORD GdiObjectCount() {
  const DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (n) return n;
  // Wine answers 0 here. Its handle table reuses freed slots before new ones, so with a
  // fixed number of probes allocated the highest slot taken is the live objects plus the
  // probes (less the table's own start): the same figure whenever nothing leaked between.
  constexpr int kProbes = 4096;
  std::vector<HRGN> probes;
  probes.reserve(kProbes);
  DWORD high = 0;
  for (int i = 0; i < kProbes; ++i) {
    HRGN r = CreateRectRgn(0, 0, 1, 1);
    if (!r) break;
    probes.push_back(r);
    high = std::max<DWORD>(high, LOWORD(reinterpret_cast<uintptr_t>(r)));
  }
  for (HRGN r : probes) DeleteObject(r);
  return high + 1 - static_cast<DWORD>(probes.size());
}

}  // namespace framework_window::testing
