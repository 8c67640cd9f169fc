// Fakes that drive the play table through whole sessions: a socket that records what is sent
// and asked for, a timer host whose time the test advances, a notice sink, a table display and
// a rules engine that record their calls, a scripted server that frames inbound messages, and a
// concrete table that supplies the game operations.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "byte_order.h"
#include "framework_messages.h"
#include "receive_fuzz_format.h"
#include "vyr_poke_play_table.h"
#include "wire_frame.h"

// One line of text per call, shared by all fakes so that a test sees the order across them.
using CallLog = std::vector<std::string>;

class FakeSocket : public IVyrSockTransport {
 public:
  explicit FakeSocket(CallLog& log) : m_log(log) {}
  std::vector<std::vector<uint8_t>> sent;
  std::vector<int32_t> requests;  // RecvNext counts not yet delivered (a close drops them)
  int connects = 0;
  int closes = 0;
  int failingCalls = 0;  // the next n calls (other than Close) throw

  void Close() override {
    ++closes;
    requests.clear();
    m_log.push_back("Close");
  }
  bool Connect(const std::string& host, int32_t port) override {
    MaybeFail("Connect");
    ++connects;
    m_log.push_back("Connect(" + host + "," + std::to_string(port) + ")");
    return true;
  }
  int16_t Send(const uint8_t* frame, int16_t length) override {
    MaybeFail("Send");
    sent.emplace_back(frame, frame + length);
    const uint16_t id = LoadBigEndian16(frame);
    m_log.push_back("Send(" + std::to_string(id) + "," + std::to_string(length) + ")");
    return length;
  }
  void ConnectProxy(int16_t kind, const std::string& host, int32_t port) override {
    MaybeFail("ConnectProxy");
    m_log.push_back("ConnectProxy(" + std::to_string(kind) + "," + host + "," +
                    std::to_string(port) + ")");
  }
  void ConnectProxyAuth(int16_t kind, const std::string& host, int32_t port, const std::string&,
                        const std::string&) override {
    MaybeFail("ConnectProxyAuth");
    m_log.push_back("ConnectProxyAuth(" + std::to_string(kind) + "," + host + "," +
                    std::to_string(port) + ")");
  }
  bool RecvNext(int32_t count) override {
    MaybeFail("RecvNext");
    requests.push_back(count);
    m_log.push_back("RecvNext(" + std::to_string(count) + ")");
    return true;
  }
  void SetTimeOut(int32_t ms) override { m_log.push_back("SetTimeOut(" + std::to_string(ms) + ")"); }

 private:
  void MaybeFail(const char* call) {
    if (failingCalls > 0) {
      --failingCalls;
      m_log.push_back(std::string(call) + " failed");
      throw std::runtime_error(call);
    }
  }
  CallLog& m_log;
};

// Window timers: periodic until killed; Advance fires every due timer in time order.
class FakeTimers : public ITableTimers {
 public:
  explicit FakeTimers(CallLog& log) : m_log(log) {}
  uint64_t now = 0;
  std::function<void(uint32_t)> fire;  // the table's OnGameTimer
  bool failing = false;                 // SetTimer throws

  void SetTimer(uint32_t id, uint32_t ms) override {
    if (failing) throw std::runtime_error("SetTimer");
    m_timers[id] = {ms, now + ms};
    m_log.push_back("SetTimer(" + std::to_string(id) + "," + std::to_string(ms) + ")");
  }
  void KillTimer(uint32_t id) override {
    m_timers.erase(id);
    m_log.push_back("KillTimer(" + std::to_string(id) + ")");
  }
  bool Running(uint32_t id) const { return m_timers.count(id) != 0; }
  uint64_t Due(uint32_t id) const { return m_timers.at(id).due; }

  void Advance(uint64_t ms) {
    const uint64_t end = now + ms;
    for (;;) {
      uint32_t next = 0;
      uint64_t due = UINT64_MAX;
      for (const auto& [id, t] : m_timers) {
        if (t.due < due) { due = t.due; next = id; }
      }
      if (next == 0 || due > end) break;
      now = due;
      m_timers[next].due = due + m_timers[next].period;
      m_log.push_back("Timer(" + std::to_string(next) + ")");
      if (fire) fire(next);
    }
    now = end;
  }

 private:
  struct Timer {
    uint64_t period;
    uint64_t due;
  };
  std::map<uint32_t, Timer> m_timers;
  CallLog& m_log;
};

class FakeNotices : public ITableNotices {
 public:
  explicit FakeNotices(CallLog& log) : m_log(log) {}
  std::vector<TableNotice> shown;
  // Runs while a MessageAndWait notice is up (the nested loop of a modal wait).
  std::function<void()> whileWaiting;
  bool failing = false;  // Show throws

  void Show(const TableNotice& n) override {
    if (failing) throw std::runtime_error("notice");
    shown.push_back(n);
    m_log.push_back(Describe(n));
    if (n.kind == NoticeKind::MessageAndWait && whileWaiting) whileWaiting();
  }
  void Close(NoticeKind kind) override {
    m_log.push_back(kind == NoticeKind::WaitBox ? "CloseWaitBox" : "CloseExitBox");
  }
  void HideMagicActionPicker() override { m_log.push_back("HideMagicActionPicker"); }

  static std::string Describe(const TableNotice& n) {
    switch (n.kind) {
      case NoticeKind::WaitBox:
        return "WaitBox(" + n.text + "," + std::to_string(n.milliseconds) +
               (n.onTableWindow ? ",table)" : ",screen)");
      case NoticeKind::Message:
        return "Message(" + n.text + (n.closeOnOk ? ",close)" : ",stay)");
      case NoticeKind::MessageAndWait:
        return "MessageAndWait(" + n.text + (n.closeOnOk ? ",close)" : ",stay)");
      case NoticeKind::CountDown:
        return "CountDown(" + n.text + "," + std::to_string(n.milliseconds) + ")";
      case NoticeKind::ExitBox:
        return "ExitBox(" + std::to_string(n.mode) + "," + std::to_string(n.milliseconds) + "," +
               n.text + "," + std::to_string(n.askerId) + ")";
      case NoticeKind::SystemBox:
        return "SystemBox(" + n.text + ")";
    }
    return "?";
  }

 private:
  CallLog& m_log;
};

class FakeDisplay : public ICommTableCalls {
 public:
  explicit FakeDisplay(CallLog& log) : m_log(log) {}
  bool failing = false;
  void SetPersonLocation(int16_t loc, intptr_t icon, const TablePerson* person) override {
    Log("SetPersonLocation(" + std::to_string(loc) + "," + std::to_string(icon) + "," +
        std::to_string(person->id) + ")");
  }
  void SetLeftCards(int16_t loc, int16_t count, const card* cards) override {
    Log("SetLeftCards(" + std::to_string(loc) + "," + std::to_string(count) + Cards(count, cards) + ")");
  }
  void StartDeal() override { Log("StartDeal"); }
  void AddCardsToMyHandWithSort_InDeal(int16_t count, const card* cards) override {
    Log("Display.AddCardsToMyHandWithSort_InDeal(" + std::to_string(count) + Cards(count, cards) + ")");
  }
  void Setup() override { Log("Setup"); }
  void SetMyCardBitmap(intptr_t bitmap, intptr_t back) override {
    Log("SetMyCardBitmap(" + std::to_string(bitmap) + "," + std::to_string(back) + ")");
  }
  // What the base's defaults for a card game call.
  void InitTable(int16_t seats, int16_t isPlayer, int16_t pokeType) override {
    Log("InitTable(" + Join({seats, isPlayer, pokeType}) + ")");
  }
  void SetCardBitmap(intptr_t face, intptr_t back) override {
    Log("SetCardBitmap(" + Join({face, back}) + ")");
  }
  void SetBkBitmap(intptr_t background) override { Log("SetBkBitmap(" + Join({background}) + ")"); }
  void InitPoke(int16_t count, int16_t width, int16_t height, int16_t gap, int32_t flags) override {
    Log("InitPoke(" + Join({count, width, height, gap, flags}) + ")");
  }
  void SetSubType(int16_t subtype) override { Log("SetSubType(" + Join({subtype}) + ")"); }
  void SetAdvUrl(const char* url) override { Log(std::string("SetAdvUrl(") + url + ")"); }
  void SetPokeSeparater(int16_t separate) override { Log("SetPokeSeparater(" + Join({separate}) + ")"); }
  void ResetTable() override { Log("ResetTable"); }
  void SetTrump(int16_t color, int16_t value) override { Log("SetTrump(" + Join({color, value}) + ")"); }
  void ShowControlButtons(int16_t isshow) override {
    Log("ShowControlButtons(" + Join({isshow}) + ")");
  }
  void StartOneHand() override { Log("Display.StartOneHand"); }
  void HideStartSign() override { Log("HideStartSign"); }
  void SetRecvCards(int16_t loc, int16_t num, const card* cards, int16_t isauto, int16_t issend,
                    int16_t isexchange, int16_t isshuaipai) override {
    Log("SetRecvCards(" + std::to_string(loc) + "," + std::to_string(num) + Cards(num, cards) +
        ";" + Join({isauto, issend, isexchange, isshuaipai}) + ")");
  }
  void DeleteAllFromMyHand() override { Log("DeleteAllFromMyHand"); }
  void AddCardsToMyHandWithSort(int16_t count, const card* cards) override {
    Log("AddCardsToMyHandWithSort(" + std::to_string(count) + Cards(count, cards) + ")");
  }
  void ResetSound(int16_t issound) override { Log("ResetSound(" + Join({issound}) + ")"); }
  static std::string Join(std::initializer_list<int64_t> values) {
    std::string s;
    for (int64_t v : values) s += (s.empty() ? "" : ",") + std::to_string(v);
    return s;
  }
  static std::string Cards(int16_t count, const card* cards) {
    std::string s;
    for (int i = 0; i < count; ++i) {
      s += "," + std::to_string(cards[i].m_nColor) + ":" + std::to_string(cards[i].m_nValue);
    }
    return s;
  }

 private:
  void Log(std::string line) {
    if (failing) throw std::runtime_error("display");
    m_log.push_back(std::move(line));
  }
  CallLog& m_log;
};

class FakeRules : public ICommArithmeticCalls {
 public:
  explicit FakeRules(CallLog& log) : m_log(log) {}
  bool failing = false;
  void Log(std::string line) {
    if (failing) throw std::runtime_error("rules");
    m_log.push_back(std::move(line));
  }
  void AddCardsToMyHand(int16_t count, const card* cards) override {
    if (failing) throw std::runtime_error("rules");
    m_log.push_back("Rules.AddCardsToMyHand(" + std::to_string(count) +
                    FakeDisplay::Cards(count, cards) + ")");
  }
  int16_t handNo = 0;                // what GetHandNo answers
  std::vector<card> autoCards;        // what AutoSendCards names
  void SetSubType(int16_t subtype) override { Log("Rules.SetSubType(" + std::to_string(subtype) + ")"); }
  void StartOneHand(int16_t trump, int16_t head) override {
    Log("Rules.StartOneHand(" + std::to_string(trump) + "," + std::to_string(head) + ")");
  }
  void SetHandNo(int16_t handno) override { Log("Rules.SetHandNo(" + std::to_string(handno) + ")"); }
  int16_t GetHandNo() override { return handNo; }
  void AutoSendCards(std::vector<card>& cards) override {
    Log("Rules.AutoSendCards");
    cards = autoCards;
  }

 private:
  CallLog& m_log;
};

// An auxiliary view (first: wait kind, hand number and trick; second: a step's cards).
class FakeAuxView : public IPlayTableAuxView {
 public:
  FakeAuxView(CallLog& log, std::string name) : m_log(log), m_name(std::move(name)) {}
  void SetWaitKind(int16_t kind) override { Log("SetWaitKind(" + std::to_string(kind) + ")"); }
  void SetHandNo(int16_t handno) override { Log("SetHandNo(" + std::to_string(handno) + ")"); }
  void ShowTrick(int16_t trickNo, const std::vector<std::vector<card>>& seatCards) override {
    std::string line = "ShowTrick(" + std::to_string(trickNo);
    for (const auto& cards : seatCards) {
      line += ";" + FakeDisplay::Cards(static_cast<int16_t>(cards.size()), cards.data()).substr(cards.empty() ? 0 : 1);
    }
    Log(line + ")");
  }
  void ShowStepCards(int16_t seat, const std::vector<card>& cards) override {
    Log("ShowStepCards(" + std::to_string(seat) +
        FakeDisplay::Cards(static_cast<int16_t>(cards.size()), cards.data()) + ")");
  }

 private:
  void Log(const std::string& line) { m_log.push_back(m_name + "." + line); }
  CallLog& m_log;
  std::string m_name;
};

// The record files: the save dialog answers `savePath` (empty: cancelled), files live in
// `files`, and the message boxes are logged.
class FakeRecordFiles : public IRecordFiles {
 public:
  explicit FakeRecordFiles(CallLog& log) : m_log(log) {}
  std::string savePath;
  std::map<std::string, std::vector<uint8_t>> files;
  bool failWrite = false;   // WriteFile reports failure
  bool throwDialog = false; // the dialog call fails

  std::string AskSavePath() override {
    m_log.push_back("AskSavePath");
    if (throwDialog) throw std::runtime_error("dialog");
    return savePath;
  }
  bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) override {
    m_log.push_back("WriteFile(" + path + ")");
    if (failWrite) return false;
    files[path] = bytes;
    return true;
  }
  bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes) override {
    m_log.push_back("ReadFile(" + path + ")");
    const auto it = files.find(path);
    if (it == files.end()) return false;
    bytes = it->second;
    return true;
  }
  void ShowMessage(const char* text) override { m_log.push_back(std::string("Box(") + text + ")"); }

 private:
  CallLog& m_log;
};

// A concrete table: the game operations record themselves; StartConnection connects the socket.
class TestPlayTable : public CVyrPokePlayTableImp {
 public:
  TestPlayTable(FakeSocket& socket, FakeTimers& timers, FakeNotices& notices,
                SessionSettings& settings, FrameworkSession& session, CallLog& log,
                FakeDisplay& display, FakeRules& rules)
      : CVyrPokePlayTableImp(socket, timers, notices, settings, session), m_log(log),
        m_displayFake(display), m_rulesFake(rules) {}

  int createTable = 1;
  int createRules = 1;
  int gameTakes = 0;  // the game's dispatch takes every id it is offered
  std::vector<uint16_t> takes;  // framework ids the game's dispatch takes as well
  bool controlsInUse = false;   // InitTable, InitArithmetic and game timer 301 call the controls
  static constexpr uint32_t kGameTimer = 301;

  TablePerson* AddPerson(uint32_t id, const char* nickname, const char* username, int16_t status,
                         int16_t deskno, int16_t seatno) {
    auto p = std::make_unique<TablePerson>();
    p->id = id;
    std::snprintf(p->nickname, sizeof p->nickname, "%s", nickname);
    std::snprintf(p->username, sizeof p->username, "%s", username);
    p->status = status;
    p->deskno = deskno;
    p->seatno = seatno;
    p->headpicid = static_cast<int16_t>(id % 100);
    return AppendPerson(std::move(p));
  }

  using CVyrPokePlayTableImp::ReceiveDelivery;

  int16_t GetMySeatNo() override {
    const TablePerson* me = GetMe();
    return me ? me->seatno : -1;
  }
  intptr_t GetPersonIcon(const TablePerson* person) override { return 1000 + person->headpicid; }
  void ExitGame() override { m_log.push_back("ExitGame"); }
  void StartConnection() override {
    m_log.push_back("StartConnection");
    Socket().Close();
    Socket().Connect("game.host", 7010);
  }
  int CreateTableControl() override {
    if (createTable) SetTableDisplay(&m_displayFake);
    return createTable;
  }
  int CreateArithmeticControl() override {
    if (createRules) SetRulesEngine(&m_rulesFake);
    return createRules;
  }
  // The base's own defaults for a card game instead of the recording stand-ins.
  bool baseDefaults = false;
  std::string programPath;
  void InitTable() override {
    if (baseDefaults) return CVyrPokePlayTableImp::InitTable();
    m_log.push_back("InitTable");
    if (controlsInUse) TableDisplay()->Setup();
  }
  void InitArithmetic() override {
    if (baseDefaults) return CVyrPokePlayTableImp::InitArithmetic();
    m_log.push_back("InitArithmetic");
    if (controlsInUse) RulesEngine()->AddCardsToMyHand(0, nullptr);
  }
  std::string GetProgramPath() override { return programPath; }
  std::string comInfo, reviewFile;
  std::string GetComInfo() override { return comInfo; }
  std::string GetReviewFileName() override { return reviewFile; }
  int16_t EncodeForTest(int16_t& count, uint8_t* codes, const std::vector<card>& cards) {
    return FromCardsToChars(count, codes, cards);
  }
  void InitTableForTest() { InitTable(); }
  void InitArithmeticForTest() { InitArithmetic(); }
  void AutoSendForTest() { AutoSend(); }
  int OnOwnTimer(uint32_t id) override {
    if (id != kGameTimer) return 0;
    if (controlsInUse) {
      TableDisplay()->StartDeal();
      RulesEngine()->AddCardsToMyHand(0, nullptr);
    }
    return 1;
  }
  // Test codec: colour in the high nibble, value in the low one (baseCodec: the base's own).
  bool baseCodec = false;
  void DecodeForTest(int16_t count, const uint8_t* codes, card* cards) {
    FromCharsToCards(count, codes, cards);
  }
  void FromCharsToCards(int16_t count, const uint8_t* codes, card* cards) override {
    if (baseCodec) return CVyrPokePlayTableImp::FromCharsToCards(count, codes, cards);
    for (int i = 0; i < count; ++i) cards[i] = card{codes[i] >> 4, codes[i] & 15};
  }
  void AutoSend() override {
    if (baseDefaults) return CVyrPokePlayTableImp::AutoSend();
    m_log.push_back("AutoSend");
  }
  void PlaySound(const char* name) override { m_log.push_back(std::string("PlaySound(") + name + ")"); }
  void AddChatLine(const ChatTextFormat& format, const char* text) override {
    m_log.push_back("AddChatLine(" + std::to_string(format.m_nColor) + "," + text + ")");
  }
  void PersonListAddPerson(TablePerson*) override {}
  void PersonListRemovePerson(TablePerson*) override {}
  int GetPersonIconCount() override { return 0; }
  void AddHotRegion(const HotRegionRecord& region) override {
    if (baseDefaults) CVyrPokePlayTableImp::AddHotRegion(region);
  }
  void ShowMagicAction(const CVyrMessage_MagicAction& a) override {
    m_log.push_back("ShowMagicAction(" + std::to_string(a.senderId) + ")");
  }
  bool FindAvatarItem(uint32_t) override { return true; }
  std::string LoadDefaultAvatar(const TablePerson&) override { return {}; }
  std::string GetAvatarFolder() override { return {}; }
  bool FileExists(const std::string&) override { return false; }
  void AddAvatarItem(uint32_t, const std::string&) override {}
  void PushAvatarsToTable() override {}
  MessageAnswer OnGameMessage(uint16_t id, const uint8_t*, size_t) override {
    m_log.push_back("Game(" + std::to_string(id) + ")");
    const bool listed = std::find(takes.begin(), takes.end(), id) != takes.end();
    // The game takes its own ids only.
    if (!listed && (!gameTakes || id >= 3000)) return MessageAnswer::NotMine;
    return MessageAnswer::Taken;
  }

 private:
  CallLog& m_log;
  FakeDisplay& m_displayFake;
  FakeRules& m_rulesFake;
};

// The server's side of a connection: frames inbound messages with its own sequence numbers and
// the session key it handed out. With KORVEL_RECEIVE_SEEDS naming a folder, it leaves what it
// framed there as a seed of the receive fuzzer's signing mode.
struct ScriptedServer {
  uint32_t key = 0;
  uint32_t sequence = 0;

  ScriptedServer() = default;
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;
  ~ScriptedServer() { WriteSeed(); }

  std::vector<uint8_t> Frame(uint16_t id, const std::vector<uint8_t>& body, uint32_t seq) const {
    Record(id, body, seq);
    std::vector<uint8_t> frame(kMessageHeaderSize, 0);
    StoreBigEndian16(frame.data(), id);
    StoreBigEndian32(frame.data() + 4, static_cast<uint32_t>(body.size() + kMessageTrailerSize));
    StoreBigEndian32(frame.data() + 8, seq);
    frame.insert(frame.end(), body.begin(), body.end());
    const MessageTrailer trailer =
        MakeSessionTrailer({{body.data(), body.size()}}, frame.data() + 8, key);
    const auto* t = reinterpret_cast<const uint8_t*>(&trailer);
    frame.insert(frame.end(), t, t + kMessageTrailerSize);
    return frame;
  }
  std::vector<uint8_t> Next(uint16_t id, const std::vector<uint8_t>& body) {
    return Frame(id, body, ++sequence);
  }
  template <class Record>
  std::vector<uint8_t> Next(uint16_t id, const Record& record) {
    const auto wire = ToWireBytes(record);
    return Next(id, std::vector<uint8_t>(wire.begin(), wire.end()));
  }
  // The session start: the key, the client's outbound seed and this server's sequence base.
  std::vector<uint8_t> SessionStart(uint32_t newKey, uint32_t outboundSeed, uint32_t inboundBase) {
    CVyrMessage_SessionStart start;
    start.sessionKey = newKey;
    start.outboundSeed = outboundSeed;
    start.inboundBase = inboundBase;
    const auto frame = Next(kSessionStart, start);
    key = newKey;
    sequence = inboundBase;
    return frame;
  }

 private:
  // The messages framed so far, in the fuzzer's form (the sequence as a flag).
  void Record(uint16_t id, const std::vector<uint8_t>& body, uint32_t seq) const {
    if (m_seed.empty()) m_seed = {1, 0, 0, 0, 0};
    uint8_t flags = 0;
    if (seq == m_lastSeq + 2) flags = kFlagSkipSequence;
    if (seq == m_lastSeq && seq != 0) flags = kFlagRepeatSequence;
    AppendFuzzMessage(m_seed, id, flags, body.data(), body.size());
    if (id == kSessionStart && body.size() >= sizeof(CVyrMessage_SessionStart)) {
      CVyrMessage_SessionStart start;
      if (ReadRecord(body.data(), body.size(), start)) {
        m_lastSeq = start.inboundBase;
        return;
      }
    }
    m_lastSeq = seq;
  }
  void WriteSeed() const {
    const char* folder = std::getenv("KORVEL_RECEIVE_SEEDS");
    if (folder == nullptr || m_seed.empty()) return;
    static int written = 0;
    std::filesystem::create_directories(folder);
    const std::string path = std::string(folder) + "/script-" + std::to_string(written++) + "-" +
                             std::to_string(m_seed.size());
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
      std::fwrite(m_seed.data(), 1, m_seed.size(), f);
      std::fclose(f);
    }
  }
  mutable std::vector<uint8_t> m_seed;
  mutable uint32_t m_lastSeq = 0;
};
