#include "bitmap_plans.h"

#include <gtest/gtest.h>

#include "preview_pages.h"

namespace layout {
namespace {

using P = Piece;

std::vector<Blit> Of(const std::vector<Blit>& all, Piece p) {
  std::vector<Blit> out;
  for (const Blit& b : all)
    if (b.piece == p) out.push_back(b);
  return out;
}

TEST(NinePart, CornersEdgesAndFill) {
  // 10 x 10 pieces over a 45 x 32 frame at (100, 50).
  const NinePartPlan plan = PlanNinePart(100, 50, 45, 32, {10, 10}, {});
  EXPECT_EQ(plan.fill, (Rect{105, 55, 135, 72}));
  EXPECT_EQ(Of(plan.blits, P::kTopLeft)[0].dst, Rect::At(100, 50, 10, 10));
  EXPECT_EQ(Of(plan.blits, P::kTopRight)[0].dst, Rect::At(135, 50, 10, 10));
  EXPECT_EQ(Of(plan.blits, P::kBottomLeft)[0].dst, Rect::At(100, 72, 10, 10));
  EXPECT_EQ(Of(plan.blits, P::kBottomRight)[0].dst, Rect::At(135, 72, 10, 10));
  // Left edge from y 60 to 72: one full tile and one cut to 2 rows.
  const auto left = Of(plan.blits, P::kLeftEdge);
  ASSERT_EQ(left.size(), 2u);
  EXPECT_EQ(left[0].dst, Rect::At(100, 60, 10, 10));
  EXPECT_EQ(left[1].dst, Rect::At(100, 70, 10, 2));
  EXPECT_EQ(left[1].src, Rect::At(0, 0, 10, 2));
  EXPECT_EQ(Of(plan.blits, P::kRightEdge)[1].dst, Rect::At(135, 70, 10, 2));
  // Top edge from x 110 to 135: two full tiles, the third cut to 5.
  const auto top = Of(plan.blits, P::kTopEdge);
  ASSERT_EQ(top.size(), 3u);
  EXPECT_EQ(top[2].dst, Rect::At(130, 50, 5, 10));
  EXPECT_EQ(Of(plan.blits, P::kBottomEdge)[2].dst, Rect::At(130, 72, 5, 10));
  EXPECT_TRUE(Of(plan.blits, P::kOrnament).empty());
}

TEST(NinePart, EdgeCasesTable) {
  struct Case {
    const char* what;
    int32_t x, y, w, h;
    Size ornament;
    size_t left_tiles, top_tiles;
    Rect first_left, first_top, ornament_at;
  } cases[] = {
      {"exact multiple: full tiles only", 0, 0, 40, 40, {}, 2, 2, Rect::At(0, 10, 10, 10),
       Rect::At(10, 0, 10, 10), {}},
      {"narrower than two pieces: one tile cut to nothing", 0, 0, 15, 15, {}, 1, 1,
       Rect::At(0, 10, 10, -5), Rect::At(10, 0, -5, 10), {}},
      {"ornament centred on the top edge", 0, 0, 100, 30, {20, 6}, 1, 8, Rect::At(0, 10, 10, 10),
       Rect::At(10, 0, 10, 10), Rect::At(40, 0, 20, 6)},
      {"coordinates wrap as 16-bit values", 65536 + 5, 0, 30, 30, {}, 1, 1,
       Rect::At(5, 10, 10, 10), Rect::At(15, 0, 10, 10), {}},
  };
  for (const Case& c : cases) {
    const NinePartPlan plan = PlanNinePart(c.x, c.y, c.w, c.h, {10, 10}, c.ornament);
    const auto left = Of(plan.blits, P::kLeftEdge), top = Of(plan.blits, P::kTopEdge);
    ASSERT_EQ(left.size(), c.left_tiles) << c.what;
    ASSERT_EQ(top.size(), c.top_tiles) << c.what;
    EXPECT_EQ(left[0].dst, c.first_left) << c.what;
    EXPECT_EQ(top[0].dst, c.first_top) << c.what;
    const auto orn = Of(plan.blits, P::kOrnament);
    EXPECT_EQ(orn.empty() ? Rect{} : orn[0].dst, c.ornament_at) << c.what;
  }
}

TEST(ThreePart, BandsAndCaptions) {
  const auto band = PlanThreePart(10, 4, 50, {8, 25});
  ASSERT_EQ(band.size(), 2u + 5u);  // left, right, middle tiles over 18..52
  EXPECT_EQ(band[0].dst, Rect::At(10, 4, 8, 25));
  EXPECT_EQ(band[1].dst, Rect::At(52, 4, 8, 25));
  EXPECT_EQ(band.back().dst, Rect::At(50, 4, 2, 25));

  const auto caption = PlanTiledCaption(0, 0, 50, {8, 25});
  EXPECT_EQ(caption[0].dst, Rect::At(3, 0, 5, 25));
  EXPECT_EQ(caption[0].src, Rect::At(3, 0, 5, 25));

  const auto stretched = PlanStretchedCaption(0, 0, 1024, 30, {40, 32}, {200, 32});
  ASSERT_EQ(stretched.size(), 2u);
  EXPECT_EQ(stretched[0].dst, Rect::At(0, 0, 1024, 30));
  EXPECT_EQ(stretched[0].src, Rect::At(0, 0, 40, 30));
  EXPECT_EQ(stretched[1].dst, Rect::At(412, 0, 200, 30));
  EXPECT_EQ(PlanStretchedCaption(0, 0, 100, 30, {40, 32}, {}).size(), 1u);
}

TEST(PreviewPages, PagesCellsAndToolIds) {
  PreviewPages p;
  p.SetItems(10, 120, 120, 40, 40);  // 3 x 3
  EXPECT_EQ(p.page_count(), 2);
  EXPECT_FALSE(p.PrevPage());
  EXPECT_TRUE(p.NextPage());
  EXPECT_EQ(p.FirstToolId(), 10u);  // the second page's tools carry ids 10 to 18
  EXPECT_EQ(p.ItemAt({5, 5}), 9);
  EXPECT_FALSE(p.NextPage());
  EXPECT_EQ(p.page(), 1);
  EXPECT_TRUE(p.PrevPage());
  EXPECT_EQ(p.ItemAt({119, 119}), 8);
  EXPECT_EQ(p.ItemAt({120, 5}), -1);

  p.SetItems(9, 120, 120, 40, 40);
  EXPECT_EQ(p.page_count(), 1);
  EXPECT_FALSE(p.NextPage());
  EXPECT_FALSE(p.PrevPage());
  p.SetItems(0, 120, 120, 40, 40);
  EXPECT_EQ(p.page_count(), 1);

  // A rectangle smaller than one cell still gives a 1 x 1 grid; the space past the last full
  // cell hits nothing.
  p.SetItems(4, 30, 30, 40, 40);
  EXPECT_EQ(p.columns(), 1);
  EXPECT_EQ(p.rows(), 1);
  EXPECT_EQ(p.page_count(), 4);
  p.SetItems(4, 130, 90, 40, 40);
  EXPECT_EQ(p.ItemAt({125, 10}), -1);
  EXPECT_EQ(p.ItemAt({10, 85}), -1);
}

}  // namespace
}  // namespace layout
