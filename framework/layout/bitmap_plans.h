// Where the pieces of a skin frame or band go: a nine-part frame (four corners, four tiled
// edges round a filled interior, an optional ornament on the top edge) and a three-part band
// (left, tiled middle, right), as lists of copies that the drawing side carries out.
#pragma once
#include <cstdint>
#include <vector>

#include "geometry.h"

namespace layout {

enum class Piece : uint8_t {
  kTopLeft, kTopRight, kBottomLeft, kBottomRight,
  kTopEdge, kLeftEdge, kRightEdge, kBottomEdge, kOrnament,
  kLeft, kMiddle, kRight,
};

// Copy `src` of the piece onto `dst`; a stretch when their sizes differ. A copy with an empty
// destination draws nothing (a tile cut to zero or less).
struct Blit {
  Piece piece;
  Rect dst;
  Rect src;
  friend bool operator==(const Blit&, const Blit&) = default;
};

struct NinePartPlan {
  Rect fill;  // filled with the frame's colour first
  std::vector<Blit> blits;
};

// The frame at (x, y) of w x h, coordinates taken as signed 16-bit values; every piece is
// drawn with `piece` size (the top-left piece's); `ornament` is empty when there is none.
NinePartPlan PlanNinePart(int32_t x, int32_t y, int32_t w, int32_t h, Size piece, Size ornament);

// The band at (x, y), w wide, every piece drawn with `piece` size (the left piece's).
std::vector<Blit> PlanThreePart(int32_t x, int32_t y, int32_t w, Size piece);
// The caption form of the band: as PlanThreePart, but the left piece from its column 3 on.
std::vector<Blit> PlanTiledCaption(int32_t x, int32_t y, int32_t w, Size piece);
// The stretched caption: the left piece (its full width, h rows) stretched over the band, then
// the middle piece at its own width, h rows, centred. The right piece is not used.
std::vector<Blit> PlanStretchedCaption(int32_t x, int32_t y, int32_t w, int32_t h, Size left,
                                       Size middle);

}  // namespace layout
