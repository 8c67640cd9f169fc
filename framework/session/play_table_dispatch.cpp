// The play table's framework dispatch with its steps around the handlers, and its timers: the
// watchdogs, the keep-alive, the request for the next header, sending, closing and the
// game-ending notice.
#include "vyr_poke_play_table.h"

#include "framework_handlers.h"
#include "framework_messages.h"
#include "play_table_texts.h"

MessageAnswer CVyrPokePlayTableImp::OnServerMessage(uint16_t id, const uint8_t* body,
                                                    size_t bodyLength) {
  if (HandleFrameworkMessage(id, body, bodyLength, *this) == FrameworkHandling::NotFramework) {
    return MessageAnswer::NotMine;
  }
  // Magic actions are shown here and still offered to the chat and game dispatches.
  if (id == kMagicAction || id == kMagicActionRefused) return MessageAnswer::NotMine;
  return MessageAnswer::Taken;
}

void CVyrPokePlayTableImp::BeforePersonState(const CVyrMessage_PersonState& m) {
  const TablePerson* me = GetMe();
  if (me && me->id == m.userId && (m.state == 4 || m.state == 6)) {
    m_timers.SetTimer(kTimerReconnectWatchdog, kWatchdogPeriod);
  }
}

bool CVyrPokePlayTableImp::BeforeGameAbort() {
  m_timers.KillTimer(kTimerReconnectWatchdog);
  m_timers.KillTimer(kTimerJoinWatchdog);
  m_timers.KillTimer(kTimerSilenceWatchdog);
  m_timers.SetTimer(kTimerSilenceWatchdog, kWatchdogPeriod);
  return !m_ignoreGameData;
}

void CVyrPokePlayTableImp::BeforePersonLists() {
  m_timers.KillTimer(kTimerReconnectWatchdog);
  m_timers.KillTimer(kTimerJoinWatchdog);
}

void CVyrPokePlayTableImp::AfterSessionStart() {
  MessageBuffer keepAlive;
  CVyrMessage_KeepAlive::Pack(keepAlive, m_session);
  SendFrame(keepAlive);
  m_timers.KillTimer(kTimerSilenceWatchdog);
  m_timers.SetTimer(kTimerSilenceWatchdog, kWatchdogPeriod);
  StartKeepAlive();
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
  // One request per received body: a connect while a message is handled (a modal notice lets
  // the timers run) that finds the next header already asked for does not ask again.
  if (m_dispatching && m_headerRequested) return;
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
