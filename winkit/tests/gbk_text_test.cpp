// GBK texts shown in windows: the same characters whatever the process's ANSI code page is. The
// test runs twice, once in the Chinese locale the prefix uses and once in a plain one
// (KORVEL_EXPECT_FOREIGN_CODE_PAGE set), where the ANSI code page is not GBK.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "winkit/gbk.h"

namespace {

// 张三: 比赛 — a name and a word as the wire carries them.
const char kGbk[] = "\xd5\xc5\xc8\xfd: \xb1\xc8\xc8\xfc";
const wchar_t kWide[] = L"\x5f20\x4e09: \x6bd4\x8d5b";

TEST(GbkText, ConvertsBothWaysWhateverTheCodePage) {
  const char* foreign = std::getenv("KORVEL_EXPECT_FOREIGN_CODE_PAGE");
  if (foreign && *foreign) {
    EXPECT_NE(GetACP(), 936u) << "the locale did not change the code page";
  }
  EXPECT_EQ(winkit::GbkToWide(kGbk), kWide);
  EXPECT_EQ(winkit::WideToGbk(kWide), kGbk);
  EXPECT_EQ(winkit::GbkToWide(""), L"");
  EXPECT_EQ(winkit::WideToGbk(L""), "");
  // A cut text (a lead byte without its trail) keeps everything before the cut.
  const std::wstring cut = winkit::GbkToWide(std::string(kGbk, 3));
  EXPECT_EQ(cut.substr(0, 1), L"\x5f20");
  // A character GBK has no form for is a question mark, not a lost or stray byte.
  EXPECT_EQ(winkit::WideToGbk(L"a\xac00z"), "a?z");
}

TEST(GbkText, AWindowShowsTheCharactersTheWireCarried) {
  HWND w = CreateWindowExW(0, L"STATIC", winkit::GbkToWide(kGbk).c_str(), WS_POPUP, 0, 0, 200,
                           30, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(w, nullptr);
  wchar_t shown[64] = {};
  GetWindowTextW(w, shown, 64);
  EXPECT_STREQ(shown, kWide);
  EXPECT_EQ(winkit::WideToGbk(shown), kGbk);
  DestroyWindow(w);
}

}  // namespace
