// Drawing speed of the table under Wine: the whole table redrawn (background composed, wall,
// both seats, buttons placed) and one seat's hand, into a memory DC, beside the floor of a
// whole-table redraw: one BitBlt of the same size into the same DC; then the first redraw at a new
// size (the centre picture stretched again) beside GDI+'s stretch of the same picture.
//   wine table_view_bench.exe [rounds]
// With --pictures it instead writes the table in several states as BMP files into the folder
// (dealt, redrawn many times, in play with the clock and a framed discard, a raised tile, the
// plain look, a pattern and a colour background, new names, another size, after a win), so the
// drawing before and after a change to it can be compared pixel by pixel:
//   wine table_view_bench.exe --pictures DIR
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dib_canvas.h"
#include "gdi_plus.h"
#include "memory_bitmap.h"
#include "table_scene.h"
#include "winkit/handle.h"

namespace {

using table_gdi::testing::TableScene;

// The table redrawn whole into a canvas of the window's size and kept as DIR\name.bmp.
void Keep(TableScene& s, sprites::testing::Canvas& c, const std::string& dir, const char* name,
          bool redraw = true) {
  s.view->SetDrawTarget(c.dc());
  if (redraw) s.t().RedrawTable();
  s.view->SetDrawTarget(nullptr);
  const std::string path = dir + "\\" + name + ".bmp";
  if (!c.Save(path)) std::fprintf(stderr, "cannot write %s\n", path.c_str());
}

int Pictures(const std::string& dir) {
  using sprites::testing::Canvas;
  {
    TableScene s;
    s.Deal();
    Canvas c(1024, 768);
    Keep(s, c, dir, "dealt");
    for (int i = 0; i < 20; ++i) Keep(s, c, dir, "dealt_redrawn");
    // A selected tile of the own hand stands raised.
    table::CMjLocation& own = *s.t().Seat(0);
    own.CalcCardLayout(s.t().surface().ClientRect());
    uint16_t tw = 0, th = 0;
    own.hand().GetTileSize(tw, th);
    own.hand().ClickAt(tw * 2 + tw / 2, th / 2 + 12);
    Keep(s, c, dir, "raised_tile");
    // In play: lit buttons, a discard that starts the clock and is framed, the wall blinking;
    // drawn piece by piece first, then whole.
    table::CCommMjTable& m = s.t();
    s.view->SetDrawTarget(c.dc());
    m.LightSend(1);
    m.LightHu(1);
    m.LightPeng(1);
    const card last{2, 5};
    m.SetRecvCards(1, 1, &last, 1);
    m.CountDownTick(0);
    m.BlinkWall(true);
    s.view->SetDrawTarget(nullptr);
    Keep(s, c, dir, "in_play_pieces", false);
    Keep(s, c, dir, "in_play");
    // New names are written on the background.
    std::strcpy(s.me.nickname, "\xcd\xf5\xce\xe5");  // 王五
    s.t().SetPersonLocation(0, 0, &s.me);
    Keep(s, c, dir, "renamed");
    s.Win();
    Keep(s, c, dir, "won");
  }
  {
    TableScene s(/*avatar=*/false);
    s.Deal();
    Canvas c(1024, 768);
    Keep(s, c, dir, "plain");
    const winkit::UniqueBitmap pattern(sprites::testing::PaintedBitmap(
        8, 8, [](int x, int y) { return ((x + y) % 2) ? 0xC03030u : 0x30C030u; }));
    s.view->SetBkBitmap(pattern.Get());
    Keep(s, c, dir, "pattern");
    s.view->SetBkColor(RGB(0x20, 0x30, 0x90));
    Keep(s, c, dir, "colour");
    s.view->SetBkBitmap(pattern.Get());
    Keep(s, c, dir, "pattern_again");
  }
  {
    TableScene s(/*avatar=*/true, 900, 700);
    s.Deal();
    Canvas c(900, 700);
    Keep(s, c, dir, "small");
  }
  {
    TableScene s;
    s.Deal();
    Canvas big(1024, 768);
    Keep(s, big, dir, "before_resize");
    SetWindowPos(s.host.hwnd(), nullptr, 0, 0, 900, 700, SWP_NOZORDER | SWP_NOACTIVATE);
    table_gdi::testing::Pump();
    Canvas c(900, 700);
    Keep(s, c, dir, "resized");
  }
  std::printf("pictures written to %s\n", dir.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && std::strcmp(argv[1], "--pictures") == 0) return Pictures(argv[2]);
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 200;
  TableScene s;
  s.Deal();
  const winkit::WindowDc screen(nullptr);
  const table_gdi::MemoryBitmap target(
      screen.Get(), winkit::UniqueBitmap(CreateCompatibleBitmap(screen.Get(), 1024, 768)));
  const HDC dc = target.Dc();
  // The floor: the same area copied once from another bitmap of the same kind.
  const table_gdi::MemoryBitmap picture(
      screen.Get(), winkit::UniqueBitmap(CreateCompatibleBitmap(screen.Get(), 1024, 768)));
  const HDC source = picture.Dc();
  s.view->SetDrawTarget(dc);
  table::CCommMjTable& m = s.t();
  m.RedrawTable();
  // Each figure is the fastest of batches of ten calls: on a busy machine the slower batches
  // measure the other processes.
  using clock = std::chrono::steady_clock;
  auto best = [&](auto&& body) {
    double fastest = 1e300;
    for (int done = 0; done < rounds; done += 10) {
      const auto a = clock::now();
      for (int i = 0; i < 10; ++i) body();
      GdiFlush();
      const std::chrono::duration<double, std::milli> took = clock::now() - a;
      fastest = std::min(fastest, took.count() / 10);
    }
    return fastest;
  };
  const double floor = best([&] { BitBlt(dc, 0, 0, 1024, 768, source, 0, 0, SRCCOPY); });
  const double whole = best([&] { m.RedrawTable(); });
  table::CMjLocation& own = *m.Seat(0);
  const double hand = best([&] {
    own.CalcCardLayout(m.surface().ClientRect());
    m.surface().DrawHolder(own.hand(), own.AreaRect(table::CMjLocation::kHand));
  });
  const double seat = best([&] { own.Draw(); });
  // The hand changes between two draws: a tile raised, then lowered again.
  uint16_t tw = 0, th = 0;
  own.hand().GetTileSize(tw, th);
  const double changed = best([&] {
    own.hand().ClickAt(tw * 2 + tw / 2, th / 2 + 12);
    m.surface().DrawHolder(own.hand(), own.AreaRect(table::CMjLocation::kHand));
  });
  std::printf("one 1024x768 BitBlt (floor): %.3f ms\n", floor);
  std::printf("whole table redraw: %.3f ms (%.1fx the floor)\n", whole, whole / floor);
  std::printf("own hand: %.3f ms\nown seat (marks and all areas): %.3f ms\n", hand, seat);
  std::printf("own hand, a tile raised or lowered before each draw: %.3f ms\n", changed);
  // The first redraw at a new size stretches the centre picture again: the window takes two
  // sizes in turn, each redraw composes the background anew. Beside it, the same stretch by GDI+.
  auto newSize = [&](int k) {
    SetWindowPos(s.host.hwnd(), nullptr, 0, 0, 1000 + 4 * (k % 2), 740 + 4 * (k % 2),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  };
  int k = 0;
  const double resized = best([&] {
    newSize(++k);
    m.RedrawTable();
  });
  Gdiplus::Image* centre = s.view->SkinPicture(table::SkinImage::Center);
  const double gdiplus = centre ? best([&] {
    Gdiplus::Graphics g(dc);
    g.DrawImage(centre, Gdiplus::Rect(0, 0, 1000 + 4 * (++k % 2), 740));
  })
                                : 0;
  std::printf("whole table redraw at a new size (centre stretched again): %.3f ms\n", resized);
  std::printf("the centre stretched by GDI+ alone to about 1000x740: %.3f ms\n", gdiplus);
  s.view->SetDrawTarget(nullptr);
  return 0;
}
