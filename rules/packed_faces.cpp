#include "packed_faces.h"

#include <bit>
#include <cstring>

#include "face_counts.h"
#include "win_search.h"

namespace win_search {

namespace {

// ---- packing ------------------------------------------------------------------------------

// What one tile adds to the four words, by colour (0-7) and value (0-15) at value * 8 +
// colour. A tile of no face adds one to a nibble of its own, above the dots.
constexpr int kNoFaceShift = 40;

struct TileIncrements {
  uint64_t add[128][4];
};

constexpr TileIncrements MakeTileIncrements() {
  TileIncrements out{};
  for (int color = 0; color < 8; ++color) {
    for (int value = 0; value < 16; ++value) {
      uint64_t* add = out.add[value * 8 + color];
      const int f = kFaceTable.face[color][value];
      if (f < 0) {
        add[1] = uint64_t{1} << kNoFaceShift;
      } else if (f < 27) {
        add[f / 9] = uint64_t{1} << (4 * (f % 9));
      } else {
        add[3] = uint64_t{1} << (4 * (f - 27));
      }
    }
  }
  return out;
}

constexpr TileIncrements kTileIncrements = MakeTileIncrements();

// The bit of each tile's face (none for a tile of no face), at the same places.
struct TileBits {
  uint64_t bit[128];
};

constexpr TileBits MakeTileBits() {
  TileBits out{};
  for (int color = 0; color < 8; ++color) {
    for (int value = 0; value < 16; ++value) {
      const int f = kFaceTable.face[color][value];
      out.bit[value * 8 + color] = f < 0 ? 0 : uint64_t{1} << f;
    }
  }
  return out;
}

constexpr TileBits kTileBits = MakeTileBits();

// ---- words of nibbles ---------------------------------------------------------------------

// Bit 0 of each of the nine nibbles of a suit, of the seven of the honours.
constexpr uint64_t kSuitLow = 0x111111111ULL;
constexpr uint64_t kHonourLow = 0x1111111ULL;

// The nibbles of x holding 5 or more. (x + 3 sets a nibble's top bit from 5 up; a nibble of
// 13 or more carries into the next one, but has its own top bit set already.)
uint64_t Over4(uint64_t x, uint64_t low) { return (x | (x + 3 * low)) & (8 * low); }

// Bit 0 of each nibble holding 1 or 4; of each holding 2; of each holding 3 or 4 (nibbles of
// at most 4).
uint64_t OneOrFour(uint64_t x, uint64_t low) {
  return ((x >> 2) | (x & ~(x >> 1))) & low;
}
uint64_t Two(uint64_t x, uint64_t low) { return (x >> 1) & ~x & low; }
uint64_t ThreeOrFour(uint64_t x, uint64_t low) { return ((x >> 2) | (x & (x >> 1))) & low; }

// The tiles of a suit (at most 15).
int SuitTotal(uint64_t x) {
  // Neighbouring nibbles summed into bytes, then the bytes summed.
  const uint64_t bytes = (x & 0x0f0f0f0f0fULL) + ((x >> 4) & 0x0f0f0f0f0fULL);
  return static_cast<int>(((bytes * 0x0101010101ULL) >> 32) & 0xff);
}

// The chow step of a partition over one suit, as RunSortedSequenceStep takes chows in an
// ascending pass. The tiles of a value first complete the two-value pieces ending just below
// it, then grow the single tiles just below it into such pieces, and what is left starts
// single tiles; a value not held ends every piece. So the step carries from one value to the
// next the singles and the two-value pieces ending there (at most four tiles in all: fifteen
// states), and a table takes it over three values at a time.
constexpr int kChowStates = 15;
constexpr int kChunkKeys = 125;  // three counts of 0-4

// An entry: the chows whose top value is each of the three values (a nibble each, the lowest
// value first), at bit 12 a bit for each of them that tops a chow, and the state after them
// times kChunkKeys at bit 16.
struct ChowSteps {
  uint32_t entry[kChowStates * kChunkKeys];
};

constexpr ChowSteps MakeChowSteps() {
  // The states by singles and pieces carried.
  int state[5][5] = {};
  int n = 0;
  for (int singles = 0; singles <= 4; ++singles) {
    for (int twos = 0; singles + twos <= 4; ++twos) state[singles][twos] = n++;
  }
  ChowSteps out{};
  for (int singles0 = 0; singles0 <= 4; ++singles0) {
    for (int twos0 = 0; singles0 + twos0 <= 4; ++twos0) {
      for (int key = 0; key < kChunkKeys; ++key) {
        const int have[3] = {key % 5, key / 5 % 5, key / 25};
        int singles = singles0;
        int twos = twos0;
        uint32_t chows = 0;
        for (int k = 0; k < 3; ++k) {
          const int full = have[k] < twos ? have[k] : twos;
          const int rest = have[k] - full;
          const int grown = rest < singles ? rest : singles;
          singles = rest - grown;
          twos = grown;
          chows |= static_cast<uint32_t>(full) << (4 * k);
          if (full > 0) chows |= uint32_t{1} << (12 + k);
        }
        out.entry[state[singles0][twos0] * kChunkKeys + key] =
            chows | static_cast<uint32_t>(state[singles][twos] * kChunkKeys) << 16;
      }
    }
  }
  return out;
}

constexpr ChowSteps kChowSteps = MakeChowSteps();

// The keys of the counts (each 0-4) of values 1-3, 4-6 and 7-9 of a suit, twelve bits each:
// the count of the lowest value plus 5 times the next plus 25 times the third.
uint64_t ChunkKeys(uint64_t x) {
  constexpr uint64_t kLowest = 0x00f00f00fULL;
  return (x & kLowest) + 5 * ((x >> 4) & kLowest) + 25 * ((x >> 8) & kLowest);
}

// The chows of a suit (no count above 4): a nibble for each value, the number of chows whose
// top value it is, and a bit for each value that tops one.
struct SuitChows {
  uint64_t chows;
  uint32_t tops;
};

inline __attribute__((always_inline)) SuitChows Chows(uint64_t x) {
  const uint64_t keys = ChunkKeys(x);
  const uint32_t low = kChowSteps.entry[keys & 0xfff];
  const uint32_t middle = kChowSteps.entry[(low >> 16) + ((keys >> 12) & 0xfff)];
  const uint32_t high = kChowSteps.entry[(middle >> 16) + ((keys >> 24) & 0xfff)];
  return {(low & 0xfff) | uint64_t{middle & 0xfff} << 12 | uint64_t{high & 0xfff} << 24,
          ((low >> 12) & 7) | ((middle >> 9) & 0x38) | ((high >> 6) & 0x1c0)};
}

// The tiles of x the chows do not take (each chow takes its top value and the two below).
uint64_t AfterChows(uint64_t x, uint64_t chows) {
  return x - chows - (chows >> 4) - (chows >> 8);
}

// One partition of the three suits: the chows, and what is left besides them as a nibble for
// each face, the copies of the one-value group it makes (3 a pung, 2 the pair, 0 none).
struct SuitsPartition {
  uint64_t chows[3];
  uint32_t tops[3];  // a bit for each value that tops a chow
  uint64_t left[3];
};

// Sequences first: the chows, then pungs of what is left. Whether every suit is left with
// pungs and pairs only.
bool SequencesFirst(const uint64_t* suits, SuitsPartition& p) {
  uint64_t bad = 0;
  for (int s = 0; s < 3; ++s) {
    const SuitChows chows = Chows(suits[s]);
    p.chows[s] = chows.chows;
    p.tops[s] = chows.tops;
    p.left[s] = AfterChows(suits[s], p.chows[s]);
    bad |= OneOrFour(p.left[s], kSuitLow);
  }
  return bad == 0;
}

// Pungs first: a pung of every face held three or four times, then the chows of the rest.
// Whether every suit is left with pungs and pairs only.
bool PungsFirst(const uint64_t* suits, SuitsPartition& p) {
  uint64_t bad = 0;
  for (int s = 0; s < 3; ++s) {
    const uint64_t pungs = ThreeOrFour(suits[s], kSuitLow);
    const uint64_t rest = suits[s] - 3 * pungs;
    const SuitChows chows = Chows(rest);
    p.chows[s] = chows.chows;
    p.tops[s] = chows.tops;
    const uint64_t left = AfterChows(rest, p.chows[s]);
    bad |= left & kSuitLow;  // a single tile (the rest holds at most 2 of a face)
    p.left[s] = left + 3 * pungs;
  }
  return bad == 0;
}

// Bit 0 of every nibble left as the pair, the suits' and the honours' in one word (each at a
// bit of its own).
uint64_t PairBits(const SuitsPartition& p, uint64_t honours) {
  return Two(p.left[0], kSuitLow) | Two(p.left[1], kSuitLow) << 1 |
         Two(p.left[2], kSuitLow) << 2 | Two(honours, kHonourLow) << 3;
}

bool OneBit(uint64_t x) { return x != 0 && (x & (x - 1)) == 0; }

// The bits at 4 v of x (v = 0-8) gathered at bit v.
uint32_t GatherNibbleBits(uint64_t m) {
  m = (m | (m >> 3)) & 0x0303030303ULL;
  m = (m | (m >> 6)) & 0x0f000f000fULL;
  m = (m | (m >> 12)) & 0xff000000ffULL;
  return static_cast<uint32_t>(m | (m >> 24)) & 0x1ff;
}

// The groups a partition makes, one bit each, in the usual order from the top bit down: the
// chows by suit and top value (bit kChowBits + 9 suit + value index), then the one-value
// groups by face (bit 1 + FaceOf). Bit 0 is no group. Each bit's group, and where its count
// is: the nibble at `shift` of word `word` (the chows of the three suits, what they leave, the
// honours, and a word of nothing).
constexpr int kChowBits = 1 + kFaceCount;

struct GroupBit {
  int32_t color;
  int32_t top;
  int32_t values;  // 3 for a chow (the count is how many), 1 (the count is the copies)
  uint8_t word;
  uint8_t shift;
};

struct GroupBitTable {
  GroupBit bit[kChowBits + 27];
};

constexpr GroupBitTable MakeGroupBitTable() {
  GroupBitTable out{};
  // No group: a chow counted in the word of nothing.
  out.bit[0] = {0, 1, 3, 7, 0};
  for (int f = 0; f < kFaceCount; ++f) {
    const card tile = CardOfFace(f);
    out.bit[1 + f] = {tile.m_nColor, tile.m_nValue, 1, static_cast<uint8_t>(f < 27 ? 3 + f / 9 : 6),
                      static_cast<uint8_t>(4 * (f < 27 ? f % 9 : f - 27))};
  }
  for (int j = 0; j < 27; ++j) {
    out.bit[kChowBits + j] = {j / 9, j % 9 + 1, 3, static_cast<uint8_t>(j / 9),
                              static_cast<uint8_t>(4 * (j % 9))};
  }
  return out;
}

constexpr GroupBitTable kGroupTable = MakeGroupBitTable();

// A bit for every nibble holding 2 or 3 (nibbles of 0, 2 or 3), the lowest first.
uint64_t HeldTwiceOrMore(uint64_t x) { return GatherNibbleBits((x >> 1) & kSuitLow); }

// Writes the `count` groups of a winning partition in the usual order: the chows (higher suit,
// then higher top value first), then the pungs and the pair by face from the highest.
void PutGroups(const SuitsPartition& p, uint64_t honours, int count, GroupList& groups) {
  const uint64_t words[8] = {p.chows[0], p.chows[1], p.chows[2], p.left[0],
                             p.left[1],  p.left[2],  honours,    0};
  uint64_t bits = (HeldTwiceOrMore(p.left[0]) | HeldTwiceOrMore(p.left[1]) << 9 |
                   HeldTwiceOrMore(p.left[2]) << 18 | HeldTwiceOrMore(honours) << 27)
                      << 1 |
                  uint64_t{p.tops[0] | p.tops[1] << 9 | p.tops[2] << 18} << kChowBits;
  MeldGroup* out = groups.data();
  int k = 0;
  // A chow is written four times and kept as many times as there are of it (a suit makes at
  // most four of one top value), a one-value group kept once with its count as the copies.
  // The groups are `count` in all, so as many turns take every bit, with no branch on what
  // the bits hold: a turn with no bit left takes bit 0, writes past the end and keeps nothing.
  for (int turn = 0; turn < count; ++turn) {
    const int b = 63 - __builtin_clzll(bits | 1);
    bits &= ~(uint64_t{1} << b);
    const GroupBit& g = kGroupTable.bit[b];
    const int32_t n = static_cast<int32_t>(words[g.word] >> g.shift) & 15;
    const bool chow = g.values == 3;
    const MeldGroup group{g.color, g.top, chow ? 1 : n, g.values, 1};
    // (Each copy from the local: a copy read back from the list would wait for the write.)
    for (int m = 0; m < 4; ++m) out[k + m] = group;
    k += chow ? n : 1;
  }
  groups.resize(k);
}

// Sets only in every suit: sequences first leaves pungs only, pungs first nothing but pungs.
bool NoPairLeft(const SuitsPartition& p) {
  return (Two(p.left[0], kSuitLow) | Two(p.left[1], kSuitLow) | Two(p.left[2], kSuitLow)) == 0;
}

// Each pair as the eye, in the order of an ascending pass (by value), the rest sets only by
// either partition. The eye is in `eye_unit` (a suit 0-2, or 3 + an honour's index), the only
// unit holding two tiles more than a multiple of three; every other honour is a pung or
// absent. The eye is left in `p` as the pair.
bool EyeFirst(const PackedFaces& faces, int eye_unit, SuitsPartition& p) {
  if (eye_unit >= 3) {
    // The honour held twice is the eye; the suits must be sets only.
    return (SequencesFirst(faces.suits, p) && NoPairLeft(p)) ||
           (PungsFirst(faces.suits, p) && NoPairLeft(p));
  }
  uint64_t suits[3] = {faces.suits[0], faces.suits[1], faces.suits[2]};
  // A bit for every value held at least twice, the lowest first.
  const uint64_t held = suits[eye_unit];
  for (uint64_t candidates = ((held >> 1) | (held >> 2)) & kSuitLow; candidates != 0;
       candidates &= candidates - 1) {
    const uint64_t eye = 2 * (candidates & (~candidates + 1));
    suits[eye_unit] = held - eye;
    if ((SequencesFirst(suits, p) && NoPairLeft(p)) || (PungsFirst(suits, p) && NoPairLeft(p))) {
      p.left[eye_unit] += eye;
      return true;
    }
  }
  return false;
}

}  // namespace

bool PackFaces(const card* tiles, int t, PackedFaces& out) {
  if (t < 0 || t > kMaxPackedTiles) return false;
  uint64_t s0 = 0, s1 = 0, s2 = 0, h = 0, present = 0;
  // Every colour and every value or'ed: one out of range shows there. (Such a tile is
  // counted at some place meanwhile.)
  uint32_t colors = 0;
  uint32_t values = 0;
  for (int i = 0; i < t; ++i) {
    const uint32_t color = static_cast<uint32_t>(tiles[i].m_nColor);
    const uint32_t value = static_cast<uint32_t>(tiles[i].m_nValue);
    colors |= color;
    values |= value;
    const uint32_t place = (value * 8 + color) & 127;
    const uint64_t* add = kTileIncrements.add[place];
    s0 += add[0];
    s1 += add[1];
    s2 += add[2];
    h += add[3];
    present |= kTileBits.bit[place];
  }
  out = {{s0, s1, s2}, h, present};
  return colors <= 7 && values <= 15 && (s1 >> kNoFaceShift) == 0;
}

void UnpackFaces(const PackedFaces& faces, int total, FaceCounts& out) {
  // Eight nibbles (the low 32 bits of x) as eight bytes, the lowest first.
  auto bytes = [](uint64_t x) {
    x &= 0xffffffffULL;
    x = (x | (x << 16)) & 0x0000ffff0000ffffULL;
    x = (x | (x << 8)) & 0x00ff00ff00ff00ffULL;
    return (x | (x << 4)) & 0x0f0f0f0f0f0f0f0fULL;
  };
  static_assert(std::endian::native == std::endian::little);
  for (int s = 0; s < 3; ++s) {
    const uint64_t low = bytes(faces.suits[s]);
    std::memcpy(out.n + 9 * s, &low, 8);
    out.n[9 * s + 8] = static_cast<uint8_t>((faces.suits[s] >> 32) & 15);
  }
  const uint64_t honours = bytes(faces.honours);
  std::memcpy(out.n + 27, &honours, kFaceCount - 27);
  out.total = total;
  out.present = faces.present;
  // The pairs of every face (half its count) summed nibble by nibble over the four words,
  // then the nibbles summed. (No sum passes the number of pairs, at most seven.)
  constexpr uint64_t kHalves = 0x777777777ULL;
  const uint64_t halves = ((faces.suits[0] >> 1) & kHalves) + ((faces.suits[1] >> 1) & kHalves) +
                          ((faces.suits[2] >> 1) & kHalves) + ((faces.honours >> 1) & kHalves);
  const uint64_t bytes_of_halves = (halves & 0x0f0f0f0f0fULL) + ((halves >> 4) & 0x0f0f0f0f0fULL);
  out.pairs = static_cast<int>(((bytes_of_halves * 0x0101010101ULL) >> 32) & 0xff);
}

bool PackedSevenPairs(const PackedFaces& faces, int total) {
  // Fourteen tiles in pairs only: every count even.
  const uint64_t odd = (faces.suits[0] | faces.suits[1] | faces.suits[2] | faces.honours) &
                       0x1111111111111111ULL;
  return total == 14 && odd == 0;
}

namespace {

bool AnyOver4(const PackedFaces& faces) {
  return (Over4(faces.suits[0], kSuitLow) | Over4(faces.suits[1], kSuitLow) |
          Over4(faces.suits[2], kSuitLow) | Over4(faces.honours, kHonourLow)) != 0;
}

}  // namespace

bool PackedNoSetsAndPair(const PackedFaces& faces) {
  return !AnyOver4(faces) && OneOrFour(faces.honours, kHonourLow) != 0;
}

bool PackedAllTerminalsOrHonours(const PackedFaces& faces) {
  // Values 2-8 of every suit not held.
  constexpr uint64_t kMiddle = 0x0fffffff0ULL;
  return ((faces.suits[0] | faces.suits[1] | faces.suits[2]) & kMiddle) == 0;
}

bool PackedMayBeKnittedTiles(const PackedFaces& faces) {
  // No face held twice (every count 0 or 1), and the values of each suit of one class (1-4-7,
  // 2-5-8 or 3-6-9): then each suit holds three tiles at most, nine in all.
  const uint64_t all = faces.suits[0] | faces.suits[1] | faces.suits[2] | faces.honours;
  if ((all & ~kSuitLow) != 0) return false;
  constexpr uint64_t kClass = 0x001001001ULL;  // values 1, 4 and 7
  for (uint64_t suit : faces.suits) {
    const int classes = ((suit & kClass) != 0) + ((suit & (kClass << 4)) != 0) +
                        ((suit & (kClass << 8)) != 0);
    if (classes > 1) return false;
  }
  return true;
}

int PackedStandardWin(const PackedFaces& faces, int total, GroupList& groups) {
  if (total != 5 && total != 8 && total != 11 && total != 14) return kShapeNone;
  const uint64_t* suits = faces.suits;
  const uint64_t honours = faces.honours;
  if (AnyOver4(faces)) return kShapeNone;
  // Sets and a pair: no honour held once or four times.
  if (OneOrFour(honours, kHonourLow) != 0) return kShapeNone;
  SuitsPartition p;
  if (SequencesFirst(suits, p) && OneBit(PairBits(p, honours))) {
    PutGroups(p, honours, total / 3 + 1, groups);
    return kShapeSequencesFirst;
  }
  if (PungsFirst(suits, p) && OneBit(PairBits(p, honours))) {
    PutGroups(p, honours, total / 3 + 1, groups);
    return kShapePungsFirst;
  }
  // The eye: no suit holds one more than a multiple of three tiles, and exactly one unit (a
  // suit or an honour face) two more.
  int eye_unit = -1;
  int twos = 0;
  for (int s = 0; s < 3; ++s) {
    const int r = SuitTotal(suits[s]) % 3;
    if (r == 1) return kShapeNone;
    if (r == 2) {
      eye_unit = s;
      ++twos;
    }
  }
  const uint64_t honour_pairs = Two(honours, kHonourLow);
  if (honour_pairs != 0) {
    if (!OneBit(honour_pairs)) return kShapeNone;
    eye_unit = 3 + (__builtin_ctzll(honour_pairs) >> 2);
    ++twos;
  }
  if (twos != 1) return kShapeNone;
  if (EyeFirst(faces, eye_unit, p)) {
    PutGroups(p, honours, total / 3 + 1, groups);
    return kShapeEyeFirst;
  }
  return kShapeNone;
}

}  // namespace win_search
