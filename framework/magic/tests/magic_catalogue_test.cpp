// The catalogues, the line of a received magic action and the avatar seats.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "magic_catalogue.h"
#include "magic_receive.h"
#include "magic_texts.h"
#include "text_copy.h"
#include "wire_record.h"

namespace {

constexpr char kBase[] = "C:\\game";

TEST(MagicIni, ReadersTakeWhatTheFileHolds) {
  ProfileFile ini(
      "; comment\n[public]\r\n Size = 400,300 \nBig=99999999999,-7\nNoComma=400\n"
      "Rect=1,2,3\nRectFull=5, 6 ,7,8,9\nQuoted=\"a b\"\nNum=12abc\nNeg=-3\nLong=1234567890123\n"
      "Size=1,1\n[Other]\nNum=5\n");
  int w = 0, h = 0;
  EXPECT_TRUE(ReadIniSize(ini, "PUBLIC", "size", w, h));
  EXPECT_EQ(w, 400);
  EXPECT_EQ(h, 300);  // the first of two equal keys wins
  w = h = 11;
  EXPECT_FALSE(ReadIniSize(ini, "PUBLIC", "NoComma", w, h));
  EXPECT_EQ(w, 11);
  EXPECT_FALSE(ReadIniSize(ini, "PUBLIC", "Missing", w, h));
  // 11 characters at most: "99999999999" has no comma left in it.
  EXPECT_FALSE(ReadIniSize(ini, "PUBLIC", "Big", w, h));

  int rect[4] = {9, 9, 9, 9};
  ReadIniRect(ini, "PUBLIC", "Rect", rect);
  EXPECT_EQ((std::vector<int>{rect[0], rect[1], rect[2], rect[3]}), (std::vector<int>{1, 2, 3, 0}));
  ReadIniRect(ini, "PUBLIC", "RectFull", rect);
  EXPECT_EQ((std::vector<int>{rect[0], rect[1], rect[2], rect[3]}), (std::vector<int>{5, 6, 7, 8}));

  const std::map<std::string, int> ints = {
      {"Num", 12}, {"Neg", -3}, {"Long", 123456789}, {"Missing", 0}, {"Quoted", 0}};
  for (const auto& [key, want] : ints) {
    int v = 77;
    ReadIniInt(ini, "PUBLIC", key.c_str(), v);
    EXPECT_EQ(v, want) << key;
  }
  EXPECT_EQ(ini.GetString("PUBLIC", "Quoted", 254), "a b");
  EXPECT_EQ(ParseLeadingInt("99999999999999999999"), 2147483647);
  EXPECT_EQ(ParseLeadingInt("-99999999999999999999"), -2147483647 - 1);
}

constexpr char kActions[] =
    "[PUBLIC]\ntypecount=2\n"
    "[TYPE0]\nitemcount=2\nitem0ID=7\nitem0name=Kiss\nitem0price=10 gold\n"
    "item0preview=kiss.png\nitem0swf=kiss.swf\nitem0showsize=400,300\n"
    "item1ID=8\nitem1name=Rose\nitem1showsize=400\n"
    "[TYPE1]\nitemcount=1\nitem0ID=7\nitem0name=Cake\nitem0swf=..\\..\\evil.swf\n";

TEST(MagicCatalogue, LoadsItemsWithTheirPathsAndSizes) {
  CAction_Manager catalogue;
  catalogue.SetBaseDir(kBase);
  catalogue.LoadActionConfig(ProfileFile(kActions));
  ASSERT_EQ(catalogue.Items().size(), 3u);
  const CActionItem* kiss = catalogue.FindItem(0, 7);
  ASSERT_NE(kiss, nullptr);
  EXPECT_STREQ(kiss->name, "Kiss");
  EXPECT_STREQ(kiss->price, "10 gold");
  EXPECT_STREQ(kiss->preview, "C:\\game\\OzkMagicAction\\kiss.png");
  EXPECT_STREQ(kiss->swf, "C:\\game\\OzkMagicAction\\kiss.swf");
  EXPECT_EQ(kiss->width, 400);
  EXPECT_EQ(kiss->height, 300);
  const CActionItem* rose = catalogue.FindItem(0, 8);
  ASSERT_NE(rose, nullptr);
  EXPECT_EQ(rose->width, 300);  // no comma
  EXPECT_EQ(rose->height, 300);
  const CActionItem* cake = catalogue.FindItem(1, 7);
  ASSERT_NE(cake, nullptr);
  EXPECT_EQ(cake->type, 1);
  EXPECT_STREQ(cake->swf, "C:\\game\\OzkMagicAction\\");  // a name leaving the folder is dropped
  EXPECT_EQ(catalogue.FindItem(1, 8), nullptr);
}

TEST(MagicCatalogue, BadCountsAreBoundedAndLongTextsCut) {
  const std::string longName(400, 'n');
  CAction_Manager catalogue;
  catalogue.SetBaseDir(kBase);
  catalogue.LoadActionConfig(ProfileFile("[PUBLIC]\ntypecount=999999999\n[TYPE0]\nitemcount=-5\n"
                                         "[TYPE1]\nitemcount=999999999\nitem0name=" +
                                         longName + "\n"));
  EXPECT_EQ(catalogue.Items().size(), size_t(CAction_Manager::kMaxItemsPerType));
  EXPECT_EQ(std::strlen(catalogue.Items()[0]->name), 254u);

  catalogue.LoadActionConfig(ProfileFile(""));  // missing file
  EXPECT_TRUE(catalogue.Items().empty());
}

TablePerson Person(uint32_t id, const char* nick, const char* user, int16_t seat, int16_t sex = 1) {
  TablePerson p;
  p.id = id;
  CopyCString(p.nickname, nick);
  CopyCString(p.username, user);
  p.seatno = seat;
  p.sex = sex;
  return p;
}

std::string Expand(const char* pattern, std::vector<std::string> args) {
  std::string out;
  size_t n = 0;
  for (const char* p = pattern; *p; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      out += args.at(n++);
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

// The record as the table server hands it over, through the wire bytes and back.
CVyrMessage_MagicAction OverTheWire(const CVyrMessage_MagicAction& sent) {
  const auto bytes = ToWireBytes(sent);
  CVyrMessage_MagicAction received;
  EXPECT_TRUE(ReadRecord(bytes.data(), bytes.size(), received));
  return received;
}

TEST(MagicReceive, ALineForOneReceiverOrForEverybody) {
  CAction_Manager catalogue;
  catalogue.SetBaseDir(kBase);
  catalogue.LoadActionConfig(ProfileFile(kActions));
  const TablePerson ann = Person(0x12345, "Ann", "ann1", 0), bob = Person(42, "Bob", "bob2", 1);
  auto find = [&](int32_t id) -> const TablePerson* {
    return id == int32_t(ann.id) ? &ann : id == int32_t(bob.id) ? &bob : nullptr;
  };

  struct Case {
    int32_t receiver;
    const char* words;
    std::string want;
    int start;
  };
  const std::string toBob = Expand(kTextActionToOneLine, {"Ann", "ann1", "Bob", "bob2", "Rose"});
  const std::string toAll = Expand(kTextActionToAllLine, {"Ann", "ann1", "Rose"});
  const int headOne = GbkCharCount(Expand(kTextActionToOneHead, {"Ann", "ann1", "Bob", "bob2"}).c_str(),
                                   Expand(kTextActionToOneHead, {"Ann", "ann1", "Bob", "bob2"}).size());
  const std::string allHead = Expand(kTextActionToAllHead, {"Ann", "ann1"});
  const int headAll = GbkCharCount(allHead.c_str(), allHead.size());
  const Case cases[] = {
      {42, "", toBob, headOne},
      {42, "hi there", Expand(kTextActionWords, {toBob, "hi there"}), headOne},
      {42, "\xc4\xe3\xba\xc3", Expand(kTextActionWords, {toBob, "\xc4\xe3\xba\xc3"}), headOne},
      {0, "", toAll, headAll},
      {-1, "", toAll, headAll},
      {77, "", toAll, headAll},  // a receiver not at the table
  };
  for (const Case& c : cases) {
    CVyrMessage_MagicAction sent;
    sent.actionType = 0;
    sent.itemId = 8;
    sent.senderId = ann.id;
    sent.receiverId = c.receiver;
    sent.value = 3;
    sent.SetText(c.words);
    const ReceivedMagicAction got = DescribeMagicAction(OverTheWire(sent), catalogue, find);
    ASSERT_EQ(got.item, catalogue.FindItem(0, 8));
    EXPECT_EQ(got.senderId, 0x12345);
    EXPECT_EQ(got.receiverId, c.receiver);
    EXPECT_EQ(got.value, 3);
    EXPECT_EQ(got.words, c.words);
    ASSERT_TRUE(got.line.has_value());
    EXPECT_EQ(got.line->m_nKind, 1);
    EXPECT_EQ(std::string(got.line->m_sText), c.want);
    EXPECT_EQ(got.line->m_nStart, c.start);
    // "Rose" + 10 characters, cut at the end of the line.
    const int total = GbkCharCount(c.want.c_str(), c.want.size());
    EXPECT_EQ(got.line->m_nEnd, std::min(c.start + 4 + 10, total));
    EXPECT_EQ(got.line->m_nAction, 1u);  // Rose is the catalogue's second item
  }
}

// A click on a received line gives back its action value: the item is found again by its place
// in the catalogue; any other value (a peer chooses it) finds nothing.
TEST(MagicReceive, TheLinesActionValueFindsItsItemAgainAndNothingElse) {
  CAction_Manager catalogue;
  catalogue.SetBaseDir(kBase);
  catalogue.LoadActionConfig(ProfileFile(kActions));
  const size_t n = catalogue.Items().size();
  ASSERT_GE(n, 2u);
  const TablePerson ann = Person(5, "Ann", "ann1", 0);
  auto find = [&](int32_t id) -> const TablePerson* { return id == 5 ? &ann : nullptr; };
  for (const auto& item : catalogue.Items()) {
    CVyrMessage_MagicAction sent;
    sent.actionType = item->type;
    sent.itemId = item->id;
    sent.senderId = 5;
    const ReceivedMagicAction got = DescribeMagicAction(OverTheWire(sent), catalogue, find);
    ASSERT_TRUE(got.line.has_value());
    EXPECT_EQ(catalogue.ItemAt(got.line->m_nAction), item.get());
  }
  const CActionItem* first = catalogue.Items().front().get();
  const int64_t outside[] = {-1,
                             static_cast<int64_t>(n),
                             0xFFFFFFFFll,
                             reinterpret_cast<intptr_t>(first),
                             INT64_MIN,
                             INT64_MAX};
  for (int64_t value : outside) EXPECT_EQ(catalogue.ItemAt(value), nullptr) << value;
  EXPECT_EQ(CAction_Manager().ItemAt(0), nullptr);
}

TEST(MagicReceive, UnknownSenderOrItemAndHostileRecords) {
  CAction_Manager catalogue;
  catalogue.SetBaseDir(kBase);
  catalogue.LoadActionConfig(ProfileFile(kActions));
  const TablePerson ann = Person(5, "Ann", "ann1", 0);
  auto find = [&](int32_t id) -> const TablePerson* { return id == 5 ? &ann : nullptr; };

  CVyrMessage_MagicAction unknownSender;
  unknownSender.itemId = 7;
  unknownSender.senderId = 99;
  auto got = DescribeMagicAction(unknownSender, catalogue, find);
  EXPECT_NE(got.item, nullptr);  // still plays
  EXPECT_FALSE(got.line.has_value());

  CVyrMessage_MagicAction unknownItem;
  unknownItem.actionType = 9;
  unknownItem.senderId = 5;
  got = DescribeMagicAction(unknownItem, catalogue, find);
  EXPECT_EQ(got.item, nullptr);
  EXPECT_FALSE(got.line.has_value());

  // Words filling the array without a NUL and a length beyond it: cut at 199.
  CVyrMessage_MagicAction hostile;
  hostile.itemId = 7;
  hostile.senderId = 5;
  std::memset(hostile.text, '\xb0', sizeof hostile.text);
  hostile.textLength = 60000;
  got = DescribeMagicAction(hostile, catalogue, find);
  EXPECT_EQ(got.words.size(), 199u);
  ASSERT_TRUE(got.line.has_value());
  EXPECT_LE(std::strlen(got.line->m_sText), 510u);
}

TEST(MagicReceive, ALongLineIsCutWholeAndItsSpanStaysInside) {
  CAction_Manager catalogue;
  catalogue.SetBaseDir(kBase);
  // A name of 254 two-byte characters' worth of bytes pushes the line past 510 bytes.
  std::string name;
  for (int i = 0; i < 127; ++i) name += "\xb0\xa1";
  catalogue.LoadActionConfig(
      ProfileFile("[PUBLIC]\ntypecount=1\n[TYPE0]\nitemcount=1\nitem0ID=1\nitem0name=" + name + "\n"));
  const std::string longNick(33, 'k');
  const TablePerson a = Person(1, longNick.c_str(), longNick.c_str(), 0);
  const TablePerson b = Person(2, longNick.c_str(), longNick.c_str(), 1);
  auto line = FormatMagicActionLine(&a, &b, catalogue.FindItem(0, 1), std::string(199, 'w'), 0);
  ASSERT_TRUE(line.has_value());
  const size_t len = std::strlen(line->m_sText);
  EXPECT_LE(len, 510u);
  const int chars = GbkCharCount(line->m_sText, len);
  EXPECT_LE(line->m_nEnd, chars);
  EXPECT_LE(line->m_nStart, line->m_nEnd);
  // No lead byte is left without its trail.
  EXPECT_EQ(GbkCharCount(line->m_sText, len) * 1, chars);
}

TEST(GbkText, CountsCharactersNotBytes) {
  EXPECT_EQ(GbkCharCount("ab\xb0\xa1" "c", 5), 4);
  EXPECT_EQ(GbkCharCount("\xb0", 1), 1);  // a lone lead byte at the end
  EXPECT_EQ(GbkCharCount("", 0), 0);
}

constexpr char kAvatars[] =
    "[PUBLIC]\nAvactOrigionSize=90,160\nAvactCoreRect=1,2,3,4\n"
    "defaultavatarmale=male.gif\ndefaultavatarfemale=female.gif\n";

std::unique_ptr<CAvact_Adv_Item> Avatar(int32_t userId, const std::string& path) {
  auto item = std::make_unique<CAvact_Adv_Item>();
  item->userId = userId;
  CopyCString(item->path, path.c_str());
  return item;
}

TEST(Avatars, CatalogueAndDefaults) {
  CAvact_Manager avatars;
  avatars.SetBaseDir(kBase);
  const ProfileFile ini(kAvatars);
  avatars.LoadAvatarConfig(ini);
  EXPECT_EQ(avatars.baseWidth, 90);
  EXPECT_EQ(avatars.baseHeight, 160);
  EXPECT_EQ((std::vector<int>(avatars.coreRect, avatars.coreRect + 4)), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(avatars.LoadDefaultAvatar(Person(1, "a", "a", 0, 1), ini), "C:\\game\\ozkshow\\male.gif");
  // Read once: a later file is not looked at.
  EXPECT_EQ(avatars.LoadDefaultAvatar(Person(1, "a", "a", 0, 0), ProfileFile("")),
            "C:\\game\\ozkshow\\female.gif");
  EXPECT_TRUE(IsPlainFileName("a.gif"));
  for (const char* bad : {"", "..", "a\\b.gif", "a/b", "c:x", "x..y"}) {
    EXPECT_FALSE(IsPlainFileName(bad)) << bad;
  }
}

TEST(Avatars, FreeAvatarsGoToSeatsShowingADefault) {
  CAvact_Manager avatars;
  avatars.SetBaseDir(kBase);
  const ProfileFile ini(kAvatars);
  avatars.LoadAvatarConfig(ini);
  const TablePerson him = Person(10, "h", "h", 0, 1), her = Person(11, "s", "s", 1, 0);
  const TablePerson own = Person(12, "o", "o", 2, 1), watcher = Person(13, "w", "w", -1, 1);
  const TablePerson farSeat = Person(14, "f", "f", 25, 0);
  avatars.AddItem(Avatar(10, "c:\\GAME\\ozkshow\\MALE.gif"));  // the default, other case
  avatars.AddItem(Avatar(11, avatars.LoadDefaultAvatar(her, ini)));
  avatars.AddItem(Avatar(12, "C:\\game\\ozkshow\\own.gif"));
  avatars.AddItem(Avatar(13, avatars.LoadDefaultAvatar(watcher, ini)));
  avatars.AddItem(Avatar(14, avatars.LoadDefaultAvatar(farSeat, ini)));
  avatars.AddItem(Avatar(-1, "C:\\game\\ozkshow\\free1.gif"));
  avatars.AddItem(Avatar(-1, "C:\\game\\ozkshow\\free2.gif"));
  avatars.AddItem(Avatar(-1, "C:\\game\\ozkshow\\free3.gif"));

  std::vector<std::pair<int, int32_t>> shown;  // seat, owner
  std::vector<std::string> paths;
  avatars.PushAvatarsToTable({&him, &her, &own, &watcher, &farSeat}, 3,
                             [&](int seat, const CAvact_Adv_Item* item) {
                               shown.push_back({seat, item->userId});
                               paths.push_back(item->path);
                             });
  // Own avatars at their seats (none for a watcher or a seat past the table), then the free
  // ones at marked seats 0 and 1 from j onwards; the third finds none from j = 2 on.
  const std::vector<std::pair<int, int32_t>> want = {{0, 10}, {1, 11}, {2, 12}, {0, -1}, {1, -1}};
  EXPECT_EQ(shown, want);
  EXPECT_EQ(paths[3], "C:\\game\\ozkshow\\free1.gif");
  EXPECT_EQ(paths[4], "C:\\game\\ozkshow\\free2.gif");
}

}  // namespace
