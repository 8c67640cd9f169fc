// One column of the person list: its title (GBK, zero-terminated) and which person field it
// shows. The client's person-list wrapper hands the control the address of one of these per
// column; the control copies what it keeps.
#pragma once
#include <cstddef>
#include <cstdint>

struct PersonListColumn {
  char title[32];
  int32_t column;  // PersonListField
};

// What a column shows, read from the TablePerson record the list holds.
enum PersonListField : int32_t {
  kColumnUserName = 0,
  kColumnNickName = 1,
  kColumnSex = 2,
  kColumnMember = 3,
  kColumnGameScore = 4,
  kColumnWins = 5,
  kColumnLosses = 6,
  kColumnDraws = 7,
};

static_assert(sizeof(PersonListColumn) == 36 && offsetof(PersonListColumn, column) == 32);
