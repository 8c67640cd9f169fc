#include "wall_mj_poke.h"

#include <algorithm>

namespace sprites {

namespace {

constexpr int32_t kDieSize = 24;

// Wall size without a fixed size: a side of upright stacks, with a lying stack above and below.
void WallSize(const TileWall& wall, BitmapSize stack, uint16_t& w, uint16_t& h) {
  if (wall.FixedSize()) {
    w = wall.FixedWidth();
    h = wall.FixedHeight();
    return;
  }
  const int32_t side = wall.StacksPerSide();
  w = static_cast<uint16_t>(side * stack.width / 2);
  h = static_cast<uint16_t>(side * stack.width / 2 + 2 * stack.height);
}

void AddDie(std::vector<DrawOp>& ops, int16_t value, int32_t x, int32_t y) {
  if (value < 0 || value > 5) return;
  ops.push_back({DrawSource::Dice, value, 0, 0, kDieSize, kDieSize, x, y});
}

// One stack: the lower tile, then the upper one above it (or in its place when it is gone).
void AddStack(std::vector<DrawOp>& ops, const TileWall& wall, int32_t stack, int16_t bitmap,
              int32_t w, int32_t h, int32_t lowerX, int32_t lowerY, int32_t upperX,
              int32_t upperY) {
  const bool lower = wall.Present(2 * stack), upper = wall.Present(2 * stack + 1);
  if (lower) ops.push_back({DrawSource::Stack, bitmap, 0, 0, w, h, lowerX, lowerY});
  if (upper)
    ops.push_back({DrawSource::Stack, bitmap, 0, 0, w, h, lower ? upperX : lowerX,
                   lower ? upperY : lowerY});
}

void AddWallFrame(SpriteDrawing& d, bool shown, const PixelRect& r) {
  if (!shown) return;
  d.ops.push_back({DrawSource::FrameRect, 1, 0, 0, r.right - r.left, r.bottom - r.top, r.left, r.top});
}

// The frame round the face of the last discard.
bool LastDiscardFrame(const CMatrix_Mj_Poke& m, uint16_t W, uint16_t H, PixelRect& out) {
  const int32_t i = m.PlacedCount() - 1;
  if (i < 0 || !m.Placed()[static_cast<size_t>(i)].Used()) return false;
  uint16_t mw = 0, mh = 0;
  m.GetMatrixSize(mw, mh);
  const PlacedCard& p = m.Placed()[static_cast<size_t>(i)];
  const int32_t tx = p.column * m.CellWidth() + (W - mw) / 2;
  const int32_t ty = p.row * m.CellHeight() + (H - mh) / 2;
  out = {tx + 4, ty + 4, tx + 4 + m.FaceCellWidth() - 1, ty + 4 + m.FaceCellHeight() - 2};
  return true;
}

}  // namespace

// ---- TileWall ----

void TileWall::InitWall(int16_t num) {
  if (num < 1) return;
  m_nLength = num;
  m_nStacksPerSide = static_cast<int16_t>(num / (2 * m_nSides));
  m_Present.assign(static_cast<size_t>(num), 1);
  m_nHead = static_cast<int16_t>(Wrap(m_nHead));
  m_nTail = static_cast<int16_t>(Wrap(m_nTail));
}

int32_t TileWall::Wrap(int32_t pos) const {
  if (m_nLength <= 0) return 0;
  const int32_t r = pos % m_nLength;
  return r < 0 ? r + m_nLength : r;
}

void TileWall::PlaceHead(int32_t head) {
  m_nHead = static_cast<int16_t>(Wrap(head));
  m_nTail = static_cast<int16_t>(Wrap(head + 1));
}

int32_t TileWall::PresentCount() const {
  return static_cast<int32_t>(std::count(m_Present.begin(), m_Present.end(), uint16_t{1}));
}

void TileWall::DeleteFromHead(int16_t num) {
  if (!HasWall() || num < 1) return;
  const int32_t n = std::min<int32_t>(num, PresentCount());
  int32_t pos = Wrap(m_nHead);
  for (int32_t k = 0; k < n; ++k) {
    m_Present[static_cast<size_t>(pos)] = 0;
    pos = Wrap(pos - 1);
  }
  m_nHead = static_cast<int16_t>(pos);
}

void TileWall::DeleteFromTail(int16_t num) {
  if (!HasWall() || num < 1) return;
  const int32_t n = std::min<int32_t>(num, PresentCount());
  int32_t pos = Wrap(m_nTail);
  for (int32_t k = 0; k < n; ++k) {
    m_Present[static_cast<size_t>(pos)] = 0;
    pos = Wrap(pos + 1);
  }
  m_nTail = static_cast<int16_t>(pos);
}

void TileWall::ShowDice(int16_t seat, int16_t die1, int16_t die2) {
  if (seat == -1) {  // 0xFFFF
    m_bDice = false;
    m_nDiceSeat = -1;
    m_nDie1 = m_nDie2 = -1;
    return;
  }
  m_bDice = true;
  m_nDiceSeat = seat;
  m_nDie1 = die1;
  m_nDie2 = die2;
}

// ---- CWall_Mj_Poke (four sides) ----

void CWall_Mj_Poke::SetFirstPosition(int16_t loc, int16_t pos) {
  m_bDice = false;
  const int32_t side = m_nStacksPerSide;
  int32_t start = 0;
  switch (loc) {
    case 0: start = 2 * side; break;
    case 1: start = 3 * side; break;
    case 2: start = 0; break;
    case 3: start = side; break;
    default: return;
  }
  PlaceHead(2 * (start + pos) + 1);
}

void CWall_Mj_Poke::GetSize(uint16_t& w, uint16_t& h) const { WallSize(*this, m_StackSize, w, h); }

void CWall_Mj_Poke::ShowFrame() {
  uint16_t W = 0, H = 0;
  GetSize(W, H);
  if (LastDiscardFrame(*this, W, H, m_FrameRect)) m_bFrame = true;
}

void CWall_Mj_Poke::LayoutWall(SpriteDrawing& d, bool faceDownDiscards) const {
  uint16_t W = 0, H = 0;
  GetSize(W, H);
  const int32_t sw = m_StackSize.width / 2, sh = m_StackSize.height;
  const int32_t lw = m_LyingStackSize.width / 2, lh = m_LyingStackSize.height;
  const int32_t side = m_nStacksPerSide;
  const bool fixed = FixedSize();
  const int32_t fw = m_nFixedW, fh = m_nFixedH;

  const int32_t xA = fixed ? (fw - side * sw) / 2 : 0;
  for (int32_t s = 0; s < side; ++s)
    AddStack(d.ops, *this, s, 2, sw, sh, xA + s * sw, 0, xA + s * sw, -5);

  const int32_t yB = fixed ? (fh - side * sw) / 2 : sh;
  for (int32_t s = 0; s < side; ++s)
    AddStack(d.ops, *this, side + s, 1, lw, lh, W - sh - 5, yB + s * sw, W - sh - 10, yB + s * sw);

  const int32_t xC = fixed ? (fw - side * sw) / 2 + (side - 1) * sw : (side - 1) * sw;
  const int32_t yC = fixed ? fh - sh : side * sw + sh;
  for (int32_t s = 0; s < side; ++s)
    AddStack(d.ops, *this, 2 * side + s, 0, sw, sh, xC - s * sw, yC - 3, xC - s * sw, yC - 8);

  const int32_t yD = fixed ? (fh - side * sw) / 2 - sw + side * sw : (side - 1) * sw + sh;
  for (int32_t s = 0; s < side; ++s)
    AddStack(d.ops, *this, 3 * side + s, 3, lw, lh, 0, yD - s * sw, -5, yD - s * sw);

  uint16_t mw = 0, mh = 0;
  GetMatrixSize(mw, mh);
  LayoutPlaced(d, (W - mw) / 2, (H - mh) / 2, faceDownDiscards);
}

SpriteDrawing CWall_Mj_Poke::LayoutDraw(const PixelRect& rect) const {
  SpriteDrawing d;
  if (!m_bDrawEnabled) return d;
  d.drawn = true;
  d.width = rect.right - rect.left;
  d.height = rect.bottom - rect.top;
  d.x = rect.left;
  d.y = rect.top;
  d.brushBackground = true;
  d.tile = m_nMode == 2 ? TileSource::FaceDown : TileSource::Frame;
  if (!HasWall()) return d;
  d.usesStacks = true;
  LayoutWall(d, m_nMode == 2);
  AddWallFrame(d, m_bFrame, m_FrameRect);
  if (m_bDice && m_nDiceSeat >= 0) {
    const int32_t fw = m_nFixedW, fh = m_nFixedH;
    int32_t x = 0, y = 0, dx = 0, dy = 0;
    switch (m_nDiceSeat) {
      case 0: x = (fw - 72) / 2; y = fh - 96; dx = 48; break;
      case 1: x = 48; y = (fh - 72) / 2; dy = 48; break;
      case 2: x = (fw - 72) / 2; y = 48; dx = 48; break;
      case 3: x = fw - 72; y = (fh - 72) / 2; dy = 48; break;
      default: break;
    }
    AddDie(d.directOps, m_nDie1, rect.left + x, rect.top + y);
    AddDie(d.directOps, m_nDie2, rect.left + x + dx, rect.top + y + dy);
  }
  return d;
}

// ---- CWall_Mj_Poke_2_90 (two players) ----

void CWall_Mj_Poke_2_90::SetFirstPosition(int16_t loc, int16_t pos) {
  m_bDice = false;
  if (loc == 0) PlaceHead(2 * pos + 1);
  else if (loc == 1) PlaceHead(2 * (m_nStacksPerSide + pos) + 1);
}

void CWall_Mj_Poke_2_90::GetSize(uint16_t& w, uint16_t& h) const {
  WallSize(*this, m_StackSize, w, h);
}

void CWall_Mj_Poke_2_90::ShowFrame() {
  uint16_t W = 0, H = 0;
  GetSize(W, H);
  if (LastDiscardFrame(*this, W, H, m_FrameRect)) m_bFrame = true;
}

void CWall_Mj_Poke_2_90::LayoutWall(SpriteDrawing& d) const {
  uint16_t W = 0, H = 0;
  GetSize(W, H);
  const int32_t sw = m_StackSize.width / 2, sh = m_StackSize.height;
  const int32_t side = m_nStacksPerSide;
  const bool fixed = FixedSize();
  const int32_t fw = m_nFixedW, fh = m_nFixedH;

  // Near row: stack 0 rightmost, running leftward.
  const int32_t x0 = fixed ? (fw - side * sw) / 2 + (side - 1) * sw : (side - 1) * sw;
  const int32_t y0 = fixed ? fh - sh - 3 : side * sw + sh;
  for (int32_t s = 0; s < side; ++s)
    AddStack(d.ops, *this, s, 0, sw, sh, x0 - s * sw, y0, x0 - s * sw, y0 - 8);

  // Far row.
  const int32_t x1 = (fw - side * sw) / 2 + (side - 1) * sw;
  for (int32_t s = 0; s < side; ++s)
    AddStack(d.ops, *this, side + s, 0, sw, sh, x1 - s * sw, 12, x1 - s * sw, 4);

  uint16_t mw = 0, mh = 0;
  GetMatrixSize(mw, mh);
  LayoutPlaced(d, (W - mw) / 2, (H - mh) / 2, false);
}

void CWall_Mj_Poke_2_90::LayoutWallEx(SpriteDrawing& d) const {
  uint16_t W = 0, H = 0;
  GetSize(W, H);
  const int32_t sw = m_StackSize.width / 2, sh = m_StackSize.height;
  const int32_t side = m_nStacksPerSide;
  const bool fixed = FixedSize();
  const int32_t fw = m_nFixedW, fh = m_nFixedH;

  const int32_t xoff = fixed ? (fw - side * sw) / 2 : 0;
  for (int32_t s = 0; s < side; ++s)
    AddStack(d.ops, *this, s, 2, sw, sh, xoff + s * sw, 0, xoff + s * sw, -5);

  const int32_t x1 = fixed ? (fw - side * sw) / 2 + (side - 1) * sw : (side - 1) * sw;
  const int32_t y1 = fixed ? fh - sh : side * sw + sh;
  for (int32_t s = 0; s < side; ++s)
    AddStack(d.ops, *this, side + s, 0, sw, sh, x1 - s * sw, y1 - 3, x1 - s * sw, y1 - 8);

  uint16_t mw = 0, mh = 0;
  GetMatrixSize(mw, mh);
  LayoutPlaced(d, (W - mw) / 2, (H - mh) / 2, true);
}

SpriteDrawing CWall_Mj_Poke_2_90::LayoutDraw(const PixelRect& rect) const {
  SpriteDrawing d;
  // Without a wall nothing reaches the target.
  if (!m_bDrawEnabled || !HasWall()) return d;
  d.drawn = true;
  d.width = rect.right - rect.left;
  d.height = rect.bottom - rect.top;
  d.x = rect.left;
  d.y = rect.top;
  d.usesStacks = true;
  d.tile = m_nMode == 2 ? TileSource::FaceDown : TileSource::Frame;
  if (m_nMode == 2) LayoutWallEx(d);
  else LayoutWall(d);
  AddWallFrame(d, m_bFrame, m_FrameRect);
  if (m_bDice && m_nDiceSeat >= 0) {
    const int32_t fw = m_nFixedW, fh = m_nFixedH;
    int32_t x = 0, y = 0, dx = 48;
    if (m_nDiceSeat == 0) { x = (fw - 72) / 2; y = fh - 96; }
    else if (m_nDiceSeat == 1) { x = (fw - 72) / 2; y = 48; }
    else dx = 0;
    AddDie(d.ops, m_nDie1, x, y);
    AddDie(d.ops, m_nDie2, x + dx, y);
  }
  return d;
}

}  // namespace sprites
