#include "meld_group.h"

namespace {

// True when a goes before b in the usual group order.
bool GroupBefore(const MeldGroup& a, const MeldGroup& b) {
  if (a.m_nValues != b.m_nValues) return a.m_nValues > b.m_nValues;
  if (a.m_nColor != b.m_nColor) return a.m_nColor > b.m_nColor;
  return a.m_nTopValue > b.m_nTopValue;
}

}  // namespace

void OrderGroups(MeldGroup* groups, int n) {
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
