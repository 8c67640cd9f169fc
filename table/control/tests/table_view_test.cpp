// The whole table drawn under Wine in its window and read back into a DIB section: a hand in
// play (tiles, melds with a raised kong, flowers, discards with the last one framed, the wall
// with dice, names, marks, the clock at 15, lit buttons) and the same table after a win (score
// list with the fan panel). Checked by pixels and kept as table_rendered.png and
// table_scored.png for a person to look at.
#include <gtest/gtest.h>
#include <olectl.h>

#include <functional>
#include <string>

#include "dib_canvas.h"
#include "table_scene.h"
#include "winkit/handle.h"

namespace table_gdi {
namespace {

using namespace testing;
using sprites::testing::Canvas;
using table::CMjLocation;
using table::Rect;
using table::Height;
using table::IsEmpty;
using table::Width;

// The window as it is on screen, children included.
void Capture(HWND hwnd, Canvas& canvas) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  winkit::WindowDc dc(hwnd);
  BitBlt(canvas.dc(), 0, 0, 1024, 768, dc.Get(), 0, 0, SRCCOPY);
}

uint32_t Background(TableView& v, int x, int y) {
  return sprites::testing::Rgb(GetPixel(v.BackgroundDc(), x, y));
}

// How many pixels of r differ from the table's background.
int Changed(Canvas& c, TableView& v, const Rect& r) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += c.At(x, y) != Background(v, x, y);
  return n;
}

int Count(Canvas& c, const Rect& r, const std::function<bool(int, int, int)>& rgb) {
  int n = 0;
  for (int y = std::max(r.top, 0); y < std::min(r.bottom, 768); ++y)
    for (int x = std::max(r.left, 0); x < std::min(r.right, 1024); ++x) {
      const uint32_t p = c.At(x, y);
      n += rgb(p >> 16, (p >> 8) & 0xFF, p & 0xFF);
    }
  return n;
}

bool Reddish(int r, int g, int b) { return r > 150 && g < 120 && b < 120; }
bool Ivory(int r, int g, int b) { return r > 230 && g > 225 && b > 205; }
bool White(int r, int g, int b) { return r > 235 && g > 235 && b > 235; }

TEST(TableView, HandInPlay) {
  TableScene s;
  s.Deal();
  table::CCommMjTable& m = s.t();
  m.LightSend(1);
  m.LightHu(1);
  m.LightPeng(1);
  m.LightGang(1);
  m.LightGuo(1);
  const card last{2, 5};
  m.SetRecvCards(1, 1, &last, 1);  // starts the claim clock at 15 and frames the discard
  m.BlinkWall(true);
  Canvas c(1024, 768);
  Capture(s.host.hwnd(), c);
  m.CountDownTick(0);  // draws 15
  m.BlinkWall(true);
  {
    winkit::WindowDc dc(s.host.hwnd());
    BitBlt(c.dc(), 0, 0, 1024, 768, dc.Get(), 0, 0, SRCCOPY);
  }
  ASSERT_TRUE(c.Save("table_rendered.bmp"));

  TableView& v = *s.view;
  CMjLocation& own = *m.Seat(0);
  CMjLocation& opp = *m.Seat(1);
  own.CalcLayout(m.surface().ClientRect());
  own.CalcCardLayout(m.surface().ClientRect());
  opp.CalcLayout(m.surface().ClientRect());
  opp.CalcCardLayout(m.surface().ClientRect());

  // Every tile area holds drawn tiles.
  for (auto* seat : {&own, &opp})
    for (auto area : {CMjLocation::kHand, CMjLocation::kMelds, CMjLocation::kFlowers}) {
      const Rect r = seat->AreaRect(area);
      EXPECT_GT(Changed(c, v, r), Width(r) * Height(r) / 3)
          << "seat " << seat->seat() << " area " << area;
    }
  const Rect current = own.AreaRect(CMjLocation::kCurrent);
  EXPECT_GT(Count(c, current, Ivory), Width(current) * Height(current) / 4);
  // The raised kong: its fourth tile stands above the three below it.
  const Rect melds = own.AreaRect(CMjLocation::kMelds);
  EXPECT_GT(Count(c, {melds.right - 90, melds.top, melds.right - 20, melds.top + 10}, Ivory), 50);
  EXPECT_GT(Changed(c, v, opp.AreaRect(CMjLocation::kConcealedKongs)), 200);

  // The wall and the discards in the middle.
  EXPECT_GT(Changed(c, v, m.WallRect()), 20000);

  // The clock at 15: its face and red digits.
  const Rect clock = own.ClockRect();
  ASSERT_FALSE(IsEmpty(clock));
  EXPECT_GT(Count(c, clock, Ivory), 400);
  EXPECT_GT(Count(c, table::Inflated(clock, -20, -16), Reddish), 40);

  // Marks: the banker and the ready hand at seat 0, ready at seat 1.
  for (auto [seat, slot] : {std::pair{&own, CMjLocation::kMarkBanker},
                            std::pair{&own, CMjLocation::kMarkReadyHand},
                            std::pair{&opp, CMjLocation::kMarkReady}})
    EXPECT_GT(Changed(c, v, seat->MarkRect(slot)), 300) << slot;

  // The names under the panels, in white.
  const Rect panel = own.PanelRect();
  EXPECT_GT(Count(c, {panel.left, panel.bottom, panel.left + 80, panel.bottom + 30}, White), 15);

  // Lit buttons show the lit strip, the others the gray one.
  m.CalcLayout();
  const Rect hu = m.Buttons().Find(table::kButtonHu)->rect;
  const Rect chi = m.Buttons().Find(table::kButtonChi)->rect;
  EXPECT_GT(Count(c, hu, Reddish), 200);
  EXPECT_EQ(Count(c, chi, [](int r, int, int b) { return r - b > 60; }), 0);
  EXPECT_TRUE(IsWindowEnabled(v.Button(table::kButtonSend)->hwnd()));
  // The magic-action button in the bottom-right corner, its gray look with a star.
  const Rect action = m.Buttons().Find(table::kButtonAction)->rect;
  EXPECT_EQ(action, (Rect{981, 723, 1019, 763}));
  EXPECT_TRUE(IsWindowVisible(v.ActionButton().hwnd()));
  EXPECT_GT(Count(c, action, [](int r, int g, int b) { return r > 200 && g > 200 && b > 200; }),
            40);
  EXPECT_FALSE(IsWindowEnabled(v.Button(table::kButtonChi)->hwnd()));
}

TEST(TableView, AfterAWin) {
  TableScene s;
  s.Deal();
  s.Win();
  Canvas c(1024, 768);
  Capture(s.host.hwnd(), c);
  ASSERT_TRUE(c.Save("table_scored.bmp"));

  table::CCommMjTable& m = s.t();
  const Rect list = m.ScoreListRect();
  // 270 wide, two rows and five panel lines under them.
  EXPECT_EQ(Width(list), 270);
  EXPECT_GT(Height(list), 104 + 5 * 10);
  RECT w;
  GetWindowRect(s.view->ScoreListWindow().hwnd(), &w);
  EXPECT_EQ(w.right - w.left, 270);
  EXPECT_TRUE(IsWindowVisible(s.view->ScoreListWindow().hwnd()));
  // The header's green band and white captions; white text in the rows and in the fan panel.
  auto green = [](int r, int g, int b) { return g > r + 40 && g > b + 40; };
  EXPECT_GT(Count(c, {list.left + 12, list.top + 2, list.right - 12, list.top + 36}, green), 3000);
  EXPECT_GT(Count(c, {list.left, list.top, list.right, list.top + 38}, White), 20);
  EXPECT_GT(Count(c, {list.left, list.top + 60, list.right, list.top + 104}, White), 60);
  EXPECT_GT(Count(c, {list.left, list.top + 110, list.right, list.bottom}, White), 100);

  // Hiding it brings the wall back and empties the fan list.
  m.ShowScoreInfo(false);
  EXPECT_FALSE(IsWindowVisible(s.view->ScoreListWindow().hwnd()));
  EXPECT_TRUE(m.FanLines().empty());
}

TEST(TableView, PlainLookDrawsMarksFromTheResourcesAndNoClock) {
  TableScene s(/*avatar=*/false);
  s.Deal();
  table::CCommMjTable& m = s.t();
  m.StartChoice(0);
  m.CountDownTick(0);
  Canvas c(1024, 768);
  Capture(s.host.hwnd(), c);
  CMjLocation& own = *m.Seat(0);
  own.CalcLayout(m.surface().ClientRect());
  EXPECT_TRUE(IsEmpty(own.ClockRect()));
  EXPECT_GT(Changed(c, *s.view, own.MarkRect(CMjLocation::kMarkBanker)), 300);
  EXPECT_GT(Changed(c, *s.view, own.AreaRect(CMjLocation::kHand)), 5000);
}

TEST(TableView, MeldAnnouncementFadesAndIsTakenAway) {
  TableScene s;
  s.Deal();
  table::CCommMjTable& m = s.t();
  Canvas c(1024, 768);
  Capture(s.host.hwnd(), c);
  CMjLocation& own = *m.Seat(0);
  auto blue = [](int r, int g, int b) { return b > 200 && r < 120 && g > 90 && g < 160; };
  m.StartMeldAnimation(0, 1);
  own.MeldAnimationStep(1);  // frame 0: opaque
  winkit::WindowDc dc(s.host.hwnd());
  BitBlt(c.dc(), 0, 0, 1024, 768, dc.Get(), 0, 0, SRCCOPY);
  const Rect shown = own.LastAnnouncement();
  const int opaque = Count(c, shown, blue);
  EXPECT_GT(opaque, 500);
  for (int f = 1; f <= 8; ++f) own.MeldAnimationStep(1);  // frame 8: 40 %
  BitBlt(c.dc(), 0, 0, 1024, 768, dc.Get(), 0, 0, SRCCOPY);
  const int faded = Count(c, shown, blue);
  EXPECT_LT(faded, opaque / 2);
  // The next discard takes the announcement away wherever it stood.
  const card tile{0, 1};
  m.SetRecvCards(1, 1, &tile, 1);
  BitBlt(c.dc(), 0, 0, 1024, 768, dc.Get(), 0, 0, SRCCOPY);
  EXPECT_EQ(Count(c, shown, blue), 0);
}

TEST(TableView, ColourAfterAPatternReturnsEverywhere) {
  TableScene s(/*avatar=*/false);
  s.Deal();
  const winkit::UniqueBitmap pattern(sprites::testing::PaintedBitmap(
      8, 8, [](int x, int y) { return ((x + y) % 2) ? 0xC03030u : 0x30C030u; }));
  s.view->SetBkBitmap(pattern.Get());
  Canvas c(1024, 768);
  Capture(s.host.hwnd(), c);
  EXPECT_NE(c.At(500, 300), c.At(501, 300));  // the pattern
  s.view->SetBkColor(RGB(0x20, 0x30, 0x90));
  Capture(s.host.hwnd(), c);
  table::CMjLocation& own = *s.t().Seat(0);
  own.CalcCardLayout(s.t().surface().ClientRect());
  const Rect hand = own.AreaRect(CMjLocation::kHand);
  for (auto [x, y] : {std::pair{500, 300}, std::pair{501, 300}, std::pair{hand.left + 1, hand.top + 1},
                      std::pair{s.t().WallRect().left + 2, s.t().WallRect().top + 2}})
    EXPECT_EQ(c.At(x, y), 0x203090u) << x << "," << y;
}

// The background is composed once and kept while nothing on it changes: new names, another
// colour for them and another skin reach the table at the next whole redraw.
TEST(TableView, NamesTextColourAndSkinReachTheKeptBackground) {
  TableScene s;
  s.Deal();
  table::CCommMjTable& m = s.t();
  Canvas before(1024, 768), after(1024, 768);
  Capture(s.host.hwnd(), before);
  CMjLocation& own = *m.Seat(0);
  own.CalcLayout(m.surface().ClientRect());
  const Rect panel = own.PanelRect();
  const Rect names{panel.left, panel.bottom, panel.left + 80, panel.bottom + 30};
  auto differ = [&](const Rect& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += before.At(x, y) != after.At(x, y);
    return n;
  };
  Capture(s.host.hwnd(), after);
  EXPECT_EQ(differ({0, 0, 1024, 768}), 0);

  std::strcpy(s.me.nickname, "\xcd\xf5\xce\xe5");  // 王五
  m.SetPersonLocation(0, 0, &s.me);
  Capture(s.host.hwnd(), after);
  EXPECT_GT(differ(names), 10);

  m.SetColors(m.bkColor, RGB(0xE0, 0x20, 0x20));
  Capture(s.host.hwnd(), after);
  EXPECT_GT(Count(after, names, Reddish), 10);

  // A skin without a centre picture: the brush shows where the picture was.
  const uint32_t centre = Background(*s.view, 500, 300);
  s.view->LoadAvatarSkin("Z:\\nowhere");
  Capture(s.host.hwnd(), after);
  EXPECT_NE(Background(*s.view, 500, 300), centre);
  EXPECT_EQ(after.At(500, 300), sprites::testing::Rgb(m.bkColor));
}

// The client names the sample installation's image folder to the table: every file the table
// reads from its skin directory is there, and each of the avatar skin's pictures loads from it.
TEST(TableView, SampleInstallationHoldsEverySkinPicture) {
  const std::string folder = KORVEL_SAMPLE_SKIN;
  for (const std::string& name : SkinFileNames())
    EXPECT_NE(GetFileAttributesA((folder + "\\" + name).c_str()), INVALID_FILE_ATTRIBUTES)
        << name << " is missing from " << folder;
  TableScene s;
  s.view->LoadAvatarSkin(folder);
  for (int k = 0; k <= static_cast<int>(table::SkinImage::Digit9); ++k)
    EXPECT_NE(s.view->SkinPicture(static_cast<table::SkinImage>(k)), nullptr) << "picture " << k;
  EXPECT_GT(s.view->ClockSize().width, 0);
}

// A strip button draws the raised inner edge and its frame of the strip over it, centred.
TEST(TableView, StripButtonHasTheRaisedInnerEdge) {
  TableScene s;
  CGameButtonEx button;
  ASSERT_TRUE(button.Create(s.host.hwnd(), 999, L"", false));
  constexpr COLORREF kFill = RGB(0x10, 0x60, 0x20);
  button.SetBkColor(kFill);
  const winkit::UniqueBitmap strip(sprites::testing::PaintedBitmap(
      20, 10, [](int x, int) { return x < 10 ? 0xC03030u : 0x3030C0u; }));
  button.SetBitmaps(strip.Get(), strip.Get(), 2, 1);
  Canvas c(30, 30);
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_BUTTON;
  dis.hwndItem = button.hwnd();
  dis.hDC = c.dc();
  dis.rcItem = {0, 0, 30, 30};
  button.DrawItem(dis);
  EXPECT_EQ(c.At(0, 0), sprites::testing::Rgb(GetSysColor(COLOR_BTNHIGHLIGHT)));
  EXPECT_EQ(c.At(29, 29), sprites::testing::Rgb(GetSysColor(COLOR_BTNSHADOW)));
  EXPECT_EQ(c.At(5, 5), sprites::testing::Rgb(kFill));
  EXPECT_EQ(c.At(15, 15), 0x3030C0u);  // the second frame, centred
}

// A picture given through COM patterns the table like a bitmap, and stays after the picture
// goes; no picture returns to the pattern kept before, or to the colour.
TEST(TableView, BackgroundPictureAndItsFallbacks) {
  TableScene s(/*avatar=*/false);
  s.Deal();
  Canvas c(1024, 768);
  auto picture = [](uint32_t a, uint32_t b) {
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.picType = PICTYPE_BITMAP;
    desc.bmp.hbitmap = sprites::testing::PaintedBitmap(
        8, 8, [=](int x, int y) { return ((x + y) % 2) ? a : b; });
    IPicture* p = nullptr;
    OleCreatePictureIndirect(&desc, IID_IPicture, TRUE, reinterpret_cast<void**>(&p));
    return p;
  };
  IPicture* red = picture(0xC03030u, 0x30C030u);
  ASSERT_NE(red, nullptr);
  s.view->SetBkPicture(red);
  red->Release();  // the table keeps its own copy
  Capture(s.host.hwnd(), c);
  EXPECT_NE(c.At(500, 300), c.At(501, 300));
  const uint32_t a = c.At(500, 300), b = c.At(501, 300);
  EXPECT_TRUE((a == 0xC03030u && b == 0x30C030u) || (a == 0x30C030u && b == 0xC03030u));
  // No picture: the pattern kept before stays.
  s.view->SetBkPicture(nullptr);
  Capture(s.host.hwnd(), c);
  EXPECT_EQ(c.At(500, 300), a);
  EXPECT_EQ(c.At(501, 300), b);
  // After a colour, no picture keeps the colour.
  s.view->SetBkColor(RGB(0x20, 0x30, 0x90));
  s.view->SetBkPicture(nullptr);
  Capture(s.host.hwnd(), c);
  EXPECT_EQ(c.At(500, 300), 0x203090u);
  EXPECT_EQ(c.At(501, 300), 0x203090u);
}

// A resize draws the whole table again from the new layout: what shows after 1024 x 768 went
// to 900 x 700 is what a table made at 900 x 700 shows (no tile, name or button left where the
// old layout had it).
TEST(TableView, ResizeRedrawsTheWholeTableFromTheNewLayout) {
  constexpr int kW = 900, kH = 700;
  TableScene resized;
  resized.Deal();
  Canvas before(1024, 768);
  Capture(resized.host.hwnd(), before);
  SetWindowPos(resized.host.hwnd(), nullptr, 0, 0, kW, kH, SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
  ValidateRect(resized.host.hwnd(), nullptr);  // the control's window class asks no repaint
  resized.view->OnSize(kW, kH);
  Pump();
  Canvas after(kW, kH);
  {
    winkit::WindowDc dc(resized.host.hwnd());
    BitBlt(after.dc(), 0, 0, kW, kH, dc.Get(), 0, 0, SRCCOPY);
  }
  after.Save("table_resized.bmp");
  TableScene fresh(/*avatar=*/true, kW, kH);
  fresh.Deal();
  Canvas expected(kW, kH);
  {
    RedrawWindow(fresh.host.hwnd(), nullptr, nullptr,
                 RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    winkit::WindowDc dc(fresh.host.hwnd());
    BitBlt(expected.dc(), 0, 0, kW, kH, dc.Get(), 0, 0, SRCCOPY);
  }
  expected.Save("table_fresh.bmp");
  int differ = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) differ += after.At(x, y) != expected.At(x, y);
  EXPECT_LT(differ, kW * kH / 100) << differ << " pixels differ from a fresh table";
}

}  // namespace
}  // namespace table_gdi
