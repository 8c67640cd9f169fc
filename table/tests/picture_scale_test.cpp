// The centre picture's stretch: a picture of the same size comes out unchanged, a flat colour stays
// flat, corners and edges take the source's corners and edges, the result is within rounding of a
// bilinear stretch worked out in floating point, and no size reads outside the source (the native
// build runs this under the address sanitizer, with vectors of the exact size).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>

#include "picture_scale.h"

namespace table {
namespace {

struct Picture {
  int w, h;
  std::vector<uint32_t> px;
  uint32_t At(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

uint8_t Byte(uint32_t p, int k) { return static_cast<uint8_t>(p >> (8 * k)); }

// Random premultiplied pixels: every colour byte at most the alpha byte.
Picture RandomPicture(int w, int h, unsigned seed) {
  std::mt19937 rng(seed);
  Picture p{w, h, std::vector<uint32_t>(static_cast<size_t>(w) * h)};
  for (uint32_t& v : p.px) {
    const uint32_t a = rng() % 256;
    uint32_t c = a << 24;
    for (int k = 0; k < 3; ++k) c |= (a ? rng() % (a + 1) : 0) << (8 * k);
    v = c;
  }
  return p;
}

Picture Scale(const Picture& s, int w, int h) {
  Picture t{w, h, std::vector<uint32_t>(static_cast<size_t>(w) * h, 0xDEADBEEFu)};
  ScaleBilinear(s.px.data(), s.w, s.h, t.px.data(), w, h);
  return t;
}

// The same stretch in floating point: target (x, y) at (x * sw / dw, y * sh / dh), edge repeated.
double Reference(const Picture& s, int dw, int dh, int x, int y, int k) {
  const double fx = static_cast<double>(x) * s.w / dw, fy = static_cast<double>(y) * s.h / dh;
  const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
  const int x1 = std::min(x0 + 1, s.w - 1), y1 = std::min(y0 + 1, s.h - 1);
  const double ax = fx - x0, ay = fy - y0;
  auto b = [&](int px, int py) { return static_cast<double>(Byte(s.At(px, py), k)); };
  const double top = b(x0, y0) * (1 - ax) + b(x1, y0) * ax;
  const double bottom = b(x0, y1) * (1 - ax) + b(x1, y1) * ax;
  return top * (1 - ay) + bottom * ay;
}

struct Sizes {
  int sw, sh, dw, dh;
};
// Up, down, mixed, odd, one pixel either side, long thin pictures, the table's own sizes.
const Sizes kSizes[] = {{7, 5, 7, 5},     {2, 2, 4, 4},       {4, 4, 2, 2},    {7, 5, 23, 11},
                        {23, 11, 7, 5},   {9, 4, 5, 13},      {1, 1, 6, 3},    {5, 3, 1, 1},
                        {1, 9, 4, 2},     {300, 1, 7, 1},     {3, 1, 301, 2},  {64, 48, 63, 47},
                        {64, 48, 65, 49}, {256, 192, 225, 175}};

TEST(PictureScale, SameSizeComesOutUnchanged) {
  for (const auto& [w, h] : {std::pair{7, 5}, std::pair{1, 1}, std::pair{64, 1}}) {
    const Picture s = RandomPicture(w, h, 3);
    EXPECT_EQ(Scale(s, w, h).px, s.px) << w << "x" << h;
  }
}

TEST(PictureScale, FlatColourStaysFlat) {
  for (const Sizes& z : kSizes) {
    for (uint32_t colour : {0x80402010u, 0xFFFFFFFFu, 0x00000000u, 0xFF00FF00u}) {
      const Picture s{z.sw, z.sh, std::vector<uint32_t>(static_cast<size_t>(z.sw) * z.sh, colour)};
      const Picture t = Scale(s, z.dw, z.dh);
      EXPECT_EQ(std::count(t.px.begin(), t.px.end(), colour), static_cast<long>(t.px.size()))
          << z.sw << "x" << z.sh << " to " << z.dw << "x" << z.dh << " colour " << std::hex
          << colour;
    }
  }
}

TEST(PictureScale, WithinRoundingOfTheStretchInFloatingPoint) {
  unsigned seed = 1;
  for (const Sizes& z : kSizes) {
    const Picture s = RandomPicture(z.sw, z.sh, ++seed);
    const Picture t = Scale(s, z.dw, z.dh);
    int worst = 0;
    bool premultiplied = true;
    for (int y = 0; y < z.dh; ++y)
      for (int x = 0; x < z.dw; ++x) {
        const uint32_t p = t.At(x, y);
        for (int k = 0; k < 4; ++k) {
          const double want = Reference(s, z.dw, z.dh, x, y, k);
          worst = std::max(worst, static_cast<int>(std::ceil(std::fabs(Byte(p, k) - want))));
          if (k < 3 && Byte(p, k) > Byte(p, 3)) premultiplied = false;
        }
      }
    EXPECT_LE(worst, 2) << z.sw << "x" << z.sh << " to " << z.dw << "x" << z.dh;
    EXPECT_TRUE(premultiplied) << z.sw << "x" << z.sh << " to " << z.dw << "x" << z.dh;
  }
}

TEST(PictureScale, CornersAndEdgesComeFromTheSourcesCornersAndEdges) {
  const Picture s = RandomPicture(4, 4, 11);
  // Halving takes every second pixel exactly.
  const Picture half = Scale(s, 2, 2);
  EXPECT_EQ(half.At(0, 0), s.At(0, 0));
  EXPECT_EQ(half.At(1, 0), s.At(2, 0));
  EXPECT_EQ(half.At(0, 1), s.At(0, 2));
  EXPECT_EQ(half.At(1, 1), s.At(2, 2));
  // Doubling: the top left corner is the source's, the last column and row repeat the source's
  // edge instead of fading into what lies beyond it.
  const Picture twice = Scale(s, 8, 8);
  EXPECT_EQ(twice.At(0, 0), s.At(0, 0));
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(twice.At(7, 2 * i), s.At(3, i)) << i;
    EXPECT_EQ(twice.At(6, 2 * i), s.At(3, i)) << i;
    EXPECT_EQ(twice.At(2 * i, 7), s.At(i, 3)) << i;
  }
  // Half way between two pixels, each byte is the rounded mean, with no carry between bytes.
  const Picture pair{2, 1, {0x00000000u, 0xFFFFFFFFu}};
  EXPECT_EQ(Scale(pair, 4, 1).px,
            (std::vector<uint32_t>{0x00000000u, 0x80808080u, 0xFFFFFFFFu, 0xFFFFFFFFu}));
  const Picture mixed{2, 1, {0xFF00FF00u, 0x00FF00FFu}};
  EXPECT_EQ(Scale(mixed, 4, 1).At(1, 0), 0x80808080u);
}

TEST(PictureScale, OnePixelSourceFillsTheTarget) {
  const Picture s{1, 1, {0xC0A08060u}};
  for (const auto& [w, h] : {std::pair{1, 1}, std::pair{17, 1}, std::pair{1, 9}, std::pair{33, 21}}) {
    const Picture t = Scale(s, w, h);
    EXPECT_EQ(std::count(t.px.begin(), t.px.end(), 0xC0A08060u), static_cast<long>(w * h));
  }
}

TEST(PictureScale, NoSizeOrNoPictureLeavesTheTargetAlone) {
  std::vector<uint32_t> source(4, 0x11223344u), target(4, 0xDEADBEEFu);
  const std::vector<uint32_t> untouched = target;
  ScaleBilinear(source.data(), 0, 2, target.data(), 2, 2);
  ScaleBilinear(source.data(), 2, -1, target.data(), 2, 2);
  ScaleBilinear(source.data(), 2, 2, target.data(), 0, 2);
  ScaleBilinear(nullptr, 2, 2, target.data(), 2, 2);
  ScaleBilinear(source.data(), 2, 2, nullptr, 2, 2);
  EXPECT_EQ(target, untouched);
}

}  // namespace
}  // namespace table
