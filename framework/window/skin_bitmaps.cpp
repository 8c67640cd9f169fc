#include "skin_bitmaps.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include "image_buttons.h"
#include "text_copy.h"

namespace framework_window {

void LoadResString(HMODULE module, UINT id, std::string& out) {
  char buf[256] = {};
  if (module) LoadStringA(module, id, buf, 255);
  out = buf;
}

std::string LoadResString(HMODULE module, UINT id) {
  std::string s;
  LoadResString(module, id, s);
  return s;
}

HBITMAP LoadSkinBitmap(HMODULE module, const char* name) {
  if (!module || !name || !*name) return nullptr;
  return static_cast<HBITMAP>(LoadImageA(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

layout::Size BitmapSize(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || !GetObjectW(bitmap, sizeof bm, &bm)) return layout::Size{};
  return layout::Size{bm.bmWidth, std::abs(bm.bmHeight)};
}

namespace {

// A run of tiles of one piece, each copied from the piece's top-left corner, that lie edge to
// edge along one line: one pattern fill gives the same pixels as the copies.
bool TileRun(const std::vector<layout::Blit>& blits, size_t from, size_t* end) {
  const layout::Blit& first = blits[from];
  if (first.src.left != 0 || first.src.top != 0 || first.dst.Width() != first.src.Width() ||
      first.dst.Height() != first.src.Height())
    return false;
  size_t i = from + 1;
  layout::Rect last = first.dst;
  for (; i < blits.size(); ++i) {
    const layout::Blit& b = blits[i];
    if (b.piece != first.piece || b.src.left != 0 || b.src.top != 0 || b.dst.Empty() ||
        b.dst.Width() != b.src.Width() || b.dst.Height() != b.src.Height())
      break;
    const bool across = b.dst.top == last.top && b.dst.left == last.right &&
                        b.dst.Height() == last.Height();
    const bool down = b.dst.left == last.left && b.dst.top == last.bottom &&
                      b.dst.Width() == last.Width();
    if (!across && !down) break;
    last = b.dst;
  }
  *end = i;
  return i - from >= 3;
}

}  // namespace

void DrawBlits(HDC dc, const std::vector<layout::Blit>& blits,
               HBITMAP (*piece)(const void* owner, layout::Piece), const void* owner) {
  // Tiles that follow one another in the plan are gathered per piece first.
  std::vector<layout::Blit> ordered(blits);
  std::stable_sort(ordered.begin(), ordered.end(), [](const layout::Blit& a, const layout::Blit& b) {
    return static_cast<int>(a.piece) < static_cast<int>(b.piece);
  });
  winkit::UniqueDc mem(CreateCompatibleDC(dc));
  if (!mem) return;
  HGDIOBJ original = nullptr;
  for (size_t i = 0; i < ordered.size();) {
    const layout::Blit& b = ordered[i];
    HBITMAP bitmap = b.dst.Empty() || b.src.Empty() ? nullptr : piece(owner, b.piece);
    if (!bitmap) {
      ++i;
      continue;
    }
    size_t end = i + 1;
    if (TileRun(ordered, i, &end)) {
      const layout::Rect& last = ordered[end - 1].dst;
      winkit::UniqueBrush pattern(CreatePatternBrush(bitmap));
      if (pattern) {
        POINT old_origin;
        SetBrushOrgEx(dc, b.dst.left, b.dst.top, &old_origin);
        winkit::SelectedObject brush(dc, pattern.Get());
        PatBlt(dc, b.dst.left, b.dst.top, last.right - b.dst.left, last.bottom - b.dst.top,
               PATCOPY);
        SetBrushOrgEx(dc, old_origin.x, old_origin.y, nullptr);
        i = end;
        continue;
      }
    }
    HGDIOBJ old = SelectObject(mem.Get(), bitmap);
    if (!original) original = old;
    if (b.dst.Width() == b.src.Width() && b.dst.Height() == b.src.Height()) {
      BitBlt(dc, b.dst.left, b.dst.top, b.dst.Width(), b.dst.Height(), mem.Get(), b.src.left,
             b.src.top, SRCCOPY);
    } else {
      SetStretchBltMode(dc, COLORONCOLOR);
      StretchBlt(dc, b.dst.left, b.dst.top, b.dst.Width(), b.dst.Height(), mem.Get(), b.src.left,
                 b.src.top, b.src.Width(), b.src.Height(), SRCCOPY);
    }
    ++i;
  }
  if (original) SelectObject(mem.Get(), original);
}

// --- NinePartFrame ------------------------------------------------------------------------

void NinePartFrame::Load(HMODULE module, const char* top_left, const char* top_right,
                         const char* bottom_left, const char* bottom_right, const char* left,
                         const char* top, const char* right, const char* bottom,
                         const char* ornament) {
  const char* names[kCount] = {top_left, top_right, bottom_left, bottom_right,
                               top,      left,      right,       bottom};
  for (int i = 0; i < kCount; ++i) m_pieces[i].Reset(LoadSkinBitmap(module, names[i]));
  if (ornament) m_ornament.Reset(LoadSkinBitmap(module, ornament));
}

bool NinePartFrame::Complete() const {
  return std::all_of(std::begin(m_pieces), std::end(m_pieces),
                     [](const winkit::UniqueBitmap& b) { return static_cast<bool>(b); });
}

void NinePartFrame::Free() {
  for (auto& p : m_pieces) p.Reset();
  m_ornament.Reset();
  m_cache.Reset();
  m_nCacheWidth = m_nCacheHeight = 0;
}

HBITMAP NinePartFrame::PieceOf(layout::Piece p) const {
  using layout::Piece;
  switch (p) {
    case Piece::kTopLeft: return m_pieces[kTopLeft].Get();
    case Piece::kTopRight: return m_pieces[kTopRight].Get();
    case Piece::kBottomLeft: return m_pieces[kBottomLeft].Get();
    case Piece::kBottomRight: return m_pieces[kBottomRight].Get();
    case Piece::kTopEdge: return m_pieces[kTop].Get();
    case Piece::kLeftEdge: return m_pieces[kLeft].Get();
    case Piece::kRightEdge: return m_pieces[kRight].Get();
    case Piece::kBottomEdge: return m_pieces[kBottom].Get();
    case Piece::kOrnament: return m_ornament.Get();
    default: return nullptr;
  }
}

void NinePartFrame::Draw(HDC dc, int x, int y, int w, int h) const {
  if (!Complete()) return;
  const layout::NinePartPlan plan = layout::PlanNinePart(
      x, y, w, h, BitmapSize(m_pieces[kTopLeft].Get()), BitmapSize(m_ornament.Get()));
  if (!plan.fill.Empty()) {
    const RECT r{plan.fill.left, plan.fill.top, plan.fill.right, plan.fill.bottom};
    const COLORREF old = SetBkColor(dc, m_crFill);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    SetBkColor(dc, old);
  }
  DrawBlits(
      dc, plan.blits,
      [](const void* self, layout::Piece p) {
        return static_cast<const NinePartFrame*>(self)->PieceOf(p);
      },
      this);
}

void NinePartFrame::DrawClipped(HDC dc, int fx, int fy, int fw, int fh, int x, int y, int w,
                                int h) {
  if (fw <= 0 || fh <= 0) return;
  winkit::UniqueDc mem(CreateCompatibleDC(dc));
  if (!mem) return;
  if (!m_cache || m_nCacheWidth != fw || m_nCacheHeight != fh) {
    m_cache.Reset(CreateCompatibleBitmap(dc, fw, fh));
    if (!m_cache) return;
    m_nCacheWidth = static_cast<int16_t>(fw);
    m_nCacheHeight = static_cast<int16_t>(fh);
    winkit::SelectedObject keep(mem.Get(), m_cache.Get());
    Draw(mem.Get(), 0, 0, fw, fh);
  }
  winkit::SelectedObject keep(mem.Get(), m_cache.Get());
  BitBlt(dc, x, y, w, h, mem.Get(), x - fx, y - fy, SRCCOPY);
}

// --- ThreePartStrip -----------------------------------------------------------------------

void ThreePartStrip::Load(HMODULE module, const char* left, const char* middle, const char* right) {
  m_left.Reset(LoadSkinBitmap(module, left));
  m_middle.Reset(LoadSkinBitmap(module, middle));
  m_right.Reset(LoadSkinBitmap(module, right));
}

void ThreePartStrip::Free() {
  m_left.Reset();
  m_middle.Reset();
  m_right.Reset();
}

void ThreePartStrip::Run(HDC dc, const std::vector<layout::Blit>& blits) const {
  DrawBlits(
      dc, blits,
      [](const void* owner, layout::Piece p) -> HBITMAP {
        auto* self = static_cast<const ThreePartStrip*>(owner);
        switch (p) {
          case layout::Piece::kLeft: return self->m_left.Get();
          case layout::Piece::kMiddle: return self->m_middle.Get();
          case layout::Piece::kRight: return self->m_right.Get();
          default: return nullptr;
        }
      },
      this);
}

void ThreePartStrip::Draw(HDC dc, int x, int y, int w) const {
  if (m_left) Run(dc, layout::PlanThreePart(x, y, w, LeftSize()));
}

void ThreePartStrip::DrawTiledCaption(HDC dc, int x, int y, int w) const {
  if (m_left) Run(dc, layout::PlanTiledCaption(x, y, w, LeftSize()));
}

void ThreePartStrip::DrawStretchedCaption(HDC dc, int x, int y, int w, int h) const {
  if (m_left)
    Run(dc, layout::PlanStretchedCaption(x, y, w, h, LeftSize(), BitmapSize(m_middle.Get())));
}

// --- CSplitter_Wnd ------------------------------------------------------------------------

HWND CSplitter_Wnd::Create(HWND parent, UINT id, DWORD style) {
  return winkit::Window::Create(L"KorvelSplitterBar", L"", style, 0, RECT{0, 0, 0, 0}, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

LRESULT CSplitter_Wnd::OnEraseBkgnd(UINT, WPARAM wp, LPARAM, bool&) {
  RECT r{};
  GetClientRect(hwnd(), &r);
  HDC dc = reinterpret_cast<HDC>(wp);
  if (m_pBrush) {
    FillRect(dc, &r, m_pBrush);
  } else {
    const COLORREF old = SetBkColor(dc, RGB(255, 0, 0));
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    SetBkColor(dc, old);
  }
  return 1;
}

// --- CImage_Preview -----------------------------------------------------------------------

CImage_Preview::~CImage_Preview() {
  if (m_hTip && IsWindow(m_hTip)) DestroyWindow(m_hTip);
  Destroy();
}

HWND CImage_Preview::Create(HWND parent, UINT id, const RECT& rect, DWORD style) {
  return winkit::Window::Create(L"KorvelImagePreview", L"", style, 0, rect, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

void CImage_Preview::SetItems(const std::vector<PreviewItem>* items, const RECT& rect,
                              int16_t cell_w, int16_t cell_h) {
  m_items = items;
  m_hOwner = nullptr;
  m_pictures.clear();
  m_pages.SetItems(items ? static_cast<int32_t>(items->size()) : 0, rect.right - rect.left,
                   rect.bottom - rect.top, cell_w, cell_h);
  if (hwnd() && !m_hTip) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    m_hTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(),
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    if (m_hTip) SendMessageW(m_hTip, TTM_ACTIVATE, TRUE, 0);
  }
  m_tips.clear();
  if (items)
    for (const PreviewItem& item : *items)
      m_tips.emplace_back(item.name.substr(0, CutGbkText(item.name.data(), item.name.size(), 79)));
  ShowPage();
}

void CImage_Preview::ShowPage() {
  if (hwnd()) {
    RECT client{};
    GetClientRect(hwnd(), &client);
    m_pages.SetArea(client.right, client.bottom);
  }
  const int32_t start = m_pages.PageStart(), per = m_pages.PerPage();
  const int32_t n = m_items ? static_cast<int32_t>(m_items->size()) : 0;
  if (start >= static_cast<int32_t>(m_pictures.size())) {
    for (int32_t i = static_cast<int32_t>(m_pictures.size()); i < std::min(start + per, n); ++i)
      m_pictures.push_back(LoadPicture((*m_items)[static_cast<size_t>(i)].picture.c_str()));
  }
  if (!m_hTip) return;
  while (SendMessageW(m_hTip, TTM_GETTOOLCOUNT, 0, 0) > 0) {
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    if (!SendMessageW(m_hTip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&ti))) break;
    SendMessageW(m_hTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }
  for (int32_t cell = 0; cell < per; ++cell) {
    const layout::Rect r = m_pages.CellRect(cell);
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = hwnd();
    ti.uId = static_cast<UINT_PTR>(start + cell) + 1;
    ti.rect = RECT{r.left, r.top, r.right, r.bottom};
    ti.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(m_hTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

bool CImage_Preview::PrevPage() {
  if (!m_pages.PrevPage()) return false;
  ShowPage();
  return true;
}

bool CImage_Preview::NextPage() {
  if (!m_pages.NextPage()) return false;
  ShowPage();
  return true;
}

void CImage_Preview::SetBackground(const char* path) { m_background = LoadPicture(path); }

void CImage_Preview::OnButtonClick(int16_t index) {
  SendMessageW(m_hOwner, kMsgItemChosen, static_cast<WPARAM>(static_cast<uint16_t>(index)), 0);
}

LRESULT CImage_Preview::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (m_hTip && msg != WM_NOTIFY) {
    MSG relay{hwnd(), msg, wp, lp, static_cast<DWORD>(GetMessageTime()), {}};
    const DWORD pos = GetMessagePos();
    relay.pt = POINT{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
    SendMessageW(m_hTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
  }
  return winkit::Window::HandleMessage(msg, wp, lp);
}

LRESULT CImage_Preview::OnMouseMove(UINT msg, WPARAM wp, LPARAM lp, bool&) {
  const LRESULT r = Default(msg, wp, lp);
  if ((wp & MK_LBUTTON) && !m_bTracking) return r;
  POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  POINT screen = p;
  ClientToScreen(hwnd(), &screen);
  if (WindowFromPoint(screen) != hwnd() || !GetActiveWindow()) return r;
  // The cell under the pointer on this page; -1 (no item) outside every cell.
  const int32_t item = m_pages.ItemAt(layout::Point{p.x, p.y});
  if (item == m_nHover && m_bTracking) return r;
  m_nHover = item;
  m_bTracking = true;
  TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd(), 0};
  TrackMouseEvent(&tme);
  return r;
}

LRESULT CImage_Preview::OnMouseLeave(UINT, WPARAM, LPARAM, bool&) {
  m_bTracking = false;
  m_nHover = -1;
  InvalidateRect(hwnd(), nullptr, TRUE);
  return 0;
}

LRESULT CImage_Preview::OnKillFocus(UINT msg, WPARAM wp, LPARAM lp, bool&) {
  m_bTracking = false;
  m_nHover = -1;
  return Default(msg, wp, lp);
}

LRESULT CImage_Preview::OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, bool&) {
  const LRESULT r = Default(msg, wp, lp);
  const int32_t item = m_pages.ItemAt(layout::Point{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
  if (item >= 0) OnButtonClick(static_cast<int16_t>(item));
  return r;
}

LRESULT CImage_Preview::OnEraseBkgnd(UINT, WPARAM wp, LPARAM, bool&) {
  HDC dc = reinterpret_cast<HDC>(wp);
  RECT client{};
  GetClientRect(hwnd(), &client);
  {
    Gdiplus::Graphics g(dc);
    if (m_background) {
      const Gdiplus::Point corners[3] = {{0, 0}, {client.right, 0}, {0, client.bottom}};
      g.DrawImage(m_background.get(), corners, 3);
    }
    const int32_t start = m_pages.PageStart();
    for (int32_t cell = 0; cell < m_pages.PerPage(); ++cell) {
      const size_t i = static_cast<size_t>(start + cell);
      if (i >= m_pictures.size() || !m_pictures[i]) continue;
      const layout::Rect r = m_pages.CellRect(cell);
      g.DrawImage(m_pictures[i].get(), r.left + 1, r.top + 1, r.Width() - 2, r.Height() - 2);
    }
  }
  winkit::SelectedObject pen(dc, m_gridPen.Get());
  const layout::Rect cell = m_pages.CellRect(0);
  const int cw = cell.Width(), ch = cell.Height();
  for (int i = 1; i < m_pages.columns(); ++i) {
    MoveToEx(dc, i * cw, 0, nullptr);
    LineTo(dc, i * cw, m_pages.rows() * ch);
  }
  for (int i = 1; i < m_pages.rows(); ++i) {
    MoveToEx(dc, 0, i * ch, nullptr);
    LineTo(dc, m_pages.columns() * cw, i * ch);
  }
  return 0;
}

LRESULT CImage_Preview::OnNotify(UINT, WPARAM, LPARAM lp, bool& handled) {
  return AnswerTipRequest(m_hTip, m_tips, lp, handled);
}

}  // namespace framework_window
