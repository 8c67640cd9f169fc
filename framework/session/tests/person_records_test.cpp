// The person records: each wire record fills exactly its fields of a TablePerson (checked
// against the byte offsets of the catalogue, poked into raw bytes), the referee and lobby
// records, the three person tests and the archive form.
#include "person_records.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "byte_order.h"
#include "records/chat_text_format.h"
#include "session_texts.h"

namespace {

// Every number of a TablePerson by name, read as a 64-bit value.
struct Member {
  const char* name;
  std::function<int64_t(const TablePerson&)> get;
};

#define MEMBER(f) Member{#f, [](const TablePerson& p) -> int64_t { return p.f; }}
const std::vector<Member> kNumbers = {
    MEMBER(id), MEMBER(sex), MEMBER(headpicid), MEMBER(ismember), MEMBER(level), MEMBER(priority),
    MEMBER(forbidtype), MEMBER(wealth), MEMBER(money), MEMBER(groupid), MEMBER(ip),
    MEMBER(proxyip), MEMBER(networkspeed), MEMBER(link_num), MEMBER(break_num),
    MEMBER(startgame_num), MEMBER(forceexit_num), MEMBER(is_permit_watch), MEMBER(gamescore),
    MEMBER(winnum), MEMBER(losenum), MEMBER(equalnum), MEMBER(score_level), MEMBER(teamid),
    MEMBER(status), MEMBER(deskno), MEMBER(seatno), MEMBER(watchno), MEMBER(extraShort1),
    MEMBER(extraShort2), MEMBER(extraShort3), MEMBER(bonusPoints), MEMBER(ismyfriend),
    MEMBER(ismydislike), MEMBER(option1), MEMBER(option2), MEMBER(option3), MEMBER(option4),
    MEMBER(option5), MEMBER(option6), MEMBER(extraNumber1), MEMBER(extraNumber2),
    MEMBER(extraNumber3)};
#undef MEMBER

std::string Text(const TablePerson& p, const std::string& name) {
  if (name == "username") return p.username;
  if (name == "nickname") return p.nickname;
  if (name == "school_name") return p.school_name;
  if (name == "extraText") return p.extraText;
  if (name == "m_sSRemark") return p.m_sSRemark;
  if (name == "level_name") return p.level_name;
  return "?";
}

// A person whose every field holds a value no wire record carries.
TablePerson Sentinel() {
  TablePerson p;
  p.id = 0x7777;
  std::strcpy(p.username, "old-user");
  std::strcpy(p.nickname, "old-nick");
  std::strcpy(p.school_name, "old-school");
  std::strcpy(p.extraText, "old-extra");
  std::strcpy(p.m_sSRemark, "old-remark");
  std::strcpy(p.level_name, "old-level");
  p.sex = p.headpicid = p.ismember = p.level = p.priority = 77;
  p.forbidtype = 77;
  p.wealth = p.money = p.groupid = p.ip = p.proxyip = 77;
  p.networkspeed = p.is_permit_watch = p.score_level = p.status = p.deskno = p.seatno = 77;
  p.watchno = p.extraShort1 = p.extraShort2 = p.extraShort3 = 77;
  p.link_num = p.break_num = p.startgame_num = p.forceexit_num = p.bonusPoints = 77;
  p.gamescore = p.winnum = p.losenum = p.equalnum = p.teamid = 77;
  p.ismyfriend = p.ismydislike = 77;
  p.option1 = p.option2 = p.option3 = p.option4 = p.option5 = p.option6 = 77;
  p.extraNumber1 = p.extraNumber2 = p.extraNumber3 = 77;
  return p;
}

struct WireField {
  size_t offset;
  size_t width;  // 2 or 4 for numbers, the array size for texts
  const char* member;
  bool text = false;
};

struct WireCase {
  const char* name;
  PersonWireKind kind;
  std::vector<WireField> fields;
  bool clearsFriendFlags;
};

// The catalogue's field lists, offset by offset.
const std::vector<WireField> k256Fields = {
    {0, 4, "id"}, {4, 34, "username", true}, {38, 34, "nickname", true}, {72, 2, "sex"},
    {74, 2, "headpicid"}, {76, 2, "ismember"}, {78, 2, "level"}, {80, 2, "priority"},
    {82, 2, "forbidtype"}, {84, 4, "money"}, {88, 4, "wealth"}, {92, 4, "groupid"},
    {96, 34, "school_name", true}, {144, 4, "ip"}, {160, 4, "proxyip"}, {164, 2, "networkspeed"},
    {168, 4, "link_num"}, {172, 4, "break_num"}, {176, 4, "startgame_num"},
    {180, 4, "forceexit_num"}, {188, 2, "is_permit_watch"}, {192, 4, "gamescore"},
    {196, 4, "winnum"}, {200, 4, "losenum"}, {204, 4, "equalnum"}, {208, 2, "score_level"},
    {212, 4, "teamid"}, {216, 2, "status"}, {218, 2, "deskno"}, {220, 2, "seatno"},
    {222, 2, "watchno"}, {224, 4, "extraNumber2"}, {228, 4, "extraNumber1"},
    {232, 4, "extraNumber3"}, {236, 20, "extraText", true}};
const std::vector<WireField> k264Fields = {
    {0, 4, "id"}, {4, 34, "username", true}, {38, 34, "nickname", true}, {72, 2, "sex"},
    {74, 2, "headpicid"}, {76, 2, "ismember"}, {78, 2, "level"}, {80, 2, "priority"},
    {82, 2, "forbidtype"}, {84, 4, "money"}, {88, 4, "wealth"}, {92, 2, "extraShort1"},
    {94, 2, "extraShort2"}, {96, 2, "extraShort3"}, {100, 4, "groupid"},
    {104, 34, "school_name", true}, {152, 4, "ip"}, {168, 4, "proxyip"},
    {172, 2, "networkspeed"}, {176, 4, "link_num"}, {180, 4, "break_num"},
    {184, 4, "startgame_num"}, {188, 4, "forceexit_num"}, {192, 4, "bonusPoints"},
    {196, 2, "is_permit_watch"}, {200, 4, "gamescore"}, {204, 4, "winnum"}, {208, 4, "losenum"},
    {212, 4, "equalnum"}, {216, 2, "score_level"}, {220, 4, "teamid"}, {224, 2, "status"},
    {226, 2, "deskno"}, {228, 2, "seatno"}, {230, 2, "watchno"}, {232, 4, "extraNumber2"},
    {236, 4, "extraNumber1"}, {240, 4, "extraNumber3"}, {244, 20, "extraText", true}};
const std::vector<WireField> k228Fields = {
    {0, 4, "id"}, {4, 34, "username", true}, {38, 34, "nickname", true}, {72, 2, "sex"},
    {74, 2, "headpicid"}, {88, 4, "ip"}, {104, 4, "proxyip"}, {108, 2, "networkspeed"},
    {110, 2, "option1"}, {112, 2, "option2"}, {114, 2, "option3"}, {116, 2, "option4"},
    {118, 2, "is_permit_watch"}, {120, 4, "gamescore"}, {124, 4, "winnum"}, {128, 4, "losenum"},
    {132, 4, "equalnum"}, {136, 2, "status"}, {138, 2, "deskno"}, {140, 2, "seatno"},
    {142, 2, "watchno"}, {144, 4, "extraNumber2"}, {148, 4, "extraNumber1"},
    {152, 4, "extraNumber3"}, {156, 20, "extraText", true}, {176, 4, "groupid"},
    {180, 34, "school_name", true}};
const std::vector<WireField> k236Fields = {
    {0, 4, "id"}, {4, 34, "username", true}, {38, 34, "nickname", true}, {72, 2, "sex"},
    {74, 2, "headpicid"}, {88, 4, "ip"}, {104, 4, "proxyip"}, {108, 2, "networkspeed"},
    {110, 2, "option5"}, {112, 2, "option1"}, {114, 2, "option2"}, {116, 2, "option3"},
    {118, 2, "is_permit_watch"}, {120, 4, "gamescore"}, {124, 4, "winnum"}, {128, 4, "losenum"},
    {132, 4, "equalnum"}, {136, 2, "option6"}, {138, 2, "forceexit_num"}, {140, 2, "break_num"},
    {142, 2, "status"}, {144, 2, "deskno"}, {146, 2, "seatno"}, {148, 2, "watchno"},
    {152, 4, "extraNumber2"}, {156, 4, "extraNumber1"}, {160, 4, "extraNumber3"},
    {164, 20, "extraText", true}, {184, 4, "groupid"}, {188, 34, "school_name", true}};
const std::vector<WireField> k228bFields = {
    {0, 4, "id"}, {4, 34, "username", true}, {38, 34, "nickname", true}, {72, 2, "sex"},
    {74, 2, "headpicid"}, {88, 4, "ip"}, {104, 4, "proxyip"}, {108, 2, "networkspeed"},
    {110, 2, "option1"}, {112, 2, "option2"}, {114, 2, "option3"}, {116, 2, "is_permit_watch"},
    {120, 4, "gamescore"}, {124, 4, "winnum"}, {128, 4, "losenum"}, {132, 4, "equalnum"},
    {136, 2, "status"}, {138, 2, "deskno"}, {140, 2, "seatno"}, {142, 2, "watchno"},
    {144, 4, "extraNumber2"}, {148, 4, "extraNumber1"}, {152, 4, "extraNumber3"},
    {156, 20, "extraText", true}, {176, 4, "groupid"}, {180, 34, "school_name", true},
    {214, 2, "ismember"}, {216, 2, "level"}, {220, 4, "money"}, {224, 4, "wealth"}};

const WireCase kWireCases[] = {
    {"256", PersonWireKind::Wire256, k256Fields, false},
    {"264", PersonWireKind::Wire264, k264Fields, true},
    {"228", PersonWireKind::Wire228, k228Fields, true},
    {"236", PersonWireKind::Wire236, k236Fields, true},
    {"228b", PersonWireKind::Wire228b, k228bFields, true},
};

TEST(SessionPerson, EachWireRecordFillsExactlyItsFields) {
  for (const WireCase& c : kWireCases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> raw(PersonWireSize(c.kind), 0xA5);  // carried bytes: noise
    std::vector<std::pair<std::string, int64_t>> numbers;
    std::vector<std::pair<std::string, std::string>> texts;
    int64_t value = 0x0101;
    for (const WireField& f : c.fields) {
      if (f.text) {
        // A text that fills its array without a NUL: cut to the array size - 1.
        const char letter = static_cast<char>('a' + texts.size());
        std::memset(raw.data() + f.offset, letter, f.width);
        texts.emplace_back(f.member, std::string(f.width - 1, letter));
        continue;
      }
      value += 0x0111;
      if (f.width == 2) {
        StoreBigEndian16(raw.data() + f.offset, static_cast<uint16_t>(value));
      } else {
        StoreBigEndian32(raw.data() + f.offset, static_cast<uint32_t>(value | 0x00010000));
      }
      // groupid keeps only the low 16 bits of its 32.
      const bool low16 = f.width == 2 || std::string(f.member) == "groupid";
      numbers.emplace_back(f.member, low16 ? value : (value | 0x00010000));
    }
    TablePerson person = Sentinel();
    FillFromWireBytes(person, c.kind, raw.data());
    const TablePerson before = Sentinel();
    for (const Member& m : kNumbers) {
      int64_t expected = m.get(before);
      for (const auto& [name, v] : numbers) {
        if (name == m.name) expected = v;
      }
      if (c.clearsFriendFlags && (std::string(m.name) == "ismyfriend" ||
                                  std::string(m.name) == "ismydislike")) {
        expected = 0;
      }
      EXPECT_EQ(m.get(person), expected) << m.name;
    }
    for (const char* name : {"username", "nickname", "school_name", "extraText", "m_sSRemark",
                             "level_name"}) {
      std::string expected = Text(before, name);
      for (const auto& [member, text] : texts) {
        if (member == name) expected = text;
      }
      EXPECT_EQ(Text(person, name), expected) << name;
    }
  }
}

TEST(SessionPerson, WireNumbersKeepTheirSigns) {
  PersonWire256 w;
  w.groupid = 0x0012FFFE;   // low half -2
  w.deskno = 0xFFFF;        // -1
  w.wealth = 0xFFFFFFF6;    // -10
  TablePerson p;
  FillFromWire256(p, w);
  EXPECT_EQ(p.groupid, -2);
  EXPECT_EQ(p.deskno, -1);
  EXPECT_EQ(p.wealth, -10);

  PersonWire236 w236;
  w236.forceexit_num = 0xFFFF;  // a 16-bit count into a 32-bit field
  w236.break_num = 0x8000;
  FillFromWire236(p, w236);
  EXPECT_EQ(p.forceexit_num, 65535);
  EXPECT_EQ(p.break_num, 32768);
}

TEST(SessionPerson, RefereeRecordFill) {
  for (uint16_t role : {1, 2}) {
    RefereeRecord r;
    r.id = 500;
    std::memset(r.username, 'r', sizeof r.username);
    r.role = role;
    r.status = 5;
    r.deskno = 4;
    r.watchno = 2;
    TablePerson p = Sentinel();
    FillReferee(p, r);
    EXPECT_EQ(p.id, 500u);
    EXPECT_EQ(std::string(p.username), std::string(33, 'r'));
    EXPECT_STREQ(p.nickname, role == 1 ? kTextChiefReferee : kTextDeputyReferee);
    EXPECT_EQ(p.priority, role == 1 ? 2 : 3);
    EXPECT_EQ(p.status, 5);
    EXPECT_EQ(p.deskno, 4);
    EXPECT_EQ(p.watchno, 2);
    EXPECT_EQ(p.seatno, 0);
    EXPECT_EQ(p.sex, 1);
    EXPECT_EQ(p.headpicid, 1);
    EXPECT_EQ(p.link_num, 1);
    EXPECT_EQ(p.option1 + p.option2 + p.option3, 3);
    EXPECT_EQ(p.option4, -1);
    for (int64_t zero : {int64_t{p.ismember}, int64_t{p.level}, int64_t{p.wealth}, int64_t{p.money},
                         int64_t{p.groupid}, int64_t{p.ip}, int64_t{p.proxyip},
                         int64_t{p.networkspeed}, int64_t{p.break_num}, int64_t{p.startgame_num},
                         int64_t{p.forceexit_num}, int64_t{p.is_permit_watch}, int64_t{p.gamescore},
                         int64_t{p.winnum}, int64_t{p.losenum}, int64_t{p.equalnum},
                         int64_t{p.score_level}, int64_t{p.teamid}, int64_t{p.forbidtype},
                         int64_t{p.extraShort1}, int64_t{p.extraShort3}, int64_t{p.bonusPoints},
                         int64_t{p.ismyfriend}, int64_t{p.ismydislike}}) {
      EXPECT_EQ(zero, 0);
    }
    // Not the referee record's: kept.
    EXPECT_EQ(p.option5, 77);
    EXPECT_STREQ(p.school_name, "old-school");
  }
}

TEST(SessionPerson, AssignFromPersonKeepsGbkNamesAndBoundsEveryText) {
  PERSON lobby{};
  lobby.id = 123456;
  std::strcpy(lobby.username, "\xd5\xc5\xc8\xfd");  // 张三
  std::strcpy(lobby.nickname, "\xd0\xa1\xd5\xc5");  // 小张
  lobby.priority = 1;
  lobby.forbidtype = 0x8000;
  lobby.headpicid = 12;
  lobby.groupid = -2;
  lobby.ismyfriend = -1;
  lobby.ismydislike = 1;
  lobby.deskno = 6;
  lobby.seatno = 1;
  lobby.watchno = -1;
  std::memset(lobby.m_sSRemark, 's', sizeof lobby.m_sSRemark);    // no NUL anywhere
  std::memset(lobby.school_name, 'c', sizeof lobby.school_name);
  std::memset(lobby.level_name, 'l', sizeof lobby.level_name);
  TablePerson p = Sentinel();
  AssignFromPERSON(p, lobby);
  EXPECT_EQ(p.id, 123456u);
  EXPECT_STREQ(p.username, "\xd5\xc5\xc8\xfd");
  EXPECT_STREQ(p.nickname, "\xd0\xa1\xd5\xc5");
  EXPECT_TRUE(p.IsAdministrator());
  EXPECT_TRUE(p.IsChatForbidden());
  EXPECT_EQ(p.headpicid, 12);
  EXPECT_EQ(p.groupid, -2);
  EXPECT_EQ(p.ismyfriend, -1);
  EXPECT_EQ(p.ismydislike, 1);
  EXPECT_EQ(p.deskno, 6);
  EXPECT_EQ(p.watchno, -1);
  EXPECT_EQ(std::string(p.m_sSRemark), std::string(39, 's'));
  EXPECT_EQ(std::string(p.school_name), std::string(20, 'c'));
  EXPECT_EQ(std::string(p.level_name), std::string(20, 'l'));
  // Client-only fields keep their values.
  EXPECT_EQ(p.option1, 77);
  EXPECT_EQ(p.bonusPoints, 77);
  EXPECT_STREQ(p.extraText, "old-extra");
}

TEST(SessionPerson, Defaults) {
  const TablePerson p;
  EXPECT_EQ(p.deskno, -1);
  EXPECT_EQ(p.seatno, -1);
  EXPECT_EQ(p.watchno, -1);
  EXPECT_EQ(p.option1, 1);
  EXPECT_EQ(p.option4, 0);
  EXPECT_EQ(p.option5, -1);
  EXPECT_EQ(p.option6, -1);
  EXPECT_STREQ(p.username, "");
  const ChatTextFormat f;
  EXPECT_STREQ(f.m_sFontFace, "\xcb\xce\xcc\xe5");  // 宋体
  EXPECT_EQ(f.m_nSize, 9);
  EXPECT_EQ(f.m_nColor, 0);
  EXPECT_EQ(f.m_nSpeakerId + f.m_nSecondId, 0u);
}

TEST(SessionPerson, PersonTests) {
  const struct {
    int32_t started;
    int32_t forced;
    uint16_t forbid;
    bool refused;
  } forceExit[] = {
      {0, 0, 0, true},          {100, 3, 0, false},          {100, 3, 0x1000, true},
      {100, 4, 0, true},        {99, 3, 0, true},            {125, 4, 0, false},
      {INT32_MAX, INT32_MAX, 0, true},  {INT32_MAX, 0, 0, false},
  };
  for (const auto& c : forceExit) {
    TablePerson p;
    p.startgame_num = c.started;
    p.forceexit_num = c.forced;
    p.forbidtype = c.forbid;
    EXPECT_EQ(p.IsForceExitForbidden(), c.refused) << c.started << "/" << c.forced;
  }
  TablePerson p;
  p.forbidtype = 0x8000;
  EXPECT_TRUE(p.IsChatForbidden());
  p.forbidtype = 0x7FFF;
  EXPECT_FALSE(p.IsChatForbidden());
  p.priority = 2;
  EXPECT_FALSE(p.IsAdministrator());
}

TablePerson Archivable() {
  TablePerson p = Sentinel();
  std::memset(p.username, 'u', 33);
  p.username[33] = '\0';
  std::strcpy(p.nickname, "\xd0\xa1\xd5\xc5");
  p.id = 0xDEADBEEF;
  p.ip = -5;
  p.sex = -1;
  p.forbidtype = 0x9000;
  p.groupid = -2;
  p.bonusPoints = 123456;
  p.extraShort2 = 3;
  p.watchno = -1;
  p.ismydislike = 1;
  std::strcpy(p.m_sSRemark, "remark s");
  std::strcpy(p.m_sDRemark, "remark d");
  std::strcpy(p.m_sCRemark, "");
  return p;
}

TEST(SessionPerson, ArchiveRoundTripsTheArchivedFieldsOnly) {
  const TablePerson stored = Archivable();
  ArchiveWriter writer;
  SerializePerson(stored, writer);
  const auto& bytes = writer.GetBytes();
  // username: length 33 then the bytes; nickname: 4 then the GBK bytes; ip: -5 little-endian.
  ASSERT_GT(bytes.size(), 43u);
  EXPECT_EQ(bytes[0], 33);
  EXPECT_EQ(bytes[34], 4);
  EXPECT_EQ(bytes[35], 0xd0);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 39, bytes.begin() + 43),
            (std::vector<uint8_t>{0xFB, 0xFF, 0xFF, 0xFF}));
  // strings 34 + 5 + 9 + 9 + 1; sixteen 16-bit and eighteen 32-bit numbers.
  EXPECT_EQ(bytes.size(), 34u + 5 + 9 + 9 + 1 + 16 * 2 + 18 * 4);

  TablePerson loaded;
  loaded.option1 = 42;
  std::strcpy(loaded.school_name, "kept");
  ArchiveReader reader(bytes);
  ASSERT_TRUE(SerializePerson(loaded, reader));
  EXPECT_EQ(reader.GetRemaining(), 0u);
  for (const Member& m : kNumbers) {
    const std::string name = m.name;
    if (name.rfind("option", 0) == 0 || name.rfind("extraNumber", 0) == 0) continue;
    EXPECT_EQ(m.get(loaded), m.get(stored)) << name;
  }
  EXPECT_STREQ(loaded.username, stored.username);
  EXPECT_STREQ(loaded.nickname, stored.nickname);
  EXPECT_STREQ(loaded.m_sSRemark, "remark s");
  EXPECT_STREQ(loaded.m_sDRemark, "remark d");
  EXPECT_EQ(loaded.option1, 42);
  EXPECT_EQ(loaded.extraNumber1, 0);
  EXPECT_STREQ(loaded.school_name, "kept");
}

TEST(SessionPerson, ArchiveLoadFailsCleanlyOnEveryTruncation) {
  ArchiveWriter writer;
  SerializePerson(Archivable(), writer);
  const auto& bytes = writer.GetBytes();
  for (size_t size = 0; size < bytes.size(); ++size) {
    // An exactly sized copy, so that a read past the end is caught.
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(size));
    TablePerson person;
    std::strcpy(person.nickname, "untouched");
    ArchiveReader reader(cut.data(), cut.size());
    EXPECT_FALSE(SerializePerson(person, reader)) << size;
    EXPECT_STREQ(person.nickname, "untouched");
    EXPECT_EQ(person.id, 0u);
  }
}

TEST(SessionPerson, ArchiveCutsLongStringsToTheirArrays) {
  ArchiveWriter writer;
  writer.WriteString(std::string(40, 'n'));  // username of 40 characters
  writer.WriteString(std::string(300, 'k'));
  TablePerson zeros;
  ArchiveWriter rest;
  SerializePerson(zeros, rest);
  // Everything after the two names, as a plain person stores it.
  const auto& tail = rest.GetBytes();
  writer.WriteBytes(tail.data() + 2, tail.size() - 2);
  TablePerson p;
  ArchiveReader reader(writer.GetBytes());
  ASSERT_TRUE(SerializePerson(p, reader));
  EXPECT_EQ(std::string(p.username), std::string(33, 'n'));
  EXPECT_EQ(std::string(p.nickname), std::string(33, 'k'));
}

}  // namespace
