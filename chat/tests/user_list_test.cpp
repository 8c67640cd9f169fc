#include "user_list.h"

#include <gtest/gtest.h>

#include <cstring>

#include "chat_texts.h"
#include "records/lobby_records.h"

namespace chat {
namespace {

// A host's person record: PERSON and more, 400 bytes in all.
struct Person {
  alignas(4) uint8_t bytes[400] = {};
  Person(uint32_t id, const char* user, const char* nick) {
    PERSON p{};
    p.id = id;
    std::strncpy(p.username, user, sizeof p.username - 1);
    std::strncpy(p.nickname, nick, sizeof p.nickname - 1);
    std::memcpy(bytes, &p, sizeof p);
  }
  template <typename T>
  Person& Set(size_t offset, T value) {
    std::memcpy(bytes + offset, &value, sizeof value);
    return *this;
  }
  const void* get() const { return bytes; }
};

TEST(PersonRecord, FlagPictureAndNameFollowTheRecord) {
  struct Case {
    const char* name;
    int16_t headpic, member;
    uint16_t forbid;
    int32_t wealth, money, remark;
    int picture;
    const char* shown;       // option 8 off
    const char* shownShort;  // option 8 on
  } cases[] = {
      {"plain", 0, 0, 0, 0, 0, 0, 0, " nick\xa1\xbeuser\xa1\xbf", " nick"},
      {"rich", 0, 0, 0, 0, 10001, 0, 12, "nick\xa1\xbeuser\xa1\xbf", "nick"},
      {"money 10000 is not rich but not plain", 0, 0, 0, 0, 10000, 0, 0, "nick\xa1\xbeuser\xa1\xbf", "nick"},
      {"head picture wins over money", 5, 0, 0, 0, 20000, 0, 5, "nick\xa1\xbeuser\xa1\xbf", "nick"},
      {"head picture 10 is none", 10, 0, 0, 0, 0, 0, 0, " nick\xa1\xbeuser\xa1\xbf", " nick"},
      {"member wins over all", 5, 1, 0, 0, 20000, 0, 1, "nick\xa1\xbeuser\xa1\xbf", "nick"},
      {"forbidden", 0, 0, 1, 0, 0, 0, 0, "nick\xa1\xbeuser\xa1\xbf", "nick"},
      {"wealthy", 0, 0, 0, 1001, 0, 0, 0, "nick\xa1\xbeuser\xa1\xbf", "nick"},
      {"remark above 500000", 0, 0, 0, 0, 0, 500001, 0, "nick\xa1\xbeuser\xa1\xbf", "nick"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Person p(7, "user", "nick");
    p.Set<int16_t>(78, c.headpic).Set<int16_t>(80, c.member).Set<uint16_t>(76, c.forbid);
    p.Set<int32_t>(84, c.wealth).Set<int32_t>(88, c.money).Set<int32_t>(168, c.remark);
    EXPECT_EQ(PersonFlagPicture(p.get()), c.picture);
    EXPECT_EQ(PersonNameText(p.get(), false), c.shown);
    EXPECT_EQ(PersonNameText(p.get(), true), c.shownShort);
  }
}

TEST(PersonRecord, StatusAtByte76IsTheForbidWordNotTheHeadPictureToo) {
  Person p(1, "u", "n");
  p.Set<uint16_t>(76, 1).Set<int16_t>(78, 3);
  EXPECT_TRUE(PersonFlagLongIsOne(p.get()));
  p.Set<uint16_t>(76, 0).Set<int16_t>(78, 1);
  EXPECT_FALSE(PersonFlagLongIsOne(p.get()));
  p.Set<int16_t>(80, 1);
  EXPECT_TRUE(PersonFlagWordIsOne(p.get()));
}

TEST(HotRegions, ActionSpanIsClampedAndWidenedByOne) {
  struct Case {
    int start, end;
    bool made;
    int first, last;
  } cases[] = {
      {2, 5, true, 101, 106},  {0, 3, true, 99, 104},  // a start of 0 begins before the text
      {-4, 3, true, 99, 104},  {8, 40, true, 107, 111}, {5, 5, false, 0, 0}, {6, 2, false, 0, 0},
  };
  for (const Case& c : cases) {
    auto r = ActionRegion(100, 10, c.start, c.end, 9, 77, true);
    ASSERT_EQ(r.has_value(), c.made) << c.start << ".." << c.end;
    if (!r) continue;
    EXPECT_EQ(r->start, c.first);
    EXPECT_EQ(r->end, c.last);
    EXPECT_EQ(r->kind, HotRegion::kAction);
    EXPECT_EQ(r->rawData, 77u);
  }
}

class ChatPeopleTest : public ::testing::Test {
 protected:
  CUserManager manager;
  ChatPeople people{manager};
  Person a{1, "alice", "Al"}, b{2, "bob", "Bo"}, me{3, "me", "Me"};
  PersonList hostList{a.get(), me.get()};
};

TEST_F(ChatPeopleTest, WhisperTargetRules) {
  manager.m_nMyId = 3;
  people.SetUserList(&hostList);
  EXPECT_FALSE(people.SetSelUser(3));   // myself: no notice
  EXPECT_FALSE(people.SetSelUser(2));   // not in the list
  auto notice = people.SetSelUser(1);
  ASSERT_TRUE(notice);
  char expected[128];
  std::snprintf(expected, sizeof expected, kTextWhisperWith, "Al");
  EXPECT_EQ(*notice, expected);
  EXPECT_EQ(people.WhisperTarget(), 1);
  ASSERT_EQ(people.Combo().size(), 2u);
  EXPECT_EQ(people.Combo()[1].id, 1);
  EXPECT_EQ(people.Selected(), 1u);
  EXPECT_FALSE(people.SetSelUser(1));   // already the target

  // The same list again still empties the combo back to everyone.
  people.SetUserList(&hostList);
  ASSERT_EQ(people.Combo().size(), 1u);
  EXPECT_EQ(people.Combo()[0].text, kTextEveryone);
  EXPECT_EQ(people.WhisperTarget(), 0);
  EXPECT_TRUE(people.SetSelUser(1));
  EXPECT_EQ(people.Combo().size(), 2u);  // found again, not doubled
  people.SelectEntry(0);
  EXPECT_EQ(people.WhisperTarget(), 0);
  EXPECT_TRUE(people.SetSelUser(1));
  EXPECT_EQ(people.Combo().size(), 2u);
}

TEST_F(ChatPeopleTest, AddPersonFilesRecordsOrBlockedIds) {
  people.AddPerson(nullptr);
  people.AddPerson(a.get());
  ASSERT_NE(manager.m_pUserList, nullptr);  // a list of our own when the host set none
  EXPECT_EQ(people.FindPerson(1), a.get());
  Person again(1, "other", "Other");
  people.AddPerson(again.get());  // same id: the first record stays
  EXPECT_EQ(people.FindPerson(1), a.get());
  Person blocked(9, "x", "X");
  blocked.Set<int32_t>(324, 1);
  people.AddPerson(blocked.get());
  people.AddPerson(blocked.get());  // each call files the id again
  EXPECT_EQ(manager.m_blockedIds, (std::vector<int32_t>{9, 9}));
  EXPECT_EQ(people.FindPerson(9), nullptr);

  // With a host list the record is appended to the host's vector, where the user manager's own
  // lookup (the one the record lines use) finds it.
  people.SetUserList(&hostList);
  const size_t before = hostList.size();
  people.AddPerson(b.get());
  ASSERT_EQ(hostList.size(), before + 1);
  EXPECT_EQ(hostList.back(), b.get());
  EXPECT_EQ(manager.FindUser(2), b.get());
  EXPECT_EQ(people.FindPerson(3), me.get());
}

}  // namespace
}  // namespace chat
