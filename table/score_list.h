// The score list's contents: its column plan, columns, rows and size. The control's list window
// paints them; the fan panel is written under the rows.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "records/score_row.h"

namespace table {

constexpr int32_t kScoreRowHeight = 22;
constexpr int32_t kScoreHeaderHeight = 38;

struct ScoreColumn {
  std::string caption;  // GBK, at most 49 characters
  uint16_t width = 0;
};

class ScoreListCore {
 public:
  // Plan 1 for game type 405, plan 0 otherwise; the columns of the plan.
  void InitScoreList(int16_t type, int16_t subtype);
  void AddColumn(const char* caption, uint16_t width);
  void SetPlan(int plan) { m_nPlan = plan; }
  int Plan() const { return m_nPlan; }
  // Width: the sum of the column widths; height: (rows + 1) x 22 + 38.
  void GetListSize(uint16_t& width, uint16_t& height) const;
  // The first call makes `num` rows of zeros; then row `index` takes the record (at most 31
  // characters of its name). A null record, num < 1 on the first call or an index outside the
  // rows changes nothing.
  void SetScoreInfo(int16_t num, int16_t index, const ScoreRow* info);

  const std::vector<ScoreColumn>& Columns() const { return m_Columns; }
  const std::vector<ScoreRow>& Rows() const { return m_Rows; }
  // The text of a cell: the name, then the values the plan puts under the columns.
  std::string CellText(size_t row, size_t column) const;

 private:
  std::vector<ScoreColumn> m_Columns;
  std::vector<ScoreRow> m_Rows;
  int m_nPlan = 0;
};

}  // namespace table
