// The mahjong play table's recovery: the hand rebuilt from one of the five snapshots the server
// sends after a reconnect, without animation and without sounds.
#include <string>
#include <vector>

#include "mj_play_table_internal.h"
#include "mj_texts.h"

using namespace mj_play;

namespace {

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

}  // namespace

// ---------------------------------------------------------------------------------------------
// Recovery

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
