#include "fan_panel.h"

#include <cstdio>

#include "table_texts.h"

namespace table {

std::vector<FanNameRow> MakeFanNameTable() {
  std::vector<FanNameRow> rows;
  rows.reserve(std::size(texts::kFanNames));
  for (const auto& f : texts::kFanNames) rows.push_back({f.id, f.name, f.description});
  return rows;
}

int GetFanScoreByType(int16_t id) {
  switch (id / 100) {
    case 1: return 22;
    case 2: return 16;
    case 3: return 12;
    case 4: return 8;
    case 5: return 6;
    case 6: return 4;
    case 7: return 3;
    case 8: return 2;
    default: return 1;
  }
}

std::vector<const FanNameRow*> CollectFanRows(const FanList& fans,
                                              const std::vector<FanNameRow>& table) {
  std::vector<const FanNameRow*> rows;
  for (int16_t id : fans) {
    if (id == 0) break;
    for (const auto& row : table)
      if (row.id == static_cast<uint16_t>(id)) rows.push_back(&row);
  }
  return rows;
}

namespace {

std::string Format(const char* format, const std::string& name, int points) {
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, format, name.c_str(), points);
  return buffer;
}

std::vector<std::string> Lines(const char* format, const std::vector<const FanNameRow*>& rows) {
  std::vector<std::string> lines;
  if (rows.empty()) return lines;
  lines.push_back(Format(format, texts::kBaseScoreName, 2));
  for (const FanNameRow* row : rows)
    lines.push_back(Format(format, row->name, GetFanScoreByType(static_cast<int16_t>(row->id))));
  return lines;
}

}  // namespace

std::vector<std::string> FanMeasureTexts(const std::vector<const FanNameRow*>& rows) {
  return Lines(texts::kFanMeasureFormat, rows);
}

std::vector<std::string> FanPanelLines(const std::vector<const FanNameRow*>& rows) {
  return Lines(texts::kFanLineFormat, rows);
}

}  // namespace table
