// What a tile sprite draws, worked out without a window: the size of the off-screen surface, the
// bitmap composed into the tile, and a list of copies (tile, face, wall stack, die icon, outline)
// at pixel places. The GDI side (gdi/) carries the list out on memory DCs.
#pragma once
#include <cstdint>
#include <vector>

#include "records/card.h"

namespace sprites {

// Which of the two libraries the sprite is built into: the table display paints the background
// from the table's picture; the board fills it with its solid brush and mirrors the grouped row
// at angle 180.
enum class SpriteBuild : uint8_t { Table, Board };

struct PixelRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const PixelRect&) const = default;
};

// The bitmap composed into the sprite's tile for a draw.
enum class TileSource : uint8_t { Frame, FaceDown, Extra };

enum class DrawSource : uint8_t {
  Tile,       // the composed tile (frame, face-down or extra bitmap over the background)
  Face,       // a cell of the face sheet
  Stack,      // composed wall stack `index` (0..3)
  Dice,       // die icon `index` (0..5), drawn w x h
  FrameRect,  // outline of (dx, dy, dx + w, dy + h) with the sprite's frame brush
};

struct DrawOp {
  DrawSource source;
  int16_t index;   // stack or die number; 0 otherwise
  int32_t sx, sy;  // source position (tile, face, stack)
  int32_t w, h;
  int32_t dx, dy;  // destination, relative to the surface drawn on
  bool operator==(const DrawOp&) const = default;
};

// Where the ops are drawn: an off-screen buffer of (width x height) copied to the target at
// (x, y) afterwards, or the target itself.
enum class DrawTarget : uint8_t { BackBuffer, Direct };

struct SpriteDrawing {
  bool drawn = false;        // false: nothing reaches the target (draw disabled, no tiles, ...)
  bool error = false;        // an invalid mode: "error" is written centred in the rectangle
  DrawTarget target = DrawTarget::BackBuffer;
  int32_t width = 0, height = 0;  // back-buffer size
  int32_t x = 0, y = 0;           // where the buffer goes on the target
  TileSource tile = TileSource::Frame;
  int16_t extra = 0;              // extra bitmap number for TileSource::Extra
  bool usesStacks = false;        // the four wall stacks are composed first
  bool brushBackground = false;   // the buffer is filled with the brush in both builds
  std::vector<DrawOp> ops;        // in drawing order
  std::vector<DrawOp> directOps;  // drawn straight on the target after the buffer (four-sided dice)
  bool operator==(const SpriteDrawing&) const = default;
};

// Sizes of the bitmaps handed to a sprite, as the GDI side measured them (0 x 0 = none or
// unreadable). Frames, face-down tiles, extras and stacks hold an image and its mask side by side.
struct BitmapSize {
  int32_t width = 0, height = 0;
};

struct SpriteBitmapSizes {
  BitmapSize faceSheet;
  BitmapSize frame;     // the frame of the sprite's angle and mode
  BitmapSize faceDown;  // the face-down tile of the sprite's angle
  BitmapSize extra[5];
};

// Back buffer growth: the size a buffer of (haveW x haveH) (0 x 0 = none yet) must become to
// hold (w x h); equal to the present size when it already does.
BitmapSize NextBackBufferSize(BitmapSize have, int32_t w, int32_t h);

}  // namespace sprites
