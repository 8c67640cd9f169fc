// GChat where the animated picture object is not installed: a line's faces of every picture
// kind the face list takes (BMP, GIF, PNG, ICO) still show as pictures, one position each, the
// call returns without a box, and the missing object is written to the log once. The pane is
// left as a picture for a person to look at.
#include <windows.h>
#include <richedit.h>
#include <richole.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "chat_test_support.h"
#include "parley.h"
#include "records/chat_text_format.h"
#include "window_picture.h"
#include "winkit/com_ptr.h"
#include "winkit/control_host.h"
#include "winkit/testing/com_test_support.h"

namespace {

using winkit::ComPtr;

[[maybe_unused]] auto* const g_env = ::testing::AddGlobalTestEnvironment(
    new winkit::testing::ComTestEnvironment({L"Parley.dll"}));

template <typename T>
void Put(std::string& out, T value) {
  out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// A 16 x 16 picture of one colour with a darker square in it, as 32-bit rows (bottom up).
std::string Pixels(uint32_t colour) {
  std::string rows;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      Put<uint32_t>(rows, (x > 4 && x < 11 && y > 4 && y < 11) ? 0xFF202020u : colour);
  return rows;
}

std::string InfoHeader(int height, uint32_t image_bytes) {
  std::string h;
  Put<uint32_t>(h, 40);
  Put<int32_t>(h, 16);
  Put<int32_t>(h, height);
  Put<uint16_t>(h, 1);
  Put<uint16_t>(h, 32);
  Put<uint32_t>(h, 0);  // BI_RGB
  Put<uint32_t>(h, image_bytes);
  Put<int32_t>(h, 0);
  Put<int32_t>(h, 0);
  Put<uint32_t>(h, 0);
  Put<uint32_t>(h, 0);
  return h;
}

std::string BmpFile() {
  const std::string pixels = Pixels(0xFF3060E0u);
  std::string f = "BM";
  Put<uint32_t>(f, static_cast<uint32_t>(14 + 40 + pixels.size()));
  Put<uint32_t>(f, 0);
  Put<uint32_t>(f, 14 + 40);
  return f + InfoHeader(16, static_cast<uint32_t>(pixels.size())) + pixels;
}

std::string IcoFile() {
  const std::string pixels = Pixels(0xFFE06030u);
  const std::string mask(16 * 4, '\0');  // all shown
  const std::string image = InfoHeader(32, 0) + pixels + mask;
  std::string f;
  Put<uint16_t>(f, 0);
  Put<uint16_t>(f, 1);
  Put<uint16_t>(f, 1);
  f += std::string{16, 16, 0, 0};
  Put<uint16_t>(f, 1);
  Put<uint16_t>(f, 32);
  Put<uint32_t>(f, static_cast<uint32_t>(image.size()));
  Put<uint32_t>(f, 6 + 16);
  return f + image;
}

std::string ReadAll(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD got = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(file);
  bytes.resize(got);
  return bytes;
}

// Any box that opens on this thread while a call runs is noted and closed.
int g_boxes = 0;
void CALLBACK CloseBoxes(HWND, UINT, UINT_PTR, DWORD) {
  if (HWND box = parley::testing::FindThreadDialog()) {
    ++g_boxes;
    parley::testing::Click(box, IDOK);
  }
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(GChatFaces, StillPicturesWhenTheAnimatedObjectIsMissing) {
  // The animated picture object is not registered in this run.
  winkit::testing::CallDllExport(L"KorvelAnimImage.dll", "DllUnregisterServer");

  parley::testing::ScratchFolder install;
  CreateDirectoryW((install.Wide() + L"\\config").c_str(), nullptr);
  CreateDirectoryW((install.Wide() + L"\\face").c_str(), nullptr);
  const std::wstring sample = CHAT_SAMPLE_DIR_WINDOWS;
  install.Write(L"face\\b.bmp", BmpFile());
  install.Write(L"face\\g.gif", ReadAll(sample + L"\\face\\face01.gif"));
  install.Write(L"face\\p.png", ReadAll(sample + L"\\face\\userflag1.png"));
  install.Write(L"face\\i.ico", IcoFile());
  install.Write(L"config\\faceconfig.ini",
                "[face]\r\ncount=4\r\n"
                "Item0id=1\r\nItem0filename=b.bmp\r\nItem0Key=/b\r\n"
                "Item1id=2\r\nItem1filename=g.gif\r\nItem1Key=/g\r\n"
                "Item2id=3\r\nItem2filename=p.png\r\nItem2Key=/p\r\n"
                "Item3id=4\r\nItem3filename=i.ico\r\nItem3Key=/i\r\n");
  parley::testing::AppPathOverride app_path(install.Wide().c_str());

  HWND parent = CreateWindowExW(0, L"STATIC", L"table", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                                460, 340, nullptr, nullptr, nullptr, nullptr);
  ComPtr<winkit::ControlHost> host;
  ASSERT_HRESULT_SUCCEEDED(winkit::ControlHost::Create(parent, CLSID_GChat, IID__IGChatEvents,
                                                       32784, L"Parley.GChat",
                                                       RECT{0, 0, 440, 300}, nullptr, &host));
  ComPtr<IGChat> chat;
  ASSERT_HRESULT_SUCCEEDED(host->QueryControl(IID_IGChat, chat.PutVoid()));
  HWND output = GetDlgItem(host->ControlWindow(), 2001);

  const UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseBoxes);
  ChatTextFormat f;
  f.m_nSize = 120;
  // 甲说：/b/g/p/i, twice: the second line finds the object missing again, silently.
  const char* line = "\xbc\xd7\xcb\xb5\xa3\xba/b/g/p/i";
  ASSERT_EQ(chat->AddText(reinterpret_cast<LONG_PTR>(&f), 0, reinterpret_cast<LONG_PTR>(line)), S_OK);
  ASSERT_EQ(chat->AddText(reinterpret_cast<LONG_PTR>(&f), 0, reinterpret_cast<LONG_PTR>(line)), S_OK);
  parley::testing::Pump(200);
  KillTimer(nullptr, timer);
  EXPECT_EQ(g_boxes, 0);

  ComPtr<IRichEditOle> rich;
  SendMessageW(output, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(rich.Put()));
  ASSERT_TRUE(rich);
  ASSERT_EQ(rich->GetObjectCount(), 8);
  for (LONG i = 0; i < 8; ++i) {
    REOBJECT reo{};
    reo.cbStruct = sizeof reo;
    ASSERT_HRESULT_SUCCEEDED(rich->GetObject(i, &reo, REO_GETOBJ_NO_INTERFACES));
    // "\r甲说：" and four pictures, twice: each picture one position.
    EXPECT_EQ(reo.cp, (i / 4) * 8 + 4 + i % 4) << i;
    EXPECT_EQ(reo.dwUser, static_cast<DWORD>(i % 4 + 1)) << i;
    EXPECT_EQ(reo.sizel.cx, (i % 4 == 1 ? 24 : 16) * 26) << i;  // the sample face is 24 wide
  }
  EXPECT_EQ(GetWindowTextLengthW(output), 16 + 2);  // a line break counts twice here

  parley::testing::SaveWindowPicture(parent, "chat_still_faces.bmp");
  chat.Reset();
  host->Destroy();
  host.Reset();
  DestroyWindow(parent);

  const std::string log = install.Read(L"chatLogFile.log");
  EXPECT_EQ(Count(log, "picture object cannot be created (0x80040154)"), 1u) << log;
}

}  // namespace
