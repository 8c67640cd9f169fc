// How long the sprites take to draw a seat (a 14-tile hand, a meld row and a full discard
// grid) and a full wall into memory DCs, with the table's tile art. Prints microseconds per
// draw; run it under Wine:  wine sprites_gdi_bench.exe [rounds]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "row_sprite_holder.h"

using sprites::RowSpriteHolder;

namespace {

HBITMAP Art(int id) {
  return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                         IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

double Now() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1e6 / static_cast<double>(f.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 2000;
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

  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP target = CreateCompatibleBitmap(screen, 1024, 768);
  HGDIOBJ old = SelectObject(dc, target);

  RowSpriteHolder hand, melds, wall;
  hand.CreateRowSprite(4, 0, 14, 0, 0x8000, extra, large, largeA, largeB, nullptr, largeDown);
  hand.SetFaceOffset(2, 17);
  for (int i = 0; i < 14; ++i) hand.AddCard(static_cast<int16_t>(1 + i % 9), static_cast<int16_t>(i % 3));
  melds.CreateRowSprite(6, 0, 15, 1, 0x8000, extra, large, largeA, largeB, nullptr, largeDown);
  melds.SetFaceOffset(1, 2);
  melds.SetOverlap(2);
  const card chow[3] = {{1, 4}, {1, 5}, {1, 6}};
  const card kong[4] = {{3, 1}, {3, 1}, {3, 1}, {3, 1}};
  melds.AddCards(3, chow);
  melds.AddCards(4, kong);
  melds.AddCards(3, chow);
  wall.CreateRowSprite(13, 0, 0, 1, 0x8000, extra, small, framesA, framesB, nullptr, down);
  wall.SetGrid(12, 4);
  wall.SetFaceOffset(4, 3);
  wall.SetWallSize(400, 300);
  wall.InitWall(64);
  wall.SetFirstPosition_InWall(0, 3);
  for (int i = 0; i < 40; ++i)
    wall.PutCardInCell(static_cast<int16_t>(1 + i % 9), static_cast<int16_t>(i % 5),
                       static_cast<int16_t>(i % 2));
  wall.SetFrame(1);

  auto drawRow = [&](RowSpriteHolder& h, int x, int y) {
    uint16_t w = 0, hh = 0;
    h.GetSize(w, hh);
    const RECT r{x, y, x + w, y + hh};
    h.Draw(dc, &r);
  };
  const RECT wallRect{300, 200, 700, 500};
  // Warm-up: composes the tiles and makes the back buffers.
  drawRow(hand, 300, 650);
  drawRow(melds, 10, 650);
  wall.Draw(dc, &wallRect);

  double t0 = Now();
  for (int i = 0; i < rounds; ++i) {
    drawRow(hand, 300, 650);
    drawRow(melds, 10, 650);
  }
  const double rows = (Now() - t0) / rounds;
  t0 = Now();
  for (int i = 0; i < rounds; ++i) wall.Draw(dc, &wallRect);
  const double walls = (Now() - t0) / rounds;
  std::printf("hand (14 tiles) + melds (3 groups): %.1f us per draw\n", rows);
  std::printf("wall (64 tiles) + 40 discards:      %.1f us per draw\n", walls);
  std::printf("a whole seat with the centre:        %.1f us\n", rows + walls);

  SelectObject(dc, old);
  DeleteObject(target);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return 0;
}
