// TablePerson: the client's record of one person at the table (player, watcher or referee).
// The table's person list owns these records; the table display is handed a record's address
// and reads two texts from it by offset: the user name at byte 4 and the nickname at byte 38,
// each zero-terminated in 34 bytes (GBK). Those two offsets are fixed; the rest of the layout
// is the client's own.
// Every text field ends with a NUL inside its array; copies into one are cut at its size - 1.
#pragma once
#include <cstddef>
#include <cstdint>
#include <type_traits>

#ifndef KORVEL_TABLE_PERSON_DEFINED
#define KORVEL_TABLE_PERSON_DEFINED
struct TablePerson {
  uint32_t id = 0;
  char username[34] = {};
  char nickname[34] = {};
  int16_t sex = 0;
  int16_t headpicid = 0;
  int16_t ismember = 0;
  int16_t level = 0;
  int16_t priority = 0;    // 1 administrator; referees 2 (chief) or 3
  uint16_t forbidtype = 0; // 0x8000 no chat, 0x1000 no forced exit
  int32_t wealth = 0;
  int32_t money = 0;
  int32_t groupid = 0;     // a 16-bit value, sign-extended
  int32_t ip = 0;
  int32_t proxyip = 0;
  int16_t networkspeed = 0;
  int32_t link_num = 0;
  int32_t break_num = 0;
  int32_t startgame_num = 0;
  int32_t forceexit_num = 0;
  int16_t is_permit_watch = 0;
  int32_t gamescore = 0;
  int32_t winnum = 0;
  int32_t losenum = 0;
  int32_t equalnum = 0;
  int16_t score_level = 0;
  int32_t teamid = 0;
  int16_t status = 0;      // 4 playing, 5 watching; see the state list of the lobby
  int16_t deskno = -1;
  int16_t seatno = -1;
  int16_t watchno = -1;
  int16_t extraShort1 = 0;
  int16_t extraShort2 = 0;
  int16_t extraShort3 = 0;
  int32_t bonusPoints = 0;
  char m_sSRemark[40] = {};
  char m_sDRemark[20] = {};
  char m_sCRemark[20] = {};
  char school_name[34] = {};
  char level_name[34] = {};
  int32_t ismyfriend = 0;
  int32_t ismydislike = 0;
  int16_t option1 = 1;
  int16_t option2 = 1;
  int16_t option3 = 1;
  int16_t option4 = 0;
  int16_t option5 = -1;
  int16_t option6 = -1;
  int32_t extraNumber1 = 0;
  int32_t extraNumber2 = 0;
  char extraText[20] = {};
  int32_t extraNumber3 = 0;

  bool IsChatForbidden() const { return (forbidtype & 0x8000) != 0; }

  // Fewer than one forced exit allowed per 25 games started, or the ban bit.
  bool IsForceExitForbidden() const {
    if (int64_t{startgame_num} * 4 / 100 < int64_t{forceexit_num} + 1) return true;
    return (forbidtype & 0x1000) != 0;
  }

  bool IsAdministrator() const { return priority == 1; }
};
#endif

static_assert(std::is_standard_layout_v<TablePerson>);
static_assert(offsetof(TablePerson, username) == 4);
static_assert(offsetof(TablePerson, nickname) == 38);
