// The fan names the table keeps of its own, the points of a fan by its grade, and the lines of
// the fan panel shown under the score list after a won hand.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace table {

struct FanNameRow {
  uint16_t id = 0;
  std::string name;         // GBK
  std::string description;  // GBK
};

// The 82 rows, in the table's order.
std::vector<FanNameRow> MakeFanNameTable();

// Points of a fan by its grade (id / 100).
int GetFanScoreByType(int16_t id);

constexpr int kFanListSize = 30;
using FanList = std::array<int16_t, kFanListSize>;

// The rows of the fans in the list, in list order: up to the first 0 or the 30th entry; an id
// without a row adds nothing.
std::vector<const FanNameRow*> CollectFanRows(const FanList& fans,
                                              const std::vector<FanNameRow>& table);

// The texts the panel measures ("基本分: [2分]", then "%s: [%d分]" per row) and the lines it
// writes ("%8s: [%d分]"). Both are empty when no row was collected.
std::vector<std::string> FanMeasureTexts(const std::vector<const FanNameRow*>& rows);
std::vector<std::string> FanPanelLines(const std::vector<const FanNameRow*>& rows);

}  // namespace table
