// The mahjong play table's player actions: discards, the claims (pass, chi, peng, kong, win),
// the ready declaration, the dice, the deal request and the automatic discard, the rules
// engine's lights on the action buttons, and the player's chat lines.
#include <iterator>
#include <string>
#include <vector>

#include "line_format.h"
#include "mj_play_table_internal.h"
#include "mj_texts.h"

using namespace mj_play;

namespace {

// Only a tile of the set is discarded: a stale selection of the display must not reach the
// server as a tile that does not exist.
bool IsRealTile(const card& c) {
  if (c.m_nColor < 0 || c.m_nColor > 6 || c.m_nValue < 1 || c.m_nValue > 9) return false;
  if (c.m_nValue >= 5) return c.m_nColor <= 2;
  return !(c.m_nValue == 4 && c.m_nColor == 4);
}

// Fills the option board with the n choices the engine offers, each cut to `width` tiles.
template <class TilesOf>
void OfferChoices(CMjInfoDlg& board, int16_t n, size_t width, TilesOf tilesOf) {
  board.ClearOptions();
  for (int16_t i = 0; i < n; ++i) {
    std::vector<card> tiles = tilesOf(i);
    if (tiles.size() > width) tiles.resize(width);
    board.AddOption({tiles});
  }
  board.ShowOptions();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Player actions

void CMjPlayTableImp::PutCodes(char* out, size_t size, const std::vector<card>& tiles,
                               size_t maxCodes) {
  std::memset(out, 0, size);
  std::vector<card> kept(tiles.begin(),
                         tiles.begin() + static_cast<long>(std::min(tiles.size(), maxCodes)));
  int16_t count = 0;
  uint8_t codes[8] = {};
  FromCardsToChars(count, codes, kept);
  std::memcpy(out, codes, static_cast<size_t>(count));
}

void CMjPlayTableImp::SendAction(uint16_t action, const std::vector<card>& tiles,
                                 size_t maxCodes) {
  CMjMessage_Action m;
  m.seat = static_cast<uint16_t>(GetMySeatNo());
  m.action = action;
  PutCodes(m.tiles, sizeof m.tiles, tiles, maxCodes);
  SendRecord(kMjAction, m);
}

void CMjPlayTableImp::OnRequestSend(int16_t count, const card* tiles) {
  if (Settings().reviewMode) return;
  SendCards(count, tiles);
}

void CMjPlayTableImp::SendCards(int16_t count, const card* tiles) {
  Guard([&] {
    if (!IsPlayer() || count <= 0 || tiles == nullptr || !IsRealTile(tiles[0])) return;
    CMjMessage_Discard m;
    m.seat = static_cast<uint16_t>(GetMySeatNo());
    PutCodes(m.tile, sizeof m.tile, std::vector<card>(tiles, tiles + 1), 1);
    SendRecord(kMjDiscard, m);
  });
}

void CMjPlayTableImp::OnGuo() {
  Guard([&] {
    if (!IsPlayer()) return;
    SendAction(kMjActionPass, {}, 0);
    Table().KillScrabble();
  });
}

void CMjPlayTableImp::OnChi() {
  Guard([&] {
    if (!IsPlayer()) return;
    int16_t n = 0;
    Arithmetic().GetEatNum(&n);
    if (n <= 0) return;
    if (n == 1) {
      std::vector<card> tiles;
      Arithmetic().GetEatCards(0, tiles);
      if (tiles.size() >= 3) SendAction(kMjActionChi, tiles, 3);
      return;
    }
    OfferChoices(m_InfoDlg, n, 3, [&](int16_t i) {
      std::vector<card> tiles;
      Arithmetic().GetEatCards(i, tiles);
      return tiles;
    });
  });
}

void CMjPlayTableImp::ChiWithChoice(int16_t index) {
  Guard([&] {
    if (!IsPlayer()) return;
    int16_t n = 0;
    Arithmetic().GetEatNum(&n);
    if (index < 0 || index >= n) return;
    std::vector<card> tiles;
    Arithmetic().GetEatCards(index, tiles);
    if (tiles.size() >= 3) SendAction(kMjActionChi, tiles, 3);
  });
}

void CMjPlayTableImp::OnPeng() {
  Guard([&] {
    if (!IsPlayer()) return;
    std::vector<card> tiles;
    Arithmetic().GetPengCards(tiles);
    if (tiles.size() >= 3) SendAction(kMjActionPeng, tiles, 3);
  });
}

void CMjPlayTableImp::OnGang() {
  Guard([&] {
    if (!IsPlayer()) return;
    int16_t n = 0;
    Arithmetic().GetGangNum(&n);
    if (n <= 0) return;  // no kong on offer: no empty board
    if (n == 1) {
      GangWithChoice(0);
      return;
    }
    OfferChoices(m_InfoDlg, n, 4, [&](int16_t i) {
      std::vector<card> tiles;
      int16_t kind = -1;
      Arithmetic().GetGangCards(i, tiles, &kind);
      return tiles;
    });
  });
}

void CMjPlayTableImp::GangWithChoice(int16_t index) {
  Guard([&] {
    if (!IsPlayer()) return;
    std::vector<card> tiles;
    int16_t kind = -1;
    Arithmetic().GetGangCards(index, tiles, &kind);
    if (tiles.size() < 4) return;
    switch (kind) {
      case 3:
      case 1: {
        CMjMessage_Gang m;
        m.seat = static_cast<uint16_t>(GetMySeatNo());
        PutCodes(m.tiles, sizeof m.tiles, tiles, 5);
        SendRecord(kind == 3 ? kMjGang : kMjGang2, m);
        break;
      }
      case 2:
        SendAction(kMjActionGangOnDiscard, tiles, 5);
        break;
      default:
        break;
    }
  });
}

void CMjPlayTableImp::OnHuDeclare() {
  Guard([&] {
    if (!IsPlayer()) return;
    int16_t type = 0;
    Arithmetic().GetHuType(&type);
    int16_t color = 0, value = 0;
    if (type == 2) {
      Arithmetic().GetCurrentSended(&color, &value);
      SendAction(kMjActionHuOnDiscard, {card{color, value}}, 1);
    } else if (type == 1) {
      Arithmetic().GetCurrentMo(&color, &value);
      CMjMessage_HuRequest m;
      m.seat = static_cast<uint16_t>(GetMySeatNo());
      PutCodes(m.tile, sizeof m.tile, {card{color, value}}, 1);
      SendRecord(kMjHuRequest, m);
    } else {
      TableNotice box;
      box.kind = NoticeKind::SystemBox;
      box.text = kTextFalseHu;
      Notices().Show(box);
    }
  });
}

void CMjPlayTableImp::OnTingDeclare() {
  Guard([&] {
    if (!IsPlayer()) return;
    CMjMessage_Ting m;
    m.seat = static_cast<uint16_t>(GetMySeatNo());
    m.word = 1;
    SendRecord(kMjTing, m);
  });
}

void CMjPlayTableImp::ThrowDice() {
  Guard([&] {
    if (!IsPlayer()) return;
    int16_t bankerLoc = 0;
    Arithmetic().GetBanker(&bankerLoc);
    int16_t thrown = 0;
    Arithmetic().GetDiceNum(&thrown);
    CMjMessage_Dice m;
    m.seat = static_cast<uint16_t>(GetMySeatNo());
    m.die1 = static_cast<uint16_t>(m_dice() % 6 + 1);
    m.die2 = static_cast<uint16_t>(m_dice() % 6 + 1);
    if (thrown > 0) {
      m.nextSeat = -1;
    } else {
      const bool odd = (m.die1 + m.die2) % 2 == 1;
      const int16_t target = odd ? bankerLoc : static_cast<int16_t>(bankerLoc == 0 ? 1 : 0);
      m.nextSeat = GetSeatNoFromLoc(target);
    }
    SendRecord(kMjDice, m);
  });
}

void CMjPlayTableImp::RequestDeal() {
  Guard([&] {
    if (!IsPlayer()) return;
    CMjMessage_Control m;
    m.seat = static_cast<uint16_t>(GetMySeatNo());
    m.code = CMjMessage_Control::kReadyForDeal;
    SendRecord(kMjControl, m);
  });
}

void CMjPlayTableImp::AutoSend() {
  if (!IsPlayer()) return;
  std::vector<card> tiles;
  Arithmetic().AutoSendCards(tiles);
  if (!tiles.empty()) SendCards(1, tiles.data());
}

bool CMjPlayTableImp::RefusesChat() {
  const TablePerson* me = GetMe();
  if (me == nullptr || !me->IsChatForbidden()) return false;
  PlaySound("IDW_FAIL");
  ShowCountDownNotice(kTextChatForbidden, kChatForbiddenNoticeTime);
  return true;
}

void CMjPlayTableImp::SendChat(const ChatTextFormat& format, int32_t whisper, const char* text) {
  if (GetMe() == nullptr || text == nullptr || RefusesChat()) return;
  ChatHostCore* chat = InDeskChat();
  if (chat == nullptr) return;
  chat->SendInDeskChat(format, whisper, text);
  StartKeepAlive();
}

void CMjPlayTableImp::SendTypedChat(const ChatTextFormat& format, int32_t whisper,
                                    const char* text) {
  if (text == nullptr || RefusesChat()) return;
  ChatHostCore* chat = InDeskChat();
  if (chat == nullptr) return;
  if (IsHandStarted()) {
    StartKeepAlive();
    chat->SendInDeskChat(format, whisper, text);
  } else {
    chat->SendInDeskChatOnStart(format, whisper, text);
  }
}

void CMjPlayTableImp::OnRulesLight(MjLight light, int16_t on) {
  static constexpr void (IMjTableCalls::*kButtons[])(int16_t) = {
      &IMjTableCalls::LightSend, &IMjTableCalls::LightTing, &IMjTableCalls::LightChi,
      &IMjTableCalls::LightPeng, &IMjTableCalls::LightGang, &IMjTableCalls::LightHu,
      &IMjTableCalls::LightGuo};
  const auto index = static_cast<size_t>(light);
  if (Settings().reviewMode || index >= std::size(kButtons)) return;
  (Table().*kButtons[index])(on);
}
