// The chat's small windows and drawing helpers: the image button's frames, click and listener,
// the picture button's posted clicks, a bitmap drawn with a transparent colour and a skin
// bitmap stretched by its corners and edges.
#include <windows.h>

#include <gtest/gtest.h>

#include "image_buttons.h"
#include "image_data_object.h"
#include "window_picture.h"

namespace {

// A bitmap whose corner pixel (the transparent colour) is magenta and the rest `fill`.
HBITMAP Framed(COLORREF fill, int size = 12) {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, size, size};
  HBRUSH brush = CreateSolidBrush(RGB(255, 0, 255));
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  RECT middle{2, 2, size - 2, size - 2};
  brush = CreateSolidBrush(fill);
  FillRect(dc, &middle, brush);
  DeleteObject(brush);
  SelectObject(dc, old);
  DeleteDC(dc);
  return bitmap;
}

// A memory canvas filled grey.
struct Canvas {
  Canvas(int w, int h) {
    HDC screen = GetDC(nullptr);
    bitmap = CreateCompatibleBitmap(screen, w, h);
    dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    old = SelectObject(dc, bitmap);
    RECT all{0, 0, w, h};
    HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
    FillRect(dc, &all, grey);
    DeleteObject(grey);
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  HBITMAP bitmap;
  HDC dc;
  HGDIOBJ old;
};

TEST(DrawTransparent, LeavesTheTransparentColourAndStretches) {
  HBITMAP red = Framed(RGB(255, 0, 0));
  HDC source = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(source, red);
  Canvas canvas(48, 48);
  ASSERT_TRUE(parley::DrawTransparent(canvas.dc, 0, 0, 24, 24, source, 0, 0, 12, 12, RGB(255, 0, 255)));
  EXPECT_EQ(GetPixel(canvas.dc, 1, 1), RGB(128, 128, 128));  // the border: transparent
  EXPECT_EQ(GetPixel(canvas.dc, 12, 12), RGB(255, 0, 0));    // the middle, twice the size
  EXPECT_EQ(GetPixel(canvas.dc, 30, 30), RGB(128, 128, 128)); // outside the destination
  struct Case {
    int w, h, sw, sh;
  } bad[] = {{0, 24, 12, 12}, {24, -1, 12, 12}, {24, 24, 0, 12}, {24, 24, 12, 0}};
  for (const Case& c : bad)
    EXPECT_FALSE(parley::DrawTransparent(canvas.dc, 0, 0, c.w, c.h, source, 0, 0, c.sw, c.sh, 0));
  SelectObject(source, old);
  DeleteDC(source);
  DeleteObject(red);
}

class ButtonsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 30, 200, 120,
                             nullptr, nullptr, nullptr, nullptr);
    child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, 24, 24, parent,
                            nullptr, nullptr, nullptr);
    ASSERT_TRUE(child);
  }
  void TearDown() override { DestroyWindow(parent); }
  // The posted messages of one kind waiting for the parent: their wParams.
  std::vector<WPARAM> Posted(UINT msg) {
    std::vector<WPARAM> params;
    MSG m;
    while (PeekMessageW(&m, parent, msg, msg, PM_REMOVE)) params.push_back(m.wParam);
    return params;
  }
  HWND parent = nullptr, child = nullptr;
};

TEST_F(ButtonsTest, ImageButtonShowsHoverAndPressedFramesAndTellsItsListener) {
  parley::CBitmapViewer button;
  ASSERT_TRUE(button.Attach(child));
  button.SetImageKind(parley::CBitmapViewer::kBitmap);
  button.AddFrame(Framed(RGB(255, 0, 0)));
  button.AddFrame(Framed(RGB(0, 255, 0)));
  button.AddFrame(Framed(RGB(0, 0, 255)));
  button.SetHoverFrames(true);
  button.SetAnimateHover(false);
  button.SetId(7);
  button.SetCaption(L"ok");
  button.SetTooltip(L"tip");
  EXPECT_TRUE(button.Tooltip());
  parley::CButtonCommand command(parent);
  button.SetListener(&command);

  SendMessageW(child, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(button.Frame(), 1);
  SendMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(button.Frame(), 2);
  RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  HDC dc = GetDC(child);
  EXPECT_EQ(GetPixel(dc, 12, 8), RGB(0, 0, 255));  // the pressed frame, stretched over the button
  ReleaseDC(child, dc);
  SendMessageW(child, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(Posted(parley::CButtonCommand::kClickMessage), (std::vector<WPARAM>{7}));
  SendMessageW(child, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(button.Frame(), 0);

  // Latched with a listener: the mouse changes nothing and nothing is told.
  button.SetLatched(true);
  SendMessageW(child, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  SendMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(child, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(button.Frame(), 0);
  EXPECT_TRUE(Posted(parley::CButtonCommand::kClickMessage).empty());
}

TEST_F(ButtonsTest, PictureButtonPostsOneDownAndOneUpWithItsId) {
  parley::PictureButton button;
  ASSERT_TRUE(button.Attach(child));
  button.SetCommandId(42);
  HBITMAP picture = Framed(RGB(0, 128, 0));
  button.SetPicture(picture);
  SendMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageW(child, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(Posted(WM_LBUTTONDOWN), (std::vector<WPARAM>{42}));
  EXPECT_EQ(Posted(WM_LBUTTONUP), (std::vector<WPARAM>{42}));
  SendMessageW(child, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  EXPECT_TRUE(button.Hover());
  SendMessageW(child, WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(button.Hover());
  button.Detach();
  DeleteObject(picture);
}

TEST_F(ButtonsTest, SkinFrameKeepsCornersAndTilesEdges) {
  // 30 x 30: the four corner quarters in four colours.
  HDC screen = GetDC(nullptr);
  HBITMAP skin = CreateCompatibleBitmap(screen, 30, 30);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, skin);
  const COLORREF colours[4] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(200, 200, 0)};
  for (int i = 0; i < 4; ++i) {
    RECT quarter{(i % 2) * 15, (i / 2) * 15, (i % 2) * 15 + 15, (i / 2) * 15 + 15};
    HBRUSH brush = CreateSolidBrush(colours[i]);
    FillRect(dc, &quarter, brush);
    DeleteObject(brush);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  EXPECT_FALSE(parley::DrawSkinFrame(nullptr, RECT{0, 0, 10, 10}, skin, nullptr, nullptr, false, true));
  EXPECT_FALSE(parley::DrawSkinFrame(parent, RECT{0, 0, 10, 10}, nullptr, nullptr, nullptr, false, true));
  ShowWindow(child, SW_HIDE);
  UpdateWindow(parent);
  ASSERT_TRUE(parley::DrawSkinFrame(parent, RECT{0, 0, 120, 80}, skin, nullptr, nullptr, false, true));
  HDC window = GetDC(parent);
  EXPECT_EQ(GetPixel(window, 2, 2), colours[0]);
  EXPECT_EQ(GetPixel(window, 117, 2), colours[1]);
  EXPECT_EQ(GetPixel(window, 2, 77), colours[2]);
  EXPECT_EQ(GetPixel(window, 117, 77), colours[3]);
  ReleaseDC(parent, window);
  // The same into a memory picture (the phrases dialogs and the control's background).
  HDC memory = CreateCompatibleDC(nullptr);
  HBITMAP canvas = CreateBitmap(120, 80, 1, 32, nullptr);
  HGDIOBJ kept = SelectObject(memory, canvas);
  EXPECT_FALSE(parley::DrawSkinFrame(memory, RECT{0, 0, 120, 80}, nullptr, nullptr, nullptr, true));
  ASSERT_TRUE(parley::DrawSkinFrame(memory, RECT{0, 0, 120, 80}, skin, nullptr, nullptr, true));
  EXPECT_EQ(GetPixel(memory, 2, 2), colours[0]);
  EXPECT_EQ(GetPixel(memory, 117, 2), colours[1]);
  EXPECT_EQ(GetPixel(memory, 2, 77), colours[2]);
  EXPECT_EQ(GetPixel(memory, 117, 77), colours[3]);
  SelectObject(memory, kept);
  DeleteObject(canvas);
  DeleteDC(memory);
  DeleteObject(skin);
}

// The data object hands out a copy of the bitmap it was given, answers only for itself, and
// says so when it holds nothing.
TEST(ImageDataObject, HandsOutACopyOfItsBitmap) {
  auto* object = new parley::CImageDataObject;
  object->AddRef();
  IUnknown* unknown = nullptr;
  EXPECT_EQ(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  unknown->Release();
  void* other = nullptr;
  EXPECT_EQ(object->QueryInterface(IID_IStream, &other), E_NOINTERFACE);
  FORMATETC format{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
  STGMEDIUM out{};
  EXPECT_EQ(object->GetData(&format, &out), E_HANDLE);
  HBITMAP bitmap = Framed(RGB(0, 0, 255));
  STGMEDIUM in{};
  in.tymed = TYMED_GDI;
  in.hBitmap = bitmap;
  EXPECT_EQ(object->SetData(&format, &in, FALSE), S_OK);
  ASSERT_EQ(object->GetData(&format, &out), S_OK);
  EXPECT_EQ(out.tymed, static_cast<DWORD>(TYMED_GDI));
  EXPECT_NE(out.hBitmap, bitmap);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, out.hBitmap);
  EXPECT_EQ(GetPixel(dc, 6, 6), RGB(0, 0, 255));
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseStgMedium(&out);
  EXPECT_EQ(object->GetDataHere(&format, &out), E_NOTIMPL);
  EXPECT_EQ(object->Release(), 0u);
  DeleteObject(bitmap);
}

}  // namespace
