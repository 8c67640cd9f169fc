// The play table's session: where the platform calls in (creation, the socket's connect and
// receive events, the window timers), the lost connection, and the receive path with its
// reconnects.
#include "vyr_poke_play_table.h"

#include "play_table_texts.h"

namespace {

constexpr uint32_t kWaitBoxTime = 150000;
constexpr uint32_t kConnectFailedTime = 2000;
constexpr int32_t kSocketTimeOut = 60000;

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
    if (result == 0) {
      TableNotice notice;
      notice.kind = NoticeKind::CountDown;
      notice.text = kTextServerConnectFailed;
      notice.milliseconds = kConnectFailedTime;
      m_notices.Show(notice);
      return;
    }
    if (result != 1) return;  // no outcome the table knows
    if (GetMe() == nullptr) {
      // Nobody to join the table as: a join naming nobody is not sent.
      CloseSocket();
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
  if (m_gameOver) {
    LeaveFinishedConnection();
    return;
  }
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
      m_headerRequested = false;
      const bool outer = m_dispatching;
      m_dispatching = true;
      const MessageAnswer answer = DispatchMessage(step.id, step.body, step.bodyLength);
      m_dispatching = outer;
      // The next header is asked for here alone, once, whatever happened to the message, unless
      // the handling closed the connection (the next connect asks for it) or a delivery handled
      // meanwhile already asked.
      if (answer != MessageAnswer::Closed && !m_headerRequested) RequestNextHeader();
      break;
    }
    default:
      OnReceiveFailure(step);
      break;
  }
}

MessageAnswer CVyrPokePlayTableImp::DispatchMessage(uint16_t id, const uint8_t* body,
                                                    size_t bodyLength) {
  const uint32_t closes = m_closeCount;
  MessageAnswer answer = MessageAnswer::Taken;
  try {
    answer = OnServerMessage(id, body, bodyLength);
    if (answer == MessageAnswer::NotMine) answer = OnChatMessage(id, body, bodyLength);
    if (answer == MessageAnswer::NotMine) answer = OnGameMessage(id, body, bodyLength);
  } catch (...) {
    // A failing control ends that message's handling; the receiving goes on.
  }
  // Every close goes through CloseSocket: a handler that closed the connection, whatever it
  // answered or threw, leaves it closed.
  return closes == m_closeCount ? answer : MessageAnswer::Closed;
}

MessageAnswer CVyrPokePlayTableImp::OnChatMessage(uint16_t, const uint8_t*, size_t) {
  return MessageAnswer::NotMine;
}
MessageAnswer CVyrPokePlayTableImp::OnGameMessage(uint16_t, const uint8_t*, size_t) {
  return MessageAnswer::NotMine;
}

void CVyrPokePlayTableImp::OnReceiveFailure(const ReceiveStep& step) {
  if (m_gameOver) {
    LeaveFinishedConnection();
    return;
  }
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

// A finished game is not reconnected: a connection that breaks after its ending notice is closed
// and left so (only 3002 reporting the player back on line reopens a game, and it comes on a
// working connection).
void CVyrPokePlayTableImp::LeaveFinishedConnection() {
  KillKeepAlives();
  KillWatchdogs();
  CloseSocket();
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
