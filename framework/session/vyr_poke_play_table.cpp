#include "vyr_poke_play_table.h"

#include <algorithm>
#include <iterator>
#include <cstdio>
#include <string>

#include "framework_handlers.h"
#include "framework_messages.h"
#include "play_table_texts.h"

#include "line_format.h"

namespace {

constexpr int16_t kStatusPlaying = 4;
constexpr int32_t kLeaveLineColor = 0x8000;
constexpr int32_t kOfflineLineColor = 255;
constexpr uint32_t kWaitBoxTime = 150000;
constexpr uint32_t kWaitOtherTablesTime = 90000;
constexpr uint32_t kExitQuestionTime = 4000;
constexpr uint32_t kExitRefusedTime = 2000;
constexpr uint32_t kConnectFailedTime = 2000;
constexpr int32_t kSocketTimeOut = 60000;
constexpr int16_t kGiveUpCount = 4;

// The notice of an exit reason; the texts with a name take the user name, then the nickname.
const char* ExitReasonText(int16_t reason) {
  static constexpr const char* kTexts[] = {
      kTextExitNormal,      kTextExitForced,          kTextExitDropped,     kTextExitAgreed,
      kTextExitTooPoor,     kTextExitLevelTooLow,     kTextExitByAdministrator,
      kTextExitOtherReason, kTextExitRoundPlayed,     kTextExitByReferee,   kTextExitOutOfMatchTime,
  };
  if (reason < 0 || reason >= static_cast<int16_t>(std::size(kTexts))) return kTextExitOtherReason;
  return kTexts[reason];
}

// The notice of a reason when the person who left is not known.
const char* UnknownPersonReasonText(int16_t reason) {
  return (reason >= 8 && reason <= 10) ? ExitReasonText(reason) : kTextExitOtherReason;
}

bool IsRosterOrAvatarList(uint16_t id) {
  return FamilyMember(id, kTableRosterBase) >= 0 || FamilyMember(id, kAvatarListBase) >= 0;
}

}  // namespace

CVyrPokePlayTableImp::CVyrPokePlayTableImp(IVyrSockTransport& socket, ITableTimers& timers,
                                           ITableNotices& notices, SessionSettings& settings,
                                           FrameworkSession& session)
    : m_socket(socket), m_timers(timers), m_notices(notices), m_settings(settings),
      m_session(session) {
  m_session.Reset();
}

// ---------------------------------------------------------------------------------------------
// Where the platform calls in

int CVyrPokePlayTableImp::Create() {
  int created = 0;
  Guarded([&] {
    if (!m_settings.reviewMode) {
      m_notices.Close(NoticeKind::WaitBox);
      TableNotice wait;
      wait.kind = NoticeKind::WaitBox;
      wait.text = kTextConnectingWait;
      wait.milliseconds = kWaitBoxTime;
      m_notices.Show(wait);
    }
    if (!CreateTableControl() || !CreateArithmeticControl()) return;
    if (m_display == nullptr || m_rules == nullptr) return;
    InitTable();
    InitArithmetic();
    created = 1;
  });
  return created;
}

void CVyrPokePlayTableImp::OnSocketConnect(int16_t result) {
  Guarded([&] {
    if (result != 1) {
      TableNotice notice;
      notice.kind = NoticeKind::CountDown;
      notice.text = kTextServerConnectFailed;
      notice.milliseconds = kConnectFailedTime;
      m_notices.Show(notice);
      return;
    }
    SocketCall([](IVyrSockTransport& s) { s.SetTimeOut(kSocketTimeOut); });
    m_receiver.ReconnectCount = 0;
    m_receiver.OnConnected();
    SendJoinTable();
    RequestNextHeader();
    m_timers.SetTimer(kTimerJoinWatchdog, kJoinWatchdogPeriod);
  });
}

void CVyrPokePlayTableImp::OnSocketData(const uint8_t* data, size_t size) {
  Guarded([&] { ReceiveDelivery(data, size); });
}

void CVyrPokePlayTableImp::OnGameTimer(uint32_t id) {
  Guarded([&] {
    if (!OnOwnTimer(id)) OnTableTimer(id);
  });
}

void CVyrPokePlayTableImp::HandleLostConnection() {
  m_socketFailed = false;
  ++m_receiver.ReconnectCount;
  m_reconnecting = 1;
  if (m_receiver.ReconnectCount < kGiveUpCount) {
    KillWatchdogs();
    ReconnectAndWatch();
  } else {
    m_receiver.ReconnectCount = 0;
    m_gameOver = 1;
    ShowGameEndingNotice(kTextCannotConnect, false);
  }
  // A connect that fails again is retried by the silence watchdog, not from here.
  m_socketFailed = false;
}

// ---------------------------------------------------------------------------------------------
// Receive path

void CVyrPokePlayTableImp::ReceiveDelivery(const uint8_t* data, size_t size) {
  m_timers.KillTimer(kTimerSilenceWatchdog);
  // A finished game is not watched any more: its silence must not reconnect it.
  if (!m_gameOver) m_timers.SetTimer(kTimerSilenceWatchdog, kWatchdogPeriod);
  const ReceiveStep step = m_receiver.OnDelivery(data, size, m_session.SessionKey);
  switch (step.kind) {
    case ReceiveStep::RequestBytes: {
      const auto count = static_cast<int32_t>(step.request);
      SocketCall([count](IVyrSockTransport& s) { s.RecvNext(count); });
      break;
    }
    case ReceiveStep::Dispatch: {
      const uint32_t closes = m_closeCount;
      m_headerRequested = false;
      try {
        DispatchMessage(step.id, step.body, step.bodyLength);
      } catch (...) {
        // A failing control ends that message's handling; the receiving goes on.
      }
      // Whatever happened to the message, the next header is asked for once, unless the
      // handling closed the connection (the next connect asks for it).
      if (!m_headerRequested && closes == m_closeCount) RequestNextHeader();
      break;
    }
    default:
      OnReceiveFailure(step);
      break;
  }
}

void CVyrPokePlayTableImp::DispatchMessage(uint16_t id, const uint8_t* body, size_t bodyLength) {
  if (OnServerMessage(id, body, bodyLength)) return;
  if (OnChatMessage(id, body, bodyLength)) return;
  OnGameMessage(id, body, bodyLength);
}

int CVyrPokePlayTableImp::OnChatMessage(uint16_t, const uint8_t*, size_t) { return 0; }
int CVyrPokePlayTableImp::OnGameMessage(uint16_t, const uint8_t*, size_t) { return 0; }

void CVyrPokePlayTableImp::OnReceiveFailure(const ReceiveStep& step) {
  switch (step.kind) {
    case ReceiveStep::SequenceReconnect:
      CloseSocket();
      KillKeepAlives();
      m_reconnecting = 1;
      ReconnectAfterNotice(kTextNetworkFaultReconnect);
      break;
    case ReceiveStep::SequenceGiveUp:
      CloseSocket();
      KillKeepAlives();
      m_reconnecting = 1;
      m_gameOver = 1;
      ShowGameEndingNotice(kTextCannotConnect, true);
      ExitGame();
      break;
    case ReceiveStep::TrailerFailure:
    case ReceiveStep::FramingFailure:
    default:
      // The receiver is back at a header; the reconnect count is not touched.
      KillWatchdogs();
      {
        TableNotice notice;
        notice.kind = NoticeKind::MessageAndWait;
        notice.text = kTextNetworkFaultReconnect;
        m_notices.Show(notice);
      }
      CloseSocket();
      ReconnectAndWatch();
      break;
  }
}

// A reconnect notice does not end the game (OK leaves the main frame open). The watchdogs are
// stopped while it waits, so that none of them starts a second connect meanwhile.
void CVyrPokePlayTableImp::ReconnectAfterNotice(const char* text) {
  KillWatchdogs();
  TableNotice notice;
  notice.kind = NoticeKind::MessageAndWait;
  notice.text = text;
  m_notices.Show(notice);
  ReconnectAndWatch();
}

void CVyrPokePlayTableImp::TryStartConnection() {
  try {
    StartConnection();
  } catch (...) {
    // The watchdogs retry.
  }
}

void CVyrPokePlayTableImp::ReconnectAndWatch() {
  TryStartConnection();
  m_timers.SetTimer(kTimerSilenceWatchdog, kWatchdogPeriod);
}

// ---------------------------------------------------------------------------------------------
// Framework dispatch and timers

int CVyrPokePlayTableImp::OnServerMessage(uint16_t id, const uint8_t* body, size_t bodyLength) {
  m_headerRequested = false;
  const uint32_t closes = m_closeCount;
  int taken = 1;
  switch (id) {
    case kPersonState: {
      CVyrMessage_PersonState m;
      if (ReadRecord(body, bodyLength, m)) {
        const TablePerson* me = GetMe();
        if (me && me->id == m.userId && (m.state == 4 || m.state == 6)) {
          m_timers.SetTimer(kTimerReconnectWatchdog, kWatchdogPeriod);
        }
      }
      break;
    }
    case kGameAbort:
      m_timers.KillTimer(kTimerReconnectWatchdog);
      m_timers.KillTimer(kTimerJoinWatchdog);
      m_timers.KillTimer(kTimerSilenceWatchdog);
      m_timers.SetTimer(kTimerSilenceWatchdog, kWatchdogPeriod);
      if (m_ignoreGameData) return 0;
      break;
    case kExitAnswer:
      RequestNextHeader();
      break;
    case kMagicAction:
    case kMagicActionRefused:
      taken = 0;
      break;
    case kRefereeList:
      m_timers.KillTimer(kTimerReconnectWatchdog);
      m_timers.KillTimer(kTimerJoinWatchdog);
      break;
    default:
      if (IsRosterOrAvatarList(id)) {
        m_timers.KillTimer(kTimerReconnectWatchdog);
        m_timers.KillTimer(kTimerJoinWatchdog);
      }
      break;
  }
  const FrameworkHandling handling = HandleFrameworkMessage(id, body, bodyLength, *this);
  if (handling == FrameworkHandling::NotFramework) return 0;
  if (id == kSessionStart && handling == FrameworkHandling::Handled) {
    MessageBuffer keepAlive;
    CVyrMessage_KeepAlive::Pack(keepAlive, m_session);
    SendFrame(keepAlive);
    m_timers.KillTimer(kTimerSilenceWatchdog);
    m_timers.SetTimer(kTimerSilenceWatchdog, kWatchdogPeriod);
    StartKeepAlive();
  }
  // A handler that ended the game closed the connection: nothing more is read from it.
  if (!m_headerRequested && closes == m_closeCount) RequestNextHeader();
  return taken;
}

int CVyrPokePlayTableImp::OnTableTimer(uint32_t id) {
  switch (id) {
    case kTimerKeepAlive:
    case kTimerKeepAlive2: {
      MessageBuffer keepAlive;
      CVyrMessage_KeepAlive::Pack(keepAlive, m_session);
      SendFrame(keepAlive);
      StartKeepAlive();
      return 1;
    }
    case kTimerReconnectWatchdog:
    case kTimerJoinWatchdog:
    case kTimerSilenceWatchdog:
      if (m_gameOver) {
        // A watchdog left over from before the game ended reconnects nothing.
        m_timers.KillTimer(id);
        return 1;
      }
      if (id == kTimerSilenceWatchdog) {
        KillKeepAlives();
        if (!WatchdogExpired(id)) ReconnectAndWatch();
        return 1;
      }
      if (!WatchdogExpired(id)) {
        TryStartConnection();
        m_timers.SetTimer(id, id == kTimerJoinWatchdog ? kJoinWatchdogPeriod : kWatchdogPeriod);
      }
      return 1;
    case kTimerExitRequestHold:
      m_timers.KillTimer(kTimerExitRequestHold);
      m_exitRequestAllowed = 1;
      return 1;
    default:
      return 0;
  }
}

// The give-up rule of the watchdogs; true when the game ended.
bool CVyrPokePlayTableImp::WatchdogExpired(uint32_t id) {
  ++m_receiver.ReconnectCount;
  m_reconnecting = 1;
  if (m_receiver.ReconnectCount < kGiveUpCount) return false;
  m_receiver.ReconnectCount = 0;
  m_gameOver = 1;
  m_timers.KillTimer(id);
  ShowGameEndingNotice(kTextCannotConnect, false);
  return true;
}

void CVyrPokePlayTableImp::StartKeepAlive() {
  m_timers.KillTimer(kTimerKeepAlive);
  m_timers.SetTimer(kTimerKeepAlive, kKeepAlivePeriod);
}

void CVyrPokePlayTableImp::RequestNextHeader() {
  m_headerRequested = true;
  SocketCall([](IVyrSockTransport& s) { s.RecvNext(static_cast<int32_t>(kMessageHeaderSize)); });
}

void CVyrPokePlayTableImp::SendFrame(const MessageBuffer& frame) {
  SocketCall([&frame](IVyrSockTransport& s) {
    s.Send(frame.GetData(), static_cast<int16_t>(frame.GetFrameLength()));
  });
}

void CVyrPokePlayTableImp::CloseSocket() {
  ++m_closeCount;
  // Closing is harmless when nothing is open; a failing close is not a lost connection.
  try {
    m_socket.Close();
  } catch (...) {
  }
}

void CVyrPokePlayTableImp::KillWatchdogs() {
  m_timers.KillTimer(kTimerReconnectWatchdog);
  m_timers.KillTimer(kTimerJoinWatchdog);
  m_timers.KillTimer(kTimerSilenceWatchdog);
}

void CVyrPokePlayTableImp::KillKeepAlives() {
  m_timers.KillTimer(kTimerKeepAlive);
  m_timers.KillTimer(kTimerKeepAlive2);
}

// A game-ending notice: nothing keeps the finished session alive or reconnects it; OK closes
// the main frame.
void CVyrPokePlayTableImp::ShowGameEndingNotice(const std::string& text, bool wait) {
  KillKeepAlives();
  KillWatchdogs();
  TableNotice notice;
  notice.kind = wait ? NoticeKind::MessageAndWait : NoticeKind::Message;
  notice.text = text;
  notice.closeOnOk = true;
  m_notices.Show(notice);
}

void CVyrPokePlayTableImp::SendJoinTable() {
  CVyrMessage_JoinTable join;
  if (const TablePerson* me = GetMe()) {
    join.userId = me->id;
    join.tableCode = static_cast<uint16_t>(GetTableCode(me->deskno, me->seatno));
    join.seatCode = static_cast<uint16_t>(GetSeatCode(me->deskno, me->seatno));
    join.watchNo = static_cast<uint16_t>(me->watchno);
  }
  join.serviceType = static_cast<uint16_t>(m_settings.serviceType);
  join.gameType = static_cast<uint16_t>(m_settings.gameType);
  join.subType = static_cast<uint16_t>(m_settings.subType);
  MessageBuffer frame;
  join.Pack(frame, m_session);
  SendFrame(frame);
}

// ---------------------------------------------------------------------------------------------
// Seats

int16_t CVyrPokePlayTableImp::GetSeatNoFromLoc(int16_t loc) {
  const int16_t seats = m_settings.seatsPerTable;
  if (loc < 0 || loc >= seats) {
    TableNotice box;
    box.kind = NoticeKind::SystemBox;
    box.text = FormatLine(kTextInvalidLoc, static_cast<int>(loc));
    m_notices.Show(box);
    return -1;
  }
  const int16_t own = GetMySeatNo();
  if (loc == 0) return own;
  if (seats < 2 || own < 0 || own >= seats) return -1;
  const auto persons = GetPersons();
  int counted = 0;
  for (int step = 1; step < seats; ++step) {
    const auto seat = static_cast<int16_t>((own + step) % seats);
    const bool player = std::any_of(persons.begin(), persons.end(), [&](const TablePerson* p) {
      return p->status == kStatusPlaying && p->seatno == seat;
    });
    if (player && ++counted == loc) return seat;
  }
  return -1;
}

int16_t CVyrPokePlayTableImp::GetLocFromSeatNo(int16_t seat) {
  const int16_t own = GetMySeatNo();
  if (seat == own) return 0;
  const int16_t seats = m_settings.seatsPerTable;
  // A seat outside the table, or no own seat on it, has no location.
  if (seat < 0 || seat >= seats || own < 0 || own >= seats) return -1;
  const auto persons = GetPersons();
  int16_t counted = 0;
  for (int step = 1; step < seats; ++step) {
    const auto walked = static_cast<int16_t>((own + step) % seats);
    const bool seated = std::any_of(persons.begin(), persons.end(),
                                    [&](const TablePerson* p) { return p->seatno == walked; });
    if (seated) ++counted;
    if (walked == seat) return counted;
  }
  return counted;
}

int16_t CVyrPokePlayTableImp::GetSeatCode(int16_t deskno, int16_t seatno) const {
  if (deskno < 0 || seatno < 0) return -1;
  if (m_settings.doubleStyle && deskno % 2 == 1) {
    return static_cast<int16_t>(seatno + m_settings.seatsPerTable);
  }
  return seatno;
}

int16_t CVyrPokePlayTableImp::GetTableCode(int16_t deskno, int16_t seatno) const {
  if (deskno < 0 || seatno < 0) return -1;
  return m_settings.doubleStyle ? static_cast<int16_t>(deskno / 2) : deskno;
}

int16_t CVyrPokePlayTableImp::GetSeatFromSeatCode(int16_t deskno, int16_t seatCode) {
  if (deskno < 0 || seatCode < 0) return -1;
  if (m_settings.doubleStyle && seatCode >= m_settings.seatsPerTable) {
    return static_cast<int16_t>(seatCode - m_settings.seatsPerTable);
  }
  return seatCode;
}

void CVyrPokePlayTableImp::ShowSeatPerson(int16_t loc) {
  const int16_t seat = loc == 0 ? GetMySeatNo() : GetSeatNoFromLoc(loc);
  const TablePerson* me = GetMe();
  TablePerson* person = FindPersonAt(me ? me->deskno : -1, seat, kStatusPlaying);
  if (person && m_display) m_display->SetPersonLocation(loc, GetPersonIcon(person), person);
}

// ---------------------------------------------------------------------------------------------
// Table operations

void CVyrPokePlayTableImp::OnTimeOut(int16_t loc) {
  if (IsPlayer() && loc == 0) AutoSend();
}

void CVyrPokePlayTableImp::SetLeftCards(int16_t seat, int16_t count, const uint8_t* codes) {
  if (count <= 0 || codes == nullptr || m_display == nullptr) return;
  const int16_t loc = GetLocFromSeatNo(seat);
  if (loc < 0) return;
  std::vector<card> cards(static_cast<size_t>(count));
  FromCharsToCards(count, codes, cards.data());
  m_display->SetLeftCards(loc, count, cards.data());
}

int CVyrPokePlayTableImp::StartDeal(int16_t skip) {
  if (skip) {
    m_dealStarted = 0;
    return 0;
  }
  if (m_display) m_display->StartDeal();
  m_dealStarted = 1;
  return 1;
}

void CVyrPokePlayTableImp::OnNetworkEnd(int16_t code) {
  m_notices.Close(NoticeKind::WaitBox);
  if (code == 0) {
    ShowGameEndingNotice(kTextNetworkFaultGameOver, false);
  } else if (code == 2) {
    m_ignoreGameData = 1;
  }
}

void CVyrPokePlayTableImp::OnWaitOtherTables(int16_t kind) {
  const TablePerson* me = GetMe();
  const int16_t desk = me ? me->deskno : -1;
  if (desk < 0) return;
  const bool firstOfPair = desk % 2 == 0;
  if (m_auxViews[0]) m_auxViews[0]->SetWaitKind(kind);
  if ((kind == 1 && firstOfPair) || (kind == 0 && !firstOfPair)) {
    m_notices.Close(NoticeKind::WaitBox);
    TableNotice wait;
    wait.kind = NoticeKind::WaitBox;
    wait.text = kTextWaitOtherTables;
    wait.milliseconds = kWaitOtherTablesTime;
    wait.onTableWindow = true;
    m_notices.Show(wait);
  }
}

void CVyrPokePlayTableImp::SendMagicAction(int32_t recvId, int16_t value, int32_t actionType,
                                           int32_t itemId, const char* text) {
  if (!m_handStarted) return;
  m_notices.HideMagicActionPicker();
  CVyrMessage_MagicAction action;
  const TablePerson* me = GetMe();
  action.senderSeat = static_cast<uint16_t>(GetMySeatNo());
  action.actionType = actionType;
  action.itemId = itemId;
  action.toEveryone = recvId == -1 ? 1 : 0;
  action.senderId = me ? me->id : 0;
  action.receiverId = recvId;
  action.value = static_cast<uint16_t>(value);
  action.SetText(text);
  StartKeepAlive();
  MessageBuffer frame;
  action.Pack(frame, m_session);
  SendFrame(frame);
}

void CVyrPokePlayTableImp::AddCardsToMyHand_InDeal(int16_t count, const uint8_t* codes) {
  if (count <= 0 || codes == nullptr) return;
  if (IsPlayer()) m_inProgress = 1;
  std::vector<card> cards(static_cast<size_t>(count));
  FromCharsToCards(count, codes, cards.data());
  if (m_display) m_display->AddCardsToMyHandWithSort_InDeal(count, cards.data());
  if (IsPlayer() && m_rules) m_rules->AddCardsToMyHand(count, cards.data());
}

void CVyrPokePlayTableImp::Setup() {
  if (m_display) m_display->Setup();
}

void CVyrPokePlayTableImp::SetMyCardBitmap(intptr_t bitmap) {
  if (m_display) m_display->SetMyCardBitmap(bitmap, 0);
}

void CVyrPokePlayTableImp::SetAuxViews(IPlayTableAuxView* first, IPlayTableAuxView* second) {
  m_auxViews[0] = first;
  m_auxViews[1] = second;
}

// ---------------------------------------------------------------------------------------------
// Exits

void CVyrPokePlayTableImp::RequestExit() {
  if (!IsPlayer()) {
    SendExit(0);
    return;
  }
  if (m_exitRequestsSent >= 2) return;
  ++m_exitRequestsSent;
  CVyrMessage_ExitRequest request;
  if (const TablePerson* me = GetMe()) {
    request.userId = me->id;
    request.seatCode = static_cast<uint16_t>(GetSeatCode(me->deskno, me->seatno));
  }
  request.flag = 1;
  StartKeepAlive();
  MessageBuffer frame;
  request.Pack(frame, m_session);
  SendFrame(frame);
  m_timers.SetTimer(kTimerExitRequestHold, kExitRequestHoldPeriod);
  m_exitRequestAllowed = 0;
}

bool CVyrPokePlayTableImp::CanRequestExit() const {
  return m_exitRequestAllowed != 0 && m_exitRequestsSent < 2;
}

void CVyrPokePlayTableImp::SendExit(int16_t consent) {
  const TablePerson* me = GetMe();
  const uint32_t myId = me ? me->id : 0;
  const int16_t seatCode = me ? GetSeatCode(me->deskno, me->seatno) : -1;
  MessageBuffer frame;
  if (IsPlayer()) {
    CVyrMessage_PlayerExit exit;
    exit.userId = myId;
    exit.seatCode = static_cast<uint16_t>(seatCode);
    exit.reason = consent ? 1 : 0;
    StartKeepAlive();
    exit.Pack(frame, m_session);
  } else {
    CVyrMessage_WatcherExit exit;
    exit.userId = myId;
    exit.seatCode = static_cast<uint16_t>(seatCode);
    exit.watchNo = static_cast<uint16_t>(me ? me->watchno : -1);
    exit.zero = 0;
    StartKeepAlive();
    exit.Pack(frame, m_session);
  }
  SendFrame(frame);
}

void CVyrPokePlayTableImp::SendLeaveSeat() {
  if (!IsPlayer()) return;
  CVyrMessage_LeaveBeforeStart leave;
  if (const TablePerson* me = GetMe()) {
    leave.userId = me->id;
    leave.seatCode = static_cast<uint16_t>(GetSeatCode(me->deskno, me->seatno));
  }
  MessageBuffer frame;
  leave.Pack(frame, m_session);
  SendFrame(frame);
}

void CVyrPokePlayTableImp::SendExitAnswer(uint32_t askerId, int16_t answer) {
  const TablePerson* asker = FindPerson(askerId);
  const TablePerson* me = GetMe();
  if (asker == nullptr || me == nullptr) return;
  CVyrMessage_ExitAnswer reply;
  reply.requesterId = asker->id;
  reply.requesterSeatCode = static_cast<uint16_t>(GetSeatCode(asker->deskno, asker->seatno));
  reply.answererId = me->id;
  reply.answererSeatCode = static_cast<uint16_t>(GetSeatCode(me->deskno, me->seatno));
  reply.answer = static_cast<uint16_t>(answer);
  StartKeepAlive();
  MessageBuffer frame;
  reply.Pack(frame, m_session);
  SendFrame(frame);
}

void CVyrPokePlayTableImp::OnExitRequested(uint32_t userId) {
  const TablePerson* me = GetMe();
  if (me && me->id == userId && IsPlayer()) return;
  OnExitRequest(userId, 0);
}

void CVyrPokePlayTableImp::OnExitRequest(uint32_t userId, int16_t refused) {
  m_notices.Close(NoticeKind::ExitBox);
  const TablePerson* p = FindPerson(userId);
  if (p == nullptr) return;
  TableNotice box;
  box.kind = NoticeKind::ExitBox;
  box.askerId = userId;
  if (refused == 0) {
    box.mode = 0;
    box.milliseconds = kExitQuestionTime;
    box.text = FormatLine(kTextAskExitConsent, p->nickname, p->username);
  } else {
    box.mode = 1;
    box.milliseconds = kExitRefusedTime;
    box.text = FormatLine(kTextExitRefused, p->nickname, p->username);
  }
  m_notices.Show(box);
}

void CVyrPokePlayTableImp::OnExitAnswer(uint32_t, int16_t) {}

void CVyrPokePlayTableImp::OnConnectRefused() {
  m_gameOver = 1;
  ShowGameEndingNotice(kTextCannotConnect, false);
}

void CVyrPokePlayTableImp::OnPlayerExit(uint32_t userId, int16_t reason) {
  const TablePerson* p = FindPerson(userId);
  const TablePerson* me = GetMe();
  if (p && p->status == kStatusPlaying) {
    m_gameOver = 1;
    const std::string text = FormatLine(ExitReasonText(reason), p->username, p->nickname);
    CloseSocket();
    ShowGameEndingNotice(text, false);
    return;
  }
  if (p && me && p->id == me->id) {
    ExitGame();
    return;
  }
  if (p) {
    AddChatLine(LineFormat(kLeaveLineColor), FormatLine(kTextPersonLeft, p->nickname, p->username).c_str());
    return;
  }
  m_gameOver = 1;
  CloseSocket();
  const auto signedId = static_cast<int32_t>(userId);
  const std::string text = signedId > 0 ? FormatLine(kTextUserForcedOut, static_cast<int>(signedId))
                                        : std::string(UnknownPersonReasonText(reason));
  ShowGameEndingNotice(text, false);
}

void CVyrPokePlayTableImp::OnPlayerOffline(uint32_t userId) {
  if (m_dealStarted) return;
  const TablePerson* p = FindPerson(userId);
  if (p == nullptr) return;
  PlaySound("IDW_OFFLINE");
  AddChatLine(LineFormat(kOfflineLineColor),
              FormatLine(kTextPersonOffline, p->nickname, p->username).c_str());
}

// ---------------------------------------------------------------------------------------------
// Persons and what the handlers call

TablePerson* CVyrPokePlayTableImp::FindPerson(uint32_t userId) {
  for (auto& p : m_persons) {
    if (p->id == userId) return p.get();
  }
  return nullptr;
}

TablePerson* CVyrPokePlayTableImp::FindPersonAt(int16_t deskno, int16_t seatno, int16_t status) {
  for (auto& p : m_persons) {
    if (p->deskno == deskno && p->seatno == seatno && p->status == status) return p.get();
  }
  return nullptr;
}

TablePerson* CVyrPokePlayTableImp::GetMe() { return m_myId ? FindPerson(m_myId) : nullptr; }

std::vector<TablePerson*> CVyrPokePlayTableImp::GetPersons() {
  std::vector<TablePerson*> list;
  list.reserve(m_persons.size());
  for (auto& p : m_persons) list.push_back(p.get());
  return list;
}

TablePerson* CVyrPokePlayTableImp::AppendPerson(std::unique_ptr<TablePerson> person) {
  m_persons.push_back(std::move(person));
  return m_persons.back().get();
}

void CVyrPokePlayTableImp::RemovePerson(uint32_t userId) {
  auto it = std::find_if(m_persons.begin(), m_persons.end(),
                         [&](const auto& p) { return p->id == userId; });
  if (it != m_persons.end()) m_persons.erase(it);
}

void CVyrPokePlayTableImp::StoreSessionKey(uint32_t sessionKey, uint32_t outboundSeed,
                                           uint32_t inboundBase) {
  m_session.SessionKey = sessionKey;
  m_session.OutboundSequence = outboundSeed;
  m_receiver.LastInboundSequence = inboundBase;
}

void CVyrPokePlayTableImp::CloseWaitDialog() { m_notices.Close(NoticeKind::WaitBox); }

void CVyrPokePlayTableImp::KillTableTimer(uint32_t timerId) { m_timers.KillTimer(timerId); }

void CVyrPokePlayTableImp::ShowMessageNotice(const char* text, bool closeOnOk) {
  if (closeOnOk) {
    ShowGameEndingNotice(text, false);
    return;
  }
  TableNotice notice;
  notice.kind = NoticeKind::Message;
  notice.text = text;
  m_notices.Show(notice);
}

void CVyrPokePlayTableImp::ShowCountDownNotice(const char* text, uint32_t milliseconds) {
  TableNotice notice;
  notice.kind = NoticeKind::CountDown;
  notice.text = text;
  notice.milliseconds = milliseconds;
  m_notices.Show(notice);
}
