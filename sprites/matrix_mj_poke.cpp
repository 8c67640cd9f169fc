#include "matrix_mj_poke.h"

#include <algorithm>

namespace sprites {

CMatrix_Mj_Poke::CMatrix_Mj_Poke(OwnerWindow owner, SpriteBuild build) : CMj_Poke(owner, build) {}

CMatrix_Mj_Poke::SideGeometry CMatrix_Mj_Poke::Side(int side, int32_t r) const {
  const int32_t C = m_nColumns, R = m_nRows;
  switch (side) {
    case 0: return {{r, R - r - 1}, 1, 0, {C - r - 2, R - r - 1}};
    case 1: return {{r, r}, 0, 1, {r, R - r - 2}};
    case 2: return {{C - r - 1, r}, -1, 0, {r + 1, r}};
    default: return {{C - r - 1, R - r - 1}, 0, -1, {C - r - 1, r + 1}};
  }
}

CMatrix_Mj_Poke::SideGeometry CMatrix_Mj_Poke_2::Side(int side, int32_t r) const {
  const int32_t C = Columns(), R = Rows();
  if (side == 0) return {{r, R - r - 1}, 1, 0, {C - r - 2, R - r - 1}};
  return {{C - r - 1, r}, -1, 0, {r + 1, r}};
}

void CMatrix_Mj_Poke::ResetRunners() {
  const auto n = static_cast<size_t>(SideCount());
  m_Runner.assign(n, GridCell{});
  m_SavedRunner.assign(n, GridCell{});
  m_Full.assign(n, 0);
  m_SavedFull.assign(n, 0);
  m_nRing = 0;
  m_nSavedRing = 0;
}

void CMatrix_Mj_Poke::SetGrid(int16_t columns, int16_t rows) {
  m_nColumns = std::max<int16_t>(columns, 0);
  m_nRows = std::max<int16_t>(rows, 0);
  ResetRunners();
  // A new grid starts empty (a second call does not leave the old entries behind).
  m_Placed.assign(static_cast<size_t>(m_nColumns) * static_cast<size_t>(m_nRows), PlacedCard{});
  m_nPlaced = 0;
}

void CMatrix_Mj_Poke::ClearAll() {
  std::fill(m_Placed.begin(), m_Placed.end(), PlacedCard{});
  m_nPlaced = 0;
  ResetRunners();
}

void CMatrix_Mj_Poke::GetMatrixSize(uint16_t& w, uint16_t& h) const {
  w = static_cast<uint16_t>(m_nColumns * m_nCellW);
  h = static_cast<uint16_t>(m_nRows * m_nCellH);
}

bool CMatrix_Mj_Poke::GetFaceCell(int32_t index, uint16_t& x, uint16_t& y) const {
  if (index < 0 || index >= static_cast<int32_t>(m_Placed.size())) return false;
  const PlacedCard& p = m_Placed[static_cast<size_t>(index)];
  return GetMjFaceCell(card{p.m_nColor, p.m_nValue}, x, y);
}

std::optional<card> CMatrix_Mj_Poke::CardAt(int32_t k) const {
  if (k < 0 || k >= static_cast<int32_t>(m_Placed.size())) return std::nullopt;
  const PlacedCard& p = m_Placed[static_cast<size_t>(k)];
  return card{p.m_nColor, p.m_nValue};
}

void CMatrix_Mj_Poke::SetWildCards(int16_t count, const card* cards) {
  if (count == 0) {
    m_Wild[0] = m_Wild[1] = {-1, -1};
    return;
  }
  if (count < 0 || cards == nullptr) return;
  for (int k = 0; k < std::min<int>(count, 2); ++k) m_Wild[k] = cards[k];
}

int16_t CMatrix_Mj_Poke::FindCell(int16_t side, int16_t& column, int16_t& row) {
  column = -1;
  row = -1;
  if (side < 0 || side >= SideCount() || m_Runner.size() != static_cast<size_t>(SideCount()))
    return side;
  const SideGeometry g = Side(side, m_nRing);
  const GridCell runner = m_Runner[static_cast<size_t>(side)];
  if (runner.column == -1 || runner.row == -1) {
    column = static_cast<int16_t>(g.start.column);
    row = static_cast<int16_t>(g.start.row);
    return side;
  }
  const bool beforeEnd = g.stepColumn > 0   ? runner.column < g.end.column
                         : g.stepColumn < 0 ? runner.column > g.end.column
                         : g.stepRow > 0    ? runner.row < g.end.row
                                            : runner.row > g.end.row;
  if (m_Full[static_cast<size_t>(side)] == 0 && beforeEnd) {
    const GridCell next{runner.column + g.stepColumn, runner.row + g.stepRow};
    if (next == g.end) m_Full[static_cast<size_t>(side)] = 1;
    column = static_cast<int16_t>(next.column);
    row = static_cast<int16_t>(next.row);
    return side;
  }
  m_Full[static_cast<size_t>(side)] = 1;
  uint16_t other = 0;
  if (FindFreeSlot(side, column, row, other) == 0) return static_cast<int16_t>(other);
  // Every side of the ring is full: the tile opens the next ring at its own side's start.
  ResetSlots();
  const SideGeometry next = Side(side, m_nRing);
  column = static_cast<int16_t>(next.start.column);
  row = static_cast<int16_t>(next.start.row);
  return side;
}

int16_t CMatrix_Mj_Poke::FindFreeSlot(int16_t except, int16_t& column, int16_t& row,
                                      uint16_t& side) {
  column = -1;
  row = -1;
  for (int s = 0; s < SideCount(); ++s) {
    if (s == except || m_Full[static_cast<size_t>(s)] != 0) continue;
    side = static_cast<uint16_t>(FindCell(static_cast<int16_t>(s), column, row));
    return 0;
  }
  return 1;
}

bool CMatrix_Mj_Poke::AllSlotsUsed() const {
  return !m_Full.empty() && std::all_of(m_Full.begin(), m_Full.end(), [](uint16_t f) { return f != 0; });
}

void CMatrix_Mj_Poke::ResetSlots() {
  std::fill(m_Full.begin(), m_Full.end(), 0);
  std::fill(m_Runner.begin(), m_Runner.end(), GridCell{});
  ++m_nRing;
}

void CMatrix_Mj_Poke::SaveSlots() {
  m_SavedFull = m_Full;
  m_SavedRunner = m_Runner;
  m_nSavedRing = m_nRing;
}

void CMatrix_Mj_Poke::RestoreSlots() {
  m_Full = m_SavedFull;
  m_Runner = m_SavedRunner;
  m_nRing = m_nSavedRing;
}

bool CMatrix_Mj_Poke::Occupied(int32_t column, int32_t row) const {
  for (int32_t i = 0; i < m_nPlaced; ++i) {
    const PlacedCard& p = m_Placed[static_cast<size_t>(i)];
    if (p.column == column && p.row == row) return true;
  }
  return false;
}

void CMatrix_Mj_Poke::PlaceInCell(int16_t, int16_t side, const card& c, int16_t column,
                                  int16_t row) {
  if (m_nPlaced >= static_cast<int32_t>(m_Placed.size())) return;
  if (side < 0 || side >= SideCount()) return;
  // A tile never lands outside the grid or on another tile (a small grid runs out of rings).
  const GridCell cell{column, row};
  if (!InGrid(cell) || Occupied(column, row)) return;
  m_Placed[static_cast<size_t>(m_nPlaced)] = {c.m_nColor, c.m_nValue, column, row};
  SaveSlots();
  if (!AllSlotsUsed()) m_Runner[static_cast<size_t>(side)] = cell;
  if (AllSlotsUsed()) ResetSlots();
  ++m_nPlaced;
}

void CMatrix_Mj_Poke::RemoveAt(int16_t) {
  // Takes back the last placed tile; nothing to take back leaves the grid as it is.
  if (m_nPlaced <= 0) return;
  --m_nPlaced;
  RestoreSlots();
  PlacedCard& p = m_Placed[static_cast<size_t>(m_nPlaced)];
  const GridCell cell{p.column, p.row};
  for (int s = SideCount() - 1; s >= 0; --s) {
    if (cell == Side(s, m_nRing).end) {
      m_Full[static_cast<size_t>(s)] = 0;
      break;
    }
  }
  p = PlacedCard{};
}

void CMatrix_Mj_Poke::LayoutPlaced(SpriteDrawing& d, int32_t x, int32_t y, bool faceDown) const {
  const int32_t W = m_nCellW, H = m_nCellH;
  for (int32_t i = 0; i < m_nPlaced; ++i) {
    const PlacedCard& p = m_Placed[static_cast<size_t>(i)];
    if (!p.Used()) continue;
    const int32_t tx = x + p.column * W, ty = y + p.row * H;
    d.ops.push_back({DrawSource::Tile, 0, 0, 0, W, H, tx, ty});
    if (!faceDown) AddFace(d, card{p.m_nColor, p.m_nValue}, tx + m_nFaceX, ty + m_nFaceY, 2);
  }
}

SpriteDrawing CMatrix_Mj_Poke::LayoutRow(int32_t x, int32_t y) const {
  SpriteDrawing d;
  d.drawn = true;
  d.target = DrawTarget::Direct;
  d.tile = TileSource::Frame;
  LayoutPlaced(d, x, y, false);
  return d;
}

SpriteDrawing CMatrix_Mj_Poke::LayoutRowByMode(int32_t x, int32_t y) const {
  SpriteDrawing d;
  if (m_nMode != 2) return d;
  d.drawn = true;
  d.target = DrawTarget::Direct;
  d.tile = TileSource::FaceDown;
  LayoutPlaced(d, x, y, true);
  return d;
}

}  // namespace sprites
