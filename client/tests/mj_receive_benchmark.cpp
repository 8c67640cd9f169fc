// Speed of the mahjong receive path: one frame (header delivery, body delivery, checks, dispatch,
// handler) and a whole scripted hand of about 150 frames, against controls that do nothing.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "byte_order.h"
#include "mj_play_table.h"
#include "wire_frame.h"

namespace {

class NullSocket : public IVyrSockTransport {
 public:
  void Close() override {}
  bool Connect(const std::string&, int32_t) override { return true; }
  int16_t Send(const uint8_t*, int16_t length) override { return length; }
  void ConnectProxy(int16_t, const std::string&, int32_t) override {}
  void ConnectProxyAuth(int16_t, const std::string&, int32_t, const std::string&,
                        const std::string&) override {}
  bool RecvNext(int32_t) override { return true; }
  void SetTimeOut(int32_t) override {}
};
class NullTimers : public ITableTimers {
 public:
  void SetTimer(uint32_t, uint32_t) override {}
  void KillTimer(uint32_t) override {}
};
class NullNotices : public ITableNotices {
 public:
  void Show(const TableNotice&) override {}
  void Close(NoticeKind) override {}
  void HideMagicActionPicker() override {}
};
class NullWindow : public IMjTableWindow {
 public:
  void PlaySoundSync(const char*) override {}
  void PlaySoundAsync(const char*) override {}
  void PlayStyleSound(const char*) override {}
  void RedrawPersonList() override {}
};

class NullTable : public IMjTableCalls {
 public:
  void SetPersonLocation(int16_t, intptr_t, const TablePerson*) override {}
  void SetLeftCards(int16_t, int16_t, const card*) override {}
  void StartDeal() override {}
  void AddCardsToMyHandWithSort_InDeal(int16_t, const card*) override {}
  void Setup() override {}
  void SetMyCardBitmap(intptr_t, intptr_t) override {}
  void Update(int16_t) override {}
  void StartChoice(int16_t) override {}
  void ShowButtons() override {}
  void HideButtons() override {}
  void StartGame(int16_t) override {}
  void HideStartButton() override {}
  void SetRecvCards(int16_t, int16_t, const card*, int16_t, int16_t, int16_t, int16_t) override {}
  void DeleteAllFromMyHand() override {}
  void DeleteAllFromSend(int16_t) override {}
  void StartOneHand() override {}
  void ResetTable() override {}
  void SetReviewStyle(int16_t) override {}
  void ShowControlButtons(int16_t) override {}
  void SetBanker(int16_t, int16_t) override {}
  void InitWall(int16_t) override {}
  void InitWall_InTimer(int16_t) override {}
  void SetFirstPosition_InWall(int16_t, int16_t) override {}
  void DeleteCardsFromWall(int16_t, int16_t) override {}
  void StartDice(int16_t) override {}
  void SetDice(int16_t, int16_t, int16_t) override {}
  void SetDealNum(int16_t, int16_t) override {}
  void SetDealNum_InTimer(int16_t, int16_t) override {}
  void AddCardsToMyHandWithSort_InTimer(int16_t, const card*) override {}
  void AddCardToCurrent(int16_t, int16_t, int16_t) override {}
  void AddCardToCurrentWithoutShow(int16_t, int16_t, int16_t) override {}
  void ExposeCard(int16_t, int16_t, int16_t, const card*) override {}
  void ExposeCard_InRecover(int16_t, int16_t, int16_t, const card*) override {}
  void SetRecvCards_InRecover(int16_t, int16_t, const card*) override {}
  void DeleteAllHideGang() override {}
  void FocusCards(int16_t, int16_t) override {}
  void KillScrabble() override {}
  void HuPai(int16_t, int16_t) override {}
  void SetTingStatus(int16_t, int16_t) override {}
  void LightSend(int16_t) override {}
  void LightTing(int16_t) override {}
  void LightChi(int16_t) override {}
  void LightPeng(int16_t) override {}
  void LightGang(int16_t) override {}
  void LightHu(int16_t) override {}
  void LightGuo(int16_t) override {}
  void SetScoreInfo(int16_t, int16_t, const MjScoreRow*) override {}
  void SetMyFans(const int16_t*) override {}
  void ShowScoreInfo(int16_t) override {}
  void SetAvactItem(int16_t, intptr_t) override {}
  void PlayFlash(int16_t, int16_t, intptr_t, const char*) override {}
};

class NullEngine : public IMjArithmeticCalls {
 public:
  void AddCardsToMyHand(int16_t, const card*) override {}
  void SetSubType(int16_t) override {}
  void StartOneHand(int16_t, int16_t) override {}
  void SetHandNo(int16_t) override {}
  void SetRecvCards(int16_t, int16_t, int16_t, int16_t, const card*) override {}
  void SetRecvCardsInRecover(int16_t, int16_t, int16_t, int16_t, const card*) override {}
  void AutoSendCards(std::vector<card>& cards) override { cards.clear(); }
  void SetBanker(int16_t loc, int16_t) override { banker = loc; }
  void GetBanker(int16_t* loc) override { *loc = banker; }
  void SetLowFan(int16_t) override {}
  void SetLastBz() override {}
  void SetDice(int16_t) override {}
  void GetDiceNum(int16_t* n) override { *n = 0; }
  void SetCardAfterGang(int16_t, int16_t) override {}
  void ExposeCard(int16_t, int16_t, int16_t, const card*) override {}
  void ExposeCard_InRecover(int16_t, int16_t, int16_t, const card*) override {}
  void GetCurrentSended(int16_t* c, int16_t* v) override { *c = *v = 0; }
  void GetCurrentMo(int16_t* c, int16_t* v) override { *c = *v = 0; }
  void GetEatNum(int16_t* n) override { *n = 0; }
  void GetEatCards(int16_t, std::vector<card>& cards) override { cards.clear(); }
  void GetPengCards(std::vector<card>& cards) override { cards.clear(); }
  void GetGangNum(int16_t* n) override { *n = 0; }
  void GetGangCards(int16_t, std::vector<card>& cards, int16_t* type) override {
    cards.clear();
    *type = -1;
  }
  void IsDeclareListen(int16_t* v) override { *v = 0; }
  void SetTingStatus(int16_t) override {}
  void GetTingStatus(int16_t* v) override { *v = 0; }
  void IsHuPai(int16_t* v) override { *v = 0; }
  void GetHuType(int16_t* v) override { *v = 0; }
  void SetHuInfo(int16_t, int16_t, int16_t, int16_t) override {}
  void Calculate(int16_t* b, int16_t* s, int16_t* base, int16_t* fan) override { *b = *s = *base = *fan = 0; }
  void GetFans(std::vector<int16_t>& types) override { types.clear(); }
  int16_t banker = 0;
};

class BenchTable : public CMjPlayTableImp {
 public:
  BenchTable(NullSocket& socket, NullTimers& timers, NullNotices& notices, SessionSettings& settings,
             NullWindow& window, FrameworkSession& session)
      : CMjPlayTableImp(socket, timers, notices, settings, window, session) {}
  intptr_t GetPersonIcon(const TablePerson*) override { return 0; }
  void StartConnection() override {}
  int CreateTableControl() override {
    SetTableControl(&table);
    return 1;
  }
  int CreateArithmeticControl() override {
    SetArithmeticControl(&engine);
    return 1;
  }
  void InitTable() override {}
  void ExitGame() override {}
  void AddChatLine(const ChatTextFormat&, const char*) override {}
  void PersonListAddPerson(TablePerson*) override {}
  void PersonListRemovePerson(TablePerson*) override {}
  int GetPersonIconCount() override { return 0; }
  void AddHotRegion(const HotRegionRecord&) override {}
  void ShowMagicAction(const CVyrMessage_MagicAction&) override {}
  bool FindAvatarItem(uint32_t) override { return true; }
  std::string LoadDefaultAvatar(const TablePerson&) override { return {}; }
  std::string GetAvatarFolder() override { return {}; }
  bool FileExists(const std::string&) override { return false; }
  void AddAvatarItem(uint32_t, const std::string&) override {}
  void PushAvatarsToTable() override {}

  NullTable table;
  NullEngine engine;
};

struct Bench {
  NullSocket socket;
  NullTimers timers;
  NullNotices notices;
  NullWindow window;
  SessionSettings settings;
  FrameworkSession session;
  BenchTable table{socket, timers, notices, settings, window, session};

  Bench() {
    // Review mode keeps the hand record out of the measurement of the receive path alone.
    auto me = std::make_unique<TablePerson>();
    me->id = 1;
    me->status = 4;
    me->deskno = 0;
    me->seatno = 1;
    table.AppendPerson(std::move(me));
    auto other = std::make_unique<TablePerson>();
    other->id = 2;
    other->status = 4;
    other->deskno = 0;
    other->seatno = 0;
    table.AppendPerson(std::move(other));
    table.SetMyId(1);
    table.Create();
    table.OnSocketConnect(1);
    table.StoreSessionKey(77, 0, 0);
  }
};

// A signed frame with sequence 0 (not checked), so that it can be delivered again and again.
std::vector<uint8_t> Frame(uint16_t id, std::vector<uint8_t> body) {
  std::vector<uint8_t> frame(kMessageHeaderSize, 0);
  StoreBigEndian16(frame.data(), id);
  StoreBigEndian32(frame.data() + 4, static_cast<uint32_t>(body.size() + kMessageTrailerSize));
  frame.insert(frame.end(), body.begin(), body.end());
  const MessageTrailer t = MakeSessionTrailer({{body.data(), body.size()}}, frame.data() + 8, 77);
  const auto* p = reinterpret_cast<const uint8_t*>(&t);
  frame.insert(frame.end(), p, p + kMessageTrailerSize);
  return frame;
}

void Deliver(BenchTable& table, const std::vector<uint8_t>& frame) {
  table.OnSocketData(frame.data(), kMessageHeaderSize);
  table.OnSocketData(frame.data() + kMessageHeaderSize, frame.size() - kMessageHeaderSize);
}

std::vector<std::vector<uint8_t>> ScriptedHand() {
  std::vector<std::vector<uint8_t>> hand;
  hand.push_back(Frame(601, {0, 0, 0, 1, 0, 72, 0, 0, 0, 1}));
  hand.push_back(Frame(606, {0, 0, 0, 0}));
  hand.push_back(Frame(607, {0, 0, 0, 2, 0, 5, 0, 1}));
  hand.push_back(Frame(607, {0, 1, 0, 3, 0, 4, 0xFF, 0xFF}));
  std::vector<uint8_t> deal = {0, 0, 0, 1, 0, 5, 0, 27, 0, 0, 0, 14, 0, 13};
  for (int i = 0; i < 13; ++i) deal.push_back(static_cast<uint8_t>((i % 9 + 1) << 3 | (i % 3)));
  deal.resize(36, 0);
  hand.push_back(Frame(611, deal));
  for (int turn = 0; turn < 72; ++turn) {
    const uint8_t seat = static_cast<uint8_t>(turn % 2);
    const uint8_t tile = static_cast<uint8_t>((turn % 9 + 1) << 3 | (turn % 3));
    hand.push_back(Frame(621, {0, seat, seat ? tile : uint8_t{0}, 0, 0, 1, 0, 0, 0, 50}));
    hand.push_back(Frame(616, {0, seat, tile, 0}));
  }
  std::vector<uint8_t> result(80, 0);
  result[1] = 1;
  result[3] = 1;
  hand.push_back(Frame(627, result));
  hand.push_back(Frame(642, std::vector<uint8_t>(100, 0)));
  return hand;
}

void BM_ReceiveOneDiscard(benchmark::State& state) {
  Bench b;
  b.settings.reviewMode = 1;
  const std::vector<uint8_t> frame = Frame(616, {0, 0, 8, 0});
  for (auto _ : state) Deliver(b.table, frame);
}
BENCHMARK(BM_ReceiveOneDiscard);

void BM_ReceiveWholeHand(benchmark::State& state) {
  Bench b;
  const auto hand = ScriptedHand();
  for (auto _ : state) {
    for (const auto& frame : hand) Deliver(b.table, frame);
  }
  state.counters["frames"] = static_cast<double>(hand.size());
}
BENCHMARK(BM_ReceiveWholeHand)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
