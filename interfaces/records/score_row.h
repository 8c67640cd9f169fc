// ScoreRow: one player's line of the table display's score list, 64 bytes, passed by address
// to ITable::SetScoreInfo and copied there. The client fills values[0] hand score, [1] game
// score, [2] wins, [3] losses, [4] draws, [5..7] zero.
#pragma once
#include <cstddef>
#include <cstdint>

#ifndef KORVEL_SCORE_ROW_DEFINED
#define KORVEL_SCORE_ROW_DEFINED
struct ScoreRow {
  char name[32];  // GBK, zero-terminated within 31 characters
  int32_t values[8];
};
#endif

static_assert(sizeof(ScoreRow) == 64);
static_assert(offsetof(ScoreRow, values) == 32);
