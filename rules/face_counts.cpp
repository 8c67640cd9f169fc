#include "face_counts.h"

#include <cstring>

#include "packed_faces.h"

namespace win_search {

namespace {

constexpr int kHonourFaces = 27;

// Sets only, one suit. The lowest value left goes into pungs or into chows that start at it;
// three such chows hold the same tiles as three pungs, so its count modulo 3 is the number of
// chows it starts, and the rest are pungs.
bool SuitSetsOnly(const int* c) {
  int next = c[1];
  int after = c[2];
  int k = c[0] % 3;
  for (int v = 0; v < 9; ++v) {
    if (k > 0) {
      if (next < k || after < k) return false;
      next -= k;
      after -= k;
    }
    // Shift the window: the value v + 1 is now the lowest.
    const int following = v + 3 < 9 ? c[v + 3] : 0;
    k = next % 3;
    next = after;
    after = following;
  }
  return true;
}

// Sets and one pair, one suit whose count is 2 modulo 3. Every set holds values summing to 0
// modulo 3, so the pair's value v has 2v equal to the sum of all values modulo 3: only a third
// of the values can hold it.
bool SuitSetsAndPair(int* c) {
  int weighted = 0;
  for (int v = 0; v < 9; ++v) weighted += v * c[v];
  for (int v = (2 * weighted) % 3; v < 9; v += 3) {
    if (c[v] < 2) continue;
    c[v] -= 2;
    const bool ok = SuitSetsOnly(c);
    c[v] += 2;
    if (ok) return true;
  }
  return false;
}

// ---- one suit by table ---------------------------------------------------------------------
//
// A suit holding at most four of each value is a number of nine base-5 digits, the count of
// value 1 the lowest. The table keeps a bit for every such suit: set when its tiles are sets
// only or sets and one pair. Which of the two it is follows from the number of tiles (0 or 2
// modulo 3), so one bit answers both questions. The table (244 KB) is built at its first use:
// every suit of sets is a smaller suit of sets and one more set, so walking the numbers
// upwards and adding each set and each pair to the suits of sets already found finds them all.

constexpr int kSuitKeys = 1953125;  // 5^9
constexpr uint32_t kPow5[10] = {1, 5, 25, 125, 625, 3125, 15625, 78125, 390625, 1953125};

class SuitTable {
 public:
  SuitTable() {
    Mark(0);
    for (int word = 0; word < kWords; ++word) {
      // Growing marks bits further on, in this word too: read it again after each.
      uint64_t done = 0;
      for (uint64_t bits = bits_[word]; bits != 0; bits = bits_[word] & ~done) {
        const int bit = __builtin_ctzll(bits);
        done |= uint64_t{1} << bit;
        Grow(static_cast<uint32_t>(word) * 64 + bit);
      }
    }
  }
  bool Complete(uint32_t key) const { return (bits_[key >> 6] >> (key & 63)) & 1; }

 private:
  static constexpr int kWords = (kSuitKeys + 63) / 64;

  void Mark(uint32_t key) { bits_[key >> 6] |= uint64_t{1} << (key & 63); }

  // From a suit of sets: the suits with one more set (bits further on, walked later) and the
  // suits with a pair added.
  void Grow(uint32_t key) {
    int d[9];
    int total = 0;
    for (int v = 0; v < 9; ++v) {
      d[v] = static_cast<int>(key / kPow5[v] % 5);
      total += d[v];
    }
    if (total % 3 != 0) return;
    for (int v = 0; v < 9; ++v) {
      if (d[v] <= 1) Mark(key + 3 * kPow5[v]);
      if (d[v] <= 2) Mark(key + 2 * kPow5[v]);
      if (v <= 6 && d[v] < 4 && d[v + 1] < 4 && d[v + 2] < 4) {
        Mark(key + kPow5[v] + kPow5[v + 1] + kPow5[v + 2]);
      }
    }
  }

  uint64_t bits_[kWords] = {};
};

const SuitTable& TheSuitTable() {
  static const SuitTable table;
  return table;
}

// One suit as the win and ready tests see it: its counts, their total and, when no value is
// held more than four times, its number in the table.
struct Suit {
  const uint8_t* n = nullptr;
  int total = 0;
  bool keyed = true;
  uint32_t key = 0;
};

void ReadSuit(const uint8_t* n, Suit& s) {
  s.n = n;
  uint32_t key = 0;
  int total = 0;
  bool over = false;
  for (int v = 8; v >= 0; --v) {
    key = key * 5 + n[v];
    total += n[v];
    over |= n[v] > 4;
  }
  s.key = key;
  s.total = total;
  s.keyed = !over;
}

// The counts as the searches without the table take them.
void SuitCounts(const Suit& s, int* c) {
  for (int v = 0; v < 9; ++v) c[v] = s.n[v];
}

// The suit's tiles are sets only (total 0 modulo 3) or sets and a pair (2 modulo 3).
bool SuitComplete(const Suit& s) {
  const int r = s.total % 3;
  if (r == 1) return false;
  if (s.keyed) return TheSuitTable().Complete(s.key);
  int c[9];
  SuitCounts(s, c);
  return r == 0 ? SuitSetsOnly(c) : SuitSetsAndPair(c);
}

// The same with one more tile of value v.
bool SuitCompleteWith(const Suit& s, int v) {
  const int r = (s.total + 1) % 3;
  if (r == 1) return false;
  if (s.keyed && s.n[v] < 4) return TheSuitTable().Complete(s.key + kPow5[v]);
  int c[9];
  SuitCounts(s, c);
  ++c[v];
  return r == 0 ? SuitSetsOnly(c) : SuitSetsAndPair(c);
}

}  // namespace

namespace {

// The slot a tile is counted in, by colour (0-7) and value (0-15): its face, or kFaceCount
// for a tile of no face.
struct CountSlots {
  uint8_t slot[8 * 16];
};

constexpr CountSlots MakeCountSlots() {
  CountSlots out{};
  for (int color = 0; color < 8; ++color) {
    for (int value = 0; value < 16; ++value) {
      const int face = kFaceTable.face[color][value];
      out.slot[color * 16 + value] = static_cast<uint8_t>(face < 0 ? kFaceCount : face);
    }
  }
  return out;
}

constexpr CountSlots kCountSlots = MakeCountSlots();

}  // namespace

bool CountFaces(const card* tiles, int t, FaceCounts& out) {
  // A hand of a usual size is counted four bits a face in a few words, and spread out after.
  if (t >= 0 && t <= kMaxPackedTiles) {
    PackedFaces packed;
    if (!PackFaces(tiles, t, packed)) {
      out = FaceCounts{};
      return false;
    }
    UnpackFaces(packed, t, out);
    return true;
  }
  // Tiles not in the cache are asked for all at once (every line holds a tile at a multiple
  // of eight, or the last one), so the waits overlap instead of following one another.
  for (int i = 0; i < t; i += 8) __builtin_prefetch(tiles + i);
  if (t > 0) __builtin_prefetch(tiles + t - 1);
  // Every tile is counted without a branch: a tile of no face (or out of the table) in a
  // slot of its own, and the answer looks once at the end. Kept in locals: the counts are
  // bytes, which the compiler must assume may overlap anything.
  uint8_t n[kFaceCount + 1] = {};
  int pairs = 0;
  uint64_t present = 0;
  uint32_t outside = 0;
  for (int i = 0; i < t; ++i) {
    const uint32_t color = static_cast<uint32_t>(tiles[i].m_nColor);
    const uint32_t value = static_cast<uint32_t>(tiles[i].m_nValue);
    outside |= (color > 7) | (value > 15);
    const int slot = kCountSlots.slot[(color & 7) * 16 + (value & 15)];
    const int held = ++n[slot];
    pairs += (held & 1) ^ 1;
    present |= uint64_t{1} << slot;
  }
  out = FaceCounts{};
  if (outside != 0 || n[kFaceCount] != 0) return false;
  std::memcpy(out.n, n, kFaceCount);
  out.present = present;
  out.total = t;
  out.pairs = pairs;
  return true;
}

namespace {

struct FaceTiles {
  card tiles[kFaceCount];
};

constexpr FaceTiles MakeFaceTiles() {
  FaceTiles out{};
  for (int f = 0; f < kFaceCount; ++f) out.tiles[f] = CardOfFace(f);
  return out;
}

constexpr FaceTiles kFaceTiles = MakeFaceTiles();

}  // namespace

void SortedTiles(const FaceCounts& counts, bool ascending, card* out) {
  // Four copies of a face are written at once and the position moves on by the count; the
  // buffer takes the overhang past the last face.
  card buffer[kMaxWorkTiles + 4];
  int k = 0;
  auto put = [&](int face) {
    const card c = kFaceTiles.tiles[face];
    const int n = counts.n[face];
    buffer[k] = buffer[k + 1] = buffer[k + 2] = buffer[k + 3] = c;
    for (int extra = 4; extra < n && k + extra < kMaxWorkTiles; ++extra) buffer[k + extra] = c;
    k += n;
  };
  uint64_t faces = counts.present;
  while (faces != 0 && k < kMaxWorkTiles) {
    const int face = ascending ? __builtin_ctzll(faces) : 63 - __builtin_clzll(faces);
    put(face);
    faces &= ~(uint64_t{1} << face);
  }
  for (int i = 0; i < counts.total && i < kMaxWorkTiles; ++i) out[i] = buffer[i];
}

bool FacesResiduesAllowWin(const FaceCounts& counts) {
  if (counts.total < 2 || counts.total % 3 != 2) return false;
  int pairs = 0;
  for (int f = kHonourFaces; f < kFaceCount; ++f) {
    const int r = counts.n[f] % 3;
    if (r == 1) return false;
    pairs += r == 2;
  }
  for (int s = 0; s < 3; ++s) {
    const uint8_t* n = counts.n + s * 9;
    int total = n[8];
    if (counts.total <= 255) {
      // The first eight counts summed at once (no sum reaches a byte's limit).
      uint64_t eight;
      std::memcpy(&eight, n, 8);
      total += static_cast<int>((eight * 0x0101010101010101ULL) >> 56);
    } else {
      for (int v = 0; v < 8; ++v) total += n[v];
    }
    const int r = total % 3;
    if (r == 1) return false;
    pairs += r == 2;
  }
  return pairs == 1;
}

bool FacesWin(const FaceCounts& counts) {
  if (counts.total < 2 || counts.total % 3 != 2) return false;
  int pairs = 0;
  for (int f = kHonourFaces; f < kFaceCount; ++f) {
    const int r = counts.n[f] % 3;
    if (r == 1) return false;
    if (r == 2 && ++pairs > 1) return false;
  }
  Suit suits[3];
  for (int s = 0; s < 3; ++s) {
    ReadSuit(counts.n + s * 9, suits[s]);
    const int r = suits[s].total % 3;
    if (r == 1) return false;
    if (r == 2 && ++pairs > 1) return false;
  }
  if (pairs != 1) return false;
  for (const Suit& suit : suits) {
    if (!SuitComplete(suit)) return false;
  }
  return true;
}

bool FacesSetsOnly(const FaceCounts& counts) {
  if (counts.total < 0 || counts.total % 3 != 0) return false;
  for (int f = kHonourFaces; f < kFaceCount; ++f) {
    if (counts.n[f] % 3 != 0) return false;
  }
  for (int s = 0; s < 3; ++s) {
    if (!FacesSuitSetsOnly(counts, s)) return false;
  }
  return true;
}

bool FacesSuitSetsOnly(const FaceCounts& counts, int suit) {
  // (The arithmetic rather than the table: the eye-first strategy asks this of hands whose
  // counts are in the cache, while the table may not be.)
  int c[9];
  int total = 0;
  for (int v = 0; v < 9; ++v) total += c[v] = counts.n[suit * 9 + v];
  return total % 3 == 0 && SuitSetsOnly(c);
}

bool FacesReady(const FaceCounts& counts) {
  if (counts.total < 1 || counts.total % 3 != 1) return false;
  // The missing tile goes into one unit (a suit, or one honour face: honours make no chows).
  // Before it the units' counts modulo 3 must be either one unit at 1 and the rest at 0 (the
  // tile makes that unit's pair), or two units at 2 and the rest at 0 (the tile completes a
  // set in one of them, the other holds the pair).
  int ones = 0, twos = 0;
  int one_unit = -1, two_units[2] = {-1, -1};
  Suit suits[3];
  for (int s = 0; s < 3; ++s) ReadSuit(counts.n + s * 9, suits[s]);
  auto residue = [&](int unit) {
    return unit < 3 ? suits[unit].total % 3 : counts.n[kHonourFaces + unit - 3] % 3;
  };
  for (int unit = 0; unit < 10; ++unit) {
    const int r = residue(unit);
    if (r == 1) {
      if (++ones > 1) return false;
      one_unit = unit;
    } else if (r == 2) {
      if (++twos > 2) return false;
      two_units[twos - 1] = unit;
    }
  }
  // A unit other than the one taking the tile: sets only (residue 0) or sets and the pair;
  // an honour face at residue 0 or 2 is pungs and a pair.
  auto unit_ok = [&](int unit) { return unit >= 3 || SuitComplete(suits[unit]); };
  // The unit taking the tile (one more of an honour is a pung or the pair).
  auto takes_tile = [&](int unit) {
    if (unit >= 3) return true;
    const Suit& suit = suits[unit];
    for (int v = 0; v < 9; ++v) {
      // A tile with no equal or near tile joins no set and no pair.
      bool near = false;
      for (int d = -2; d <= 2 && !near; ++d) near = v + d >= 0 && v + d < 9 && suit.n[v + d] > 0;
      if (near && SuitCompleteWith(suit, v)) return true;
    }
    return false;
  };
  if (ones == 1 && twos == 0) {
    for (int unit = 0; unit < 3; ++unit) {
      if (unit != one_unit && !unit_ok(unit)) return false;
    }
    return takes_tile(one_unit);
  }
  if (ones == 0 && twos == 2) {
    for (int unit = 0; unit < 3; ++unit) {
      if (unit != two_units[0] && unit != two_units[1] && !unit_ok(unit)) return false;
    }
    for (int k = 0; k < 2; ++k) {
      if (unit_ok(two_units[1 - k]) && takes_tile(two_units[k])) return true;
    }
  }
  return false;
}

bool FacesKnittedStraightWin(const FaceCounts& counts) {
  if (counts.total != 11 && counts.total != 14) return false;
  // Each suit holds one class whole (values 1-4-7, 2-5-8 or 3-6-9): a mask of the classes
  // present per suit.
  int classes[3] = {0, 0, 0};
  for (int s = 0; s < 3; ++s) {
    for (int start = 0; start < 3; ++start) {
      const uint8_t* n = counts.n + s * 9 + start;
      if (n[0] > 0 && n[3] > 0 && n[6] > 0) classes[s] |= 1 << start;
    }
    if (classes[s] == 0) return false;
  }
  static constexpr int kStarts[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2},
                                        {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
  for (const auto& starts : kStarts) {
    bool fits = true;
    for (int s = 0; s < 3 && fits; ++s) fits = (classes[s] >> starts[s]) & 1;
    if (!fits) continue;
    FaceCounts rest = counts;
    for (int s = 0; s < 3; ++s) {
      for (int v = starts[s]; v < 9; v += 3) --rest.n[s * 9 + v];
    }
    rest.total -= 9;
    if (FacesWin(rest)) return true;
  }
  return false;
}

bool FacesHoldsMoreThanEight(const FaceCounts& counts) {
  // Eight counts at a time: adding 0x77 to a byte sets its top bit from 9 up (counts below
  // 0x80 carry nothing into the next byte; the others have the top bit set already).
  constexpr uint64_t kAdd = 0x7777777777777777ULL;
  constexpr uint64_t kTop = 0x8080808080808080ULL;
  for (int i = 0; i < 32; i += 8) {
    uint64_t eight;
    std::memcpy(&eight, counts.n + i, 8);
    if (((eight + kAdd) | eight) & kTop) return true;
  }
  return counts.n[32] > 8 || counts.n[33] > 8;
}

int FacesMostCopies(const FaceCounts& counts) {
  int most = 0;
  for (uint8_t n : counts.n) most = n > most ? n : most;
  return most;
}

bool FacesAllTerminalsOrHonours(const FaceCounts& counts) {
  for (int f = 0; f < kHonourFaces; ++f) {
    if (counts.n[f] > 0 && f % 9 != 0 && f % 9 != 8) return false;
  }
  return true;
}

bool FacesMayBeKnittedTiles(const FaceCounts& counts) {
  int suit_tiles = 0;
  for (int s = 0; s < 3; ++s) {
    int classes = 0;
    for (int v = 0; v < 9; ++v) {
      const int n = counts.n[s * 9 + v];
      if (n > 1) return false;
      if (n == 1) classes |= 1 << (v % 3);
      suit_tiles += n;
    }
    if (classes != 0 && (classes & (classes - 1)) != 0) return false;
  }
  for (int f = kHonourFaces; f < kFaceCount; ++f) {
    if (counts.n[f] > 1) return false;
  }
  return suit_tiles <= 9;
}

}  // namespace win_search
