// The real table model behind the play table's display interface: every call is logged as the
// recording fake logs it and then reaches a CCommMjTable the way the Table control passes it on,
// so a test can see what the table would really show (tiles in each seat's areas, the wall's
// discards, the ready marks) instead of a list of calls.
#pragma once
#include <algorithm>
#include <string>
#include <vector>

#include "mj_fakes.h"
#include "records/score_row.h"
#include "table_fixture.h"

class ModelMjTable : public FakeMjTable {
 public:
  explicit ModelMjTable(CallLog& log) : FakeMjTable(log) {}

  table::CCommMjTable& Model() { return *m_fixture.table; }
  table::testing::TableFixture& Fixture() { return m_fixture; }

  // Every tile the model's seats hold, as "location area: tiles" lines, and each seat's ready
  // mark; the hand sorted, so that two tables that hold the same tiles in another order compare
  // equal.
  std::vector<std::string> Tiles() {
    static const char* const kAreas[] = {"hand", "melds", "concealed kongs", "flowers", "current"};
    std::vector<std::string> out;
    for (int16_t l = 0; l < Model().SeatCount(); ++l) {
      table::CMjLocation& seat = *Model().Seat(l);
      for (int a = 0; a < table::CMjLocation::kAreaCount; ++a) {
        std::vector<std::string> tiles = TilesOf(seat.holder(static_cast<table::CMjLocation::Area>(a)));
        if (a == table::CMjLocation::kHand) std::sort(tiles.begin(), tiles.end());
        out.push_back(std::to_string(l) + " " + kAreas[a] + ":" + Join(tiles));
      }
      out.push_back(std::to_string(l) + " ready hand:" + (seat.readyHand ? "yes" : "no"));
    }
    return out;
  }
  // The own hand with the drawn tile, sorted, as "colour:value" (the engine's form in StateOf).
  std::vector<std::string> OwnTiles() {
    table::CMjLocation& seat = *Model().Seat(0);
    std::vector<std::string> tiles = TilesOf(seat.hand());
    for (std::string& t : TilesOf(seat.current())) tiles.push_back(std::move(t));
    std::sort(tiles.begin(), tiles.end());
    return tiles;
  }
  // The count of tiles a location holds in its hand and as its drawn tile.
  int Concealed(int16_t loc) {
    table::CMjLocation& seat = *Model().Seat(loc);
    return static_cast<int>(TilesOf(seat.hand()).size() + TilesOf(seat.current()).size());
  }

  void SetPersonLocation(int16_t loc, intptr_t icon, const TablePerson* p) override {
    FakeMjTable::SetPersonLocation(loc, icon, p);
    Model().SetPersonLocation(loc, icon, p);
  }
  void StartDeal() override {
    FakeMjTable::StartDeal();
    Model().StartDeal();
  }
  void AddCardsToMyHandWithSort_InDeal(int16_t count, const card* cards) override {
    FakeMjTable::AddCardsToMyHandWithSort_InDeal(count, cards);
    Model().AddCardsToMyHandWithSort(count, cards);
  }
  void StartChoice(int16_t loc) override {
    FakeMjTable::StartChoice(loc);
    Model().StartChoice(loc);
  }
  void StartGame(int16_t loc) override {
    FakeMjTable::StartGame(loc);
    Model().StartGame(loc);
  }
  void SetRecvCards(int16_t loc, int16_t num, const card* cards, int16_t a, int16_t issend,
                    int16_t c, int16_t d) override {
    FakeMjTable::SetRecvCards(loc, num, cards, a, issend, c, d);
    Model().SetRecvCards(loc, num, cards, issend);
  }
  void DeleteAllFromMyHand() override {
    FakeMjTable::DeleteAllFromMyHand();
    Model().ClearAllCards();
  }
  void DeleteAllFromSend(int16_t loc) override {
    FakeMjTable::DeleteAllFromSend(loc);
    Model().DeleteAllFromSend(loc);
  }
  void StartOneHand() override {
    FakeMjTable::StartOneHand();
    Model().StartOneHand();
  }
  void ResetTable() override {
    FakeMjTable::ResetTable();
    Model().ResetTable();
  }
  void SetReviewStyle(int16_t on) override {
    FakeMjTable::SetReviewStyle(on);
    Model().reviewStyle = on;
  }
  void SetBanker(int16_t loc, int16_t wind) override {
    FakeMjTable::SetBanker(loc, wind);
    Model().SetBanker(loc, wind);
  }
  void InitWall(int16_t num) override {
    FakeMjTable::InitWall(num);
    Model().InitWall(num);
  }
  void InitWall_InTimer(int16_t num) override {
    FakeMjTable::InitWall_InTimer(num);
    Model().InitWall_InTimer(num);
  }
  void SetFirstPosition_InWall(int16_t loc, int16_t pos) override {
    FakeMjTable::SetFirstPosition_InWall(loc, pos);
    Model().Wall().SetFirstPosition_InWall(loc, pos);
  }
  void DeleteCardsFromWall(int16_t num, int16_t isbu) override {
    FakeMjTable::DeleteCardsFromWall(num, isbu);
    Model().Wall().DeleteCardsFromWall(num, static_cast<uint16_t>(isbu));
  }
  void StartDice(int16_t loc) override {
    FakeMjTable::StartDice(loc);
    Model().StartDice(loc);
    Model().ClearMyFans();
  }
  void SetDice(int16_t loc, int16_t a, int16_t b) override {
    FakeMjTable::SetDice(loc, a, b);
    Model().SetDice(loc, a, b);
  }
  void SetDealNum(int16_t loc, int16_t num) override {
    FakeMjTable::SetDealNum(loc, num);
    Model().SetDealNum(loc, num);
  }
  void SetDealNum_InTimer(int16_t loc, int16_t num) override {
    FakeMjTable::SetDealNum_InTimer(loc, num);
    Model().SetDealNum_InTimer(loc, num);
  }
  void AddCardsToMyHandWithSort_InTimer(int16_t count, const card* cards) override {
    FakeMjTable::AddCardsToMyHandWithSort_InTimer(count, cards);
    Model().AddCardsToMyHandWithSort_InTimer(count, cards);
  }
  void AddCardToCurrent(int16_t loc, int16_t c, int16_t v) override {
    FakeMjTable::AddCardToCurrent(loc, c, v);
    Model().AddCardToCurrent(loc, c, v, true);
  }
  void AddCardToCurrentWithoutShow(int16_t loc, int16_t c, int16_t v) override {
    FakeMjTable::AddCardToCurrentWithoutShow(loc, c, v);
    Model().AddCardToCurrent(loc, c, v, false);
  }
  void ExposeCard(int16_t loc, int16_t type, int16_t count, const card* cards) override {
    FakeMjTable::ExposeCard(loc, type, count, cards);
    Model().StartChoice(-1);
    Model().ExposeCard(loc, type, count, cards);
  }
  void ExposeCard_InRecover(int16_t loc, int16_t type, int16_t count, const card* cards) override {
    FakeMjTable::ExposeCard_InRecover(loc, type, count, cards);
    Model().ExposeCard_InRecover(loc, type, count, cards);
  }
  void SetRecvCards_InRecover(int16_t loc, int16_t num, const card* cards) override {
    FakeMjTable::SetRecvCards_InRecover(loc, num, cards);
    Model().SetRecvCards_InRecover(loc, num, cards);
  }
  void DeleteAllHideGang() override {
    FakeMjTable::DeleteAllHideGang();
    Model().DeleteAllHideGang();
  }
  void FocusCards(int16_t type, int16_t on) override {
    FakeMjTable::FocusCards(type, on);
    Model().FocusCards(type, on);
  }
  void HuPai(int16_t huloc, int16_t gunloc) override {
    FakeMjTable::HuPai(huloc, gunloc);
    Model().HuPai(huloc, gunloc);
  }
  void SetTingStatus(int16_t loc, int16_t on) override {
    FakeMjTable::SetTingStatus(loc, on);
    Model().SetTingStatus(loc, on);
  }
  void LightSend(int16_t on) override {
    FakeMjTable::LightSend(on);
    Model().LightSend(on);
  }
  void LightTing(int16_t on) override {
    FakeMjTable::LightTing(on);
    Model().LightTing(on);
  }
  void SetScoreInfo(int16_t num, int16_t index, const MjScoreRow* row) override {
    static_assert(sizeof(MjScoreRow) == sizeof(ScoreRow));
    FakeMjTable::SetScoreInfo(num, index, row);
    ScoreRow copy;
    std::copy(std::begin(row->name), std::end(row->name), std::begin(copy.name));
    std::copy(std::begin(row->values), std::end(row->values), std::begin(copy.values));
    Model().SetScoreInfo(num, index, &copy);
  }
  void SetMyFans(const int16_t* list) override {
    FakeMjTable::SetMyFans(list);
    Model().SetMyFans(list);
  }
  void ShowScoreInfo(int16_t on) override {
    FakeMjTable::ShowScoreInfo(on);
    Model().ShowScoreInfo(on == 1);
  }

 private:
  static std::vector<std::string> TilesOf(sprites::SpriteHolderCore& h) {
    uint16_t n = 0;
    h.GetCount(n);
    std::vector<std::string> out;
    for (uint16_t i = 0; i < n; ++i) {
      uint16_t v = 0, c = 0;
      h.GetCardAt(static_cast<int16_t>(i), v, c);
      out.push_back(std::to_string(c) + ":" + std::to_string(v));
    }
    return out;
  }
  static std::string Join(const std::vector<std::string>& tiles) {
    std::string s;
    for (const auto& t : tiles) s += " " + t;
    return s;
  }

  table::testing::TableFixture m_fixture;
};
