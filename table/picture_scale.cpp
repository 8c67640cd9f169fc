#include "picture_scale.h"

#include <algorithm>

namespace table {

namespace {

// Where each target column or row samples the source: the first source index, the next one
// (the same at the edge) and the next one's weight out of 256.
struct Tap {
  int first;
  int second;
  uint32_t weight;
};

std::vector<Tap> Taps(int sourceSize, int targetSize) {
  std::vector<Tap> taps(static_cast<std::size_t>(targetSize));
  for (int i = 0; i < targetSize; ++i) {
    // The position in 24.8 fixed point, rounded to the nearest 1/256 (never past the last pixel).
    const uint64_t at = ((static_cast<uint64_t>(i) * static_cast<uint64_t>(sourceSize) << 9) /
                             static_cast<uint64_t>(targetSize) +
                         1) >>
                        1;
    const int first = std::min(static_cast<int>(at >> 8), sourceSize - 1);
    taps[static_cast<std::size_t>(i)] = {first, first + 1 < sourceSize ? first + 1 : first,
                                    static_cast<uint32_t>(at & 0xFF)};
  }
  return taps;
}

// a + (b - a) * w / 256 on the four bytes, two at a time: each byte has the 8 bits above it free,
// and 255 * 256 + 128 stays below 65536, so nothing carries into the next byte.
inline uint32_t Mix(uint32_t a, uint32_t b, uint32_t w) {
  if (w == 0) return a;
  const uint32_t v = 256 - w;
  const uint32_t rb = ((a & 0x00FF00FFu) * v + (b & 0x00FF00FFu) * w + 0x00800080u) >> 8;
  const uint32_t ag = ((a >> 8) & 0x00FF00FFu) * v + ((b >> 8) & 0x00FF00FFu) * w + 0x00800080u;
  return (rb & 0x00FF00FFu) | (ag & 0xFF00FF00u);
}

}  // namespace

void ScaleBilinear(const uint32_t* source, int sw, int sh, uint32_t* target, int dw, int dh) {
  if (!source || !target || sw < 1 || sh < 1 || dw < 1 || dh < 1) return;
  const std::vector<Tap> columns = Taps(sw, dw), rows = Taps(sh, dh);
  // Source rows scaled across, two at a time: neighbouring target rows mostly share theirs, so
  // each source row is scaled across once.
  std::vector<uint32_t> across[2] = {std::vector<uint32_t>(static_cast<std::size_t>(dw)),
                                     std::vector<uint32_t>(static_cast<std::size_t>(dw))};
  int held[2] = {-1, -1};
  auto rowAcross = [&](int r) -> const uint32_t* {
    for (int k = 0; k < 2; ++k)
      if (held[k] == r) return across[k].data();
    // The slot whose row the current target row does not use.
    const int k = held[0] < held[1] ? 0 : 1;
    const uint32_t* in = source + static_cast<std::size_t>(r) * static_cast<std::size_t>(sw);
    uint32_t* out = across[k].data();
    for (const Tap& c : columns) *out++ = Mix(in[c.first], in[c.second], c.weight);
    held[k] = r;
    return across[k].data();
  };
  for (int y = 0; y < dh; ++y) {
    const Tap& row = rows[static_cast<std::size_t>(y)];
    uint32_t* out = target + static_cast<std::size_t>(y) * static_cast<std::size_t>(dw);
    const uint32_t* upper = rowAcross(row.first);
    if (row.weight == 0) {
      std::copy(upper, upper + dw, out);
      continue;
    }
    // Rows only grow down the target: the lower row takes the slot of a row no longer needed.
    const uint32_t* lower = rowAcross(row.second);
    for (int x = 0; x < dw; ++x) out[x] = Mix(upper[x], lower[x], row.weight);
  }
}

void LayOverBlack(uint32_t* pixels, std::size_t count) {
  if (!pixels) return;
  for (std::size_t i = 0; i < count; ++i) pixels[i] &= 0x00FFFFFFu;
}

}  // namespace table
