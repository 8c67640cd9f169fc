// The magic-action picker and send box under Wine: placement at the table's corner and beside
// the picker, paging, the recipients, a second choice while the box is open, what preview and
// send hand to the play table, and a picture of both boxes.
#include "magic_action_dialogs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "magic_action_texts.h"
#include "magic_catalogue.h"
#include "play_table_fakes.h"
#include "window_test_support.h"

namespace framework_window {
namespace {

const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new testing::WindowTestEnvironment);

using testing::Pump;
using testing::RecordingWindow;

std::string Artefact(const char* name) { return std::string(KORVEL_ARTEFACT_DIR) + "/" + name; }

RECT WindowRectOf(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return r;
}

TablePerson Person(uint32_t id, const char* nick, const char* user, int16_t status) {
  TablePerson p;
  p.id = id;
  std::strcpy(p.nickname, nick);
  std::strcpy(p.username, user);
  p.status = status;
  return p;
}

struct Host : MagicActionHost {
  Host() {
    // The sample catalogue, then more actions up to 30.
    catalogue.SetBaseDir(KORVEL_MAGIC_DIR);
    catalogue.LoadActionConfig();
    for (const auto& item : catalogue.Items()) items.push_back(item.get());
    while (items.size() < 30) {
      auto item = std::make_unique<CActionItem>();
      item->id = 1000 + static_cast<int>(items.size());
      std::snprintf(item->name, sizeof item->name, "Act%d", item->id);
      std::snprintf(item->price, sizeof item->price, "%d", 5);
      items.push_back(item.get());
      extra.push_back(std::move(item));
    }
    persons = {Person(0x12345, "Ann", "ann1", 4), Person(42, "Bob", "bob2", 5)};
  }
  std::string ImageDir() const override { return KORVEL_SKIN_DIR; }
  std::vector<CActionItem*> ActionItems() const override {
    return items;
  }
  std::vector<const TablePerson*> TablePersons() const override {
    return {&persons[0], &persons[1]};
  }
  const TablePerson* SelectedPerson() const override { return selected; }
  void PreviewMagicAction(int32_t recipient, const CActionItem* item, const char* words) override {
    calls.push_back({'P', recipient, 0, item, words ? words : "<none>"});
  }
  void SendMagicAction(int32_t recipient, int16_t value, const CActionItem* item,
                       const char* words) override {
    calls.push_back({'S', recipient, value, item, words ? words : "<none>"});
    if (table) table->SendMagicAction(recipient, value, item->type, item->id, words);
  }
  CVyrPokePlayTableImp* table = nullptr;  // when set, sends go on to the play table
  struct Call {
    char kind;
    int32_t recipient;
    int16_t value;
    const CActionItem* item;
    std::string words;
  };
  CAction_Manager catalogue;
  std::vector<std::unique_ptr<CActionItem>> extra;
  std::vector<CActionItem*> items;
  std::vector<TablePerson> persons;
  const TablePerson* selected = nullptr;
  std::vector<Call> calls;
};

class MagicDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ActivateHost();
    table_.CreateChild(testing::Host(), 1000, 700, 10, 10);
    ASSERT_TRUE(words_.CreateDlg(table_.hwnd()));
    ASSERT_TRUE(picker_.CreateDlg(table_.hwnd()));
    picker_.ShowAtCorner(table_.hwnd());
    Pump(20);
  }
  HWND Combo() { return GetDlgItem(words_.hwnd(), kRecipientCombo); }
  std::wstring ComboText(int i) {
    wchar_t text[200] = {};
    SendMessageW(Combo(), CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    return text;
  }
  int Selection() { return static_cast<int>(SendMessageW(Combo(), CB_GETCURSEL, 0, 0)); }
  void Choose(int index) {
    SendMessageW(picker_.hwnd(), CImage_Preview::kMsgItemChosen, static_cast<WPARAM>(index), 0);
  }
  void Click(int id) {
    SendMessageW(words_.hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(words_.hwnd(), id)));
  }
  void SetWords(const wchar_t* text) { SetDlgItemTextW(words_.hwnd(), kWordsEdit, text); }

  RecordingWindow table_;
  Host host_;
  CActionWordDlg words_{&host_};
  CActionSelectDlg picker_{&host_, &words_};
};

TEST_F(MagicDialogTest, PickerSitsInTheTableCornerAndPages) {
  RECT client;
  GetClientRect(table_.hwnd(), &client);
  POINT corner{client.right - 275, client.bottom - 234};
  ClientToScreen(table_.hwnd(), &corner);
  const RECT r = WindowRectOf(picker_.hwnd());
  EXPECT_EQ(r.left, corner.x);
  EXPECT_EQ(r.top, corner.y);
  EXPECT_EQ(r.right - r.left, 270);
  EXPECT_EQ(r.bottom - r.top, 234);
  RECT grid = WindowRectOf(GetDlgItem(picker_.hwnd(), kActionPreviewGridId));
  MapWindowPoints(nullptr, picker_.hwnd(), reinterpret_cast<POINT*>(&grid), 2);
  EXPECT_EQ(grid.left, 12);
  EXPECT_EQ(grid.top, 33);
  EXPECT_EQ(grid.right - grid.left, 246);
  EXPECT_EQ(grid.bottom - grid.top, 174);
  EXPECT_TRUE(GetDlgItem(picker_.hwnd(), kActionPageStripId));

  // 30 items in 6 x 4 cells: two pages.
  EXPECT_EQ(picker_.Grid().Pages().page_count(), 2);
  SendMessageW(picker_.hwnd(), kMsgPageForward, 0, 0);
  EXPECT_EQ(picker_.Grid().Pages().page(), 1);
  SendMessageW(picker_.hwnd(), kMsgPageForward, 0, 0);
  EXPECT_EQ(picker_.Grid().Pages().page(), 1);
  SendMessageW(picker_.hwnd(), kMsgPageBack, 0, 0);
  EXPECT_EQ(picker_.Grid().Pages().page(), 0);

  // Cancel hides both boxes.
  Choose(0);
  EXPECT_TRUE(IsWindowVisible(words_.hwnd()));
  SendMessageW(picker_.hwnd(), WM_COMMAND, IDCANCEL, 0);
  EXPECT_FALSE(IsWindowVisible(picker_.hwnd()));
  EXPECT_FALSE(IsWindowVisible(words_.hwnd()));
}

TEST_F(MagicDialogTest, ChoosingOpensTheSendBoxBesideThePickerWithTheRecipients) {
  Choose(99);  // beyond the catalogue
  EXPECT_FALSE(IsWindowVisible(words_.hwnd()));
  Choose(3);
  ASSERT_TRUE(IsWindowVisible(words_.hwnd()));
  EXPECT_EQ(words_.Item(), host_.items[3]);
  const RECT picker = WindowRectOf(picker_.hwnd()), box = WindowRectOf(words_.hwnd());
  EXPECT_EQ(box.right, picker.left - 5);
  EXPECT_EQ(box.bottom, picker.bottom);

  ASSERT_EQ(SendMessageW(Combo(), CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(ComboText(0), L"\x5168\x90e8");                      // 全部
  EXPECT_EQ(ComboText(1), L"Ann(ann1)");
  EXPECT_EQ(ComboText(2), L"Bob(bob2)(\x65c1\x89c2)");           // (旁观)
  EXPECT_EQ(Selection(), 0);  // no selected person: everybody

  // A second choice only changes the item: recipient and words stay.
  SendMessageW(Combo(), CB_SETCURSEL, 2, 0);
  SetWords(L"keep me");
  Choose(5);
  EXPECT_EQ(words_.Item(), host_.items[5]);
  EXPECT_EQ(Selection(), 2);
  wchar_t text[50];
  GetDlgItemTextW(words_.hwnd(), kWordsEdit, text, 50);
  EXPECT_STREQ(text, L"keep me");

  // The preview pictures are those of the sample catalogue.
  EXPECT_EQ(picker_.Grid().LoadedPictures(), 24u);
  RedrawWindow(picker_.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RedrawWindow(words_.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump(50);
  EXPECT_TRUE(testing::SaveWindowPng(picker_.hwnd(), Artefact("magic_action_picker.png")));
  EXPECT_TRUE(testing::SaveWindowPng(words_.hwnd(), Artefact("magic_action_send_box.png")));
}

TEST_F(MagicDialogTest, PreviewAndSendHandTheChoiceToThePlayTable) {
  host_.selected = &host_.persons[0];
  Choose(7);
  EXPECT_EQ(Selection(), 1);  // the person chosen in the person list

  SetWords(L"  \x4f60\x597d  ");  // 你好, blanks trimmed
  Click(kPreviewButton);
  EXPECT_TRUE(IsWindowVisible(words_.hwnd()));  // preview keeps the box
  SetWords(L"   ");
  Click(kSendButton);
  EXPECT_FALSE(IsWindowVisible(words_.hwnd()));

  ASSERT_EQ(host_.calls.size(), 2u);
  EXPECT_EQ(host_.calls[0].kind, 'P');
  EXPECT_EQ(host_.calls[0].recipient, 0x12345);  // the user id whole, above 16 bits
  EXPECT_EQ(host_.calls[0].item, host_.items[7]);
  EXPECT_EQ(host_.calls[0].words, "\xc4\xe3\xba\xc3");
  EXPECT_EQ(host_.calls[1].kind, 'S');
  EXPECT_EQ(host_.calls[1].value, 0);
  EXPECT_EQ(host_.calls[1].words, "<none>");  // only blanks: no words

  // Everybody: -1.
  host_.selected = nullptr;
  Choose(1);
  Click(kSendButton);
  ASSERT_EQ(host_.calls.size(), 3u);
  EXPECT_EQ(host_.calls[2].recipient, -1);
  EXPECT_EQ(host_.calls[2].item, host_.items[1]);
}

// The play table's side: what the box sends leaves as a 3040 frame with the user id whole.
struct SendingTable {
  CallLog log;
  FakeSocket socket{log};
  FakeTimers timers{log};
  FakeNotices notices{log};
  FakeDisplay display{log};
  FakeRules rules{log};
  SessionSettings settings;
  FrameworkSession session;
  TestPlayTable table{socket, timers, notices, settings, session, log, display, rules};
  SendingTable() {
    table.SetMyId(7);
    table.AddPerson(7, "me", "myname", 4, 3, 1);
    table.SetHandStarted(1);
  }
};

TEST_F(MagicDialogTest, ASentActionReachesTheServerAs3040) {
  SendingTable t;
  host_.table = &t.table;
  host_.selected = &host_.persons[0];  // user id 0x12345
  Choose(1);                           // the sample catalogue's second action
  SetWords(L"hi");
  Click(kSendButton);
  ASSERT_EQ(t.socket.sent.size(), 1u);
  const std::vector<uint8_t>& frame = t.socket.sent.back();
  ASSERT_EQ(frame.size(), kMessageHeaderSize + 228 + kMessageTrailerSize);
  const uint8_t* body = frame.data() + kMessageHeaderSize;
  const std::vector<uint8_t> head(body, body + 30);
  const CActionItem& item = *host_.items[1];
  const std::vector<uint8_t> want{
      0, 1, 0, 0,                                           // sender's seat
      0, 0, 0, static_cast<uint8_t>(item.type),             // action type
      0, 0, 0, static_cast<uint8_t>(item.id),               // item id
      0, 0, 0, 0,                                           // not to everybody
      0, 0, 0, 7,                                           // sender's user id
      0, 1, 0x23, 0x45,                                     // receiver's user id, whole
      0, 0,                                                 // play value
      0, 2, 'h', 'i'};                                      // words
  EXPECT_EQ(head, want);

  // Everybody: the flag and -1.
  host_.selected = nullptr;
  Choose(2);
  SetWords(L"");
  Click(kSendButton);
  ASSERT_EQ(t.socket.sent.size(), 2u);
  const uint8_t* all = t.socket.sent.back().data() + kMessageHeaderSize;
  EXPECT_EQ(std::vector<uint8_t>(all + 12, all + 14), (std::vector<uint8_t>{0, 1}));
  EXPECT_EQ(std::vector<uint8_t>(all + 20, all + 24), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(std::vector<uint8_t>(all + 26, all + 28), (std::vector<uint8_t>{0, 0}));
}

}  // namespace
}  // namespace framework_window
