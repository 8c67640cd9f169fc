// The lobby's setters: what each stores, the before-the-frame rule, null and unterminated
// records, persons and the local player, and the level titles.
#include "lobby_state.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

GAMESTR Text(const char* s) {
  GAMESTR g = {};
  std::strncpy(g.str, s, sizeof g.str - 1);
  return g;
}

PERSON Person(uint32_t id, const char* username, int16_t status = 1) {
  PERSON p = {};
  p.id = id;
  std::strcpy(p.username, username);
  p.status = status;
  return p;
}

TEST(LobbyState, DefaultsAreTheSessionDefaults) {
  LobbyState s;
  EXPECT_EQ(s.Settings().fontname, "\xcb\xce\xcc\xe5");  // 宋体
  EXPECT_EQ(s.Settings().fontcharset, 1);
  EXPECT_EQ(s.Settings().subtype, 1);
  EXPECT_EQ(s.Settings().isplayer, 0);
  EXPECT_EQ(s.Me(), nullptr);
}

TEST(LobbyState, WatchStyleTable) {
  struct Case { int16_t style; int32_t review, player; } cases[] = {
      {2, 1, 0}, {1, 0, 0}, {0, 0, 1}, {3, 0, 1}, {-1, 0, 1}};
  for (const Case& c : cases) {
    LobbyState s;
    s.SetWatchStyle(c.style);
    EXPECT_EQ(s.Settings().isreview, c.review) << c.style;
    EXPECT_EQ(s.Settings().isplayer, c.player) << c.style;
  }
}

TEST(LobbyState, SettersAreIgnoredOnceTheFrameExists) {
  LobbyState s;
  s.SetSeatNum(2);
  PERSON a = Person(7, "alice");
  s.AddPerson(&a);
  s.MarkFrameCreated();
  s.SetSeatNum(4);
  GAMESTR ip = Text("10.0.0.1");
  s.SetGameSockIp(&ip, 9000);
  PERSON b = Person(8, "bob");
  s.AddPerson(&b);
  s.SetMyID(7);
  EXPECT_EQ(s.Settings().seatnum, 2);
  EXPECT_EQ(s.Settings().gamesockip, "");
  EXPECT_EQ(s.Persons().size(), 1u);
  EXPECT_EQ(s.Me(), nullptr);
}

TEST(LobbyState, ProxyCredentialsChangeOnlyAsAPair) {
  LobbyState s;
  GAMESTR host = Text("proxy.local"), user = Text("u1"), pass = Text("p1"), user2 = Text("u2");
  s.SetProxy(&host, 1080, &user, &pass);
  s.SetProxy(&host, 3128, &user2, nullptr);
  EXPECT_EQ(s.Settings().proxyport, 3128);
  EXPECT_EQ(s.Settings().proxyuser, "u1");
  EXPECT_EQ(s.Settings().proxypasswd, "p1");
}

TEST(LobbyState, PortsAreUnsigned16Bit) {
  LobbyState s;
  GAMESTR ip = Text("127.0.0.1");
  s.SetGameSockIp(&ip, static_cast<int16_t>(40000));
  EXPECT_EQ(s.Settings().gamesockport, 40000);
}

TEST(LobbyState, NullAndUnterminatedRecordsAreSafe) {
  LobbyState s;
  s.AddPerson(nullptr);
  s.SetMe(nullptr);
  s.SetGameSockIp(nullptr, 5);
  s.SetFontFactor(nullptr, 134);
  s.SetProxy(nullptr, 1, nullptr, nullptr);
  s.AddLevelInfo(nullptr);
  EXPECT_TRUE(s.Persons().empty());
  EXPECT_EQ(s.Settings().fontname, "\xcb\xce\xcc\xe5");
  EXPECT_EQ(s.Settings().fontcharset, 134);

  GAMESTR full;
  std::memset(full.str, 'x', sizeof full.str);  // no NUL anywhere
  s.SetComInfo(&full);
  EXPECT_EQ(s.Settings().cominfo.size(), sizeof full.str);
}

TEST(LobbyState, PersonsAreCopiedOnceAndPlaying) {
  LobbyState s;
  PERSON a = Person(7, "\xd5\xc5\xc8\xfd");  // 张三 in GBK
  PERSON watcher = Person(9, "w", 5);
  s.AddPerson(&a);
  a.status = 3;
  s.AddPerson(&a);  // same id: dropped
  s.AddPerson(&watcher);
  ASSERT_EQ(s.Persons().size(), 2u);
  EXPECT_STREQ(s.Persons()[0]->username, "\xd5\xc5\xc8\xfd");
  EXPECT_EQ(s.Persons()[0]->status, 4);
  EXPECT_EQ(s.Persons()[1]->status, 5);
}

TEST(LobbyState, SetMeTakesTheLastMatchAndSetMyIdTheFirst) {
  LobbyState s;
  PERSON a = Person(1, "same"), b = Person(2, "same"), c = Person(3, "other");
  s.AddPerson(&a);
  s.AddPerson(&b);
  s.AddPerson(&c);
  GAMESTR name = Text("same");
  s.SetMe(&name);
  ASSERT_NE(s.Me(), nullptr);
  EXPECT_EQ(s.Me()->id, 2u);
  s.SetMyID(3);
  EXPECT_EQ(s.Me()->id, 3u);
  GAMESTR nobody = Text("nobody");
  s.SetMe(&nobody);
  s.SetMyID(99);
  EXPECT_EQ(s.Me()->id, 3u);  // unknown persons leave it unchanged
}

TEST(LobbyState, LevelOfScoreTable) {
  struct Case { int64_t per, score; int level; } cases[] = {
      {100, 99, 0}, {100, 100, 1}, {100, 199, 1}, {100, 200, 2}, {100, 399, 2},
      {100, 12799, 7}, {100, 12800, 8}, {100, 25599, 8}, {100, 25600, 9}, {0, 5000, 0},
      // Large scores per level do not overflow 32 bits.
      {20000000, 2000000000, 7}, {2000000000, 2147483647, 1}};
  for (const Case& c : cases)
    EXPECT_EQ(LevelOfScore(c.per, c.score), c.level) << c.per << " " << c.score;
}

TEST(LobbyState, LevelTitleFromTheLevelNames) {
  LobbyState s;
  s.SetLevel(100);
  const char* names[] = {"zero", "one", "two-a-very-long-level-name"};
  for (const char* n : names) {
    GAMESTR g = Text(n);
    s.AddLevelInfo(&g);
  }
  TablePerson p;
  p.gamescore = 250;
  s.SetLevelTitle(&p);
  EXPECT_STREQ(p.level_name, "two-a-very-long-lev");  // 19 characters
  TablePerson q;
  q.gamescore = 25600;  // level 9: no name
  s.SetLevelTitle(&q);
  EXPECT_STREQ(q.level_name, "");
}

TEST(LobbyState, FindPersonBySeatAndTable) {
  LobbyState s;
  PERSON a = Person(1, "a"), b = Person(2, "b");
  a.deskno = 3; a.seatno = 0;
  b.deskno = 4; b.seatno = 1;
  s.AddPerson(&a);
  s.AddPerson(&b);
  PersonMatch m = s.FindPerson(9, 1, 4);  // paired mode off: the table is not compared
  ASSERT_NE(m.person, nullptr);
  EXPECT_EQ(m.index, 1u);
  EXPECT_EQ(s.FindPersonBySeat(1, 5).person, nullptr);
  EXPECT_EQ(s.FindPersonBySeat(1, 5).index, 2u);
  s.SetDoubleStyle(1);
  EXPECT_EQ(s.FindPerson(9, 1, 4).person, nullptr);
  EXPECT_EQ(s.FindPerson(4, 1, 4).person->id, 2u);
}

}  // namespace
