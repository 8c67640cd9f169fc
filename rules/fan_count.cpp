// The fan count: the fan table walked in order, each row's test run unless an earlier row
// found ruled it out, each row found ruling out the types it lists; fan points and fan names.
#include <cstdint>

#include "fan_context.h"
#include "mj_gb.h"
#include "win_search.h"

namespace {

// The types ruled out so far: a bit per type below 2048 (every type of the tables), a short
// list for any other.
class ExcludedTypes {
 public:
  bool Has(FanType type) const {
    if (type >= 0 && type < kBits) return (bits_[type / 64] >> (type % 64)) & 1;
    for (FanType t : others_) {
      if (t == type) return true;
    }
    return false;
  }
  void Add(FanType type) {
    if (type >= 0 && type < kBits) {
      bits_[type / 64] |= uint64_t{1} << (type % 64);
    } else if (!Has(type)) {
      others_.push_back(type);
    }
  }

 private:
  static constexpr int kBits = 2048;
  uint64_t bits_[kBits / 64] = {};
  FixedList<FanType, kMaxFanRows * kMaxExcludedFans> others_;
};

template <typename List>
void AppendMeldTiles(const MeldList& melds, List& out) {
  for (const MeldGroup& g : melds) AppendGroupTiles(g, out);
}

}  // namespace

int CMj_Gb::CountFans(int shape, int w, const card* tiles, int t, const MeldGroup* groups,
                      int g) {
  m_FoundFans.clear();
  if (tiles == nullptr) t = 0;
  if (groups == nullptr) g = 0;

  FanContext context;
  context.shape = shape;
  context.wilds = w;
  context.tiles = tiles;
  context.tileCount = t;
  context.decomposition = groups;
  context.decompositionCount = g;
  context.melds = &m_Melds;
  context.meldedKongs = &m_ExposeGangs;
  context.concealedKongs = &m_HideGangs;
  context.discards = &m_SendedCards;
  for (int i = 0; i < g; ++i) context.allGroups.push_back(groups[i]);
  for (const MeldList* list : {&m_Melds, &m_ExposeGangs, &m_HideGangs}) {
    for (const MeldGroup& meld : *list) context.allGroups.push_back(meld);
  }
  for (int i = 0; i < t; ++i) context.allTiles.push_back(tiles[i]);
  AppendMeldTiles(m_Melds, context.allTiles);
  AppendMeldTiles(m_ExposeGangs, context.allTiles);
  AppendMeldTiles(m_HideGangs, context.allTiles);
  context.huCard = m_HuCard;
  context.cardAfterGang = m_CardAfterGang;
  context.lastTile = m_nLastBz;
  context.wonOnSended = m_nHuOnSended;
  context.robbedKong = m_nRobGang;
  context.huType = m_nHuType;
  context.flowerCount = m_FlowerCards.size();
  context.prevalentWind = m_nQuanFeng;
  context.seatWind = m_nMenFeng;
  context.table = &m_FanTable;
  context.found = &m_FoundFans;
  context.standardAgain =
      shape == win_search::kShapeSevenPairs && IsStandardWin(tiles, t, w);
  PrepareFanContext(context);

  ExcludedTypes excluded;
  int sum = 0;
  for (int i = 0; i < m_FanTable.size(); ++i) {
    const FanInfo& row = m_FanTable[i];
    if (excluded.Has(row.type) || row.test == nullptr || !row.test(context)) continue;
    m_FoundFans.push_back(static_cast<int16_t>(i));
    sum += GetFanScore(row.type);
    for (FanType type : row.excluded) excluded.Add(type);
  }
  return sum;
}

int CMj_Gb::GetFanScore(FanType type) const {
  static constexpr int kPointsByGrade[] = {88, 64, 48, 32, 24, 16, 12, 8, 6, 4, 2, 1};
  if (type == 1213) return m_FlowerCards.size();  // one point per flower tile laid out
  const int grade = type / 100;
  if (grade < 1 || grade > 12) return 0;
  return kPointsByGrade[grade - 1];
}

bool CMj_Gb::HasFan(FanType type, const FanContext& context) const {
  const FanInfo* row = FindFan(m_FanTable, type);
  return row != nullptr && row->test != nullptr && row->test(context);
}

bool CMj_Gb::GetFanNameByType(FanType type, char* str, char* desc, int16_t* score) const {
  if (score != nullptr) *score = 0;
  const FanInfo* info = FindFan(m_FanTable, type);
  if (info == nullptr) return false;
  if (score != nullptr) *score = static_cast<int16_t>(GetFanScore(type));
  CopyGbkText(str, kFanNameBuffer, info->name);
  CopyGbkText(desc, kFanDescriptionBuffer, info->description);
  return true;
}
