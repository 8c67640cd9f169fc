#include "lobby_state.h"

#include <cstring>

#include "client_texts.h"
#include "person_records.h"
#include "text_copy.h"

StartSettings::StartSettings() : fontname(kTextDefaultFontFace) {}

std::string GameText(const GAMESTR* s) {
  if (!s) return std::string();
  return std::string(s->str, BoundedLength(s->str, sizeof s->str));
}

std::string GameText(const BIG_GAMESTR* s) {
  if (!s) return std::string();
  return std::string(s->str, BoundedLength(s->str, sizeof s->str));
}

void LobbyState::AddPerson(const PERSON* per) {
  if (frame_created_ || !per) return;
  for (const auto& p : persons_)
    if (p->id == per->id) return;
  auto person = std::make_unique<TablePerson>();
  AssignFromPERSON(*person, *per);
  if (person->status != 5) person->status = 4;
  persons_.push_back(std::move(person));
}

void LobbyState::SetMe(const GAMESTR* username) {
  if (frame_created_ || !username) return;
  const std::string name = GameText(username);
  for (const auto& p : persons_)
    if (name == p->username) me_ = p.get();  // the last match wins
}

void LobbyState::SetSeatNum(int16_t num) {
  if (!frame_created_) settings_.seatnum = num;
}

void LobbyState::SetGameSockIp(const GAMESTR* ip, int16_t port) {
  if (frame_created_) return;
  if (ip) settings_.gamesockip = GameText(ip);
  settings_.gamesockport = static_cast<uint16_t>(port);
}

void LobbyState::SetWatchStyle(int16_t iswatch) {
  if (frame_created_) return;
  switch (iswatch) {
    case 2:  // review of a record file
      settings_.isreview = 1;
      settings_.isplayer = 0;
      break;
    case 1:  // watcher
      settings_.isreview = 0;
      settings_.isplayer = 0;
      break;
    default:
      settings_.isreview = 0;
      settings_.isplayer = 1;
      break;
  }
}

void LobbyState::SetFontFactor(const GAMESTR* font, int32_t charset) {
  if (frame_created_) return;
  if (font) settings_.fontname = GameText(font);
  settings_.fontcharset = charset;
}

void LobbyState::SetSubType(int16_t servicetype, int16_t gametype, int16_t subtype,
                            int16_t termtype) {
  if (frame_created_) return;
  settings_.servicetype = servicetype;
  settings_.gametype = gametype;
  settings_.subtype = subtype;
  settings_.termtype = termtype;
}

void LobbyState::SetAdvUrl(const GAMESTR* gameadv, const GAMESTR* tableadv) {
  if (frame_created_) return;
  if (gameadv) settings_.gameadv = GameText(gameadv);
  if (tableadv) settings_.tableadv = GameText(tableadv);
}

void LobbyState::SetProxyStyle(int16_t isuseproxy, int16_t socktype, int16_t ispasswd) {
  if (frame_created_) return;
  settings_.isuseproxy = isuseproxy;
  settings_.socktype = socktype;
  settings_.ispasswd = ispasswd;
}

void LobbyState::SetProxy(const GAMESTR* ip, int16_t port, const GAMESTR* user,
                          const GAMESTR* passwd) {
  if (frame_created_) return;
  if (ip) settings_.proxyip = GameText(ip);
  settings_.proxyport = static_cast<uint16_t>(port);
  // The credentials change only as a pair.
  if (user && passwd) {
    settings_.proxyuser = GameText(user);
    settings_.proxypasswd = GameText(passwd);
  }
}

void LobbyState::SetComInfo(const GAMESTR* info) {
  if (!frame_created_ && info) settings_.cominfo = GameText(info);
}

void LobbyState::SetReviewFileName(const GAMESTR* file) {
  if (!frame_created_ && file) settings_.reviewfile = GameText(file);
}

void LobbyState::SetDoubleStyle(int16_t isdouble) {
  if (!frame_created_) settings_.isdouble = isdouble;  // sign-extended
}

void LobbyState::SetDllFileName(const GAMESTR* file) {
  if (!frame_created_ && file) settings_.dllfile = GameText(file);
}

void LobbyState::SetCurrentDir(const GAMESTR* dir) {
  if (!frame_created_ && dir) settings_.curdir = GameText(dir);
}

void LobbyState::SetLevel(int32_t score_per_level) {
  if (!frame_created_) settings_.score_per_level = score_per_level;
}

void LobbyState::AddLevelInfo(const GAMESTR* info) {
  if (!frame_created_ && info) level_names_.push_back(GameText(info));
}

void LobbyState::AddRoomInfo1(int16_t deskno, int16_t sendtime, int16_t roomid) {
  if (frame_created_) return;
  settings_.deskno = deskno;
  settings_.sendtime = sendtime;
  settings_.roomid = roomid;
}

void LobbyState::SetMyID(int32_t id) {
  if (frame_created_) return;
  for (const auto& p : persons_) {
    if (p->id == static_cast<uint32_t>(id)) {
      me_ = p.get();  // the first match
      return;
    }
  }
}

void LobbyState::SetPageUrl(const GAMESTR* pageurl, const GAMESTR* helpurl) {
  if (frame_created_) return;
  if (pageurl) settings_.pageurl = GameText(pageurl);
  if (helpurl) settings_.helpurl = GameText(helpurl);
}

PersonMatch LobbyState::FindPersonBySeat(int16_t seat, int16_t state) const {
  for (size_t i = 0; i < persons_.size(); ++i)
    if (persons_[i]->seatno == seat && persons_[i]->status == state)
      return {persons_[i].get(), i};
  return {nullptr, persons_.size()};
}

PersonMatch LobbyState::FindPerson(int16_t table, int16_t seat, int16_t state) const {
  if (settings_.isreview || settings_.isdouble == 0) return FindPersonBySeat(seat, state);
  for (size_t i = 0; i < persons_.size(); ++i)
    if (persons_[i]->deskno == table && persons_[i]->seatno == seat &&
        persons_[i]->status == state)
      return {persons_[i].get(), i};
  return {nullptr, persons_.size()};
}

int LevelOfScore(int64_t s, int64_t p) {
  if (s <= 0 || p < s) return 0;  // a score per level below 1 makes no levels
  if (p >= 256 * s) return 9;
  int r = 1;
  while (r < 8 && p >= (s << r)) ++r;
  return r;
}

void LobbyState::SetLevelTitle(TablePerson* person) const {
  if (!person) return;
  const int r = LevelOfScore(settings_.score_per_level, person->gamescore);
  if (r < 0 || static_cast<size_t>(r) >= level_names_.size()) return;
  // The first 19 characters of the level's name.
  const std::string& name = level_names_[r];
  const size_t n = CutGbkText(name.data(), name.size(), 19);
  CopyText(person->level_name, sizeof person->level_name, name.data(), n);
}

namespace {

std::string Hex(const std::string& s) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : s) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

}  // namespace

std::string DescribeLobbyState(const LobbyState& state) {
  const StartSettings& s = state.Settings();
  std::string out;
  auto line = [&](const std::string& key, const std::string& value) {
    out += key + "=" + value + "\n";
  };
  line("seatnum", std::to_string(s.seatnum));
  line("gamesock", Hex(s.gamesockip) + ":" + std::to_string(s.gamesockport));
  line("isreview", std::to_string(s.isreview));
  line("isplayer", std::to_string(s.isplayer));
  line("font", Hex(s.fontname) + "," + std::to_string(s.fontcharset));
  line("subtype", std::to_string(s.servicetype) + "," + std::to_string(s.gametype) + "," +
                      std::to_string(s.subtype) + "," + std::to_string(s.termtype));
  line("proxy", std::to_string(s.isuseproxy) + "," + std::to_string(s.socktype) + "," +
                    std::to_string(s.ispasswd) + "," + Hex(s.proxyip) + "," +
                    std::to_string(s.proxyport) + "," + Hex(s.proxyuser) + ",password:" +
                    std::to_string(s.proxypasswd.size()));
  line("dllfile", Hex(s.dllfile));
  line("room", std::to_string(s.deskno) + "," + std::to_string(s.sendtime) + "," +
                   std::to_string(s.roomid));
  for (const auto& p : state.Persons())
    line("person", std::to_string(p->id) + "," + Hex(p->username) + "," + Hex(p->nickname) +
                       "," + std::to_string(p->seatno) + "," + std::to_string(p->status));
  line("me", state.Me() ? std::to_string(state.Me()->id) : std::string("none"));
  return out;
}
