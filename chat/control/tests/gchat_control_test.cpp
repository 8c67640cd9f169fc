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
#include <functional>
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
// The handler made to fail, by its log text.
std::string g_failing;
}  // namespace

extern "C" __declspec(dllexport) bool ParleyFaultSeam(const char* handler) {
  return handler && g_failing == handler;
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
  ASSERT_EQ(text.size(), 18u);
  EXPECT_EQ(text.substr(0, 8), L"\r\x5f20\x4e09\x8bf4\xff1a\x4f60\x597d\r");
  EXPECT_EQ(text.substr(9), L"[\x7ba1\x7406\x516c\x544a] \x7ef4\x62a4");
  // The notice starts with the system picture 2, one position of its own.
  ComPtr<IRichEditOle> rich;
  SendMessageW(output_, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(rich.Put()));
  ASSERT_TRUE(rich);
  ASSERT_EQ(rich->GetObjectCount(), 1);
  REOBJECT reo{};
  reo.cbStruct = sizeof reo;
  ASSERT_HRESULT_SUCCEEDED(rich->GetObject(0, &reo, REO_GETOBJ_NO_INTERFACES));
  EXPECT_EQ(reo.cp, 8);
  EXPECT_EQ(reo.dwUser, 2u);
  EXPECT_EQ(ColourAt(1), 0xAA4600u);  // the sample skin's head colour (0,70,170)
  EXPECT_EQ(ColourAt(5), 0x008000u);  // the message in the line's own colour
  EXPECT_EQ(ColourAt(9), 0x0A0AFFu);  // the admin colour (255,10,10)

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
  ASSERT_EQ(at, 14);
  click(1, 4);  // "one": no region there
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
  EXPECT_EQ(text.size(), 1 + 2000u + 1 + 6);  // the long line is cut, the next still shows
  EXPECT_EQ(text.substr(2002), L"tail ?");
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
  EXPECT_EQ(text, L"\r Bob\x3010" L"bob\x3011\x5bf9" L"Ann\x8bf4\xff1ahi\r[\x7ba1\x7406\x516c\x544a] up\r Bob\x8bf4\xff1ayo");
  EXPECT_EQ(ColourAt(text.find(L"hi")), 0x00C000u);
  EXPECT_EQ(ColourAt(2), 0xAA4600u);            // the name in the head colour
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
  EXPECT_EQ(text.substr(0, 9), L"\r [\x7cfb\x7edf\x6d88\x606f] ");  // "\r [系统消息] "
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
  EXPECT_TRUE(is_link(L"file:"));  // shown as a link, never opened
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

namespace {

// What a host reads of a run of a pane: EM_GETCHARFORMAT on the selection [from, to).
CHARFORMAT2W FormatOf(HWND pane, LONG from, LONG to) {
  SendMessageW(pane, EM_SETSEL, from, to);
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof cf;
  SendMessageW(pane, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  return cf;
}

constexpr DWORD kWholeRun = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_FACE | CFM_SIZE | CFM_COLOR;

}  // namespace

// Every line starts with a line break (the first one of an empty pane too); the speaker part
// is in the head format (its face, 10 points, its colour, no effects), the message part in the
// line's own, kept within 10 to 20 points; a line without "说：" is in the head format without
// bold; kind lines take their colours; AddLink closes its line with a line break.
TEST_F(GChatTest, LinesAndFormatsAsAHostReadsThem) {
  const std::wstring head_face = L"\x5b8b\x4f53";  // 宋体
  ChatTextFormat loud;
  std::strcpy(loud.m_sFontFace, "Arial");
  loud.m_nColor = 0x008000;
  loud.m_nSize = 300;     // 30 points: shown at 20
  loud.m_nStyle[0] = 1;   // bold
  loud.m_nStyle[2] = 1;   // underlined
  // 甲说：你好 twice: the second speaker part follows a bold, underlined message part.
  const char* said = "\xbc\xd7\xcb\xb5\xa3\xba\xc4\xe3\xba\xc3";
  for (int i = 0; i < 2; ++i)
    ASSERT_EQ(chat_->AddText(reinterpret_cast<LONG_PTR>(&loud), 0, reinterpret_cast<LONG_PTR>(said)),
              S_OK);
  ASSERT_EQ(chat_->AddText(reinterpret_cast<LONG_PTR>(&loud), 0,
                           reinterpret_cast<LONG_PTR>("notice")), S_OK);
  Pump();
  const std::wstring line = L"\r\x7532\x8bf4\xff1a\x4f60\x597d";
  ASSERT_EQ(OutputText(), line + line + L"\rnotice");
  for (LONG base : {0L, 6L}) {
    SCOPED_TRACE(base);
    const CHARFORMAT2W speaker = FormatOf(output_, base + 1, base + 4);
    EXPECT_EQ(speaker.dwMask & kWholeRun, kWholeRun);  // one format over the whole part
    EXPECT_EQ(speaker.dwEffects & (CFE_BOLD | CFE_UNDERLINE | CFE_ITALIC), 0u);
    EXPECT_EQ(speaker.szFaceName, head_face);
    EXPECT_EQ(speaker.yHeight, 200);
    EXPECT_EQ(speaker.crTextColor, 0xAA4600u);
    const CHARFORMAT2W message = FormatOf(output_, base + 4, base + 6);
    EXPECT_EQ(message.dwMask & kWholeRun, kWholeRun);
    EXPECT_EQ(message.dwEffects & (CFE_BOLD | CFE_UNDERLINE), static_cast<DWORD>(CFE_BOLD | CFE_UNDERLINE));
    EXPECT_STREQ(message.szFaceName, L"Arial");
    EXPECT_EQ(message.yHeight, 400);
    EXPECT_EQ(message.crTextColor, 0x008000u);
  }
  const CHARFORMAT2W notice = FormatOf(output_, 13, 19);
  EXPECT_EQ(notice.dwMask & kWholeRun, kWholeRun);
  EXPECT_EQ(notice.dwEffects & (CFE_BOLD | CFE_UNDERLINE), 0u);
  EXPECT_EQ(notice.crTextColor, 0xAA4600u);

  // Sizes of a line's message part: 10 points below, 20 above, whole pixels between.
  const struct {
    int16_t size;
    LONG twips;
  } sizes[] = {{0, 200}, {-5, 200}, {5, 200}, {150, 300}, {200, 400}, {300, 400}};
  for (const auto& c : sizes) {
    ASSERT_EQ(chat_->Clear(), S_OK);
    ChatTextFormat f;
    f.m_nSize = c.size;
    ASSERT_EQ(chat_->AddText(reinterpret_cast<LONG_PTR>(&f), 0, reinterpret_cast<LONG_PTR>(said)),
              S_OK);
    EXPECT_EQ(FormatOf(output_, 4, 6).yHeight, c.twips) << c.size;
  }

  // Kind lines in their colours: the host's admin notice and broadcast, and AddLink's lines.
  ASSERT_EQ(chat_->Clear(), S_OK);
  ChatTextFormat kind;
  kind.m_nColor = 0x123456;
  kind.m_nStyle[0] = 1;
  for (int16_t k : {2, 4}) {
    kind.m_nStyle[4] = k;
    ASSERT_EQ(chat_->AddText(reinterpret_cast<LONG_PTR>(&kind), 0, reinterpret_cast<LONG_PTR>("x")),
              S_OK);
  }
  for (int16_t k : {2, 4, 0, 16}) {
    kind.m_nStyle[4] = k;
    ASSERT_EQ(chat_->AddLink(reinterpret_cast<LONG_PTR>(&kind), 0,
                             reinterpret_cast<LONG_PTR>("sys")), S_OK);
  }
  Pump();
  const std::wstring kinds = OutputText();
  // "\r" picture "[管理公告] x" "\r" picture "[用户广播] x", then four AddLink lines.
  const std::wstring system_line = L"\r [\x7cfb\x7edf\x6d88\x606f] sys\r";
  EXPECT_EQ(kinds.substr(kinds.size() - 2 * system_line.size()), system_line + system_line);
  const struct {
    size_t at;
    COLORREF colour;
  } colours[] = {{kinds.find(L"x"), 0x0A0AFF}, {kinds.find(L"x", kinds.find(L"x") + 1), 0x9664E1}};
  for (const auto& c : colours) {
    const CHARFORMAT2W cf = FormatOf(output_, static_cast<LONG>(c.at), static_cast<LONG>(c.at) + 1);
    EXPECT_EQ(cf.crTextColor, c.colour);
    EXPECT_EQ(cf.dwEffects & CFE_BOLD, 0u);
  }
  const COLORREF link_colours[] = {0x0A0AFF, 0x9664E1, 0x0A0ACD, 0x0A0ACD};
  size_t at = 0;
  for (COLORREF colour : link_colours) {
    at = kinds.find(L"sys", at + 1);
    ASSERT_NE(at, std::wstring::npos);
    const LONG label = static_cast<LONG>(kinds.rfind(L'[', at));
    EXPECT_EQ(FormatOf(output_, label, static_cast<LONG>(at) + 3).crTextColor, colour);
    EXPECT_EQ(FormatOf(output_, label, static_cast<LONG>(at) + 3).dwMask & CFM_COLOR,
              static_cast<DWORD>(CFM_COLOR));
  }
  parley::testing::SaveWindowPicture(parent_, "chat_formats.bmp");
}

// A reader who scrolled up keeps the view when other players' lines come; the own line, or a
// view near the bottom, follows.
TEST_F(GChatTest, AScrolledUpViewStaysWhereItIs) {
  for (int i = 0; i < 50; ++i) ASSERT_EQ(Add(("line " + std::to_string(i)).c_str()), S_OK);
  Pump();
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(output_, SB_VERT, &si));
  ASSERT_GT(si.nMax - si.nMin, static_cast<int>(si.nPage) + 100);  // enough to scroll
  SendMessageW(output_, WM_VSCROLL, SB_TOP, 0);
  const LRESULT top = SendMessageW(output_, EM_GETFIRSTVISIBLELINE, 0, 0);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(Add("another player"), S_OK);
  Pump();
  EXPECT_EQ(SendMessageW(output_, EM_GETFIRSTVISIBLELINE, 0, 0), top);
  ASSERT_TRUE(GetScrollInfo(output_, SB_VERT, &si));
  EXPECT_LT(si.nPos + static_cast<int>(si.nPage) + 50, si.nMax - si.nMin);

  ASSERT_EQ(Add("mine", 0, 0, 1), S_OK);
  Pump();
  ASSERT_TRUE(GetScrollInfo(output_, SB_VERT, &si));
  EXPECT_GE(si.nPos + static_cast<int>(si.nPage) + 50, si.nMax - si.nMin);
  ASSERT_EQ(Add("and at the bottom"), S_OK);
  Pump();
  ASSERT_TRUE(GetScrollInfo(output_, SB_VERT, &si));
  EXPECT_GE(si.nPos + static_cast<int>(si.nPage) + 50, si.nMax - si.nMin);
}

// Keys typed in an output pane go to the input after what it holds.
TEST_F(GChatTest, KeysTypedInTheOutputGoToTheInputsEnd) {
  ASSERT_EQ(chat_->SetEditText(reinterpret_cast<LONG_PTR>("\xb4\xf2")), S_OK);  // 打
  for (wchar_t c : std::wstring(L"okz")) SendMessageW(output_, WM_CHAR, c, 0);
  EXPECT_EQ(PaneText(input_), L"\x6253okz");
  SendMessageW(input_, EM_SETSEL, 0, -1);
  SendMessageW(input_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
}

// Links: an AddLink line with a link and the names of AddChatMessage stay links below later
// lines (a name carries the offset 3 and a click on it chooses the whisper target); addresses
// of every scheme the box marks are links, and only web addresses are opened.
TEST_F(GChatTest, LinksOfEveryKindStayLinks) {
  g_opened.clear();
  ChatTextFormat f;
  ASSERT_EQ(chat_->AddLink(reinterpret_cast<LONG_PTR>(&f), reinterpret_cast<LONG_PTR>("http://a.cn/n"),
                           reinterpret_cast<LONG_PTR>("read the news")), S_OK);
  // A host's list, filled through AddPerson: the speaker is found and named.
  uint8_t alice[400] = {};
  const int32_t alice_id = 11;
  std::memcpy(alice, &alice_id, 4);
  std::strcpy(reinterpret_cast<char*>(alice + 4), "alice");
  std::strcpy(reinterpret_cast<char*>(alice + 38), "Al");
  std::vector<const void*> users;
  ASSERT_EQ(chat_->SetUserListAddr(reinterpret_cast<LONG_PTR>(&users)), S_OK);
  ASSERT_EQ(chat_->AddPerson(reinterpret_cast<LONG_PTR>(alice)), S_OK);
  ASSERT_EQ(users.size(), 1u);  // the host's own list holds the person
  EXPECT_EQ(users[0], alice);
  struct {
    uint8_t head[8] = {};
    ChatTextFormat format;
    uint32_t spare = 0;
    const char* text = "Al\xcb\xb5\xa3\xbahello";  // Al说：hello
  } message;
  message.format.m_nSpeakerId = 11;
  ASSERT_EQ(chat_->AddChatMessage(reinterpret_cast<LONG_PTR>(&message)), S_OK);
  for (const char* line : {"see telnet://bbs.example.cn:23 now", "later", "and later"})
    ASSERT_EQ(Add(line), S_OK);
  Pump();
  const std::wstring text = OutputText();
  auto format_of = [&](const wchar_t* word) {
    const size_t at = text.find(word);
    EXPECT_NE(at, std::wstring::npos);
    return FormatOf(output_, static_cast<LONG>(at), static_cast<LONG>(at) + 1);
  };
  EXPECT_TRUE(format_of(L"read the news").dwEffects & CFE_LINK);
  EXPECT_TRUE(format_of(L"news\r").dwEffects & CFE_LINK);
  const CHARFORMAT2W name = format_of(L"Al");
  EXPECT_TRUE(name.dwEffects & CFE_LINK);
  EXPECT_EQ(name.yOffset, 3);
  EXPECT_FALSE(format_of(L"hello").dwEffects & CFE_LINK);
  EXPECT_TRUE(format_of(L"telnet:").dwEffects & CFE_LINK);
  EXPECT_FALSE(format_of(L"later").dwEffects & CFE_LINK);

  auto click = [&](const wchar_t* word) {
    const LONG at = static_cast<LONG>(text.find(word));
    ENLINK link{};
    link.nmhdr.hwndFrom = output_;
    link.nmhdr.idFrom = 2001;
    link.nmhdr.code = EN_LINK;
    link.msg = WM_LBUTTONDOWN;
    link.chrg = {at, at + static_cast<LONG>(wcslen(word))};
    SendMessageW(output_, EM_SETSEL, at, at);
    SendMessageW(host_->ControlWindow(), WM_NOTIFY, 2001, reinterpret_cast<LPARAM>(&link));
  };
  click(L"telnet://bbs.example.cn:23");
  click(L"read the news");
  EXPECT_EQ(g_opened, (std::vector<std::wstring>{L"http://a.cn/n"}));
  click(L"Al");
  EXPECT_NE(OutputText().find(L"[Al]"), std::wstring::npos);  // 聊天状态：与[Al]私聊！
}

// The panes are RichEdit 2.0 panes in their wide form; a host that reads them in the GBK code
// page gets the bytes it gave, as from the ANSI form on a GBK system.
TEST_F(GChatTest, AHostReadsThePanesInGbk) {
  for (int id : {2001, 2002, 2003}) {
    wchar_t name[32] = {};
    GetClassNameW(GetDlgItem(host_->ControlWindow(), id), name, 32);
    EXPECT_STREQ(name, L"RichEdit20W") << id;
  }
  const char* line = "\xbc\xd7\xcb\xb5\xa3\xba\xc4\xe3\xba\xc3\xa3\xa1";  // 甲说：你好！
  ASSERT_EQ(Add(line), S_OK);
  char gbk[64] = {};
  GETTEXTEX get{sizeof gbk, GT_DEFAULT, 936, nullptr, nullptr};
  SendMessageW(output_, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(gbk));
  EXPECT_EQ(std::string(gbk), std::string("\r") + line);
  ASSERT_EQ(chat_->SetEditText(reinterpret_cast<LONG_PTR>(line)), S_OK);
  std::memset(gbk, 0, sizeof gbk);
  SendMessageW(input_, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(gbk));
  EXPECT_EQ(std::string(gbk), line);
  SetWindowTextW(input_, L"");
}

// A new size closes the face board and gives the input the keys; the board opens at the face
// button's bottom-left corner and stays on the screen at its right edge; the block-list button
// answers outside whisper mode too.
TEST_F(GChatTest, FaceBoardPlaceAndTheBlockListButton) {
  HWND self = host_->ControlWindow();
  RECT client{};
  GetClientRect(self, &client);
  // The sample skin: the face button at 32,49 from the bottom, 25 x 20.
  const POINT face{32 + 5, client.bottom - 49 + 5};
  auto board = [] { return FindWindowW(L"KorvelFaceBoard", nullptr); };
  Press(face.x, face.y);
  ASSERT_NE(board(), nullptr);
  ASSERT_TRUE(IsWindowVisible(board()));
  RECT placed{};
  GetWindowRect(board(), &placed);
  POINT corner{32, client.bottom - 29};
  ClientToScreen(self, &corner);
  EXPECT_EQ(placed.left, corner.x);
  EXPECT_EQ(placed.top, corner.y);
  ReleaseCapture();

  SetFocus(output_);
  SendMessageW(self, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  EXPECT_FALSE(IsWindowVisible(board()));
  EXPECT_EQ(GetFocus(), input_);

  // Near the screen's right edge the board ends at the edge.
  const int screen_right = GetSystemMetrics(SM_CXSCREEN);
  SetWindowPos(parent_, nullptr, screen_right - 120, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Press(face.x, face.y);
  ASSERT_TRUE(IsWindowVisible(board()));
  GetWindowRect(board(), &placed);
  EXPECT_EQ(placed.right, screen_right);
  ReleaseCapture();
  SendMessageW(self, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  SetWindowPos(parent_, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

  // The block-list button (190,49 from the bottom) opens its dialog outside whisper mode.
  parley::testing::DialogDriver driver;
  bool block_list = false;
  driver.ThenDialog(nullptr, [&](HWND dialog) {
    block_list = true;
    parley::testing::Click(dialog, IDCANCEL);
  });
  Press(190 + 5, client.bottom - 49 + 5);
  EXPECT_TRUE(block_list);
  EXPECT_EQ(chat_->SetSeparatorColor(0x00FF00), S_OK);
}

namespace {

// A container other than the kit's: a client site and an in-place site with the least an OLE
// container gives, which lets the control go without deactivating it first.
class ForeignSite : public IOleClientSite, public IOleInPlaceSite {
 public:
  explicit ForeignSite(HWND window) : window_(window) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) *out = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) *out = static_cast<IOleInPlaceSite*>(this);
    else return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override { return --refs_; }  // lives on the test's stack
  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP GetContainer(IOleContainer** out) override {
    if (out) *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
  STDMETHODIMP GetWindow(HWND* hwnd) override {
    *hwnd = window_;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
    if (frame) *frame = nullptr;
    if (doc) *doc = nullptr;
    const RECT r{0, 0, 400, 260};
    if (pos) *pos = r;
    if (clip) *clip = r;
    if (info) info->fMDIApp = FALSE;
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

 private:
  HWND window_;
  ULONG refs_ = 1;
};

// What the input pane's window procedure is while the pane is being destroyed.
HWND g_watchedInput = nullptr;
LONG_PTR g_procAtDestroy = 0;
LRESULT CALLBACK WatchDestroy(int code, WPARAM wp, LPARAM lp) {
  const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
  if (code == HC_ACTION && m->hwnd == g_watchedInput && m->message == WM_DESTROY)
    g_procAtDestroy = GetWindowLongPtrW(m->hwnd, GWLP_WNDPROC);
  return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

// A foreign container shows a line, reads it back from the pane, and lets the control go
// without deactivating it: the input pane is back on its own window procedure before it goes,
// so nothing of the released control is called.
TEST(GChatForeignContainer, ReadsThePaneAndLetsGoWithoutDeactivating) {
  HWND frame = CreateWindowExW(0, L"STATIC", L"foreign", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 30,
                               420, 300, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(frame, nullptr);
  ForeignSite site(frame);
  ComPtr<IOleObject> ole;
  ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_GChat, nullptr, CLSCTX_INPROC_SERVER,
                                            IID_IOleObject, ole.PutVoid()));
  ASSERT_HRESULT_SUCCEEDED(ole->SetClientSite(&site));
  RECT r{0, 0, 400, 260};
  ASSERT_HRESULT_SUCCEEDED(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, frame, &r));
  ComPtr<IOleInPlaceObject> inplace;
  ASSERT_HRESULT_SUCCEEDED(ole->QueryInterface(IID_IOleInPlaceObject, inplace.PutVoid()));
  HWND control = nullptr;
  ASSERT_HRESULT_SUCCEEDED(inplace->GetWindow(&control));
  ComPtr<IGChat> chat;
  ASSERT_HRESULT_SUCCEEDED(ole->QueryInterface(IID_IGChat, chat.PutVoid()));
  ChatTextFormat f;
  ASSERT_EQ(chat->AddText(reinterpret_cast<LONG_PTR>(&f), 0, reinterpret_cast<LONG_PTR>("hello")), S_OK);
  HWND output = GetDlgItem(control, 2001);
  wchar_t text[16] = {};
  GETTEXTEX get{sizeof text, GT_DEFAULT, 1200, nullptr, nullptr};
  SendMessageW(output, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"\rhello");

  g_watchedInput = GetDlgItem(control, 2003);
  ASSERT_NE(g_watchedInput, nullptr);
  WNDCLASSEXW richedit{};
  richedit.cbSize = sizeof richedit;
  wchar_t class_name[32] = {};
  GetClassNameW(g_watchedInput, class_name, 32);
  ASSERT_TRUE(GetClassInfoExW(nullptr, class_name, &richedit));
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, WatchDestroy, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  // Let go: no InPlaceDeactivate, no Close; the last reference goes.
  ole->SetClientSite(nullptr);
  inplace.Reset();
  chat.Reset();
  ole.Reset();
  UnhookWindowsHookEx(hook);
  EXPECT_FALSE(IsWindow(g_watchedInput));
  EXPECT_EQ(g_procAtDestroy, reinterpret_cast<LONG_PTR>(richedit.lpfnWndProc));
  DestroyWindow(frame);
}

// Each handler that fails writes its own text to the error log; a failed send also tells the
// player why in a box.
TEST_F(GChatTest, EachHandlerLogsItsOwnText) {
  const std::wstring log_path = std::wstring(CHAT_SAMPLE_DIR_WINDOWS) + L"\\chatLogFile.log";
  auto log_size = [&] {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return GetFileAttributesExW(log_path.c_str(), GetFileExInfoStandard, &data) ? data.nFileSizeLow : 0;
  };
  auto logged_since = [&](DWORD from) {
    FILE* f = _wfopen(log_path.c_str(), L"rb");
    if (!f) return std::string();
    std::string text;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
    fclose(f);
    return from < text.size() ? text.substr(from) : std::string();
  };
  HWND self = host_->ControlWindow();
  ENLINK link{};
  link.nmhdr.hwndFrom = output_;
  link.nmhdr.idFrom = 2001;
  link.nmhdr.code = EN_LINK;
  link.msg = WM_LBUTTONDOWN;
  LONG value = 0;
  const struct {
    const char* text;
    std::function<void()> run;
  } handlers[] = {
      {"CGChat::OnSize  error", [&] { SendMessageW(self, WM_SIZE, 0, MAKELPARAM(440, 300)); }},
      {"CGChat::OnEraseBkgnd  error",
       [&] {
         HDC dc = GetDC(self);
         SendMessageW(self, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
         ReleaseDC(self, dc);
       }},
      {"CGChat::OnTimer 2  error", [&] { SendMessageW(self, WM_TIMER, 100, 0); }},
      {"CGChat::OnTimer 3  error", [&] { SendMessageW(self, WM_TIMER, 200, 0); }},
      {"CGChat::OnClickLink  error",
       [&] { SendMessageW(self, WM_NOTIFY, 2001, reinterpret_cast<LPARAM>(&link)); }},
      {"CGChat::OnLButtonUp  error", [&] { SendMessageW(self, WM_LBUTTONUP, 0, 0); }},
      {"CGChat::GetIsWhisper() error", [&] { EXPECT_EQ(chat_->GetIsWhisper(&value), S_OK); }},
      {"CGChat::GetIsSeperator() error", [&] { EXPECT_EQ(chat_->GetIsSeperator(&value), S_OK); }},
  };
  for (const auto& h : handlers) {
    const DWORD before = log_size();
    g_failing = h.text;
    h.run();
    g_failing.clear();
    const std::string logged = logged_since(before);
    EXPECT_NE(logged.find(h.text), std::string::npos) << h.text << " logged " << logged;
    EXPECT_EQ(logged.find("Fire_OnClickSetup"), std::string::npos) << h.text;
  }

  // A failed send: its text in the log and the reason in a box.
  std::wstring box_text;
  parley::testing::DialogDriver driver;
  driver.ThenDialog(nullptr, [&](HWND box) {
    EnumChildWindows(
        box,
        [](HWND child, LPARAM out) {
          wchar_t text[256] = {};
          GetWindowTextW(child, text, 256);
          *reinterpret_cast<std::wstring*>(out) += text;
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&box_text));
    parley::testing::Click(box, IDOK);
  });
  const DWORD before = log_size();
  g_failing = "CGChat::SendChat  error";
  ASSERT_EQ(chat_->SetEditText(reinterpret_cast<LONG_PTR>("hi")), S_OK);
  EXPECT_EQ(chat_->Send(), S_OK);
  g_failing.clear();
  EXPECT_NE(logged_since(before).find("CGChat::SendChat  error"), std::string::npos);
  // 操作失败，请重试！ 失败原因:
  EXPECT_NE(box_text.find(L"\x64cd\x4f5c\x5931\x8d25\xff0c\x8bf7\x91cd\x8bd5\xff01 "
                          L"\x5931\x8d25\x539f\x56e0:CGChat::SendChat  error"),
            std::wstring::npos)
      << box_text.size();
  EXPECT_TRUE(sink_.heard.empty());

  const DWORD at_end = log_size();
  g_failing = "CGChat::OnDestroy  error";
  chat_.Reset();
  host_->Destroy();
  g_failing.clear();
  EXPECT_NE(logged_since(at_end).find("CGChat::OnDestroy  error"), std::string::npos);
}

// The panes' own format is the player's font at its size (whole pixels), not kept within the
// 10 to 20 points of a line's head: a saved 30-point font stays 30 points in the input.
TEST(GChatOwnFormat, TheInputTakesTheSavedFontSize) {
  for (const auto& [size, twips] : {std::pair<int, LONG>{300, 600}, {90, 180}}) {
    const std::string saved = "[font]\r\nfontname=Arial\r\ncolor=255\r\nsize=" + std::to_string(size) +
                              "\r\nblod=0\r\nitalic=0\r\nstrickout=0\r\nunderline=0\r\n";
    FILE* f = _wfopen(SettingsFile().c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    fwrite(saved.data(), 1, saved.size(), f);
    fclose(f);
    HWND parent = CreateWindowExW(0, L"STATIC", L"table", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                                  460, 340, nullptr, nullptr, nullptr, nullptr);
    ComPtr<winkit::ControlHost> host;
    ASSERT_HRESULT_SUCCEEDED(winkit::ControlHost::Create(parent, CLSID_GChat, IID__IGChatEvents,
                                                         32784, L"Parley.GChat",
                                                         RECT{0, 0, 440, 300}, nullptr, &host));
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    SendMessageW(GetDlgItem(host->ControlWindow(), 2003), EM_GETCHARFORMAT, SCF_DEFAULT,
                 reinterpret_cast<LPARAM>(&cf));
    EXPECT_EQ(cf.yHeight, twips) << size;
    EXPECT_EQ(cf.crTextColor, 255u);
    host->Destroy();
    host.Reset();
    DestroyWindow(parent);
    DeleteFileW(SettingsFile().c_str());
  }
}
