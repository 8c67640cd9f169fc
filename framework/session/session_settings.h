// Framework-wide values of one table, set by the game manager when the table is created and
// read by the play table.
#pragma once
#include <cstdint>

struct SessionSettings {
  int16_t seatsPerTable = 2;
  int PlayerFlag = 1;       // 1 the local user plays, 0 watches
  int reviewMode = 0;       // replaying a saved record
  int doubleStyle = 0;      // paired-table mode
  int16_t serviceType = 0;
  int16_t gameType = 0;
  int16_t subType = 0;
};
