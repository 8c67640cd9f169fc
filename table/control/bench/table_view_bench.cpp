// Drawing speed of the table under Wine: the whole table redrawn (background composed, wall,
// both seats, buttons placed) and one seat's hand, into a memory DC.
//   wine table_view_bench.exe [rounds]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "table_scene.h"

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 200;
  table_gdi::testing::TableScene s;
  s.Deal();
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP target = CreateCompatibleBitmap(screen, 1024, 768);
  HGDIOBJ old = SelectObject(dc, target);
  s.view->SetDrawTarget(dc);
  table::CCommMjTable& m = s.t();
  m.RedrawTable();
  using clock = std::chrono::steady_clock;
  auto t0 = clock::now();
  for (int i = 0; i < rounds; ++i) m.RedrawTable();
  auto t1 = clock::now();
  table::CMjLocation& own = *m.Seat(0);
  for (int i = 0; i < rounds; ++i) {
    own.CalcCardLayout(m.surface().ClientRect());
    m.surface().DrawHolder(own.hand(), own.AreaRect(table::CMjLocation::kHand));
  }
  auto t2 = clock::now();
  for (int i = 0; i < rounds; ++i) own.Draw();
  auto t3 = clock::now();
  auto ms = [&](auto a, auto b) {
    return std::chrono::duration<double, std::milli>(b - a).count() / rounds;
  };
  std::printf("whole table redraw: %.3f ms\nown hand: %.3f ms\nown seat (marks and all areas): %.3f ms\n",
              ms(t0, t1), ms(t1, t2), ms(t2, t3));
  s.view->SetDrawTarget(nullptr);
  SelectObject(dc, old);
  DeleteObject(target);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return 0;
}
