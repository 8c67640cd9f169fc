#include "image_buttons.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <map>
#include <mutex>

// GDI+'s headers want min and max from somewhere.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include "text_copy.h"
#include "winkit/gbk.h"

namespace framework_window {

namespace {

constexpr wchar_t kStripClass[] = L"KorvelImageButtons";
constexpr wchar_t kTitleClass[] = L"KorvelTitleButtons";

layout::ButtonGrid GridOf(const Gdiplus::Bitmap* geometry, int16_t columns, int16_t rows) {
  const SIZE s = PictureSizeOf(geometry);
  return layout::ButtonGrid{s.cx, s.cy, columns, rows};
}

int16_t ToGridCount(int n) { return static_cast<int16_t>(std::clamp(n, 0, 0x7FFF)); }

// The shared pointer handling of both strip kinds.
void StripMouseMove(HWND hwnd, layout::StripHover& hover, const layout::ButtonGrid& grid,
                    WPARAM wp, LPARAM lp) {
  const POINT client{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  POINT screen = client;
  ClientToScreen(hwnd, &screen);
  const bool over = WindowFromPoint(screen) == hwnd;
  const bool active = GetActiveWindow() != nullptr;
  const int16_t index = grid.HitTest(layout::Point{client.x, client.y});
  if (hover.OnMouseMove((wp & MK_LBUTTON) != 0, over, active, index) ==
      layout::StripHover::Move::kNothing)
    return;
  TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd, 0};
  TrackMouseEvent(&tme);
  InvalidateRect(hwnd, nullptr, TRUE);
}

void StripLeave(HWND hwnd, layout::StripHover& hover) {
  hover.Reset();
  InvalidateRect(hwnd, nullptr, TRUE);
}

int16_t HitAt(const layout::ButtonGrid& grid, LPARAM lp) {
  return grid.HitTest(layout::Point{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
}

// The strip pictures have transparent corners and gaps between their buttons: what shows
// through is the owner's background, drawn afresh into `dc` (the owner paints it in its own
// coordinates), never whatever the screen held there before.
void PaintOwnerBackground(HWND hwnd, HDC dc) {
  HWND parent = GetParent(hwnd);
  if (!parent) return;
  POINT origin{0, 0};
  MapWindowPoints(hwnd, parent, &origin, 1);
  POINT old{};
  OffsetViewportOrgEx(dc, -origin.x, -origin.y, &old);
  SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

// The strip picture stretched over the client area, then the hovered cell over its button.
void DrawStrip(Gdiplus::Graphics& g, const StripPictures& p, const layout::ButtonGrid& grid,
               int16_t hover, const RECT& client) {
  if (p.normal) {
    const Gdiplus::Point corners[3] = {
        {0, 0}, {client.right, 0}, {0, client.bottom}};
    g.DrawImage(p.normal.get(), corners, 3);
  }
  if (hover < 0 || static_cast<size_t>(hover) >= p.cells.size() || !p.cells[hover]) return;
  const layout::Rect r = grid.CellRect(hover);
  g.DrawImage(p.cells[hover].get(), r.left, r.top, r.Width(), r.Height());
}

}  // namespace

void GdiplusBitmapDelete::operator()(Gdiplus::Bitmap* b) const { delete b; }

SIZE PictureSizeOf(const Gdiplus::Bitmap* picture) {
  if (!picture) return SIZE{0, 0};
  auto* p = const_cast<Gdiplus::Bitmap*>(picture);
  return SIZE{static_cast<LONG>(p->GetWidth()), static_cast<LONG>(p->GetHeight())};
}

namespace {

std::mutex& PreloadLock() {
  static std::mutex lock;
  return lock;
}

std::map<std::string, BitmapPtr>& Preloaded() {
  static std::map<std::string, BitmapPtr> pictures;
  return pictures;
}

BitmapPtr ReadPicture(const char* path) {
  const std::wstring wide = winkit::GbkToWide(path ? path : "");
  if (wide.empty() || GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES)
    return nullptr;
  BitmapPtr b(Gdiplus::Bitmap::FromFile(wide.c_str()));
  if (!b || b->GetLastStatus() != Gdiplus::Ok || b->GetWidth() == 0 || b->GetHeight() == 0)
    return nullptr;
  return b;
}

}  // namespace

BitmapPtr LoadPicture(const char* path) {
  if (!path) return nullptr;
  {
    std::lock_guard<std::mutex> hold(PreloadLock());
    auto& pictures = Preloaded();
    if (auto it = pictures.find(path); it != pictures.end()) {
      BitmapPtr b = std::move(it->second);
      pictures.erase(it);
      return b;
    }
  }
  return ReadPicture(path);
}

void PreloadPictures(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    BitmapPtr b = ReadPicture(path.c_str());
    if (!b) continue;
    std::lock_guard<std::mutex> hold(PreloadLock());
    Preloaded().emplace(path, std::move(b));
  }
}

void DropPreloadedPictures() {
  std::lock_guard<std::mutex> hold(PreloadLock());
  Preloaded().clear();
}

void StripPictures::Clear() {
  cells.clear();
  highlight.reset();
  normal.reset();
}

void StripPictures::Load(const char* normal_path, const char* highlight_path, int16_t columns,
                         int16_t rows, const Gdiplus::Bitmap* geometry) {
  Clear();
  normal = LoadPicture(normal_path);
  highlight = LoadPicture(highlight_path);
  const layout::ButtonGrid grid = GridOf(geometry ? geometry : normal.get(), columns, rows);
  const int32_t n = grid.CellCount();
  cells.reserve(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) {
    const layout::Rect r = grid.CellRect(i);
    BitmapPtr cell;
    const SIZE hs = PictureSizeOf(highlight.get());
    if (!r.Empty() && r.right <= hs.cx && r.bottom <= hs.cy) {
      cell.reset(highlight->Clone(Gdiplus::Rect(r.left, r.top, r.Width(), r.Height()),
                                  PixelFormat32bppARGB));
      if (cell && cell->GetLastStatus() != Gdiplus::Ok) cell.reset();
    }
    cells.push_back(std::move(cell));
  }
}

// --- CImage_Buttons -----------------------------------------------------------------------

CImage_Buttons::~CImage_Buttons() {
  if (m_hTip && IsWindow(m_hTip)) DestroyWindow(m_hTip);
  m_hTip = nullptr;
  Destroy();
}

HWND CImage_Buttons::Create(HWND parent, UINT id, DWORD style) {
  const RECT empty{0, 0, 0, 0};
  return winkit::Window::Create(kStripClass, L"", style, 0, empty, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

void CImage_Buttons::LoadImages(const char* normal_path, const char* highlight_path, int columns,
                                int rows) {
  m_pictures.Load(normal_path, highlight_path, ToGridCount(columns), ToGridCount(rows));
  m_grid = GridOf(m_pictures.normal.get(), ToGridCount(columns), ToGridCount(rows));
  m_hover.Reset();
  if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
}

void CImage_Buttons::AddTip(const char* text) {
  const char* t = text ? text : "";
  m_tips.emplace_back(t, CutGbkText(t, std::strlen(t), kMaxTipBytes));
}

SIZE CImage_Buttons::PictureSize() const { return PictureSizeOf(m_pictures.normal.get()); }

void CImage_Buttons::CreateTips() {
  if (!hwnd()) return;
  if (m_hTip && IsWindow(m_hTip)) DestroyWindow(m_hTip);
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  m_hTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(),
                           nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!m_hTip) return;
  SendMessageW(m_hTip, TTM_ACTIVATE, TRUE, 0);
  const int32_t n = m_grid.CellCount();
  for (int32_t i = 0; i < n; ++i) {
    const layout::Rect r = m_grid.CellRect(i);
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = hwnd();
    ti.uId = static_cast<UINT_PTR>(i) + 1;
    ti.rect = RECT{r.left, r.top, r.right, r.bottom};
    ti.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(m_hTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

void CImage_Buttons::OnButtonClick(int16_t) {}

LRESULT CImage_Buttons::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (m_hTip && msg != WM_NOTIFY) {
    MSG relay{hwnd(), msg, wp, lp, static_cast<DWORD>(GetMessageTime()), {}};
    const DWORD pos = GetMessagePos();
    relay.pt = POINT{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
    SendMessageW(m_hTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
  }
  return winkit::Window::HandleMessage(msg, wp, lp);
}

LRESULT CImage_Buttons::OnMouseMove(UINT msg, WPARAM wp, LPARAM lp, bool&) {
  const LRESULT r = Default(msg, wp, lp);
  StripMouseMove(hwnd(), m_hover, m_grid, wp, lp);
  return r;
}

LRESULT CImage_Buttons::OnMouseLeave(UINT, WPARAM, LPARAM, bool&) {
  StripLeave(hwnd(), m_hover);
  return 0;
}

LRESULT CImage_Buttons::OnKillFocus(UINT msg, WPARAM wp, LPARAM lp, bool&) {
  m_hover.Reset();
  return Default(msg, wp, lp);
}

LRESULT CImage_Buttons::OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, bool&) {
  const LRESULT r = Default(msg, wp, lp);
  OnButtonClick(HitAt(m_grid, lp));
  return r;
}

LRESULT CImage_Buttons::OnEraseBkgnd(UINT, WPARAM wp, LPARAM, bool&) {
  RECT client{};
  GetClientRect(hwnd(), &client);
  PaintOwnerBackground(hwnd(), reinterpret_cast<HDC>(wp));
  Gdiplus::Graphics g(reinterpret_cast<HDC>(wp));
  DrawStrip(g, m_pictures, m_grid, m_hover.hover(), client);
  return 0;
}

LRESULT AnswerTipRequest(HWND tip, const std::vector<std::string>& tips, LPARAM lp,
                         bool& handled) {
  auto* hdr = reinterpret_cast<NMHDR*>(lp);
  if (!hdr || hdr->hwndFrom != tip ||
      (hdr->code != TTN_NEEDTEXTA && hdr->code != TTN_NEEDTEXTW)) {
    handled = false;
    return 0;
  }
  const UINT_PTR id = hdr->idFrom;
  if (id == 0 || id > tips.size()) return 0;
  const std::string& text = tips[id - 1];
  if (hdr->code == TTN_NEEDTEXTA) {
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(lp);
    CopyText(info->szText, sizeof info->szText, text.c_str(), text.size() + 1);
  } else {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(lp);
    const std::wstring wide = winkit::GbkToWide(text);
    const size_t n = std::min(wide.size(), std::size(info->szText) - 1);
    wide.copy(info->szText, n);
    info->szText[n] = L'\0';
  }
  return 1;
}

LRESULT CImage_Buttons::OnNotify(UINT, WPARAM, LPARAM lp, bool& handled) {
  return AnswerTipRequest(m_hTip, m_tips, lp, handled);
}

void CSetup_Buttons::OnButtonClick(int16_t index) {
  if (index >= 0 && index <= 3) SendMessageW(Owner(), kMsgShop + index, 0, 0);
}

void CPage_Buttons::OnButtonClick(int16_t index) {
  if (index == 0) SendMessageW(Owner(), kMsgPageBack, 0, 0);
  if (index == 1) SendMessageW(Owner(), kMsgPageForward, 0, 0);
}

// --- CTitle_Buttons -----------------------------------------------------------------------

CTitle_Buttons::~CTitle_Buttons() { Destroy(); }

HWND CTitle_Buttons::Create(HWND parent, UINT id, DWORD style) {
  const RECT empty{0, 0, 0, 0};
  return winkit::Window::Create(kTitleClass, L"", style, 0, empty, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

void CTitle_Buttons::LoadImages(const char* path_a, const char* highlight_a, const char* path_b,
                                const char* highlight_b, int columns, int rows) {
  const int16_t c = ToGridCount(columns), r = ToGridCount(rows);
  m_a.Load(path_a, highlight_a, c, r);
  m_b.Load(path_b, highlight_b, c, r, m_a.normal.get());
  m_grid = GridOf(m_a.normal.get(), c, r);
  m_hover.Reset();
  if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
}

void CTitle_Buttons::SetMaximized(bool maximized) {
  m_bMaximized = maximized;
  if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
}

SIZE CTitle_Buttons::PictureSize() const { return PictureSizeOf(m_a.normal.get()); }

void CTitle_Buttons::OnButtonClick(int16_t index) {
  HWND main = GetAncestor(hwnd(), GA_ROOT);
  if (!main) return;
  switch (index) {
    case 0:
      ShowWindow(main, SW_MINIMIZE);
      break;
    case 1:
      ShowWindow(main, (GetWindowLongW(main, GWL_STYLE) & WS_MAXIMIZE) ? SW_RESTORE : SW_MAXIMIZE);
      break;
    case 2:
      PostMessageW(main, WM_CLOSE, 0, 0);
      break;
    default:
      break;
  }
}

LRESULT CTitle_Buttons::OnMouseMove(UINT msg, WPARAM wp, LPARAM lp, bool&) {
  const LRESULT r = Default(msg, wp, lp);
  StripMouseMove(hwnd(), m_hover, m_grid, wp, lp);
  return r;
}

LRESULT CTitle_Buttons::OnMouseLeave(UINT, WPARAM, LPARAM, bool&) {
  StripLeave(hwnd(), m_hover);
  return 0;
}

LRESULT CTitle_Buttons::OnKillFocus(UINT msg, WPARAM wp, LPARAM lp, bool&) {
  m_hover.Reset();
  return Default(msg, wp, lp);
}

LRESULT CTitle_Buttons::OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, bool&) {
  const LRESULT r = Default(msg, wp, lp);
  OnButtonClick(HitAt(m_grid, lp));
  return r;
}

LRESULT CTitle_Buttons::OnEraseBkgnd(UINT, WPARAM wp, LPARAM, bool&) {
  HDC dc = reinterpret_cast<HDC>(wp);
  RECT client{};
  GetClientRect(hwnd(), &client);
  SetBkColor(dc, m_crBack);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
  Gdiplus::Graphics g(dc);
  DrawStrip(g, m_bMaximized ? m_a : m_b, m_grid, m_hover.hover(), client);
  return 1;
}

}  // namespace framework_window
