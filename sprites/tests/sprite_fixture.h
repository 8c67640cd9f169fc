// Bitmap sizes of the table's small tile set, for sprites built without a window.
#pragma once
#include <algorithm>
#include <vector>

#include "comm_poke.h"

namespace sprites::testing {

// Small set: 22 x 30 faces on a 198 x 240 sheet, 27 x 37 tiles, a 23 x 30 wall stack.
inline SpriteBitmapSizes SmallSet(uint16_t angle = 0) {
  SpriteBitmapSizes s;
  const bool turned = (angle == 90 || angle == 270);
  s.faceSheet = turned ? BitmapSize{240, 198} : BitmapSize{198, 240};
  s.frame = turned ? BitmapSize{74, 27} : BitmapSize{54, 37};
  s.faceDown = s.frame;
  s.extra[0] = {54, 37};
  s.extra[1] = {60, 40};
  s.extra[2] = {54, 37};
  s.extra[3] = {46, 30};
  s.extra[4] = {60, 23};
  return s;
}

inline std::vector<DrawOp> OpsOf(const SpriteDrawing& d, DrawSource source) {
  std::vector<DrawOp> out;
  std::copy_if(d.ops.begin(), d.ops.end(), std::back_inserter(out),
               [&](const DrawOp& op) { return op.source == source; });
  return out;
}

}  // namespace sprites::testing
