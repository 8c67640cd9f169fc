#include "face_board_window.h"

#include <gdiplus.h>

#include <memory>

#include "chat_pictures.h"
#include "winkit/com_ptr.h"
#include "winkit/memory_stream.h"

namespace parley {
namespace {

// The first frame of a picture file's bytes; null when they do not decode.
std::unique_ptr<Gdiplus::Bitmap> DecodeFirstFrame(const chat::PictureBytes& bytes) {
  if (!bytes || bytes->empty()) return nullptr;
  winkit::ComPtr<IStream> stream = winkit::StreamOnCopy(bytes->data(), bytes->size());
  if (!stream) return nullptr;
  std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream.Get()));
  if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) return nullptr;
  return bitmap;
}

Gdiplus::Color Argb(uint32_t argb) { return Gdiplus::Color(static_cast<Gdiplus::ARGB>(argb)); }

}  // namespace

FaceBoardWindow::FaceBoardWindow(HWND owner) : m_owner(owner) {
  static const ATOM atom = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &FaceBoardWindow::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));  // the hand
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc);
  }();
  (void)atom;
  m_hwnd = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName, L"", WS_POPUP, 0, 0,
                           Width(), Height(), owner ? GetAncestor(owner, GA_ROOT) : nullptr, nullptr,
                           GetModuleHandleW(nullptr), this);
}

FaceBoardWindow::~FaceBoardWindow() {
  if (m_hwnd) {
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hwnd);
  }
  if (m_cache) SelectObject(m_cache.Get(), m_cacheOld);
}

void FaceBoardWindow::Show(bool show, int x, int y) {
  if (!m_hwnd) return;
  if (show) {
    m_hover.Clear();
    SetWindowPos(m_hwnd, HWND_TOPMOST, x, y, Width(), Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
    SetCapture(m_hwnd);
  } else {
    if (GetCapture() == m_hwnd) ReleaseCapture();
    ShowWindow(m_hwnd, SW_HIDE);
  }
}

bool FaceBoardWindow::TakePick(WPARAM id) {
  if (!m_pickPending || id != m_pick) return false;
  m_pickPending = false;
  return true;
}

void FaceBoardWindow::Close() { Show(false); }

LRESULT CALLBACK FaceBoardWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    static_cast<FaceBoardWindow*>(create->lpCreateParams)->m_hwnd = hwnd;
  }
  auto* self = reinterpret_cast<FaceBoardWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  try {
    return self->Handle(msg, wp, lp);
  } catch (...) {
    ReportOnce("face board error");
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

LRESULT FaceBoardWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
  switch (msg) {
    case WM_ERASEBKGND:
      Paint(reinterpret_cast<HDC>(wp));
      return 1;
    case WM_PAINT: {
      const winkit::PaintDc paint(m_hwnd);
      if (!m_cache) Paint(paint.Get());
      return 0;
    }
    case WM_MOUSEMOVE: {
      const auto move = m_hover.OnMouseMove(m_cells, x, y);
      if (move.invalidate) {
        InvalidateRect(m_hwnd, nullptr, TRUE);
        UpdateWindow(m_hwnd);
      }
      if (move.frame) {
        const winkit::WindowDc dc(m_hwnd);
        Gdiplus::Graphics g(dc.Get());
        Gdiplus::Pen pen(Argb(chat::BoardMetrics::kBorderArgb));
        g.DrawRectangle(&pen, move.frame->left - 1, move.frame->top - 1,
                        move.frame->right - move.frame->left + 1, move.frame->bottom - move.frame->top + 1);
      }
      return 0;
    }
    case WM_LBUTTONDOWN: {
      const int hit = chat::BoardHitTest(m_cells, x, y);
      if (hit >= 0 && m_owner) {
        m_pick = static_cast<WPARAM>(m_ids[static_cast<size_t>(hit)]);
        m_pickPending = true;
        PostMessageW(m_owner, WM_LBUTTONUP, m_pick, 0);
      }
      Close();
      return 0;
    }
    case WM_RBUTTONDOWN:
      Close();
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lp) != m_hwnd && IsWindowVisible(m_hwnd)) ShowWindow(m_hwnd, SW_HIDE);
      return 0;
  }
  return DefWindowProcW(m_hwnd, msg, wp, lp);
}

void FaceBoardWindow::Paint(HDC dc) {
  RECT client{};
  GetClientRect(m_hwnd, &client);
  if (!m_cache) {
    LoadFacesOnce();
    m_cache.Reset(CreateCompatibleDC(dc));
    m_cacheBitmap.Reset(CreateCompatibleBitmap(dc, client.right, client.bottom));
    m_cacheOld = SelectObject(m_cache.Get(), m_cacheBitmap.Get());
    const winkit::UniqueBrush back(CreateSolidBrush(chat::BoardMetrics::kBackColor));
    FillRect(m_cache.Get(), &client, back.Get());
    Gdiplus::Graphics g(m_cache.Get());
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    m_cells.clear();
    m_ids.clear();
    for (chat::FaceItem& face : Faces().List(chat::kFaceList)) {
      // A face whose picture does not load keeps its cell and shows nothing in it.
      const chat::BoardRect cell = chat::FaceCell(static_cast<int>(m_cells.size()));
      if (auto picture = DecodeFirstFrame(face.image))
        g.DrawImage(picture.get(), cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top);
      face.cell = {cell.left, cell.top, cell.right, cell.bottom};
      m_cells.push_back(cell);
      m_ids.push_back(face.id);
    }
    Gdiplus::Pen border(Argb(chat::BoardMetrics::kBorderArgb));
    g.DrawRectangle(&border, 0, 0, client.right - 1, client.bottom - 1);
    Gdiplus::Pen grid(Argb(chat::BoardMetrics::kGridArgb));
    for (const chat::BoardLine& l : chat::BoardGridLines(client.right, client.bottom))
      g.DrawLine(&grid, l.x1, l.y1, l.x2, l.y2);
  }
  BitBlt(dc, 0, 0, client.right, client.bottom, m_cache.Get(), 0, 0, SRCCOPY);
}

}  // namespace parley
