// GChat hosted as the client hosts it, with the sample skin: lines added and read back from
// the RichEdit (text and colours), a line typed and sent with the events heard by a real sink
// in order, a thousand lines kept to the last 66, and a picture of the pane.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <cstdio>
#include <string>
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
    new winkit::testing::ComTestEnvironment({L"Parley.dll"}));

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
};

// The sink copies what it is given during the call, as the client does.
class Sink : public winkit::ControlEventTarget {
 public:
  void OnControlEvent(UINT, DISPID id, const winkit::EventArgs& args) override {
    Heard h{id, {}, {}, 0, 0};
    for (UINT i = 0; i < args.Count() && i < 3; ++i) h.types[i] = args.Raw(i)->vt;
    if (id == 7) {
      h.action = args.Ptr(0);
      h.whisper = args.Int(1);
    } else if (id == 6) {
      h.text = reinterpret_cast<const char*>(args.Ptr(1));
      h.whisper = args.Int(2);
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
  EXPECT_EQ(text, L"\x5f20\x4e09\x8bf4\xff1a\x4f60\x597d\r[\x7ba1\x7406\x516c\x544a] \x7ef4\x62a4");
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

  SetWindowTextW(input_, L"\x50bb\x903c");  // a forbidden word: the notice, nothing sent
  EXPECT_EQ(chat_->Send(), S_OK);
  EXPECT_EQ(sink_.heard.size(), 2u);
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
}

}  // namespace
