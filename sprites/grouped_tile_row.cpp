#include "grouped_tile_row.h"

#include <algorithm>

namespace sprites {

CSeperator_Mj_Poke::CSeperator_Mj_Poke(OwnerWindow owner, SpriteBuild build)
    : CMj_Poke(owner, build) {
  m_nGroupGap = 8;
  m_nRaise = 5;
}

bool CSeperator_Mj_Poke::IsKong(const std::vector<card>& g) {
  return g.size() == 4 && std::all_of(g.begin(), g.end(), [&](const card& c) { return c == g[0]; });
}

void CSeperator_Mj_Poke::GetCount(uint16_t& n) const {
  size_t total = 0;
  for (const auto& g : m_Groups) total += g.size();
  n = static_cast<uint16_t>(total);
}

int16_t CSeperator_Mj_Poke::HitTest(OwnerWindow, int32_t, int32_t) const { return 100; }

int32_t CSeperator_Mj_Poke::GroupWidth(const std::vector<card>& g, bool anyFourIsKong) const {
  const int32_t W = m_nCellW, ov = m_nOverlap;
  const auto n = static_cast<int32_t>(g.size());
  if (n == 0) return 0;
  if (KongLike(g, anyFourIsKong)) return 3 * W - 2 * ov;
  return W + (n - 1) * (W - ov);
}

void CSeperator_Mj_Poke::GetSize(uint16_t& w, uint16_t& h) const {
  // Face-down rows lay every four as a kong; face-up rows only four equal tiles, so four
  // unequal tiles (a hand laid open) are measured as wide as they are drawn.
  const bool anyFour = (m_nMode == 2);
  int32_t width = 0;
  for (const auto& g : m_Groups) width += GroupWidth(g, anyFour);
  if (!m_Groups.empty()) width += static_cast<int32_t>(m_Groups.size() - 1) * m_nGroupGap;
  w = static_cast<uint16_t>(width);
  h = static_cast<uint16_t>(m_nRaise + m_nCellH);
}

int32_t CSeperator_Mj_Poke::WalkX(int32_t k, bool anyFourIsKong) const {
  const int32_t W = m_nCellW, ov = m_nOverlap;
  int32_t x = 0, index = 0;
  for (const auto& g : m_Groups) {
    const bool kong = KongLike(g, anyFourIsKong);
    for (size_t j = 0; j < g.size(); ++j, ++index) {
      if (index == k) {
        if (kong && j == 3) return x - W / 2 - (3 * W - 2 * ov) / 2;
        return x;
      }
      if (j == 0) x += W;
      else if (!(kong && j == 3)) x += W - ov;
    }
    x += m_nGroupGap;
  }
  return 0;
}

int16_t CSeperator_Mj_Poke::GetCardX(int32_t k) const {
  return static_cast<int16_t>(WalkX(k, false));
}

int16_t CSeperator_Mj_Poke::GetFaceDownX(int32_t k) const {
  return static_cast<int16_t>(WalkX(k, true));
}

void CSeperator_Mj_Poke::SortCards() {
  for (auto& g : m_Groups) std::sort(g.begin(), g.end(), CardLess);
}

void CSeperator_Mj_Poke::ClearAll() { m_Groups.clear(); }

void CSeperator_Mj_Poke::AddCards(int16_t count, const card* cards) {
  std::vector<card> group;
  if (count > 0 && cards != nullptr) group.assign(cards, cards + count);
  m_Groups.push_back(std::move(group));
  SortCards();
}

void CSeperator_Mj_Poke::SetWildCards(int16_t count, const card* cards) {
  if (count == 0) {
    m_Wild[0] = m_Wild[1] = {-1, -1};
    return;
  }
  if (count < 0 || cards == nullptr) return;
  for (int k = 0; k < std::min<int>(count, 2); ++k) m_Wild[k] = cards[k];
}

std::optional<card> CSeperator_Mj_Poke::CardAt(int32_t k) const {
  if (k < 0) return std::nullopt;
  for (const auto& g : m_Groups) {
    if (k < static_cast<int32_t>(g.size())) return g[static_cast<size_t>(k)];
    k -= static_cast<int32_t>(g.size());
  }
  return std::nullopt;
}

void CSeperator_Mj_Poke::ShowFrame() {
  if (m_Groups.empty() || m_Groups.back().empty()) return;
  uint16_t w = 0, h = 0;
  GetSize(w, h);
  uint16_t total = 0;
  GetCount(total);
  const auto last = static_cast<int32_t>(m_Groups.back().size());
  const int32_t first = total - last;
  // The bar runs under the group's first three tiles (all of them in a shorter group).
  const int32_t third = first + std::min<int32_t>(last, 3) - 1;
  m_FrameRect = {GetCardX(first), h - 2, m_nCellW + GetCardX(third), h};
  m_bFrame = true;
}

void CSeperator_Mj_Poke::FrameAll() {
  uint16_t w = 0, h = 0;
  GetSize(w, h);
  m_FrameRect = {0, 0, w, h};
  m_bFrame = true;
}

void CSeperator_Mj_Poke::RemoveGroup(int16_t count, const card* cards) {
  if (count < 0 || (count > 0 && cards == nullptr)) return;
  const std::vector<card> wanted(cards, cards + count);
  auto it = std::find(m_Groups.begin(), m_Groups.end(), wanted);
  if (it != m_Groups.end()) m_Groups.erase(it);
}

void CSeperator_Mj_Poke::GetLastGroupPos(int16_t& x, int16_t& y) const {
  x = 0;
  y = 0;
  if (m_Groups.empty()) return;
  uint16_t total = 0;
  GetCount(total);
  x = GetCardX(total - static_cast<int32_t>(m_Groups.back().size()));
}

SpriteDrawing CSeperator_Mj_Poke::StartRow(int32_t x, int32_t y) const {
  SpriteDrawing d;
  uint16_t w = 0, h = 0;
  GetSize(w, h);
  d.drawn = w > 0 && h > 0;
  d.width = w;
  d.height = h;
  d.x = x;
  d.y = y;
  return d;
}

void CSeperator_Mj_Poke::AddFrame(SpriteDrawing& d) const {
  if (!m_bFrame) return;
  const PixelRect& r = m_FrameRect;
  d.ops.push_back({DrawSource::FrameRect, 0, 0, 0, r.right - r.left, r.bottom - r.top, r.left, r.top});
}

SpriteDrawing CSeperator_Mj_Poke::LayoutRow(int32_t x, int32_t y) const {
  SpriteDrawing d = StartRow(x, y);
  if (!d.drawn) return d;
  d.tile = TileSource::Frame;
  const int32_t W = m_nCellW, H = m_nCellH, ov = m_nOverlap, m = m_nRaise;
  // The board mirrors the row at angle 180 (the kong's fourth tile lowered) and draws no
  // tile at the other turned angles.
  const bool board = (m_Build == SpriteBuild::Board);
  const bool mirrored = board && m_nAngle == 180;
  const bool skip = board && m_nAngle != 0 && m_nAngle != 180;
  int32_t k = 0;
  for (const auto& g : m_Groups) {
    const bool kong = IsKong(g);
    for (size_t j = 0; j < g.size(); ++j, ++k) {
      if (skip) continue;
      const int32_t tx = GetCardX(k);
      const card& c = g[j];
      if (j == 0 || (kong && j == 3)) {
        const bool raised = (j == 3);
        const int32_t ty = (raised != mirrored) ? 0 : m;
        d.ops.push_back({DrawSource::Tile, 0, 0, 0, W, H, tx, ty});
        AddFace(d, c, tx + m_nFaceX, ty + m_nFaceY);
      } else {
        // The left `ov` pixels of the tile lie under its neighbour: the rest of the tile.
        const int32_t ty = mirrored ? 0 : m;
        d.ops.push_back({DrawSource::Tile, 0, ov, 0, W - ov, H, tx, ty});
        AddFace(d, c, tx, ty + m_nFaceY);
      }
    }
  }
  AddFrame(d);
  return d;
}

SpriteDrawing CSeperator_Mj_Poke::LayoutRowByMode(int32_t x, int32_t y) const {
  if (m_nMode != 2) return {};
  SpriteDrawing d = StartRow(x, y);
  if (!d.drawn) return d;
  d.tile = TileSource::FaceDown;
  const int32_t W = m_nCellW, H = m_nCellH, ov = m_nOverlap, m = m_nRaise;
  const bool mirrored = (m_Build == SpriteBuild::Board) && m_nAngle != 0;
  int32_t k = 0;
  for (const auto& g : m_Groups) {
    for (size_t j = 0; j < g.size(); ++j, ++k) {
      const int32_t tx = GetFaceDownX(k);
      if (j == 0) {
        d.ops.push_back({DrawSource::Tile, 0, 0, 0, W, H, tx, mirrored ? 0 : m});
      } else if (j == 3 && g.size() == 4) {
        // The raised fourth tile is cut like the others: its left overlap comes off.
        d.ops.push_back({DrawSource::Tile, 0, ov, 0, W - ov, H, tx, mirrored ? m : 0});
      } else {
        d.ops.push_back({DrawSource::Tile, 0, ov, 0, W - ov, H, tx, mirrored ? 0 : m});
      }
    }
  }
  AddFrame(d);
  return d;
}

}  // namespace sprites
