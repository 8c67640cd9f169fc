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

// A grown group moves to the end of the list, so the list is in the order of each group's last
// change. In a sorted list a tile can only join a group at the end the walk moves towards (the
// top when ascending, the lowest value when descending), so the groups that tile can join are
// those whose end is one step behind it; among them GroupSteps takes the first in the list,
// the one changed earliest. Keeping, per end value, the groups in the order they were changed
// gives that group at once; the list is then the groups in the order of their last change.
int GroupStepsOfSorted(const card* tiles, int n, int limit, int step, MeldGroup* out) {
  if (n < 0 || n > kMaxSortedGrouping || step <= 0 || limit < 1) return -1;
  bool ascending = true;
  bool descending = true;
  for (int i = 0; i < n; ++i) {
    if (IsSuitColor(tiles[i].m_nColor) && (tiles[i].m_nValue < 1 || tiles[i].m_nValue > 9)) {
      return -1;
    }
    if (i > 0) {
      ascending = ascending && !CardLess(tiles[i], tiles[i - 1]);
      descending = descending && !CardLess(tiles[i - 1], tiles[i]);
    }
  }
  if (!ascending && !descending) return -1;

  MeldGroup groups[kMaxSortedGrouping];
  int changed_at[kMaxSortedGrouping];  // index of the tile that last changed the group
  int count = 0;
  // Per end value 1-9 of the current colour: the groups ending there, earliest change first.
  int ends[10][kMaxSortedGrouping];
  int ends_size[10] = {};
  int32_t color = -1;
  for (int i = 0; i < n; ++i) {
    const card& c = tiles[i];
    if (!IsSuitColor(c.m_nColor)) {
      groups[count] = SingleGroup(c);
      changed_at[count++] = i;
      continue;
    }
    if (c.m_nColor != color) {
      color = c.m_nColor;
      for (int& size : ends_size) size = 0;
    }
    const int32_t v = c.m_nValue;
    const int32_t behind = ascending ? v - step : v + step;
    int joined = -1;
    if (behind >= 1 && behind <= 9) {
      int* queue = ends[behind];
      int& size = ends_size[behind];
      for (int k = 0; k < size; ++k) {
        if (groups[queue[k]].m_nValues >= limit) continue;
        joined = queue[k];
        for (int m = k; m + 1 < size; ++m) queue[m] = queue[m + 1];
        --size;
        break;
      }
    }
    if (joined >= 0) {
      MeldGroup& g = groups[joined];
      if (ascending) g.m_nTopValue = v;
      ++g.m_nValues;
      g.m_nStep = step;
    } else {
      joined = count;
      groups[count++] = SingleGroup(c);
    }
    changed_at[joined] = i;
    ends[v][ends_size[v]++] = joined;
  }
  int by_change[kMaxSortedGrouping];
  for (int i = 0; i < n; ++i) by_change[i] = -1;
  for (int g = 0; g < count; ++g) by_change[changed_at[g]] = g;
  int written = 0;
  for (int i = 0; i < n; ++i) {
    if (by_change[i] >= 0) out[written++] = groups[by_change[i]];
  }
  return written;
}
