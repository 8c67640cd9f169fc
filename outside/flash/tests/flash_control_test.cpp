// The movie player as the table's action window uses it: created by its ProgID, set up through
// IShockwaveFlash, drawn windowless through IViewObjectEx on white and on black so the host can
// derive each pixel's alpha, restarted by a blank movie, and silent for a movie that does not load.
#include <windows.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "magic_imaging.h"
#include "shockwave_flash.h"
#include "sprites/gdi/tests/dib_canvas.h"
#include "winkit/com_ptr.h"
#include "winkit/testing/com_test_support.h"

using winkit::Bstr;
using winkit::ComPtr;

namespace {

[[maybe_unused]] auto* const g_env = ::testing::AddGlobalTestEnvironment(
    new winkit::testing::ComTestEnvironment({L"KorvelFlash.dll"}));

constexpr int kSize = 200;

// A 32-bit top-down DIB section with its bytes reachable.
struct Dib {
  explicit Dib(uint32_t fill) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = kSize;
    bi.bmiHeader.biHeight = -kSize;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits),
                              nullptr, 0);
    dc = CreateCompatibleDC(nullptr);
    old = SelectObject(dc, bitmap);
    for (int i = 0; i < kSize * kSize; ++i) bits[i] = fill;
  }
  ~Dib() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  uint8_t* Bytes() {
    GdiFlush();
    return reinterpret_cast<uint8_t*>(bits);
  }
  uint32_t* bits = nullptr;
  HBITMAP bitmap;
  HDC dc;
  HGDIOBJ old;
};

std::wstring WriteMovie(const wchar_t* name, const char* body) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  std::wstring path = std::wstring(dir) + name;
  FILE* f = _wfopen(path.c_str(), L"wb");
  std::fputs(body, f);
  std::fclose(f);
  return path;
}

class FlashTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(L"ShockwaveFlash.ShockwaveFlash", &clsid), S_OK);
    ASSERT_TRUE(IsEqualCLSID(clsid, CLSID_ShockwaveFlash));
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IShockwaveFlash,
                               flash.PutVoid()),
              S_OK);
    ASSERT_EQ(flash->QueryInterface(IID_IViewObjectEx, view.PutVoid()), S_OK);
  }
  // The container's set-up before it shows anything.
  void SetUpAsTheActionWindow() {
    ASSERT_EQ(flash->put_WMode(Bstr(L"transparent").Get()), S_OK);
    ASSERT_EQ(flash->put_Scale(Bstr(L"showAll").Get()), S_OK);
    ASSERT_EQ(flash->put_BackgroundColor(0), S_OK);
    ASSERT_EQ(flash->put_EmbedMovie(VARIANT_FALSE), S_OK);
  }
  void Load(const std::wstring& path, const wchar_t* words) {
    ASSERT_EQ(flash->put_EmbedMovie(VARIANT_TRUE), S_OK);
    ASSERT_EQ(flash->put_Movie(Bstr(path.c_str()).Get()), S_OK);
    if (words && *words) {
      ASSERT_EQ(flash->SetVariable(Bstr(L"tipword.text").Get(), Bstr(words).Get()), S_OK);
    }
    ASSERT_EQ(flash->Play(), S_OK);
  }
  HRESULT DrawInto(Dib& dib) {
    RECTL bounds = {0, 0, kSize, kSize};
    return view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dib.dc, &bounds, nullptr,
                      nullptr, 0);
  }
  long Frame() {
    long f = -1;
    flash->get_FrameNum(&f);
    return f;
  }
  // Runs the thread's messages until the movie has moved on (or a long while has passed).
  bool WaitForFrameAfter(long frame) {
    for (int i = 0; i < 400 && Frame() == frame; ++i) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      Sleep(10);
    }
    return Frame() != frame;
  }

  ComPtr<IShockwaveFlash> flash;
  ComPtr<IViewObjectEx> view;
};

TEST_F(FlashTest, OffersWhatTheWindowlessHostAsksFor) {
  long version = 0;
  ASSERT_EQ(flash->get_FlashVersion(&version), S_OK);
  EXPECT_EQ((version >> 16) & 0xFF, 8);
  ComPtr<IOleInPlaceObjectWindowless> windowless;
  EXPECT_EQ(flash->QueryInterface(IID_IOleInPlaceObjectWindowless, windowless.PutVoid()), S_OK);
  ComPtr<IOleObject> ole;
  EXPECT_EQ(flash->QueryInterface(IID_IOleObject, ole.PutVoid()), S_OK);
  ComPtr<IConnectionPointContainer> points;
  ASSERT_EQ(flash->QueryInterface(IID_IConnectionPointContainer, points.PutVoid()), S_OK);
  ComPtr<IConnectionPoint> events;
  EXPECT_EQ(points->FindConnectionPoint(IID__IShockwaveFlashEvents, events.Put()), S_OK);

  SetUpAsTheActionWindow();
  Bstr mode;
  ASSERT_EQ(flash->get_WMode(mode.Put()), S_OK);
  EXPECT_STREQ(mode.Get(), L"transparent");
  VARIANT_BOOL embed = VARIANT_TRUE;
  flash->get_EmbedMovie(&embed);
  EXPECT_EQ(embed, VARIANT_FALSE);
}

TEST_F(FlashTest, AMovieDrawsOnlyItsShapesAndTheAlphaFollows) {
  SetUpAsTheActionWindow();
  const std::wstring path =
      WriteMovie(L"korvel_kiss.kvmv", "KVMV 1\nshape=star\ncolor=240,60,120\nframes=20\n");
  Load(path, L"\x4f60\x597d, hello");  // 你好
  long state = 0;
  flash->get_ReadyState(&state);
  EXPECT_EQ(state, 4);
  ASSERT_TRUE(WaitForFrameAfter(0));
  ASSERT_EQ(flash->Stop(), S_OK);  // hold the frame while it is looked at

  Dib white(0xFFFFFFFF), black(0xFF000000);
  ASSERT_EQ(DrawInto(white), S_OK);
  ASSERT_EQ(DrawInto(black), S_OK);
  DeriveAlpha(white.Bytes(), black.Bytes(), kSize * kSize);
  const uint8_t* px = black.Bytes();
  auto alpha = [&](int x, int y) { return px[(y * kSize + x) * 4 + 3]; };
  EXPECT_EQ(alpha(0, 0), 0);            // nothing drawn in the corner
  EXPECT_EQ(alpha(kSize - 1, 0), 0);
  int opaque = 0;
  for (int i = 0; i < kSize * kSize; ++i) opaque += px[i * 4 + 3] == 255;
  EXPECT_GT(opaque, 1000);              // the star
  const auto runs = AlphaRuns(px, kSize, kSize);
  ASSERT_FALSE(runs.empty());

  // Hits only where the movie draws.
  RECT bounds = {0, 0, kSize, kSize};
  DWORD hit = 0;
  ASSERT_EQ(view->QueryHitPoint(DVASPECT_CONTENT, &bounds, {2, 2}, 1, &hit), S_OK);
  EXPECT_EQ(hit, DWORD(HITRESULT_OUTSIDE));
  const POINT top = {runs.front().left, runs.front().top};  // the star's top point
  ASSERT_EQ(view->QueryHitPoint(DVASPECT_CONTENT, &bounds, top, 1, &hit), S_OK);
  EXPECT_EQ(hit, DWORD(HITRESULT_HIT));

  // The action over a table: the black rendering with its alpha, blended onto green felt.
  sprites::testing::Canvas table(kSize, kSize, 0x1E6B3A);
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  // Premultiply as the layered window expects.
  uint8_t* b = black.Bytes();
  for (int i = 0; i < kSize * kSize; ++i) {
    for (int c = 0; c < 3; ++c) b[i * 4 + c] = static_cast<uint8_t>(b[i * 4 + c] * b[i * 4 + 3] / 255);
  }
  ASSERT_TRUE(AlphaBlend(table.dc(), 0, 0, kSize, kSize, black.dc, 0, 0, kSize, kSize, blend));
  EXPECT_EQ(table.At(0, 0), 0x1E6B3Au);  // the table shows through
  EXPECT_TRUE(table.Save("flash_action.bmp"));
}

TEST_F(FlashTest, TheSameMovieAgainStartsOverThroughABlankMovie) {
  SetUpAsTheActionWindow();
  const std::wstring path = WriteMovie(L"korvel_ball.kvmv", "KVMV 1\nshape=circle\nframes=600\n");
  Load(path, L"");
  ASSERT_TRUE(WaitForFrameAfter(0));
  ASSERT_TRUE(WaitForFrameAfter(Frame()));
  EXPECT_GT(Frame(), 0);
  Bstr words;
  flash->GetVariable(Bstr(L"tipword.text").Get(), words.Put());
  EXPECT_STREQ(words.Get(), L"");  // an empty text sets no variable

  ASSERT_EQ(flash->put_Movie(Bstr(L" ").Get()), S_OK);
  long state = 4;
  flash->get_ReadyState(&state);
  EXPECT_EQ(state, 0);
  Load(path, L"again");
  EXPECT_EQ(Frame(), 0);
  VARIANT_BOOL playing = VARIANT_FALSE;
  flash->get_Playing(&playing);
  EXPECT_EQ(playing, VARIANT_TRUE);
  ASSERT_EQ(flash->Stop(), S_OK);
}

TEST_F(FlashTest, AMovieThatDoesNotLoadDrawsNothingAndDoesNotPlay) {
  SetUpAsTheActionWindow();
  const std::wstring notAMovie = WriteMovie(L"korvel_bad.kvmv", "GIF89a garbage\n");
  for (const std::wstring& path : {std::wstring(L"C:\\nowhere\\none.swf"), notAMovie,
                                   std::wstring()}) {
    Load(path, L"words");
    VARIANT_BOOL playing = VARIANT_TRUE;
    flash->get_Playing(&playing);
    EXPECT_EQ(playing, VARIANT_FALSE);
    Dib white(0xFFFFFFFF);
    ASSERT_EQ(DrawInto(white), S_OK);
    const uint8_t* px = white.Bytes();
    bool untouched = true;
    for (int i = 0; i < kSize * kSize * 4; ++i) untouched = untouched && px[i] == 0xFF;
    EXPECT_TRUE(untouched);
  }
  // Opaque mode paints the background colour asked for.
  ASSERT_EQ(flash->put_WMode(Bstr(L"Opaque").Get()), S_OK);
  ASSERT_EQ(flash->put_BGColor(Bstr(L"00000000").Get()), S_OK);
  Dib white(0xFFFFFFFF);
  ASSERT_EQ(DrawInto(white), S_OK);
  EXPECT_EQ(white.Bytes()[0], 0);
  Bstr colour;
  flash->get_BGColor(colour.Put());
  EXPECT_STREQ(colour.Get(), L"000000");
}

}  // namespace
