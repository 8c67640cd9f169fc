#include "fan_table.h"

void AppendFanRows(FanTable& table, const FanCatalogueRow* rows, int n) {
  for (int i = 0; i < n; ++i) {
    FanInfo info;
    info.type = rows[i].type;
    info.test = rows[i].test;
    info.name = rows[i].name;
    info.description = rows[i].description;
    info.name_utf8 = rows[i].name_utf8;
    for (int k = 0; k < rows[i].excluded_count; ++k) info.excluded.push_back(rows[i].excluded[k]);
    table.push_back(info);
  }
}

const FanInfo* FindFan(const FanTable& table, FanType type) {
  for (const FanInfo& info : table) {
    if (info.type == type) return &info;
  }
  return nullptr;
}

void CopyGbkText(char* buffer, int size, const char* text) {
  if (buffer == nullptr || size <= 0) return;
  int used = 0;
  if (text != nullptr) {
    while (text[used] != '\0') {
      const unsigned char lead = static_cast<unsigned char>(text[used]);
      const int width = (lead >= 0x81 && lead <= 0xFE && text[used + 1] != '\0') ? 2 : 1;
      if (used + width > size - 1) break;
      for (int k = 0; k < width; ++k) buffer[used + k] = text[used + k];
      used += width;
    }
  }
  buffer[used] = '\0';
}
