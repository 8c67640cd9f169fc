#include "mj_board_control.h"

#include <olectl.h>
#include <windowsx.h>

#include <cstddef>

#include "winkit/boundary.h"
#include "winkit/module.h"

// The board's tile record is the shared one.
static_assert(sizeof(mjcard) == sizeof(card));
static_assert(offsetof(mjcard, m_nColor) == offsetof(card, m_nColor));
static_assert(offsetof(mjcard, m_nValue) == offsetof(card, m_nValue));

namespace {

// Bitmaps of the board's tile art.
constexpr int kFaceSheet = 201;
constexpr int kFramesA = 205;  // 205-208, angles 0, 90, 180, 270
constexpr int kFramesB = 209;  // 209-212

// _IMjBoardEvents::Click
constexpr DISPID kDispClick = 1;

const card* Cards(const mjcard* cards) { return reinterpret_cast<const card*>(cards); }

HBITMAP LoadBoardBitmap(int id) {
  return static_cast<HBITMAP>(LoadImageW(winkit::Module::Instance(), MAKEINTRESOURCEW(id),
                                         IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace

CMjBoard::CMjBoard() : ControlBase(CLSID_MjBoard, IID__IMjBoardEvents, L"VitrineMjBoard") {
  OfferStandardInterfaces();
}

CMjBoard::~CMjBoard() = default;

void* CMjBoard::CastTo(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IMjBoard)
    return static_cast<IMjBoard*>(this);
  if (iid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
  return ControlBase::CastTo(iid);
}

// ---- IMjBoard ----

STDMETHODIMP CMjBoard::put_BackColor(OLE_COLOR clr) {
  return winkit::CallAtBoundary([&]() -> HRESULT {
    const HRESULT answer = RequestEdit(DISPID_BACKCOLOR);
    if (answer == S_FALSE) return answer;
    SetDirty(true);
    m_Board.PutBackColor(clr);
    PropertyChanged(DISPID_BACKCOLOR);
    // The board is repainted, still with the brush of the last SetBkColor.
    ViewChanged();
    DataChanged();
    return S_OK;
  });
}

STDMETHODIMP CMjBoard::get_BackColor(OLE_COLOR* pclr) {
  if (pclr) *pclr = m_Board.BackColor();
  return S_OK;
}

STDMETHODIMP CMjBoard::InsertRow(short id, short count, mjcard* cards) {
  return winkit::CallAtBoundary([&] {
    m_Board.InsertRow(id, count, Cards(cards));
    SyncRows();
  });
}

STDMETHODIMP CMjBoard::AddCards(short id, short count, mjcard* cards) {
  return winkit::CallAtBoundary([&] {
    m_Board.AddCards(id, count, Cards(cards));
    SyncRows();
  });
}

STDMETHODIMP CMjBoard::Update() {
  return winkit::CallAtBoundary([&] {
    // A hidden board (the client fills it before showing it) is painted when it shows; with
    // nothing listed there is nothing to draw, and the screen stays as it was.
    const HWND hwnd = ControlWindow();
    if (!hwnd || !IsWindowVisible(hwnd) || m_Board.DisplayList().empty()) return;
    RECT client;
    GetClientRect(hwnd, &client);
    winkit::WindowDc dc(hwnd);
    if (dc) Paint(dc.Get(), client);
  });
}

STDMETHODIMP CMjBoard::ClearAll() {
  return winkit::CallAtBoundary([&] {
    m_Board.ClearAll();
    SyncRows();
  });
}

STDMETHODIMP CMjBoard::SetBkColor(LONG color) {
  return winkit::CallAtBoundary([&] {
    const auto colour = static_cast<COLORREF>(color);
    m_Board.SetBkColor(colour);
    m_BkBrush.Reset(CreateSolidBrush(colour));
    if (m_Tiles)
      for (auto& row : m_Tiles->rows) row.SetBkColor(colour);
  });
}

STDMETHODIMP CMjBoard::InterfaceSupportsErrorInfo(REFIID iid) {
  return iid == IID_IMjBoard ? S_OK : S_FALSE;
}

// ---- the window ----

void CMjBoard::OnWindowCreated() {
  LoadTileResources(ControlWindow());
  if (!m_BkBrush) m_BkBrush.Reset(CreateSolidBrush(m_Board.BrushColour()));
}

void CMjBoard::OnWindowDestroying() {
  m_Tiles.reset();
  m_Buffer.reset();
}

void CMjBoard::LoadTileResources(HWND owner) {
  auto tiles = std::make_unique<BoardTileResources>();
  tiles->faceSheet.Reset(LoadBoardBitmap(kFaceSheet));
  for (int a = 0; a < 4; ++a) {
    tiles->framesA[a].Reset(LoadBoardBitmap(kFramesA + a));
    tiles->framesB[a].Reset(LoadBoardBitmap(kFramesB + a));
  }
  const HBITMAP none[5] = {};
  const HBITMAP faces[4] = {tiles->faceSheet.Get(), nullptr, nullptr, nullptr};
  HBITMAP framesA[4], framesB[4];
  for (int a = 0; a < 4; ++a) {
    framesA[a] = tiles->framesA[a].Get();
    framesB[a] = tiles->framesB[a].Get();
  }
  using S = board::RowSpriteSettings;
  for (auto& row : tiles->rows) {
    row.SetOwnerWnd(owner);
    row.CreateRowSprite(S::kKind, S::kAngle, S::kTopMargin, S::kMode, m_Board.RowColour(), none,
                        faces, framesA, framesB, nullptr, none);
    row.SetFaceOffset(S::kFaceOffsetX, S::kFaceOffsetY);
  }
  m_Tiles = std::move(tiles);
  // New sprites are empty: give them the rows as they are now.
  m_SyncedRevision = m_Board.Revision() - 1;
  SyncRows();
}

void CMjBoard::SyncRows() {
  if (!m_Tiles || m_SyncedRevision == m_Board.Revision()) return;
  for (int16_t r = 0; r < board::kRowCount; ++r) {
    sprites::RowSpriteHolder& row = m_Tiles->rows[static_cast<size_t>(r)];
    row.ClearAll();
    for (const board::Group& g : m_Board.Groups(r))
      row.AddCards(static_cast<int16_t>(g.size()), g.data());
  }
  m_SyncedRevision = m_Board.Revision();
}

int32_t CMjBoard::RowHeight() const {
  if (!m_Tiles) return 0;
  uint16_t w = 0, h = 0;
  m_Tiles->rows[0].GetSize(w, h);
  return h;
}

void CMjBoard::DrawRows(HDC dc, int32_t width, int32_t height) {
  if (!m_Tiles) return;
  SyncRows();
  std::array<board::RowSize, board::kRowCount> sizes;
  for (size_t r = 0; r < sizes.size(); ++r) {
    uint16_t w = 0, h = 0;
    m_Tiles->rows[r].GetSize(w, h);
    sizes[r] = {w, h};
  }
  for (const board::RowPlacement& p : board::LayoutRows(m_Board.DisplayList(), width, height, sizes)) {
    sprites::RowSpriteHolder& row = m_Tiles->rows[static_cast<size_t>(p.row)];
    const RECT rect = {p.left, p.top, p.right, p.bottom};
    row.EnableDraw(1);
    row.Draw(dc, &rect);
  }
}

void CMjBoard::Paint(HDC dc, const RECT& area) {
  const int32_t w = area.right - area.left, h = area.bottom - area.top;
  if (!dc || w <= 0 || h <= 0) return;
  if (!m_BkBrush) m_BkBrush.Reset(CreateSolidBrush(m_Board.BrushColour()));
  // Drawn off screen first, so the background never shows alone between two paints.
  const HDC buffer = BufferFor(w, h);
  if (!buffer) {
    RECT r = area;
    FillRect(dc, &r, m_BkBrush.Get());
    POINT origin;
    OffsetViewportOrgEx(dc, area.left, area.top, &origin);
    DrawRows(dc, w, h);
    SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
    return;
  }
  const RECT all = {0, 0, w, h};
  FillRect(buffer, &all, m_BkBrush.Get());
  DrawRows(buffer, w, h);
  BitBlt(dc, area.left, area.top, w, h, buffer, 0, 0, SRCCOPY);
}

HDC CMjBoard::BufferFor(int32_t w, int32_t h) {
  if (m_Buffer && m_Buffer->width == w && m_Buffer->height == h) return m_Buffer->dc.Get();
  m_Buffer.reset();
  // Made like the screen, whatever DC this paint goes to: the buffer serves later paints on
  // the window too.
  winkit::WindowDc screen(nullptr);
  if (!screen) return nullptr;
  auto made = std::make_unique<PaintBuffer>();
  made->dc.Reset(CreateCompatibleDC(screen.Get()));
  if (!made->dc) return nullptr;
  made->bitmap.Reset(CreateCompatibleBitmap(screen.Get(), w, h));
  if (!made->bitmap) return nullptr;
  made->selection.emplace(made->dc.Get(), made->bitmap.Get());
  made->width = w;
  made->height = h;
  m_Buffer = std::move(made);
  return m_Buffer->dc.Get();
}

HRESULT CMjBoard::OnDraw(HDC dc, const RECT& bounds) {
  return winkit::CallAtBoundary([&] { Paint(dc, bounds); });
}

LRESULT CMjBoard::OnEraseBkgnd(UINT, WPARAM wp, LPARAM, bool&) {
  // Inside BeginPaint the paint below draws the whole board; erasing first would draw it twice.
  if (m_bPainting) return 1;
  RECT client;
  GetClientRect(ControlWindow(), &client);
  Paint(reinterpret_cast<HDC>(wp), client);
  return 1;
}

LRESULT CMjBoard::OnPaint(UINT, WPARAM, LPARAM, bool&) {
  m_bPainting = true;
  winkit::PaintDc dc(ControlWindow());
  m_bPainting = false;
  if (!dc.Get()) return 0;
  RECT client;
  GetClientRect(ControlWindow(), &client);
  Paint(dc.Get(), client);
  return 0;
}

void CMjBoard::Report(size_t index) {
  // The board is repainted and the row's position in the display list reported.
  InvalidateRect(ControlWindow(), nullptr, TRUE);
  Events().Fire(kDispClick, {winkit::EventArg::I2(static_cast<int16_t>(index))});
}

LRESULT CMjBoard::OnLButtonDown(UINT, WPARAM, LPARAM lp, bool&) {
  RECT client;
  GetClientRect(ControlWindow(), &client);
  if (const auto hit = m_Board.Press(client.bottom, RowHeight(), GET_Y_LPARAM(lp))) Report(*hit);
  return 0;
}

LRESULT CMjBoard::OnLButtonDblClk(UINT, WPARAM, LPARAM lp, bool&) {
  RECT client;
  GetClientRect(ControlWindow(), &client);
  if (const auto hit = m_Board.DoubleClick(client.bottom, RowHeight(), GET_Y_LPARAM(lp)))
    Report(*hit);
  return 0;
}
