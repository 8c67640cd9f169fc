// The play table's person list and the operations the framework handlers call on the table.
#include "vyr_poke_play_table.h"

#include <algorithm>

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
  if (m_persons.size() >= kMaxTablePersons) return nullptr;
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
void CVyrPokePlayTableImp::SetTableTimer(uint32_t timerId, uint32_t milliseconds) {
  m_timers.SetTimer(timerId, milliseconds);
}

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
