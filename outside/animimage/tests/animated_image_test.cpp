// The animated picture object as the chat uses it: created by its class id, loaded from a
// global memory block, sized, started, advanced by verb 1234 against the picture's own frame
// delays, drawn through IViewObject and IDataObject, and held in place by a rich-text box.
#include <windows.h>
#include <ole2.h>
#include <richedit.h>
#include <richole.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "animated_image.h"
#include "winkit/com_ptr.h"
#include "winkit/testing/com_test_support.h"

using winkit::ComPtr;

namespace {

[[maybe_unused]] auto* const g_env = ::testing::AddGlobalTestEnvironment(
    new winkit::testing::ComTestEnvironment({L"KorvelAnimImage.dll"}));

constexpr LONG kAdvance = 1234;

std::vector<BYTE> ReadPicture(const wchar_t* name) {
  std::wstring path = std::wstring(ANIMIMAGE_PICTURES) + L"\\" + name;
  std::vector<BYTE> bytes;
  if (FILE* f = _wfopen(path.c_str(), L"rb")) {
    BYTE buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    fclose(f);
  }
  return bytes;
}

// A movable global block holding the bytes, freed with the holder.
struct GlobalBytes {
  explicit GlobalBytes(const std::vector<BYTE>& bytes) {
    handle = GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size());
    if (void* p = GlobalLock(handle)) {
      if (!bytes.empty()) memcpy(p, bytes.data(), bytes.size());
      GlobalUnlock(handle);
    }
  }
  ~GlobalBytes() { GlobalFree(handle); }
  HGLOBAL handle;
};

ComPtr<IAnimatedImage> Create() {
  ComPtr<IAnimatedImage> image;
  EXPECT_EQ(CoCreateInstance(CLSID_AnimatedImage, nullptr, CLSCTX_ALL, IID_IAnimatedImage,
                             image.PutVoid()),
            S_OK);
  return image;
}

// The colour the object draws at the middle of a 20 x 10 white canvas.
COLORREF DrawnColour(IAnimatedImage* image) {
  ComPtr<IViewObject> view;
  if (FAILED(image->QueryInterface(IID_IViewObject, view.PutVoid()))) return CLR_INVALID;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 20, 10);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, 20, 10};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  RECTL bounds{0, 0, 20, 10};
  view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
  const COLORREF colour = GetPixel(dc, 10, 5);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return colour;
}

TEST(AnimatedImage, LoadsAGifAndStepsItsFramesByTheirDelays) {
  ComPtr<IAnimatedImage> image = Create();
  ASSERT_TRUE(image);
  long w = 0, h = 0;
  EXPECT_NE(image->GetSize(&w, &h), S_OK);  // nothing loaded yet
  GlobalBytes gif(ReadPicture(L"rgb.gif"));
  ASSERT_EQ(image->LoadFromMemory(gif.handle, static_cast<ULONG>(GlobalSize(gif.handle))), S_OK);
  ASSERT_EQ(image->GetSize(&w, &h), S_OK);
  EXPECT_EQ(w, 20);
  EXPECT_EQ(h, 10);
  ComPtr<IOleObject> ole;
  ASSERT_EQ(image->QueryInterface(IID_IOleObject, ole.PutVoid()), S_OK);
  CLSID clsid{};
  ASSERT_EQ(ole->GetUserClassID(&clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_AnimatedImage));

  EXPECT_EQ(DrawnColour(image.Get()), RGB(255, 0, 0));
  // Not started: the verb changes nothing.
  for (int i = 0; i < 4; ++i) ole->DoVerb(kAdvance, nullptr, nullptr, 0, nullptr, nullptr);
  EXPECT_EQ(DrawnColour(image.Get()), RGB(255, 0, 0));
  ASSERT_EQ(image->Start(), S_OK);
  // 100 ms frames: two 50 ms steps each, round and round.
  const COLORREF expected[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 255, 0), RGB(0, 0, 255),
                               RGB(0, 0, 255), RGB(255, 0, 0), RGB(255, 0, 0)};
  for (COLORREF colour : expected) {
    ole->DoVerb(kAdvance, nullptr, nullptr, 0, nullptr, nullptr);
    EXPECT_EQ(DrawnColour(image.Get()), colour);
  }
  // Closed, it stops.
  ole->DoVerb(kAdvance, nullptr, nullptr, 0, nullptr, nullptr);
  ole->Close(OLECLOSE_NOSAVE);
  const COLORREF now = DrawnColour(image.Get());
  for (int i = 0; i < 4; ++i) ole->DoVerb(kAdvance, nullptr, nullptr, 0, nullptr, nullptr);
  EXPECT_EQ(DrawnColour(image.Get()), now);
}

TEST(AnimatedImage, StillPngKeepsItsTransparencyAndOffersABitmap) {
  ComPtr<IAnimatedImage> image = Create();
  GlobalBytes png(ReadPicture(L"still.png"));
  ASSERT_EQ(image->LoadFromMemory(png.handle, static_cast<ULONG>(GlobalSize(png.handle))), S_OK);
  long w = 0, h = 0;
  ASSERT_EQ(image->GetSize(&w, &h), S_OK);
  EXPECT_EQ(w, 8);
  EXPECT_EQ(h, 6);
  ASSERT_EQ(image->Start(), S_OK);
  ComPtr<IOleObject> ole;
  ASSERT_EQ(image->QueryInterface(IID_IOleObject, ole.PutVoid()), S_OK);
  for (int i = 0; i < 3; ++i) ole->DoVerb(kAdvance, nullptr, nullptr, 0, nullptr, nullptr);

  ComPtr<IDataObject> data;
  ASSERT_EQ(image->QueryInterface(IID_IDataObject, data.PutVoid()), S_OK);
  FORMATETC format{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
  STGMEDIUM medium{};
  ASSERT_EQ(data->GetData(&format, &medium), S_OK);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, medium.hBitmap);
  EXPECT_EQ(GetPixel(dc, 1, 3), RGB(255, 255, 255));  // transparent half on white
  EXPECT_EQ(GetPixel(dc, 6, 3), RGB(0, 0, 255));
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseStgMedium(&medium);
}

TEST(AnimatedImage, RefusesWhatDoesNotDecode) {
  struct Case {
    const char* name;
    std::vector<BYTE> bytes;
  } cases[] = {
      {"broken gif", ReadPicture(L"broken.gif")},
      {"too wide", ReadPicture(L"wide.gif")},
      {"text", {'h', 'e', 'l', 'l', 'o'}},
      {"one byte", {0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ComPtr<IAnimatedImage> image = Create();
    GlobalBytes block(c.bytes);
    EXPECT_LT(image->LoadFromMemory(block.handle, static_cast<ULONG>(c.bytes.size())), 0);
    long w = 0, h = 0;
    EXPECT_NE(image->GetSize(&w, &h), S_OK);
    EXPECT_NE(image->Start(), S_OK);
  }
  ComPtr<IAnimatedImage> image = Create();
  EXPECT_LT(image->LoadFromMemory(nullptr, 10), 0);
}

// A rich-text box holds the object at one character position, draws it there, and repaints
// it when the verb advances a frame.
TEST(AnimatedImage, HeldInPlaceByARichTextBox) {
  LoadLibraryW(L"riched20.dll");
  HWND box = CreateWindowExW(0, L"RichEdit20W", L"", WS_POPUP | WS_VISIBLE | ES_MULTILINE, 50, 50,
                             200, 60, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(box);
  SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"ab"));
  SendMessageW(box, EM_SETSEL, 1, 1);
  ComPtr<IRichEditOle> rich;
  ASSERT_TRUE(SendMessageW(box, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(rich.Put())));
  ComPtr<IOleClientSite> site;
  ASSERT_EQ(rich->GetClientSite(site.Put()), S_OK);

  ComPtr<IAnimatedImage> image = Create();
  GlobalBytes gif(ReadPicture(L"rgb.gif"));
  ASSERT_EQ(image->LoadFromMemory(gif.handle, static_cast<ULONG>(GlobalSize(gif.handle))), S_OK);
  ComPtr<IOleObject> ole;
  ASSERT_EQ(image->QueryInterface(IID_IOleObject, ole.PutVoid()), S_OK);
  OleSetContainedObject(ole.Get(), TRUE);
  REOBJECT reo{};
  reo.cbStruct = sizeof reo;
  ole->GetUserClassID(&reo.clsid);
  reo.cp = REO_CP_SELECTION;
  reo.poleobj = ole.Get();
  reo.polesite = site.Get();
  reo.dvaspect = DVASPECT_CONTENT;
  reo.dwFlags = REO_RESIZABLE;
  reo.dwUser = 42;
  reo.sizel = {20 * 26, 10 * 26};
  ASSERT_EQ(rich->InsertObject(&reo), S_OK);
  RECT rect{0, 0, 20, 10};
  ole->DoVerb(OLEIVERB_SHOW, nullptr, site.Get(), 0, box, &rect);
  image->Start();
  EXPECT_EQ(rich->GetObjectCount(), 1);
  EXPECT_EQ(GetWindowTextLengthW(box), 3);  // one character position

  REOBJECT got{};
  got.cbStruct = sizeof got;
  ASSERT_EQ(rich->GetObject(0, &got, REO_GETOBJ_NO_INTERFACES), S_OK);
  EXPECT_EQ(got.cp, 1);
  EXPECT_EQ(got.dwUser, 42u);

  // Where the box drew the object: a red run on the first line.
  auto find = [&](COLORREF colour) {
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(box);
    int found = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 80; ++x) found += GetPixel(dc, x, y) == colour;
    ReleaseDC(box, dc);
    return found;
  };
  EXPECT_GT(find(RGB(255, 0, 0)), 50);
  EXPECT_EQ(find(RGB(0, 255, 0)), 0);
  ole->DoVerb(kAdvance, nullptr, site.Get(), 0, box, &rect);
  ole->DoVerb(kAdvance, nullptr, site.Get(), 0, box, &rect);
  EXPECT_GT(find(RGB(0, 255, 0)), 50);
  EXPECT_EQ(find(RGB(255, 0, 0)), 0);

  ole.Reset();
  image.Reset();
  site.Reset();
  rich.Reset();
  DestroyWindow(box);
}

}  // namespace
