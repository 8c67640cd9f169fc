// The framework's own hand record and its steps: the archive forms byte by byte, round trips,
// loading that appends, and input that is cut short or claims more than it holds.
#include "hand_storage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "person_records.h"

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  return std::vector<uint8_t>(values.begin(), values.end());
}

TEST(HandStep, ArchiveFormAndLoadEmptiesTheCardsFirst) {
  HandStep step;
  step.values = {3, 1, -2};
  step.cards = {{0, 5}, {4, 3}};
  ArchiveWriter w;
  step.Serialize(w);
  EXPECT_EQ(w.GetBytes(), Bytes({3, 0, 1, 0, 0xFE, 0xFF, 2, 0, 0, 0,  //
                                 0, 0, 0, 0, 5, 0, 0, 0, 4, 0, 0, 0, 3, 0, 0, 0}));
  HandStep loaded;
  loaded.cards = {{9, 9}, {9, 9}, {9, 9}};
  ArchiveReader r(w.GetBytes());
  ASSERT_TRUE(loaded.Load(r));
  EXPECT_EQ(loaded.values, step.values);
  EXPECT_EQ(loaded.cards, step.cards);
  EXPECT_EQ(r.GetRemaining(), 0u);
}

TEST(CHandStorage, EmptyRecordStoresTwoZeroCountsAndLoadsBackEmpty) {
  CHandStorage empty;
  empty.userId = 1001;
  empty.comment = "abc";
  empty.subType = 4;
  empty.seatsPerTable = 2;
  ArchiveWriter head, whole;
  empty.SerializeHead(head);
  empty.SerializeWithSteps(whole);
  const std::vector<uint8_t> expectedHead =
      Bytes({0xE9, 0x03, 0, 0, 3, 'a', 'b', 'c', 4, 0, 2, 0, 0, 0, 0, 0});
  EXPECT_EQ(head.GetBytes(), expectedHead);
  std::vector<uint8_t> expectedWhole = expectedHead;
  expectedWhole.insert(expectedWhole.end(), {0, 0, 0, 0});
  EXPECT_EQ(whole.GetBytes(), expectedWhole);

  CHandStorage loaded;
  ArchiveReader r(whole.GetBytes());
  ASSERT_TRUE(loaded.LoadWithSteps(r));
  EXPECT_EQ(loaded.userId, 1001);
  EXPECT_EQ(loaded.comment, "abc");
  EXPECT_EQ(loaded.subType, 4);
  EXPECT_EQ(loaded.seatsPerTable, 2);
  EXPECT_TRUE(loaded.persons.empty());
  EXPECT_TRUE(loaded.steps.empty());
}

TEST(CHandStorage, PersonsAndStepsRoundTripAndLoadingAppends) {
  CHandStorage record;
  record.userId = 7;
  TablePerson a{}, b{};
  a.id = 1;
  std::strcpy(a.username, "east");
  b.id = 2;
  std::strcpy(b.username, "west");
  record.persons = {a, b};
  HandStep s1, s2;
  s1.values = {1, 0, 0};
  s1.cards = {{1, 9}};
  s2.values = {1, 1, 0};
  record.steps = {s1, s2};
  ArchiveWriter w;
  record.SerializeWithSteps(w);

  CHandStorage loaded;
  loaded.persons.push_back(TablePerson{});  // already there: kept, the loaded ones follow
  ArchiveReader r(w.GetBytes());
  ASSERT_TRUE(loaded.LoadWithSteps(r));
  ASSERT_EQ(loaded.persons.size(), 3u);
  EXPECT_EQ(loaded.persons[1].id, 1u);
  EXPECT_STREQ(loaded.persons[2].username, "west");
  ASSERT_EQ(loaded.steps.size(), 2u);
  EXPECT_EQ(loaded.steps[0].cards, s1.cards);
  EXPECT_EQ(loaded.steps[1].values, s2.values);
  EXPECT_EQ(r.GetRemaining(), 0u);

  // The head alone stops before the steps.
  ArchiveWriter h;
  record.SerializeHead(h);
  CHandStorage headOnly;
  ArchiveReader hr(h.GetBytes());
  ASSERT_TRUE(headOnly.LoadHead(hr));
  EXPECT_EQ(headOnly.persons.size(), 2u);
  EXPECT_TRUE(headOnly.steps.empty());
}

TEST(CHandStorage, CutShortOrOverlongCountsAreRefused) {
  CHandStorage record;
  HandStep s;
  s.cards = {{0, 1}, {0, 2}};
  record.steps = {s};
  ArchiveWriter w;
  record.SerializeWithSteps(w);
  const std::vector<uint8_t>& bytes = w.GetBytes();
  // Every cut of the record fails to load.
  for (size_t n = 0; n < bytes.size(); ++n) {
    CHandStorage loaded;
    ArchiveReader r(bytes.data(), n);
    EXPECT_FALSE(loaded.LoadWithSteps(r)) << n;
  }
  // Counts far beyond what follows (or negative) are refused before anything is made.
  for (int32_t count : {0x7FFFFFFF, 100000, -1}) {
    ArchiveWriter bad;
    CHandStorage{}.SerializeHead(bad);
    ArchiveWriter steps = bad;
    steps.WriteInt32(count);
    CHandStorage loaded;
    ArchiveReader r(steps.GetBytes());
    EXPECT_FALSE(loaded.LoadWithSteps(r)) << count;
    EXPECT_TRUE(loaded.steps.empty());

    ArchiveWriter cards;
    cards.WriteInt16(0);
    cards.WriteInt16(0);
    cards.WriteInt16(0);
    cards.WriteInt32(count);
    HandStep step;
    ArchiveReader cr(cards.GetBytes());
    EXPECT_FALSE(step.Load(cr)) << count;
    EXPECT_TRUE(step.cards.empty());
  }
}

}  // namespace
