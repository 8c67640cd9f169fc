// The board's build of the sprites: the grouped row on the solid brush, upright at angle 0 and
// mirrored at angle 180 (the kong's fourth tile lowered); and the board's tile art.
#include <gtest/gtest.h>

#include "dib_canvas.h"
#include "row_sprite_holder.h"

namespace sprites {
namespace {

using namespace testing;

constexpr COLORREF kBoardGreen = 32768;
constexpr uint32_t kGreen = 0x008000;

struct BoardSet {
  HBITMAP faces[4] = {}, framesA[4] = {}, framesB[4] = {}, none[5] = {};
  BoardSet() {
    faces[0] = faces[2] = SyntheticSheet(9, 8, 22, 30);
    for (int a = 0; a < 4; ++a) framesA[a] = framesB[a] = SyntheticMasked(27, 37, kFrameColour);
  }
  ~BoardSet() {
    DeleteObject(faces[0]);
    DeleteObject(framesB[0]);
  }
};

TEST(BoardDrawing, GroupedRowUprightAndMirrored) {
  struct Case {
    uint16_t angle;
    uint32_t topLeft, bottomLeft, lowered;
  } cases[] = {
      {0, kGreen, kFrameColour, kFrameColour},
      {180, kFrameColour, kGreen, SheetCellColour(5, 7 - 2)},  // row 7 - colour at 180
  };
  for (const Case& c : cases) {
    BoardSet set;
    RowSpriteHolder row;
    row.CreateRowSprite(6, c.angle, 10, 1, kBoardGreen, set.none, set.faces, set.framesA,
                        set.framesB, nullptr, set.none);
    const card kong[4] = {{2, 6}, {2, 6}, {2, 6}, {2, 6}};
    row.AddCards(4, kong);
    Canvas canvas(100, 60, 0x123456);
    const RECT r{0, 0, 100, 60};
    ASSERT_EQ(row.Draw(canvas.dc(), &r), 1) << c.angle;
    EXPECT_EQ(canvas.At(13, 1), c.topLeft) << c.angle;
    EXPECT_EQ(canvas.At(13, 46), c.bottomLeft) << c.angle;
    // Raised, the kong's fourth tile covers the first tile's face; lowered, it does not.
    EXPECT_EQ(canvas.At(25, 8), c.lowered) << c.angle;
    EXPECT_EQ(canvas.At(72, 1), c.angle == 0 ? kGreen : kFrameColour) << c.angle;
  }
}

TEST(BoardDrawing, TileArtOfTheBoard) {
  struct Case {
    int id, w, h;
  } cases[] = {{201, 198, 240}, {205, 54, 37}, {206, 74, 27}, {209, 54, 37}, {212, 72, 27}};
  for (const Case& c : cases) {
    HBITMAP b = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(c.id),
                                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(b, nullptr) << c.id;
    EXPECT_EQ(MeasureBitmap(b).width, c.w) << c.id;
    EXPECT_EQ(MeasureBitmap(b).height, c.h) << c.id;
    DeleteObject(b);
  }
  // The table's own sets are not in the board.
  EXPECT_EQ(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(240), IMAGE_BITMAP, 0, 0, 0),
            nullptr);
}

}  // namespace
}  // namespace sprites
