// The real rules engine behind the play table's engine interface: the Arithmetic control's glue
// over the two-player rules, with its events written to the call log ("E.LightChi(1)", ...).
// Arrays the glue hands out are copied and freed here, as the control binding does.
#pragma once
#include <cstdlib>
#include <string>
#include <vector>

#include "arithmetic_glue.h"
#include "mj_fakes.h"

class LoggedEngineEvents : public ArithmeticEventSink {
 public:
  explicit LoggedEngineEvents(CallLog& log) : m_log(log) {}
  void Fire_LightSend(int16_t v) override { L(Call("E.LightSend", v)); }
  void Fire_LightListen(int16_t v) override { L(Call("E.LightListen", v)); }
  void Fire_LightChi(int16_t v) override { L(Call("E.LightChi", v)); }
  void Fire_LightPeng(int16_t v) override { L(Call("E.LightPeng", v)); }
  void Fire_LightGang(int16_t v) override { L(Call("E.LightGang", v)); }
  void Fire_LightHu(int16_t v) override { L(Call("E.LightHu", v)); }
  void Fire_LightGuo(int16_t v) override { L(Call("E.LightGuo", v)); }
  void Fire_AutoGuo() override { L("E.AutoGuo()"); }
  void Fire_AutoSendOnTing() override { L("E.AutoSendOnTing()"); }
  void Fire_AutoHu() override { L("E.AutoHu()"); }
  void Fire_PlaySound(int16_t c, int16_t v) override { L(Call("E.PlaySound", c, v)); }

 private:
  void L(std::string line) { m_log.push_back(std::move(line)); }
  CallLog& m_log;
};

class GlueArithmetic : public IMjArithmeticCalls {
 public:
  explicit GlueArithmetic(CallLog& log) : m_events(log), m_glue(m_events, &std::malloc) {}
  const ArithmeticGlue& Glue() const { return m_glue; }

  void AddCardsToMyHand(int16_t count, const card* cards) override {
    m_glue.AddCardsToMyHand(count, cards);
  }
  void SetSubType(int16_t v) override { m_glue.SetSubType(v); }
  void StartOneHand(int16_t, int16_t) override { m_glue.StartOneHand(); }
  void SetHandNo(int16_t v) override { m_glue.SetHandNo(v); }
  void SetRecvCards(int16_t loc, int16_t, int16_t, int16_t num, const card* cards) override {
    m_glue.SetRecvCards(loc, num, cards);
  }
  void SetRecvCardsInRecover(int16_t, int16_t, int16_t, int16_t num, const card* cards) override {
    m_glue.SetRecvCardsInRecover(num, cards);
  }
  void AutoSendCards(std::vector<card>& cards) override {
    int16_t count = 0;
    intptr_t array = 0;
    m_glue.AutoSendCards(&count, &array);
    Take(array, count, cards);
  }
  void SetBanker(int16_t loc, int16_t wind) override { m_glue.SetBanker(loc, wind); }
  void GetBanker(int16_t* loc) override { m_glue.GetBanker(loc); }
  void SetLowFan(int16_t v) override { m_glue.SetLowFan(v); }
  void SetLastBz() override { m_glue.SetLastBz(); }
  void SetDice(int16_t) override { m_glue.SetDice(); }
  void GetDiceNum(int16_t* n) override { m_glue.GetDiceNum(n); }
  void SetCardAfterGang(int16_t c, int16_t v) override { m_glue.SetCardAfterGang(c, v); }
  void ExposeCard(int16_t loc, int16_t type, int16_t num, const card* cards) override {
    m_glue.ExposeCard(loc, type, num, cards);
  }
  void ExposeCard_InRecover(int16_t loc, int16_t type, int16_t count, const card* cards) override {
    m_glue.ExposeCard_InRecover(loc, type, count, cards);
  }
  void GetCurrentSended(int16_t* c, int16_t* v) override { m_glue.GetCurrentSended(c, v); }
  void GetCurrentMo(int16_t* c, int16_t* v) override { m_glue.GetCurrentMo(c, v); }
  void GetEatNum(int16_t* n) override { m_glue.GetEatNum(n); }
  void GetEatCards(int16_t index, std::vector<card>& cards) override {
    intptr_t array = 0;
    m_glue.GetEatCards(index, &array);
    Take(array, array ? 3 : 0, cards);
  }
  void GetPengCards(std::vector<card>& cards) override {
    int16_t num = 0;
    intptr_t array = 0;
    m_glue.GetPengCards(&num, &array);
    Take(array, num, cards);
  }
  void GetGangNum(int16_t* n) override { m_glue.GetGangNum(n); }
  void GetGangCards(int16_t index, std::vector<card>& cards, int16_t* type) override {
    int16_t num = 0;
    intptr_t array = 0;
    m_glue.GetGangCards(index, &num, &array, type);
    Take(array, num, cards);
  }
  void IsDeclareListen(int16_t* v) override { m_glue.IsDeclareListen(v); }
  void SetTingStatus(int16_t v) override { m_glue.SetTingStatus(v); }
  void GetTingStatus(int16_t* v) override { m_glue.GetTingStatus(v); }
  void IsHuPai(int16_t* v) override { m_glue.IsHuPai(v); }
  void GetHuType(int16_t* v) override { m_glue.GetHuType(v); }
  void SetHuInfo(int16_t t, int16_t g, int16_t c, int16_t v) override { m_glue.SetHuInfo(t, g, c, v); }
  void Calculate(int16_t* b, int16_t* s, int16_t* base, int16_t* fan) override {
    m_glue.Calculate(b, s, base, fan);
  }
  void GetFans(std::vector<int16_t>& types) override {
    int16_t count = 0;
    intptr_t array = 0;
    m_glue.GetFans(&count, &array);
    types.clear();
    if (array != 0) {
      const auto* p = reinterpret_cast<const int16_t*>(array);
      types.assign(p, p + count);
      std::free(reinterpret_cast<void*>(array));
    }
  }

 private:
  static void Take(intptr_t array, int count, std::vector<card>& cards) {
    cards.clear();
    if (array == 0) return;
    const auto* p = reinterpret_cast<const card*>(array);
    cards.assign(p, p + (count > 0 ? count : 0));
    std::free(reinterpret_cast<void*>(array));
  }

  LoggedEngineEvents m_events;
  ArithmeticGlue m_glue;
};

// What the engine holds for the local player, in a form two engines can be compared by.
struct EngineState {
  std::vector<std::string> hand;
  std::vector<std::string> melds;
  std::vector<std::string> meldedKongs;
  std::vector<std::string> concealedKongs;
  std::vector<std::string> discards;
  int16_t ting = 0;
  int16_t banker = 0;
  bool operator==(const EngineState&) const = default;
};

inline std::string Describe(const MeldGroup& g) {
  return std::to_string(g.m_nColor) + ":" + std::to_string(g.m_nTopValue) + "x" +
         std::to_string(g.m_nCopies) + "/" + std::to_string(g.m_nValues);
}

inline EngineState StateOf(const GlueArithmetic& engine) {
  EngineState s;
  const CKorvel* rules = engine.Glue().Rules();
  if (rules == nullptr) return s;
  const auto tiles = [](const auto& list) {
    std::vector<std::string> out;
    for (const card& c : list) out.push_back(std::to_string(c.m_nColor) + ":" + std::to_string(c.m_nValue));
    std::sort(out.begin(), out.end());
    return out;
  };
  const auto groups = [](const auto& list) {
    std::vector<std::string> out;
    for (const MeldGroup& g : list) out.push_back(Describe(g));
    std::sort(out.begin(), out.end());
    return out;
  };
  s.hand = tiles(rules->GetHand());
  // The drawn tile is part of the hand for the engine's tests.
  s.melds = groups(rules->GetMelds());
  s.meldedKongs = groups(rules->GetMeldedKongs());
  s.concealedKongs = groups(rules->GetConcealedKongs());
  s.discards = tiles(rules->GetDiscards());
  s.ting = rules->GetTingStatus();
  s.banker = rules->GetBanker();
  return s;
}

inline void PrintTo(const EngineState& s, std::ostream* os) {
  const auto list = [os](const char* name, const std::vector<std::string>& v) {
    *os << name << "{";
    for (const auto& x : v) *os << x << " ";
    *os << "} ";
  };
  list("hand", s.hand);
  list("melds", s.melds);
  list("kongs", s.meldedKongs);
  list("concealed", s.concealedKongs);
  list("discards", s.discards);
  *os << "ting " << s.ting << " banker " << s.banker;
}
