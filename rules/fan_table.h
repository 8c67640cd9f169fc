// The fan table: one row per scoring pattern, in the order the fan count tests them, each with
// its test and the types it excludes once found. The rows come from the catalogue generated
// out of fan_catalogue.txt (texts as GBK bytes).
#pragma once
#include <cstdint>

#include "fan_catalogue.h"
#include "fixed_list.h"

struct FanInfo {
  FanType type = 0;
  FanTest test = nullptr;  // whether a winning hand has the pattern
  const char* name = "";  // GBK, NUL-terminated
  FixedList<FanType, kMaxExcludedFans> excluded;
  const char* description = "";  // GBK, NUL-terminated
  const char* name_utf8 = "";
};

// Room for the largest table the rules classes build.
inline constexpr int kMaxFanRows = 96;
using FanTable = FixedList<FanInfo, kMaxFanRows>;

// Buffer sizes of the fan name and description handed to callers (text and NUL).
inline constexpr int kFanNameBuffer = 30;
inline constexpr int kFanDescriptionBuffer = 500;

// Appends catalogue rows to a table, each with a fresh copy of its exclusion list.
void AppendFanRows(FanTable& table, const FanCatalogueRow* rows, int n);

// The first row of the given type, or null.
const FanInfo* FindFan(const FanTable& table, FanType type);

// Copies GBK text into a buffer of `size` bytes: at most size - 1 bytes and a NUL, never
// splitting a double-byte character.
void CopyGbkText(char* buffer, int size, const char* text);
