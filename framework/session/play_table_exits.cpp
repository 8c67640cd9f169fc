// The play table's exits: exit requests and answers, leaving, and the notices of players who
// leave, are refused or go off line.
#include "vyr_poke_play_table.h"

#include <iterator>
#include <string>

#include "framework_messages.h"
#include "line_format.h"
#include "person_records.h"
#include "play_table_texts.h"

namespace {

constexpr int32_t kLeaveLineColor = 0x8000;
constexpr int32_t kOfflineLineColor = 255;
constexpr uint32_t kExitQuestionTime = 4000;
constexpr uint32_t kExitRefusedTime = 2000;

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

}  // namespace

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
