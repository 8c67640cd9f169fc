// What the lobby hands the game client before the table starts: the session settings, the
// persons, the local player and the level names. The lobby interface (IStartGame) forwards
// every setter here; the rules of each setter live in this class, free of COM.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "records/lobby_records.h"
#include "records/table_person.h"

struct StartSettings {
  int16_t seatnum = 0;
  std::string gamesockip;
  uint16_t gamesockport = 0;
  int32_t isreview = 0;
  int32_t isplayer = 0;
  std::string fontname;  // GBK; "宋体" by default
  int32_t fontcharset = 1;
  int16_t servicetype = 0;
  int16_t gametype = 0;
  int16_t subtype = 1;
  int16_t termtype = 0;
  std::string gameadv;
  std::string tableadv;
  int32_t isuseproxy = 0;
  int16_t socktype = 0;
  int32_t ispasswd = 0;
  std::string proxyip;
  uint16_t proxyport = 0;
  std::string proxyuser;
  std::string proxypasswd;
  std::string cominfo;
  std::string reviewfile;
  int32_t isdouble = 0;
  std::string dllfile;
  std::string curdir;
  int32_t score_per_level = 0;
  int16_t deskno = 0;
  int16_t sendtime = 0;
  int16_t roomid = 0;
  std::string pageurl;
  std::string helpurl;

  StartSettings();
};

// A person found by seat, with its index in the person vector (the vector's size when none).
struct PersonMatch {
  TablePerson* person;
  size_t index;
};

class LobbyState {
 public:
  const StartSettings& Settings() const { return settings_; }
  const std::vector<std::unique_ptr<TablePerson>>& Persons() const { return persons_; }
  TablePerson* Me() const { return me_; }
  const std::vector<std::string>& LevelNames() const { return level_names_; }

  // Once the main frame exists every setter is ignored.
  void MarkFrameCreated() { frame_created_ = true; }
  bool FrameCreated() const { return frame_created_; }

  // The setters of the lobby interface. Records may be null (ignored); texts are read up to
  // their array's end whether or not a NUL comes first.
  void AddPerson(const PERSON* per);
  void SetMe(const GAMESTR* username);
  void SetSeatNum(int16_t num);
  void SetGameSockIp(const GAMESTR* ip, int16_t port);
  void SetWatchStyle(int16_t iswatch);
  void SetFontFactor(const GAMESTR* font, int32_t charset);
  void SetSubType(int16_t servicetype, int16_t gametype, int16_t subtype, int16_t termtype);
  void SetAdvUrl(const GAMESTR* gameadv, const GAMESTR* tableadv);
  void SetProxyStyle(int16_t isuseproxy, int16_t socktype, int16_t ispasswd);
  void SetProxy(const GAMESTR* ip, int16_t port, const GAMESTR* user, const GAMESTR* passwd);
  void SetComInfo(const GAMESTR* info);
  void SetReviewFileName(const GAMESTR* file);
  void SetDoubleStyle(int16_t isdouble);
  void SetDllFileName(const GAMESTR* file);
  void SetCurrentDir(const GAMESTR* dir);
  void SetLevel(int32_t score_per_level);
  void AddLevelInfo(const GAMESTR* info);
  void AddRoomInfo1(int16_t deskno, int16_t sendtime, int16_t roomid);
  void SetMyID(int32_t id);
  void SetPageUrl(const GAMESTR* pageurl, const GAMESTR* helpurl);

  // The first person whose seat and state match (and table, unless review mode or the
  // paired-table mode is off, in which case the table is not compared).
  PersonMatch FindPerson(int16_t table, int16_t seat, int16_t state) const;
  PersonMatch FindPersonBySeat(int16_t seat, int16_t state) const;
  // Writes the person's level title from the score per level and the level names.
  void SetLevelTitle(TablePerson* person) const;

 private:
  StartSettings settings_;
  std::vector<std::unique_ptr<TablePerson>> persons_;
  TablePerson* me_ = nullptr;
  std::vector<std::string> level_names_;
  bool frame_created_ = false;
};

// The level (0..9) of a score for a given score per level.
int LevelOfScore(int64_t score_per_level, int64_t score);

// The text of a GAMESTR/BIG_GAMESTR, bounded by its array; empty for null.
std::string GameText(const GAMESTR* s);
std::string GameText(const BIG_GAMESTR* s);

// A plain-text account of what the lobby handed over (one "key=value" per line, texts as hex
// of their GBK bytes, the proxy password only by its length), for the diagnostic trace the
// program writes when KORVEL_LOBBY_TRACE names a file.
std::string DescribeLobbyState(const LobbyState& state);
