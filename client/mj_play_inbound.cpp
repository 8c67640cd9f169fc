// The mahjong play table's inbound play: the dispatch of the messages 601-655 as rows, and what
// the play messages do to the table display and the rules engine.
#include <functional>
#include <string>
#include <vector>

#include "line_format.h"
#include "mj_play_table_internal.h"
#include "mj_texts.h"

using namespace mj_play;

// ---------------------------------------------------------------------------------------------
// The mahjong dispatch

// One row of the mahjong dispatch: the id and what receiving it runs (see Row).
struct MjInboundRow {
  uint16_t id;
  std::function<MessageAnswer(CMjPlayTableImp& table, const uint8_t* body, size_t bodyLength,
                              bool keep)>
      run;
};

namespace {

// A row of five columns: the id, the record its body is read into, the check of the seats it
// names (a message naming a seat that is not on the table is dropped), the handler, and the step
// the hand record keeps of it (only while recording, and only after the handler ran).
template <class Record, class Check, class Handle, class Keep>
MjInboundRow Row(uint16_t id, Check check, Handle handle, Keep keep) {
  return {id, [=](CMjPlayTableImp& table, const uint8_t* body, size_t bodyLength, bool keeping) {
            Record m;
            ReadRecord(body, bodyLength, m);
            if (!check(table, m)) return MessageAnswer::NotMine;
            std::invoke(handle, table, m);
            if (keeping) keep(table, m);
            return MessageAnswer::Taken;
          }};
}

}  // namespace

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
  for (const MjInboundRow& row : InboundRows()) {
    if (row.id == id) return row.run(*this, body, bodyLength, Recording());
  }
  // Outbound-only ids are not taken from the server.
  return MessageAnswer::NotMine;
}

const std::vector<MjInboundRow>& CMjPlayTableImp::InboundRows() {
  using T = CMjPlayTableImp;
  using Control = CMjMessage_Control;
  // The checks: the seats a message names must be on the table.
  const auto anySeats = [](T&, const auto&) { return true; };
  const auto seat = [](T& t, const auto& m) { return t.IsSeat(m.seat); };
  const auto bankerSeat = [](T& t, const auto& m) { return t.IsSeat(m.bankerSeat); };
  const auto wallSeat = [](T& t, const CMjMessage_Deal& m) { return t.IsSeat(m.wallSeat); };
  // The version refusal names the seat of the player refused, seated or not.
  const auto controlSeat = [](T& t, const Control& m) {
    return m.code == Control::kVersionRefused || t.IsSeat(m.seat);
  };
  const auto diceSeats = [](T& t, const CMjMessage_Dice& m) {
    return t.IsSeat(m.seat) && (m.nextSeat == -1 || t.IsSeat(m.nextSeat));
  };
  // A discard is one tile; without a code there is nothing to show.
  const auto discardSeat = [](T& t, const CMjMessage_Discard& m) {
    return t.IsSeat(m.seat) && m.tile[0] != '\0';
  };
  // A win names its winner, and its discarder unless the winner drew the tile (type 1).
  const auto winSeats = [](T& t, const auto& m) {
    return t.IsSeat(m.winnerSeat) && (m.huType == 1 || t.IsSeat(m.discarderSeat));
  };
  // The next thrower counts only once the dice are thrown.
  const auto resume2Seats = [](T& t, const CMjMessage_Resume2& m) {
    return t.IsSeat(m.bankerSeat) && !(m.diceThrown && m.nextSeat != -1 && !t.IsSeat(m.nextSeat));
  };
  // A snapshot names the banker and the seat the wall is broken at, then the seat to play, the
  // seat that discarded last or the winner's seats.
  const auto snapshotSeats = [](T& t, const auto& m) {
    return t.IsSeat(m.head.bankerSeat) && t.IsSeat(m.head.wallSeat);
  };
  const auto turnSnapshot = [=](T& t, const CMjMessage_Resume3& m) {
    return snapshotSeats(t, m) && t.IsSeat(m.turnSeat);
  };
  const auto discardSnapshot = [=](T& t, const CMjMessage_Resume4& m) {
    return snapshotSeats(t, m) && t.IsSeat(m.lastSeat);
  };
  const auto winSnapshot = [=](T& t, const auto& m) { return snapshotSeats(t, m) && winSeats(t, m); };

  // The handlers that are no member of their own.
  const auto onControl = [](T& t, const Control& m) {
    if (m.code == Control::kVersionRefused) {
      t.OnVersionRefused(static_cast<int16_t>(m.seat));
    } else {
      t.StartGame(static_cast<int16_t>(m.seat));
    }
  };
  const auto onStartDice = [](T& t, const CMjMessage_StartDice& m) {
    t.Table().StartDice(t.Loc(static_cast<int16_t>(m.seat)));
    t.SetInProgress(1);
  };
  const auto onDice = [](T& t, const CMjMessage_Dice& m) {
    t.ShowDice(static_cast<int16_t>(m.seat), m.nextSeat, static_cast<int16_t>(m.die1),
               static_cast<int16_t>(m.die2));
  };
  const auto onDiscard = [](T& t, const CMjMessage_Discard& m) {
    t.OnRecvCards(static_cast<int16_t>(m.seat), -1, -1, 1, Bytes(m.tile));
  };
  const auto onMeld = [](T& t, const CMjMessage_Meld& m) {
    if (m.kind != 1 && m.kind != 2) return;
    t.ShowMeld(static_cast<int16_t>(m.seat), static_cast<int16_t>(m.kind), Length(m.tiles),
               Bytes(m.tiles));
  };
  const auto onWallEmpty = [](T& t, const CMjMessage_WallEmpty&) { t.OnWallEmpty(); };
  const auto onTing = [](T& t, const CMjMessage_Ting& m) { t.OnTing(static_cast<int16_t>(m.seat)); };

  // The hand record's steps.
  const auto nothingKept = [](T&, const auto&) {};
  const auto keepHandStart = [](T& t, const CMjMessage_BankerAndWall& m) {
    t.m_HandRecord.hand = static_cast<int16_t>(m.handNo);
    t.m_HandRecord.banker = static_cast<int16_t>(m.bankerSeat);
    t.m_HandRecord.wallSize = static_cast<int16_t>(m.wallSize);
    t.m_HandRecord.stage = kStageFromDeal;
  };
  const auto keepDeal = [](T& t, const CMjMessage_Deal& m) { t.m_HandRecord.deal = m; };
  const auto keepIn = [](MjStepKind kind, auto list) {
    return [kind, list](T& t, const auto& m) { t.m_HandRecord.Append(kind, t.m_HandRecord.*list, m); };
  };
  const auto keepWin = [](T& t, const CMjMessage_HuResult& m) { t.m_HandRecord.AppendWin(m); };
  const auto keepWallEmpty = [](T& t, const CMjMessage_WallEmpty& m) {
    t.m_HandRecord.AppendWallEmpty(m);
  };
  const auto restartRecord = [](T& t, const auto& m) { t.m_HandRecord.StartFrom(m); };

  using R = CMjHandRecord;
  static const std::vector<MjInboundRow> rows = [&] {
    std::vector<MjInboundRow> r = {
        Row<CMjMessage_BankerAndWall>(kMjBankerAndWall, bankerSeat, &T::OnBankerAndWall,
                                      keepHandStart),
        Row<Control>(kMjControl, controlSeat, onControl, nothingKept),
        Row<CMjMessage_StartDice>(kMjStartDice, seat, onStartDice, nothingKept),
        Row<CMjMessage_Dice>(kMjDice, diceSeats, onDice, nothingKept),
        Row<CMjMessage_Deal>(kMjDeal, wallSeat, &T::OnDeal, keepDeal),
        Row<CMjMessage_Discard>(kMjDiscard, discardSeat, onDiscard, keepIn(kStepDiscard, &R::discards)),
        Row<CMjMessage_Draw>(kMjDraw, seat, &T::OnDraw, keepIn(kStepDraw, &R::draws)),
        Row<CMjMessage_Meld>(kMjMeld, seat, onMeld, keepIn(kStepMeld, &R::melds)),
        Row<CMjMessage_HuResult>(kMjHuResult, winSeats, &T::OnHu, keepWin),
        Row<CMjMessage_WallEmpty>(kMjWallEmpty, anySeats, onWallEmpty, keepWallEmpty),
        Row<CMjMessage_Ting>(kMjTing, seat, onTing, keepIn(kStepTing, &R::tings)),
        Row<CMjMessage_ScoreInfo>(kMjScoreInfo, anySeats, &T::ShowScoreInfo, nothingKept),
        Row<CMjMessage_Resume1>(kMjResume1, bankerSeat, &T::OnRecover1, nothingKept),
        Row<CMjMessage_Resume2>(kMjResume2, resume2Seats, &T::OnRecover2, nothingKept),
        Row<CMjMessage_Resume3>(kMjResume3, turnSnapshot, &T::OnRecover3, restartRecord),
        Row<CMjMessage_Resume4>(kMjResume4, discardSnapshot, &T::OnRecover4, restartRecord),
        Row<CMjMessage_Resume5>(kMjResume5, winSnapshot, &T::OnRecover5, nothingKept),
    };
    // The three kongs that come with a draw: their meld kind and their step in the record.
    for (const KongOfMessage& kong : kKongMessages) {
      r.push_back(Row<CMjMessage_KongDraw>(
          kong.id, seat, [kong](T& t, const auto& m) { t.OnKongDraw(kong, m); },
          keepIn(static_cast<MjStepKind>(kong.stepKind), &R::kongs)));
    }
    return r;
  }();
  return rows;
}

void CMjPlayTableImp::OnBankerAndWall(const CMjMessage_BankerAndWall& m) {
  OnHandStart(static_cast<int16_t>(m.handNo), static_cast<int16_t>(m.more));
  const int16_t l = Loc(static_cast<int16_t>(m.bankerSeat));
  StartOneHand(l);
  Table().InitWall_InTimer(static_cast<int16_t>(m.wallSize));
  Table().SetBanker(l, -1);
  Arithmetic().SetBanker(l, -1);
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

void CMjPlayTableImp::OnDeal(const CMjMessage_Deal& m) {
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
}

void CMjPlayTableImp::OnDraw(const CMjMessage_Draw& m) {
  ShowDraw(static_cast<int16_t>(m.seat), 1, Bytes(m.tile), 0, nullptr, 0);
  RemoveFromWall(m.frontCount, m.backCount);
  if (m.tilesLeft == 0) {
    Arithmetic().SetLastBz();
    CheckLastTile();
  }
}

void CMjPlayTableImp::OnKongDraw(const KongOfMessage& kong, const CMjMessage_KongDraw& m) {
  const auto seat = static_cast<int16_t>(m.seat);
  if (kong.meldKind < 0) {
    ShowConcealedKong(seat, Length(m.kong), Bytes(m.kong));
  } else {
    ShowMeld(seat, kong.meldKind, Length(m.kong), Bytes(m.kong));
  }
  ShowDraw(seat, 1, Bytes(m.tile), 0, nullptr, 1);
  RemoveFromWall(m.frontCount, m.backCount);
  if (m.tilesLeft == 0) CheckLastTile();
}

void CMjPlayTableImp::RemoveFromWall(int16_t frontCount, int16_t backCount) {
  if (frontCount > 0) Table().DeleteCardsFromWall(frontCount, 0);
  if (backCount > 0) Table().DeleteCardsFromWall(backCount, 1);
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
  ShowDealCountWith(false, seat, count, bankerSeat);
}

void CMjPlayTableImp::ShowDealCountNow(int16_t seat, int16_t count, int16_t bankerSeat) {
  ShowDealCountWith(true, seat, count, bankerSeat);
}

// The banker's extra tile shows as the one drawn: the banker's seat is dealt one fewer.
void CMjPlayTableImp::ShowDealCountWith(bool now, int16_t seat, int16_t count, int16_t bankerSeat) {
  const int16_t l = Loc(seat);
  const bool banker = seat == bankerSeat && count >= 1;
  const auto dealt = static_cast<int16_t>(banker ? count - 1 : count);
  if (now) {
    Table().SetDealNum(l, dealt);
    if (banker) Table().AddCardToCurrent(l, 0, 0);
  } else {
    Table().SetDealNum_InTimer(l, dealt);
    if (banker) Table().AddCardToCurrentWithoutShow(l, 0, 0);
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
  // A seat's hand laid open (kind 6) where its concealed tiles were.
  const auto layOpen = [this](int16_t l, const auto& codes) {
    Table().DeleteAllFromSend(l);
    const int16_t n = Length(codes);
    if (n <= 0) return;
    const std::vector<card> tiles = Decode(n, Bytes(codes));
    Table().ExposeCard(l, 6, n, tiles.data());
  };
  const auto winner = static_cast<int16_t>(result.winnerSeat);
  const int16_t w = Loc(winner);
  layOpen(w, result.hands[winner]);
  if (result.huType != 1) {
    const std::vector<card> tile = Decode(1, Bytes(result.huTile));
    Table().ExposeCard(w, 6, 1, tile.data());
  }
  const int16_t me = GetMySeatNo();
  for (int16_t s = 0; s < SeatCount(); ++s) {
    if (s != winner && s != me) layOpen(Loc(s), result.hands[s]);
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
