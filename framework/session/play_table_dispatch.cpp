// The play table's framework dispatch and timers: the watchdogs, the keep-alive, the request
// for the next header, sending, closing and the game-ending notice.
#include "vyr_poke_play_table.h"

#include "framework_handlers.h"
#include "framework_messages.h"
#include "play_table_texts.h"

namespace {

bool IsRosterOrAvatarList(uint16_t id) {
  return FamilyMember(id, kTableRosterBase) >= 0 || FamilyMember(id, kAvatarListBase) >= 0;
}

}  // namespace

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
  // One request per received body: a layer that takes a message the framework already asked
  // the next header for (3040, 3041 are offered on after that) does not ask again.
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
