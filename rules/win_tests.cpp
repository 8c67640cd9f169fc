// Win and ready-hand tests of seat 0, with the minimum-fans rule.
#include "mj_gb.h"
#include "win_search.h"

bool CMj_Gb::CanHuOnMo() {
  if (m_nXiangGong == 1) return false;
  TileList tiles;
  const int w = TakeOutWilds(tiles);
  GroupList groups;
  int shape = win_search::kShapeNone;
  if (!CheckHu(tiles.data(), tiles.size(), groups, shape, w)) return false;
  if (m_nLowFan >= 1) {
    const int fans =
        CountProspectiveFans(m_CurrentMo, 0, HuSelfDrawn, shape, w, tiles, groups);
    if (fans < m_nLowFan) return false;
  }
  m_nHuType = HuSelfDrawn;
  return true;
}

bool CMj_Gb::CanHuOnSended(const card& sended) {
  if (m_nXiangGong == 1 || IsWildCard(sended)) return false;
  m_nHuType = HuTypeNone;
  TileList tiles;
  const int w = TakeOutWilds(tiles);
  tiles.push_back(sended);
  GroupList groups;
  int shape = win_search::kShapeNone;
  if (!CheckHu(tiles.data(), tiles.size(), groups, shape, w)) return false;
  if (m_nLowFan >= 1) {
    const int fans = CountProspectiveFans(sended, 1, HuOnDiscard, shape, w, tiles, groups);
    if (fans < m_nLowFan) return false;
  }
  m_nHuType = HuOnDiscard;
  return true;
}

bool CMj_Gb::CanDeclareListen() {
  if (m_nTingStatus == TingDeclared) return false;
  TileList tiles;
  const int w = TakeOutWilds(tiles);
  GroupList groups;
  return CheckTing(tiles.data(), tiles.size(), groups, w);
}

// The win being tested has not been reported yet (SetHuInfo comes later), so the fields that
// describe the win still hold the last hand's or nothing; the count must judge this win.
int CMj_Gb::CountProspectiveFans(const card& hucard, int won_on_sended, int16_t hu_type,
                                 int shape, int w, const TileList& tiles,
                                 const GroupList& groups) {
  const card saved_hucard = m_HuCard;
  const int32_t saved_on_sended = m_nHuOnSended;
  const int16_t saved_hu_type = m_nHuType;
  const card saved_after_gang = m_CardAfterGang;
  m_HuCard = hucard;
  m_nHuOnSended = won_on_sended;
  m_nHuType = hu_type;
  // The tile after a kong as it will be for this win: the drawn tile when this draw replaces a
  // kong; the value the client set for the current draw; otherwise none (an older value is
  // stale and must neither lift nor hold back the count).
  if (hu_type == HuSelfDrawn && m_bDrawAfterKong) {
    m_CardAfterGang = hucard;
  } else if (!m_bCardAfterGangFresh) {
    m_CardAfterGang = kNoCard;
  }
  const int fans = CountFans(shape, w, tiles.data(), tiles.size(), groups.data(), groups.size());
  m_HuCard = saved_hucard;
  m_nHuOnSended = saved_on_sended;
  m_nHuType = saved_hu_type;
  m_CardAfterGang = saved_after_gang;
  return fans;
}

bool CMj_Gb::IsStandardWin(const card* tiles, int t, int w) const {
  if (win_search::ExhaustiveStandardWin(tiles, t, w, nullptr)) return true;
  const int total = t + w;
  if (total != 11 && total != 14) return false;
  TileList sorted;
  sorted.assign(tiles, t);
  GroupList groups;
  for (bool ascending : {true, false}) {
    SortCards(sorted.data(), sorted.size(), ascending);
    if (win_search::KnittedStraightWin(sorted.data(), sorted.size(), w, groups)) return true;
  }
  return false;
}
