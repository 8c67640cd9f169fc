// The mahjong play table: construction, the controls, the tile codec, the set-up, the sounds,
// the game's timers, magic actions and avatars. The other topics have files of their own:
// mj_play_inbound.cpp (the dispatch and the inbound play), mj_play_recovery.cpp (a hand rebuilt
// after a reconnect), mj_play_actions.cpp (the player's actions and chat) and mj_play_review.cpp
// (the hand record, saved, loaded and replayed).
#include "mj_play_table.h"

#include <algorithm>
#include <chrono>
#include <random>
#include <stdexcept>
#include <string>

#include "line_format.h"
#include "mj_play_table_internal.h"
#include "mj_texts.h"

using namespace mj_play;

namespace {

constexpr int16_t kStatusNotSeated = 5;
// The display's location for a person who does not sit at the table.
constexpr int16_t kLocOffTable = 5;

// The default dice: seeded once for the process.
uint32_t DefaultDie() {
  static std::mt19937 engine(static_cast<uint32_t>(
      std::chrono::system_clock::now().time_since_epoch().count()));
  return engine();
}

}  // namespace

CMjPlayTableImp::CMjPlayTableImp(IVyrSockTransport& socket, ITableTimers& timers,
                                 ITableNotices& notices, SessionSettings& settings,
                                 IMjTableWindow& window, FrameworkSession& session)
    : CVyrPokePlayTableImp(socket, timers, notices, settings, session), m_window(window),
      m_InfoDlg(*this), m_dice(DefaultDie) {}

void CMjPlayTableImp::SetTableControl(IMjTableCalls* table) {
  m_pTable = table;
  SetTableDisplay(table);
}

void CMjPlayTableImp::SetArithmeticControl(IMjArithmeticCalls* arithmetic) {
  m_pArithmetic = arithmetic;
  SetRulesEngine(arithmetic);
}

// A missing control is a null interface: the call fails and ends the operation.
IMjTableCalls& CMjPlayTableImp::Table() {
  if (m_pTable == nullptr) throw std::runtime_error("ITable: E_POINTER");
  return *m_pTable;
}

IMjArithmeticCalls& CMjPlayTableImp::Arithmetic() {
  if (m_pArithmetic == nullptr) throw std::runtime_error("IArithmetic: E_POINTER");
  return *m_pArithmetic;
}

int16_t CMjPlayTableImp::SeatCount() {
  return static_cast<int16_t>(std::clamp<int>(GetSeatsPerTable(), 0, kMjSeats));
}

bool CMjPlayTableImp::IsSeat(int seat) { return seat >= 0 && seat < SeatCount(); }

// ---------------------------------------------------------------------------------------------
// Tile codec

void CMjPlayTableImp::ReportTileCode(const char* format, int code) {
  TableNotice box;
  box.kind = NoticeKind::SystemBox;
  box.text = FormatLine(format, code);
  Notices().Show(box);
}

int16_t CMjPlayTableImp::FromCharsToCards(int16_t count, const uint8_t* codes,
                                          std::vector<card>& out) {
  return DecodeTiles(count, codes, out,
                     [this](int code) { ReportTileCode(kTextBadCodeDecode, code); });
}

int16_t CMjPlayTableImp::FromCardsToChars(int16_t& count, uint8_t* codes,
                                          const std::vector<card>& tiles) {
  return EncodeTiles(count, codes, tiles,
                     [this](int code) { ReportTileCode(kTextBadCodeEncode, code); });
}

void CMjPlayTableImp::FromCharsToCards(int16_t count, const uint8_t* codes, card* cards) {
  if (count <= 0 || codes == nullptr || cards == nullptr) return;
  std::vector<card> tiles;
  FromCharsToCards(count, codes, tiles);
  std::copy(tiles.begin(), tiles.end(), cards);
}

std::vector<card> CMjPlayTableImp::Decode(int16_t count, const uint8_t* codes) {
  std::vector<card> tiles;
  FromCharsToCards(count, codes, tiles);
  return tiles;
}
// ---------------------------------------------------------------------------------------------
// Set-up, sounds

void CMjPlayTableImp::InitArithmetic() {
  Arithmetic().SetSubType(Settings().subType);
  Arithmetic().SetLowFan(Settings().subType == 4 ? 3 : 0);
}

int16_t CMjPlayTableImp::GetMySeatNo() {
  const TablePerson* me = GetMe();
  return me ? me->seatno : 0;
}

void CMjPlayTableImp::PlaySound(const char* name) {
  if (IsSoundOn()) m_window.PlayStyleSound(name);
}

void CMjPlayTableImp::PlaySoundSync(const char* name) {
  if (IsSoundOn()) m_window.PlaySoundSync(name);
}

void CMjPlayTableImp::PlaySoundAsync(const char* name) {
  if (IsSoundOn()) m_window.PlaySoundAsync(name);
}
// ---------------------------------------------------------------------------------------------
// Game timers

int CMjPlayTableImp::OnOwnTimer(uint32_t id) {
  if (Settings().reviewMode || IsGameOver()) {
    if (id == kTimerReplayStep) {
      if (m_nReplayPos < 0 || static_cast<size_t>(m_nReplayPos) >= m_HandRecord.steps.size()) {
        KillTableTimer(kTimerReplayStep);
      }
      const int16_t before = m_nReplayPos;
      ReplayNextStep();
      // A step whose entries ran out stops the replay there: the timer has nothing more to do.
      if (m_nReplayPos == before) KillTableTimer(kTimerReplayStep);
    } else {
      KillTableTimer(id);
    }
    return 1;
  }
  switch (id) {
    case kTimerGame2:
    case kTimerGame5:
      // Ids of the game's own that this game never arms: one that fires anyway is only killed.
      KillTableTimer(id);
      return 1;
    case kTimerCloseFrame:
      KillTableTimer(id);
      ExitGame();
      return 1;
    case kTimerAutoDiscard:
      KillTableTimer(id);
      OnTimeOut(0);
      return 1;
    default:
      return 0;
  }
}
// ---------------------------------------------------------------------------------------------
// Magic actions and avatars

void CMjPlayTableImp::SetAvactItem(int16_t seat, intptr_t item) {
  Guard([&] { Table().SetAvactItem(Loc(seat), item); });
}

void CMjPlayTableImp::PlayMagicAction(int32_t senderId, int32_t receiverId, int32_t, intptr_t item,
                                      const char* text) {
  Guard([&] {
    const TablePerson* sender = FindPerson(static_cast<uint32_t>(senderId));
    if (sender == nullptr) return;  // nobody to play it from
    const bool senderOff = sender->status == kStatusNotSeated;
    // The words are shown as they came (the record keeps them bounded).
    if (receiverId < 1) {
      Table().PlayFlash(senderOff ? kLocOffTable : Loc(sender->seatno), -1, item, text);
      return;
    }
    const TablePerson* receiver = FindPerson(static_cast<uint32_t>(receiverId));
    if (receiver == nullptr) return;
    if (receiver->status == kStatusNotSeated) {
      Table().PlayFlash(kLocOffTable, -1, item, text);
    } else {
      Table().PlayFlash(senderOff ? kLocOffTable : Loc(sender->seatno), Loc(receiver->seatno), item,
                        text);
    }
  });
}

void CMjPlayTableImp::PlayFlashFor(int32_t userId, intptr_t item, const char* text) {
  Guard([&] {
    if (userId == -1) {
      Table().PlayFlash(IsPlayer() ? 0 : kLocOffTable, -1, item, text);
      return;
    }
    const TablePerson* p = FindPerson(static_cast<uint32_t>(userId));
    if (p == nullptr) return;
    if (p->status == kStatusNotSeated) {
      Table().PlayFlash(kLocOffTable, -1, item, text);
    } else {
      Table().PlayFlash(0, Loc(p->seatno), item, text);
    }
  });
}
