// CVyrPokePlayTableImp: the game-neutral play table. It keeps the session with the game server
// alive (join, keep-alive, the silence, reconnect and join watchdogs, reconnects), dispatches
// the framework's 3000-range messages, maps screen locations to seats, handles exit requests
// and leaves and shows the table's notices. A concrete game derives from it and supplies the
// pure operations (its controls, its own messages, its card codec, ...).
// Defined by topic: play_table_session.cpp (entry points, lost connections, receive path),
// play_table_dispatch.cpp (framework dispatch and timers), play_table_seats.cpp,
// play_table_operations.cpp, play_table_exits.cpp and play_table_persons.cpp.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "frame_receiver.h"
#include "framework_play_table.h"
#include "message_answer.h"
#include "play_table_seams.h"
#include "session_settings.h"
#include "session_timers.h"
#include "trick_replay.h"
#include "wire_frame.h"


class CVyrPokePlayTableImp : public IFrameworkPlayTable {
 public:
  CVyrPokePlayTableImp(IVyrSockTransport& socket, ITableTimers& timers, ITableNotices& notices,
                       SessionSettings& settings, FrameworkSession& session = GetFrameworkSession());
  ~CVyrPokePlayTableImp() override = default;
  CVyrPokePlayTableImp(const CVyrPokePlayTableImp&) = delete;
  CVyrPokePlayTableImp& operator=(const CVyrPokePlayTableImp&) = delete;

  // --- Where the platform calls in. Each catches what a failing call throws; a failed socket
  // call counts as a lost connection. ---
  // Creates the wait box (unless in review mode) and the game's controls; 0 when one is missing.
  int Create();
  // Socket event 1: the outcome of Connect.
  void OnSocketConnect(int16_t result);
  // Socket event 2: the bytes asked for with RecvNext. The base runs the receive path.
  virtual void OnSocketData(const uint8_t* data, size_t size);
  // A window timer of the table: the game's timers first, then the framework's.
  virtual void OnGameTimer(uint32_t id);

  // --- Session and dispatch ---
  // The framework dispatch of one message that passed its checks (the first layer of the
  // dispatch; the chat pane's and the game's follow).
  virtual MessageAnswer OnServerMessage(uint16_t id, const uint8_t* body, size_t bodyLength);
  // The framework timers; 0 when the id is not one of them.
  virtual int OnTableTimer(uint32_t id);
  void StartKeepAlive();

  // --- Seats ---
  int16_t GetSeatNoFromLoc(int16_t loc);
  int16_t GetLocFromSeatNo(int16_t seat);
  int16_t GetSeatCode(int16_t deskno, int16_t seatno) const;
  int16_t GetTableCode(int16_t deskno, int16_t seatno) const;
  int16_t GetSeatFromSeatCode(int16_t deskno, int16_t seatCode) override;
  int16_t GetSeatsPerTable() override { return m_settings.seatsPerTable; }
  void ShowSeatPerson(int16_t loc) override;

  // --- Table operations of the base ---
  virtual void OnTimeOut(int16_t loc);
  virtual void SetLeftCards(int16_t seat, int16_t count, const uint8_t* codes);
  virtual int StartDeal(int16_t skip);
  void OnNetworkEnd(int16_t code) override;
  virtual void OnWaitOtherTables(int16_t kind);
  // recvId: the receiver's user id, -1 for the whole table.
  virtual void SendMagicAction(int32_t recvId, int16_t value, int32_t actionType, int32_t itemId,
                               const char* text);
  virtual void AddCardsToMyHand_InDeal(int16_t count, const uint8_t* codes);
  virtual void Setup();
  virtual void SetMyCardBitmap(intptr_t bitmap);

  // --- Defaults for a card game of playing cards; the mahjong table replaces them. ---
  // The start of a hand (more nonzero) or the end of the game (more 0, the connection is
  // closed and the player told).
  virtual void OnHandStart(int16_t handNo, int16_t more);
  // The start of a hand on display and engine, from the seat that leads; the replay starts empty.
  virtual void StartOneHand(int16_t seat);
  virtual void AddHotRegion(const HotRegionRecord& region) override;
  // The folder of the table's pictures: "image" beside the program file.
  virtual std::string GetImageDir();
  // What InitTable hands the display: the card faces and back, the table's background picture
  // and the advert's address.
  struct TableLook {
    intptr_t cardFace = 0;
    intptr_t cardBack = 0;
    intptr_t background = 0;
    std::string advertUrl;
  };
  void SetTableLook(TableLook look) { m_look = std::move(look); }

  // --- Hand records and their replay. By default the record is a CHandStorage of the hand's
  // steps (those of the trick replay); a game with a record file of its own replaces both. The
  // trick replay steps through the steps handed to it with SetReplaySteps (or loaded) and shows
  // them on the display and the auxiliary views. ---
  // The save dialog, the files and the plain message box (none set: nothing is saved or loaded).
  void SetRecordFiles(IRecordFiles* files) { m_recordFiles = files; }
  // Asks for a file and writes the record to it: who recorded it (the person playing at the local
  // player's seat), the comment text, sub type and seats per table, the persons playing at the
  // local player's table, and the steps. "保存成功" only once the whole file was written, "保存失败"
  // when it was not; a cancelled dialog writes and says nothing.
  virtual void SaveHandRecord();
  // Reads the review file: its steps become the replay's (tricks built from them), and the cards
  // the record's own player played are shown as the hand. A file that cannot be read or does
  // not hold a whole record changes nothing and says "牌局记录无法读取".
  virtual void LoadHandRecord();
  virtual void ReplayUndoStep();
  virtual void ReplayNextStep();
  // The recorded steps to replay; the tricks are built from them.
  void SetReplaySteps(std::vector<HandStep> steps);
  const TrickReplay& Replay() const { return m_replay; }
  // Shows the trick at the current trick index on the first auxiliary view.
  void ShowReplayStep();
  void ReplayBack();
  void ReplayForward();
  // Shows every step of the trick before or after the current one.
  void ReplayPrevTrick();
  void ReplayNextTrick();
  // Shows a step: its trick becomes the current one when needed, its cards go to its seat's
  // location and to the second auxiliary view.
  void ShowRecordedStep(size_t step);
  // The cards a seat played in all steps.
  void CollectSeatCards(int16_t seat, std::vector<card>& cards) const;
  void ShowStepCards(const HandStep& step);
  // The session strings the lobby set: the comment text and the review file (empty when unset).
  virtual std::string GetComInfo() { return {}; }
  virtual std::string GetReviewFileName() { return {}; }

  // --- Exits ---
  virtual void RequestExit();
  bool CanRequestExit() const;
  virtual void SendExit(int16_t consent);
  virtual void SendLeaveSeat();
  // The exit box's answer to another player's exit request: agree (0) or refuse (1).
  void SendExitAnswer(uint32_t askerId, int16_t answer);
  void OnExitRequested(uint32_t userId) override;
  virtual void OnExitRequest(uint32_t userId, int16_t refused);
  void OnExitAnswer(uint32_t requesterId, int16_t answer) override;
  void OnConnectRefused() override;
  void OnPlayerExit(uint32_t userId, int16_t reason) override;
  void OnPlayerOffline(uint32_t userId) override;

  // --- Persons: the table's own list; the local user is named by SetMyId. Rosters only add to
  // it, so it is bounded well above any real table: past the bound new persons are not added.
  static constexpr size_t kMaxTablePersons = 3000;
  TablePerson* FindPerson(uint32_t userId) override;
  TablePerson* FindPersonAt(int16_t deskno, int16_t seatno, int16_t status) override;
  TablePerson* GetMe() override;
  std::vector<TablePerson*> GetPersons() override;
  TablePerson* AppendPerson(std::unique_ptr<TablePerson> person) override;
  void RemovePerson(uint32_t userId) override;
  void SetMyId(uint32_t userId) { m_myId = userId; }

  // --- What the handlers call ---
  void StoreSessionKey(uint32_t sessionKey, uint32_t outboundSeed, uint32_t inboundBase) override;
  void CloseWaitDialog() override;
  void KillTableTimer(uint32_t timerId) override;
  void SetTableTimer(uint32_t timerId, uint32_t milliseconds);
  void SetGameOverFlag(int value) override { m_gameOver = value; }
  void SetPlayerFlag(int value) override { m_settings.PlayerFlag = value; }
  void ShowMessageNotice(const char* text, bool closeOnOk) override;
  void ShowCountDownNotice(const char* text, uint32_t milliseconds) override;
  // The dispatcher's steps around the framework's handlers: the watchdogs and the keep-alive.
  void BeforePersonState(const CVyrMessage_PersonState& state) override;
  bool BeforeGameAbort() override;
  void BeforePersonLists() override;
  void AfterSessionStart() override;

  void SetAuxViews(IPlayTableAuxView* first, IPlayTableAuxView* second);

  // --- State ---
  int ExpectHeader() const { return m_receiver.ExpectHeader; }
  int16_t ReconnectCount() const { return m_receiver.ReconnectCount; }
  uint32_t LastInboundSequence() const { return m_receiver.LastInboundSequence; }
  int IsReconnecting() const { return m_reconnecting; }
  int IsGameOver() const { return m_gameOver; }
  int IgnoresGameData() const { return m_ignoreGameData; }
  int16_t ExitRequestsSent() const { return m_exitRequestsSent; }
  int IsDealStarted() const { return m_dealStarted; }
  int IsInProgress() const { return m_inProgress; }
  void SetHandStarted(int value) { m_handStarted = value; }
  int IsHandStarted() const { return m_handStarted; }
  void SetInProgress(int value) { m_inProgress = value; }
  // The game's recovery snapshots end the wait that OnNetworkEnd(2) started.
  void SetIgnoreGameData(int value) { m_ignoreGameData = value; }
  // A new hand: the player may again ask to leave twice.
  void ResetExitRequests() { m_exitRequestsSent = 0; }
  int IsExitPending() const { return m_exitPending; }
  void SetExitPending(int value) { m_exitPending = value; }
  int IsSoundOn() const { return m_sound; }
  // The sound switch: the flag (nonzero: on), and the display's own sounds with it.
  void SetSound(int value);
  bool IsPlayer() const { return m_settings.PlayerFlag != 0; }

 protected:
  // --- Game operations (with ExitGame, PlaySound, AddChatLine and the person-list, avatar and
  // magic-action operations of IFrameworkPlayTable) ---
  virtual int16_t GetMySeatNo() = 0;
  virtual intptr_t GetPersonIcon(const TablePerson* person) = 0;
  // Connects the socket again (ConnectServer with the session's connection settings).
  virtual void StartConnection() = 0;
  // Create the controls and hand them over with SetTableDisplay / SetRulesEngine; 0 on failure.
  virtual int CreateTableControl() = 0;
  virtual int CreateArithmeticControl() = 0;
  // The display's set-up for a card game (with TableLook), then the seated persons.
  virtual void InitTable();
  // The engine's sub type.
  virtual void InitArithmetic();
  // The game's card codec: count codes to count cards. By default the playing cards of
  // playing_card_codec.h, a message box for each code that is no card.
  virtual void FromCharsToCards(int16_t count, const uint8_t* codes, card* cards);
  // Its inverse: sets count to the number of codes written (at most 54 playing cards, a message
  // box for each card that has no code) and returns it.
  virtual int16_t FromCardsToChars(int16_t& count, uint8_t* codes, const std::vector<card>& cards);
  // A player asks the engine for an automatic play; the cards it names are left to the game.
  virtual void AutoSend();
  // The program file's path, for GetImageDir; empty when the platform did not name it.
  virtual std::string GetProgramPath() { return {}; }
  // The game's own timers; nonzero when taken.
  virtual int OnOwnTimer(uint32_t id) { (void)id; return 0; }
  // The chat pane's and the game's layers of the dispatch, offered a message the layer before
  // answered NotMine. None asks for the next header: the session does, after the dispatch.
  virtual MessageAnswer OnChatMessage(uint16_t id, const uint8_t* body, size_t bodyLength);
  virtual MessageAnswer OnGameMessage(uint16_t id, const uint8_t* body, size_t bodyLength);

  void SetTableDisplay(ICommTableCalls* display) { m_display = display; }
  void SetRulesEngine(ICommArithmeticCalls* rules) { m_rules = rules; }
  ICommTableCalls* TableDisplay() { return m_display; }
  ICommArithmeticCalls* RulesEngine() { return m_rules; }
  IRecordFiles* RecordFiles() { return m_recordFiles; }
  IVyrSockTransport& Socket() { return m_socket; }
  ITableNotices& Notices() { return m_notices; }
  SessionSettings& Settings() { return m_settings; }
  FrameworkSession& Session() { return m_session; }

  // The receive path: header and body phases, checks, dispatch (framework, chat, game) and the
  // request of the next bytes.
  void ReceiveDelivery(const uint8_t* data, size_t size);
  // Sends a framed message; a failing send counts as a lost connection.
  void SendFrame(const MessageBuffer& frame);
  void CloseSocket();

 private:
  // Runs an entry point: what a failing call throws ends the operation there; a socket call
  // that failed inside it counts as a lost connection once the outermost entry point is done.
  template <class Body>
  void Guarded(Body body) {
    ++m_guardDepth;
    try {
      body();
    } catch (...) {
    }
    --m_guardDepth;
    if (m_guardDepth == 0 && m_socketFailed) HandleLostConnection();
  }
  template <class Call>
  void SocketCall(Call call) {
    try {
      call(m_socket);
    } catch (...) {
      m_socketFailed = true;
      if (m_guardDepth == 0) HandleLostConnection();
    }
  }
  void HandleLostConnection();
  // Offers a message to the framework, chat and game layers in turn; Closed when the handling
  // closed the connection.
  MessageAnswer DispatchMessage(uint16_t id, const uint8_t* body, size_t bodyLength);
  // Asks the socket for the next 32-byte header: after a connect and after each dispatch.
  void RequestNextHeader();
  void OnReceiveFailure(const ReceiveStep& step);
  void ReconnectAfterNotice(const char* text);
  void LeaveFinishedConnection();
  bool WatchdogExpired(uint32_t id);
  void KillWatchdogs();
  void KillKeepAlives();
  void ShowGameEndingNotice(const std::string& text, bool wait);
  // StartConnection; a failing connect is left to the watchdogs.
  void TryStartConnection();
  // TryStartConnection, then the silence watchdog again, so that a failed connect is retried.
  void ReconnectAndWatch();
  void SendJoinTable();

  IVyrSockTransport& m_socket;
  ITableTimers& m_timers;
  ITableNotices& m_notices;
  SessionSettings& m_settings;
  FrameworkSession& m_session;
  ICommTableCalls* m_display = nullptr;
  ICommArithmeticCalls* m_rules = nullptr;
  IPlayTableAuxView* m_auxViews[2] = {nullptr, nullptr};
  IRecordFiles* m_recordFiles = nullptr;
  TableLook m_look;
  TrickReplay m_replay;

  std::vector<std::unique_ptr<TablePerson>> m_persons;
  uint32_t m_myId = 0;

  FrameReceiver m_receiver;  // ExpectHeader 1, LastInboundSequence 0, ReconnectCount 0
  int m_reconnecting = 0;
  int m_gameOver = 0;
  int m_ignoreGameData = 0;
  int m_handStarted = 0;
  int m_dealStarted = 0;
  int m_inProgress = 0;
  int m_exitPending = 0;
  int m_sound = 1;
  int16_t m_exitRequestsSent = 0;
  int m_exitRequestAllowed = 1;

  // Receive bookkeeping: whether the next header was asked for since the delivery being handled
  // arrived, and a count of socket closes, so that a delivery whose handling closed the
  // connection asks for nothing more.
  bool m_headerRequested = false;
  bool m_dispatching = false;
  uint32_t m_closeCount = 0;
  bool m_socketFailed = false;
  int m_guardDepth = 0;
};
