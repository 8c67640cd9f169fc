#include "mj_play_table.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "chat_messages.h"
#include "line_format.h"
#include "mj_hand_file.h"
#include "mj_texts.h"
#include "tile_codec.h"

namespace {

constexpr int16_t kStatusPlaying = 4;
constexpr int16_t kStatusNotSeated = 5;
// The display's location for a person who does not sit at the table.
constexpr int16_t kLocOffTable = 5;
// Tiles a concealed hand can hold (the widest hand string of the snapshots); larger counts from
// the wire are cut to it.
constexpr int16_t kMaxHandTiles = 20;

const uint8_t* Bytes(const char* codes) { return reinterpret_cast<const uint8_t*>(codes); }

template <size_t N>
int16_t Length(const char (&codes)[N]) { return TileStringLength(codes); }

int16_t ClampCount(int32_t count) {
  return static_cast<int16_t>(std::clamp<int32_t>(count, 0, kMaxHandTiles));
}

// Only a tile of the set is discarded: a stale selection of the display must not reach the
// server as a tile that does not exist.
bool IsRealTile(const card& c) {
  if (c.m_nColor < 0 || c.m_nColor > 6 || c.m_nValue < 1 || c.m_nValue > 9) return false;
  if (c.m_nValue >= 5) return c.m_nColor <= 2;
  return !(c.m_nValue == 4 && c.m_nColor == 4);
}

// Whether a 654 snapshot lists its last discard twice: once on its own and once at the end of
// its seat's discards. A discard equal to the one before it is common, so the tile alone does
// not tell; the counts do. Every tile taken from the wall lies at a seat, in a hand, a meld or
// the discards, and the snapshot counts both sides: when the seats already hold every tile
// taken, the offered discard is among them. Counts that add up neither way keep the discards.
bool LastDiscardListedTwice(const CMjMessage_Resume4& s, int16_t me) {
  if (s.lastSeat >= kMjSeats || s.lastTile[0] == '\0') return false;
  const int16_t listed = Length(s.discards[s.lastSeat]);
  if (listed == 0 || s.discards[s.lastSeat][listed - 1] != s.lastTile[0]) return false;
  int32_t atSeats = 0;
  for (int16_t seat = 0; seat < kMjSeats; ++seat) {
    atSeats += seat == me ? Length(s.myHand) : ClampCount(s.handCount[seat]);
    atSeats += Length(s.discards[seat]) + Length(s.melds[seat]) + Length(s.kongs[seat]) +
               Length(s.hiddenKongs[seat]);
  }
  return atSeats == int32_t{s.head.frontCount} + int32_t{s.head.backCount};
}

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

template <class Body>
void CMjPlayTableImp::Guard(Body body) {
  try {
    body();
  } catch (...) {
    // A failing control call ends the action; the table goes on.
  }
}

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
// The mahjong dispatch

MessageAnswer CMjPlayTableImp::OnGameMessage(uint16_t id, const uint8_t* body,
                                             size_t bodyLength) {
  const size_t size = MjBodySize(id);
  if (size == 0) return MessageAnswer::NotMine;
  // Bodies shorter than their record are not read.
  if (bodyLength < size) return MessageAnswer::NotMine;
  const bool recovery = id >= kMjResume1 && id <= kMjResume5;
  if (IgnoresGameData() && id != kMjControl && !recovery) return MessageAnswer::NotMine;
  const MessageAnswer answer = RunMjMessage(id, body, bodyLength);
  if (answer == MessageAnswer::Taken && recovery) KillTableTimer(kTimerReconnectWatchdog);
  return answer;
}

MessageAnswer CMjPlayTableImp::RunMjMessage(uint16_t id, const uint8_t* body, size_t bodyLength) {
  const bool record = Recording();
  switch (id) {
    case kMjBankerAndWall: {
      CMjMessage_BankerAndWall m;
      ReadRecord(body, bodyLength, m);
      if (!OnBankerAndWall(m)) return MessageAnswer::NotMine;
      break;
    }
    case kMjControl: {
      CMjMessage_Control m;
      ReadRecord(body, bodyLength, m);
      return OnControl(m);
    }
    case kMjStartDice: {
      CMjMessage_StartDice m;
      ReadRecord(body, bodyLength, m);
      if (!IsSeat(m.seat)) return MessageAnswer::NotMine;
      Table().StartDice(Loc(static_cast<int16_t>(m.seat)));
      SetInProgress(1);
      break;
    }
    case kMjDice: {
      CMjMessage_Dice m;
      ReadRecord(body, bodyLength, m);
      if (!IsSeat(m.seat) || (m.nextSeat != -1 && !IsSeat(m.nextSeat))) return MessageAnswer::NotMine;
      ShowDice(static_cast<int16_t>(m.seat), m.nextSeat, static_cast<int16_t>(m.die1),
               static_cast<int16_t>(m.die2));
      break;
    }
    case kMjDeal: {
      CMjMessage_Deal m;
      ReadRecord(body, bodyLength, m);
      if (!OnDeal(m)) return MessageAnswer::NotMine;
      if (record) m_HandRecord.deal = m;
      break;
    }
    case kMjDiscard: {
      CMjMessage_Discard m;
      ReadRecord(body, bodyLength, m);
      // A discard is one tile; without a code there is nothing to show.
      if (!IsSeat(m.seat) || m.tile[0] == '\0') return MessageAnswer::NotMine;
      OnRecvCards(static_cast<int16_t>(m.seat), -1, -1, 1, Bytes(m.tile));
      if (record) m_HandRecord.Append(kStepDiscard, m_HandRecord.discards, m);
      break;
    }
    case kMjDraw: {
      CMjMessage_Draw m;
      ReadRecord(body, bodyLength, m);
      if (!OnDraw(m)) return MessageAnswer::NotMine;
      if (record) m_HandRecord.Append(kStepDraw, m_HandRecord.draws, m);
      break;
    }
    case kMjMeld: {
      CMjMessage_Meld m;
      ReadRecord(body, bodyLength, m);
      if (!IsSeat(m.seat)) return MessageAnswer::NotMine;
      if (m.kind == 1 || m.kind == 2) {
        ShowMeld(static_cast<int16_t>(m.seat), static_cast<int16_t>(m.kind), Length(m.tiles),
                 Bytes(m.tiles));
      }
      if (record) m_HandRecord.Append(kStepMeld, m_HandRecord.melds, m);
      break;
    }
    case kMjMeldDraw:
    case kMjGangDraw:
    case kMjGangDraw2: {
      CMjMessage_KongDraw m;
      ReadRecord(body, bodyLength, m);
      if (!OnKongDraw(id, m)) return MessageAnswer::NotMine;
      break;
    }
    case kMjHuResult: {
      CMjMessage_HuResult m;
      ReadRecord(body, bodyLength, m);
      if (!IsSeat(m.winnerSeat) || (m.huType != 1 && !IsSeat(m.discarderSeat))) return MessageAnswer::NotMine;
      OnHu(m);
      if (record) m_HandRecord.AppendWin(m);
      break;
    }
    case kMjWallEmpty: {
      CMjMessage_WallEmpty m;
      ReadRecord(body, bodyLength, m);
      OnWallEmpty();
      if (record) m_HandRecord.AppendWallEmpty(m);
      break;
    }
    case kMjTing: {
      CMjMessage_Ting m;
      ReadRecord(body, bodyLength, m);
      if (!IsSeat(m.seat)) return MessageAnswer::NotMine;
      OnTing(static_cast<int16_t>(m.seat));
      if (record) m_HandRecord.Append(kStepTing, m_HandRecord.tings, m);
      break;
    }
    case kMjScoreInfo: {
      CMjMessage_ScoreInfo m;
      ReadRecord(body, bodyLength, m);
      ShowScoreInfo(m);
      break;
    }
    case kMjResume1: {
      CMjMessage_Resume1 m;
      ReadRecord(body, bodyLength, m);
      if (!IsSeat(m.bankerSeat)) return MessageAnswer::NotMine;
      OnRecover1(m);
      break;
    }
    case kMjResume2: {
      CMjMessage_Resume2 m;
      ReadRecord(body, bodyLength, m);
      if (!IsSeat(m.bankerSeat) || (m.diceThrown && m.nextSeat != -1 && !IsSeat(m.nextSeat))) {
        return MessageAnswer::NotMine;
      }
      OnRecover2(m);
      break;
    }
    case kMjResume3: {
      CMjMessage_Resume3 m;
      ReadRecord(body, bodyLength, m);
      if (!CheckSnapshotSeats(m) || !IsSeat(m.turnSeat)) return MessageAnswer::NotMine;
      OnRecover3(m);
      if (record) {
        m_HandRecord.Reset();
        m_HandRecord.stage = kStageFromTurn;
        m_HandRecord.snapshot3 = m;
      }
      break;
    }
    case kMjResume4: {
      CMjMessage_Resume4 m;
      ReadRecord(body, bodyLength, m);
      if (!CheckSnapshotSeats(m) || !IsSeat(m.lastSeat)) return MessageAnswer::NotMine;
      OnRecover4(m);
      if (record) {
        m_HandRecord.Reset();
        m_HandRecord.stage = kStageFromDiscard;
        m_HandRecord.snapshot4 = m;
      }
      break;
    }
    case kMjResume5: {
      CMjMessage_Resume5 m;
      ReadRecord(body, bodyLength, m);
      if (!CheckSnapshotSeats(m) || !IsSeat(m.winnerSeat) ||
          (m.huType != 1 && !IsSeat(m.discarderSeat))) {
        return MessageAnswer::NotMine;
      }
      OnRecover5(m);
      break;
    }
    default:
      // Outbound-only ids are not taken from the server.
      return MessageAnswer::NotMine;
  }
  return MessageAnswer::Taken;
}

bool CMjPlayTableImp::OnBankerAndWall(const CMjMessage_BankerAndWall& m) {
  if (!IsSeat(m.bankerSeat)) return false;
  OnHandStart(static_cast<int16_t>(m.handNo), static_cast<int16_t>(m.more));
  const int16_t l = Loc(static_cast<int16_t>(m.bankerSeat));
  StartOneHand(l);
  Table().InitWall_InTimer(static_cast<int16_t>(m.wallSize));
  Table().SetBanker(l, -1);
  Arithmetic().SetBanker(l, -1);
  if (Recording()) {
    m_HandRecord.hand = static_cast<int16_t>(m.handNo);
    m_HandRecord.banker = static_cast<int16_t>(m.bankerSeat);
    m_HandRecord.wallSize = static_cast<int16_t>(m.wallSize);
    m_HandRecord.stage = kStageFromDeal;
  }
  return true;
}

MessageAnswer CMjPlayTableImp::OnControl(const CMjMessage_Control& m) {
  if (m.code == CMjMessage_Control::kVersionRefused) {
    OnVersionRefused(static_cast<int16_t>(m.seat));
    return MessageAnswer::Closed;
  }
  if (!IsSeat(m.seat)) return MessageAnswer::NotMine;
  StartGame(static_cast<int16_t>(m.seat));
  return MessageAnswer::Taken;
}

// The server refuses this client's version: the game ends for the table.
void CMjPlayTableImp::OnVersionRefused(int16_t seat) {
  SetGameOverFlag(1);
  const TablePerson* me = GetMe();
  const TablePerson* p = FindPersonAt(me ? me->deskno : -1, seat, kStatusPlaying);
  if (p) {
    const std::string line = FormatLine(kTextVersionRefusedChat, p->nickname, p->username);
    SendChat(ChatTextFormat{}, 0, line.c_str());
    ShowMessageNotice(FormatLine(kTextVersionRefused, p->nickname, p->username).c_str(), true);
  }
  SendExit(0);
  CloseSocket();
}

bool CMjPlayTableImp::OnDeal(const CMjMessage_Deal& m) {
  if (!IsSeat(m.wallSeat)) return false;
  OnDealMyCards(Length(m.myTiles), Bytes(m.myTiles));
  int16_t bankerLoc = -1;
  Arithmetic().GetBanker(&bankerLoc);
  const int16_t bankerSeat = (bankerLoc >= 0 && bankerLoc < GetSeatsPerTable())
                                 ? GetSeatNoFromLoc(bankerLoc)
                                 : static_cast<int16_t>(-1);
  const int16_t me = GetMySeatNo();
  for (int16_t s = 0; s < SeatCount(); ++s) {
    if (s != me) ShowDealCount(s, ClampCount(m.dealCount[s]), bankerSeat);
  }
  Table().SetFirstPosition_InWall(Loc(static_cast<int16_t>(m.wallSeat)),
                                  static_cast<int16_t>(m.wallPosition - 1));
  RemoveFromWall(m.frontCount, m.backCount);
  return true;
}

bool CMjPlayTableImp::OnDraw(const CMjMessage_Draw& m) {
  if (!IsSeat(m.seat)) return false;
  ShowDraw(static_cast<int16_t>(m.seat), 1, Bytes(m.tile), 0, nullptr, 0);
  RemoveFromWall(m.frontCount, m.backCount);
  if (m.tilesLeft == 0) {
    Arithmetic().SetLastBz();
    CheckLastTile();
  }
  return true;
}

bool CMjPlayTableImp::OnKongDraw(uint16_t id, const CMjMessage_KongDraw& m) {
  if (!IsSeat(m.seat)) return false;
  const auto seat = static_cast<int16_t>(m.seat);
  const KongOfMessage* kong = nullptr;
  for (const KongOfMessage& k : kKongMessages) {
    if (k.id == id) kong = &k;
  }
  if (kong == nullptr) return false;
  if (kong->meldKind < 0) {
    ShowConcealedKong(seat, Length(m.kong), Bytes(m.kong));
  } else {
    ShowMeld(seat, kong->meldKind, Length(m.kong), Bytes(m.kong));
  }
  ShowDraw(seat, 1, Bytes(m.tile), 0, nullptr, 1);
  RemoveFromWall(m.frontCount, m.backCount);
  if (m.tilesLeft == 0) CheckLastTile();
  if (Recording()) {
    m_HandRecord.Append(static_cast<MjStepKind>(kong->stepKind), m_HandRecord.kongs, m);
  }
  return true;
}

void CMjPlayTableImp::RemoveFromWall(int16_t frontCount, int16_t backCount) {
  if (frontCount > 0) Table().DeleteCardsFromWall(frontCount, 0);
  if (backCount > 0) Table().DeleteCardsFromWall(backCount, 1);
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
// Inbound play

void CMjPlayTableImp::OnHandStart(int16_t handNo, int16_t more) {
  SetHandStarted(1);
  SetInProgress(0);
  if (more != 0) {
    Table().ResetTable();
    Arithmetic().SetHandNo(handNo);
    ResetExitRequests();
    Table().StartDeal();
  } else {
    SetGameOverFlag(1);
    ShowCountDownNotice(kTextGameOver, kGameOverNoticeTime);
  }
}

void CMjPlayTableImp::StartOneHand(int16_t loc) {
  // The engine is told the banker's location as it is (it does not read it).
  if (IsPlayer()) Arithmetic().StartOneHand(-1, loc);
  Table().StartOneHand();
  m_nGangCount[0] = m_nGangCount[1] = 0;
}

void CMjPlayTableImp::StartGame(int16_t seat) { Table().StartGame(Loc(seat)); }

void CMjPlayTableImp::StartOneTrick() { Table().HideButtons(); }

void CMjPlayTableImp::OnDealMyCards(int16_t count, const uint8_t* codes) {
  if (Recording()) m_HandRecord.Reset();
  int16_t bankerLoc = -1;
  Arithmetic().GetBanker(&bankerLoc);
  if (bankerLoc != 0) {
    AddMyTilesInDeal(count, codes);
  } else if (count >= 1) {
    // The dealer holds one tile more: it shows as the drawn tile.
    AddMyTilesInDeal(static_cast<int16_t>(count - 1), codes);
    ShowDrawHidden(GetMySeatNo(), 1, codes + count - 1, 0, nullptr, 0);
  }
}

void CMjPlayTableImp::AddMyTilesInDeal(int16_t count, const uint8_t* codes) {
  if (count <= 0) return;
  if (IsPlayer()) SetInProgress(1);
  const std::vector<card> tiles = Decode(count, codes);
  Table().AddCardsToMyHandWithSort_InTimer(count, tiles.data());
  if (IsPlayer()) Arithmetic().AddCardsToMyHand(count, tiles.data());
}

void CMjPlayTableImp::ShowDealCount(int16_t seat, int16_t count, int16_t bankerSeat) {
  const int16_t l = Loc(seat);
  if (seat == bankerSeat && count >= 1) {
    Table().SetDealNum_InTimer(l, static_cast<int16_t>(count - 1));
    Table().AddCardToCurrentWithoutShow(l, 0, 0);
  } else {
    Table().SetDealNum_InTimer(l, count);
  }
}

void CMjPlayTableImp::ShowDealCountNow(int16_t seat, int16_t count, int16_t bankerSeat) {
  const int16_t l = Loc(seat);
  if (seat == bankerSeat && count >= 1) {
    Table().SetDealNum(l, static_cast<int16_t>(count - 1));
    Table().AddCardToCurrent(l, 0, 0);
  } else {
    Table().SetDealNum(l, count);
  }
}

void CMjPlayTableImp::ShowDraw(int16_t seat, int16_t count, const uint8_t* codes,
                               int16_t exposeCount, const uint8_t* exposeCodes, int afterKong) {
  ShowDrawWith(true, seat, count, codes, exposeCount, exposeCodes, afterKong);
}

void CMjPlayTableImp::ShowDrawHidden(int16_t seat, int16_t count, const uint8_t* codes,
                                     int16_t exposeCount, const uint8_t* exposeCodes,
                                     int afterKong) {
  ShowDrawWith(false, seat, count, codes, exposeCount, exposeCodes, afterKong);
}

void CMjPlayTableImp::ShowDrawWith(bool show, int16_t seat, int16_t count, const uint8_t* codes,
                                   int16_t exposeCount, const uint8_t* exposeCodes,
                                   int afterKong) {
  if (exposeCount > 0) ExposeHand(seat, exposeCount, exposeCodes);
  const int16_t l = Loc(seat);
  auto current = [&](int16_t color, int16_t value) {
    if (show) {
      Table().AddCardToCurrent(l, color, value);
    } else {
      Table().AddCardToCurrentWithoutShow(l, color, value);
    }
  };
  if (IsMe(seat)) {
    // The own draw needs its tile: a draw without a code has nothing to add.
    if (count <= 0 || codes == nullptr || codes[0] == 0) return;
    const std::vector<card> tiles = Decode(count, codes);
    const auto color = static_cast<int16_t>(tiles[0].m_nColor);
    const auto value = static_cast<int16_t>(tiles[0].m_nValue);
    current(color, value);
    Arithmetic().AddCardsToMyHand(count, tiles.data());
    if (afterKong) {
      Arithmetic().SetCardAfterGang(color, value);
    } else {
      Arithmetic().SetCardAfterGang(-1, -1);
    }
    Table().LightTing(0);
    if (count == 1) PlaySound("IDW_ISYOU");
  } else {
    int16_t may = 0;
    Arithmetic().IsDeclareListen(&may);
    Table().LightTing(may == 1 ? 1 : 0);
    current(-1, -1);
  }
}

void CMjPlayTableImp::OnRecvCards(int16_t seat, int16_t maxloc, int16_t nextloc, int16_t count,
                                  const uint8_t* codes) {
  if (count <= 0) return;
  const std::vector<card> tiles = Decode(count, codes);
  const int16_t l = Loc(seat);
  Table().SetRecvCards(l, count, tiles.data(), 0, 1, 0, 0);
  Arithmetic().SetRecvCards(l, maxloc, nextloc, count, tiles.data());
  PlaySoundSync("IDW_SEND");
}

void CMjPlayTableImp::ShowMeld(int16_t seat, int16_t kind, int16_t count, const uint8_t* codes) {
  int16_t type = 0;
  const char* sound = nullptr;
  const char* echo = nullptr;
  switch (kind) {
    case 1: type = 1; sound = "IDW_CHI"; echo = "IDW_CHI1"; break;
    case 2: type = 1; sound = "IDW_PENG"; echo = "IDW_PENG1"; break;
    case 3: type = 4; sound = "IDW_GANG"; echo = "IDW_GANG1"; break;
    case 5: type = 5; sound = "IDW_GANG"; echo = "IDW_GANG1"; break;
    default: return;
  }
  const int16_t l = Loc(seat);
  const std::vector<card> tiles = count > 0 ? Decode(count, codes) : std::vector<card>{};
  const card* array = tiles.empty() ? nullptr : tiles.data();
  const auto n = static_cast<int16_t>(tiles.size());
  Table().ExposeCard(l, type, n, array);
  Arithmetic().ExposeCard(l, type, n, array);
  if ((kind == 3 || kind == 5) && seat >= 0 && seat < kMjSeats) ++m_nGangCount[seat];
  PlaySoundSync(sound);
  PlaySoundAsync(echo);
}

void CMjPlayTableImp::ShowConcealedKong(int16_t seat, int16_t count, const uint8_t* codes) {
  if (count > 0) {
    const int16_t l = Loc(seat);
    const std::vector<card> tiles = Decode(count, codes);
    Table().ExposeCard(l, 3, count, tiles.data());
    Arithmetic().ExposeCard(l, 3, count, tiles.data());
  }
  PlaySoundSync("IDW_GANG");
  PlaySoundAsync("IDW_GANG1");
}

void CMjPlayTableImp::ShowDice(int16_t seat, int16_t targetSeat, int16_t die1, int16_t die2) {
  const int16_t l = Loc(seat);
  if (targetSeat == -1) {
    Table().StartDice(-1);
    Table().SetFirstPosition_InWall(l, static_cast<int16_t>(die1 + die2 - 3));
  } else {
    Table().SetDice(l, static_cast<int16_t>(die1 - 1), static_cast<int16_t>(die2 - 1));
    Table().StartDice(Loc(targetSeat));
    Arithmetic().SetDice(l);
  }
  PlaySoundSync("IDW_DICE");
}

void CMjPlayTableImp::OnTing(int16_t seat) {
  Table().SetTingStatus(Loc(seat), 1);
  if (IsMe(seat)) Arithmetic().SetTingStatus(1);
  PlaySoundSync("IDW_TING");
  PlaySoundAsync("IDW_TING1");
}

void CMjPlayTableImp::OnWallEmpty() {
  // No score message follows a drawn hand: the hand ends here, with no action button lit.
  SetInProgress(0);
  Table().ShowButtons();
  ShowCountDownNotice(kTextWallEmpty, kWallEmptyNoticeTime);
}

void CMjPlayTableImp::CheckLastTile() {
  if (!IsPlayer()) return;
  int16_t bankerLoc = -1;
  Arithmetic().GetBanker(&bankerLoc);
  int16_t canWin = 0;
  Arithmetic().IsHuPai(&canWin);
  if (canWin != 0) return;  // the engine declares the win itself
  CMjMessage_WallEmpty m;
  m.seat = static_cast<uint16_t>(GetMySeatNo());
  m.word = static_cast<uint16_t>(GetSeatNoFromLoc(bankerLoc == 0 ? 1 : 0));
  SendRecord(kMjWallEmpty, m);
}

void CMjPlayTableImp::ExposeHand(int16_t seat, int16_t count, const uint8_t* codes) {
  const std::vector<card> tiles = Decode(count, codes);
  const int16_t l = Loc(seat);
  const auto n = static_cast<int16_t>(tiles.size());
  Table().ExposeCard(l, 2, n, tiles.data());
  Arithmetic().ExposeCard(l, 2, n, tiles.data());
}

void CMjPlayTableImp::OnHu(const CMjMessage_HuResult& result) {
  if (!IsSeat(result.winnerSeat)) return;
  Table().StartChoice(-1);
  Table().DeleteAllHideGang();
  for (int16_t s = 0; s < SeatCount(); ++s) {
    const int16_t n = Length(result.hiddenKongs[s]);
    if (n > 0) RestoreMeldsOnTable(s, 3, n, Bytes(result.hiddenKongs[s]));
  }
  const auto winner = static_cast<int16_t>(result.winnerSeat);
  const int16_t w = Loc(winner);
  Table().DeleteAllFromSend(w);
  const int16_t handLength = Length(result.hands[winner]);
  if (handLength > 0) {
    const std::vector<card> tiles = Decode(handLength, Bytes(result.hands[winner]));
    Table().ExposeCard(w, 6, handLength, tiles.data());
  }
  if (result.huType != 1) {
    const std::vector<card> tile = Decode(1, Bytes(result.huTile));
    Table().ExposeCard(w, 6, 1, tile.data());
  }
  const int16_t me = GetMySeatNo();
  for (int16_t s = 0; s < SeatCount(); ++s) {
    if (s == winner || s == me) continue;
    const int16_t l = Loc(s);
    Table().DeleteAllFromSend(l);
    const int16_t n = Length(result.hands[s]);
    if (n > 0) {
      const std::vector<card> tiles = Decode(n, Bytes(result.hands[s]));
      Table().ExposeCard(l, 6, n, tiles.data());
    }
  }
  Table().HuPai(w, result.huType == 1 ? static_cast<int16_t>(-1)
                                      : Loc(static_cast<int16_t>(result.discarderSeat)));
  PlaySoundSync("IDW_HU");
  PlaySoundAsync("IDW_WIN");
  if (winner == me && IsPlayer()) SendScoreReport(result);
  // The hand is over: no action button stays lit (a ready declaration lit by the last draw, the
  // discard lit by the winner's laid-open hand).
  Table().ShowButtons();
}

// The winner reports the score of the hand (641).
void CMjPlayTableImp::SendScoreReport(const CMjMessage_HuResult& result) {
  const int16_t huType = static_cast<int16_t>(result.huType);
  int16_t color = -1;
  int16_t value = -1;
  if (result.huTile[0] != '\0') {
    const card tile = Decode(1, Bytes(result.huTile))[0];
    color = static_cast<int16_t>(tile.m_nColor);
    value = static_cast<int16_t>(tile.m_nValue);
  } else {
    // A self-drawn win carries no winning tile: it is the own draw.
    Arithmetic().GetCurrentMo(&color, &value);
  }
  const int16_t gunloc =
      huType == 1 ? static_cast<int16_t>(-1) : Loc(static_cast<int16_t>(result.discarderSeat));
  Arithmetic().SetHuInfo(huType, gunloc, color, value);
  int16_t bankerFlag = 0, score = 0, base = 0, fan = 0;
  Arithmetic().Calculate(&bankerFlag, &score, &base, &fan);
  std::vector<int16_t> fans;
  Arithmetic().GetFans(fans);
  int16_t ting = 0;
  Arithmetic().GetTingStatus(&ting);
  // The engine's first answer of Calculate is a flag; the report carries the banker's seat.
  int16_t bankerLoc = -1;
  Arithmetic().GetBanker(&bankerLoc);

  CMjMessage_HuAck ack;
  ack.seat = static_cast<uint16_t>(GetMySeatNo());
  ack.bankerSeat = static_cast<uint16_t>(
      bankerLoc >= 0 && bankerLoc < GetSeatsPerTable() ? GetSeatNoFromLoc(bankerLoc) : -1);
  const int32_t m = ting == 1 ? 2 : 1;
  int32_t v = m * base + fan;
  if (huType != 2) v *= 2;
  for (int16_t s = 0; s < SeatCount(); ++s) ack.score[s] = IsMe(s) ? v : -v;
  const size_t n = std::min(fans.size(), static_cast<size_t>(kFanListSize));
  std::copy(fans.begin(), fans.begin() + static_cast<long>(n), ack.fans);
  SendRecord(kMjHuAck, ack);
}

void CMjPlayTableImp::ShowScoreInfo(const CMjMessage_ScoreInfo& scores) {
  const TablePerson* me = GetMe();
  const int16_t desk = me ? me->deskno : -1;
  for (int16_t i = 0; i < SeatCount(); ++i) {
    TablePerson* p = FindPersonAt(desk, i, kStatusPlaying);
    if (p == nullptr) continue;
    MjScoreRow row;
    std::snprintf(row.name, sizeof row.name, "%s", p->nickname);
    row.values[0] = scores.handScore[i];
    row.values[1] = scores.gameScore[i];
    row.values[2] = scores.wins[i];
    row.values[3] = scores.losses[i];
    row.values[4] = scores.draws[i];
    p->gamescore = scores.gameScore[i];
    p->winnum = scores.wins[i];
    p->losenum = scores.losses[i];
    p->equalnum = scores.draws[i];
    Table().SetScoreInfo(GetSeatsPerTable(), i, &row);
  }
  Table().SetMyFans(scores.fans);
  m_window.RedrawPersonList();
  SetInProgress(0);
  Table().ShowScoreInfo(1);
}

void CMjPlayTableImp::UpdateReadyState(const CMjMessage_Resume1& record) {
  const int16_t me = GetMySeatNo();
  for (int16_t i = 0; i < SeatCount(); ++i) {
    if (i != me || !IsPlayer()) continue;
    if (record.readyState[i] == -1) {
      Table().StartDeal();
    } else {
      Table().HideStartButton();
      Table().ShowButtons();
    }
  }
  for (int16_t i = 0; i < SeatCount(); ++i) {
    if (record.readyState[i] == 1) StartGame(i);
  }
}

// ---------------------------------------------------------------------------------------------
// Recovery

template <class Snapshot>
bool CMjPlayTableImp::CheckSnapshotSeats(const Snapshot& s) {
  return IsSeat(s.head.bankerSeat) && IsSeat(s.head.wallSeat);
}

template <class Snapshot>
void CMjPlayTableImp::RebuildOpening(const Snapshot& s, bool clearMyHand,
                                     const char (&discards)[kMjSeats][30]) {
  SetIgnoreGameData(0);
  SetInProgress(1);
  SetHandStarted(1);
  m_nGangCount[0] = m_nGangCount[1] = 0;
  const int16_t l = Loc(static_cast<int16_t>(s.head.bankerSeat));
  StartOneHand(l);
  Table().InitWall(static_cast<int16_t>(s.head.wallSize));
  if (clearMyHand) Table().DeleteAllFromMyHand();
  Table().SetBanker(l, -1);
  Arithmetic().SetBanker(l, -1);
  RestoreDiscards(discards);
}

template <class Snapshot>
void CMjPlayTableImp::RebuildClosing(const Snapshot& s) {
  Table().SetFirstPosition_InWall(Loc(static_cast<int16_t>(s.head.wallSeat)),
                                  static_cast<int16_t>(s.head.wallPosition - 1));
  RemoveFromWall(s.head.frontCount, s.head.backCount);
  const int16_t me = GetMySeatNo();
  for (int16_t seat = 0; seat < SeatCount(); ++seat) {
    const int16_t melds = Length(s.melds[seat]);
    if (melds > 0) RestoreMelds(seat, 1, melds, Bytes(s.melds[seat]));
    const int16_t kongs = Length(s.kongs[seat]);
    if (kongs > 0) RestoreMelds(seat, 3, kongs, Bytes(s.kongs[seat]));
    const int16_t hidden = Length(s.hiddenKongs[seat]);
    if (hidden > 0) RestoreConcealedKongs(seat, hidden, Bytes(s.hiddenKongs[seat]));
    if (s.ting[seat] == 1) {
      Table().SetTingStatus(Loc(seat), 1);
      if (seat == me) Arithmetic().SetTingStatus(1);
    }
  }
}

void CMjPlayTableImp::OnRecover1(const CMjMessage_Resume1& snapshot) {
  SetIgnoreGameData(0);
  SetInProgress(1);
  OnHandStart(static_cast<int16_t>(snapshot.handNo), 1);
  UpdateReadyState(snapshot);
  const int16_t l = Loc(static_cast<int16_t>(snapshot.bankerSeat));
  StartOneHand(l);
  // Nothing is dealt yet: a hand the table still shows from before the link was lost goes.
  Table().DeleteAllFromMyHand();
  Table().InitWall(static_cast<int16_t>(snapshot.wallSize));
  Table().SetBanker(l, -1);
  Arithmetic().SetBanker(l, -1);
}

void CMjPlayTableImp::OnRecover2(const CMjMessage_Resume2& snapshot) {
  SetIgnoreGameData(0);
  SetInProgress(1);
  SetHandStarted(1);
  const auto banker = static_cast<int16_t>(snapshot.bankerSeat);
  const int16_t l = Loc(banker);
  StartOneHand(l);
  // Nothing is dealt yet: a hand the table still shows from before the link was lost goes.
  Table().DeleteAllFromMyHand();
  Table().InitWall(static_cast<int16_t>(snapshot.wallSize));
  Table().SetBanker(l, -1);
  Arithmetic().SetBanker(l, -1);
  if (snapshot.diceThrown) {
    ShowDice(banker, snapshot.nextSeat, static_cast<int16_t>(snapshot.die1),
             static_cast<int16_t>(snapshot.die2));
  } else {
    Table().StartDice(l);
  }
}

void CMjPlayTableImp::OnRecover3(const CMjMessage_Resume3& snapshot) {
  RebuildOpening(snapshot, true, snapshot.discards);
  const int16_t me = GetMySeatNo();
  const auto turn = static_cast<int16_t>(snapshot.turnSeat);
  const int16_t drawer = snapshot.turnState == 1 ? turn : static_cast<int16_t>(-1);
  for (int16_t s = 0; s < SeatCount(); ++s) {
    const bool mine = s == me;
    const int16_t n = mine ? Length(snapshot.myHand) : ClampCount(snapshot.handCount[s]);
    const uint8_t* codes = mine ? Bytes(snapshot.myHand) : nullptr;
    if (s == turn) {
      RestoreHand(drawer, s, n, codes);
    } else {
      RestoreHandNoDraw(s, n, codes);
    }
  }
  RebuildClosing(snapshot);
  Table().StartChoice(Loc(turn));
  if (turn == me) {
    Table().LightSend(1);
    if (snapshot.turnState == 2 || snapshot.turnState == 3) {
      Table().FocusCards(2, 1);
    } else if (snapshot.turnState == 4) {
      Table().FocusCards(3, 1);
    }
  }
  Table().Update(-1);
}

void CMjPlayTableImp::OnRecover4(const CMjMessage_Resume4& snapshot) {
  // The last discard is offered again below; when the server also lists it at the end of its
  // seat's discards, it is not laid down twice.
  const int16_t me = GetMySeatNo();
  char discards[kMjSeats][30];
  std::memcpy(discards, snapshot.discards, sizeof discards);
  if (LastDiscardListedTwice(snapshot, me)) {
    discards[snapshot.lastSeat][Length(snapshot.discards[snapshot.lastSeat]) - 1] = '\0';
  }
  RebuildOpening(snapshot, true, discards);
  for (int16_t s = 0; s < SeatCount(); ++s) {
    if (s == me) {
      RestoreHandNoDraw(s, Length(snapshot.myHand), Bytes(snapshot.myHand));
    } else {
      RestoreHandNoDraw(s, ClampCount(snapshot.handCount[s]), nullptr);
    }
  }
  RebuildClosing(snapshot);
  if (snapshot.lastTile[0] != '\0') {
    OnRecvCards(static_cast<int16_t>(snapshot.lastSeat), -1, -1, 1, Bytes(snapshot.lastTile));
  }
  Table().Update(-1);
}

void CMjPlayTableImp::OnRecover5(const CMjMessage_Resume5& snapshot) {
  // The own hand is cleared as for the other snapshots, and the further kongs are restored as
  // concealed kongs: the win below lays them open once, as in live play.
  RebuildOpening(snapshot, true, snapshot.discards);
  const int16_t me = GetMySeatNo();
  for (int16_t s = 0; s < SeatCount(); ++s) {
    if (s == me) {
      RestoreHandNoDraw(s, Length(snapshot.hands[s]), Bytes(snapshot.hands[s]));
    } else {
      RestoreHandNoDraw(s, ClampCount(snapshot.handCount[s]), nullptr);
    }
  }
  RebuildClosing(snapshot);
  OnHu(snapshot.ToHuResult());
}

void CMjPlayTableImp::RestoreDiscards(const char (&codes)[kMjSeats][30]) {
  std::vector<card> tiles[kMjSeats];
  int16_t lengths[kMjSeats] = {0, 0};
  int16_t rounds = 0;
  for (int16_t s = 0; s < SeatCount(); ++s) {
    tiles[s] = Decode(30, Bytes(codes[s]));
    lengths[s] = Length(codes[s]);
    rounds = std::max(rounds, lengths[s]);
  }
  for (int16_t r = 0; r < rounds; ++r) {
    for (int16_t s = 0; s < SeatCount(); ++s) {
      if (lengths[s] <= r) continue;
      const int16_t l = Loc(s);
      const card& t = tiles[s][static_cast<size_t>(r)];
      Table().SetRecvCards_InRecover(l, 1, &t);
      Arithmetic().SetRecvCardsInRecover(l, -1, -1, 1, &t);
    }
  }
}

void CMjPlayTableImp::RestoreGroups(int16_t seat, int16_t kind, int16_t count,
                                    const uint8_t* codes, bool engine) {
  int16_t size = 0;
  int16_t type = 0;
  if (kind == 1 || kind == 2) {
    size = 3;
    type = 1;
  } else if (kind == 3 || kind == 5) {
    size = 4;
    type = 4;
    if (seat >= 0 && seat < kMjSeats) m_nGangCount[seat] = static_cast<int16_t>(count / 4);
  } else {
    return;
  }
  const std::vector<card> tiles = Decode(count, codes);
  const int16_t l = Loc(seat);
  for (size_t at = 0; at + static_cast<size_t>(size) <= tiles.size(); at += static_cast<size_t>(size)) {
    Table().ExposeCard_InRecover(l, type, size, &tiles[at]);
    if (engine) Arithmetic().ExposeCard_InRecover(l, type, size, &tiles[at]);
  }
}

void CMjPlayTableImp::RestoreMelds(int16_t seat, int16_t kind, int16_t count,
                                   const uint8_t* codes) {
  RestoreGroups(seat, kind, count, codes, true);
}

void CMjPlayTableImp::RestoreMeldsOnTable(int16_t seat, int16_t kind, int16_t count,
                                          const uint8_t* codes) {
  RestoreGroups(seat, kind, count, codes, false);
}

void CMjPlayTableImp::RestoreConcealedKongs(int16_t seat, int16_t count, const uint8_t* codes) {
  const std::vector<card> tiles = Decode(count, codes);
  const int16_t l = Loc(seat);
  for (size_t at = 0; at + 4 <= tiles.size(); at += 4) {
    Table().ExposeCard_InRecover(l, 3, 4, &tiles[at]);
    Arithmetic().ExposeCard_InRecover(l, 3, 4, &tiles[at]);
  }
}

void CMjPlayTableImp::RestoreHandNoDraw(int16_t seat, int16_t count, const uint8_t* codes) {
  if (IsMe(seat)) {
    AddCardsToMyHand_InDeal(count, codes);
  } else {
    ShowDealCountNow(seat, count, -1);
  }
}

void CMjPlayTableImp::RestoreHand(int16_t drawer, int16_t seat, int16_t count,
                                  const uint8_t* codes) {
  if (!IsMe(seat)) {
    ShowDealCountNow(seat, count, drawer);
  } else if (drawer == seat) {
    if (count < 1) return;
    AddCardsToMyHand_InDeal(static_cast<int16_t>(count - 1), codes);
    ShowDraw(seat, 1, codes + count - 1, 0, nullptr, 0);
  } else {
    AddCardsToMyHand_InDeal(count, codes);
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

// ---------------------------------------------------------------------------------------------
// Player actions

template <class Record>
void CMjPlayTableImp::SendRecord(uint16_t id, const Record& record) {
  // A replayed hand runs the live handlers; nothing of it goes to a server.
  if (Settings().reviewMode) return;
  MessageBuffer frame;
  PackRecord(record, id, TrailerKind::Session, frame, Session());
  SendFrame(frame);
  StartKeepAlive();
}

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
    m_InfoDlg.ClearOptions();
    for (int16_t i = 0; i < n; ++i) {
      std::vector<card> tiles;
      Arithmetic().GetEatCards(i, tiles);
      if (tiles.size() > 3) tiles.resize(3);
      m_InfoDlg.AddOption({tiles});
    }
    m_InfoDlg.ShowOptions();
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
    m_InfoDlg.ClearOptions();
    for (int16_t i = 0; i < n; ++i) {
      std::vector<card> tiles;
      int16_t kind = -1;
      Arithmetic().GetGangCards(i, tiles, &kind);
      if (tiles.size() > 4) tiles.resize(4);
      m_InfoDlg.AddOption({tiles});
    }
    m_InfoDlg.ShowOptions();
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

// ---------------------------------------------------------------------------------------------
// The hand record

void CMjPlayTableImp::SaveHandRecord() {
  if (Settings().reviewMode || m_recordFiles == nullptr) return;
  IMjRecordFiles& files = *m_recordFiles;
  try {
    if (m_HandRecord.IsEmpty()) {
      files.ShowMessage(kTextNoRecordToSave);
      return;
    }
    const std::string path = files.AskSavePath();
    if (path.empty()) return;  // cancelled: nothing written, nothing said

    const TablePerson* me = GetMe();
    const int16_t desk = me ? me->deskno : -1;
    if (const TablePerson* p = FindPersonAt(desk, GetMySeatNo(), kStatusPlaying)) {
      m_HandRecord.userId = static_cast<int32_t>(p->id);
    }
    m_HandRecord.comInfo = GetComInfo();
    m_HandRecord.subType = Settings().subType;
    m_HandRecord.seats = GetSeatsPerTable();
    if (m_HandRecord.persons.empty()) {
      for (const TablePerson* p : GetPersons()) {
        if (p->status == kStatusPlaying && p->deskno == desk) m_HandRecord.persons.push_back(*p);
      }
    }
    const std::vector<uint8_t> bytes = StoreHandFile(m_ListHead, m_HandRecord);
    files.ShowMessage(files.WriteFile(path, bytes) ? kTextRecordSaved : kTextRecordSaveFailed);
  } catch (...) {
    // A dialog or a file call that failed: the record was not saved.
    Guard([&] { files.ShowMessage(kTextRecordSaveFailed); });
  }
}

void CMjPlayTableImp::LoadHandRecord() {
  if (m_recordFiles == nullptr) return;
  IMjRecordFiles& files = *m_recordFiles;
  Guard([&] {
    std::vector<uint8_t> bytes;
    CMjHandRecord loaded;
    ListHead head = m_ListHead;
    if (!files.ReadFile(GetReviewFileName(), bytes) ||
        LoadHandFile(bytes.data(), bytes.size(), head, loaded) != HandFileError::None ||
        (loaded.stage == kStageFromDeal && !IsSeat(loaded.banker))) {
      files.ShowMessage(kTextRecordUnreadable);
      return;
    }
    m_ListHead = head;
    m_HandRecord = std::move(loaded);
    m_nDrawIndex = m_nDiscardIndex = m_nMeldIndex = m_nKongIndex = m_nTingIndex = 0;
    // The replay's next-step and automatic buttons answer only in review style.
    Table().SetReviewStyle(1);
    SeatRecordedPersons();
    m_playingRecord = true;
    try {
      SetUpRecordedHand();
    } catch (...) {
      m_playingRecord = false;
      throw;
    }
    m_playingRecord = false;
    Table().ShowControlButtons(1);
  });
}

// The record's players take their seats on the display, which draws no seat without a person:
// without them the replayed deal would never be shown whole. The display keeps the records'
// addresses; the loaded record stays as it is for the rest of the review.
void CMjPlayTableImp::SeatRecordedPersons() {
  for (const TablePerson& p : m_HandRecord.persons) {
    if (!IsSeat(p.seatno)) continue;
    Table().SetPersonLocation(Loc(p.seatno), GetPersonIcon(&p), &p);
  }
}

void CMjPlayTableImp::SetUpRecordedHand() {
  const CMjHandRecord& r = m_HandRecord;
  switch (r.stage) {
    case kStageFromDeal: {
      OnHandStart(r.hand, 1);
      const int16_t l = Loc(r.banker);
      StartOneHand(l);
      Table().InitWall(r.wallSize);
      // The prevailing wind turns every four hands, starting with hand 1.
      const auto wind = static_cast<int16_t>(((r.hand - 1) % 4 + 4) % 4);
      Table().SetBanker(l, wind);
      Arithmetic().SetBanker(l, wind);
      PlayRecorded(kMjDeal, r.deal);
      break;
    }
    case kStageFromTurn:
      PlayRecorded(kMjResume3, r.snapshot3);
      break;
    case kStageFromDiscard:
      PlayRecorded(kMjResume4, r.snapshot4);
      break;
    default:
      break;
  }
}

template <class Record>
void CMjPlayTableImp::PlayRecorded(uint16_t id, const Record& record) {
  const auto bytes = ToWireBytes(record);
  RunMjMessage(id, bytes.data(), bytes.size());
}

void CMjPlayTableImp::ReplayNextStep() {
  const CMjHandRecord& r = m_HandRecord;
  if (m_nReplayPos < 0 || static_cast<size_t>(m_nReplayPos) >= r.steps.size()) return;
  // The entry of a step's list that is next to be read; null when the list has run out.
  const auto next = [](const auto& list, int16_t& index) {
    using Entry = typename std::decay_t<decltype(list)>::value_type;
    const Entry* e = index >= 0 && static_cast<size_t>(index) < list.size()
                         ? &list[static_cast<size_t>(index)]
                         : nullptr;
    if (e) ++index;
    return e;
  };
  const int16_t kind = r.steps[static_cast<size_t>(m_nReplayPos)];
  // The step is taken before it runs: a control that fails during it does not make the replay
  // show it again.
  std::function<void()> run;
  switch (kind) {
    case kStepDraw:
      if (const auto* e = next(r.draws, m_nDrawIndex)) run = [this, m = *e] { PlayRecorded(kMjDraw, m); };
      break;
    case kStepDiscard:
      if (const auto* e = next(r.discards, m_nDiscardIndex)) {
        run = [this, m = *e] { PlayRecorded(kMjDiscard, m); };
      }
      break;
    case kStepMeld:
      if (const auto* e = next(r.melds, m_nMeldIndex)) run = [this, m = *e] { PlayRecorded(kMjMeld, m); };
      break;
    case kStepAddedKong:
    case kStepKongOnDiscard:
    case kStepConcealedKong:
      if (const auto* e = next(r.kongs, m_nKongIndex)) {
        uint16_t id = 0;
        for (const KongOfMessage& k : kKongMessages) {
          if (k.stepKind == kind) id = k.id;
        }
        run = [this, id, m = *e] { PlayRecorded(id, m); };
      }
      break;
    case kStepTing:
      if (const auto* e = next(r.tings, m_nTingIndex)) run = [this, m = *e] { PlayRecorded(kMjTing, m); };
      break;
    case kStepWin:
      run = [this, m = r.result] { PlayRecorded(kMjHuResult, m); };
      break;
    case kStepWallEmpty:
      run = [this, m = r.wallEmpty] { PlayRecorded(kMjWallEmpty, m); };
      break;
    default:
      // An unknown kind replays nothing and is passed over.
      ++m_nReplayPos;
      return;
  }
  if (!run) return;  // the step's list has run out: the replay stops here
  ++m_nReplayPos;
  m_playingRecord = true;
  Guard(run);
  m_playingRecord = false;
}

void CMjPlayTableImp::StartAutoReview() {
  if (Settings().reviewMode) SetTableTimer(kTimerReplayStep, kReplayStepPeriod);
}
