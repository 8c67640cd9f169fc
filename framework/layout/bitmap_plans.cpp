#include "bitmap_plans.h"

#include <algorithm>

namespace layout {

namespace {

int32_t S16(int32_t v) { return static_cast<int16_t>(v); }

void Copy(std::vector<Blit>& out, Piece p, int32_t x, int32_t y, int32_t w, int32_t h,
          int32_t sx = 0) {
  out.push_back(Blit{p, Rect::At(x, y, w, h), Rect::At(sx, 0, w, h)});
}

// Tiles of `step` from `from` up to `to`, the last cut to end at `to`; at least one.
template <class F>
void Tiles(int32_t from, int32_t to, int32_t step, F tile) {
  int32_t at = from;
  do {
    tile(at, std::min(step, to - at));
    at += step;
  } while (step > 0 && at < to);
}

}  // namespace

NinePartPlan PlanNinePart(int32_t x, int32_t y, int32_t w, int32_t h, Size piece, Size ornament) {
  x = S16(x), y = S16(y), w = S16(w), h = S16(h);
  NinePartPlan plan;
  plan.fill = Rect{x + 5, y + 5, x + w - 10, y + h - 10};
  const int32_t pw = piece.width, ph = piece.height;
  auto& b = plan.blits;
  Copy(b, Piece::kTopLeft, x, y, pw, ph);
  Copy(b, Piece::kTopRight, x + w - pw, y, pw, ph);
  Copy(b, Piece::kBottomLeft, x, y + h - ph, pw, ph);
  Copy(b, Piece::kBottomRight, x + w - pw, y + h - ph, pw, ph);
  Tiles(y + ph, y + h - ph, ph, [&](int32_t at, int32_t len) {
    Copy(b, Piece::kLeftEdge, x, at, pw, len);
    Copy(b, Piece::kRightEdge, x + w - pw, at, pw, len);
  });
  Tiles(x + pw, x + w - pw, pw, [&](int32_t at, int32_t len) {
    Copy(b, Piece::kTopEdge, at, y, len, ph);
    Copy(b, Piece::kBottomEdge, at, y + h - ph, len, ph);
  });
  if (ornament.width > 0 && ornament.height > 0)
    Copy(b, Piece::kOrnament, x + (w - ornament.width) / 2, y, ornament.width, ornament.height);
  return plan;
}

std::vector<Blit> PlanThreePart(int32_t x, int32_t y, int32_t w, Size piece) {
  std::vector<Blit> b;
  const int32_t pw = piece.width, ph = piece.height;
  Copy(b, Piece::kLeft, x, y, pw, ph);
  Copy(b, Piece::kRight, x + w - pw, y, pw, ph);
  Tiles(x + pw, x + w - pw, pw, [&](int32_t at, int32_t len) { Copy(b, Piece::kMiddle, at, y, len, ph); });
  return b;
}

std::vector<Blit> PlanTiledCaption(int32_t x, int32_t y, int32_t w, Size piece) {
  std::vector<Blit> b = PlanThreePart(x, y, w, piece);
  b[0] = Blit{Piece::kLeft, Rect::At(x + 3, y, piece.width - 3, piece.height),
              Rect::At(3, 0, piece.width - 3, piece.height)};
  return b;
}

std::vector<Blit> PlanStretchedCaption(int32_t x, int32_t y, int32_t w, int32_t h, Size left,
                                       Size middle) {
  std::vector<Blit> b;
  b.push_back(Blit{Piece::kLeft, Rect::At(x, y, w, h), Rect::At(0, 0, left.width, h)});
  if (middle.width > 0)
    b.push_back(Blit{Piece::kMiddle, Rect::At(x + (w - middle.width) / 2, y, middle.width, h),
                     Rect::At(0, 0, middle.width, h)});
  return b;
}

}  // namespace layout
