// The Arithmetic control's glue without COM: the events each operation fires and their order,
// the arrays it hands out, and its behaviour on bad input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "arithmetic_glue.h"
#include "tests/tile_notation.h"
#include "whole_hand_script.h"

namespace {

// Writes each event as the hand script spells it, separated by spaces.
class RecordingSink : public ArithmeticEventSink {
 public:
  void Fire_LightSend(int16_t v) override { Add("Send", v); }
  void Fire_LightListen(int16_t v) override { Add("Listen", v); }
  void Fire_LightChi(int16_t v) override { Add("Chi", v); }
  void Fire_LightPeng(int16_t v) override { Add("Peng", v); }
  void Fire_LightGang(int16_t v) override { Add("Gang", v); }
  void Fire_LightHu(int16_t v) override { Add("Hu", v); }
  void Fire_LightGuo(int16_t v) override { Add("Guo", v); }
  void Fire_AutoGuo() override { Add("AutoGuo"); }
  void Fire_AutoSendOnTing() override { Add("AutoSendOnTing"); }
  void Fire_AutoHu() override { Add("AutoHu"); }
  void Fire_PlaySound(int16_t color, int16_t value) override {
    Add("Sound(" + std::to_string(color) + "," + std::to_string(value) + ")");
  }

  // The events since the last call.
  std::string Take() {
    std::string out;
    out.swap(log_);
    return out;
  }
  // Runs after every event (to call back into the glue from inside an event).
  std::function<void()> during_event;

 private:
  void Add(const std::string& event, int v) { Add(event + std::to_string(v)); }
  void Add(const std::string& event) {
    if (!log_.empty()) log_ += ' ';
    log_ += event;
    if (during_event) during_event();
  }
  std::string log_;
};

// The arrays the glue hands out come from here; tests free them with std::free.
int g_allocations = 0;
bool g_out_of_memory = false;
void* CountingAlloc(size_t bytes) {
  if (g_out_of_memory) return nullptr;
  ++g_allocations;
  return std::malloc(bytes);
}

std::vector<card> TakeCards(intptr_t address, int n) {
  const card* p = reinterpret_cast<const card*>(address);
  std::vector<card> out(p, p + n);
  std::free(const_cast<card*>(p));
  return out;
}

class GlueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_allocations = 0;
    g_out_of_memory = false;
    glue.SetSubType(0);
    glue.StartOneHand();
  }

  void Deal(const char* text) {
    std::vector<card> tiles = Tiles(text);
    glue.AddCardsToMyHand(static_cast<int16_t>(tiles.size()), tiles.data());
  }
  void Draw(const char* text) {
    card c = Tile(text);
    glue.AddCardsToMyHand(1, &c);
  }
  void Discard(int16_t loc, const char* text) {
    card c = Tile(text);
    glue.SetRecvCards(loc, 1, &c);
  }
  void Meld(int16_t type, const char* text) {
    std::vector<card> tiles = Tiles(text);
    glue.ExposeCard(0, type, static_cast<int16_t>(tiles.size()), tiles.data());
  }
  // The hand in ascending order (colour, then value).
  std::string Hand() {
    HandList hand = glue.Rules()->GetHand();
    SortCards(hand.data(), hand.size(), true);
    return TilesText(hand);
  }

  RecordingSink sink;
  ArithmeticGlue glue{sink, CountingAlloc};
};

// ---- the whole hand --------------------------------------------------------------------------

TEST_F(GlueTest, WholeHandFiresTheScriptedEventsAndScoresTheWin) {
  glue.SetLowFan(0);
  glue.SetBanker(1, -1);
  sink.Take();
  for (const HandStep& step : kWholeHand) {
    SCOPED_TRACE(testing::Message() << "step " << (&step - kWholeHand) << " " << step.tiles);
    const std::vector<card> tiles = Tiles(step.tiles);
    const int16_t n = static_cast<int16_t>(tiles.size());
    switch (step.kind) {
      case HandStepKind::Deal:
      case HandStepKind::Draw:
        glue.AddCardsToMyHand(n, tiles.data());
        break;
      case HandStepKind::Discard:
        glue.SetRecvCards(step.loc, 1, tiles.data());
        break;
      case HandStepKind::Chow: {
        int16_t offers = 0;
        glue.GetEatNum(&offers);
        EXPECT_GE(offers, 1);
        intptr_t address = 0;
        glue.GetEatCards(0, &address);
        ASSERT_NE(address, 0);
        EXPECT_EQ(TilesText(TakeCards(address, 3)), TilesText(Tiles(step.offer)));
        glue.ExposeCard(0, MeldChowOrPung, n, tiles.data());
        break;
      }
      case HandStepKind::Pung: {
        int16_t num = 0;
        intptr_t address = 0;
        glue.GetPengCards(&num, &address);
        ASSERT_EQ(num, 3);
        EXPECT_EQ(TilesText(TakeCards(address, 3)), TilesText(Tiles(step.offer)));
        glue.ExposeCard(0, MeldChowOrPung, n, tiles.data());
        break;
      }
      case HandStepKind::Kong: {
        int16_t offers = 0, num = 0, kind = 0;
        glue.GetGangNum(&offers);
        EXPECT_GE(offers, 1);
        intptr_t address = 0;
        glue.GetGangCards(0, &num, &address, &kind);
        ASSERT_EQ(num, 4);
        EXPECT_EQ(kind, step.kong_kind);
        EXPECT_EQ(TilesText(TakeCards(address, 4)), TilesText(Tiles(step.offer)));
        glue.ExposeCard(0, step.loc, n, tiles.data());
        break;
      }
      case HandStepKind::AfterKong: {
        const card c = tiles.empty() ? kNoCard : tiles[0];
        glue.SetCardAfterGang(static_cast<int16_t>(c.m_nColor), static_cast<int16_t>(c.m_nValue));
        break;
      }
      case HandStepKind::Declare: {
        int16_t listen = 0;
        glue.IsDeclareListen(&listen);
        EXPECT_EQ(listen, 1);
        glue.SetTingStatus(1);
        break;
      }
      case HandStepKind::IsHu: {
        int16_t ishu = 0;
        glue.IsHuPai(&ishu);
        EXPECT_EQ(ishu, 1);
        break;
      }
    }
    EXPECT_EQ(sink.Take(), step.events);
  }

  EXPECT_EQ(Hand(), "2p 3p 4p 1d 1d");
  const card win = Tile(kWholeHandWin);
  glue.SetHuInfo(HuSelfDrawn, -1, static_cast<int16_t>(win.m_nColor),
                 static_cast<int16_t>(win.m_nValue));
  int16_t banker = -9, score = 0, base = 0, fans = 0;
  glue.Calculate(&banker, &score, &base, &fans);
  EXPECT_EQ(banker, 0);  // a flag: the banker is the opponent
  EXPECT_EQ(base, 2);
  EXPECT_GT(fans, 0);
  EXPECT_EQ(score, 2 * base + 2 * fans);  // self-drawn
  int16_t count = 0;
  intptr_t address = 0;
  glue.GetFans(&count, &address);
  ASSERT_GT(count, 0);
  ASSERT_NE(address, 0);
  const auto* types = reinterpret_cast<const int16_t*>(address);
  std::vector<int> got(types, types + count);
  std::free(const_cast<int16_t*>(types));
  FanType expected[CKorvel::kMaxFanCodes];
  const int n = glue.Rules()->GetFans(expected, CKorvel::kMaxFanCodes);
  EXPECT_EQ(got, std::vector<int>(expected, expected + n));
  int points = 0;
  for (int type : got) {
    int16_t one = 0;
    glue.GetFanNameByType(static_cast<int16_t>(type), nullptr, nullptr, &one);
    points += one;
  }
  EXPECT_EQ(points, fans);
}

// ---- draws -----------------------------------------------------------------------------------

struct DrawCase {
  const char* name;
  const char* hand;
  bool ready_declared;
  const char* draw;
  const char* events;
};

class DrawTest : public GlueTest, public ::testing::WithParamInterface<DrawCase> {};

TEST_P(DrawTest, FiresInOrder) {
  const DrawCase& c = GetParam();
  Deal(c.hand);
  if (c.ready_declared) glue.SetTingStatus(1);
  sink.Take();
  Draw(c.draw);
  EXPECT_EQ(sink.Take(), c.events);
  int16_t color = 0, value = 0;
  glue.GetCurrentMo(&color, &value);
  EXPECT_EQ(card({color, value}), Tile(c.draw));
}

const DrawCase kDrawCases[] = {
    {"Plain", "123m 456p 789s 11d 5w 6w", false, "9m", "Gang0 Hu0 Send1 Guo0 Listen0"},
    {"Wins", "123m 456p 789s 11d 78m", false, "9m", "Gang0 Hu1 Send1 Guo0 Listen0"},
    {"ConcealedKong", "123m 456p 777s 11d 5w", false, "7s", "Gang1 Hu0 Send1 Guo0 Listen0"},
    {"ReadyPlain", "123m 456p 789s 11d 78m", true, "5w", "Gang0 Hu0 AutoSendOnTing"},
    {"ReadyWins", "123m 456p 789s 11d 78m", true, "9m", "Gang0 Hu1 Send1 Guo0 Listen0"},
    {"ReadyKong", "123m 456p 777s 11d 78m", true, "7s", "Gang1 Hu0 Send1 Guo0 Listen0"},
};

INSTANTIATE_TEST_SUITE_P(Glue, DrawTest, testing::ValuesIn(kDrawCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GlueTest, DealDarkensEveryButtonAndEndsWithListen) {
  Deal("123m 456p 789s 11d 78m");
  EXPECT_EQ(sink.Take(), "Send0 Guo0 Peng0 Gang0 Hu0 Chi0 Listen0");
  int16_t color = 0, value = 0;
  glue.GetCurrentMo(&color, &value);
  EXPECT_EQ(card({color, value}), kNoCard);
}

// ---- discards --------------------------------------------------------------------------------

struct DiscardCase {
  const char* name;
  const char* hand;
  bool ready_declared;
  int16_t loc;
  const char* discard;
  const char* events;
};

class DiscardTest : public GlueTest, public ::testing::WithParamInterface<DiscardCase> {};

TEST_P(DiscardTest, FiresInOrder) {
  const DiscardCase& c = GetParam();
  Deal(c.hand);
  if (c.ready_declared) glue.SetTingStatus(1);
  sink.Take();
  Discard(c.loc, c.discard);
  EXPECT_EQ(sink.Take(), c.events);
  int16_t color = 0, value = 0;
  glue.GetCurrentSended(&color, &value);
  EXPECT_EQ(card({color, value}), Tile(c.discard));
}

// 34m 555m 11d 123p 789p: 5m can be chowed, punged, konged and wins.
const DiscardCase kDiscardCases[] = {
    {"OpponentEverything", "34m 555m 11d 123p 789p", false, 1, "5m",
     "Sound(0,5) Chi1 Peng1 Gang1 Hu1 Listen0 Guo1"},
    {"OpponentNothingReadyHand", "34m 555m 11d 123p 789p", false, 1, "9s",
     "Sound(2,9) Chi0 Peng0 Gang0 Hu0 Listen1 Guo1"},
    {"OpponentNothing", "34m 555m 11d 123p 78p 4w", false, 1, "9s",
     "Sound(2,9) Chi0 Peng0 Gang0 Hu0 Listen0 Guo1"},
    {"ReadyOpponentWins", "34m 555m 11d 123p 789p", true, 1, "5m",
     "Sound(0,5) Chi0 Peng0 Gang0 Hu1 Listen0 Guo1"},
    {"ReadyOpponentPassed", "34m 555m 11d 123p 789p", true, 1, "5p",
     "Sound(1,5) Chi0 Peng0 Gang0 Hu0 AutoGuo"},
    {"Own", "34m 555m 11d 123p 789p 4w", false, 0, "4w",
     "Sound(3,4) Send0 Guo0 Peng0 Gang0 Hu0 Chi0 Listen1"},
    {"OwnReadyDeclared", "34m 555m 11d 123p 789p 4w", true, 0, "4w",
     "Sound(3,4) Send0 Guo0 Peng0 Gang0 Hu0 Chi0 Listen0"},
};

INSTANTIATE_TEST_SUITE_P(Glue, DiscardTest, testing::ValuesIn(kDiscardCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GlueTest, OwnDiscardLeavesTheHandAndClearsTheDraw) {
  Deal("123m 456p 789s 11d 2w");
  Draw("4w");
  glue.SetHuInfo(HuSelfDrawn, -1, 3, 4);
  Discard(0, "2w");
  EXPECT_EQ(Hand(), "1m 2m 3m 4p 5p 6p 7s 8s 9s 4w 1d 1d");
  int16_t color = 0, value = 0, hutype = 0;
  glue.GetCurrentMo(&color, &value);
  EXPECT_EQ(card({color, value}), kNoCard);
  glue.GetHuType(&hutype);
  EXPECT_EQ(hutype, HuTypeNone);
}

TEST_F(GlueTest, DiscardsThatAreNotOneTileOfASeatChangeNothing) {
  Deal("123m 456p 789s 11d 78m");
  sink.Take();
  std::vector<card> two = Tiles("4w 4w");
  glue.SetRecvCards(1, 2, two.data());
  glue.SetRecvCards(1, 0, two.data());
  glue.SetRecvCards(1, -1, two.data());
  glue.SetRecvCards(1, 1, nullptr);
  glue.SetRecvCards(2, 1, two.data());
  glue.SetRecvCards(-1, 1, two.data());
  EXPECT_EQ(sink.Take(), "");
  EXPECT_TRUE(glue.Rules()->GetDiscards().empty());
  int16_t color = 0, value = 0;
  glue.GetCurrentSended(&color, &value);
  EXPECT_EQ(card({color, value}), kNoCard);
}

// ---- melds -----------------------------------------------------------------------------------

TEST_F(GlueTest, ExposeCardOfSeatZeroFiresListenThenRecordsTheMeld) {
  Deal("34m 555m 11d 123p 789p");
  Discard(1, "2m");
  sink.Take();
  Meld(MeldChowOrPung, "2m 3m 4m");
  EXPECT_EQ(sink.Take(), "Listen0");
  EXPECT_EQ(glue.Rules()->GetMelds().size(), 1);
  EXPECT_EQ(Hand(), "5m 5m 5m 1p 2p 3p 7p 8p 9p 1d 1d");

  // Other seats and empty melds: nothing.
  std::vector<card> tiles = Tiles("5m 5m 5m 5m");
  glue.ExposeCard(1, MeldConcealedKong, 4, tiles.data());
  glue.ExposeCard(0, MeldConcealedKong, 0, tiles.data());
  glue.ExposeCard(0, MeldConcealedKong, 4, nullptr);
  EXPECT_EQ(sink.Take(), "");
  EXPECT_TRUE(glue.Rules()->GetConcealedKongs().empty());

  // In recovery: no event, the hand untouched.
  glue.ExposeCard_InRecover(0, MeldConcealedKong, 4, tiles.data());
  EXPECT_EQ(sink.Take(), "");
  EXPECT_EQ(glue.Rules()->GetConcealedKongs().size(), 1);
  EXPECT_EQ(Hand(), "5m 5m 5m 1p 2p 3p 7p 8p 9p 1d 1d");
}

// ---- StartPlay and IsHuPai --------------------------------------------------------------------

TEST_F(GlueTest, StartPlayLightsWinBeforeDiscardWhenTheDealWins) {
  Deal("123m 456p 789s 11d 789m");
  sink.Take();
  glue.StartPlay();
  EXPECT_EQ(sink.Take(), "Hu1 Send1");

  glue.StartOneHand();
  Deal("123m 456p 789s 11d 689m");
  sink.Take();
  glue.StartPlay();
  EXPECT_EQ(sink.Take(), "Send1");
}

TEST_F(GlueTest, IsHuPaiFiresAutoHuOnlyForAWinningHand) {
  Deal("123m 456p 789s 11d 78m");
  Draw("5w");
  sink.Take();
  int16_t ishu = 7;
  glue.IsHuPai(&ishu);
  EXPECT_EQ(ishu, 0);
  EXPECT_EQ(sink.Take(), "");

  glue.StartOneHand();
  Deal("123m 456p 789s 11d 78m");
  Draw("9m");
  sink.Take();
  glue.IsHuPai(&ishu);
  EXPECT_EQ(ishu, 1);
  EXPECT_EQ(sink.Take(), "AutoHu");
  glue.IsHuPai(nullptr);  // the event still goes out
  EXPECT_EQ(sink.Take(), "AutoHu");
}

TEST_F(GlueTest, NoWinFlagKeepsTheWinButtonDark) {
  glue.SetXiangGongStatus(1);
  Deal("123m 456p 789s 11d 78m");
  sink.Take();
  Draw("9m");
  EXPECT_EQ(sink.Take(), "Gang0 Hu0 Send1 Guo0 Listen0");
}

// ---- AutoSendCards ---------------------------------------------------------------------------

struct AutoSendCase {
  const char* name;
  const char* deal;
  const char* draw;     // "" for none (as after a claim)
  const char* chosen;   // "" when nothing is handed out
  const char* events;
};

class AutoSendTest : public GlueTest, public ::testing::WithParamInterface<AutoSendCase> {};

TEST_P(AutoSendTest, ChoosesTheTileOrWins) {
  const AutoSendCase& c = GetParam();
  if (*c.deal) Deal(c.deal);
  if (*c.draw) Draw(c.draw);
  const std::string hand_before = Hand();
  sink.Take();
  g_allocations = 0;
  int16_t count = 9;
  intptr_t address = 12345;
  glue.AutoSendCards(&count, &address);
  EXPECT_EQ(sink.Take(), c.events);
  EXPECT_EQ(Hand(), hand_before);
  if (*c.chosen) {
    ASSERT_EQ(count, 1);
    ASSERT_NE(address, 0);
    EXPECT_EQ(TilesText(TakeCards(address, 1)), c.chosen);
    EXPECT_EQ(g_allocations, 1);
  } else {
    EXPECT_EQ(count, 0);
    EXPECT_EQ(address, 0);
    EXPECT_EQ(g_allocations, 0);
  }
}

const AutoSendCase kAutoSendCases[] = {
    {"DrawnTile", "123m 456p 789s 11d 78m", "5w", "5w", ""},
    {"DrawWins", "123m 456p 789s 11d 78m", "9m", "", "AutoHu"},
    {"WildDrawWins", "123m 456p 789s 11d 78m", "1j", "", "AutoHu"},
    {"WildDrawFirstOtherTile", "5p 1j 3m 9s", "1j", "5p", ""},
    {"WildDrawOnlyWilds", "1j 1j", "1j", "1j", ""},
    {"NoDrawFirstOtherTile", "1j 5p 3m 9s", "", "5p", ""},
    {"NoDrawOnlyWilds", "1j 1j", "", "1j", ""},
    {"EmptyHand", "", "", "", ""},
};

INSTANTIATE_TEST_SUITE_P(Glue, AutoSendTest, testing::ValuesIn(kAutoSendCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- arrays ----------------------------------------------------------------------------------

TEST_F(GlueTest, NoArrayWithoutAnOfferAndNothingAllocated) {
  Deal("123m 456p 789s 11d 78m");
  Discard(1, "9p");  // no claim on it
  g_allocations = 0;
  int16_t num = 9, type = 9, count = 9;
  intptr_t address = 1;
  glue.GetPengCards(&num, &address);
  EXPECT_EQ(num, 0);
  EXPECT_EQ(address, 0);
  for (int16_t index : {-1, 0, 1, 100}) {
    SCOPED_TRACE(index);
    address = 1;
    glue.GetEatCards(index, &address);
    EXPECT_EQ(address, 0);
    num = type = 9;
    address = 1;
    glue.GetGangCards(index, &num, &address, &type);
    EXPECT_EQ(num, 0);
    EXPECT_EQ(address, 0);
    EXPECT_EQ(type, KongNone);
  }
  address = 1;
  glue.GetHideGangCards(&num, &address);
  EXPECT_EQ(num, 0);
  EXPECT_EQ(address, 0);
  address = 1;
  glue.GetFans(&count, &address);  // no fans found, no flags set
  EXPECT_EQ(count, 0);
  EXPECT_EQ(address, 0);
  EXPECT_EQ(g_allocations, 0);
}

TEST_F(GlueTest, OffersCountedAndHandedOut) {
  Deal("34m 555m 11d 123p 789p");
  Discard(1, "5m");
  int16_t eat = 0, gang = 0, num = 0, type = 0;
  glue.GetEatNum(&eat);
  EXPECT_EQ(eat, 1);
  glue.GetGangNum(&gang);
  EXPECT_EQ(gang, 1);
  glue.GetGangType(&type);
  EXPECT_EQ(type, GangTypeOnDiscard);
  intptr_t address = 0;
  glue.GetEatCards(0, &address);
  EXPECT_EQ(TilesText(TakeCards(address, 3)), "5m 4m 3m");
  glue.GetGangCards(0, &num, &address, &type);
  EXPECT_EQ(num, 4);
  EXPECT_EQ(type, KongOnDiscard);
  EXPECT_EQ(TilesText(TakeCards(address, 4)), "5m 5m 5m 5m");
  glue.GetEatCards(1, &address);  // beyond the one offer
  EXPECT_EQ(address, 0);

  glue.StartOneHand();
  Deal("34m 555m 11d 123p 78p");
  Draw("5m");
  glue.GetHideGangCards(&num, &address);
  EXPECT_EQ(num, 4);
  EXPECT_EQ(TilesText(TakeCards(address, 4)), "5m 5m 5m 5m");
}

TEST_F(GlueTest, OutOfMemoryHandsOutNothing) {
  Deal("34m 555m 11d 123p 789p");
  Discard(1, "5m");
  g_out_of_memory = true;
  int16_t num = 9, type = 9;
  intptr_t address = 1;
  glue.GetGangCards(0, &num, &address, &type);
  EXPECT_EQ(num, 0);
  EXPECT_EQ(address, 0);
  EXPECT_EQ(type, KongNone);
  num = 9;
  address = 1;
  glue.GetPengCards(&num, &address);
  EXPECT_EQ(num, 0);
  EXPECT_EQ(address, 0);
}

// ---- fan names -------------------------------------------------------------------------------

TEST_F(GlueTest, FanNameAndDescriptionCopiedWithinTheirBuffers) {
  // Buffers of exactly the sizes the caller owns: the sanitizer sees any write beyond them.
  std::vector<char> name(kFanNameBuffer, 'x');
  std::vector<char> desc(kFanDescriptionBuffer, 'x');
  int16_t score = -1;
  for (const FanInfo& fan : glue.Rules()->GetFanTable()) {
    SCOPED_TRACE(fan.type);
    glue.GetFanNameByType(fan.type, name.data(), desc.data(), &score);
    EXPECT_EQ(score, glue.Rules()->GetFanScore(fan.type));
    EXPECT_EQ(std::string(name.data()), std::string(fan.name).substr(0, kFanNameBuffer - 1));
    EXPECT_EQ(std::string(desc.data()),
              std::string(fan.description).substr(0, kFanDescriptionBuffer - 1));
  }

  // 102 is "大三元" in GBK.
  glue.GetFanNameByType(102, name.data(), nullptr, &score);
  EXPECT_STREQ(name.data(), "\xB4\xF3\xC8\xFD\xD4\xAA");
  EXPECT_EQ(score, 22);

  // A type without a row: score 0, both buffers untouched.
  std::memset(name.data(), 'x', name.size());
  std::memset(desc.data(), 'x', desc.size());
  score = 5;
  glue.GetFanNameByType(9999, name.data(), desc.data(), &score);
  EXPECT_EQ(score, 0);
  EXPECT_EQ(name[0], 'x');
  EXPECT_EQ(desc[0], 'x');
}

// ---- the other methods -----------------------------------------------------------------------

TEST_F(GlueTest, SimpleAnswersAndCounters) {
  int16_t a = 9, b = 9, c = 9, d = 9;
  glue.IsChuPai(&a, &b);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 0);
  glue.GetNextPlayer(&a);
  EXPECT_EQ(a, 1);
  glue.IsShowChoice(&a);
  EXPECT_EQ(a, 1);
  for (auto method : {&ArithmeticGlue::GetJianGangNum, &ArithmeticGlue::GetFengGangNum,
                      &ArithmeticGlue::IsPermitShangTai, &ArithmeticGlue::IsPermitDuBao}) {
    a = 9;
    (glue.*method)(&a);
    EXPECT_EQ(a, 0);
  }
  glue.GetPlayerScores(&a, &b, &c, &d);
  EXPECT_EQ(std::vector<int>({a, b, c, d}), std::vector<int>({0, 0, 0, 0}));

  glue.SetHandNo(7);
  glue.StartOneHand();
  glue.GetHandNo(&a);
  EXPECT_EQ(a, 8);
  glue.SetTrickNo(3);
  glue.StartOneTrick();
  glue.GetTrickNo(&a);
  EXPECT_EQ(a, 4);
  glue.SetDice();
  glue.SetDice();
  glue.GetDiceNum(&a);
  EXPECT_EQ(a, 2);
  glue.ResetDice();
  glue.GetDiceNum(&a);
  EXPECT_EQ(a, 0);
  glue.SetBanker(1, 2);
  glue.GetBanker(&a);
  EXPECT_EQ(a, 1);
  glue.SetTingStatus(1);
  glue.GetTingStatus(&a);
  EXPECT_EQ(a, 1);
  glue.SetLowFan(-3);
  EXPECT_EQ(glue.Rules()->GetLowFan(), 0);
  glue.SetLowFan(8);
  EXPECT_EQ(glue.Rules()->GetLowFan(), 8);
}

TEST_F(GlueTest, HandTilesInAndOut) {
  Deal("123m 456p 789s 11d 78m");
  int16_t n = 0;
  glue.GetDealNum(&n);
  EXPECT_EQ(n, 13);
  std::vector<card> gone = Tiles("1m 1m 9p");  // one 1m, and a tile not held
  glue.DeleteCardsFromMyHand(3, gone.data());
  glue.DeleteCardsFromMyHand(-2, gone.data());
  glue.DeleteCardsFromMyHand(2, nullptr);
  EXPECT_EQ(Hand(), "2m 3m 7m 8m 4p 5p 6p 7s 8s 9s 1d 1d");
  std::vector<card> seen = Tiles("1m 2m 3m");
  glue.SetRecvCardsInRecover(3, seen.data());
  EXPECT_EQ(TilesText(glue.Rules()->GetDiscards()), "1m 2m 3m");
  int16_t color = 0, value = 0;
  glue.GetCurrentSended(&color, &value);
  EXPECT_EQ(card({color, value}), Tile("3m"));
  glue.DeleteAllFromMyHand();
  glue.GetDealNum(&n);
  EXPECT_EQ(n, 0);
}

TEST_F(GlueTest, GangNumKeptForFourSeatsOnly) {
  glue.SetGangNum(3, 1, 2);
  glue.SetGangNum(4, 5, 5);
  glue.SetGangNum(-1, 5, 5);
  for (int loc = 0; loc < ArithmeticGlue::kGangNumSeats; ++loc) {
    int16_t hide = 0, expose = 0;
    glue.GangNum(loc, hide, expose);
    EXPECT_EQ(hide, loc == 3 ? 1 : 0) << loc;
    EXPECT_EQ(expose, loc == 3 ? 2 : 0) << loc;
  }
}

TEST_F(GlueTest, SetSubTypeReplacesTheRulesObject) {
  Deal("123m 456p 789s 11d 78m");
  glue.SetSubType(4);
  ASSERT_NE(glue.Rules(), nullptr);
  EXPECT_EQ(glue.Rules()->GetDealNum(), 0);
}

// A sink that replaces the rules object from inside an event must not pull it from under the
// call that fired the event (the sanitizer watches).
TEST_F(GlueTest, SetSubTypeFromInsideAnEventIsSafe) {
  Deal("34m 555m 11d 123p 789p");
  sink.Take();
  bool replaced = false;
  sink.during_event = [&] {
    if (!replaced) {
      replaced = true;
      glue.SetSubType(0);
    }
  };
  Discard(1, "5m");
  EXPECT_EQ(sink.Take(), "Sound(0,5) Chi1 Peng1 Gang1 Hu1 Listen0 Guo1");
  EXPECT_EQ(glue.Rules()->GetDealNum(), 0);
  replaced = false;
  Draw("5m");
  sink.Take();
  replaced = false;
  int16_t ishu = 0;
  glue.IsHuPai(&ishu);
  glue.StartPlay();
}

// ---- before SetSubType -----------------------------------------------------------------------

TEST(GlueBeforeSubType, EveryMethodLeavesItsOutputsAndFiresNothing) {
  RecordingSink sink;
  g_allocations = 0;
  ArithmeticGlue glue(sink, CountingAlloc);
  std::vector<card> tiles = Tiles("5m 5m 5m 5m");
  const card* t = tiles.data();
  const int16_t kOld = 77;
  int16_t a = kOld, b = kOld, c = kOld, d = kOld;
  intptr_t address = 4242;
  char name[kFanNameBuffer] = "old";
  char desc[kFanDescriptionBuffer] = "old";

  glue.IsChuPai(&a, &b);
  glue.StartOneHand();
  glue.AddCardsToMyHand(4, t);
  glue.AddCardsToMyHand(1, t);
  glue.StartOneTrick();
  glue.SetRecvCards(1, 1, t);
  glue.SetRecvCards(0, 1, t);
  glue.GetNextPlayer(&a);
  glue.DeleteCardsFromMyHand(1, t);
  glue.AutoSendCards(&a, &address);
  glue.GetPlayerScores(&a, &b, &c, &d);
  glue.GetHandNo(&a);
  glue.SetRecvCardsInRecover(4, t);
  glue.SetTrickNo(3);
  glue.GetTrickNo(&a);
  glue.SetHandNo(3);
  glue.IsShowChoice(&a);
  glue.DeleteAllFromMyHand();
  glue.ExposeCard(0, MeldConcealedKong, 4, t);
  glue.SetBanker(1, 1);
  glue.GetFans(&a, &address);
  glue.GetFanNameByType(102, name, desc, &a);
  glue.GetGangCards(0, &a, &address, &b);
  glue.GetPengCards(&a, &address);
  glue.GetEatNum(&a);
  glue.GetEatCards(0, &address);
  glue.GetBanker(&a);
  glue.GetGangType(&a);
  glue.ExposeCard_InRecover(0, MeldConcealedKong, 4, t);
  glue.SetTingStatus(1);
  glue.GetCurrentSended(&a, &b);
  glue.SetDice();
  glue.GetDiceNum(&a);
  glue.IsDeclareListen(&a);
  glue.Calculate(&a, &b, &c, &d);
  glue.SetHuInfo(1, -1, 0, 5);
  glue.GetHuType(&a);
  glue.GetCurrentMo(&a, &b);
  glue.GetHideGangCards(&a, &address);
  glue.SetGangNum(0, 1, 1);
  glue.GetTingStatus(&a);
  glue.SetCardAfterGang(0, 5);
  glue.SetLastBz();
  glue.SetLowFan(3);
  glue.GetJianGangNum(&a);
  glue.GetFengGangNum(&a);
  glue.SetXiangGongStatus(1);
  glue.IsHuPai(&a);
  glue.IsPermitShangTai(&a);
  glue.IsPermitDuBao(&a);
  glue.ResetDice();
  glue.StartPlay();
  glue.GetDealNum(&a);
  glue.GetGangNum(&a);

  EXPECT_EQ(std::vector<int>({a, b, c, d}), std::vector<int>({kOld, kOld, kOld, kOld}));
  EXPECT_EQ(address, 4242);
  EXPECT_STREQ(name, "old");
  EXPECT_STREQ(desc, "old");
  EXPECT_EQ(sink.Take(), "");
  EXPECT_EQ(g_allocations, 0);
  EXPECT_EQ(glue.Rules(), nullptr);
  int16_t hide = 0, expose = 0;
  glue.GangNum(0, hide, expose);
  EXPECT_EQ(hide, 0);
}

TEST_F(GlueTest, NullOutputsAreSkipped) {
  Deal("34m 555m 11d 123p 789p");
  Discard(1, "5m");
  g_allocations = 0;
  glue.IsChuPai(nullptr, nullptr);
  glue.AutoSendCards(nullptr, nullptr);
  glue.GetFans(nullptr, nullptr);
  glue.GetGangCards(0, nullptr, nullptr, nullptr);
  glue.GetPengCards(nullptr, nullptr);
  glue.GetEatCards(0, nullptr);
  glue.GetHideGangCards(nullptr, nullptr);
  glue.GetCurrentMo(nullptr, nullptr);
  glue.GetCurrentSended(nullptr, nullptr);
  glue.Calculate(nullptr, nullptr, nullptr, nullptr);
  glue.GetPlayerScores(nullptr, nullptr, nullptr, nullptr);
  glue.GetFanNameByType(102, nullptr, nullptr, nullptr);
  glue.IsDeclareListen(nullptr);
  glue.GetDealNum(nullptr);
  EXPECT_EQ(g_allocations, 0);
}

}  // namespace
