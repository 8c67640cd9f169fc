#include "option_board.h"

#include <algorithm>

namespace board {

namespace {

bool ValidRow(int16_t id) { return id >= 0 && id < kRowCount; }

// Band height: the client height shared out among the entries (no band for a height below 0).
int32_t BandHeight(int32_t clientH, size_t n) {
  if (n == 0 || clientH <= 0) return 0;
  return static_cast<int32_t>(static_cast<uint32_t>(clientH) / static_cast<uint32_t>(n));
}

}  // namespace

std::vector<RowPlacement> LayoutRows(const std::vector<int16_t>& list, int32_t clientW,
                                     int32_t clientH, const std::array<RowSize, kRowCount>& sizes) {
  std::vector<RowPlacement> out;
  if (list.empty()) return out;
  const int32_t band = BandHeight(clientH, list.size());
  out.reserve(list.size());
  for (size_t i = 0; i < list.size(); ++i) {
    const int16_t r = list[i];
    if (!ValidRow(r)) continue;
    const RowSize s = sizes[static_cast<size_t>(r)];
    // Centred in the band; the divisions round toward zero as C++'s do.
    const int32_t x = (clientW - s.w) / 2;
    const int32_t y = (band - s.h) / 2 + static_cast<int32_t>(i) * band;
    out.push_back({i, r, x, y, x + s.w, y + s.h});
  }
  return out;
}

std::optional<Band> HitTestRow(size_t i, size_t n, int32_t clientH, int32_t rowH, int32_t y) {
  if (n == 0 || i >= n) return std::nullopt;
  const int64_t band = BandHeight(clientH, n);
  const int64_t half = (band - rowH) / 2;
  const int64_t top = static_cast<int64_t>(i) * band + half;
  const int64_t bottom = static_cast<int64_t>(i + 1) * band + half;
  if (!(top < y && y <= bottom)) return std::nullopt;
  return Band{static_cast<int32_t>(top), static_cast<int32_t>(bottom)};
}

bool OptionBoard::AddGroup(int16_t id, int16_t count, const card* cards) {
  if (count <= 0 || cards == nullptr) return false;
  const size_t n = static_cast<size_t>(count);
  if (TileCount(id) + n > kMaxRowTiles) return false;
  m_Rows[static_cast<size_t>(id)].emplace_back(cards, cards + n);
  ++m_Revision;
  return true;
}

bool OptionBoard::InsertRow(int16_t id, int16_t count, const card* cards) {
  if (!ValidRow(id) || m_List.size() >= kMaxListed) return false;
  AddGroup(id, count, cards);
  m_List.push_back(id);
  return true;
}

void OptionBoard::AddCards(int16_t id, int16_t count, const card* cards) {
  if (!ValidRow(id)) return;
  const auto listed = std::count(m_List.begin(), m_List.end(), id);
  for (auto k = listed; k > 0; --k) AddGroup(id, count, cards);
}

void OptionBoard::ClearAll() {
  for (auto& row : m_Rows) row.clear();
  m_List.clear();
  ++m_Revision;
}

const std::vector<Group>& OptionBoard::Groups(int16_t row) const {
  static const std::vector<Group> kNone;
  return ValidRow(row) ? m_Rows[static_cast<size_t>(row)] : kNone;
}

size_t OptionBoard::TileCount(int16_t row) const {
  size_t n = 0;
  for (const Group& g : Groups(row)) n += g.size();
  return n;
}

void OptionBoard::SetBkColor(uint32_t colour) {
  m_BackColor = colour;
  m_BrushColour = colour;
  m_RowColour = colour;
}

std::optional<size_t> OptionBoard::FindRow(int32_t clientH, int32_t rowH, int32_t y) const {
  for (size_t i = 0; i < m_List.size(); ++i)
    if (HitTestRow(i, m_List.size(), clientH, rowH, y)) return i;
  return std::nullopt;
}

std::optional<size_t> OptionBoard::Press(int32_t clientH, int32_t rowH, int32_t y) {
  const auto hit = FindRow(clientH, rowH, y);
  m_PressReported = hit.has_value();
  return hit;
}

std::optional<size_t> OptionBoard::DoubleClick(int32_t clientH, int32_t rowH, int32_t y) {
  if (m_PressReported) {
    m_PressReported = false;
    return std::nullopt;
  }
  return Press(clientH, rowH, y);
}

}  // namespace board
