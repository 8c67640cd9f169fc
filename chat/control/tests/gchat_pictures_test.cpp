// GChat with its pictures, people and adverts, hosted as the client hosts it on the sample
// installation: faces typed into lines show as animated pictures, the sample adverts are read
// and shown (a chat-line advert with its picture and link, the banner), advert XML handed in
// is shown and anything else is left alone, a bad advert file is reported once, the whisper
// target is chosen from a host's user list, and a face is picked on the face board and sent as
// its key; the lines of a host's chat records show the speaker's flag, a name that picks the
// whisper target and the faces. Leaves chat_faces_adverts.png, chat_face_board.png and
// chat_user_lines.png.
#include <windows.h>
#include <richedit.h>
#include <richole.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "chat_layout.h"
#include "chat_platform.h"
#include "chat_test_support.h"
#include "parley.h"
#include "records/chat_text_format.h"
#include "records/hot_region_record.h"
#include "records/lobby_records.h"
#include "window_picture.h"
#include "winkit/com_ptr.h"
#include "winkit/control_host.h"
#include "winkit/testing/com_test_support.h"

namespace {

using winkit::ComPtr;

[[maybe_unused]] auto* const g_env = ::testing::AddGlobalTestEnvironment(
    new winkit::testing::ComTestEnvironment({L"Parley.dll", L"KorvelAnimImage.dll"}));

std::vector<std::wstring> g_opened;

}  // namespace

extern "C" __declspec(dllexport) void ParleyOpenLinkSeam(const wchar_t* link) {
  g_opened.push_back(link);
}

namespace {

// Keeps the text of every OnChat.
class Sink : public winkit::ControlEventTarget {
 public:
  void OnControlEvent(UINT, DISPID id, const winkit::EventArgs& args) override {
    if (id == 6) chats.push_back(reinterpret_cast<const char*>(args.Ptr(1)));
  }
  std::vector<std::string> chats;
};

class GChatPicturesTest : public ::testing::Test {
 protected:
  void Open() {
    parent_ = CreateWindowExW(0, L"STATIC", L"table", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                              460, 340, nullptr, nullptr, nullptr, nullptr);
    ASSERT_HRESULT_SUCCEEDED(winkit::ControlHost::Create(parent_, CLSID_GChat, IID__IGChatEvents,
                                                         32784, L"Parley.GChat",
                                                         RECT{0, 0, 440, 300}, &sink_, &host_));
    ASSERT_HRESULT_SUCCEEDED(host_->QueryControl(IID_IGChat, chat_.PutVoid()));
    output_ = GetDlgItem(host_->ControlWindow(), 2001);
    ASSERT_NE(output_, nullptr);
  }
  void TearDown() override {
    chat_.Reset();
    if (host_) host_->Destroy();
    host_.Reset();
    if (parent_) DestroyWindow(parent_);
  }
  HRESULT Add(const char* text) {
    ChatTextFormat f;
    f.m_nSize = 120;
    return chat_->AddText(reinterpret_cast<LONG_PTR>(&f), 0, reinterpret_cast<LONG_PTR>(text));
  }
  std::wstring OutputText() const {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(output_)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(output_, text.data(), static_cast<int>(text.size()))));
    return text;
  }
  // Position -> key of the pictures in the public pane.
  std::vector<std::pair<LONG, DWORD>> Pictures() const {
    std::vector<std::pair<LONG, DWORD>> pictures;
    ComPtr<IRichEditOle> rich;
    SendMessageW(output_, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(rich.Put()));
    if (!rich) return pictures;
    for (LONG i = 0; i < rich->GetObjectCount(); ++i) {
      REOBJECT reo{};
      reo.cbStruct = sizeof reo;
      if (SUCCEEDED(rich->GetObject(i, &reo, REO_GETOBJ_NO_INTERFACES))) pictures.emplace_back(reo.cp, reo.dwUser);
    }
    return pictures;
  }
  std::vector<COLORREF> Pixels(HWND window, RECT r) const {
    HDC dc = GetDC(window);
    std::vector<COLORREF> pixels;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(window, dc);
    return pixels;
  }

  HWND parent_ = nullptr;
  Sink sink_;
  ComPtr<winkit::ControlHost> host_;
  ComPtr<IGChat> chat_;
  HWND output_ = nullptr;
};

TEST_F(GChatPicturesTest, FacesAndAdvertsOfTheSampleInstallation) {
  parley::testing::AppPathOverride app(CHAT_SAMPLE_DIR_WINDOWS);
  Open();
  // 张三说：你好/wx 再见/dx
  ASSERT_EQ(Add("\xd5\xc5\xc8\xfd\xcb\xb5\xa3\xba\xc4\xe3\xba\xc3/wx \xd4\xd9\xbc\xfb/dx"), S_OK);
  const auto faces = Pictures();
  ASSERT_EQ(faces.size(), 2u);
  EXPECT_EQ(faces[0], (std::pair<LONG, DWORD>{7, 1}));
  EXPECT_EQ(faces[1], (std::pair<LONG, DWORD>{11, 2}));
  EXPECT_EQ(GetWindowTextLengthW(output_), 13);  // the leading line break counts twice here

  // The control's own timer animates them: the first face changes within a second.
  POINTL at{};
  SendMessageW(output_, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), 6);
  const RECT face{at.x, at.y, at.x + 24, at.y + 24};
  parley::testing::Pump(100);
  const std::vector<COLORREF> before = Pixels(output_, face);
  bool changed = false;
  for (int i = 0; i < 20 && !changed; ++i) {
    parley::testing::Pump(60);
    changed = Pixels(output_, face) != before;
  }
  EXPECT_TRUE(changed);

  // The sample's chat-line advert comes at tick 1, with its picture and its link; the banner
  // of chat style 3 is up from tick 0.
  parley::testing::Pump(2300);
  const std::wstring text = OutputText();
  EXPECT_NE(text.find(L"\x65b0\x6625\x5927\x793c\x5305"), std::wstring::npos);  // 新春大礼包
  EXPECT_EQ(Pictures().size(), 4u);  // two faces, the separator flag, the advert picture
  HWND control = host_->ControlWindow();
  const std::vector<COLORREF> strip = Pixels(control, RECT{20, 4, 200, 19});
  size_t banner = 0;
  for (COLORREF c : strip) banner += GetBValue(c) > 150 && GetRValue(c) < 90 && GetGValue(c) < 90;
  EXPECT_GT(banner, 20u);

  // Advert XML handed in is shown at the next tick; other text is left alone.
  const char advert[] =
      "<CHATADV><ITEMINFO type=\"0\" newline=\"1\" color=\"008000\">"
      "\xb9\xab\xb8\xe6\xa3\xba\xc3\xf7\xcc\xec\xce\xac\xbb\xa4</ITEMINFO></CHATADV>";  // 公告：明天维护
  EXPECT_EQ(chat_->AddXmlString(reinterpret_cast<LONG_PTR>(advert)), S_OK);
  EXPECT_EQ(chat_->AddXmlString(reinterpret_cast<LONG_PTR>("<NOTICE>x</NOTICE>")), S_OK);
  EXPECT_EQ(chat_->AddXmlString(reinterpret_cast<LONG_PTR>("not xml <")), S_OK);
  EXPECT_EQ(chat_->AddXmlString(0), S_OK);
  parley::testing::Pump(1200);
  EXPECT_NE(OutputText().find(L"\x516c\x544a\xff1a\x660e\x5929"), std::wstring::npos);
  parley::testing::SaveWindowPicture(parent_, "chat_faces_adverts.bmp");

  // The banner's link opens from a click on the strip.
  g_opened.clear();
  SendMessageW(control, WM_LBUTTONDOWN, 0, MAKELPARAM(40, 8));
  ASSERT_EQ(g_opened.size(), 1u);
  EXPECT_EQ(g_opened[0], L"http://example.com/news");
}

TEST_F(GChatPicturesTest, AnAdvertFileThatIsNotXmlIsReportedOnceAndTheChatGoesOn) {
  parley::testing::ScratchFolder folder;
  CreateDirectoryW((folder.Wide() + L"\\config").c_str(), nullptr);
  folder.Write(L"config\\advrss.xml", "<ADVLIST><CHATADV advtype=\"1\"");
  parley::testing::AppPathOverride app(folder.Wide().c_str());
  Open();
  parley::testing::Pump(1200);
  ASSERT_EQ(Add("ok"), S_OK);
  EXPECT_EQ(OutputText(), L"\r\nok");
  const std::string log = folder.Read(L"chatLogFile.log");
  size_t reports = 0;
  for (size_t at = log.find("advrss.xml"); at != std::string::npos; at = log.find("advrss.xml", at + 1))
    ++reports;
  EXPECT_EQ(reports, 1u) << log;
}

TEST_F(GChatPicturesTest, WhisperTargetFromTheHostsUserList) {
  parley::testing::AppPathOverride app(CHAT_SAMPLE_DIR_WINDOWS);
  Open();
  struct Record {
    PERSON person{};
    uint8_t rest[400 - sizeof(PERSON)] = {};
  } al, me;
  al.person.id = 5;
  std::strcpy(al.person.username, "alice");
  std::strcpy(al.person.nickname, "Al");
  me.person.id = 9;
  std::strcpy(me.person.nickname, "Me");
  std::vector<const void*> list{&al, &me};
  EXPECT_EQ(chat_->SetMyID(9), S_OK);
  EXPECT_EQ(chat_->SetUserListAddr(reinterpret_cast<LONG_PTR>(&list)), S_OK);
  EXPECT_EQ(chat_->SetSelUser(9), S_OK);   // myself: nothing
  EXPECT_EQ(chat_->SetSelUser(77), S_OK);  // not listed: nothing
  EXPECT_EQ(OutputText(), L"");
  EXPECT_EQ(chat_->SetSelUser(5), S_OK);
  // 聊天状态：与[Al]私聊！
  EXPECT_NE(OutputText().find(L"\x804a\x5929\x72b6\x6001\xff1a\x4e0e[Al]\x79c1\x804a\xff01"),
            std::wstring::npos);
  EXPECT_EQ(chat_->AddPerson(0), S_OK);
}

// Lines of a host's chat records: the speaker's flag picture, the name as a link that makes
// the speaker the whisper target when clicked, and the faces of the message as pictures; the
// table's records the same without the link. Leaves chat_user_lines.png.
TEST_F(GChatPicturesTest, ChatRecordLinesShowFlagClickableNameAndFaces) {
  parley::testing::AppPathOverride app(CHAT_SAMPLE_DIR_WINDOWS);
  Open();
  struct Record {
    PERSON person{};
    uint8_t rest[400 - sizeof(PERSON)] = {};
  } al, bo, me;
  al.person.id = 5;
  std::strcpy(al.person.username, "alice");
  std::strcpy(al.person.nickname, "Al");
  al.person.headpicid = 3;  // user flag 3; still a plain person (leading space)
  bo.person.id = 6;
  std::strcpy(bo.person.username, "bob");
  std::strcpy(bo.person.nickname, "Bo");
  bo.person.ismember = 1;  // user flag 1, not plain
  me.person.id = 9;
  std::strcpy(me.person.nickname, "Me");
  std::vector<const void*> list{&al, &bo, &me};
  ASSERT_EQ(chat_->SetMyID(9), S_OK);
  ASSERT_EQ(chat_->SetUserListAddr(reinterpret_cast<LONG_PTR>(&list)), S_OK);

  auto room = [](uint32_t sender, const char* text) {
    std::vector<uint8_t> r(64);
    std::memcpy(r.data() + 8, &sender, 4);
    std::strcpy(reinterpret_cast<char*>(r.data() + 16), "Arial");
    const int32_t colour = 0x008000;
    const int16_t size = 100;
    std::memcpy(r.data() + 36, &colour, 4);
    std::memcpy(r.data() + 40, &size, 2);
    std::memcpy(r.data() + 56, &text, sizeof text);
    return r;
  };
  // Al说：hi/dx  and  Bo说：/wx!/wx
  auto first = room(5, "Al\xcb\xb5\xa3\xbahi/dx");
  auto second = room(6, "Bo\xcb\xb5\xa3\xba/wx!/wx");
  ASSERT_EQ(chat_->AddChatMessage(reinterpret_cast<LONG_PTR>(first.data())), S_OK);
  ASSERT_EQ(chat_->AddChatMessage(reinterpret_cast<LONG_PTR>(second.data())), S_OK);

  // break 0 | flag 3 at 1 | " Al【alice】" 2..11 | 说： 12 13 | hi 14 15 | face 2 at 16 |
  // break 17 | flag 1 at 18 | "Bo【bob】" 19..25 | 说： 26 27 | face 1 at 28 | ! 29 | face 1 at 30
  const std::vector<std::pair<LONG, DWORD>> want = {{1, 3}, {16, 2}, {18, 1}, {28, 1}, {30, 1}};
  EXPECT_EQ(Pictures(), want);
  auto range = [&](LONG from, LONG to) {
    std::wstring text(static_cast<size_t>(to - from) + 1, L'\0');
    TEXTRANGEW r{{from, to}, text.data()};
    text.resize(static_cast<size_t>(SendMessageW(output_, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&r))));
    return text;
  };
  EXPECT_EQ(range(2, 16), L" Al\x3010" L"alice\x3011\x8bf4\xff1ahi");
  EXPECT_EQ(range(19, 28), L"Bo\x3010" L"bob\x3011\x8bf4\xff1a");
  EXPECT_EQ(range(29, 30), L"!");
  auto is_link = [&](LONG at) {
    SendMessageW(output_, EM_SETSEL, at, at + 1);
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    SendMessageW(output_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return (cf.dwEffects & CFE_LINK) != 0;
  };
  EXPECT_TRUE(is_link(3));
  EXPECT_TRUE(is_link(21));
  EXPECT_FALSE(is_link(12));  // the verb
  EXPECT_FALSE(is_link(14));  // the message

  // A click on Bo's name makes Bo the whisper target: the target box shows Bo and the notice
  // says so.
  HWND control = host_->ControlWindow();
  auto click = [&](LONG from, LONG to) {
    ENLINK link{};
    link.nmhdr.hwndFrom = output_;
    link.nmhdr.idFrom = 2001;
    link.nmhdr.code = EN_LINK;
    link.msg = WM_LBUTTONDOWN;
    link.chrg = {from, to};
    SendMessageW(control, WM_NOTIFY, 2001, reinterpret_cast<LPARAM>(&link));
  };
  HWND target = GetDlgItem(control, 249);
  ASSERT_NE(target, nullptr);
  auto shown_target = [&]() -> std::wstring {
    const LRESULT at = SendMessageW(target, CB_GETCURSEL, 0, 0);
    if (at < 0) return L"";
    std::wstring text(static_cast<size_t>(SendMessageW(target, CB_GETLBTEXTLEN, at, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(SendMessageW(target, CB_GETLBTEXT, at, reinterpret_cast<LPARAM>(text.data()))));
    return text;
  };
  EXPECT_EQ(SendMessageW(target, CB_GETITEMDATA, SendMessageW(target, CB_GETCURSEL, 0, 0), 0), 0);
  click(19, 25);
  EXPECT_EQ(shown_target(), L"Bo");
  EXPECT_EQ(SendMessageW(target, CB_GETITEMDATA, SendMessageW(target, CB_GETCURSEL, 0, 0), 0), 6);
  const std::wstring notice = L"\x804a\x5929\x72b6\x6001\xff1a\x4e0e[Bo]\x79c1\x804a\xff01";
  EXPECT_NE(OutputText().find(notice), std::wstring::npos);
  // Bo again, or SetSelUser of Bo: already the target, no second notice.
  const size_t length = OutputText().size();
  click(21, 22);
  EXPECT_EQ(chat_->SetSelUser(6), S_OK);
  EXPECT_EQ(OutputText().size(), length);
  // Then Al, by a click on the first line's name.
  click(3, 5);
  EXPECT_EQ(shown_target(), L"Al");

  // The table's record: the flag and the plain name (no link), then the faces.
  const auto before = Pictures().size();
  auto desk = room(5, "Al\xcb\xb5\xa3\xbayo/wx");
  ASSERT_EQ(chat_->AddChatMessage_Indesk(reinterpret_cast<LONG_PTR>(desk.data() + 4)), S_OK);
  const auto after = Pictures();
  ASSERT_EQ(after.size(), before + 2);
  EXPECT_EQ(after[after.size() - 2].second, 3u);  // Al's flag
  EXPECT_EQ(after.back().second, 1u);             // the face
  const LONG flag = after[after.size() - 2].first;
  EXPECT_EQ(range(flag + 1, after.back().first), L"Al\x8bf4\xff1ayo");
  EXPECT_FALSE(is_link(flag + 1));

  SendMessageW(output_, EM_SETSEL, 0, 0);
  parley::testing::Pump(200);
  parley::testing::SaveWindowPicture(parent_, "chat_user_lines.bmp");
}

// The face button opens the board below it; a click on a face puts that face into the input
// as a picture and closes the board; the line leaves with the face's key in its place; a click
// between the faces only closes the board.
TEST_F(GChatPicturesTest, FaceBoardPicksAFaceIntoTheInput) {
  parley::testing::AppPathOverride app(CHAT_SAMPLE_DIR_WINDOWS);
  Open();
  HWND control = host_->ControlWindow();
  HWND input = GetDlgItem(control, 2003);
  RECT client{};
  GetClientRect(control, &client);
  const chat::ChatLayout l = chat::ComputeLayout(parley::GetSkinManager().values, client.right,
                                                 client.bottom, 20, false);
  const LPARAM on_face = MAKELPARAM((l.face.left + l.face.right) / 2, (l.face.top + l.face.bottom) / 2);
  SendMessageW(control, WM_LBUTTONDOWN, 0, on_face);
  HWND board = FindWindowW(L"KorvelFaceBoard", nullptr);
  ASSERT_TRUE(board);
  ASSERT_TRUE(IsWindowVisible(board));
  RECT at{};
  GetWindowRect(board, &at);
  EXPECT_EQ(at.right - at.left, 242);
  EXPECT_EQ(at.bottom - at.top, 176);
  SendMessageW(board, WM_MOUSEMOVE, 0, MAKELPARAM(37, 13));  // over the second face
  parley::testing::SaveWindowPicture(board, "chat_face_board.bmp");

  SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"hi "));
  SendMessageW(input, EM_SETSEL, 3, 3);
  SendMessageW(board, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(37, 13));
  EXPECT_FALSE(IsWindowVisible(board));
  parley::testing::Pump(100);
  ComPtr<IRichEditOle> rich;
  SendMessageW(input, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(rich.Put()));
  ASSERT_TRUE(rich);
  ASSERT_EQ(rich->GetObjectCount(), 1);
  REOBJECT reo{};
  reo.cbStruct = sizeof reo;
  ASSERT_EQ(rich->GetObject(0, &reo, REO_GETOBJ_NO_INTERFACES), S_OK);
  EXPECT_EQ(reo.cp, 3);
  EXPECT_EQ(reo.dwUser, 2u);

  // A click on the grid between faces picks nothing.
  SendMessageW(control, WM_LBUTTONDOWN, 0, on_face);
  ASSERT_TRUE(IsWindowVisible(board));
  SendMessageW(board, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(25, 13));
  EXPECT_FALSE(IsWindowVisible(board));
  parley::testing::Pump(100);
  EXPECT_EQ(rich->GetObjectCount(), 1);

  EXPECT_EQ(chat_->Send(), S_OK);
  ASSERT_EQ(sink_.chats.size(), 1u);
  EXPECT_NE(sink_.chats[0].find("hi /dx"), std::string::npos) << sink_.chats[0];
}

// A host's hot-region line that asks for it starts on a new line with the system picture 1.
TEST_F(GChatPicturesTest, HotRegionLineStartsWithTheSystemPicture) {
  parley::testing::AppPathOverride app(CHAT_SAMPLE_DIR_WINDOWS);
  Open();
  ASSERT_EQ(Add("a"), S_OK);
  HotRegionRecord record;
  record.m_nKind = 1;
  std::strcpy(record.m_sText, "go");
  record.m_nStart = 0;
  record.m_nEnd = 2;
  ASSERT_EQ(chat_->AddHotRegion(reinterpret_cast<LONG_PTR>(&record), 0), S_OK);
  const auto pictures = Pictures();
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_EQ(pictures[0], (std::pair<LONG, DWORD>{5, 1}));  // break, "a", break, two spaces
  EXPECT_EQ(OutputText().substr(OutputText().size() - 3), L" go");
}

// A host's line that is advert XML goes to the adverts and shows no line of its own; XML of
// another kind, like any other text, is shown as the line it is.
TEST_F(GChatPicturesTest, AdvertXmlGivenAsALineGoesToTheAdverts) {
  parley::testing::AppPathOverride app(CHAT_SAMPLE_DIR_WINDOWS);
  Open();
  ChatTextFormat system;
  const char advert[] = "<CHATADV><ITEMINFO newline=\"1\">sale today</ITEMINFO></CHATADV>";
  ASSERT_EQ(chat_->AddLink(reinterpret_cast<LONG_PTR>(&system), 0, reinterpret_cast<LONG_PTR>(advert)), S_OK);
  EXPECT_EQ(OutputText(), L"");
  ASSERT_EQ(chat_->AddLink(reinterpret_cast<LONG_PTR>(&system), 0,
                           reinterpret_cast<LONG_PTR>("<b>bold</b>")), S_OK);
  EXPECT_NE(OutputText().find(L"<b>bold</b>"), std::wstring::npos);
  parley::testing::Pump(1300);
  EXPECT_NE(OutputText().find(L"sale today"), std::wstring::npos);
}

}  // namespace
