// Claims: chow, pung and kong on the opponent's discard, kongs after the own draw, and the
// offers the client reads back.
#include "mj_gb.h"

namespace {

using HandGroups = FixedList<MeldGroup, kMaxHandCards>;
using ChowCandidates = FixedList<card, 2 * kMaxHandCards>;

bool SameTileGroup(const MeldGroup& a, const MeldGroup& b) {
  return a.m_nColor == b.m_nColor && a.m_nTopValue == b.m_nTopValue;
}

bool HasKongOffer(const KongOfferList& offers, const MeldGroup& g) {
  for (const KongOffer& offer : offers) {
    if (SameTileGroup(offer.group, g)) return true;
  }
  return false;
}

void AppendKongOffers(const OfferList& candidates, int16_t kind, KongOfferList& offers) {
  for (const MeldGroup& g : candidates) {
    if (!HasKongOffer(offers, g)) offers.push_back({g, kind});
  }
}

// A claim is never made on a wild tile, nor on "no tile".
bool Claimable(const card& c) { return !IsWildCard(c) && !IsNoCard(c); }

// Writes a group's tiles from the highest value down.
int WriteGroupTiles(const MeldGroup& g, card* out, int capacity) {
  FixedList<card, 4> tiles;
  AppendGroupTiles(g, tiles);
  int n = 0;
  for (const card& c : tiles) {
    if (n == capacity) break;
    out[n++] = c;
  }
  return n;
}

}  // namespace

bool CMj_Gb::CanPeng(const card& sended) {
  if (m_nTingStatus == TingDeclared || !Claimable(sended)) return false;
  m_PengOffers.clear();
  SortHand(true);
  HandGroups groups;
  GroupIdentical(m_HandCards.data(), m_HandCards.size(), 4, groups);
  for (MeldGroup g : groups) {
    if (g.m_nCopies >= 2 && GroupTile(g) == sended) {
      g.m_nCopies = 3;
      m_PengOffers.push_back(g);
    }
  }
  return !m_PengOffers.empty();
}

bool CMj_Gb::CanChi(const card& sended) {
  if (m_nTingStatus == TingDeclared || !Claimable(sended) || m_nLastSendLoc != 1) return false;
  m_ChiOffers.clear();

  // Every other value of the discard's colour in the hand, twice.
  ChowCandidates candidates;
  for (const card& c : m_HandCards) {
    if (c.m_nColor != sended.m_nColor || c.m_nValue == sended.m_nValue) continue;
    if (FindCard(candidates.data(), candidates.size(), c) >= 0) continue;
    candidates.push_back(c);
    candidates.push_back(c);
  }

  HandGroups groups;
  for (bool ascending : {true, false}) {
    SortCards(candidates.data(), candidates.size(), ascending);
    for (int step : {1, 2}) {  // two neighbouring tiles, then two tiles around a gap
      GroupSteps(candidates.data(), candidates.size(), 2, step, groups);
      OrderGroups(groups);
      for (const MeldGroup& g : groups) {
        if (g.m_nValues != 2) continue;
        TileList three;
        AppendGroupTiles(g, three);
        three.push_back(sended);
        SortCards(three.data(), three.size(), true);
        GroupList chow;
        GroupSequences(three.data(), three.size(), 3, chow);
        if (chow.size() != 1) continue;
        bool known = false;
        for (const MeldGroup& offer : m_ChiOffers) {
          known = known || (offer.m_nColor == chow[0].m_nColor &&
                            offer.m_nTopValue == chow[0].m_nTopValue &&
                            offer.m_nStep == chow[0].m_nStep);
        }
        if (!known) m_ChiOffers.push_back(chow[0]);
      }
    }
  }
  return !m_ChiOffers.empty();
}

bool CMj_Gb::CanGangOnSended(const card& sended) {
  if (m_nTingStatus == TingDeclared || !Claimable(sended)) return false;
  m_GangOffers.clear();
  m_GangCandidates.clear();
  m_HideGangCandidates.clear();
  m_nGangType = GangTypeNone;
  SortHand(true);
  HandGroups groups;
  GroupIdentical(m_HandCards.data(), m_HandCards.size(), 4, groups);
  for (MeldGroup g : groups) {
    if (g.m_nCopies == 3 && GroupTile(g) == sended) {
      g.m_nCopies = 4;
      m_GangCandidates.push_back(g);
    }
  }
  if (m_GangCandidates.empty()) return false;
  m_nGangType = GangTypeOnDiscard;
  AppendKongOffers(m_GangCandidates, KongOnDiscard, m_GangOffers);
  return true;
}

bool CMj_Gb::CanGangAfterMo(const card& mo) {
  if (IsWildCard(mo)) return false;
  m_GangOffers.clear();
  m_nGangType = GangTypeNone;
  m_GangCandidates.clear();
  m_HideGangCandidates.clear();

  // Added kongs: an own pung whose fourth tile was drawn or is in the hand.
  for (const MeldGroup& meld : m_Melds) {
    if (!IsPung(meld)) continue;
    const card tile = GroupTile(meld);
    if (SameTile(tile, mo) || FindCard(m_HandCards.data(), m_HandCards.size(), tile) >= 0) {
      MeldGroup kong = meld;
      kong.m_nCopies = 4;
      m_GangCandidates.push_back(kong);
    }
  }
  if (!m_GangCandidates.empty()) {
    m_nGangType = GangTypeAdded;
    AppendKongOffers(m_GangCandidates, KongAdded, m_GangOffers);
  }

  // Concealed kongs: four equal tiles in the hand.
  SortHand(true);
  HandGroups groups;
  GroupIdentical(m_HandCards.data(), m_HandCards.size(), 4, groups);
  for (const MeldGroup& g : groups) {
    if (g.m_nCopies == 4) m_HideGangCandidates.push_back(g);
  }
  AppendKongOffers(m_HideGangCandidates, KongConcealed, m_GangOffers);
  return !m_GangOffers.empty();
}

bool CMj_Gb::GetEatCards(int index, card out[3]) const {
  if (out == nullptr || index < 0 || index >= m_ChiOffers.size()) return false;
  WriteGroupTiles(m_ChiOffers[index], out, 3);
  return true;
}

int CMj_Gb::GetPengCards(card out[3]) const {
  if (out == nullptr || m_PengOffers.empty()) return 0;
  return WriteGroupTiles(m_PengOffers[0], out, 3);
}

int CMj_Gb::GetGangCards(int index, card out[4], int16_t& kind) const {
  kind = KongNone;
  if (out == nullptr || index < 0 || index >= m_GangOffers.size()) return 0;
  kind = m_GangOffers[index].kind;
  return WriteGroupTiles(m_GangOffers[index].group, out, 4);
}

int CMj_Gb::GetHideGangCards(card out[4]) const {
  if (out == nullptr || m_HideGangCandidates.empty()) return 0;
  return WriteGroupTiles(m_HideGangCandidates[0], out, 4);
}
