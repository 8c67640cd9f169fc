// Fan names, their points and the fan panel's lines; the score list's plans, cells and sizes.
#include <gtest/gtest.h>

#include <cstring>

#include "table_fixture.h"
#include "table_texts.h"

namespace table {
namespace {

using namespace testing;

std::string Gbk(const char* s) { return s; }

TEST(FanNames, TableHoldsEightyTwoRowsInOrder) {
  const auto rows = MakeFanNameTable();
  ASSERT_EQ(rows.size(), 82u);
  EXPECT_EQ(rows.front().id, 101);
  EXPECT_EQ(rows.back().id, 805);
  EXPECT_EQ(rows[7].name, rows[7].description);  // 108: the description is the name
  EXPECT_EQ(rows.back().name, "\316\336\267\254\272\315");  // 无番和 in GBK
}

TEST(FanNames, PointsByGrade) {
  struct Case {
    int16_t id;
    int points;
  } cases[] = {{101, 22}, {206, 16}, {302, 12}, {403, 8}, {509, 6}, {606, 4}, {705, 3},
               {805, 2}, {907, 1}, {1213, 1}, {0, 1}, {-5, 1}};
  for (const auto& c : cases) EXPECT_EQ(GetFanScoreByType(c.id), c.points) << c.id;
}

TEST(FanPanel, LinesInListOrderWithBasePoints) {
  TableFixture f;
  int16_t fans[30] = {805, 1307, 1213};
  f.t().SetMyFans(fans);
  const auto lines = f.t().FanLines();
  ASSERT_EQ(lines.size(), 3u);  // base, 805, 1213; 1307 has no row
  EXPECT_EQ(lines[0], "  " + Gbk(texts::kBaseScoreName) + ": [2\267\326]");
  EXPECT_EQ(lines[1], "  \316\336\267\254\272\315: [2\267\326]");
  EXPECT_EQ(lines[2], "    \273\250\305\306: [1\267\326]");
  const auto measured = FanMeasureTexts(CollectFanRows(f.t().MyFans(), f.t().FanNames()));
  EXPECT_EQ(measured[1], "\316\336\267\254\272\315: [2\267\326]");
}

TEST(FanPanel, EmptyListAndExactlyThirtyEntries) {
  TableFixture f;
  int16_t none[30] = {0, 101, 102};
  f.t().SetMyFans(none);
  EXPECT_TRUE(f.t().FanLines().empty());

  // 30 entries are read, nothing beyond: the 31st would be 101.
  int16_t thirtyOne[31];
  for (int i = 0; i < 30; ++i) thirtyOne[i] = 1212;
  thirtyOne[30] = 101;
  f.t().SetMyFans(thirtyOne);
  const auto lines = f.t().FanLines();
  EXPECT_EQ(lines.size(), 31u);
  for (const auto& l : lines) EXPECT_EQ(l.find("\264\363\313\304\317\262"), std::string::npos);

  f.t().SetMyFans(nullptr);  // ignored
  EXPECT_EQ(f.t().FanLines().size(), 31u);
}

TEST(FanPanel, HidingThePanelStartsTheNextHandEmptyAndTheDiceWipeIt) {
  TableFixture f;
  int16_t fans[30] = {1212};
  f.t().SetMyFans(fans);
  f.t().ShowScoreInfo(true);
  EXPECT_TRUE(f.t().ScoreListShown());
  EXPECT_EQ(f.t().FanLines().size(), 2u);
  f.t().ShowScoreInfo(false);
  EXPECT_TRUE(f.t().FanLines().empty());
  f.t().SetMyFans(fans);
  f.t().StartDice(0);
  EXPECT_FALSE(f.t().ScoreListShown());
  EXPECT_TRUE(f.t().FanLines().empty());
}

TEST(FanPanel, ScoreListIsCentredAtTopWithThePanelUnderIt) {
  TableFixture f;
  ScoreRow row{};
  f.t().SetScoreInfo(2, 0, &row);
  int16_t fans[30] = {1212, 1213};
  f.t().SetMyFans(fans);
  f.t().ShowScoreInfo(true);
  // 270 x 104 for two rows; the three lines as measured (12 pixels each here), nothing more.
  EXPECT_EQ(f.t().ScoreListRect(), (Rect{377, 110, 647, 110 + 104 + 36}));
  EXPECT_GT(f.surface.scoreListChanges, 0);
}

ScoreRow Row(const char* name, std::initializer_list<int32_t> values) {
  ScoreRow r{};
  std::strncpy(r.name, name, sizeof r.name - 1);
  int i = 0;
  for (int32_t v : values) r.values[i++] = v;
  return r;
}

TEST(ScoreList, PlansAndSizes) {
  struct Case {
    int16_t type;
    uint16_t width;
    std::vector<std::string> cells;  // row 0, columns 0..n
  } cases[] = {
      {1, 270, {"me", "10", "20", "3", "4", "5", " "}},
      {405, 340, {"me", "70", "60", "10", "3", "4", "5", ""}},
  };
  for (const auto& c : cases) {
    ScoreListCore list;
    list.InitScoreList(c.type, 0);
    const ScoreRow r = Row("me", {10, 20, 3, 4, 5, 60, 70, 80});
    list.SetScoreInfo(2, 0, &r);
    uint16_t w = 0, h = 0;
    list.GetListSize(w, h);
    EXPECT_EQ(w, c.width) << c.type;
    EXPECT_EQ(h, 104);
    for (size_t col = 0; col < c.cells.size(); ++col)
      EXPECT_EQ(list.CellText(0, col), c.cells[col]) << c.type << " column " << col;
  }
  ScoreListCore plan2;
  plan2.SetPlan(2);
  const ScoreRow r = Row("x", {1, 2, 3, 4, 5, 6, 7, 8});
  plan2.SetScoreInfo(1, 0, &r);
  EXPECT_EQ(plan2.CellText(0, 1), "6");
  EXPECT_EQ(plan2.CellText(0, 8), "5");
  EXPECT_EQ(plan2.CellText(0, 9), " ");
}

TEST(ScoreList, RowsAreFixedByTheFirstCallAndNamesCut) {
  ScoreListCore list;
  list.InitScoreList(0, 0);
  const std::string forty(40, 'n');
  ScoreRow r{};
  std::memcpy(r.name, forty.data(), sizeof r.name);  // no terminator in the record
  EXPECT_EQ(list.Rows().size(), 0u);
  list.SetScoreInfo(0, 0, &r);  // no rows from a count below one
  EXPECT_EQ(list.Rows().size(), 0u);
  list.SetScoreInfo(2, 1, &r);
  ASSERT_EQ(list.Rows().size(), 2u);
  EXPECT_EQ(list.CellText(1, 0), std::string(31, 'n'));
  EXPECT_EQ(list.CellText(0, 0), "");
  list.SetScoreInfo(5, 2, &r);   // outside the rows
  list.SetScoreInfo(5, -1, &r);
  list.SetScoreInfo(5, 0, nullptr);
  EXPECT_EQ(list.Rows().size(), 2u);
  EXPECT_EQ(list.CellText(0, 0), "");
  EXPECT_EQ(list.CellText(7, 0), "");
}

}  // namespace
}  // namespace table
