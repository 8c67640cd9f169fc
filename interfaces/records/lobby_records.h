// The records of the game client's lobby interface: the player record PERSON (284 bytes,
// 37 fields) and the two string records GAMESTR (char[100]) and BIG_GAMESTR (char[500]).
// The layout is the one the client's type library gives; the lobby fills these records in its
// own process and the type library marshals them across.
#pragma once
#include <cstddef>
#include <cstdint>

#ifndef KORVEL_LOBBY_RECORDS_DEFINED
#define KORVEL_LOBBY_RECORDS_DEFINED
struct PERSON {
  uint32_t id;
  char username[34];
  char nickname[34];
  int16_t sex;
  int16_t priority;
  uint16_t forbidtype;
  int16_t headpicid;
  int16_t ismember;
  int16_t level;
  int32_t wealth;
  int32_t money;
  int16_t groupid;
  int32_t ip;
  int32_t proxyip;
  int16_t networkspeed;
  int32_t link_num;
  int32_t break_num;
  int32_t startgame_num;
  int32_t forceexit_num;
  int16_t is_permit_watch;
  int32_t gamescore;
  int32_t winnum;
  int32_t losenum;
  int32_t equalnum;
  int16_t score_level;
  int32_t teamid;
  int16_t status;
  int16_t deskno;
  int16_t seatno;
  int16_t watchno;
  char m_sSRemark[40];
  char m_sDRemark[20];
  char m_sCRemark[20];
  char school_name[20];
  char level_name[20];
  int16_t ismyfriend;
  int16_t ismydislike;
};

struct GAMESTR {
  char str[100];
};

struct BIG_GAMESTR {
  char str[500];
};
#endif

static_assert(sizeof(PERSON) == 284);
static_assert(offsetof(PERSON, username) == 4);
static_assert(offsetof(PERSON, nickname) == 38);
static_assert(offsetof(PERSON, sex) == 72);
static_assert(offsetof(PERSON, priority) == 74);
static_assert(offsetof(PERSON, forbidtype) == 76);
static_assert(offsetof(PERSON, headpicid) == 78);
static_assert(offsetof(PERSON, ismember) == 80);
static_assert(offsetof(PERSON, level) == 82);
static_assert(offsetof(PERSON, wealth) == 84);
static_assert(offsetof(PERSON, money) == 88);
static_assert(offsetof(PERSON, groupid) == 92);
static_assert(offsetof(PERSON, ip) == 96);
static_assert(offsetof(PERSON, proxyip) == 100);
static_assert(offsetof(PERSON, networkspeed) == 104);
static_assert(offsetof(PERSON, link_num) == 108);
static_assert(offsetof(PERSON, break_num) == 112);
static_assert(offsetof(PERSON, startgame_num) == 116);
static_assert(offsetof(PERSON, forceexit_num) == 120);
static_assert(offsetof(PERSON, is_permit_watch) == 124);
static_assert(offsetof(PERSON, gamescore) == 128);
static_assert(offsetof(PERSON, winnum) == 132);
static_assert(offsetof(PERSON, losenum) == 136);
static_assert(offsetof(PERSON, equalnum) == 140);
static_assert(offsetof(PERSON, score_level) == 144);
static_assert(offsetof(PERSON, teamid) == 148);
static_assert(offsetof(PERSON, status) == 152);
static_assert(offsetof(PERSON, deskno) == 154);
static_assert(offsetof(PERSON, seatno) == 156);
static_assert(offsetof(PERSON, watchno) == 158);
static_assert(offsetof(PERSON, m_sSRemark) == 160);
static_assert(offsetof(PERSON, m_sDRemark) == 200);
static_assert(offsetof(PERSON, m_sCRemark) == 220);
static_assert(offsetof(PERSON, school_name) == 240);
static_assert(offsetof(PERSON, level_name) == 260);
static_assert(offsetof(PERSON, ismyfriend) == 280);
static_assert(offsetof(PERSON, ismydislike) == 282);
static_assert(sizeof(GAMESTR) == 100);
static_assert(sizeof(BIG_GAMESTR) == 500);
