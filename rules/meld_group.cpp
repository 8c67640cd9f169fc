#include "meld_group.h"

namespace {

// True when a goes before b in the usual group order.
bool GroupBefore(const MeldGroup& a, const MeldGroup& b) {
  if (a.m_nValues != b.m_nValues) return a.m_nValues > b.m_nValues;
  if (a.m_nColor != b.m_nColor) return a.m_nColor > b.m_nColor;
  return a.m_nTopValue > b.m_nTopValue;
}

// The order as one number, when every field fits in ten bits (larger numbers go first).
bool PackedOrderKey(const MeldGroup& g, uint32_t& key) {
  const uint32_t values = static_cast<uint32_t>(g.m_nValues);
  const uint32_t color = static_cast<uint32_t>(g.m_nColor);
  const uint32_t top = static_cast<uint32_t>(g.m_nTopValue);
  if ((values | color | top) >= 1024) return false;
  key = values << 20 | color << 10 | top;
  return true;
}

}  // namespace

void OrderGroups(MeldGroup* groups, int n) {
  // Usually every group packs its order into one number, which sorts with one comparison.
  uint32_t keys[kMaxGroups];
  bool packed = n <= kMaxGroups;
  for (int i = 0; i < n && packed; ++i) packed = PackedOrderKey(groups[i], keys[i]);
  if (packed) {
    for (int i = 1; i < n; ++i) {
      const MeldGroup item = groups[i];
      const uint32_t key = keys[i];
      int k = i;
      while (k > 0 && key > keys[k - 1]) {
        groups[k] = groups[k - 1];
        keys[k] = keys[k - 1];
        --k;
      }
      groups[k] = item;
      keys[k] = key;
    }
    return;
  }
  for (int i = 1; i < n; ++i) {
    MeldGroup item = groups[i];
    int k = i;
    while (k > 0 && GroupBefore(item, groups[k - 1])) {
      groups[k] = groups[k - 1];
      --k;
    }
    groups[k] = item;
  }
}
