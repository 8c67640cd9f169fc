// The option board's core: where rows are drawn, which band a click picks, what the rows and
// the display list hold after the calls the client makes (and bad ones), one choice per click.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "option_board.h"
#include "sprite_holder_core.h"

namespace board {
namespace {

const card kChow[3] = {{0, 3}, {0, 4}, {0, 5}};
const card kPair[2] = {{4, 1}, {4, 1}};
const card kKong[4] = {{2, 6}, {2, 6}, {2, 6}, {2, 6}};
constexpr int32_t kRowH = 47;

// The size of a row as the board's grouped-row sprite measures it, built with the board's own
// settings and the sizes of its tile art (a 198 x 240 face sheet, 54 x 37 frames).
RowSize MeasuredRow(const std::vector<std::vector<card>>& groups) {
  sprites::SpriteHolderCore row(sprites::SpriteBuild::Board);
  sprites::SpriteBitmapSizes sizes;
  sizes.faceSheet = {198, 240};
  sizes.frame = {54, 37};
  row.CreateSprite(RowSpriteSettings::kKind, RowSpriteSettings::kAngle,
                   RowSpriteSettings::kTopMargin, RowSpriteSettings::kMode, kRowStartColour,
                   sizes);
  row.SetFaceOffset(RowSpriteSettings::kFaceOffsetX, RowSpriteSettings::kFaceOffsetY);
  for (const auto& g : groups) row.AddCards(static_cast<int16_t>(g.size()), g.data());
  uint16_t w = 0, h = 0;
  row.GetSize(w, h);
  return {w, h};
}

TEST(OptionBoardLayout, RowSizesOfTheBoardsSprite) {
  const std::vector<card> chow(kChow, kChow + 3), pair(kPair, kPair + 2), kong(kKong, kKong + 4);
  struct Case {
    std::vector<std::vector<card>> groups;
    int32_t w;
  } cases[] = {
      {{pair}, 50}, {{chow}, 73}, {{kong}, 73}, {{chow, kong}, 73 + 8 + 73}, {{}, 0},
  };
  for (const Case& c : cases) {
    const RowSize s = MeasuredRow(c.groups);
    EXPECT_EQ(s.w, c.w) << c.groups.size() << " groups";
    EXPECT_EQ(s.h, kRowH);
  }
}

TEST(OptionBoardLayout, EachRowCentredInItsBand) {
  const std::array<RowSize, kRowCount> sizes = {RowSize{73, 47}, RowSize{50, 47},
                                                RowSize{154, 47}};
  struct Case {
    const char* what;
    std::vector<int16_t> list;
    int32_t w, h;
    std::vector<RowPlacement> expected;
  } cases[] = {
      {"one row", {0}, 190, 240, {{0, 0, 58, 96, 131, 143}}},
      {"two rows", {0, 1}, 200, 200, {{0, 0, 63, 26, 136, 73}, {1, 1, 75, 126, 125, 173}}},
      {"three rows",
       {0, 1, 2},
       190,
       240,
       {{0, 0, 58, 16, 131, 63}, {1, 1, 70, 96, 120, 143}, {2, 2, 18, 176, 172, 223}}},
      {"in list order, not by id", {2, 0}, 190, 200, {{0, 2, 18, 26, 172, 73},
                                                       {1, 0, 58, 126, 131, 173}}},
      {"one id twice", {1, 1}, 100, 100, {{0, 1, 25, 1, 75, 48}, {1, 1, 25, 51, 75, 98}}},
      // Bands lower than a row: the offset rounds toward zero, rows overlap their bands.
      {"low bands", {0, 1, 2}, 190, 100, {{0, 0, 58, -7, 131, 40}, {1, 1, 70, 26, 120, 73},
                                          {2, 2, 18, 59, 172, 106}}},
      // A row wider than the board hangs over both sides equally.
      {"narrow board", {2}, 100, 47, {{0, 2, -27, 0, 127, 47}}},
      {"no height", {0}, 190, 0, {{0, 0, 58, -23, 131, 24}}},
      {"empty list", {}, 190, 240, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(LayoutRows(c.list, c.w, c.h, sizes), c.expected) << c.what;
}

TEST(OptionBoardLayout, HitTestBands) {
  struct Case {
    const char* what;
    size_t n;
    int32_t h;
    int32_t y;
    int expected;  // -1: no band
  } cases[] = {
      // Two rows in 200 pixels: rows drawn from 26 and 126; a band runs from the top of its
      // row (exclusive) to the top of the next (inclusive).
      {"above row 0", 2, 200, 26, -1},
      {"row 0's top line", 2, 200, 27, 0},
      {"gap below row 0", 2, 200, 100, 0},
      {"row 1's top", 2, 200, 126, 0},
      {"just inside row 1", 2, 200, 127, 1},
      {"last line of row 1's band", 2, 200, 226, 1},
      {"below every band", 2, 200, 227, -1},
      {"top edge", 2, 200, 0, -1},
      {"negative y", 2, 200, -3, -1},
      {"one row, above", 1, 240, 96, -1},
      {"one row, on it", 1, 240, 97, 0},
      {"one row, bottom edge", 1, 240, 239, 0},
      {"three rows, first", 3, 240, 17, 0},
      {"three rows, second", 3, 240, 97, 1},
      {"three rows, border", 3, 240, 176, 1},
      {"three rows, third", 3, 240, 177, 2},
      {"no height", 1, 0, 0, -1},
      {"no rows", 0, 240, 100, -1},
  };
  for (const Case& c : cases) {
    int got = -1;
    for (size_t i = 0; i < c.n; ++i)
      if (HitTestRow(i, c.n, c.h, kRowH, c.y)) {
        EXPECT_EQ(got, -1) << c.what << ": two bands at once";
        got = static_cast<int>(i);
      }
    EXPECT_EQ(got, c.expected) << c.what;
  }
  const auto band = HitTestRow(1, 2, 200, kRowH, 150);
  ASSERT_TRUE(band);
  EXPECT_EQ(band->top, 126);
  EXPECT_EQ(band->bottom, 226);
  EXPECT_FALSE(HitTestRow(2, 2, 200, kRowH, 250)) << "a position past the list";
}

TEST(OptionBoardRows, InsertAndAddFollowTheDisplayList) {
  OptionBoard b;
  // Ids outside 0..2 change nothing.
  for (int16_t id : {3, -1, 32767, -32768}) {
    EXPECT_FALSE(b.InsertRow(id, 3, kChow)) << id;
    b.AddCards(id, 3, kChow);
  }
  EXPECT_TRUE(b.DisplayList().empty());
  EXPECT_TRUE(b.Groups(3).empty());

  // Row 1 first: it is position 0 and shows in the upper band.
  EXPECT_TRUE(b.InsertRow(1, 3, kChow));
  EXPECT_TRUE(b.InsertRow(0, 4, kKong));
  EXPECT_EQ(b.DisplayList(), (std::vector<int16_t>{1, 0}));
  EXPECT_EQ(b.Press(200, kRowH, 40), std::optional<size_t>(0));
  EXPECT_EQ(b.Press(200, kRowH, 140), std::optional<size_t>(1));

  // A row not listed gets nothing from AddCards; a listed one one group per listing.
  b.AddCards(2, 2, kPair);
  EXPECT_TRUE(b.Groups(2).empty());
  b.AddCards(1, 2, kPair);
  ASSERT_EQ(b.Groups(1).size(), 2u);
  EXPECT_EQ(b.Groups(1)[1], (Group{kPair, kPair + 2}));

  b.ClearAll();
  EXPECT_TRUE(b.DisplayList().empty());
  for (int16_t r = 0; r < kRowCount; ++r) EXPECT_EQ(b.TileCount(r), 0u);
  EXPECT_EQ(b.Press(200, kRowH, 40), std::nullopt);
}

TEST(OptionBoardRows, OneRowListedTwice) {
  OptionBoard b;
  b.InsertRow(0, 2, kPair);
  b.InsertRow(0, 2, kPair);
  EXPECT_EQ(b.DisplayList(), (std::vector<int16_t>{0, 0}));
  EXPECT_EQ(b.Groups(0).size(), 2u);
  b.AddCards(0, 3, kChow);
  EXPECT_EQ(b.Groups(0).size(), 4u) << "one group per listing";
  const auto placed = LayoutRows(b.DisplayList(), 200, 200, {RowSize{10, 47}, {}, {}});
  ASSERT_EQ(placed.size(), 2u);
  EXPECT_EQ(placed[0].top, 26);
  EXPECT_EQ(placed[1].top, 126);
}

TEST(OptionBoardRows, GroupsThatCannotBeShown) {
  struct Case {
    const char* what;
    int16_t count;
    const card* cards;
  } cases[] = {
      {"no tiles", 0, kChow},
      {"negative count", -4, kChow},
      {"no array", 3, nullptr},
  };
  for (const Case& c : cases) {
    OptionBoard b;
    const uint32_t before = b.Revision();
    // Still listed, so later positions keep matching the caller's options...
    EXPECT_TRUE(b.InsertRow(0, c.count, c.cards)) << c.what;
    EXPECT_TRUE(b.InsertRow(1, 3, kChow)) << c.what;
    EXPECT_EQ(b.DisplayList(), (std::vector<int16_t>{0, 1})) << c.what;
    EXPECT_TRUE(b.Groups(0).empty()) << c.what;
    b.AddCards(1, c.count, c.cards);
    EXPECT_EQ(b.Groups(1).size(), 1u) << c.what;
    EXPECT_EQ(b.Revision(), before + 1) << c.what << ": only row 1's group changed a row";
    // ...and the empty row's band is hit like any other: its position is reported.
    EXPECT_EQ(b.Press(200, kRowH, 50), std::optional<size_t>(0)) << c.what;
    EXPECT_EQ(b.Press(200, kRowH, 150), std::optional<size_t>(1)) << c.what;
  }
}

TEST(OptionBoardRows, ARowHoldsAtMostItsTiles) {
  OptionBoard b;
  b.InsertRow(2, 4, kKong);
  for (int k = 0; k < 3; ++k) b.AddCards(2, 4, kKong);
  EXPECT_EQ(b.TileCount(2), kMaxRowTiles);
  // A further group, even one tile, is left out whole: no part of a combination is shown.
  b.AddCards(2, 1, kKong);
  b.InsertRow(2, 3, kChow);
  EXPECT_EQ(b.TileCount(2), kMaxRowTiles);
  EXPECT_EQ(b.Groups(2).size(), 4u);
  EXPECT_EQ(b.DisplayList().size(), 2u);

  // A group bigger than a row, and the largest count a caller can pass.
  std::vector<card> many(static_cast<size_t>(kMaxRowTiles) + 1, card{1, 1});
  b.InsertRow(0, static_cast<int16_t>(many.size()), many.data());
  EXPECT_EQ(b.TileCount(0), 0u);
  std::vector<card> most(32767, card{1, 1});
  b.AddCards(0, 32767, most.data());
  EXPECT_EQ(b.TileCount(0), 0u);
}

TEST(OptionBoardRows, TheDisplayListIsBounded) {
  OptionBoard b;
  for (size_t k = 0; k < kMaxListed; ++k) EXPECT_TRUE(b.InsertRow(static_cast<int16_t>(k % 3), 0, nullptr));
  EXPECT_FALSE(b.InsertRow(0, 3, kChow));
  EXPECT_EQ(b.DisplayList().size(), kMaxListed);
  EXPECT_EQ(b.TileCount(0), 0u) << "a refused entry adds no group either";
}

TEST(OptionBoardClicks, OneChoicePerClick) {
  enum Kind { Down, Dbl };
  struct Step {
    Kind kind;
    int32_t y;
    int expected;  // -1: nothing reported
  };
  struct Case {
    const char* what;
    std::vector<Step> steps;
  } cases[] = {
      {"a click on each row", {{Down, 40, 0}, {Down, 140, 1}}},
      {"double click on a row reports once", {{Down, 40, 0}, {Dbl, 40, -1}}},
      {"two double clicks, two choices", {{Down, 40, 0}, {Dbl, 40, -1}, {Down, 140, 1},
                                           {Dbl, 140, -1}}},
      // The first press missed every row: the second press is the only click on a row.
      {"first press outside", {{Down, 10, -1}, {Dbl, 30, 0}}},
      {"both outside", {{Down, 5, -1}, {Dbl, 5, -1}}},
      {"press after a double click", {{Down, 40, 0}, {Dbl, 40, -1}, {Down, 40, 0}}},
      {"a lone double-click message", {{Dbl, 140, 1}}},
  };
  for (const Case& c : cases) {
    OptionBoard b;
    b.InsertRow(0, 3, kChow);
    b.InsertRow(1, 3, kChow);
    for (size_t k = 0; k < c.steps.size(); ++k) {
      const Step& s = c.steps[k];
      const auto got = s.kind == Down ? b.Press(200, kRowH, s.y) : b.DoubleClick(200, kRowH, s.y);
      EXPECT_EQ(got ? static_cast<int>(*got) : -1, s.expected) << c.what << ", step " << k;
    }
  }
}

TEST(OptionBoardClicks, NothingToPickOnAnEmptyBoard) {
  OptionBoard b;
  for (int32_t y : {-1, 0, 50, 100, 1000}) {
    EXPECT_EQ(b.Press(200, kRowH, y), std::nullopt);
    EXPECT_EQ(b.DoubleClick(200, kRowH, y), std::nullopt);
  }
}

TEST(OptionBoardColours, BackColorAndBrush) {
  OptionBoard b;
  EXPECT_EQ(b.BackColor(), 0x007D00u);
  EXPECT_EQ(b.BrushColour(), 0x007D00u);
  EXPECT_EQ(b.RowColour(), 0x008000u);
  b.SetBkColor(0xD6D6D6);
  EXPECT_EQ(b.BackColor(), 0xD6D6D6u);
  EXPECT_EQ(b.BrushColour(), 0xD6D6D6u);
  EXPECT_EQ(b.RowColour(), 0xD6D6D6u);
  // The stock property is read back but paints nothing.
  b.PutBackColor(0x0000FF);
  EXPECT_EQ(b.BackColor(), 0x0000FFu);
  EXPECT_EQ(b.BrushColour(), 0xD6D6D6u);
  EXPECT_EQ(b.RowColour(), 0xD6D6D6u);
}

}  // namespace
}  // namespace board
