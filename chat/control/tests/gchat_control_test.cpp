// GChat hosted as the client hosts it, with the sample skin: lines added and read back from
// the RichEdit (text and colours), a line typed and sent with the events heard by a real sink
// in order, a thousand lines kept to the last 66, and a picture of the pane.
#include <windows.h>
#include <richedit.h>
#include <richole.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "chat_platform.h"
#include "chat_test_support.h"
#include "chat_texts.h"
#include "parley.h"
#include "records/chat_text_format.h"
#include "records/hot_region_record.h"
#include "window_picture.h"
#include "winkit/com_ptr.h"
#include "winkit/control_host.h"
#include "winkit/testing/com_test_support.h"

namespace {

using parley::Wide;
using winkit::ComPtr;

[[maybe_unused]] auto* const g_env = ::testing::AddGlobalTestEnvironment(
    new winkit::testing::ComTestEnvironment({L"Parley.dll", L"KorvelAnimImage.dll"}));

// The font settings the control saves, one folder above the library's.
std::wstring SettingsFile() {
  wchar_t dll[MAX_PATH] = {};
  GetModuleFileNameW(GetModuleHandleW(L"Parley.dll"), dll, MAX_PATH);
  std::wstring settings(dll);
  settings.resize(settings.rfind(L'\\'));
  settings.resize(settings.rfind(L'\\') + 1);
  return settings + L"serialize.data";
}

// The installation directory is the sample folder for the whole program: the skin is read once.
parley::testing::AppPathOverride g_app_path(CHAT_SAMPLE_DIR_WINDOWS);

// The links the control opens come here instead of the shell.
std::vector<std::wstring> g_opened;

}  // namespace

extern "C" __declspec(dllexport) void ParleyOpenLinkSeam(const wchar_t* link) {
  g_opened.push_back(link);
}

namespace {

struct Heard {
  DISPID id;
  std::string text;
  VARTYPE types[3];
  int32_t whisper;
  intptr_t action = 0;
  ChatTextFormat format{};  // OnChat's own format, copied during the call
};

// The sink copies what it is given during the call, as the client does.
class Sink : public winkit::ControlEventTarget {
 public:
  void OnControlEvent(UINT, DISPID id, const winkit::EventArgs& args) override {
    Heard h{id, {}, {}, 0, 0, {}};
    for (UINT i = 0; i < args.Count() && i < 3; ++i) h.types[i] = args.Raw(i)->vt;
    if (id == 7) {
      h.action = args.Ptr(0);
      h.whisper = args.Int(1);
    } else if (id == 6) {
      h.text = reinterpret_cast<const char*>(args.Ptr(1));
      h.whisper = args.Int(2);
      std::memcpy(&h.format, reinterpret_cast<const void*>(args.Ptr(0)), sizeof h.format);
    } else if (id == 1) {
      h.text = reinterpret_cast<const char*>(args.Ptr(2));
      h.whisper = args.Int(1);
    }
    heard.push_back(h);
  }
  std::vector<Heard> heard;
};

class GChatTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExW(0, L"STATIC", L"table", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                              460, 340, nullptr, nullptr, nullptr, nullptr);
    ASSERT_HRESULT_SUCCEEDED(winkit::ControlHost::Create(parent_, CLSID_GChat, IID__IGChatEvents,
                                                         32784, L"Parley.GChat",
                                                         RECT{0, 0, 440, 300}, &sink_, &host_));
    ASSERT_HRESULT_SUCCEEDED(host_->QueryControl(IID_IGChat, chat_.PutVoid()));
    output_ = GetDlgItem(host_->ControlWindow(), 2001);
    input_ = GetDlgItem(host_->ControlWindow(), 2003);
    ASSERT_NE(output_, nullptr);
    ASSERT_NE(input_, nullptr);
  }
  void TearDown() override {
    chat_.Reset();
    if (host_) host_->Destroy();
    host_.Reset();
    DestroyWindow(parent_);
  }
  HRESULT Add(const char* text, int16_t kind = 0, int32_t colour = 0x000000, LONG mine = 0) {
    ChatTextFormat f;
    f.m_nColor = colour;
    f.m_nSize = 120;
    f.m_nStyle[4] = kind;
    return chat_->AddText(reinterpret_cast<LONG_PTR>(&f), mine, reinterpret_cast<LONG_PTR>(text));
  }
  std::wstring OutputText() const {
    GETTEXTLENGTHEX length{GTL_DEFAULT, 1200};
    const int n = static_cast<int>(
        SendMessageW(output_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    GETTEXTEX get{static_cast<DWORD>(text.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr,
                  nullptr};
    SendMessageW(output_, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcslen(text.c_str()));
    return text;
  }
  static std::wstring PaneText(HWND pane) {
    GETTEXTLENGTHEX length{GTL_DEFAULT, 1200};
    const int n = static_cast<int>(
        SendMessageW(pane, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    GETTEXTEX get{static_cast<DWORD>(text.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr,
                  nullptr};
    SendMessageW(pane, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcslen(text.c_str()));
    return text;
  }
  void Press(int x, int y) {
    SendMessageW(host_->ControlWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(host_->ControlWindow(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }
  COLORREF ColourAt(int position) const {
    SendMessageW(output_, EM_SETSEL, position, position + 1);
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    SendMessageW(output_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return cf.crTextColor;
  }
  static void Pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  }
  HWND parent_ = nullptr;
  Sink sink_;
  ComPtr<winkit::ControlHost> host_;
  ComPtr<IGChat> chat_;
  HWND output_ = nullptr;
  HWND input_ = nullptr;
};

TEST_F(GChatTest, LinesAreShownWithTheirSpeakerAndKindFormats) {
  // 张三说：你好
  EXPECT_EQ(Add("\xd5\xc5\xc8\xfd\xcb\xb5\xa3\xba\xc4\xe3\xba\xc3", 0, 0x008000), S_OK);
  EXPECT_EQ(Add("\xce\xac\xbb\xa4", 2), S_OK);               // 维护, an admin notice
  EXPECT_EQ(Add("\xc4\xe3\xca\xc7\xc9\xb5\xb1\xc6"), S_OK);  // 你是傻逼: dropped
  EXPECT_EQ(chat_->AddText(0, 0, reinterpret_cast<LONG_PTR>("x")), S_OK);
  ChatTextFormat f;
  EXPECT_EQ(chat_->AddText(reinterpret_cast<LONG_PTR>(&f), 0, 0), S_OK);

  const std::wstring text = OutputText();
  ASSERT_EQ(text.size(), 17u);
  EXPECT_EQ(text.substr(0, 7), L"\x5f20\x4e09\x8bf4\xff1a\x4f60\x597d\r");
  EXPECT_EQ(text.substr(8), L"[\x7ba1\x7406\x516c\x544a] \x7ef4\x62a4");
  // The notice starts with the system picture 2, one position of its own.
  ComPtr<IRichEditOle> rich;
  SendMessageW(output_, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(rich.Put()));
  ASSERT_TRUE(rich);
  ASSERT_EQ(rich->GetObjectCount(), 1);
  REOBJECT reo{};
  reo.cbStruct = sizeof reo;
  ASSERT_HRESULT_SUCCEEDED(rich->GetObject(0, &reo, REO_GETOBJ_NO_INTERFACES));
  EXPECT_EQ(reo.cp, 7);
  EXPECT_EQ(reo.dwUser, 2u);
  EXPECT_EQ(ColourAt(0), 0xAA4600u);  // the sample skin's head colour (0,70,170)
  EXPECT_EQ(ColourAt(4), 0x008000u);  // the message in the line's own colour
  EXPECT_EQ(ColourAt(8), 0x0A0AFFu);  // the admin colour (255,10,10)

  ChatTextFormat link;
  link.m_nStyle[4] = 4;
  EXPECT_EQ(chat_->AddLink(reinterpret_cast<LONG_PTR>(&link), 0,
                           reinterpret_cast<LONG_PTR>("\xb9\xe3\xb2\xa5")), S_OK);  // 广播
  EXPECT_NE(OutputText().find(L"[\x7528\x6237\x5e7f\x64ad] \x5e7f\x64ad"), std::wstring::npos);
  parley::testing::SaveWindowPicture(parent_, "chat_pane.bmp");

  EXPECT_EQ(chat_->Clear(), S_OK);
  EXPECT_EQ(OutputText(), L"");
  EXPECT_TRUE(GetWindowLongW(output_, GWL_STYLE) & ES_READONLY);

  LONG value = 7;
  EXPECT_EQ(chat_->GetIsWhisper(&value), S_OK);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(chat_->GetIsSeperator(&value), S_OK);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(chat_->GetIsWhisper(nullptr), S_OK);
}

TEST_F(GChatTest, ALineTypedAndSentFiresOnChatThenOnSendMyText) {
  Sleep(1100);  // a line sent by another test of this process less than a second ago
  EXPECT_EQ(chat_->SetEditText(reinterpret_cast<LONG_PTR>("\xc4\xe3\xba\xc3 ")), S_OK);
  EXPECT_EQ(chat_->Send(), S_OK);
  ASSERT_EQ(sink_.heard.size(), 2u);
  EXPECT_EQ(sink_.heard[0].id, 6);
  EXPECT_EQ(sink_.heard[0].text, "\xc4\xe3\xba\xc3");
  EXPECT_EQ(sink_.heard[0].whisper, 0);
  EXPECT_EQ(sink_.heard[0].types[0], VT_I8);
  EXPECT_EQ(sink_.heard[0].types[2], VT_I4);
  EXPECT_EQ(sink_.heard[1].id, 1);
  EXPECT_EQ(sink_.heard[1].text, "\xc4\xe3\xba\xc3");
  EXPECT_EQ(sink_.heard[1].types[1], VT_I4);
  EXPECT_EQ(GetWindowTextLengthW(input_), 0);

  // At once again, typed and ended with Enter: refused with the notice, the text is lost.
  SetWindowTextW(input_, L"again");
  SendMessageW(input_, WM_CHAR, '\r', 0);
  EXPECT_EQ(sink_.heard.size(), 2u);
  EXPECT_NE(OutputText().find(Wide(kTextTooFast)), std::wstring::npos);
  EXPECT_EQ(GetWindowTextLengthW(input_), 0);

  // Keys typed in the output go to the input; Enter there sends too (after a second).
  Sleep(1100);
  for (wchar_t c : std::wstring(L"ok")) SendMessageW(output_, WM_CHAR, c, 0);
  EXPECT_EQ(GetWindowTextLengthW(input_), 2);
  SendMessageW(output_, WM_CHAR, '\r', 0);
  ASSERT_EQ(sink_.heard.size(), 4u);
  EXPECT_EQ(sink_.heard[3].text, "ok");

  SetWindowTextW(input_, L"\x50bb\x903c");  // a forbidden word: the notice, nothing sent
  EXPECT_EQ(chat_->Send(), S_OK);
  EXPECT_EQ(sink_.heard.size(), 4u);
  EXPECT_NE(OutputText().find(Wide(kTextFilteredNotice)), std::wstring::npos);
}

// Clicks on links of the output pane, as RichEdit reports them: only web addresses open.
TEST_F(GChatTest, OnlyWebLinksAreOpened) {
  g_opened.clear();
  const char* lines[] = {"see http://example.com/x", "run file:///C:/windows/notepad.exe",
                         "go www.example.org"};
  for (const char* line : lines) ASSERT_EQ(Add(line, 16), S_OK);
  const std::wstring text = OutputText();
  const struct {
    const wchar_t* link;
    UINT msg;
  } clicks[] = {{L"http://example.com/x", WM_LBUTTONDOWN},
                {L"file:///C:/windows/notepad.exe", WM_LBUTTONDOWN},
                {L"www.example.org", WM_LBUTTONDOWN},
                {L"http://example.com/x", WM_MOUSEMOVE}};
  for (const auto& c : clicks) {
    const size_t at = text.find(c.link);
    ASSERT_NE(at, std::wstring::npos);
    ENLINK link{};
    link.nmhdr.hwndFrom = output_;
    link.nmhdr.idFrom = 2001;
    link.nmhdr.code = EN_LINK;
    link.msg = c.msg;
    link.chrg = {static_cast<LONG>(at), static_cast<LONG>(at + wcslen(c.link))};
    SendMessageW(host_->ControlWindow(), WM_NOTIFY, 2001, reinterpret_cast<LPARAM>(&link));
  }
  EXPECT_EQ(g_opened, (std::vector<std::wstring>{L"http://example.com/x", L"www.example.org"}));
}

// A line the host adds with a clickable span: a click there fires OnClickHotRegion with the
// region's action and id; spans outside the text are kept within it; Clear forgets the regions.
TEST_F(GChatTest, HotRegionsFireOnClickHotRegion) {
  HotRegionRecord record;
  record.m_nId = 9;
  record.m_nAction = 0x1234;
  std::strcpy(record.m_sText, "\xd5\xc5\xc8\xfd gives flowers");  // 张三 gives flowers
  record.m_nStart = 0;
  record.m_nEnd = 2;
  EXPECT_EQ(chat_->AddHotRegion(reinterpret_cast<LONG_PTR>(&record), 0), S_OK);
  HotRegionRecord wild = record;
  wild.m_nStart = 400;
  wild.m_nEnd = -3;
  std::memset(wild.m_sText, 'x', sizeof wild.m_sText);  // no terminator at all
  EXPECT_EQ(chat_->AddHotRegion(reinterpret_cast<LONG_PTR>(&wild), 0), S_OK);
  EXPECT_EQ(chat_->AddHotRegion(0, 0), S_OK);
  const std::wstring text = OutputText();
  EXPECT_EQ(text.substr(0, 16), L"\x5f20\x4e09 gives flowers");
  EXPECT_EQ(text.size(), 16u + 511u);  // the unterminated text is read to 511 bytes

  auto click = [&](LONG from, LONG to) {
    ENLINK link{};
    link.nmhdr.hwndFrom = output_;
    link.nmhdr.idFrom = 2001;
    link.nmhdr.code = EN_LINK;
    link.msg = WM_LBUTTONDOWN;
    link.chrg = {from, to};
    SendMessageW(host_->ControlWindow(), WM_NOTIFY, 2001, reinterpret_cast<LPARAM>(&link));
  };
  click(0, 2);
  ASSERT_EQ(sink_.heard.size(), 1u);
  EXPECT_EQ(sink_.heard[0].id, 7);
  EXPECT_EQ(sink_.heard[0].action, 0x1234);
  EXPECT_EQ(sink_.heard[0].whisper, 9);
  EXPECT_EQ(sink_.heard[0].types[0], VT_I8);
  EXPECT_EQ(sink_.heard[0].types[1], VT_I4);

  EXPECT_EQ(chat_->Clear(), S_OK);
  EXPECT_EQ(chat_->AddText(0, 0, 0), S_OK);
  click(0, 2);  // the old region went with the text
  EXPECT_EQ(sink_.heard.size(), 1u);

  // Below other lines the span is where its text is (a line break is one position).
  for (const char* line : {"one", "two", "three"}) ASSERT_EQ(Add(line), S_OK);
  record.m_nKind = 0;
  record.m_nAction = 0x99;
  EXPECT_EQ(chat_->AddHotRegion(reinterpret_cast<LONG_PTR>(&record), 0), S_OK);
  const LONG at = static_cast<LONG>(OutputText().find(L"\x5f20\x4e09"));
  ASSERT_EQ(at, 13);
  click(0, 3);  // "one": no region there
  EXPECT_EQ(sink_.heard.size(), 1u);
  click(at, at + 2);
  ASSERT_EQ(sink_.heard.size(), 2u);
  EXPECT_EQ(sink_.heard[1].action, 0x99);
}

// The font button opens the font dialog; confirmed or not, the font settings are saved in
// "serialize.data" one folder above the library's.
TEST_F(GChatTest, FontButtonSavesTheFontSettings) {
  wchar_t dll[MAX_PATH] = {};
  GetModuleFileNameW(GetModuleHandleW(L"Parley.dll"), dll, MAX_PATH);
  std::wstring settings(dll);
  settings.resize(settings.rfind(L'\\'));
  settings.resize(settings.rfind(L'\\') + 1);
  settings += L"serialize.data";
  DeleteFileW(settings.c_str());

  parley::testing::DialogDriver driver;
  bool seen = false;
  driver.ThenDialog(nullptr, [&](HWND dialog) {
    seen = true;
    parley::testing::Click(dialog, IDOK);
  });
  RECT client{};
  GetClientRect(host_->ControlWindow(), &client);
  // The sample skin's font button: 4,49 from the bottom, 25 x 20.
  SendMessageW(host_->ControlWindow(), WM_LBUTTONDOWN, 0, MAKELPARAM(10, client.bottom - 45));
  EXPECT_TRUE(seen);
  FILE* f = _wfopen(settings.c_str(), L"rb");
  ASSERT_NE(f, nullptr);
  char text[512] = {};
  fread(text, 1, sizeof text - 1, f);
  fclose(f);
  DeleteFileW(settings.c_str());
  EXPECT_EQ(std::string(text).rfind("[font]\r\nfontname=", 0), 0u);
  EXPECT_NE(std::string(text).find("[chat]\r\nchatsmall="), std::string::npos);
}

TEST_F(GChatTest, LinesOfAnyLengthAndBytes) {
  const std::string huge(100000, 'w');
  EXPECT_EQ(Add(huge.c_str()), S_OK);
  EXPECT_EQ(Add("tail \x81"), S_OK);  // a lone lead byte at the end
  const std::wstring text = OutputText();
  EXPECT_EQ(text.size(), 2000u + 1 + 6);  // the long line is cut, the next still shows
  EXPECT_EQ(text.substr(2001), L"tail ?");
}

TEST_F(GChatTest, AThousandLinesKeepTheLast66) {
  const auto start = std::chrono::steady_clock::now();
  char text[64];
  for (int i = 0; i < 1000; ++i) {
    std::snprintf(text, sizeof text, "P%d\xcb\xb5\xa3\xbaline %d", i % 7, i);  // P說：line i
    ASSERT_EQ(Add(text), S_OK);
  }
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start).count();
  std::printf("1000 lines added in %lld ms\n", static_cast<long long>(ms));
  // The pane is trimmed, drawn and scrolled once the thread handles its messages again.
  Pump();
  const int lines = static_cast<int>(SendMessageW(output_, EM_GETLINECOUNT, 0, 0));
  EXPECT_LE(lines, 67);
  EXPECT_GE(lines, 60);
  const std::wstring all = OutputText();
  EXPECT_NE(all.find(L"line 999"), std::wstring::npos);
  EXPECT_EQ(all.find(L"line 900\r"), std::wstring::npos);
  // Scrolled to the end: the last line is in view.
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(output_, SB_VERT, &si));
  EXPECT_GT(si.nPos, 0);
  EXPECT_GE(si.nPos + static_cast<int>(si.nPage) + 50, si.nMax - si.nMin);
  EXPECT_GT(SendMessageW(output_, EM_GETFIRSTVISIBLELINE, 0, 0), 40);
}

// Whisper mode (chat style 1): the target box with "everyone", the two channel tabs above the
// panes; a press on the tabs swaps the panes and says so in the pane now shown.
TEST_F(GChatTest, WhisperModeAndTheChannelTabs) {
  HWND self = host_->ControlWindow();
  HWND combo = GetDlgItem(self, 249);
  HWND channel = GetDlgItem(self, 2002);
  ASSERT_NE(combo, nullptr);
  Press(40, 30);  // outside whisper mode the tabs are not there
  LONG flag = 7;
  EXPECT_EQ(chat_->GetIsSeperator(&flag), S_OK);
  EXPECT_EQ(flag, 0);
  EXPECT_FALSE(IsWindowVisible(combo));

  std::vector<const void*> users;
  EXPECT_EQ(chat_->SetChatStyle(1), S_OK);
  EXPECT_EQ(chat_->SetWhisperStatus(), S_OK);
  EXPECT_EQ(chat_->SetUserListAddr(reinterpret_cast<LONG_PTR>(&users)), S_OK);
  EXPECT_TRUE(IsWindowVisible(combo));
  ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 1);
  wchar_t item[16] = {};
  SendMessageW(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
  EXPECT_STREQ(item, L"\x6240\x6709\x4eba");  // 所有人
  EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, 0, 0), 0);
  RECT out{};
  GetWindowRect(output_, &out);
  MapWindowPoints(nullptr, self, reinterpret_cast<POINT*>(&out), 2);
  EXPECT_EQ(out.top, 44);  // below the band (20) and the tab row (24)
  // The font button moved right by the target box's width (100): 104,49 from the bottom.
  RECT client{};
  GetClientRect(self, &client);
  EXPECT_EQ(sink_.heard.size(), 0u);
  parley::testing::DialogDriver driver;
  bool font_dialog = false;
  driver.ThenDialog(nullptr, [&](HWND dialog) {
    font_dialog = true;
    parley::testing::Click(dialog, IDCANCEL);
  });
  Press(110, client.bottom - 45);
  EXPECT_TRUE(font_dialog);
  DeleteFileW(SettingsFile().c_str());

  Press(120, 30);  // the second tab
  Pump();
  EXPECT_EQ(chat_->GetIsSeperator(&flag), S_OK);
  EXPECT_EQ(flag, 1);
  EXPECT_TRUE(IsWindowVisible(channel));
  EXPECT_FALSE(IsWindowVisible(output_));
  EXPECT_NE(PaneText(channel).find(Wide(kTextChannelOn)), std::wstring::npos);
  EXPECT_EQ(Add("public line"), S_OK);  // another player's line goes to the public pane
  EXPECT_EQ(PaneText(channel).find(L"public line"), std::wstring::npos);
  Pump();
  EXPECT_TRUE(IsWindowVisible(channel));
  EXPECT_FALSE(IsWindowVisible(output_));
  parley::testing::SaveWindowPicture(parent_, "chat_whisper.bmp");

  Press(40, 30);
  Pump();
  EXPECT_EQ(chat_->GetIsSeperator(&flag), S_OK);
  EXPECT_EQ(flag, 0);
  EXPECT_TRUE(IsWindowVisible(output_));
  EXPECT_FALSE(IsWindowVisible(channel));
  EXPECT_NE(OutputText().find(Wide(kTextChannelOff)), std::wstring::npos);
  EXPECT_NE(OutputText().find(L"public line"), std::wstring::npos);
}

// The tip of the button under the mouse, while the control holds the capture.
TEST_F(GChatTest, ButtonTipsFollowTheMouse) {
  HWND self = host_->ControlWindow();
  RECT client{};
  GetClientRect(self, &client);
  SendMessageW(self, WM_MOUSEMOVE, 0, MAKELPARAM(10, client.bottom - 45));  // the font button
  EXPECT_EQ(GetCapture(), self);
  HWND tip = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM out) {
    wchar_t name[32] = {};
    GetClassNameW(w, name, 32);
    if (wcscmp(name, L"tooltips_class32") == 0) *reinterpret_cast<HWND*>(out) = w;
    return TRUE;
  }, reinterpret_cast<LPARAM>(&tip));
  ASSERT_NE(tip, nullptr);
  wchar_t text[80] = {};
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = self;
  ti.uId = reinterpret_cast<UINT_PTR>(self);
  ti.lpszText = text;
  SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
  EXPECT_STREQ(text, L"\x6539\x53d8\x804a\x5929\x5b57\x4f53");  // 改变聊天字体
  SendMessageW(self, WM_MOUSEMOVE, 0, MAKELPARAM(200, 5));
  EXPECT_EQ(GetCapture(), nullptr);
}

// The position switch (command 237) tells the host; a right press on the output opens the
// panes' menu, and its commands act on that pane.
TEST_F(GChatTest, CommandsAndThePaneMenu) {
  HWND self = host_->ControlWindow();
  SendMessageW(self, WM_USER + 234, 237, 0);
  ASSERT_EQ(sink_.heard.size(), 1u);
  EXPECT_EQ(sink_.heard[0].id, 2);
  SendMessageW(self, WM_USER + 234, 237, 0);  // and back
  DeleteFileW(SettingsFile().c_str());

  ASSERT_EQ(Add("\xc4\xe3\xba\xc3"), S_OK);  // 你好
  std::vector<std::pair<std::wstring, bool>> items;
  parley::testing::DialogDriver driver;
  driver.Then([&] {
    HWND menu_window = FindWindowW(L"#32768", nullptr);
    HMENU menu = menu_window ? reinterpret_cast<HMENU>(SendMessageW(menu_window, MN_GETHMENU, 0, 0))
                             : nullptr;
    for (int i = 0, n = menu ? GetMenuItemCount(menu) : 0; i < n; ++i) {
      wchar_t text[32] = {};
      GetMenuStringW(menu, static_cast<UINT>(i), text, 32, MF_BYPOSITION);
      items.emplace_back(text, !(GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED));
    }
    EndMenu();
  });
  SendMessageW(output_, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
  ASSERT_EQ(items.size(), 13u);
  EXPECT_EQ(items[0], std::make_pair(std::wstring(L"\x53d6\x6d88(&Z)"), false));  // undo
  EXPECT_EQ(items[3], std::make_pair(std::wstring(L"\x590d\x5236(&C)"), false));  // copy: nothing selected
  EXPECT_EQ(items[7], std::make_pair(std::wstring(L"\x4fdd\x5b58(&S)"), true));   // save
  EXPECT_EQ(items[12], std::make_pair(std::wstring(L"\x5b57\x4f53(&F)"), false)); // font

  SendMessageW(self, WM_COMMAND, 33778, 0);  // select all
  CHARRANGE selection{};
  SendMessageW(output_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  EXPECT_EQ(selection.cpMin, 0);
  EXPECT_GE(selection.cpMax, 2);
  SendMessageW(self, WM_COMMAND, 33780, 0);  // clear
  EXPECT_EQ(OutputText(), L"");
}

// Lines of a host that keeps a user list: the speaker named from the list, the receiver in the
// verb, the message in the record's colour; unknown senders and null records show nothing.
TEST_F(GChatTest, ChatMessagesOfAHostWithAUserList) {
  struct Person {
    uint8_t bytes[400] = {};
    Person(int32_t id, const char* user, const char* nick) {
      std::memcpy(bytes, &id, 4);
      std::strcpy(reinterpret_cast<char*>(bytes + 4), user);
      std::strcpy(reinterpret_cast<char*>(bytes + 38), nick);
    }
  } bob(5, "bob", "Bob"), ann(9, "ann", "Ann");
  std::vector<const void*> users = {bob.bytes, ann.bytes};
  EXPECT_EQ(chat_->SetUserListAddr(reinterpret_cast<LONG_PTR>(&users)), S_OK);
  EXPECT_EQ(chat_->SetMyID(1), S_OK);

  auto room = [](uint32_t sender, uint32_t receiver, int16_t kind, const char* text) {
    std::vector<uint8_t> r(64);
    std::memcpy(r.data() + 8, &sender, 4);
    std::memcpy(r.data() + 12, &receiver, 4);
    std::strcpy(reinterpret_cast<char*>(r.data() + 16), "Arial");
    const int32_t colour = 0x00C000;
    const int16_t size = 100;
    std::memcpy(r.data() + 36, &colour, 4);
    std::memcpy(r.data() + 40, &size, 2);
    std::memcpy(r.data() + 50, &kind, 2);
    std::memcpy(r.data() + 56, &text, sizeof text);
    return r;
  };
  auto said = room(5, 9, 0, "Bob\xcb\xb5\xa3\xbahi");  // Bob说：hi
  EXPECT_EQ(chat_->AddChatMessage(reinterpret_cast<LONG_PTR>(said.data())), S_OK);
  auto unknown = room(77, 0, 0, "X\xcb\xb5\xa3\xbalost");
  EXPECT_EQ(chat_->AddChatMessage(reinterpret_cast<LONG_PTR>(unknown.data())), S_OK);
  EXPECT_EQ(chat_->AddChatMessage(0), S_OK);
  auto notice = room(5, 0, 2, "up");
  EXPECT_EQ(chat_->AddChatMessage(reinterpret_cast<LONG_PTR>(notice.data())), S_OK);
  // The table's record: the same fields 4 bytes lower.
  auto desk = room(5, 0, 0, "Bob\xcb\xb5\xa3\xbayo");
  EXPECT_EQ(chat_->AddChatMessage_Indesk(reinterpret_cast<LONG_PTR>(desk.data() + 4)), S_OK);
  EXPECT_EQ(chat_->AddChatMessage_Indesk(0), S_OK);

  const std::wstring text = OutputText();
  // A plain person's name: a space, the nickname and the user name in brackets.
  EXPECT_EQ(text, L" Bob\x3010" L"bob\x3011\x5bf9" L"Ann\x8bf4\xff1ahi\r[\x7ba1\x7406\x516c\x544a] up\r Bob\x8bf4\xff1ayo");
  EXPECT_EQ(ColourAt(text.find(L"hi")), 0x00C000u);
  EXPECT_EQ(ColourAt(1), 0xAA4600u);            // the name in the head colour
  EXPECT_EQ(ColourAt(text.find(L"up")), 0x0A0AFFu);  // the admin colour
}

// Every method is reached through IDispatch by its dispatch id, as a script host calls it, and
// answers S_OK with null or zero arguments (no window of its own opens).
TEST_F(GChatTest, EveryMethodByItsDispatchIdAnswersSOk) {
  ComPtr<IDispatch> dispatch;
  ASSERT_HRESULT_SUCCEEDED(chat_->QueryInterface(IID_IDispatch, dispatch.PutVoid()));
  const struct {
    const wchar_t* name;
    DISPID id;
    UINT args;  // zero numbers; VARIANT arguments pass empty
  } methods[] = {
      {L"AddText", 1, 3},          {L"SetButtonSize", 2, 2},     {L"SetCommandIcon", 3, 1},
      {L"SetSetupIcon", 4, 1},     {L"SetWhisperIcon", 5, 1},    {L"SetSendIcon", 6, 1},
      {L"SetTextColor", 7, 1},     {L"SetBkColor", 8, 1},        {L"AddLink", 9, 3},
      {L"SetSeparatorIcon", 10, 1}, {L"SetSeparatorColor", 11, 1}, {L"SetEditText", 12, 1},
      {L"GetIsWhisper", 13, 99},   {L"OpenColorDialog", 14, 0},  {L"SetWhisperStatus", 15, 0},
      {L"SetSeperatorStatus", 16, 0}, {L"Send", 17, 0},          {L"GetIsSeperator", 18, 99},
      {L"SetClearIcon", 19, 1},    {L"Clear", 20, 0},            {L"GetArchiveObject", 21, 98},
      {L"SetArchiveObject", 22, 98}, {L"SetFontIcon", 23, 1},    {L"SetBkBitmap", 24, 1},
      {L"SetMyID", 25, 1},         {L"AddChatMessage", 26, 1},   {L"SetUserListAddr", 27, 1},
      {L"SetSelUser", 28, 1},      {L"AddHotRegion", 29, 2},     {L"AddPerson", 30, 1},
      {L"AddChatMessage_Indesk", 31, 1}, {L"SetChatStyle", 32, 1}, {L"SetGameInfo", 33, 3},
      {L"AddXmlString", 34, 1},
  };
  for (const auto& m : methods) {
    LPOLESTR name = const_cast<LPOLESTR>(m.name);
    DISPID id = 0;
    ASSERT_HRESULT_SUCCEEDED(dispatch->GetIDsOfNames(IID_NULL, &name, 1, 0x400, &id)) << m.name;
    EXPECT_EQ(id, m.id) << m.name;
    VARIANT args[3];
    LONG out = 5;
    for (VARIANT& v : args) {
      VariantInit(&v);
      V_VT(&v) = VT_I4;
      V_I4(&v) = 0;
    }
    UINT count = m.args;
    if (m.args == 99) {  // an out number
      V_VT(&args[0]) = VT_I4 | VT_BYREF;
      V_I4REF(&args[0]) = &out;
      count = 1;
    } else if (m.args == 98) {  // a VARIANT
      V_VT(&args[0]) = VT_EMPTY;
      count = 1;
    }
    DISPPARAMS params{args, nullptr, count, 0};
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(dispatch->Invoke(id, IID_NULL, 0x400, DISPATCH_METHOD, &params, &result, nullptr,
                               nullptr),
              S_OK)
        << m.name;
    if (m.args == 99) { EXPECT_EQ(out, 0) << m.name; }
  }

  // A container without ambient colours leaves the output's background as it was.
  EXPECT_EQ(chat_->SetBkColor(0x123456), S_OK);
  ComPtr<IOleControl> control;
  ASSERT_HRESULT_SUCCEEDED(chat_->QueryInterface(IID_IOleControl, control.PutVoid()));
  EXPECT_EQ(control->OnAmbientPropertyChange(DISPID_UNKNOWN), S_OK);
  EXPECT_EQ(SendMessageW(output_, EM_SETBKGNDCOLOR, 0, 0xFFFFFF), 0x123456);
}

// A system line with a link: its text is the link, and a click opens the link kept for it,
// only when it is a web address; a link of two characters or fewer makes no link.
TEST_F(GChatTest, SystemLinesWithALink) {
  g_opened.clear();
  ChatTextFormat f;
  const struct {
    const char* link;
    const char* text;
  } lines[] = {{"http://example.com/news", "news"}, {"file:///C:/x.exe", "bad"}, {"ab", "short"}};
  for (const auto& l : lines)
    ASSERT_EQ(chat_->AddLink(reinterpret_cast<LONG_PTR>(&f), reinterpret_cast<LONG_PTR>(l.link),
                             reinterpret_cast<LONG_PTR>(l.text)), S_OK);
  Pump();
  const std::wstring text = OutputText();
  EXPECT_EQ(text.substr(0, 8), L" [\x7cfb\x7edf\x6d88\x606f] ");  // " [系统消息] "
  auto link_at = [&](const wchar_t* word) {
    const LONG at = static_cast<LONG>(text.find(word));
    SendMessageW(output_, EM_SETSEL, at, at + 1);
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    SendMessageW(output_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    ENLINK link{};
    link.nmhdr.hwndFrom = output_;
    link.nmhdr.idFrom = 2001;
    link.nmhdr.code = EN_LINK;
    link.msg = WM_LBUTTONDOWN;
    link.chrg = {at, at + static_cast<LONG>(wcslen(word))};
    SendMessageW(host_->ControlWindow(), WM_NOTIFY, 2001, reinterpret_cast<LPARAM>(&link));
    return (cf.dwEffects & CFE_LINK) != 0;
  };
  EXPECT_TRUE(link_at(L"news"));
  EXPECT_TRUE(link_at(L"bad"));
  EXPECT_FALSE(link_at(L"short"));
  EXPECT_EQ(g_opened, (std::vector<std::wstring>{L"http://example.com/news"}));
}

// Web addresses in lines and the host's clickable spans stay links when more lines come.
TEST_F(GChatTest, LinksStayLinksBelowLaterLines) {
  HotRegionRecord record;
  std::strcpy(record.m_sText, "gift");
  record.m_nEnd = 4;
  ASSERT_EQ(Add("see http://example.com/a or file:///C:/x.exe"), S_OK);
  ASSERT_EQ(chat_->AddHotRegion(reinterpret_cast<LONG_PTR>(&record), 0), S_OK);
  for (const char* line : {"one", "two http://x.org", "three"}) ASSERT_EQ(Add(line), S_OK);
  Pump();
  const std::wstring text = OutputText();
  auto is_link = [&](const wchar_t* word, int offset = 0) {
    const LONG at = static_cast<LONG>(text.find(word)) + offset;
    SendMessageW(output_, EM_SETSEL, at, at + 1);
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    SendMessageW(output_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return (cf.dwEffects & CFE_LINK) != 0;
  };
  EXPECT_TRUE(is_link(L"http://example.com/a"));
  EXPECT_TRUE(is_link(L"http://example.com/a", 19));
  EXPECT_FALSE(is_link(L"see"));
  EXPECT_FALSE(is_link(L"file:"));
  EXPECT_TRUE(is_link(L"gift"));
  EXPECT_TRUE(is_link(L"http://x.org"));
  EXPECT_FALSE(is_link(L"three"));
}

// In whisper mode with a user list, a line to the person chosen in the target box is a whisper:
// OnChat alone, with the whisper flag, the receiver and the whisper kind in the own format; a
// chosen person who has left is refused with a message box and the input kept.
TEST_F(GChatTest, WhisperToTheChosenPerson) {
  Sleep(1100);  // a line sent by another test of this process less than a second ago
  uint8_t ann[400] = {};
  const int32_t ann_id = 9;
  std::memcpy(ann, &ann_id, 4);
  std::strcpy(reinterpret_cast<char*>(ann + 38), "Ann");
  std::vector<const void*> users = {ann};
  EXPECT_EQ(chat_->SetWhisperStatus(), S_OK);
  EXPECT_EQ(chat_->SetUserListAddr(reinterpret_cast<LONG_PTR>(&users)), S_OK);
  HWND combo = GetDlgItem(host_->ControlWindow(), 249);
  const LRESULT at = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Ann"));
  SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), 9);
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);

  EXPECT_EQ(chat_->SetEditText(reinterpret_cast<LONG_PTR>("psst")), S_OK);
  EXPECT_EQ(chat_->Send(), S_OK);
  ASSERT_EQ(sink_.heard.size(), 1u);
  EXPECT_EQ(sink_.heard[0].id, 6);
  EXPECT_EQ(sink_.heard[0].text, "psst");
  EXPECT_EQ(sink_.heard[0].whisper, 1);
  const ChatTextFormat* own = &sink_.heard[0].format;
  EXPECT_EQ(own->m_nSecondId, 9u);
  EXPECT_EQ(own->m_nStyle[4], -1);

  users.clear();  // Ann left
  SetWindowTextW(input_, L"still there?");
  parley::testing::DialogDriver driver;
  bool box = false;
  driver.ThenDialog(nullptr, [&](HWND dialog) {
    box = true;
    parley::testing::Click(dialog, IDOK);
  });
  users.push_back(nullptr);  // a list that is not empty, without Ann
  EXPECT_EQ(chat_->Send(), S_OK);
  EXPECT_TRUE(box);
  EXPECT_EQ(sink_.heard.size(), 1u);
  EXPECT_EQ(GetWindowTextLengthW(input_), 12);
}

}  // namespace
