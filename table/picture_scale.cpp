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
  for (int y = 0; y < dh; ++y) {
    const Tap& row = rows[static_cast<std::size_t>(y)];
    const uint32_t* upper = source + static_cast<std::size_t>(row.first) * static_cast<std::size_t>(sw);
    const uint32_t* lower = source + static_cast<std::size_t>(row.second) * static_cast<std::size_t>(sw);
    uint32_t* out = target + static_cast<std::size_t>(y) * static_cast<std::size_t>(dw);
    if (row.weight == 0) {
      for (const Tap& c : columns) *out++ = Mix(upper[c.first], upper[c.second], c.weight);
    } else {
      for (const Tap& c : columns)
        *out++ = Mix(Mix(upper[c.first], upper[c.second], c.weight),
                     Mix(lower[c.first], lower[c.second], c.weight), row.weight);
    }
  }
}

void LayOverBlack(uint32_t* pixels, std::size_t count) {
  if (!pixels) return;
  for (std::size_t i = 0; i < count; ++i) pixels[i] &= 0x00FFFFFFu;
}

}  // namespace table
