// The person records that reach the client: the five wire person records of the roster and
// enter messages (3106/3107 + 50k), the referee record (3806, 3817), the lobby's PERSON, and
// the archive form of TablePerson in saved hand records. Each filler writes exactly the fields
// its record carries and leaves every other field of the TablePerson as it was.
#pragma once
#include <cstddef>
#include <cstdint>

#include "archive.h"
#include "records/lobby_records.h"
#include "records/table_person.h"
#include "wire_record.h"

// A table person's status.
constexpr int16_t kStatusPlaying = 4;
constexpr int16_t kStatusWatching = 5;

struct PersonWire256 : WireRecord<PersonWire256> {
  uint32_t id = 0;
  char username[34] = {};
  char nickname[34] = {};
  uint16_t sex = 0;
  uint16_t headpicid = 0;
  uint16_t ismember = 0;
  uint16_t level = 0;
  uint16_t priority = 0;
  uint16_t forbidtype = 0;
  uint32_t money = 0;
  uint32_t wealth = 0;
  uint32_t groupid = 0;
  char school_name[34] = {};
  uint8_t gap130[14] = {};
  uint32_t ip = 0;
  uint8_t gap148[12] = {};
  uint32_t proxyip = 0;
  uint16_t networkspeed = 0;
  uint8_t gap166[2] = {};
  uint32_t link_num = 0;
  uint32_t break_num = 0;
  uint32_t startgame_num = 0;
  uint32_t forceexit_num = 0;
  uint32_t unread184 = 0;
  uint16_t is_permit_watch = 0;
  uint8_t gap190[2] = {};
  uint32_t gamescore = 0;
  uint32_t winnum = 0;
  uint32_t losenum = 0;
  uint32_t equalnum = 0;
  uint16_t score_level = 0;
  uint8_t gap210[2] = {};
  uint32_t teamid = 0;
  uint16_t status = 0;
  uint16_t deskno = 0;
  uint16_t seatno = 0;
  uint16_t watchno = 0;
  uint32_t extraNumber2 = 0;
  uint32_t extraNumber1 = 0;
  uint32_t extraNumber3 = 0;
  char extraText[20] = {};
  void FlipFields() {
    FlipByteOrders(id, sex, headpicid, ismember, level, priority, forbidtype, money, wealth, groupid,
                   ip, proxyip, networkspeed, link_num, break_num, startgame_num, forceexit_num,
                   unread184, is_permit_watch, gamescore, winnum, losenum, equalnum, score_level,
                   teamid, status, deskno, seatno, watchno, extraNumber2, extraNumber1,
                   extraNumber3);
  }
};

struct PersonWire264 : WireRecord<PersonWire264> {
  uint32_t id = 0;
  char username[34] = {};
  char nickname[34] = {};
  uint16_t sex = 0;
  uint16_t headpicid = 0;
  uint16_t ismember = 0;
  uint16_t level = 0;
  uint16_t priority = 0;
  uint16_t forbidtype = 0;
  uint32_t money = 0;
  uint32_t wealth = 0;
  uint16_t extraShort1 = 0;
  uint16_t extraShort2 = 0;
  uint16_t extraShort3 = 0;
  uint8_t gap98[2] = {};
  uint32_t groupid = 0;
  char school_name[34] = {};
  uint8_t gap138[14] = {};
  uint32_t ip = 0;
  uint8_t gap156[12] = {};
  uint32_t proxyip = 0;
  uint16_t networkspeed = 0;
  uint8_t gap174[2] = {};
  uint32_t link_num = 0;
  uint32_t break_num = 0;
  uint32_t startgame_num = 0;
  uint32_t forceexit_num = 0;
  uint32_t bonusPoints = 0;
  uint16_t is_permit_watch = 0;
  uint8_t gap198[2] = {};
  uint32_t gamescore = 0;
  uint32_t winnum = 0;
  uint32_t losenum = 0;
  uint32_t equalnum = 0;
  uint16_t score_level = 0;
  uint8_t gap218[2] = {};
  uint32_t teamid = 0;
  uint16_t status = 0;
  uint16_t deskno = 0;
  uint16_t seatno = 0;
  uint16_t watchno = 0;
  uint32_t extraNumber2 = 0;
  uint32_t extraNumber1 = 0;
  uint32_t extraNumber3 = 0;
  char extraText[20] = {};
  void FlipFields() {
    FlipByteOrders(id, sex, headpicid, ismember, level, priority, forbidtype, money, wealth,
                   extraShort1, extraShort2, extraShort3, groupid, ip, proxyip, networkspeed,
                   link_num, break_num, startgame_num, forceexit_num, bonusPoints, is_permit_watch,
                   gamescore, winnum, losenum, equalnum, score_level, teamid, status, deskno,
                   seatno, watchno, extraNumber2, extraNumber1, extraNumber3);
  }
};

struct PersonWire228 : WireRecord<PersonWire228> {
  uint32_t id = 0;
  char username[34] = {};
  char nickname[34] = {};
  uint16_t sex = 0;
  uint16_t headpicid = 0;
  uint8_t gap76[12] = {};
  uint32_t ip = 0;
  uint8_t gap92[12] = {};
  uint32_t proxyip = 0;
  uint16_t networkspeed = 0;
  uint16_t option1 = 0;
  uint16_t option2 = 0;
  uint16_t option3 = 0;
  uint16_t option4 = 0;
  uint16_t is_permit_watch = 0;
  uint32_t gamescore = 0;
  uint32_t winnum = 0;
  uint32_t losenum = 0;
  uint32_t equalnum = 0;
  uint16_t status = 0;
  uint16_t deskno = 0;
  uint16_t seatno = 0;
  uint16_t watchno = 0;
  uint32_t extraNumber2 = 0;
  uint32_t extraNumber1 = 0;
  uint32_t extraNumber3 = 0;
  char extraText[20] = {};
  uint32_t groupid = 0;
  char school_name[34] = {};
  uint16_t unread214 = 0;
  uint16_t unread216 = 0;
  uint8_t gap218[2] = {};
  uint32_t unread220 = 0;
  uint32_t unread224 = 0;
  void FlipFields() {
    FlipByteOrders(id, sex, headpicid, ip, proxyip, networkspeed, option1, option2, option3,
                   option4, is_permit_watch, gamescore, winnum, losenum, equalnum, status, deskno,
                   seatno, watchno, extraNumber2, extraNumber1, extraNumber3, groupid, unread214,
                   unread216, unread220, unread224);
  }
};

struct PersonWire236 : WireRecord<PersonWire236> {
  uint32_t id = 0;
  char username[34] = {};
  char nickname[34] = {};
  uint16_t sex = 0;
  uint16_t headpicid = 0;
  uint8_t gap76[12] = {};
  uint32_t ip = 0;
  uint8_t gap92[12] = {};
  uint32_t proxyip = 0;
  uint16_t networkspeed = 0;
  uint16_t option5 = 0;
  uint16_t option1 = 0;
  uint16_t option2 = 0;
  uint16_t option3 = 0;
  uint16_t is_permit_watch = 0;
  uint32_t gamescore = 0;
  uint32_t winnum = 0;
  uint32_t losenum = 0;
  uint32_t equalnum = 0;
  uint16_t option6 = 0;
  uint16_t forceexit_num = 0;
  uint16_t break_num = 0;
  uint16_t status = 0;
  uint16_t deskno = 0;
  uint16_t seatno = 0;
  uint16_t watchno = 0;
  uint8_t gap150[2] = {};
  uint32_t extraNumber2 = 0;
  uint32_t extraNumber1 = 0;
  uint32_t extraNumber3 = 0;
  char extraText[20] = {};
  uint32_t groupid = 0;
  char school_name[34] = {};
  uint16_t unread222 = 0;
  uint16_t unread224 = 0;
  uint8_t gap226[2] = {};
  uint32_t unread228 = 0;
  uint32_t unread232 = 0;
  void FlipFields() {
    FlipByteOrders(id, sex, headpicid, ip, proxyip, networkspeed, option5, option1, option2,
                   option3, is_permit_watch, gamescore, winnum, losenum, equalnum, option6,
                   forceexit_num, break_num, status, deskno, seatno, watchno, extraNumber2,
                   extraNumber1, extraNumber3, groupid, unread222, unread224, unread228,
                   unread232);
  }
};

struct PersonWire228b : WireRecord<PersonWire228b> {
  uint32_t id = 0;
  char username[34] = {};
  char nickname[34] = {};
  uint16_t sex = 0;
  uint16_t headpicid = 0;
  uint8_t gap76[12] = {};
  uint32_t ip = 0;
  uint8_t gap92[12] = {};
  uint32_t proxyip = 0;
  uint16_t networkspeed = 0;
  uint16_t option1 = 0;
  uint16_t option2 = 0;
  uint16_t option3 = 0;
  uint16_t is_permit_watch = 0;
  uint8_t gap118[2] = {};
  uint32_t gamescore = 0;
  uint32_t winnum = 0;
  uint32_t losenum = 0;
  uint32_t equalnum = 0;
  uint16_t status = 0;
  uint16_t deskno = 0;
  uint16_t seatno = 0;
  uint16_t watchno = 0;
  uint32_t extraNumber2 = 0;
  uint32_t extraNumber1 = 0;
  uint32_t extraNumber3 = 0;
  char extraText[20] = {};
  uint32_t groupid = 0;
  char school_name[34] = {};
  uint16_t ismember = 0;
  uint16_t level = 0;
  uint8_t gap218[2] = {};
  uint32_t money = 0;
  uint32_t wealth = 0;
  void FlipFields() {
    FlipByteOrders(id, sex, headpicid, ip, proxyip, networkspeed, option1, option2, option3,
                   is_permit_watch, gamescore, winnum, losenum, equalnum, status, deskno, seatno,
                   watchno, extraNumber2, extraNumber1, extraNumber3, groupid, ismember, level,
                   money, wealth);
  }
};

// 3806 (a list) and 3817 (one): a referee.
struct RefereeRecord : WireRecord<RefereeRecord> {
  uint32_t id = 0;
  char username[34] = {};
  uint16_t role = 0;  // 1 chief referee
  uint16_t status = 0;
  uint16_t deskno = 0;
  uint16_t watchno = 0;
  uint8_t gap46[2] = {};
  void FlipFields() { FlipByteOrders(id, role, status, deskno, watchno); }
};

using CVyrMessage_RefereeList = RecordList<RefereeRecord>;

void FillFromWire256(TablePerson& person, const PersonWire256& wire);
void FillFromWire264(TablePerson& person, const PersonWire264& wire);
void FillFromWire228(TablePerson& person, const PersonWire228& wire);
void FillFromWire236(TablePerson& person, const PersonWire236& wire);
void FillFromWire228b(TablePerson& person, const PersonWire228b& wire);
void FillReferee(TablePerson& person, const RefereeRecord& referee);

// Copies every field of the lobby's record into the field of the same name; the client-only
// fields keep their values. Texts are read no further than their arrays.
void AssignFromPERSON(TablePerson& person, const PERSON& lobby);

// The archive form of a person in saved hand records.
void SerializePerson(const TablePerson& person, ArchiveWriter& archive);
// Loads what SerializePerson stores. On truncated or malformed input it returns false and the
// person is left as it was; fields outside the archive form are never touched.
bool SerializePerson(TablePerson& person, ArchiveReader& archive);

// The five wire person records, by the member k (0 to 8) of the roster and enter families.
enum class PersonWireKind { Wire256, Wire264, Wire228, Wire236, Wire228b };
PersonWireKind PersonWireKindOf(int familyMember);
size_t PersonWireSize(PersonWireKind kind);
// Converts the record at body (at least PersonWireSize bytes) and fills the person from it.
void FillFromWireBytes(TablePerson& person, PersonWireKind kind, const uint8_t* body);
// The user id of the record at body, in host order.
uint32_t WirePersonId(const uint8_t* body);

static_assert(sizeof(PersonWire256) == 256);
static_assert(offsetof(PersonWire256, username) == 4);
static_assert(offsetof(PersonWire256, nickname) == 38);
static_assert(offsetof(PersonWire256, sex) == 72);
static_assert(offsetof(PersonWire256, forbidtype) == 82);
static_assert(offsetof(PersonWire256, money) == 84);
static_assert(offsetof(PersonWire256, groupid) == 92);
static_assert(offsetof(PersonWire256, school_name) == 96);
static_assert(offsetof(PersonWire256, ip) == 144);
static_assert(offsetof(PersonWire256, proxyip) == 160);
static_assert(offsetof(PersonWire256, networkspeed) == 164);
static_assert(offsetof(PersonWire256, link_num) == 168);
static_assert(offsetof(PersonWire256, unread184) == 184);
static_assert(offsetof(PersonWire256, is_permit_watch) == 188);
static_assert(offsetof(PersonWire256, gamescore) == 192);
static_assert(offsetof(PersonWire256, score_level) == 208);
static_assert(offsetof(PersonWire256, teamid) == 212);
static_assert(offsetof(PersonWire256, status) == 216);
static_assert(offsetof(PersonWire256, watchno) == 222);
static_assert(offsetof(PersonWire256, extraNumber2) == 224);
static_assert(offsetof(PersonWire256, extraNumber3) == 232);
static_assert(offsetof(PersonWire256, extraText) == 236);

static_assert(sizeof(PersonWire264) == 264);
static_assert(offsetof(PersonWire264, extraShort1) == 92);
static_assert(offsetof(PersonWire264, extraShort3) == 96);
static_assert(offsetof(PersonWire264, groupid) == 100);
static_assert(offsetof(PersonWire264, school_name) == 104);
static_assert(offsetof(PersonWire264, ip) == 152);
static_assert(offsetof(PersonWire264, proxyip) == 168);
static_assert(offsetof(PersonWire264, networkspeed) == 172);
static_assert(offsetof(PersonWire264, link_num) == 176);
static_assert(offsetof(PersonWire264, bonusPoints) == 192);
static_assert(offsetof(PersonWire264, is_permit_watch) == 196);
static_assert(offsetof(PersonWire264, gamescore) == 200);
static_assert(offsetof(PersonWire264, score_level) == 216);
static_assert(offsetof(PersonWire264, teamid) == 220);
static_assert(offsetof(PersonWire264, status) == 224);
static_assert(offsetof(PersonWire264, watchno) == 230);
static_assert(offsetof(PersonWire264, extraNumber2) == 232);
static_assert(offsetof(PersonWire264, extraText) == 244);

static_assert(sizeof(PersonWire228) == 228);
static_assert(offsetof(PersonWire228, ip) == 88);
static_assert(offsetof(PersonWire228, proxyip) == 104);
static_assert(offsetof(PersonWire228, networkspeed) == 108);
static_assert(offsetof(PersonWire228, option1) == 110);
static_assert(offsetof(PersonWire228, option4) == 116);
static_assert(offsetof(PersonWire228, is_permit_watch) == 118);
static_assert(offsetof(PersonWire228, gamescore) == 120);
static_assert(offsetof(PersonWire228, status) == 136);
static_assert(offsetof(PersonWire228, watchno) == 142);
static_assert(offsetof(PersonWire228, extraNumber2) == 144);
static_assert(offsetof(PersonWire228, extraText) == 156);
static_assert(offsetof(PersonWire228, groupid) == 176);
static_assert(offsetof(PersonWire228, school_name) == 180);
static_assert(offsetof(PersonWire228, unread214) == 214);
static_assert(offsetof(PersonWire228, unread216) == 216);
static_assert(offsetof(PersonWire228, unread220) == 220);
static_assert(offsetof(PersonWire228, unread224) == 224);

static_assert(sizeof(PersonWire236) == 236);
static_assert(offsetof(PersonWire236, option5) == 110);
static_assert(offsetof(PersonWire236, option3) == 116);
static_assert(offsetof(PersonWire236, is_permit_watch) == 118);
static_assert(offsetof(PersonWire236, option6) == 136);
static_assert(offsetof(PersonWire236, forceexit_num) == 138);
static_assert(offsetof(PersonWire236, break_num) == 140);
static_assert(offsetof(PersonWire236, status) == 142);
static_assert(offsetof(PersonWire236, watchno) == 148);
static_assert(offsetof(PersonWire236, extraNumber2) == 152);
static_assert(offsetof(PersonWire236, extraText) == 164);
static_assert(offsetof(PersonWire236, groupid) == 184);
static_assert(offsetof(PersonWire236, school_name) == 188);
static_assert(offsetof(PersonWire236, unread222) == 222);
static_assert(offsetof(PersonWire236, unread228) == 228);
static_assert(offsetof(PersonWire236, unread232) == 232);

static_assert(sizeof(PersonWire228b) == 228);
static_assert(offsetof(PersonWire228b, is_permit_watch) == 116);
static_assert(offsetof(PersonWire228b, gamescore) == 120);
static_assert(offsetof(PersonWire228b, status) == 136);
static_assert(offsetof(PersonWire228b, extraText) == 156);
static_assert(offsetof(PersonWire228b, groupid) == 176);
static_assert(offsetof(PersonWire228b, school_name) == 180);
static_assert(offsetof(PersonWire228b, ismember) == 214);
static_assert(offsetof(PersonWire228b, level) == 216);
static_assert(offsetof(PersonWire228b, money) == 220);
static_assert(offsetof(PersonWire228b, wealth) == 224);

static_assert(sizeof(RefereeRecord) == 48);
static_assert(offsetof(RefereeRecord, role) == 38);
static_assert(offsetof(RefereeRecord, status) == 40);
static_assert(offsetof(RefereeRecord, deskno) == 42);
static_assert(offsetof(RefereeRecord, watchno) == 44);
