// The person list's column titles and their archive form.
#include "list_head.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "session_texts.h"

namespace {

TEST(ListHead, NewHeadStoresFourTitlesAndSeventeenEmptyStrings) {
  const ListHead head;
  ArchiveWriter w;
  head.Serialize(w);
  std::vector<uint8_t> expected;
  for (const char* title : {kTextColumnUserName, kTextColumnNickname, kTextColumnSex,
                            kTextColumnMember}) {
    expected.push_back(static_cast<uint8_t>(std::strlen(title)));
    expected.insert(expected.end(), title, title + std::strlen(title));
  }
  expected.insert(expected.end(), 17, 0);
  EXPECT_EQ(w.GetBytes(), expected);
}

TEST(ListHead, LoadCutsLongTitlesAndRoundTrips) {
  ArchiveWriter w;
  w.WriteString("twenty characters!!!");
  for (int i = 1; i < ListHead::kTitleCount; ++i) w.WriteString(i == 20 ? "last" : "");
  ListHead head;
  ArchiveReader r(w.GetBytes());
  ASSERT_TRUE(head.Load(r));
  EXPECT_EQ(r.GetRemaining(), 0u);
  EXPECT_STREQ(head.titles[0], "twenty charact");
  EXPECT_STREQ(head.titles[1], "");
  EXPECT_STREQ(head.titles[20], "last");

  ArchiveWriter again;
  head.Serialize(again);
  ListHead copy;
  ArchiveReader r2(again.GetBytes());
  ASSERT_TRUE(copy.Load(r2));
  EXPECT_EQ(std::memcmp(copy.titles, head.titles, sizeof head.titles), 0);
}

TEST(ListHead, TruncatedInputLeavesTheTitlesAlone) {
  ArchiveWriter w;
  for (int i = 0; i < ListHead::kTitleCount - 1; ++i) w.WriteString("x");
  ListHead head;
  ArchiveReader r(w.GetBytes());
  EXPECT_FALSE(head.Load(r));
  EXPECT_STREQ(head.titles[0], kTextColumnUserName);
  EXPECT_STREQ(head.titles[4], "");
}

}  // namespace
