#include "score_list.h"

#include <cstring>
#include <string>

#include "table_texts.h"

namespace table {

namespace {

// The value shown under each column after the name, by plan. Plan 1 shows the wins, losses
// and draws under their own captions (values[2], [3], [4]).
const std::vector<int> kPlanValues[3] = {
    {0, 1, 2, 3, 4},
    {6, 5, 0, 2, 3, 4},
    {5, 6, 7, 0, 1, 2, 3, 4},
};

}  // namespace

void ScoreListCore::InitScoreList(int16_t type, int16_t /*subtype*/) {
  m_Columns.clear();
  if (type == 405) {
    AddColumn(texts::kCaptionUser, 80);
    AddColumn(texts::kCaptionHandGold, 70);
    AddColumn(texts::kCaptionTotalGold, 70);
    AddColumn(texts::kCaptionWinRate, 30);
    AddColumn(texts::kCaptionWins, 30);
    AddColumn(texts::kCaptionLosses, 30);
    AddColumn(texts::kCaptionDraws, 30);
    m_nPlan = 1;
  } else {
    AddColumn(texts::kCaptionUser, 80);
    AddColumn(texts::kCaptionHand, 30);
    AddColumn(texts::kCaptionTotal, 70);
    AddColumn(texts::kCaptionWins, 30);
    AddColumn(texts::kCaptionLosses, 30);
    AddColumn(texts::kCaptionDraws, 30);
    m_nPlan = 0;
  }
}

void ScoreListCore::AddColumn(const char* caption, uint16_t width) {
  ScoreColumn c;
  if (caption) c.caption.assign(caption, strnlen(caption, 49));
  c.width = width;
  m_Columns.push_back(std::move(c));
}

void ScoreListCore::GetListSize(uint16_t& width, uint16_t& height) const {
  uint32_t w = 0;
  for (const auto& c : m_Columns) w += c.width;
  width = static_cast<uint16_t>(w);
  height = static_cast<uint16_t>((m_Rows.size() + 1) * kScoreRowHeight + kScoreHeaderHeight);
}

void ScoreListCore::SetScoreInfo(int16_t num, int16_t index, const ScoreRow* info) {
  if (!info) return;
  if (m_Rows.empty()) {
    if (num < 1) return;
    m_Rows.assign(static_cast<size_t>(num), ScoreRow{});
  }
  if (index < 0 || static_cast<size_t>(index) >= m_Rows.size()) return;
  ScoreRow& row = m_Rows[static_cast<size_t>(index)];
  std::memset(row.name, 0, sizeof row.name);
  std::memcpy(row.name, info->name, strnlen(info->name, 31));
  std::memcpy(row.values, info->values, sizeof row.values);
}

std::string ScoreListCore::CellText(size_t row, size_t column) const {
  if (row >= m_Rows.size()) return {};
  const ScoreRow& r = m_Rows[row];
  if (column == 0) return std::string(r.name, strnlen(r.name, sizeof r.name));
  const int plan = (m_nPlan >= 0 && m_nPlan <= 2) ? m_nPlan : 0;
  const auto& values = kPlanValues[plan];
  if (column - 1 < values.size()) return std::to_string(r.values[values[column - 1]]);
  return plan == 1 ? std::string() : std::string(" ");
}

}  // namespace table
