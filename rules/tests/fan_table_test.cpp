// The two-player fan table: its rows in order, their exclusion lists, points and texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "korvel_rules.h"
#include "rules_fixture.h"

namespace {

class FanTableTest : public ::testing::Test {
 protected:
  void SetUp() override { rules.StartNewHand(); }

  std::vector<int> Types() {
    std::vector<int> out;
    for (const FanInfo& row : rules.GetFanTable()) out.push_back(row.type);
    return out;
  }
  std::vector<int> Excluded(FanType type) {
    const FanInfo* row = FindFan(rules.GetFanTable(), type);
    EXPECT_NE(row, nullptr) << type;
    if (row == nullptr) return {};
    return std::vector<int>(row->excluded.begin(), row->excluded.end());
  }

  CKorvel rules;
};

TEST_F(FanTableTest, FiftyFourRowsInBuildingOrder) {
  const std::vector<int> expected = {
      101, 102, 103, 104, 105, 106, 108, 202, 203, 204, 205, 206, 301, 302,
      401, 402, 403, 501, 503, 504, 505, 506, 507, 508, 509, 601, 603, 604,
      606, 703, 704, 705, 802, 806, 807, 808, 809, 901, 902, 905, 906, 907,
      1002, 1003, 1004, 1104, 1105, 1106, 1108, 1109, 1203, 1204, 1205, 1206};
  EXPECT_EQ(Types(), expected);
  // Rebuilt, not appended to, at the next hand.
  rules.StartNewHand();
  EXPECT_EQ(Types(), expected);
}

TEST_F(FanTableTest, ExclusionListsAsListed) {
  EXPECT_EQ(Excluded(101), (std::vector<int>{1102, 1103, 705, 901}));
  EXPECT_EQ(Excluded(106), (std::vector<int>{504, 1002, 1211, 501}));
  EXPECT_EQ(Excluded(205), (std::vector<int>{1104, 901, 606, 1108}));
  EXPECT_EQ(Excluded(302), (std::vector<int>{901, 505, 506, 1201}));
  EXPECT_EQ(Excluded(809), (std::vector<int>{1004}));
  EXPECT_EQ(Excluded(905), (std::vector<int>{1211}));
  for (int type : {105, 108, 402, 601, 603, 705, 807, 901, 902, 906, 907, 1002, 1003, 1004,
                   1104, 1105, 1106, 1108, 1109, 1203, 1204, 1205, 1206}) {
    EXPECT_TRUE(Excluded(static_cast<FanType>(type)).empty()) << type;
  }
}

TEST_F(FanTableTest, PointsByGrade) {
  struct Points {
    int type;
    int points;
  };
  for (Points p : {Points{101, 22}, Points{108, 22}, Points{206, 16}, Points{302, 12},
                   Points{403, 8}, Points{509, 6}, Points{606, 4}, Points{705, 3},
                   Points{809, 2}, Points{907, 1}, Points{1206, 1}, Points{1213, 1},
                   Points{99, 1}, Points{2500, 1}}) {
    EXPECT_EQ(rules.GetFanScore(static_cast<FanType>(p.type)), p.points) << p.type;
  }
}

TEST_F(FanTableTest, NamesAndDescriptionsAreGbk) {
  char name[kFanNameBuffer];
  char desc[kFanDescriptionBuffer];
  int16_t score = -1;
  ASSERT_TRUE(rules.GetFanNameByType(101, name, desc, &score));
  EXPECT_STREQ(name, "\xb4\xf3\xcb\xc4\xcf\xb2");
  EXPECT_EQ(score, 22);
  ASSERT_TRUE(rules.GetFanNameByType(105, name, desc, &score));
  EXPECT_STREQ(desc, "\x34\xb8\xf6\xb8\xdc");
  ASSERT_TRUE(rules.GetFanNameByType(1206, name, desc, &score));
  EXPECT_STREQ(name, "\xc3\xf7\xb8\xdc");
  EXPECT_EQ(score, 1);
  EXPECT_STREQ(FindFan(rules.GetFanTable(), 108)->name_utf8, "天胡");
  EXPECT_STREQ(FindFan(rules.GetFanTable(), 1004)->name_utf8, "和绝张");
  for (const FanInfo& row : rules.GetFanTable()) {
    EXPECT_LT(std::strlen(row.name), static_cast<size_t>(kFanNameBuffer)) << row.type;
    EXPECT_LT(std::strlen(row.description), static_cast<size_t>(kFanDescriptionBuffer));
    EXPECT_GT(std::strlen(row.description), 0u) << row.type;
  }
}

TEST_F(FanTableTest, UnknownTypeLeavesTheBuffersAlone) {
  char name[kFanNameBuffer] = "keep";
  char desc[kFanDescriptionBuffer] = "keep";
  int16_t score = -1;
  EXPECT_FALSE(rules.GetFanNameByType(1213, name, desc, &score));
  EXPECT_EQ(score, 0);
  EXPECT_STREQ(name, "keep");
  EXPECT_STREQ(desc, "keep");
  // Null buffers are skipped.
  EXPECT_TRUE(rules.GetFanNameByType(101, nullptr, nullptr, nullptr));
}

TEST_F(FanTableTest, NoTableBeforeTheFirstHand) {
  CKorvel fresh;
  int16_t score = -1;
  char name[kFanNameBuffer] = "keep";
  EXPECT_FALSE(fresh.GetFanNameByType(101, name, nullptr, &score));
  EXPECT_EQ(score, 0);
  EXPECT_STREQ(name, "keep");
}

TEST(CopyGbkTextTest, StopsBeforeASplitCharacter) {
  const char* text = "\xb4\xf3\xcb\xc4\xcf\xb2";  // three double-byte characters
  char buffer[8];
  CopyGbkText(buffer, 4, text);
  EXPECT_STREQ(buffer, "\xb4\xf3");
  CopyGbkText(buffer, 5, text);
  EXPECT_STREQ(buffer, "\xb4\xf3\xcb\xc4");
  CopyGbkText(buffer, 1, text);
  EXPECT_STREQ(buffer, "");
  CopyGbkText(buffer, 8, "ab");
  EXPECT_STREQ(buffer, "ab");
  CopyGbkText(nullptr, 8, "ab");
}

// The five extra flags are reported first, as codes 1307-1311.
class FlaggedKorvel : public CKorvel {
 public:
  void SetFlag(int i, int16_t v) { m_nExtraFlags[i] = v; }
};

TEST(GetFansTest, ExtraCodesComeFirst) {
  FlaggedKorvel rules;
  rules.StartNewHand();
  EXPECT_EQ(rules.GetFans(nullptr, 0), 0);

  HandSetup setup;
  setup.concealed = "123m 456p 789s 234s 5m";
  setup.discards = "9m";
  SetUpHand(rules, setup);
  card win = Tile("5m");
  ASSERT_TRUE(OfferWinningTile(rules, WinKind::OnDiscard, win));
  rules.SetHuInfo(HuOnDiscard, 1, win);
  int16_t banker, fans, base;
  rules.CalculateScore(banker, fans, base);
  rules.SetFlag(0, 1);
  rules.SetFlag(2, 1);
  rules.SetFlag(3, 2);  // only a flag equal to 1 counts
  EXPECT_EQ(FanTypes(rules), (std::vector<int>{1307, 1309, 1105}));
  FanType two[2];
  EXPECT_EQ(rules.GetFans(two, 2), 3);  // the count is the whole list's
  EXPECT_EQ(two[1], 1309);
  EXPECT_EQ(rules.GetExtraFlag(2), 1);
  EXPECT_EQ(rules.GetExtraFlag(5), 0);
}

}  // namespace
