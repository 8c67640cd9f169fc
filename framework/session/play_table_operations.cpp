// The table operations of the base play table: time-outs, cards, the deal, the end of the
// network game, waits for paired tables and magic actions.
#include "vyr_poke_play_table.h"

#include <vector>

#include "framework_messages.h"
#include "play_table_texts.h"
#include "playing_card_codec.h"

namespace {

constexpr uint32_t kWaitOtherTablesTime = 90000;

}  // namespace

void CVyrPokePlayTableImp::FromCharsToCards(int16_t count, const uint8_t* codes, card* cards) {
  std::vector<std::string> complaints;
  PlayingCardsFromCodes(count, codes, cards, complaints);
  for (const std::string& text : complaints) ShowMessageNotice(text.c_str(), false);
}

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
    // The game is over: no later frame re-arms a watchdog that would reconnect it.
    m_gameOver = 1;
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
