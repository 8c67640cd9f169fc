// CMjPlayTableImp: the mahjong play table. On top of the base play table (the session with the
// game server, the framework messages, the exits) it takes the mahjong messages 601-655 off the
// receive path and turns them into calls on the table display and the rules engine, sends the
// player's moves, rebuilds a hand after a reconnect and keeps the record of the hand.
//
// Seats and locations: the wire carries seat numbers, the controls take screen locations (0 the
// local player's place); every handler converts at the boundary. A message whose seat is not on
// the table, or whose body is shorter than its record, is dropped and the receiving goes on.
//
// Defined by topic: mj_play_table.cpp (controls, codec, set-up, timers, magic actions),
// mj_play_inbound.cpp (the dispatch as a table of rows, the inbound play), mj_play_recovery.cpp,
// mj_play_actions.cpp and mj_play_review.cpp (the hand record).
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "chat_host.h"
#include "list_head.h"
#include "mj_hand_record.h"
#include "mj_info_dlg.h"
#include "mj_messages.h"
#include "mj_play_table_seams.h"
#include "records/chat_text_format.h"
#include "vyr_poke_play_table.h"

// Game timers of the table window.
enum MjTableTimer : uint32_t {
  kTimerGame2 = 2,
  kTimerGame5 = 5,
  kTimerCloseFrame = 207,
  kTimerReplayStep = 210,
  kTimerAutoDiscard = 213,
};
constexpr uint32_t kAutoDiscardDelay = 1500;
constexpr uint32_t kReplayStepPeriod = 1000;
constexpr uint32_t kGameOverNoticeTime = 2000;
constexpr uint32_t kWallEmptyNoticeTime = 2000;
constexpr uint32_t kChatForbiddenNoticeTime = 4000;

// The rules engine's light events, in the order of their event ids (1 to 7): each lights (1) or
// puts out (0) one action button of the table display.
enum class MjLight : int16_t { Send, Ting, Chi, Peng, Gang, Hu, Guo };

struct MjInboundRow;

class CMjPlayTableImp : public CVyrPokePlayTableImp, public IMjChoiceTarget {
 public:
  CMjPlayTableImp(IVyrSockTransport& socket, ITableTimers& timers, ITableNotices& notices,
                  SessionSettings& settings, IMjTableWindow& window,
                  FrameworkSession& session = GetFrameworkSession());

  // --- The controls, handed over by CreateTableControl / CreateArithmeticControl and by the
  // option dialog once its board exists. ---
  void SetTableControl(IMjTableCalls* table);
  void SetArithmeticControl(IMjArithmeticCalls* arithmetic);
  CMjInfoDlg& InfoDlg() { return m_InfoDlg; }

  // --- Tile codec ---
  // Appends count tiles to out (count < 1: nothing); code 36 is reported and still appends one.
  int16_t FromCharsToCards(int16_t count, const uint8_t* codes, std::vector<card>& out);
  // Sets count to the number of tiles and writes one code each (no terminator).
  int16_t FromCardsToChars(int16_t& count, uint8_t* codes, const std::vector<card>& tiles) override;

  // --- Set-up ---
  void InitArithmetic() override;
  int16_t GetMySeatNo() override;
  void PlaySound(const char* name) override;

  // --- Inbound play ---
  void OnHandStart(int16_t handNo, int16_t more) override;
  void StartOneHand(int16_t loc) override;
  void StartGame(int16_t seat);
  void StartOneTrick();
  void OnDealMyCards(int16_t count, const uint8_t* codes);
  void AddMyTilesInDeal(int16_t count, const uint8_t* codes);
  void ShowDealCount(int16_t seat, int16_t count, int16_t bankerSeat);
  void ShowDealCountNow(int16_t seat, int16_t count, int16_t bankerSeat);
  void ShowDraw(int16_t seat, int16_t count, const uint8_t* codes, int16_t exposeCount,
                const uint8_t* exposeCodes, int afterKong);
  void ShowDrawHidden(int16_t seat, int16_t count, const uint8_t* codes, int16_t exposeCount,
                      const uint8_t* exposeCodes, int afterKong);
  void OnRecvCards(int16_t seat, int16_t maxloc, int16_t nextloc, int16_t count,
                   const uint8_t* codes);
  void ShowMeld(int16_t seat, int16_t kind, int16_t count, const uint8_t* codes);
  void ShowConcealedKong(int16_t seat, int16_t count, const uint8_t* codes);
  void ShowDice(int16_t seat, int16_t targetSeat, int16_t die1, int16_t die2);
  void OnTing(int16_t seat);
  void OnWallEmpty();
  void CheckLastTile();
  void ExposeHand(int16_t seat, int16_t count, const uint8_t* codes);
  void OnHu(const CMjMessage_HuResult& result);
  void ShowScoreInfo(const CMjMessage_ScoreInfo& scores);
  void UpdateReadyState(const CMjMessage_Resume1& record);

  // --- Recovery after a reconnect ---
  void OnRecover1(const CMjMessage_Resume1& snapshot);
  void OnRecover2(const CMjMessage_Resume2& snapshot);
  void OnRecover3(const CMjMessage_Resume3& snapshot);
  void OnRecover4(const CMjMessage_Resume4& snapshot);
  void OnRecover5(const CMjMessage_Resume5& snapshot);

  // --- Player actions (each does nothing for a watcher). Entry points of the table window's
  // sinks: what a failing control call throws ends the action there. ---
  void OnRequestSend(int16_t count, const card* tiles);
  void SendCards(int16_t count, const card* tiles);
  void OnGuo();
  void OnChi();
  void ChiWithChoice(int16_t index) override;
  void OnPeng();
  void OnGang();
  void GangWithChoice(int16_t index) override;
  void OnHuDeclare();
  void OnTingDeclare();
  void ThrowDice();
  void RequestDeal();
  void AutoSend() override;
  // The local player's in-table chat line (3021, with the speaker prefix), sent through the chat
  // pane's host; refused while the player is banned from chat.
  void SendChat(const ChatTextFormat& format, int32_t whisper, const char* text);
  // A line the player typed into the chat pane: 3021 once the hand started (the keep-alive
  // restarted first), 3009 before; refused while the player is banned from chat.
  void SendTypedChat(const ChatTextFormat& format, int32_t whisper, const char* text);
  // The rules engine's light event: the display's button follows it (not in review mode). A
  // failing display call reaches the caller.
  void OnRulesLight(MjLight light, int16_t on);
  // The chat pane's host, connected to this table's socket and session; null while there is no
  // chat pane (nothing is sent then).
  virtual ChatHostCore* InDeskChat() { return nullptr; }

  // The dice: a source of random numbers (rand-like, 0 and up). The default is seeded once.
  void SetDiceSource(std::function<uint32_t()> source) { m_dice = std::move(source); }

  // --- Magic actions and avatars on the table display ---
  void SetAvactItem(int16_t seat, intptr_t item);
  // A magic action received from the server: from the sender to the receiver (a receiver id below
  // 1: the whole table); location 5 stands for a person who does not sit at the table.
  void PlayMagicAction(int32_t senderId, int32_t receiverId, int32_t spare, intptr_t item,
                       const char* text);
  // The local player's own magic action (userId -1: the whole table).
  void PlayFlashFor(int32_t userId, intptr_t item, const char* text);

  // --- The hand record: saving it, loading it for review and replaying it (the files through the
  // base's SetRecordFiles; none set: nothing is saved or loaded) ---
  // Outside review mode: asks for a file and writes the list head and the hand record to it.
  // "保存成功" only after the whole file was written; a failed write says so, an empty record is
  // not saved.
  void SaveHandRecord() override;
  // Review mode: reads the review file and sets the table up where the record starts. A file that
  // cannot be read or is not a hand record is reported and changes nothing.
  void LoadHandRecord() override;
  // The next recorded step, run through the same handlers as the message it was when it arrived.
  void ReplayNextStep() override;
  // In review mode: the replay timer, one step a second until the last step.
  void StartAutoReview();
  // The person list's column titles, which a saved record begins with.
  ListHead& TableListHead() { return m_ListHead; }

  // --- State ---
  const CMjHandRecord& HandRecord() const { return m_HandRecord; }
  int16_t GangCount(int seat) const { return seat >= 0 && seat < kMjSeats ? m_nGangCount[seat] : 0; }
  int IgnoresMjData() const { return IgnoresGameData(); }
  int16_t ReplayPos() const { return m_nReplayPos; }

 protected:
  MessageAnswer OnGameMessage(uint16_t id, const uint8_t* body, size_t bodyLength) override;
  int OnOwnTimer(uint32_t id) override;
  // The base's codec slot: count codes to count tiles.
  void FromCharsToCards(int16_t count, const uint8_t* codes, card* cards) override;

 private:
  IMjTableCalls& Table();
  IMjArithmeticCalls& Arithmetic();
  // The seats the per-seat arrays of the bodies cover: min(seats per table, 2).
  int16_t SeatCount();
  bool IsSeat(int seat);
  bool IsMe(int16_t seat) { return seat == GetMySeatNo(); }
  // Play messages go into the hand record: not in review mode, not while a record is played.
  bool Recording() { return !Settings().reviewMode && !m_playingRecord; }
  // The inbound effect of a mahjong body that passed the size and ignore checks: its row of the
  // dispatch runs; NotMine when the message is dropped.
  MessageAnswer RunMjMessage(uint16_t id, const uint8_t* body, size_t bodyLength);
  // The rows of the dispatch, one per inbound id: its record, the check of the seats it names,
  // the handler and the step the hand record keeps (mj_play_inbound.cpp).
  static const std::vector<MjInboundRow>& InboundRows();
  // A recorded record run as the message it was.
  template <class Record>
  void PlayRecorded(uint16_t id, const Record& record);
  void SetUpRecordedHand();
  void SeatRecordedPersons();
  int16_t Loc(int16_t seat) { return GetLocFromSeatNo(seat); }
  std::vector<card> Decode(int16_t count, const uint8_t* codes);
  void PlaySoundSync(const char* name);
  void PlaySoundAsync(const char* name);
  void RemoveFromWall(int16_t frontCount, int16_t backCount);
  void ShowDrawWith(bool show, int16_t seat, int16_t count, const uint8_t* codes,
                    int16_t exposeCount, const uint8_t* exposeCodes, int afterKong);
  void ReportTileCode(const char* format, int code);
  // ShowDealCount (now false: the display's timed deal) and ShowDealCountNow (now true).
  void ShowDealCountWith(bool now, int16_t seat, int16_t count, int16_t bankerSeat);
  // The chat ban: true, with the fail sound and a notice, when the local player may not chat.
  bool RefusesChat();

  // Handlers of the dispatch's rows, run once the row checked the seats.
  void OnBankerAndWall(const CMjMessage_BankerAndWall& m);
  void OnDeal(const CMjMessage_Deal& m);
  void OnDraw(const CMjMessage_Draw& m);
  void OnKongDraw(const KongOfMessage& kong, const CMjMessage_KongDraw& m);
  void OnVersionRefused(int16_t seat);

  // Recovery helpers.
  template <class Snapshot>
  void RebuildOpening(const Snapshot& s, bool clearMyHand, const char (&discards)[kMjSeats][30]);
  template <class Snapshot>
  void RebuildClosing(const Snapshot& s);
  void RestoreDiscards(const char (&codes)[kMjSeats][30]);
  void RestoreMelds(int16_t seat, int16_t kind, int16_t count, const uint8_t* codes);
  void RestoreMeldsOnTable(int16_t seat, int16_t kind, int16_t count, const uint8_t* codes);
  void RestoreGroups(int16_t seat, int16_t kind, int16_t count, const uint8_t* codes, bool engine);
  void RestoreConcealedKongs(int16_t seat, int16_t count, const uint8_t* codes);
  void RestoreHand(int16_t drawer, int16_t seat, int16_t count, const uint8_t* codes);
  void RestoreHandNoDraw(int16_t seat, int16_t count, const uint8_t* codes);
  void SendScoreReport(const CMjMessage_HuResult& result);

  // Outbound: frames the record, sends it and restarts the keep-alive.
  template <class Record>
  void SendRecord(uint16_t id, const Record& record);
  void SendAction(uint16_t action, const std::vector<card>& tiles, size_t maxCodes);
  // Up to maxCodes codes of the tiles into a zero-filled array of size bytes.
  void PutCodes(char* out, size_t size, const std::vector<card>& tiles, size_t maxCodes);
  template <class Body>
  void Guard(Body body);

  IMjTableWindow& m_window;
  CMjHandRecord m_HandRecord;
  ListHead m_ListHead;
  bool m_playingRecord = false;
  int16_t m_nReplayPos = 0;
  int16_t m_nMeldIndex = 0;
  int16_t m_nKongIndex = 0;
  int16_t m_nDiscardIndex = 0;
  int16_t m_nDrawIndex = 0;
  int16_t m_nTingIndex = 0;
  IMjTableCalls* m_pTable = nullptr;
  IMjArithmeticCalls* m_pArithmetic = nullptr;
  CMjInfoDlg m_InfoDlg;
  int16_t m_nGangCount[kMjSeats] = {0, 0};
  std::function<uint32_t()> m_dice;
};
