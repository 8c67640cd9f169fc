// The chat's dialogs and its ties to the system, under Wine: the installation directory, the
// error log, the block-list dialog and the common-phrases popup with its editor.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "chat_platform.h"
#include "chat_test_support.h"
#include "chat_texts.h"
#include "common_phrases.h"
#include "dialog_cmd.h"
#include "dialog_option.h"
#include "records/lobby_records.h"
#include "user_manager.h"
#include "window_picture.h"

namespace parley {
namespace {

using testing::AppPathOverride;
using testing::Click;
using testing::DialogDriver;
using testing::FindThreadDialog;
using testing::ScratchFolder;

// The message boxes the dialogs show, caught instead of shown.
std::vector<std::wstring> g_messages;
int CatchMessage(HWND, const std::wstring& text, UINT) {
  g_messages.push_back(text);
  return IDOK;
}

class ChatDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitCommonControls();
    g_messages.clear();
    g_showMessage = CatchMessage;
  }
  ScratchFolder folder_;
  AppPathOverride app_path_{folder_.Wide().c_str()};
};

PERSON Person(uint32_t id, const char* user, const char* nick) {
  PERSON p{};
  p.id = id;
  std::strncpy(p.username, user, sizeof p.username - 1);
  std::strncpy(p.nickname, nick, sizeof p.nickname - 1);
  return p;
}

TEST(AppPath, ReadForReadingOnlyAndNeverCreated) {
  {
    AppPathOverride none(nullptr);
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_FALSE(ReadAppPath(buffer, sizeof buffer));
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, '\0'));
    EXPECT_FALSE(testing::AppPathKeyExists());  // looking did not make the key
  }
  {
    AppPathOverride chinese(L"C:\\\x6e38\x620f");  // C:\游戏
    char buffer[260];
    ASSERT_TRUE(ReadAppPath(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "C:\\\xd3\xce\xcf\xb7");
    char small[6];
    ASSERT_TRUE(ReadAppPath(small, sizeof small));
    EXPECT_STREQ(small, "C:\\\xd3\xce");  // cut on a character and always terminated
  }
}

TEST_F(ChatDialogsTest, ErrorLogGrowsByOneEntryPerFailure) {
  WriteErrorLog("CGChat::Send error");
  WriteErrorLog("CGChat::Clear() error");
  const std::string log = folder_.Read(L"chatLogFile.log");
  ASSERT_EQ(log.size(), 2u * 21 + 18 + 21);
  EXPECT_EQ(log.substr(0, 2), "\r\n");
  EXPECT_EQ(log[4], '/');
  EXPECT_EQ(log.substr(21, 18), "CGChat::Send error");
  EXPECT_EQ(log.substr(39 + 21), "CGChat::Clear() error");
  {
    AppPathOverride none(nullptr);
    WriteErrorLog("lost");  // no installation directory: nothing is written anywhere
  }
  EXPECT_EQ(folder_.Read(L"chatLogFile.log").size(), log.size());
}

// A chat dialog whose handler throws: the exception stops in the dialog's procedure and is
// written to the chat's log, once per failing message.
class FailingDialog : public ChatDialog {
 public:
  FailingDialog() : ChatDialog(CDialogOption::IDD) {}
  BEGIN_MSG_MAP(FailingDialog)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_APP, OnApp)
  END_MSG_MAP()

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, bool&) { return TRUE; }
  LRESULT OnApp(UINT, WPARAM, LPARAM, bool&) { throw std::runtime_error("handler"); }
};

TEST_F(ChatDialogsTest, FailingHandlerIsLoggedAndTheDialogStays) {
  FailingDialog dialog;
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  EXPECT_EQ(SendMessageW(dialog.hwnd(), WM_APP, 0, 0), 0);
  EXPECT_EQ(SendMessageW(dialog.hwnd(), WM_APP, 0, 0), 0);
  const std::string log = folder_.Read(L"chatLogFile.log");
  ASSERT_EQ(log.size(), 2u * (21 + 20));
  EXPECT_EQ(log.substr(21, 20), "CGChat dialog  error");
  EXPECT_EQ(log.substr(41 + 21), "CGChat dialog  error");
  EXPECT_TRUE(IsWindow(dialog.hwnd()));
}

class BlockListDialogTest : public ChatDialogsTest {
 protected:
  void SetUp() override {
    ChatDialogsTest::SetUp();
    chat::BlockListFile file;
    file.entries = {{"Bo\xa1\xbe" "bob\xa1\xbf", 2}};
    const auto bytes = chat::StoreBlockList(file);
    folder_.Write(L"blacklist.dat", std::string(bytes.begin(), bytes.end()));
    LoadUserManager(manager_);
    manager_.m_pUserList = &list_;
  }
  int Rows(HWND dialog) const {
    return static_cast<int>(SendDlgItemMessageW(dialog, CDialogOption::IDC_LIST,
                                                LVM_GETITEMCOUNT, 0, 0));
  }
  PERSON alice_ = Person(1, "Alice", "\xd0\xa1\xb0\xae");  // 小爱
  PERSON bob_ = Person(2, "bob", "Bo");
  chat::PersonList list_ = {&alice_, &bob_};
  chat::CUserManager manager_;
};

TEST_F(BlockListDialogTest, AddsRefusesAndSavesOnOk) {
  EXPECT_EQ(manager_.m_blockedIds, (std::vector<int32_t>{2}));
  CDialogOption dialog(manager_);
  DialogDriver driver;
  HWND seen = nullptr;
  driver.ThenDialog(nullptr, [&](HWND d) {
    seen = d;
    EXPECT_EQ(Rows(seen), 1);
    SetDlgItemTextW(seen, CDialogOption::IDC_NAME, L"\x5c0f\x7231");  // the nickname
    Click(seen, CDialogOption::IDB_BLOCK_ADD);
    SetDlgItemTextW(seen, CDialogOption::IDC_NAME, L"BOB");
    Click(seen, CDialogOption::IDB_BLOCK_ADD);
    SetDlgItemTextW(seen, CDialogOption::IDC_NAME, L"alice");
    Click(seen, CDialogOption::IDB_BLOCK_ADD);
    EXPECT_EQ(Rows(seen), 2);
    CheckDlgButton(seen, 260, BST_CHECKED);  // show the time
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(seen, 257)));
    testing::SaveWindowPicture(seen, "chat_block_list.bmp");
  });
  driver.Then([&] { Click(seen, IDOK); });
  EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
  ASSERT_EQ(g_messages.size(), 2u);
  EXPECT_EQ(g_messages[0], Wide(kTextBlockUnknownUser));
  EXPECT_EQ(g_messages[1], Wide(kTextBlockAlreadyListed));
  EXPECT_EQ(manager_.m_blockedIds, (std::vector<int32_t>{2, 1}));
  EXPECT_EQ(manager_.m_options.values[7], 1);

  const std::string saved = folder_.Read(L"blacklist.dat");
  chat::BlockListFile file;
  ASSERT_TRUE(chat::LoadBlockList(reinterpret_cast<const uint8_t*>(saved.data()), saved.size(),
                                  file));
  ASSERT_EQ(file.entries.size(), 2u);
  EXPECT_EQ(file.entries[1].text, "\xd0\xa1\xb0\xae\xa1\xbe" "Alice\xa1\xbf");
  EXPECT_EQ(file.entries[1].id, 1);
  EXPECT_EQ(file.options.values[7], 1);
}

TEST_F(BlockListDialogTest, CancelForgetsTheChangesAndWritesNothing) {
  const std::string before = folder_.Read(L"blacklist.dat");
  CDialogOption dialog(manager_);
  DialogDriver driver;
  driver.ThenDialog(nullptr, [&](HWND d) {
    SetDlgItemTextW(d, CDialogOption::IDC_NAME, L"alice");
    Click(d, CDialogOption::IDB_BLOCK_ADD);
    Click(d, CDialogOption::IDB_BLOCK_REMOVE_ALL);
    EXPECT_EQ(Rows(d), 0);
    Click(d, IDCANCEL);
  });
  EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
  EXPECT_EQ(manager_.m_blockedIds, (std::vector<int32_t>{2}));
  EXPECT_EQ(folder_.Read(L"blacklist.dat"), before);
}

TEST_F(BlockListDialogTest, CorruptFileIsReportedAndLeftAsItWas) {
  folder_.Write(L"blacklist.dat", std::string("\1\0\0\0", 4));
  chat::CUserManager manager;
  LoadUserManager(manager);
  EXPECT_TRUE(manager.m_blockedIds.empty());
  EXPECT_EQ(folder_.Read(L"blacklist.dat"), std::string("\1\0\0\0", 4));
  EXPECT_NE(folder_.Read(L"chatLogFile.log").find("CUserManager::Load  error"),
            std::string::npos);
}

// The popup and its editor. The phrases file lies one folder above the test program's.
class PhrasesTest : public ChatDialogsTest {
 protected:
  void SetUp() override {
    ChatDialogsTest::SetUp();
    path_ = PhrasesPath();
    ASSERT_FALSE(path_.empty());
    const auto bytes = chat::StorePhrases({"\xc4\xe3\xba\xc3", "", "second"});  // 你好
    WriteFile(std::string(bytes.begin(), bytes.end()));
    owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                             600, 500, nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    DestroyWindow(owner_);
    DeleteFileW(Wide(path_).c_str());
  }
  void WriteFile(const std::string& bytes) {
    FILE* f = _wfopen(Wide(path_).c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
  }
  std::vector<std::string> FileRows() {
    std::vector<std::string> rows;
    FILE* f = _wfopen(Wide(path_).c_str(), L"rb");
    if (!f) return rows;
    std::vector<uint8_t> bytes(1 << 16);
    bytes.resize(fread(bytes.data(), 1, bytes.size(), f));
    fclose(f);
    chat::LoadPhrases(bytes.data(), bytes.size(), rows);
    return rows;
  }
  static void Select(HWND popup, int row) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendDlgItemMessageW(popup, CDialogCmd::IDC_LIST, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                        reinterpret_cast<LPARAM>(&item));
  }
  static void Key(HWND popup, WPARAM key) {
    SendDlgItemMessageW(popup, CDialogCmd::IDC_LIST, WM_KEYDOWN, key, 0);
  }
  std::string path_;
  HWND owner_ = nullptr;
};

TEST_F(PhrasesTest, ChooseHideAndShowAgain) {
  std::vector<std::string> chosen;
  CDialogCmd popup([&](const std::string& text) { chosen.push_back(text); });
  popup.Show(owner_);
  HWND window = popup.hwnd();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(popup.GetRows(), (std::vector<std::string>{"\xc4\xe3\xba\xc3", "second"}));
  testing::SaveWindowPicture(window, "chat_phrases.bmp");

  Key(window, VK_RETURN);  // nothing selected: nothing chosen, but hidden
  EXPECT_TRUE(chosen.empty());
  EXPECT_FALSE(IsWindowVisible(window));

  popup.Show(owner_);
  EXPECT_EQ(popup.hwnd(), window);  // the same window, the list as it was
  Select(window, 0);
  Key(window, VK_RETURN);
  EXPECT_EQ(chosen, (std::vector<std::string>{"\xc4\xe3\xba\xc3"}));
  EXPECT_FALSE(IsWindowVisible(window));

  popup.Show(owner_);
  Select(window, 1);
  Key(window, VK_ESCAPE);
  EXPECT_EQ(chosen.size(), 1u);
  EXPECT_FALSE(IsWindowVisible(window));

  // The buttons are image buttons: a press and release with the mouse on "确定" chooses.
  popup.Show(owner_);
  Select(window, 1);
  for (int id : {static_cast<int>(CDialogCmd::IDB_CLOSE), static_cast<int>(CDialogCmd::IDB_OK),
                 static_cast<int>(CDialogCmd::IDB_CANCEL),
                 static_cast<int>(CDialogCmd::IDB_EDIT), static_cast<int>(CDialogCmd::IDB_ADD),
                 static_cast<int>(CDialogCmd::IDB_DELETE)}) {
    wchar_t name[32] = {};
    GetClassNameW(GetDlgItem(window, id), name, 32);
    EXPECT_STREQ(name, L"Static") << id;
  }
  HWND ok = GetDlgItem(window, CDialogCmd::IDB_OK);
  SendMessageW(ok, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  SendMessageW(ok, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(ok, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  testing::Pump(100);
  EXPECT_EQ(chosen, (std::vector<std::string>{"\xc4\xe3\xba\xc3", "second"}));
  EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(PhrasesTest, AddEditAndDeleteAreSavedEachTime) {
  CDialogCmd popup(nullptr);
  popup.Show(owner_);
  HWND window = popup.hwnd();
  ASSERT_NE(window, nullptr);

  DialogDriver driver;
  driver.ThenDialog(window, [&](HWND editor) {
    // 250 Chinese characters: the editor keeps 199 of them (398 bytes).
    SetDlgItemTextW(editor, CDialogCmdEdit::IDC_TEXT, std::wstring(250, L'\x4f60').c_str());
    testing::SaveWindowPicture(editor, "chat_phrase_editor.bmp");
    Click(editor, CDialogCmdEdit::IDB_OK);
  });
  Click(window, CDialogCmd::IDB_ADD);
  std::vector<std::string> rows = FileRows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[2].size(), 398u);

  driver.ThenDialog(window, [&](HWND editor) {
    SetDlgItemTextW(editor, CDialogCmdEdit::IDC_TEXT, L"changed");
    Click(editor, CDialogCmdEdit::IDB_CANCEL);
  });
  Select(window, 1);
  Click(window, CDialogCmd::IDB_EDIT);
  EXPECT_EQ(FileRows()[1], "second");  // cancelled

  driver.ThenDialog(window, [&](HWND editor) {
    SetDlgItemTextW(editor, CDialogCmdEdit::IDC_TEXT, L"changed");
    Click(editor, IDOK);
  });
  Click(window, CDialogCmd::IDB_EDIT);
  EXPECT_EQ(FileRows()[1], "changed");

  Click(window, CDialogCmd::IDB_DELETE);
  EXPECT_EQ(FileRows(), (std::vector<std::string>{"\xc4\xe3\xba\xc3", rows[2]}));

  // An empty phrase is saved as one and left out at the next load.
  driver.ThenDialog(window, [&](HWND editor) { Click(editor, IDOK); });
  Click(window, CDialogCmd::IDB_ADD);
  EXPECT_EQ(popup.GetRows().size(), 3u);
  EXPECT_EQ(FileRows().size(), 2u);
}

TEST_F(PhrasesTest, CorruptFileKeepsTheRowsReadBeforeTheFault) {
  WriteFile(std::string("\5\0\0\0\2hi\x09tr", 10));
  CDialogCmd popup(nullptr);
  popup.Show(owner_);
  EXPECT_EQ(popup.GetRows(), (std::vector<std::string>{"hi"}));
}

}  // namespace
}  // namespace parley
