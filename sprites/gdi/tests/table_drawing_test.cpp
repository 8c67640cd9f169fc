// The table display's sprites drawn into DIB sections and checked by pixels: faces at angles 0
// and 90, the raised tile, face-down tiles, the mask composition, the wall with its stacks,
// dice and last-discard frame, and the group frame. The last test draws a table's tiles from
// the generated art and keeps the picture (sprites_rendered.bmp) for a person to look at.
#include <gtest/gtest.h>

#include "dib_canvas.h"
#include "row_sprite_holder.h"

#include <objidl.h>

#include <algorithm>
// GDI+ wants min and max from somewhere.
using std::max;
using std::min;
#include <gdiplus.h>

namespace sprites {
namespace {

using namespace testing;

constexpr COLORREF kTableGreen = 0x8000;  // RGB(0, 128, 0)
constexpr uint32_t kGreen = 0x008000;
constexpr uint32_t kUntouched = 0x123456;
constexpr uint32_t kStackColour = 0xA0A0F0;

// The small set as synthetic bitmaps.
struct SmallSet {
  HBITMAP faces[4], framesA[4], framesB[4], faceDown[4], extra[5];
  SmallSet() {
    faces[0] = SyntheticSheet(9, 8, 22, 30);
    faces[1] = SyntheticSheet(8, 9, 30, 22);
    faces[2] = SyntheticSheet(9, 8, 22, 30);
    faces[3] = SyntheticSheet(8, 9, 30, 22);
    for (int a = 0; a < 4; ++a) {
      const bool turned = (a % 2) == 1;
      framesA[a] = SyntheticMasked(turned ? 37 : 27, turned ? 27 : 37, kFrameColour);
      framesB[a] = SyntheticMasked(turned ? 37 : 27, turned ? 27 : 37, kFrameColour);
      faceDown[a] = SyntheticMasked(turned ? 37 : 27, turned ? 27 : 37, kFaceDownColour);
    }
    extra[0] = SyntheticMasked(27, 37, 0x505050);
    extra[1] = SyntheticMasked(26, 38, 0x306090);
    extra[2] = SyntheticMasked(30, 44, 0x306090);
    extra[3] = SyntheticMasked(23, 30, kStackColour);
    extra[4] = SyntheticMasked(30, 23, kStackColour);
  }
  ~SmallSet() {
    for (HBITMAP* set : {faces, framesA, framesB, faceDown})
      for (int a = 0; a < 4; ++a) DeleteObject(set[a]);
    for (HBITMAP b : extra) DeleteObject(b);
  }
  void Create(RowSpriteHolder& h, uint16_t kind, uint16_t angle, int16_t margin, uint16_t mode) {
    h.CreateRowSprite(kind, angle, margin, mode, kTableGreen, extra, faces, framesA, framesB,
                      nullptr, faceDown);
  }
};

TEST(TableDrawing, FacesAtAngleZeroAndTheRaisedTile) {
  SmallSet set;
  RowSpriteHolder hand;
  set.Create(hand, 4, 0, 12, 0);
  hand.AddCard(5, 2);
  hand.AddCard(1, 0);  // sorted first
  Canvas c(200, 120);
  const RECT r{10, 20, 200, 120};
  ASSERT_EQ(hand.Draw(c.dc(), &r), 1);

  EXPECT_EQ(c.At(10, 32), kGreen);             // masked-out corner of tile 0
  EXPECT_EQ(c.At(14, 33), kFrameColour);       // the frame
  EXPECT_EQ(c.At(25, 47), SheetCellColour(0, 0));  // face of 1 of characters
  EXPECT_EQ(c.At(52, 47), SheetCellColour(4, 2));  // face of 5 of bamboo
  EXPECT_EQ(c.At(12, 22), kGreen);             // above the unraised tiles
  EXPECT_EQ(c.At(5, 5), kUntouched);
  EXPECT_EQ(c.At(10 + 54, 40), kUntouched);    // right of the row

  const POINT click{27 + 5, 20};
  hand.ClickAt(&click);
  ASSERT_EQ(hand.Draw(c.dc(), &r), 1);
  EXPECT_EQ(c.At(52, 35), SheetCellColour(4, 2));  // raised by the margin
  EXPECT_EQ(c.At(40, 63), kGreen);                  // under the raised tile
  EXPECT_EQ(c.At(25, 47), SheetCellColour(0, 0));   // the other stays
}

TEST(TableDrawing, FacesAtAngleNinety) {
  SmallSet set;
  RowSpriteHolder flowers;
  set.Create(flowers, 4, 90, 0, 1);
  flowers.AddCardWithoutSort(1, 0);  // sheet cell (7, 0)
  flowers.AddCardWithoutSort(2, 3);  // sheet cell (4, 1)
  uint16_t w = 0, h = 0;
  flowers.GetSize(w, h);
  EXPECT_EQ(w, 2 * 37);
  EXPECT_EQ(h, 27);
  Canvas c(120, 60);
  const RECT r{0, 0, 120, 60};
  ASSERT_EQ(flowers.Draw(c.dc(), &r), 1);
  EXPECT_EQ(c.At(15, 15), SheetCellColour(7, 0));
  EXPECT_EQ(c.At(37 + 15, 15), SheetCellColour(4, 1));
  EXPECT_EQ(c.At(37, 0), kGreen);  // corner of the second tile
}

TEST(TableDrawing, FaceDownTiles) {
  SmallSet set;
  RowSpriteHolder kongs;
  set.Create(kongs, 4, 0, 0, 2);
  for (int i = 0; i < 2; ++i) kongs.AddCard(3, 1);
  Canvas c(80, 50);
  const RECT r{0, 0, 80, 50};
  ASSERT_EQ(kongs.Draw(c.dc(), &r), 1);
  EXPECT_EQ(c.At(13, 20), kFaceDownColour);  // no face over it
  EXPECT_EQ(c.At(27 + 13, 20), kFaceDownColour);
  EXPECT_EQ(c.At(27, 0), kGreen);
}

TEST(TableDrawing, MaskComposition) {
  Canvas c(40, 40);
  // Picture: left column red, the rest blue; mask: white except the left column.
  HBITMAP masked = PaintedBitmap(20, 10, [](int x, int) -> uint32_t {
    if (x < 10) return x == 0 ? 0xFF0000 : 0x0000FF;
    return x == 10 ? 0x000000 : 0xFFFFFF;
  });
  winkit::UniqueBrush brush(CreateSolidBrush(RGB(0x11, 0x22, 0x33)));
  winkit::UniqueBitmap tile = ComposeMasked(c.dc(), masked, brush.Get());
  ASSERT_NE(tile.Get(), nullptr);
  EXPECT_EQ(MeasureBitmap(tile.Get()).width, 10);
  {
    winkit::UniqueDc src(CreateCompatibleDC(c.dc()));
    winkit::SelectedObject selected(src.Get(), tile.Get());
    BitBlt(c.dc(), 0, 0, 10, 10, src.Get(), 0, 0, SRCCOPY);
  }
  EXPECT_EQ(c.At(0, 5), 0x112233u);  // mask black: the background
  EXPECT_EQ(c.At(1, 5), 0x0000FFu);  // mask white: the picture
  EXPECT_EQ(c.At(9, 9), 0x0000FFu);
  DeleteObject(masked);
  EXPECT_EQ(ComposeMasked(c.dc(), nullptr, nullptr).Get(), nullptr);
}

TEST(TableDrawing, WallStacksDiscardFrameAndDice) {
  SmallSet set;
  RowSpriteHolder wall;
  set.Create(wall, 13, 0, 0, 1);
  wall.SetGrid(12, 4);
  wall.SetFaceOffset(4, 3);
  wall.SetWallSize(400, 300);
  HICON dice[6];
  for (int k = 0; k < 6; ++k) {
    dice[k] = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(480 + k),
                                            IMAGE_ICON, 24, 24, 0));
    ASSERT_NE(dice[k], nullptr) << k;
  }
  wall.SetImages(dice);

  Canvas c(500, 400);
  const RECT r{50, 40, 450, 340};
  EXPECT_EQ(wall.Draw(c.dc(), &r), 0);  // no wall built yet
  EXPECT_EQ(c.At(60, 50), kUntouched);

  wall.InitWall(64);
  wall.SetFirstPosition_InWall(0, 0);
  wall.DeleteCardsFromWall(2, 0);  // stack 0 gone
  wall.PutCardInCell(5, 1, 0);     // (0, 3) of the grid
  wall.SetFrame(1);
  wall.ShowDice(1, 0, 2, 5);
  ASSERT_EQ(wall.Draw(c.dc(), &r), 1);

  EXPECT_EQ(c.At(50 + 361 + 10, 40 + 267 + 10), kGreen);  // stack 0 taken
  EXPECT_EQ(c.At(50 + 338 + 10, 40 + 267 + 10), kStackColour);
  EXPECT_EQ(c.At(50 + 338 + 10, 40 + 259 + 2), kStackColour);  // its upper tile
  EXPECT_EQ(c.At(50 + 361 + 10, 40 + 12 + 10), kStackColour);  // far row
  // The discard at (0, 3): grid origin (38, 76) in the wall.
  const int tx = 50 + 38, ty = 40 + 76 + 3 * 37;
  EXPECT_EQ(c.At(tx + 4 + 10, ty + 3 + 10), SheetCellColour(4, 1));
  EXPECT_EQ(c.At(tx + 4, ty + 4 + 5), Rgb(0x7B0C5D));  // the frame's left edge
  // Die showing three at ((400 - 72) / 2, 300 - 96): its middle pip is dark.
  const uint32_t pip = c.At(50 + 164 + 12, 40 + 204 + 12);
  EXPECT_LT(pip & 0xFF, 0x40u);
  EXPECT_LT((pip >> 16) & 0xFF, 0x40u);
  EXPECT_NE(c.At(50 + 164 + 48 + 4, 40 + 204 + 12), kGreen);  // second die
  for (HICON i : dice) DestroyIcon(i);
}

TEST(TableDrawing, GroupFrameBarAndHiddenSprite) {
  SmallSet set;
  RowSpriteHolder melds;
  set.Create(melds, 6, 0, 8, 1);
  const card pung[3] = {{1, 5}, {1, 5}, {1, 5}};
  melds.AddCards(3, pung);
  melds.SetFrame(1);
  Canvas c(120, 60);
  const RECT r{0, 0, 120, 60};
  ASSERT_EQ(melds.Draw(c.dc(), &r), 1);
  EXPECT_EQ(c.At(30, 44), 0xFF0000u);  // the red bar under the group
  EXPECT_EQ(c.At(30, 10), kFrameColour);
  EXPECT_EQ(c.At(27 + 23 + 3 + 10, 8 + 20), SheetCellColour(4, 1));  // third tile's face

  Canvas hidden(120, 60);
  melds.SetVisible(0);
  EXPECT_EQ(melds.Draw(hidden.dc(), &r), 0);
  EXPECT_EQ(hidden.At(30, 30), kUntouched);
}

TEST(TableDrawing, RevealAPartAndChangeTheBackground) {
  SmallSet set;
  RowSpriteHolder hand;
  set.Create(hand, 4, 0, 0, 1);
  for (int v = 1; v <= 4; ++v) hand.AddCard(static_cast<int16_t>(v), 0);
  Canvas c(150, 60);
  const RECT whole{0, 0, 108, 37}, part{0, 0, 54, 37};
  ASSERT_EQ(hand.DrawTwoParts(c.dc(), &whole, &part), 1);
  EXPECT_EQ(c.At(5 + 10, 5 + 10), SheetCellColour(0, 0));
  EXPECT_EQ(c.At(27 + 15, 15), SheetCellColour(1, 0));
  EXPECT_EQ(c.At(54 + 15, 15), kGreen);  // not revealed yet: the background
  EXPECT_EQ(c.At(120, 15), kUntouched);

  // A new background colour reaches the tiles' corners too.
  hand.SetBkColor(RGB(1, 2, 3));
  ASSERT_EQ(hand.Draw(c.dc(), &whole), 1);
  EXPECT_EQ(c.At(0, 0), 0x010203u);
  EXPECT_EQ(c.At(81, 1), 0x010203u);
  EXPECT_EQ(c.At(81 + 15, 15), SheetCellColour(3, 0));
}

TEST(TableDrawing, FourSidedWallWithDiceOnTheTarget) {
  SmallSet set;
  RowSpriteHolder wall;
  set.Create(wall, 7, 0, 0, 1);
  wall.SetWallSize(500, 500);
  HICON dice[6];
  for (int k = 0; k < 6; ++k)
    dice[k] = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(480 + k),
                                            IMAGE_ICON, 24, 24, 0));
  wall.SetImages(dice);
  Canvas c(520, 520);
  const RECT r{10, 10, 510, 510};
  ASSERT_EQ(wall.Draw(c.dc(), &r), 1);  // no wall yet: the brush only
  EXPECT_EQ(c.At(60, 20), kGreen);
  wall.InitWall(144);
  wall.ShowDice(1, 2, 0, 0);
  ASSERT_EQ(wall.Draw(c.dc(), &r), 1);
  EXPECT_EQ(c.At(10 + 43 + 10, 10 + 10), kStackColour);        // top side
  EXPECT_EQ(c.At(10 + 465 + 10, 10 + 43 + 10), kStackColour);  // right side, lying stacks
  EXPECT_EQ(c.At(10 + 214 + 12, 10 + 48 + 12) & 0xFF, 0x1Eu);  // die one: red pip (200, 30, 30)
  for (HICON i : dice) DestroyIcon(i);
}

TEST(TableDrawing, BackgroundFromTheTablePicture) {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
  {
    // The table's picture: blue left of x 150, red from there on.
    HBITMAP picture = PaintedBitmap(300, 200, [](int x, int) -> uint32_t {
      return x < 150 ? 0x0000AA : 0xAA0000;
    });
    Gdiplus::Bitmap image(picture, nullptr);
    SmallSet set;
    RowSpriteHolder flowers;
    set.Create(flowers, 4, 0, 10, 1);
    flowers.SetBkImage(&image);
    flowers.AddCard(1, 5);
    Canvas c(300, 200);
    const RECT r{140, 20, 300, 200};
    ASSERT_EQ(flowers.Draw(c.dc(), &r), 1);
    // Above the tile, the part of the picture under the sprite's place.
    EXPECT_EQ(c.At(143, 24), 0x0000AAu);
    EXPECT_EQ(c.At(160, 24), 0xAA0000u);
    EXPECT_EQ(c.At(140, 30), kGreen);  // the tile's corner was composed over the brush
    EXPECT_EQ(c.At(150, 50), SheetCellColour(0, 5));
    flowers.SetBkImage(nullptr);
    DeleteObject(picture);
  }
  Gdiplus::GdiplusShutdown(token);
}

// A sprite drawn again, after its row, its brush or the table's picture changed, shows what a
// sprite made afresh in that state shows; a row of more faces than the first strip of faced
// tiles holds shows every face on its frame.
TEST(TableDrawing, RedrawsMatchAFreshSpriteAfterEveryChange) {
  SmallSet set;
  // The table's picture in a memory DC: blue, later red.
  winkit::UniqueBitmap picture(
      PaintedBitmap(700, 100, [](int, int) -> uint32_t { return 0x0000AA; }));
  winkit::UniqueDc pictureDc(CreateCompatibleDC(nullptr));
  winkit::SelectedObject selected(pictureDc.Get(), picture.Get());
  auto row = [&](RowSpriteHolder& h, int count, COLORREF brush) {
    set.Create(h, 4, 0, 12, 0);
    for (int i = 0; i < count; ++i)
      h.AddCardWithoutSort(static_cast<int16_t>(i % 9 + 1), static_cast<int16_t>(i / 9));
    h.SetBkDc(pictureDc.Get());
    if (brush != kTableGreen) h.SetBkColor(brush);
  };
  constexpr int kTiles = 20;  // more different faces than the first strip holds
  const RECT r{0, 0, 700, 100};
  auto same = [&](RowSpriteHolder& drawn, int count, COLORREF brush, const char* step) {
    RowSpriteHolder fresh;
    row(fresh, count, brush);
    Canvas a(700, 100), b(700, 100);
    ASSERT_EQ(drawn.Draw(a.dc(), &r), 1) << step;
    ASSERT_EQ(fresh.Draw(b.dc(), &r), 1) << step;
    int differ = 0;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 700; ++x) differ += a.At(x, y) != b.At(x, y);
    EXPECT_EQ(differ, 0) << step;
  };
  RowSpriteHolder hand;
  row(hand, kTiles, kTableGreen);
  Canvas c(700, 100);
  ASSERT_EQ(hand.Draw(c.dc(), &r), 1);
  for (int i = 0; i < kTiles; ++i) {
    EXPECT_EQ(c.At(27 * i + 15, 27), SheetCellColour(i % 9, i / 9)) << "tile " << i;
    EXPECT_EQ(c.At(27 * i + 4, 13), kFrameColour) << "tile " << i;
    EXPECT_EQ(c.At(27 * i, 12), kGreen) << "tile " << i;  // corner over the brush
  }
  EXPECT_EQ(c.At(5, 5), 0x0000AAu);  // above the row: the table's picture
  same(hand, kTiles, kTableGreen, "drawn again");
  hand.RemoveAt(3);
  RowSpriteHolder fewer;
  row(fewer, kTiles, kTableGreen);
  fewer.RemoveAt(3);
  {
    Canvas a(700, 100), b(700, 100);
    ASSERT_EQ(hand.Draw(a.dc(), &r), 1);
    ASSERT_EQ(fewer.Draw(b.dc(), &r), 1);
    int differ = 0;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 700; ++x) differ += a.At(x, y) != b.At(x, y);
    EXPECT_EQ(differ, 0) << "a tile taken";
  }
  hand.AddCardWithoutSort(4, 0);
  RowSpriteHolder back;
  row(back, kTiles, kTableGreen);
  back.RemoveAt(3);
  back.AddCardWithoutSort(4, 0);
  {
    Canvas a(700, 100), b(700, 100);
    ASSERT_EQ(hand.Draw(a.dc(), &r), 1);
    ASSERT_EQ(back.Draw(b.dc(), &r), 1);
    EXPECT_EQ(a.At(27 * (kTiles - 1) + 15, 27), SheetCellColour(3, 0));
    int differ = 0;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 700; ++x) differ += a.At(x, y) != b.At(x, y);
    EXPECT_EQ(differ, 0) << "a tile added";
  }
  // Another brush: the tiles' corners show it.
  RowSpriteHolder recoloured;
  row(recoloured, kTiles, RGB(0x60, 0x10, 0x10));
  recoloured.Draw(c.dc(), &r);
  recoloured.SetBkColor(RGB(0x10, 0x10, 0x60));
  same(recoloured, kTiles, RGB(0x10, 0x10, 0x60), "another brush");
  // The table's picture changed and given again: the new one shows.
  RowSpriteHolder onPicture;
  row(onPicture, 5, kTableGreen);
  onPicture.Draw(c.dc(), &r);
  {
    const RECT all{0, 0, 700, 100};
    winkit::UniqueBrush red(CreateSolidBrush(RGB(0xAA, 0, 0)));
    FillRect(pictureDc.Get(), &all, red.Get());
  }
  onPicture.SetBkDc(pictureDc.Get());
  ASSERT_EQ(onPicture.Draw(c.dc(), &r), 1);
  EXPECT_EQ(c.At(5, 5), 0xAA0000u);
  same(onPicture, 5, kTableGreen, "a new picture");
}

// ---- the generated art ----

HBITMAP Art(int id) {
  return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                         IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

TEST(TileArt, ResourcesHaveTheirSizes) {
  struct Case {
    int id, w, h;
  } cases[] = {{201, 198, 240}, {202, 240, 198}, {203, 198, 240}, {204, 240, 198},
               {205, 54, 37},   {206, 74, 27},   {209, 54, 37},   {212, 72, 27},
               {213, 54, 37},   {214, 52, 38},   {216, 46, 30},   {217, 60, 23},
               {222, 54, 37},   {223, 74, 27},   {240, 324, 368}, {241, 80, 66},
               {242, 76, 52},   {243, 76, 52},   {246, 252, 288}, {247, 68, 51},
               {248, 64, 42},   {249, 64, 42}};
  for (const Case& c : cases) {
    HBITMAP b = Art(c.id);
    ASSERT_NE(b, nullptr) << c.id;
    const BitmapSize s = MeasureBitmap(b);
    EXPECT_EQ(s.width, c.w) << c.id;
    EXPECT_EQ(s.height, c.h) << c.id;
    DeleteObject(b);
  }
}

TEST(TileArt, RenderedTable) {
  HBITMAP small[4], framesA[4], framesB[4], down[4], extra[5];
  for (int a = 0; a < 4; ++a) {
    small[a] = Art(201 + a);
    framesA[a] = Art(205 + a);
    framesB[a] = Art(209 + a);
    down[a] = Art(222 + a);
  }
  for (int k = 0; k < 5; ++k) extra[k] = Art(213 + k);
  HBITMAP large[4] = {Art(240)}, largeA[4] = {Art(241)}, largeB[4] = {Art(242)},
          largeDown[4] = {Art(243)};
  HICON dice[6];
  for (int k = 0; k < 6; ++k)
    dice[k] = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(480 + k),
                                            IMAGE_ICON, 24, 24, 0));

  Canvas c(820, 640, kGreen);
  // Opponent: hand backs, melds turned to 180, flowers.
  RowSpriteHolder oppHand, oppMelds, oppFlowers;
  oppHand.CreateRowSprite(4, 0, 0, 4, kTableGreen, extra, small, framesA, framesB, nullptr, down);
  for (int i = 0; i < 10; ++i) oppHand.AddCardWithoutSort(0, 1);
  oppMelds.CreateRowSprite(6, 180, 8, 1, kTableGreen, extra, small, framesA, framesB, nullptr, down);
  oppMelds.SetFaceOffset(3, 2);
  oppMelds.SetOverlap(1);
  const card oppPung[3] = {{4, 1}, {4, 1}, {4, 1}};
  oppMelds.AddCards(3, oppPung);
  oppFlowers.CreateRowSprite(4, 180, 0, 1, kTableGreen, extra, small, framesA, framesB, nullptr, down);
  for (int v = 1; v <= 2; ++v) oppFlowers.AddCard(static_cast<int16_t>(v), 6);

  // The wall with discards and dice.
  RowSpriteHolder wall;
  wall.CreateRowSprite(13, 0, 0, 1, kTableGreen, extra, small, framesA, framesB, nullptr, down);
  wall.SetGrid(12, 4);
  wall.SetFaceOffset(4, 3);
  wall.SetWallSize(400, 300);
  wall.SetImages(dice);
  wall.InitWall(64);
  wall.SetFirstPosition_InWall(0, 4);
  wall.DeleteCardsFromWall(27, 0);
  wall.DeleteCardsFromWall(1, 1);
  const card discards[] = {{0, 3}, {3, 2}, {1, 7}, {2, 1}, {4, 2}, {2, 8}, {0, 9}, {1, 1},
                           {3, 4}, {4, 3}, {2, 5}, {1, 5}, {0, 6}, {7, 4}, {2, 9}, {1, 9}};
  for (int i = 0; i < 16; ++i)
    wall.PutCardInCell(static_cast<int16_t>(discards[i].m_nValue),
                       static_cast<int16_t>(discards[i].m_nColor), static_cast<int16_t>(i % 2));
  wall.SetFrame(1);
  wall.ShowDice(1, 0, 3, 4);

  // Own seat: concealed kong, melds, hand with a raised tile, current tile, flowers.
  RowSpriteHolder kongs, melds, hand, current, flowers;
  kongs.CreateRowSprite(6, 0, 15, 2, kTableGreen, extra, large, largeA, largeB, nullptr, largeDown);
  kongs.SetOverlap(2);
  const card kong[4] = {{4, 3}, {4, 3}, {4, 3}, {4, 3}};
  kongs.AddCards(4, kong);
  melds.CreateRowSprite(6, 0, 15, 1, kTableGreen, extra, large, largeA, largeB, nullptr, largeDown);
  melds.SetFaceOffset(1, 2);
  melds.SetOverlap(2);
  const card chow[3] = {{1, 4}, {1, 5}, {1, 6}};
  const card pung[4] = {{3, 1}, {3, 1}, {3, 1}, {3, 1}};
  melds.AddCards(3, chow);
  melds.AddCards(4, pung);
  melds.SetFrame(1);
  hand.CreateRowSprite(4, 0, 14, 0, kTableGreen, extra, large, largeA, largeB, nullptr, largeDown);
  hand.SetFaceOffset(2, 17);
  const card tiles[] = {{0, 1}, {0, 5}, {0, 9}, {2, 1}, {2, 3}, {2, 7}, {2, 8}};
  for (const card& t : tiles) hand.AddCard(static_cast<int16_t>(t.m_nValue), static_cast<int16_t>(t.m_nColor));
  const POINT pick{2 * 40 + 8, 40};
  hand.ClickAt(&pick);
  current.CreateRowSprite(4, 0, 14, 0, kTableGreen, extra, large, largeA, largeB, nullptr, largeDown);
  current.SetFaceOffset(2, 17);
  current.AddCard(2, 4);
  flowers.CreateRowSprite(4, 0, 0, 1, kTableGreen, extra, small, framesA, framesB, nullptr, down);
  for (int v = 1; v <= 4; ++v) flowers.AddCard(static_cast<int16_t>(v), 5);

  auto draw = [&](RowSpriteHolder& h, int x, int y) {
    uint16_t w = 0, hh = 0;
    h.GetSize(w, hh);
    const RECT r{x, y, x + w, y + hh};
    return h.Draw(c.dc(), &r);
  };
  EXPECT_EQ(draw(oppHand, 250, 8), 1);
  EXPECT_EQ(draw(oppMelds, 120, 8), 1);
  EXPECT_EQ(draw(oppFlowers, 620, 8), 1);
  const RECT wallRect{210, 60, 610, 360};
  EXPECT_EQ(wall.Draw(c.dc(), &wallRect), 1);
  EXPECT_EQ(draw(kongs, 10, 540), 1);
  EXPECT_EQ(draw(melds, 130, 540), 1);
  EXPECT_EQ(draw(hand, 370, 540), 1);
  EXPECT_EQ(draw(current, 660, 540), 1);
  EXPECT_EQ(draw(flowers, 10, 440), 1);
  EXPECT_TRUE(c.Save("sprites_rendered.bmp"));

  for (HBITMAP* set : {small, framesA, framesB, down})
    for (int a = 0; a < 4; ++a) DeleteObject(set[a]);
  for (HBITMAP b : extra) DeleteObject(b);
  for (HBITMAP b : {large[0], largeA[0], largeB[0], largeDown[0]}) DeleteObject(b);
  for (HICON i : dice) DestroyIcon(i);
}

}  // namespace
}  // namespace sprites
