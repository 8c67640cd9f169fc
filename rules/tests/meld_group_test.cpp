// The groupings every search is built on: which group a tile joins and where the group goes.
#include <gtest/gtest.h>

#include <vector>

#include "korvel_rules.h"
#include "tile_notation.h"

namespace {

enum class Kind { Identical, Sequences, Gaps };

struct GroupingCase {
  const char* name;
  const char* tiles;
  Kind kind;
  int limit;
  int step;
  const char* groups;  // in list order
};

class GroupingTest : public ::testing::TestWithParam<GroupingCase> {};

TEST_P(GroupingTest, GroupsInListOrder) {
  const GroupingCase& c = GetParam();
  std::vector<card> tiles = Tiles(c.tiles);
  GroupList groups;
  const int n = static_cast<int>(tiles.size());
  switch (c.kind) {
    case Kind::Identical: GroupIdentical(tiles.data(), n, c.limit, groups); break;
    case Kind::Sequences: GroupSequences(tiles.data(), n, c.limit, groups); break;
    case Kind::Gaps: GroupSteps(tiles.data(), n, c.limit, c.step, groups); break;
  }
  EXPECT_EQ(GroupsText(groups), c.groups);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GroupingTest,
    ::testing::Values(
        GroupingCase{"four_equal_as_pairs", "1111m", Kind::Identical, 2, 1, "[11m][11m]"},
        GroupingCase{"pung_and_one", "1111m", Kind::Identical, 3, 1, "[111m][1m]"},
        GroupingCase{"grown_group_moves_last", "1m 2m 1m", Kind::Identical, 4, 1,
                     "[2m][11m]"},
        GroupingCase{"two_chows", "112233m", Kind::Sequences, 3, 1, "[123m][123m]"},
        GroupingCase{"ascending_run", "1234m", Kind::Sequences, 3, 1, "[123m][4m]"},
        GroupingCase{"descending_run", "4321m", Kind::Sequences, 3, 1, "[234m][1m]"},
        GroupingCase{"colours_apart", "1m 2p 3m", Kind::Sequences, 3, 1, "[1m][2p][3m]"},
        GroupingCase{"honours_never_join", "1w 2w 3w", Kind::Sequences, 3, 1,
                     "[1w][2w][3w]"},
        GroupingCase{"gap", "4m 6m 5m", Kind::Gaps, 2, 2, "[46m][5m]"},
        GroupingCase{"knitted", "1m 4m 7m 2m", Kind::Gaps, 3, 3, "[147m][2m]"},
        GroupingCase{"terminals", "1p 9p", Kind::Gaps, 2, 8, "[19p]"}),
    [](const ::testing::TestParamInfo<GroupingCase>& info) { return info.param.name; });

TEST(OrderGroupsTest, MoreValuesThenHigherColourThenHigherTop) {
  std::vector<card> tiles = Tiles("11m 123p 5w 789m 456p 3d");
  GroupList groups;
  GroupSequences(tiles.data(), static_cast<int>(tiles.size()), 3, groups);
  OrderGroups(groups);
  EXPECT_EQ(GroupsText(groups), "[456p][123p][789m][3d][5w][1m][1m]");
}

TEST(MeldGroupTest, ExpandsFromTheTopDown) {
  FixedList<card, 16> tiles;
  AppendGroupTiles(MeldGroup{ColorDots, 5, 1, 3, 1}, tiles);
  EXPECT_EQ(TilesText(tiles), "5p 4p 3p");
  tiles.clear();
  AppendGroupTiles(MeldGroup{ColorDots, 7, 3, 1, 1}, tiles);
  EXPECT_EQ(TilesText(tiles), "7p 7p 7p");
  tiles.clear();
  AppendGroupTiles(MeldGroup{ColorBamboo, 9, 1, 3, 3}, tiles);
  EXPECT_EQ(TilesText(tiles), "9s 6s 3s");
}

TEST(FixedListTest, FullListRefusesMore) {
  FixedList<int, 2> list;
  EXPECT_TRUE(list.push_back(1));
  EXPECT_TRUE(list.push_back(2));
  EXPECT_FALSE(list.push_back(3));
  EXPECT_EQ(list.size(), 2);
  list.erase_at(5);
  list.erase_at(-1);
  EXPECT_EQ(list.size(), 2);
  list.move_to_end(0);
  EXPECT_EQ(list[0], 2);
  EXPECT_EQ(list[1], 1);
  list.pop_back();
  list.pop_back();
  list.pop_back();
  EXPECT_TRUE(list.empty());
}

}  // namespace
