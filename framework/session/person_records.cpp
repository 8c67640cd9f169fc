#include "person_records.h"

#include <string>

#include "session_texts.h"
#include "text_copy.h"

namespace {

int16_t S16(uint16_t v) { return static_cast<int16_t>(v); }
int32_t S32(uint32_t v) { return static_cast<int32_t>(v); }
// The group travels in 32 bits but is a 16-bit value: its low half, sign-extended.
int32_t GroupId(uint32_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF)); }

// The fields every wire record carries at the same place and in the same way.
template <class Wire>
void FillCommon(TablePerson& p, const Wire& w) {
  p.id = w.id;
  CopyText(p.username, w.username);
  CopyText(p.nickname, w.nickname);
  p.sex = S16(w.sex);
  p.headpicid = S16(w.headpicid);
  p.ip = S32(w.ip);
  p.proxyip = S32(w.proxyip);
  p.networkspeed = S16(w.networkspeed);
  p.is_permit_watch = S16(w.is_permit_watch);
  p.gamescore = S32(w.gamescore);
  p.winnum = S32(w.winnum);
  p.losenum = S32(w.losenum);
  p.equalnum = S32(w.equalnum);
  p.status = S16(w.status);
  p.deskno = S16(w.deskno);
  p.seatno = S16(w.seatno);
  p.watchno = S16(w.watchno);
  p.extraNumber1 = S32(w.extraNumber1);
  p.extraNumber2 = S32(w.extraNumber2);
  p.extraNumber3 = S32(w.extraNumber3);
  CopyText(p.extraText, w.extraText);
  p.groupid = GroupId(w.groupid);
  CopyText(p.school_name, w.school_name);
}

// The fields of the two longer records (256 and 264 bytes).
template <class Wire>
void FillLong(TablePerson& p, const Wire& w) {
  FillCommon(p, w);
  p.ismember = S16(w.ismember);
  p.level = S16(w.level);
  p.priority = S16(w.priority);
  p.forbidtype = w.forbidtype;
  p.money = S32(w.money);
  p.wealth = S32(w.wealth);
  p.link_num = S32(w.link_num);
  p.break_num = S32(w.break_num);
  p.startgame_num = S32(w.startgame_num);
  p.forceexit_num = S32(w.forceexit_num);
  p.score_level = S16(w.score_level);
  p.teamid = S32(w.teamid);
}

template <class Wire>
void FillFromBytes(TablePerson& person, const uint8_t* body,
                   void (*fill)(TablePerson&, const Wire&)) {
  Wire wire;
  if (ReadRecord(body, sizeof(Wire), wire)) fill(person, wire);
}

}  // namespace

void FillFromWire256(TablePerson& p, const PersonWire256& w) { FillLong(p, w); }

void FillFromWire264(TablePerson& p, const PersonWire264& w) {
  FillLong(p, w);
  p.extraShort1 = S16(w.extraShort1);
  p.extraShort2 = S16(w.extraShort2);
  p.extraShort3 = S16(w.extraShort3);
  p.bonusPoints = S32(w.bonusPoints);
  p.ismyfriend = 0;
  p.ismydislike = 0;
}

void FillFromWire228(TablePerson& p, const PersonWire228& w) {
  FillCommon(p, w);
  p.option1 = S16(w.option1);
  p.option2 = S16(w.option2);
  p.option3 = S16(w.option3);
  p.option4 = S16(w.option4);
  p.ismyfriend = 0;
  p.ismydislike = 0;
}

void FillFromWire236(TablePerson& p, const PersonWire236& w) {
  FillCommon(p, w);
  p.option5 = S16(w.option5);
  p.option1 = S16(w.option1);
  p.option2 = S16(w.option2);
  p.option3 = S16(w.option3);
  p.option6 = S16(w.option6);
  // 16-bit counts on this record.
  p.forceexit_num = w.forceexit_num;
  p.break_num = w.break_num;
  p.ismyfriend = 0;
  p.ismydislike = 0;
}

void FillFromWire228b(TablePerson& p, const PersonWire228b& w) {
  FillCommon(p, w);
  p.option1 = S16(w.option1);
  p.option2 = S16(w.option2);
  p.option3 = S16(w.option3);
  p.ismember = S16(w.ismember);
  p.level = S16(w.level);
  p.money = S32(w.money);
  p.wealth = S32(w.wealth);
  p.ismyfriend = 0;
  p.ismydislike = 0;
}

void FillReferee(TablePerson& p, const RefereeRecord& r) {
  const bool chief = r.role == 1;
  p.id = r.id;
  CopyText(p.username, r.username);
  CopyText(p.nickname, chief ? kTextChiefReferee : kTextDeputyReferee);
  p.priority = chief ? 2 : 3;
  p.status = S16(r.status);
  p.deskno = S16(r.deskno);
  p.watchno = S16(r.watchno);
  p.seatno = 0;
  p.sex = 1;
  p.headpicid = 1;
  p.link_num = 1;
  p.option1 = p.option2 = p.option3 = 1;
  p.option4 = -1;
  p.ismember = p.level = 0;
  p.wealth = p.money = p.groupid = p.ip = p.proxyip = 0;
  p.networkspeed = 0;
  p.break_num = p.startgame_num = p.forceexit_num = 0;
  p.is_permit_watch = 0;
  p.gamescore = p.winnum = p.losenum = p.equalnum = 0;
  p.score_level = 0;
  p.teamid = 0;
  p.forbidtype = 0;
  p.extraShort1 = p.extraShort2 = p.extraShort3 = 0;
  p.bonusPoints = 0;
  p.ismyfriend = p.ismydislike = 0;
}

void AssignFromPERSON(TablePerson& p, const PERSON& l) {
  p.id = l.id;
  CopyText(p.username, l.username);
  CopyText(p.nickname, l.nickname);
  p.sex = l.sex;
  p.priority = l.priority;
  p.forbidtype = l.forbidtype;
  p.headpicid = l.headpicid;
  p.ismember = l.ismember;
  p.level = l.level;
  p.wealth = l.wealth;
  p.money = l.money;
  p.groupid = l.groupid;
  p.ip = l.ip;
  p.proxyip = l.proxyip;
  p.networkspeed = l.networkspeed;
  p.link_num = l.link_num;
  p.break_num = l.break_num;
  p.startgame_num = l.startgame_num;
  p.forceexit_num = l.forceexit_num;
  p.is_permit_watch = l.is_permit_watch;
  p.gamescore = l.gamescore;
  p.winnum = l.winnum;
  p.losenum = l.losenum;
  p.equalnum = l.equalnum;
  p.score_level = l.score_level;
  p.teamid = l.teamid;
  p.status = l.status;
  p.deskno = l.deskno;
  p.seatno = l.seatno;
  p.watchno = l.watchno;
  CopyText(p.m_sSRemark, l.m_sSRemark);
  CopyText(p.m_sDRemark, l.m_sDRemark);
  CopyText(p.m_sCRemark, l.m_sCRemark);
  CopyText(p.school_name, l.school_name);
  CopyText(p.level_name, l.level_name);
  p.ismyfriend = l.ismyfriend;
  p.ismydislike = l.ismydislike;
}

void SerializePerson(const TablePerson& p, ArchiveWriter& a) {
  a.WriteString(std::string_view(p.username, BoundedLength(p.username, sizeof p.username)));
  a.WriteString(std::string_view(p.nickname, BoundedLength(p.nickname, sizeof p.nickname)));
  a.WriteInt32(p.ip);
  a.WriteInt32(p.proxyip);
  a.WriteUInt32(p.id);
  a.WriteInt16(p.sex);
  a.WriteInt16(p.priority);
  a.WriteUInt16(p.forbidtype);
  a.WriteInt16(p.headpicid);
  a.WriteInt16(p.ismember);
  a.WriteInt16(p.level);
  a.WriteInt32(p.wealth);
  a.WriteInt32(p.money);
  a.WriteInt16(p.extraShort1);
  a.WriteInt16(p.extraShort2);
  a.WriteInt16(p.extraShort3);
  a.WriteInt32(p.groupid);
  a.WriteInt16(p.networkspeed);
  a.WriteInt32(p.link_num);
  a.WriteInt32(p.break_num);
  a.WriteInt32(p.startgame_num);
  a.WriteInt32(p.forceexit_num);
  a.WriteInt32(p.bonusPoints);
  a.WriteInt16(p.is_permit_watch);
  a.WriteInt32(p.gamescore);
  a.WriteInt32(p.winnum);
  a.WriteInt32(p.losenum);
  a.WriteInt32(p.equalnum);
  a.WriteInt16(p.score_level);
  a.WriteInt32(p.teamid);
  a.WriteInt16(p.status);
  a.WriteInt16(p.deskno);
  a.WriteInt16(p.seatno);
  a.WriteInt16(p.watchno);
  a.WriteInt32(p.ismyfriend);
  a.WriteInt32(p.ismydislike);
  a.WriteString(std::string_view(p.m_sSRemark, BoundedLength(p.m_sSRemark, sizeof p.m_sSRemark)));
  a.WriteString(std::string_view(p.m_sDRemark, BoundedLength(p.m_sDRemark, sizeof p.m_sDRemark)));
  a.WriteString(std::string_view(p.m_sCRemark, BoundedLength(p.m_sCRemark, sizeof p.m_sCRemark)));
}

bool SerializePerson(TablePerson& person, ArchiveReader& a) {
  TablePerson p = person;
  std::string username, nickname, sRemark, dRemark, cRemark;
  a.ReadString(username);
  a.ReadString(nickname);
  a.ReadInt32(p.ip);
  a.ReadInt32(p.proxyip);
  a.ReadUInt32(p.id);
  a.ReadInt16(p.sex);
  a.ReadInt16(p.priority);
  a.ReadUInt16(p.forbidtype);
  a.ReadInt16(p.headpicid);
  a.ReadInt16(p.ismember);
  a.ReadInt16(p.level);
  a.ReadInt32(p.wealth);
  a.ReadInt32(p.money);
  a.ReadInt16(p.extraShort1);
  a.ReadInt16(p.extraShort2);
  a.ReadInt16(p.extraShort3);
  a.ReadInt32(p.groupid);
  a.ReadInt16(p.networkspeed);
  a.ReadInt32(p.link_num);
  a.ReadInt32(p.break_num);
  a.ReadInt32(p.startgame_num);
  a.ReadInt32(p.forceexit_num);
  a.ReadInt32(p.bonusPoints);
  a.ReadInt16(p.is_permit_watch);
  a.ReadInt32(p.gamescore);
  a.ReadInt32(p.winnum);
  a.ReadInt32(p.losenum);
  a.ReadInt32(p.equalnum);
  a.ReadInt16(p.score_level);
  a.ReadInt32(p.teamid);
  a.ReadInt16(p.status);
  a.ReadInt16(p.deskno);
  a.ReadInt16(p.seatno);
  a.ReadInt16(p.watchno);
  a.ReadInt32(p.ismyfriend);
  a.ReadInt32(p.ismydislike);
  a.ReadString(sRemark);
  a.ReadString(dRemark);
  a.ReadString(cRemark);
  if (!a.IsOk()) return false;
  CopyText(p.username, sizeof p.username, username.data(), username.size());
  CopyText(p.nickname, sizeof p.nickname, nickname.data(), nickname.size());
  CopyText(p.m_sSRemark, sizeof p.m_sSRemark, sRemark.data(), sRemark.size());
  CopyText(p.m_sDRemark, sizeof p.m_sDRemark, dRemark.data(), dRemark.size());
  CopyText(p.m_sCRemark, sizeof p.m_sCRemark, cRemark.data(), cRemark.size());
  person = p;
  return true;
}

PersonWireKind PersonWireKindOf(int k) {
  switch (k) {
    case 3: return PersonWireKind::Wire264;
    case 4: return PersonWireKind::Wire228;
    case 5: return PersonWireKind::Wire236;
    case 6: return PersonWireKind::Wire228b;
    default: return PersonWireKind::Wire256;
  }
}

size_t PersonWireSize(PersonWireKind kind) {
  switch (kind) {
    case PersonWireKind::Wire264: return sizeof(PersonWire264);
    case PersonWireKind::Wire228: return sizeof(PersonWire228);
    case PersonWireKind::Wire236: return sizeof(PersonWire236);
    case PersonWireKind::Wire228b: return sizeof(PersonWire228b);
    case PersonWireKind::Wire256: break;
  }
  return sizeof(PersonWire256);
}

void FillFromWireBytes(TablePerson& person, PersonWireKind kind, const uint8_t* body) {
  switch (kind) {
    case PersonWireKind::Wire256: FillFromBytes<PersonWire256>(person, body, FillFromWire256); break;
    case PersonWireKind::Wire264: FillFromBytes<PersonWire264>(person, body, FillFromWire264); break;
    case PersonWireKind::Wire228: FillFromBytes<PersonWire228>(person, body, FillFromWire228); break;
    case PersonWireKind::Wire236: FillFromBytes<PersonWire236>(person, body, FillFromWire236); break;
    case PersonWireKind::Wire228b: FillFromBytes<PersonWire228b>(person, body, FillFromWire228b); break;
  }
}

uint32_t WirePersonId(const uint8_t* body) { return LoadBigEndian32(body); }
