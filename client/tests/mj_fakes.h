// Fakes for the mahjong play table: a table display, a rules engine, a board, the chooser dialog
// and the table window, each writing one line per call into the session's shared call log, and
// a concrete play table on them. The socket, timers, notices and the scripted server are the
// base play table's fakes.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <algorithm>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "mj_fuzz_script.h"
#include "mj_play_table.h"
#include "play_table_fakes.h"

inline std::string Arg(int v) { return std::to_string(v); }
inline std::string Arg(const std::string& s) { return s; }

template <class... Args>
std::string Call(const char* name, Args... args) {
  std::string line = name;
  line += "(";
  bool first = true;
  ((line += (first ? "" : ","), line += Arg(args), first = false), ...);
  return line + ")";
}

// Tiles as "colour:value" joined by spaces.
inline std::string Tiles(int16_t count, const card* cards) {
  std::string s;
  for (int i = 0; cards != nullptr && i < count; ++i) {
    if (i) s += " ";
    s += std::to_string(cards[i].m_nColor) + ":" + std::to_string(cards[i].m_nValue);
  }
  return "[" + s + "]";
}
inline std::string Tiles(const std::vector<card>& cards) {
  return Tiles(static_cast<int16_t>(cards.size()), cards.data());
}

class FakeMjTable : public IMjTableCalls {
 public:
  explicit FakeMjTable(CallLog& log) : m_log(log) {}
  int failAfter = -1;  // the call after this many calls throws (-1: never)
  std::vector<MjScoreRow> scoreRows;
  std::vector<int16_t> fans;
  // What the table shows of the melds and ready marks, per location: "chow/pung", "kong" (added,
  // on a discard or laid open after a win), "hidden" (a concealed kong) or "hand" (a hand laid
  // open), each with its tiles in order. StartOneHand empties it; DeleteAllHideGang takes the
  // concealed kongs away.
  std::multiset<std::string> shown[2];
  int ting[2] = {0, 0};

  void SetPersonLocation(int16_t loc, intptr_t, const TablePerson* p) override {
    L(Call("T.SetPersonLocation", loc, static_cast<int>(p->id)));
  }
  void SetLeftCards(int16_t loc, int16_t count, const card* cards) override {
    L(Call("T.SetLeftCards", loc, Tiles(count, cards)));
  }
  void StartDeal() override { L("T.StartDeal()"); }
  void AddCardsToMyHandWithSort_InDeal(int16_t count, const card* cards) override {
    L(Call("T.AddCardsToMyHandWithSort_InDeal", Tiles(count, cards)));
  }
  void Setup() override { L("T.Setup()"); }
  void SetMyCardBitmap(intptr_t, intptr_t) override { L("T.SetMyCardBitmap()"); }
  void Update(int16_t locate) override { L(Call("T.Update", locate)); }
  void StartChoice(int16_t loc) override { L(Call("T.StartChoice", loc)); }
  void ShowButtons() override { L("T.ShowButtons()"); }
  void HideButtons() override { L("T.HideButtons()"); }
  void StartGame(int16_t loc) override { L(Call("T.StartGame", loc)); }
  void HideStartButton() override { L("T.HideStartButton()"); }
  void SetRecvCards(int16_t loc, int16_t num, const card* cards, int16_t a, int16_t b, int16_t c,
                    int16_t d) override {
    L(Call("T.SetRecvCards", loc, Tiles(num, cards), a, b, c, d));
  }
  void DeleteAllFromMyHand() override { L("T.DeleteAllFromMyHand()"); }
  void DeleteAllFromSend(int16_t loc) override { L(Call("T.DeleteAllFromSend", loc)); }
  void StartOneHand() override {
    L("T.StartOneHand()");
    shown[0].clear();
    shown[1].clear();
    ting[0] = ting[1] = 0;
  }
  void ResetTable() override { L("T.ResetTable()"); }
  void SetReviewStyle(int16_t on) override { L(Call("T.SetReviewStyle", on)); }
  void ShowControlButtons(int16_t on) override { L(Call("T.ShowControlButtons", on)); }
  void SetBanker(int16_t loc, int16_t wind) override { L(Call("T.SetBanker", loc, wind)); }
  void InitWall(int16_t num) override { L(Call("T.InitWall", num)); }
  void InitWall_InTimer(int16_t num) override { L(Call("T.InitWall_InTimer", num)); }
  void SetFirstPosition_InWall(int16_t loc, int16_t pos) override {
    L(Call("T.SetFirstPosition_InWall", loc, pos));
  }
  void DeleteCardsFromWall(int16_t num, int16_t isbu) override {
    L(Call("T.DeleteCardsFromWall", num, isbu));
  }
  void StartDice(int16_t loc) override { L(Call("T.StartDice", loc)); }
  void SetDice(int16_t loc, int16_t a, int16_t b) override { L(Call("T.SetDice", loc, a, b)); }
  void SetDealNum(int16_t loc, int16_t num) override { L(Call("T.SetDealNum", loc, num)); }
  void SetDealNum_InTimer(int16_t loc, int16_t num) override {
    L(Call("T.SetDealNum_InTimer", loc, num));
  }
  void AddCardsToMyHandWithSort_InTimer(int16_t count, const card* cards) override {
    L(Call("T.AddCardsToMyHandWithSort_InTimer", Tiles(count, cards)));
  }
  void AddCardToCurrent(int16_t loc, int16_t c, int16_t v) override {
    L(Call("T.AddCardToCurrent", loc, c, v));
  }
  void AddCardToCurrentWithoutShow(int16_t loc, int16_t c, int16_t v) override {
    L(Call("T.AddCardToCurrentWithoutShow", loc, c, v));
  }
  void ExposeCard(int16_t loc, int16_t type, int16_t count, const card* cards) override {
    L(Call("T.ExposeCard", loc, type, Tiles(count, cards)));
    Show(loc, type, count, cards);
  }
  void ExposeCard_InRecover(int16_t loc, int16_t type, int16_t count, const card* cards) override {
    L(Call("T.ExposeCard_InRecover", loc, type, Tiles(count, cards)));
    Show(loc, type, count, cards);
  }
  void SetRecvCards_InRecover(int16_t loc, int16_t num, const card* cards) override {
    L(Call("T.SetRecvCards_InRecover", loc, Tiles(num, cards)));
  }
  void DeleteAllHideGang() override {
    L("T.DeleteAllHideGang()");
    for (auto& m : shown) {
      for (auto it = m.begin(); it != m.end();) it = it->rfind("hidden", 0) == 0 ? m.erase(it) : std::next(it);
    }
  }
  void FocusCards(int16_t type, int16_t on) override { L(Call("T.FocusCards", type, on)); }
  void KillScrabble() override { L("T.KillScrabble()"); }
  void HuPai(int16_t huloc, int16_t gunloc) override { L(Call("T.HuPai", huloc, gunloc)); }
  void SetTingStatus(int16_t loc, int16_t on) override {
    L(Call("T.SetTingStatus", loc, on));
    if (loc == 0 || loc == 1) ting[loc] = on;
  }
  void LightSend(int16_t on) override { L(Call("T.LightSend", on)); }
  void LightTing(int16_t on) override { L(Call("T.LightTing", on)); }
  void LightChi(int16_t on) override { L(Call("T.LightChi", on)); }
  void LightPeng(int16_t on) override { L(Call("T.LightPeng", on)); }
  void LightGang(int16_t on) override { L(Call("T.LightGang", on)); }
  void LightHu(int16_t on) override { L(Call("T.LightHu", on)); }
  void LightGuo(int16_t on) override { L(Call("T.LightGuo", on)); }
  void SetScoreInfo(int16_t num, int16_t index, const MjScoreRow* row) override {
    scoreRows.push_back(*row);
    L(Call("T.SetScoreInfo", num, index, std::string(row->name)));
  }
  void SetMyFans(const int16_t* list) override {
    fans.assign(list, list + kFanListSize);
    L("T.SetMyFans()");
  }
  void ShowScoreInfo(int16_t on) override { L(Call("T.ShowScoreInfo", on)); }
  void SetAvactItem(int16_t loc, intptr_t item) override {
    L(Call("T.SetAvactItem", loc, static_cast<int>(item)));
  }
  void PlayFlash(int16_t from, int16_t to, intptr_t item, const char* text) override {
    L(Call("T.PlayFlash", from, to, static_cast<int>(item), text ? std::string(text) : "null"));
  }

 private:
  void Show(int16_t loc, int16_t type, int16_t count, const card* cards) {
    if (loc != 0 && loc != 1) return;
    std::vector<card> tiles(cards, cards + (cards ? count : 0));
    std::sort(tiles.begin(), tiles.end(), [](const card& a, const card& b) {
      return a.m_nColor != b.m_nColor ? a.m_nColor < b.m_nColor : a.m_nValue < b.m_nValue;
    });
    const char* kind = type == 1 ? "chow/pung" : type == 3 ? "hidden" : type == 6 ? "hand" : "kong";
    shown[loc].insert(kind + Tiles(tiles));
  }
  void L(std::string line) {
    if (failAfter == 0) throw std::runtime_error("table display failed");
    if (failAfter > 0) --failAfter;
    m_log.push_back(std::move(line));
  }
  CallLog& m_log;
};

// A rules engine whose answers the test sets.
class FakeMjArithmetic : public IMjArithmeticCalls {
 public:
  explicit FakeMjArithmetic(CallLog& log) : m_log(log) {}
  int16_t banker = 0;
  int16_t diceNum = 0;
  int16_t listen = 0;
  int16_t isHu = 0;
  int16_t huType = 0;
  int16_t ting = 0;
  card currentSended{0, 0};
  card currentMo{0, 0};
  std::vector<std::vector<card>> eat;  // chow choices
  std::vector<card> peng;
  struct Kong {
    std::vector<card> tiles;
    int16_t kind;
  };
  std::vector<Kong> kongs;
  std::vector<card> autoSend;
  int16_t calc[4] = {0, 0, 0, 0};  // banker flag, score, base, fan
  std::vector<int16_t> fans;

  void AddCardsToMyHand(int16_t count, const card* cards) override {
    L(Call("A.AddCardsToMyHand", Tiles(count, cards)));
  }
  void SetSubType(int16_t v) override { L(Call("A.SetSubType", v)); }
  void StartOneHand(int16_t trump, int16_t head) override { L(Call("A.StartOneHand", trump, head)); }
  void SetHandNo(int16_t v) override { L(Call("A.SetHandNo", v)); }
  void SetRecvCards(int16_t loc, int16_t a, int16_t b, int16_t num, const card* cards) override {
    L(Call("A.SetRecvCards", loc, a, b, Tiles(num, cards)));
  }
  void SetRecvCardsInRecover(int16_t loc, int16_t a, int16_t b, int16_t num,
                             const card* cards) override {
    L(Call("A.SetRecvCardsInRecover", loc, a, b, Tiles(num, cards)));
  }
  void AutoSendCards(std::vector<card>& cards) override {
    L("A.AutoSendCards()");
    cards = autoSend;
  }
  void SetBanker(int16_t loc, int16_t wind) override {
    banker = loc;
    L(Call("A.SetBanker", loc, wind));
  }
  void GetBanker(int16_t* loc) override { *loc = banker; }
  void SetLowFan(int16_t v) override { L(Call("A.SetLowFan", v)); }
  void SetLastBz() override { L("A.SetLastBz()"); }
  void SetDice(int16_t loc) override {
    ++diceNum;
    L(Call("A.SetDice", loc));
  }
  void GetDiceNum(int16_t* n) override { *n = diceNum; }
  void SetCardAfterGang(int16_t c, int16_t v) override { L(Call("A.SetCardAfterGang", c, v)); }
  void ExposeCard(int16_t loc, int16_t type, int16_t num, const card* cards) override {
    L(Call("A.ExposeCard", loc, type, Tiles(num, cards)));
  }
  void ExposeCard_InRecover(int16_t loc, int16_t type, int16_t count, const card* cards) override {
    L(Call("A.ExposeCard_InRecover", loc, type, Tiles(count, cards)));
  }
  void GetCurrentSended(int16_t* c, int16_t* v) override {
    *c = static_cast<int16_t>(currentSended.m_nColor);
    *v = static_cast<int16_t>(currentSended.m_nValue);
  }
  void GetCurrentMo(int16_t* c, int16_t* v) override {
    *c = static_cast<int16_t>(currentMo.m_nColor);
    *v = static_cast<int16_t>(currentMo.m_nValue);
  }
  void GetEatNum(int16_t* n) override { *n = static_cast<int16_t>(eat.size()); }
  void GetEatCards(int16_t index, std::vector<card>& cards) override {
    cards.clear();
    if (index >= 0 && static_cast<size_t>(index) < eat.size()) cards = eat[static_cast<size_t>(index)];
  }
  void GetPengCards(std::vector<card>& cards) override { cards = peng; }
  void GetGangNum(int16_t* n) override { *n = static_cast<int16_t>(kongs.size()); }
  void GetGangCards(int16_t index, std::vector<card>& cards, int16_t* type) override {
    cards.clear();
    *type = -1;
    if (index >= 0 && static_cast<size_t>(index) < kongs.size()) {
      cards = kongs[static_cast<size_t>(index)].tiles;
      *type = kongs[static_cast<size_t>(index)].kind;
    }
  }
  void IsDeclareListen(int16_t* v) override { *v = listen; }
  void SetTingStatus(int16_t v) override {
    ting = v;
    L(Call("A.SetTingStatus", v));
  }
  void GetTingStatus(int16_t* v) override { *v = ting; }
  void IsHuPai(int16_t* v) override { *v = isHu; }
  void GetHuType(int16_t* v) override { *v = huType; }
  void SetHuInfo(int16_t type, int16_t gun, int16_t c, int16_t v) override {
    L(Call("A.SetHuInfo", type, gun, c, v));
  }
  void Calculate(int16_t* b, int16_t* s, int16_t* base, int16_t* fan) override {
    *b = calc[0];
    *s = calc[1];
    *base = calc[2];
    *fan = calc[3];
    L("A.Calculate()");
  }
  void GetFans(std::vector<int16_t>& types) override { types = fans; }

 private:
  void L(std::string line) { m_log.push_back(std::move(line)); }
  CallLog& m_log;
};

class FakeBoard : public IMjBoardCalls {
 public:
  explicit FakeBoard(CallLog& log) : m_log(log) {}
  void SetBkColor(int32_t color) override { m_log.push_back(Call("B.SetBkColor", color)); }
  void ClearAll() override { m_log.push_back("B.ClearAll()"); }
  void InsertRow(int16_t id, int16_t count, const card* cards) override {
    m_log.push_back(Call("B.InsertRow", id, Tiles(count, cards)));
  }
  void AddCards(int16_t id, int16_t count, const card* cards) override {
    m_log.push_back(Call("B.AddCards", id, Tiles(count, cards)));
  }
  void Update() override { m_log.push_back("B.Update()"); }

 private:
  CallLog& m_log;
};

class FakeChooserWindow : public IMjChooserWindow {
 public:
  explicit FakeChooserWindow(CallLog& log) : m_log(log) {}
  void ShowAtTableCorner() override { m_log.push_back("Dlg.Show()"); }
  void Hide() override { m_log.push_back("Dlg.Hide()"); }

 private:
  CallLog& m_log;
};

class FakeMjWindow : public IMjTableWindow {
 public:
  explicit FakeMjWindow(CallLog& log) : m_log(log) {}
  void PlaySoundSync(const char* name) override { m_log.push_back(Call("W.Sync", std::string(name))); }
  void PlaySoundAsync(const char* name) override { m_log.push_back(Call("W.Async", std::string(name))); }
  void PlayStyleSound(const char* name) override { m_log.push_back(Call("W.Style", std::string(name))); }
  void RedrawPersonList() override { m_log.push_back("W.RedrawPersonList()"); }

 private:
  CallLog& m_log;
};

// The chat pane's host of the play table: the table's persons and seat codes; lines shown are
// logged.
class MjTestChat : public ChatHostCore {
 public:
  MjTestChat(CVyrPokePlayTableImp& table, CallLog& log) : m_table(table), m_log(log) {}

 protected:
  TablePerson* GetMe() override { return m_table.GetMe(); }
  TablePerson* FindPersonAt(int16_t deskno, int16_t seatno, int16_t state) override {
    return m_table.FindPersonAt(deskno, seatno, state);
  }
  std::vector<uint32_t> GetBlockedIds() override { return {}; }
  int CanShowLines() override { return 1; }
  int16_t GetSeatCode(int16_t deskno, int16_t seatno) override {
    return m_table.GetSeatCode(deskno, seatno);
  }
  void AddText(const ChatTextFormat&, int32_t mine, const char* text) override {
    m_log.push_back(Call("Chat.AddText", mine, std::string(text)));
  }

 private:
  CVyrPokePlayTableImp& m_table;
  CallLog& m_log;
};

// The play table with the shell's operations filled in by the test.
class MjTestTable : public CMjPlayTableImp {
 public:
  MjTestTable(FakeSocket& socket, FakeTimers& timers, FakeNotices& notices,
              SessionSettings& settings, FakeMjWindow& window, FrameworkSession& session,
              CallLog& log, IMjTableCalls& table, IMjArithmeticCalls& arithmetic)
      : CMjPlayTableImp(socket, timers, notices, settings, window, session), m_log(log),
        m_table(table), m_arithmetic(arithmetic), m_chat(*this, log) {}

  // The chat pane (false: the table has none).
  bool chatPane = true;
  ChatHostCore* InDeskChat() override {
    if (!chatPane) return nullptr;
    m_chat.SetConnection(&Socket(), &Session());
    return &m_chat;
  }

  TablePerson* AddPerson(uint32_t id, const char* nickname, const char* username, int16_t status,
                         int16_t deskno, int16_t seatno) {
    auto p = std::make_unique<TablePerson>();
    p->id = id;
    std::snprintf(p->nickname, sizeof p->nickname, "%s", nickname);
    std::snprintf(p->username, sizeof p->username, "%s", username);
    p->status = status;
    p->deskno = deskno;
    p->seatno = seatno;
    return AppendPerson(std::move(p));
  }

  using CMjPlayTableImp::OnGameMessage;

  // The session strings the lobby would have set.
  std::string comInfo;
  std::string reviewFile;
  std::string GetComInfo() override { return comInfo; }
  std::string GetReviewFileName() override { return reviewFile; }

  intptr_t GetPersonIcon(const TablePerson*) override { return 0; }
  void StartConnection() override {
    m_log.push_back("StartConnection");
    Socket().Connect("game.host", 7010);
  }
  int CreateTableControl() override {
    SetTableControl(&m_table);
    return 1;
  }
  int CreateArithmeticControl() override {
    SetArithmeticControl(&m_arithmetic);
    return 1;
  }
  void InitTable() override { m_log.push_back("InitTable"); }
  void ExitGame() override { m_log.push_back("ExitGame"); }
  void AddChatLine(const ChatTextFormat&, const char* text) override {
    m_log.push_back(std::string("AddChatLine(") + text + ")");
  }
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

 private:
  CallLog& m_log;
  IMjTableCalls& m_table;
  IMjArithmeticCalls& m_arithmetic;
  MjTestChat m_chat;
};

// One table for the tests: the local player "me" (id 1) at desk 3, "bob" (id 2) at the other
// seat; Join connects and takes the session start (key 77, outbound seed 500, inbound base 100).
// The display is the recording fake unless a test puts the real table model behind it.
template <class Arithmetic, class Display = FakeMjTable>
struct MjSessionT {
  CallLog log;
  FakeSocket socket{log};
  FakeTimers timers{log};
  FakeNotices notices{log};
  SessionSettings settings;
  FrameworkSession session;
  FakeMjWindow window{log};
  Display display{log};
  Arithmetic engine;
  FakeBoard board{log};
  FakeChooserWindow chooser{log};
  MjTestTable table;
  ScriptedServer server;
  std::vector<int32_t> pending;

  template <class... EngineArgs>
  explicit MjSessionT(int16_t mySeat, EngineArgs&&... engineArgs)
      : engine(log, std::forward<EngineArgs>(engineArgs)...),
        table(socket, timers, notices, settings, window, session, log, display, engine),
        m_mySeat(mySeat) {
    timers.fire = [this](uint32_t id) { table.OnGameTimer(id); };
    table.SetMyId(1);
    table.AddPerson(1, "me", "myname", 4, 3, mySeat);
    table.AddPerson(2, "bob", "bobby", 4, 3, static_cast<int16_t>(1 - mySeat));
    table.Create();
    table.InfoDlg().SetBoard(&board, &chooser);
    Join();
  }

  size_t Mark() const { return log.size(); }
  CallLog Since(size_t mark) const { return CallLog(log.begin() + static_cast<long>(mark), log.end()); }

  std::vector<int32_t> RequestsSince(size_t mark) const {
    std::vector<int32_t> requests;
    for (size_t i = mark; i < log.size(); ++i) {
      if (log[i].rfind("RecvNext(", 0) == 0) requests.push_back(std::stoi(log[i].substr(9)));
      if (log[i] == "Close") requests.clear();
    }
    return requests;
  }
  // Delivers a frame in the pieces the table asks for; false when it did not ask for exactly one
  // thing at each step.
  bool Deliver(const std::vector<uint8_t>& frame) {
    size_t at = 0;
    while (at < frame.size()) {
      if (pending.size() != 1) return false;
      const auto n = static_cast<size_t>(pending.front());
      if (at + n > frame.size()) return false;
      const size_t mark = Mark();
      std::vector<uint8_t> piece(frame.begin() + static_cast<long>(at),
                                 frame.begin() + static_cast<long>(at + n));
      table.OnSocketData(piece.data(), piece.size());
      pending = RequestsSince(mark);
      at += n;
    }
    return true;
  }
  bool Send(uint16_t id, const std::vector<uint8_t>& body) {
    AppendMjFuzzStep(m_script, id, body.data(), body.size());
    return Deliver(server.Next(id, body));
  }
  template <class Record>
  bool Send(uint16_t id, const Record& record) {
    const auto wire = ToWireBytes(record);
    return Send(id, std::vector<uint8_t>(wire.begin(), wire.end()));
  }
  void Join() {
    const size_t mark = Mark();
    table.OnSocketConnect(1);
    pending = RequestsSince(mark);
    Deliver(server.SessionStart(77, 500, 100));
  }
  // The bodies sent since mark, with their ids.
  std::vector<std::pair<uint16_t, std::vector<uint8_t>>> SentSince(size_t sentMark) const {
    std::vector<std::pair<uint16_t, std::vector<uint8_t>>> out;
    for (size_t i = sentMark; i < socket.sent.size(); ++i) {
      const auto& f = socket.sent[i];
      out.emplace_back(LoadBigEndian16(f.data()),
                       std::vector<uint8_t>(f.begin() + kMessageHeaderSize,
                                            f.end() - kMessageTrailerSize));
    }
    return out;
  }

  MjSessionT(const MjSessionT&) = delete;
  MjSessionT& operator=(const MjSessionT&) = delete;
  // With KORVEL_MJ_RECEIVE_SEEDS naming a folder, a session that was sent a snapshot (651 to
  // 655), a score list (642) or a win (627) leaves its messages there as a seed of the mahjong
  // receive fuzzer.
  ~MjSessionT() {
    const char* folder = std::getenv("KORVEL_MJ_RECEIVE_SEEDS");
    if (folder == nullptr || !m_seeded) return;
    uint8_t flags = static_cast<uint8_t>(m_mySeat & 1);
    if (settings.PlayerFlag == 0) flags |= kMjFuzzWatching;
    if constexpr (requires(const Arithmetic& a) { a.Glue(); }) flags |= kMjFuzzRealEngine;
    static int written = 0;
    std::filesystem::create_directories(folder);
    const std::string path = std::string(folder) + "/hand-" + std::to_string(written++) + "-" +
                             std::to_string(m_script.size() + 1);
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
      std::fputc(flags, f);
      std::fwrite(m_script.data(), 1, m_script.size(), f);
      std::fclose(f);
    }
  }

 private:
  bool AppendMjFuzzStep(std::vector<uint8_t>& script, uint16_t id, const uint8_t* body, size_t size) {
    if (id == 627 || id == 642 || (id >= 651 && id <= 655)) m_seeded = true;
    return ::AppendMjFuzzStep(script, id, body, size);
  }
  int16_t m_mySeat;
  std::vector<uint8_t> m_script;
  bool m_seeded = false;
};

// Only the calls on the controls, the sounds and the notices: what a hand shows.
inline CallLog Shown(const CallLog& log) {
  CallLog out;
  for (const auto& line : log) {
    if (line.rfind("T.", 0) == 0 || line.rfind("A.", 0) == 0 || line.rfind("W.", 0) == 0 ||
        line.rfind("B.", 0) == 0 || line.rfind("Dlg.", 0) == 0 || line.rfind("CountDown", 0) == 0 ||
        line.rfind("SystemBox", 0) == 0 || line.rfind("Message", 0) == 0) {
      out.push_back(line);
    }
  }
  return out;
}
