// Hand state: how tiles and melds enter and leave the rules object, and the reset at each hand.
#include "mj_gb.h"

namespace {

// Groups the given tiles, sorted ascending first so the order they come in does not matter
// (4, 6, 5 is the same chow as 4, 5, 6), and answers the single group they form.
bool SingleMeld(const card* cards, int num, bool sequence, int limit, MeldGroup& meld) {
  TileList work;
  work.assign(cards, num);
  SortCards(work.data(), work.size(), true);
  GroupList groups;
  if (sequence) {
    GroupSequences(work.data(), work.size(), limit, groups);
  } else {
    GroupIdentical(work.data(), work.size(), limit, groups);
  }
  if (groups.size() != 1) return false;
  meld = groups[0];
  return true;
}

bool IsPungMeld(const MeldGroup& g) { return g.m_nValues == 1 && g.m_nCopies == 3; }
bool IsChowMeld(const MeldGroup& g) { return g.m_nValues == 3 && g.m_nCopies == 1; }
bool IsKongMeld(const MeldGroup& g) { return g.m_nValues == 1 && g.m_nCopies == 4; }

// A chow or a pung out of the given tiles.
bool ChowOrPung(const card* cards, int num, MeldGroup& meld, bool& is_pung) {
  if (num != 3) return false;
  if (SingleMeld(cards, num, false, 3, meld) && IsPungMeld(meld)) {
    is_pung = true;
    return true;
  }
  if (SingleMeld(cards, num, true, 3, meld) && IsChowMeld(meld)) {
    is_pung = false;
    return true;
  }
  return false;
}

bool Kong(const card* cards, int num, MeldGroup& meld) {
  return num == 4 && SingleMeld(cards, num, false, 4, meld) && IsKongMeld(meld);
}

template <typename List>
void RemoveFirstGroupOf(List& groups, const card& tile, int copies) {
  for (int i = 0; i < groups.size(); ++i) {
    const MeldGroup& g = groups[i];
    if (g.m_nValues == 1 && g.m_nCopies == copies && GroupTile(g) == tile) {
      groups.erase_at(i);
      return;
    }
  }
}

void RemoveKongOffer(KongOfferList& offers, const card& tile) {
  for (int i = 0; i < offers.size(); ++i) {
    if (GroupTile(offers[i].group) == tile) {
      offers.erase_at(i);
      return;
    }
  }
}

}  // namespace

CMj_Gb::CMj_Gb() = default;

void CMj_Gb::StartNewHand() {
  InitFanTable();
  m_nDiceNum = 0;
  m_HandCards.clear();
  m_FlowerCards.clear();
  m_HuGroups.clear();
  m_ExposeGangs.clear();
  m_HideGangs.clear();
  m_Melds.clear();
  m_SendedCards.clear();
  m_nLastBz = 0;
  m_nHuOnSended = 0;
  m_nRobGang = 0;
  m_FoundFans.clear();
  ++m_nHandNo;
  m_CurrentMo = kNoCard;
  m_CurrentSended = kNoCard;
  m_CardAfterGang = kNoCard;
  m_bKongDrawPending = false;
  m_bDrawAfterKong = false;
  m_bCardAfterGangFresh = false;
  m_HuCard = kNoCard;
  m_nGangType = GangTypeNone;
  m_nTingStatus = TingNotDeclared;
  m_nXiangGong = 0;
  m_nLastSendLoc = -1;
  m_nGunLoc = -1;
  m_nHuType = HuTypeNone;
  m_GangOffers.clear();
}

void CMj_Gb::AddCardsToMyHand(const card* cards, int num) {
  if (cards == nullptr || num <= 0) return;
  for (int i = 0; i < num; ++i) m_HandCards.push_back(cards[i]);
  if (num == 1) m_CurrentMo = cards[0];
  m_bDrawAfterKong = num == 1 && m_bKongDrawPending;
  m_bKongDrawPending = false;
  m_bCardAfterGangFresh = false;
}

bool CMj_Gb::SetRecvCards(int loc, int num, const card* cards) {
  if (num != 1 || cards == nullptr || !IsSeat(loc)) return false;
  const card tile = cards[0];
  m_nLastSendLoc = static_cast<int16_t>(loc);
  m_CurrentSended = tile;
  m_SendedCards.push_back(tile);
  if (loc == 0) {
    if (m_nHuType == HuSelfDrawn) m_nHuType = HuTypeNone;
    m_CurrentMo = kNoCard;
    m_bDrawAfterKong = false;
    m_bKongDrawPending = false;
    RemoveOneCard(m_HandCards, tile);
  }
  return true;
}

void CMj_Gb::SetRecvCardsInRecover(int num, const card* cards) {
  if (cards == nullptr || num <= 0) return;
  for (int i = 0; i < num; ++i) m_SendedCards.push_back(cards[i]);
  m_CurrentSended = cards[num - 1];
}

void CMj_Gb::DeleteCardsFromMyHand(int count, const card* cards) {
  if (cards == nullptr) return;
  for (int i = 0; i < count; ++i) RemoveOneCard(m_HandCards, cards[i]);
}

void CMj_Gb::DeleteAllFromMyHand() { m_HandCards.clear(); }

bool CMj_Gb::ExposeCard(int loc, int type, int num, const card* cards) {
  if (loc != 0 || cards == nullptr || num <= 0) return false;
  MeldGroup meld{};
  switch (type) {
    case MeldChowOrPung: {
      if (!m_SendedCards.empty()) m_SendedCards.pop_back();
      bool is_pung = false;
      if (!ChowOrPung(cards, num, meld, is_pung)) return false;
      m_Melds.push_back(meld);
      if (is_pung) {
        RemoveOneCard(m_HandCards, cards[0]);
        RemoveOneCard(m_HandCards, cards[1]);
      } else {
        for (int i = 0; i < num; ++i) {
          if (!(cards[i] == m_CurrentSended)) RemoveOneCard(m_HandCards, cards[i]);
        }
      }
      return true;
    }
    case MeldFlowers:
      for (int i = 0; i < num; ++i) m_FlowerCards.push_back(cards[i]);
      return true;
    case MeldConcealedKong:
      if (!Kong(cards, num, meld)) return false;
      m_HideGangs.push_back(meld);
      RemoveGroupTiles(meld, m_HandCards);
      RemoveKongOffer(m_GangOffers, GroupTile(meld));
      m_bKongDrawPending = true;
      return true;
    case MeldAddedKong:
      if (!Kong(cards, num, meld)) return false;
      m_ExposeGangs.push_back(meld);
      RemoveOneCard(m_HandCards, GroupTile(meld));
      RemoveFirstGroupOf(m_Melds, GroupTile(meld), 3);
      RemoveKongOffer(m_GangOffers, GroupTile(meld));
      m_bKongDrawPending = true;
      return true;
    case MeldKongOnDiscard:
      if (!m_SendedCards.empty()) m_SendedCards.pop_back();
      if (!Kong(cards, num, meld)) return false;
      m_ExposeGangs.push_back(meld);
      for (int i = 0; i < 3; ++i) RemoveOneCard(m_HandCards, cards[0]);
      RemoveKongOffer(m_GangOffers, GroupTile(meld));
      m_bKongDrawPending = true;
      return true;
    default:
      return false;
  }
}

bool CMj_Gb::ExposeCard_InRecover(int loc, int type, int count, const card* cards) {
  if (loc != 0 || cards == nullptr || count <= 0) return false;
  MeldGroup meld{};
  switch (type) {
    case MeldChowOrPung: {
      bool is_pung = false;
      if (!ChowOrPung(cards, count, meld, is_pung)) return false;
      m_Melds.push_back(meld);
      return true;
    }
    case MeldFlowers:
      for (int i = 0; i < count; ++i) m_FlowerCards.push_back(cards[i]);
      return true;
    case MeldConcealedKong:
    case MeldAddedKong:
    case MeldKongOnDiscard:
      m_GangOffers.clear();
      if (!Kong(cards, count, meld)) return false;
      (type == MeldConcealedKong ? m_HideGangs : m_ExposeGangs).push_back(meld);
      return true;
    default:
      return false;
  }
}

void CMj_Gb::SetHuInfo(int hu_type, int gunloc, const card& hucard) {
  if (hu_type == HuSelfDrawn) {
    m_HuCard = m_CurrentMo;
    m_nHuOnSended = 0;
    m_nHuType = HuSelfDrawn;
  } else {
    m_HuCard = hucard;
    m_HandCards.push_back(hucard);
    m_nHuOnSended = 1;
    m_nHuType = HuOnDiscard;
  }
  m_nGunLoc = static_cast<int16_t>(gunloc);
}

void CMj_Gb::SortHand(bool ascending) {
  SortCards(m_HandCards.data(), m_HandCards.size(), ascending);
  m_nSortAscending = ascending ? 1 : 0;
}

int CMj_Gb::TakeOutWilds(TileList& out) const {
  out.clear();
  int wilds = 0;
  for (const card& c : m_HandCards) {
    if (IsWildCard(c)) {
      ++wilds;
    } else {
      // Beyond the list's capacity the tiles are dropped; the list then holds more tiles than
      // any hand shape, so the tests still answer no.
      out.push_back(c);
    }
  }
  return wilds;
}

CMj_Gb::AutoSend CMj_Gb::AutoSendCards(card& chosen) {
  auto first_not_wild = [this](card& out) {
    for (const card& c : m_HandCards) {
      if (!IsWildCard(c)) {
        out = c;
        return true;
      }
    }
    return false;
  };
  if (IsWildCard(m_CurrentMo)) {
    if (CanHuOnMo()) return AutoSend::Hu;
    if (!first_not_wild(chosen)) chosen = m_CurrentMo;
    return AutoSend::Tile;
  }
  if (IsNoCard(m_CurrentMo)) {
    if (first_not_wild(chosen)) return AutoSend::Tile;
    if (m_HandCards.empty()) return AutoSend::Nothing;
    chosen = m_HandCards[0];
    return AutoSend::Tile;
  }
  if (CanHuOnMo()) return AutoSend::Hu;
  chosen = m_CurrentMo;
  return AutoSend::Tile;
}
