#include "user_manager.h"

#include <gtest/gtest.h>

#include <cstring>

#include "records/lobby_records.h"

namespace chat {
namespace {

// 9 options (the ninth set), 2 entries: "a【b】" id 7 and "" id 9.
const std::string kTwoEntries = std::string(
    "\0\0\0\0" "\0\0\0\0" "\0\0\0\0" "\0\0\0\0" "\0\0\0\0" "\0\0\0\0" "\0\0\0\0" "\0\0\0\0"
    "\1\0\0\0"
    "\2\0\0\0"
    "\6a\xa1\xbe" "b\xa1\xbf" "\7\0\0\0"
    "\0" "\x09\0\0\0",
    36 + 4 + 1 + 6 + 4 + 1 + 4);

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

PERSON Person(int32_t id, const char* user, const char* nick) {
  PERSON p{};
  p.id = id;
  std::strncpy(p.username, user, sizeof p.username - 1);
  std::strncpy(p.nickname, nick, sizeof p.nickname - 1);
  return p;
}

TEST(BlockListFile, ReadsAndWritesTheArchiveByteForByte) {
  BlockListFile file;
  ASSERT_TRUE(LoadBlockList(Bytes(kTwoEntries).data(), kTwoEntries.size(), file));
  EXPECT_EQ(file.options.values[8], 1);
  ASSERT_EQ(file.entries.size(), 2u);
  EXPECT_EQ(file.entries[0].text, "a\xa1\xbe" "b\xa1\xbf");
  EXPECT_EQ(file.entries[0].id, 7);
  EXPECT_EQ(file.entries[1].text, "");
  EXPECT_EQ(StoreBlockList(file), Bytes(kTwoEntries));
}

TEST(BlockListFile, EveryTruncationIsReportedAndKeepsWhatCameBefore) {
  for (size_t n = 0; n < kTwoEntries.size(); ++n) {
    const std::vector<uint8_t> cut(kTwoEntries.begin(), kTwoEntries.begin() + n);
    BlockListFile file;
    EXPECT_FALSE(LoadBlockList(cut.data(), cut.size(), file)) << n;
    EXPECT_EQ(file.options.values[8], n >= 36 ? 1 : 0) << n;
    EXPECT_EQ(file.entries.size(), n >= 51 ? 1u : 0u) << n;
  }
  // A count far larger than the file.
  std::string huge = kTwoEntries;
  huge[36] = '\xff';
  huge[39] = '\x7f';
  BlockListFile file;
  EXPECT_FALSE(LoadBlockList(Bytes(huge).data(), huge.size(), file));
  EXPECT_EQ(file.entries.size(), 2u);
}

TEST(UserManager, LoadBlocksEntriesWithTextAndKeepsDuplicates) {
  BlockListFile file;
  file.entries = {{"x", 5}, {"", 6}, {"y", 5}};
  CUserManager manager;
  manager.Load(file);
  EXPECT_EQ(manager.m_blockedIds, (std::vector<int32_t>{5, 5}));
  manager.Unblock(5);
  EXPECT_TRUE(manager.IsBlocked(5));
  manager.Unblock(5);
  EXPECT_FALSE(manager.IsBlocked(5));
  manager.Unblock(99);  // not there: nothing happens
}

TEST(UserManager, FindsUsersByNameWithoutRegardToAsciiCase) {
  // Two names that differ only in a trail byte that looks like a capital letter.
  const PERSON a = Person(1, "Alice", "nick");
  const PERSON b = Person(2, "\x81\x41", "n2");
  const PERSON c = Person(3, std::string(40, 'z').c_str(), "n3");
  PersonList list = {&a, &b, &c};
  CUserManager manager;
  EXPECT_EQ(manager.FindByUserName("alice"), nullptr);  // no list yet
  manager.m_pUserList = &list;
  EXPECT_EQ(manager.FindByUserName("aLICE"), &a);
  EXPECT_EQ(manager.FindByUserName("nick"), nullptr);  // a nickname is no user name
  EXPECT_EQ(manager.FindByUserName("\x81\x61"), nullptr);
  EXPECT_EQ(manager.FindByUserName("\x81\x41"), &b);
  EXPECT_EQ(manager.FindByUserName(std::string(33, 'z')), &c);
  EXPECT_EQ(manager.FindUser(2), &b);
  EXPECT_EQ(manager.FindUser(4), nullptr);
  EXPECT_EQ(BlockEntryText(&a), "nick\xa1\xbe" "Alice\xa1\xbf");
}

TEST(BlockListEditor, AddRemoveAndCommit) {
  const PERSON a = Person(1, "alice", "Al");
  const PERSON b = Person(2, "bob", "Bo");
  PersonList list = {&a, &b};
  CUserManager manager;
  manager.m_pUserList = &list;
  manager.m_blockedIds = {9};

  BlockListEditor editor(manager);
  BlockListFile file;
  file.options.values[7] = 1;
  file.entries = {{"Bo\xa1\xbe" "bob\xa1\xbf", 2}, {"", 3}, {"Bo\xa1\xbe", 4}};
  editor.LoadRows(file);
  EXPECT_EQ(manager.m_options.values[7], 1);
  ASSERT_EQ(editor.GetRows().size(), 1u);  // the empty text and the prefix of a row are left out

  using R = BlockListEditor::AddResult;
  EXPECT_EQ(editor.Add(""), R::kEmptyName);
  EXPECT_EQ(editor.Add("Al"), R::kUnknownUser);  // the nickname
  EXPECT_EQ(editor.Add("BOB"), R::kAlreadyListed);
  EXPECT_EQ(editor.Add("ALICE"), R::kAdded);
  EXPECT_EQ(editor.GetBlockedIds(), (std::vector<int32_t>{9, 1}));
  {
    // A typed name past the 33-byte limit is cut on a whole GBK character: seventeen Chinese
    // characters find the user whose name is the first sixteen (not sixteen and a lead byte).
    std::string sixteen;
    for (int i = 0; i < 16; ++i) sixteen += "\xd5\xc5";
    const PERSON long_name = Person(5, sixteen.c_str(), "Long");
    list.push_back(&long_name);
    EXPECT_EQ(editor.Add(sixteen + "\xc8\xfd"), R::kAdded);
    list.pop_back();
    ASSERT_EQ(editor.GetBlockedIds().back(), 5);
    EXPECT_TRUE(editor.Remove(editor.GetRows().size() - 1));
  }
  EXPECT_EQ(manager.m_blockedIds, (std::vector<int32_t>{9}));  // not before Commit

  EXPECT_FALSE(editor.Remove(5));
  EXPECT_TRUE(editor.Remove(1));
  EXPECT_EQ(editor.GetBlockedIds(), (std::vector<int32_t>{9}));

  ChatOptions options;
  options.values[6] = 1;
  const BlockListFile written = editor.Commit(options);
  EXPECT_EQ(manager.m_options.values[6], 1);
  ASSERT_EQ(written.entries.size(), 1u);
  EXPECT_EQ(written.entries[0].id, 2);

  BlockListEditor second(manager);
  second.RemoveAll();  // no rows: the ids stay
  EXPECT_EQ(second.GetBlockedIds(), (std::vector<int32_t>{9}));
  second.LoadRows(written);
  second.RemoveAll();
  EXPECT_TRUE(second.GetBlockedIds().empty());
}

}  // namespace
}  // namespace chat
