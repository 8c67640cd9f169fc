#include "comm_poke.h"

#include <algorithm>

namespace sprites {

BitmapSize NextBackBufferSize(BitmapSize have, int32_t w, int32_t h) {
  if (have.width > 0 && have.height > 0) {
    if (have.width >= w && have.height >= h) return have;
    return {w, h};
  }
  // A first buffer is at least 180 x 100 unless the sprite needs more in either direction.
  if (w >= 180 || h >= 100) return {w, h};
  return {180, 100};
}

// ---- CCommPoke ----

void CCommPoke::RemoveCard(int32_t color, int32_t value) {
  auto it = std::find(m_Cards.begin(), m_Cards.end(), card{color, value});
  if (it != m_Cards.end()) m_Cards.erase(it);
}

void CCommPoke::ClearAll() {
  m_Cards.clear();
  ClearSelection();
}

void CCommPoke::RemoveAt(int16_t index) {
  if (index < 0 || index >= static_cast<int32_t>(m_Cards.size())) return;
  m_Cards.erase(m_Cards.begin() + index);
}

void CCommPoke::RemoveFirst(int16_t n) {
  if (n < 1) return;
  const size_t k = std::min<size_t>(static_cast<size_t>(n), m_Cards.size());
  m_Cards.erase(m_Cards.begin(), m_Cards.begin() + static_cast<ptrdiff_t>(k));
}

void CCommPoke::AddCards(int16_t count, const card* cards) {
  if (count < 1 || cards == nullptr) return;
  m_Cards.insert(m_Cards.end(), cards, cards + count);
}

std::optional<card> CCommPoke::CardAt(int32_t k) const {
  if (k < 0 || k >= static_cast<int32_t>(m_Cards.size())) return std::nullopt;
  return m_Cards[static_cast<size_t>(k)];
}

bool CCommPoke::IsSelected(int32_t index) const {
  return std::find(m_Selection.begin(), m_Selection.end(), static_cast<uint16_t>(index)) !=
         m_Selection.end();
}

// ---- CMj_Poke ----

CMj_Poke::CMj_Poke(OwnerWindow owner, SpriteBuild build)
    : CColor_Seperator_Poke(owner), m_Build(build) {
  m_nFaceX = 5;
  m_nFaceY = 5;
}

int CMj_Poke::AngleIndex(uint16_t angle) {
  switch (angle) {
    case 90: return 1;
    case 180: return 2;
    case 270: return 3;
    default: return 0;
  }
}

void CMj_Poke::Init(uint16_t angle, int16_t topMargin, uint16_t mode, uint32_t background,
                    const SpriteBitmapSizes& sizes) {
  m_nMode = mode;
  m_nAngle = angle;
  m_BkColor = background;
  m_nRaise = topMargin;

  // Face cells: 9 values by 8 colours upright, 8 by 9 on the turned sheets.
  const bool turned = (angle == 90 || angle == 270);
  m_nFaceW = static_cast<int16_t>(sizes.faceSheet.width / (turned ? 8 : 9));
  m_nFaceH = static_cast<int16_t>(sizes.faceSheet.height / (turned ? 9 : 8));

  // The tile cell is the half of the bitmap the draws compose: the face-down tile in mode 2,
  // the frame otherwise. Measuring the composed bitmap from the start keeps the size reported
  // before the first draw equal to the one after it.
  const BitmapSize tile =
      (mode == 2 && sizes.faceDown.width > 0) ? sizes.faceDown : sizes.frame;
  m_nCellW = static_cast<int16_t>(tile.width / 2);
  m_nCellH = static_cast<int16_t>(tile.height);

  // One size slot per extra bitmap, 0 x 0 for one that could not be measured, so later slots
  // keep their modes.
  for (int k = 0; k < 5; ++k)
    m_ExtraSize[k] = {sizes.extra[k].width / 2, sizes.extra[k].height};
  m_StackSize = sizes.extra[3];
  m_LyingStackSize = sizes.extra[4];

  m_Cards.clear();
}

bool CMj_Poke::GetMjFaceCell(const card& c, uint16_t& x, uint16_t& y) const {
  int32_t color = c.m_nColor;
  const int32_t value = c.m_nValue;
  if (color == ColorWild && m_Wild[0].m_nColor != -1) color = m_Wild[0].m_nColor;
  // A tile outside the sheet has no face (it is drawn as the bare tile).
  if (color < 0 || color > 7 || value < 1 || value > 9) return false;
  const int32_t fw = m_nFaceW, fh = m_nFaceH;
  int32_t fx = 0, fy = 0;
  switch (m_nAngle) {
    case 0: fx = fw * (value - 1); fy = fh * color; break;
    case 90: fx = fw * (7 - color); fy = fh * (value - 1); break;
    case 180: fx = fw * (value - 1); fy = fh * (7 - color); break;
    case 270: fx = fw * color; fy = fh * (9 - value); break;
    default: return false;
  }
  x = static_cast<uint16_t>(fx);
  y = static_cast<uint16_t>(fy);
  return true;
}

bool CMj_Poke::GetFaceCell(int32_t index, uint16_t& x, uint16_t& y) const {
  const auto c = CCommPoke::CardAt(index);
  return c && GetMjFaceCell(*c, x, y);
}

void CMj_Poke::SetWildCards(int16_t count, const card* cards) {
  if (count == 0) {
    m_Wild[0] = m_Wild[1] = {-1, -1};
    return;
  }
  if (count > 0 && cards != nullptr) {
    const int n = std::min<int>(count, 2);  // two wild-tile records
    for (int k = 0; k < n; ++k) {
      m_Wild[k] = cards[k];
      for (card& c : m_Cards)
        if (c == cards[k]) c.m_nColor = ColorWild;
    }
  }
  SortCards();
}

bool CMj_Poke::IsWildCard(int32_t i) const {
  const auto c = CardAt(i);
  return c && c->m_nColor == ColorWild;
}

int16_t CMj_Poke::GetCardX(int32_t i) const { return static_cast<int16_t>(i * m_nCellW); }

int16_t CMj_Poke::GetCardY(int32_t i) const { return IsSelected(i) ? 0 : m_nRaise; }

void CMj_Poke::GetSize(uint16_t& w, uint16_t& h) const {
  uint16_t n = 0;
  GetCount(n);
  if (m_nMode <= 2) {
    w = static_cast<uint16_t>(m_nCellW * n);
    h = static_cast<uint16_t>(m_nRaise + m_nCellH);
  } else if (m_nMode <= 7) {
    const BitmapSize e = m_ExtraSize[m_nMode - 3];
    w = static_cast<uint16_t>(e.width * n);
    h = static_cast<uint16_t>(e.height);
  } else {
    w = h = 0;
  }
}

void CMj_Poke::GetTileSize(uint16_t& w, uint16_t& h) const {
  if (m_nMode >= 3 && m_nMode <= 7) {
    w = static_cast<uint16_t>(m_ExtraSize[m_nMode - 3].width);
    h = static_cast<uint16_t>(m_ExtraSize[m_nMode - 3].height);
  } else {
    w = static_cast<uint16_t>(m_nCellW);
    h = static_cast<uint16_t>(m_nCellH);
  }
}

int16_t CMj_Poke::HitTest(OwnerWindow, int32_t x, int32_t y) const {
  if (m_nMode != 0 || m_Cards.empty() || x < 0) return -1;
  for (int32_t i = 0; i < static_cast<int32_t>(m_Cards.size()); ++i) {
    if (x < i * m_nCellW || x > (i + 1) * m_nCellW) continue;
    const int32_t top = IsSelected(i) ? 0 : m_nRaise;
    if (y > top && y < top + m_nCellH) return static_cast<int16_t>(i);
  }
  return -1;
}

void CMj_Poke::SelectAt(int32_t index) {
  const auto entry = static_cast<uint16_t>(index);
  if (m_Selection.empty()) {
    m_Selection.push_back(entry);
  } else if (m_Selection.front() == entry) {
    m_Selection.clear();
  } else {
    m_Selection.erase(m_Selection.begin());
    m_Selection.push_back(entry);
  }
}

void CMj_Poke::SortCards() { std::sort(m_Cards.begin(), m_Cards.end(), CardLess); }

void CMj_Poke::AddFace(SpriteDrawing& d, const card& c, int32_t x, int32_t y,
                       int32_t trimW) const {
  uint16_t fx = 0, fy = 0;
  if (!GetMjFaceCell(c, fx, fy)) return;
  d.ops.push_back({DrawSource::Face, 0, fx, fy, m_nFaceW - trimW, m_nFaceH, x, y});
}

SpriteDrawing CMj_Poke::LayoutRow(int32_t x, int32_t y) const {
  SpriteDrawing d;
  if (m_Cards.empty()) return d;
  uint16_t w = 0, h = 0;
  GetSize(w, h);
  d.drawn = true;
  d.width = w;
  d.height = h;
  d.x = x;
  d.y = y;
  d.tile = TileSource::Frame;
  for (int32_t i = 0; i < static_cast<int32_t>(m_Cards.size()); ++i) {
    const int32_t tx = GetCardX(i);
    const int32_t ty = (m_nAngle == 0 && IsSelected(i)) ? 0 : m_nRaise;
    d.ops.push_back({DrawSource::Tile, 0, 0, 0, m_nCellW, m_nCellH, tx, ty});
    AddFace(d, m_Cards[static_cast<size_t>(i)], tx + m_nFaceX, ty + m_nFaceY);
  }
  return d;
}

SpriteDrawing CMj_Poke::LayoutRowByMode(int32_t x, int32_t y) const {
  SpriteDrawing d;
  if (m_Cards.empty() || m_nMode < 2 || m_nMode > 7) return d;
  uint16_t w = 0, h = 0;
  GetSize(w, h);
  d.drawn = true;
  d.width = w;
  d.height = h;
  d.x = x;
  d.y = y;
  int32_t tw = m_nCellW, th = m_nCellH;
  if (m_nMode == 2) {
    d.tile = TileSource::FaceDown;
  } else {
    d.tile = TileSource::Extra;
    d.extra = static_cast<int16_t>(m_nMode - 3);
    tw = m_ExtraSize[m_nMode - 3].width;
    th = m_ExtraSize[m_nMode - 3].height;
  }
  for (int32_t i = 0; i < static_cast<int32_t>(m_Cards.size()); ++i)
    d.ops.push_back({DrawSource::Tile, 0, 0, 0, tw, th, i * tw, 0});
  return d;
}

SpriteDrawing CMj_Poke::LayoutDraw(const PixelRect& rect) const {
  SpriteDrawing d;
  if (!m_bDrawEnabled) return d;
  if (!ValidMode()) {
    d.error = true;
    return d;
  }
  return m_nMode <= 1 ? LayoutRow(rect.left, rect.top) : LayoutRowByMode(rect.left, rect.top);
}

}  // namespace sprites
