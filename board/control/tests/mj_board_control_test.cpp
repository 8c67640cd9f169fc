// The MjBoard control as the game client uses it: hosted as child 32785, coloured, filled with
// options, clicked; what it draws, read back from the screen; the standard interfaces a
// container asks a full control for; and calls made before its window exists.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "dib_canvas.h"
#include "vitrine.h"
#include "winkit/com_ptr.h"
#include "winkit/control_host.h"
#include "winkit/testing/com_test_support.h"

using winkit::ComPtr;
using sprites::testing::Canvas;

namespace {

[[maybe_unused]] auto* const g_env = ::testing::AddGlobalTestEnvironment(
    new winkit::testing::ComTestEnvironment({L"Vitrine.dll"}));

constexpr UINT kBoardId = 32785;
constexpr uint32_t kGrey = 0xD6D6D6;   // the client's colour for the board
constexpr uint32_t kEdge = 0x6E6854;   // the tile frame's outline
constexpr uint32_t kIvory = 0xF6F2E4;  // the tile frame's body

// The board as the tests place it: 190 x 220 pixels, so three rows get bands of 73 pixels and
// each 47-pixel row starts 13 pixels into its band; a three- or four-tile group is 73 wide and
// starts at x = 58.
constexpr RECT kBoardRect = {10, 10, 200, 230};
constexpr int kBand = 73, kRowTop = 13, kRowLeft = 58, kRowH = 47;
int RowTop(int i) { return kRowTop + i * kBand; }

mjcard Tile(int colour, int value) { return mjcard{colour, value}; }
std::vector<mjcard> Chow(int colour, int first) {
  return {Tile(colour, first), Tile(colour, first + 1), Tile(colour, first + 2)};
}
std::vector<mjcard> Kong(int colour, int value) { return std::vector<mjcard>(4, Tile(colour, value)); }

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// What the board shows on the screen, read back from its window.
std::unique_ptr<Canvas> Capture(HWND board) {
  UpdateWindow(board);
  Pump();
  RECT r;
  GetClientRect(board, &r);
  auto canvas = std::make_unique<Canvas>(r.right, r.bottom, 0x123456);
  HDC dc = GetDC(board);
  BitBlt(canvas->dc(), 0, 0, r.right, r.bottom, dc, 0, 0, SRCCOPY);
  ReleaseDC(board, dc);
  return canvas;
}

// A press (WM_LBUTTONDOWN, or the second press of a double click) and its release.
void Press(HWND w, UINT msg, int x, int y) {
  SendMessageW(w, msg, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}
void Click(HWND w, int x, int y) { Press(w, WM_LBUTTONDOWN, x, y); }

struct Fired {
  UINT child;
  DISPID id;
  VARTYPE type;
  int32_t value;
  bool operator==(const Fired&) const = default;
};
void PrintTo(const Fired& f, std::ostream* os) {
  *os << "{child " << f.child << ", id " << f.id << ", vt " << f.type << ", " << f.value << "}";
}

class Recorder : public winkit::ControlEventTarget {
 public:
  void OnControlEvent(UINT child, DISPID id, const winkit::EventArgs& args) override {
    log.push_back({child, id, args.Count() == 1 ? args.Raw(0)->vt : VARTYPE(VT_EMPTY),
                   args.Int(0)});
  }
  std::vector<Fired> log;
};

Fired ClickEvent(int index) { return {kBoardId, 1, VT_I2, index}; }

// A plain IDispatch event sink, for boards not hosted by the control host.
class DispatchSink : public IDispatch {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *out = static_cast<IDispatch*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    winkit::EventArgs args(*p);
    log.push_back({0, id, args.Count() == 1 ? args.Raw(0)->vt : VARTYPE(VT_EMPTY), args.Int(0)});
    return S_OK;
  }
  std::vector<Fired> log;
};

class PropertySink : public IPropertyNotifySink {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IPropertyNotifySink) {
      *out = static_cast<IPropertyNotifySink*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP OnChanged(DISPID id) override { changed.push_back(id); return S_OK; }
  STDMETHODIMP OnRequestEdit(DISPID id) override {
    asked.push_back(id);
    return allow ? S_OK : S_FALSE;
  }
  bool allow = true;
  std::vector<DISPID> asked, changed;
};

class AdviseSink : public IAdviseSink {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IAdviseSink) {
      *out = static_cast<IAdviseSink*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP_(void) OnDataChange(FORMATETC*, STGMEDIUM*) override { ++dataChanges; }
  STDMETHODIMP_(void) OnViewChange(DWORD, LONG) override { ++viewChanges; }
  STDMETHODIMP_(void) OnRename(IMoniker*) override {}
  STDMETHODIMP_(void) OnSave() override {}
  STDMETHODIMP_(void) OnClose() override {}
  int dataChanges = 0, viewChanges = 0;
};

// One shown top-level window for the whole run (destroying shown top-level windows is slow
// under Xvfb); every test hosts its boards in it.
HWND HostWindow() {
  static HWND host = [] {
    HWND w = CreateWindowExW(0, L"STATIC", L"board host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                             0, 0, 400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    Pump();
    return w;
  }();
  return host;
}

// The board hosted as the client hosts it, coloured and cleared as the client does.
class HostedBoard : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(HostWindow(), nullptr);
    ASSERT_HRESULT_SUCCEEDED(winkit::ControlHost::Create(HostWindow(), CLSID_MjBoard,
                                                         IID__IMjBoardEvents, kBoardId,
                                                         L"Vitrine.MjBoard", kBoardRect,
                                                         &events_, &host_));
    board_window_ = host_->ControlWindow();
    ASSERT_HRESULT_SUCCEEDED(host_->QueryControl(IID_IMjBoard, board_.PutVoid()));
    ASSERT_HRESULT_SUCCEEDED(board_->SetBkColor(kGrey));
    ASSERT_HRESULT_SUCCEEDED(board_->ClearAll());
  }
  void TearDown() override {
    board_.Reset();
    if (host_) host_->Destroy();
    Pump();
  }
  HRESULT Insert(short id, std::vector<mjcard> tiles) {
    return board_->InsertRow(id, static_cast<short>(tiles.size()), tiles.data());
  }
  HRESULT Add(short id, std::vector<mjcard> tiles) {
    return board_->AddCards(id, static_cast<short>(tiles.size()), tiles.data());
  }
  // The client's offer of three chows and a kong.
  void ThreeOptions() {
    ASSERT_HRESULT_SUCCEEDED(Insert(0, Chow(0, 3)));
    ASSERT_HRESULT_SUCCEEDED(Insert(1, Chow(1, 5)));
    ASSERT_HRESULT_SUCCEEDED(Insert(2, Kong(2, 6)));
    ASSERT_HRESULT_SUCCEEDED(board_->Update());
  }

  Recorder events_;
  ComPtr<winkit::ControlHost> host_;
  HWND board_window_ = nullptr;
  ComPtr<IMjBoard> board_;
};

TEST_F(HostedBoard, IsTheClientsChildWindow) {
  EXPECT_EQ(GetDlgItem(HostWindow(), kBoardId), board_window_);
  wchar_t text[64] = {};
  GetWindowTextW(board_window_, text, 64);
  EXPECT_STREQ(text, L"Vitrine.MjBoard");
  RECT r;
  GetClientRect(board_window_, &r);
  EXPECT_EQ(r.right, 190);
  EXPECT_EQ(r.bottom, 220);
}

TEST_F(HostedBoard, ClickOnEachRowReportsItsPosition) {
  ThreeOptions();
  for (int i = 0; i < 3; ++i) {
    // The top line of the row, its middle and the gap below it all belong to its band.
    for (int y : {RowTop(i) + 1, RowTop(i) + kRowH / 2, RowTop(i) + kBand}) {
      events_.log.clear();
      Click(board_window_, 5, y);
      EXPECT_EQ(events_.log, std::vector<Fired>{ClickEvent(i)}) << "row " << i << ", y " << y;
    }
  }
  // Positions follow the order of the InsertRow calls, not the row ids.
  ASSERT_HRESULT_SUCCEEDED(board_->ClearAll());
  ASSERT_HRESULT_SUCCEEDED(Insert(2, Kong(2, 6)));
  ASSERT_HRESULT_SUCCEEDED(Insert(0, Chow(0, 3)));
  ASSERT_HRESULT_SUCCEEDED(board_->Update());
  events_.log.clear();
  Click(board_window_, 100, 60);   // upper half: row 2, listed first
  Click(board_window_, 100, 170);  // lower half: row 0
  EXPECT_EQ(events_.log, (std::vector<Fired>{ClickEvent(0), ClickEvent(1)}));
}

TEST_F(HostedBoard, DoubleClickReportsOneChoice) {
  ThreeOptions();
  // The messages of a double click, as the system sends them to a window of a class that
  // takes double clicks.
  Press(board_window_, WM_LBUTTONDOWN, 90, RowTop(1) + 20);
  Press(board_window_, WM_LBUTTONDBLCLK, 90, RowTop(1) + 20);
  EXPECT_EQ(events_.log, std::vector<Fired>{ClickEvent(1)});
  EXPECT_TRUE(GetClassLongW(board_window_, GCL_STYLE) & CS_DBLCLKS);

  // The same with the mouse: two presses at one place in quick succession.
  events_.log.clear();
  POINT at = {90, RowTop(2) + 20};
  ClientToScreen(board_window_, &at);
  SetCursorPos(at.x, at.y);
  Pump();
  INPUT clicks[4] = {};
  for (int k = 0; k < 4; ++k) {
    clicks[k].type = INPUT_MOUSE;
    clicks[k].mi.dwFlags = (k % 2 == 0) ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  }
  ASSERT_EQ(SendInput(4, clicks, sizeof(INPUT)), 4u);
  for (int k = 0; k < 20 && events_.log.empty(); ++k) {
    Sleep(10);
    Pump();
  }
  Sleep(50);
  Pump();
  EXPECT_EQ(events_.log, std::vector<Fired>{ClickEvent(2)});
}

TEST_F(HostedBoard, ClicksThatChooseNothing) {
  // Nothing listed yet.
  Click(board_window_, 90, 100);
  Press(board_window_, WM_LBUTTONDBLCLK, 90, 100);
  // Ids the board does not have, and groups it cannot show: row 0 has no tiles but keeps its
  // place, so row 1 is still the second option; the empty rows' bands answer like any other.
  EXPECT_EQ(Insert(3, Chow(0, 1)), S_OK);
  EXPECT_EQ(Insert(-1, Chow(0, 1)), S_OK);
  EXPECT_EQ(board_->InsertRow(0, 0, nullptr), S_OK);
  EXPECT_EQ(board_->InsertRow(1, 3, nullptr), S_OK);
  EXPECT_EQ(Add(1, Chow(1, 1)), S_OK);
  EXPECT_EQ(Insert(2, std::vector<mjcard>(17, Tile(0, 1))), S_OK);
  EXPECT_EQ(board_->Update(), S_OK);
  // Three bands of 73: row 0's and row 2's are empty, row 1's holds one chow.
  // Above the first band's top nothing is hit.
  for (int y : {0, 5, RowTop(0)}) Click(board_window_, 90, y);
  EXPECT_TRUE(events_.log.empty());
  for (int i : {0, 1, 2}) Click(board_window_, 90, RowTop(i) + 20);
  EXPECT_EQ(events_.log, (std::vector<Fired>{ClickEvent(0), ClickEvent(1), ClickEvent(2)}));
}

// Rows are drawn centred in their bands on the board's brush; a raised kong tile, the frame
// and faces show; the picture is kept for a person to look at.
TEST_F(HostedBoard, DrawsEachRowInItsBand) {
  ThreeOptions();
  auto shot = Capture(board_window_);
  shot->Save("mj_board_rendered.bmp");

  for (POINT p : {POINT{1, 1}, POINT{189, 219}, POINT{20, 100}, POINT{170, 40},
                  POINT{100, RowTop(1) - 2}, POINT{100, RowTop(2) + kRowH + 2}})
    EXPECT_EQ(shot->At(p.x, p.y), kGrey) << p.x << ", " << p.y;
  for (int i = 0; i < 3; ++i) {
    const int tileTop = RowTop(i) + 10;  // tiles sit 10 pixels below the row's top
    EXPECT_EQ(shot->At(kRowLeft, tileTop + 18), kEdge) << "left edge of row " << i;
    EXPECT_EQ(shot->At(kRowLeft + 72, tileTop + 18), kEdge) << "right edge of row " << i;
    EXPECT_EQ(shot->At(kRowLeft - 1, tileTop + 18), kGrey) << "left of row " << i;
    EXPECT_EQ(shot->At(kRowLeft + 73, tileTop + 18), kGrey) << "right of row " << i;
    EXPECT_EQ(shot->At(kRowLeft + 1, tileTop + 25), kIvory) << "tile body in row " << i;
    // Above the tiles: the row's own background, except where a kong's fourth tile rises.
    EXPECT_EQ(shot->At(kRowLeft + 5, RowTop(i) + 3), kGrey) << "above row " << i;
    const uint32_t middleTop = shot->At(kRowLeft + 36, RowTop(i) + 3);
    if (i == 2) EXPECT_NE(middleTop, kGrey) << "the raised kong tile";
    else EXPECT_EQ(middleTop, kGrey) << "nothing raised in row " << i;
  }
  // The faces differ: a characters chow, a dots chow, a bamboo kong.
  auto faceInk = [&](int i) {
    int n = 0;
    for (int y = RowTop(i) + 11; y < RowTop(i) + 41; ++y)
      for (int x = kRowLeft + 3; x < kRowLeft + 25; ++x) n += shot->At(x, y) != kIvory;
    return n;
  };
  for (int i = 0; i < 3; ++i) EXPECT_GT(faceInk(i), 40) << "a face drawn on row " << i;
}

TEST_F(HostedBoard, ScreenFollowsUpdateNotTheOtherCalls) {
  ThreeOptions();
  const uint32_t rowTwoTile = Capture(board_window_)->At(kRowLeft + 1, RowTop(2) + 35);
  ASSERT_EQ(rowTwoTile, kIvory);

  // SetBkColor and ClearAll leave the screen as it was...
  ASSERT_HRESULT_SUCCEEDED(board_->SetBkColor(RGB(0, 0, 0x80)));
  ASSERT_HRESULT_SUCCEEDED(board_->ClearAll());
  ASSERT_HRESULT_SUCCEEDED(Insert(0, Chow(0, 1)));
  {
    auto shot = Capture(board_window_);
    EXPECT_EQ(shot->At(1, 1), kGrey);
    EXPECT_EQ(shot->At(kRowLeft + 1, RowTop(2) + 35), kIvory);
  }
  // ...until Update, which shows the one row left and nothing of the rows that went.
  ASSERT_HRESULT_SUCCEEDED(board_->Update());
  {
    auto shot = Capture(board_window_);
    constexpr uint32_t kNavy = 0x000080;
    EXPECT_EQ(shot->At(1, 1), kNavy);
    EXPECT_EQ(shot->At(kRowLeft + 1, RowTop(2) + 35), kNavy);
    // One row: centred in the whole height, (220 - 47) / 2 = 86.
    EXPECT_EQ(shot->At(kRowLeft, 86 + 10 + 18), kEdge);
    EXPECT_EQ(shot->At(kRowLeft + 1, 86 + 8), kNavy) << "the row's own background";
  }
  // An Update of an empty board draws nothing: the screen stays as it was, the row included.
  ASSERT_HRESULT_SUCCEEDED(board_->ClearAll());
  ASSERT_HRESULT_SUCCEEDED(board_->SetBkColor(RGB(0x80, 0, 0)));
  ASSERT_HRESULT_SUCCEEDED(board_->Update());
  {
    auto shot = Capture(board_window_);
    EXPECT_EQ(shot->At(kRowLeft, 86 + 10 + 18), kEdge);
    EXPECT_EQ(shot->At(1, 1), 0x000080u);
  }
}

// As the client does it: filled while hidden, then shown.
TEST_F(HostedBoard, FilledWhileHiddenShowsWhenShown) {
  ThreeOptions();
  ShowWindow(board_window_, SW_HIDE);
  ASSERT_HRESULT_SUCCEEDED(board_->ClearAll());
  ASSERT_HRESULT_SUCCEEDED(Insert(0, Chow(2, 7)));
  ASSERT_HRESULT_SUCCEEDED(Insert(1, Chow(0, 1)));
  ASSERT_HRESULT_SUCCEEDED(board_->Update());
  ShowWindow(board_window_, SW_SHOW);
  auto shot = Capture(board_window_);
  // Two bands of 110, rows from 31 and 141; nothing left of the third row.
  EXPECT_EQ(shot->At(kRowLeft, 31 + 28), kEdge);
  EXPECT_EQ(shot->At(kRowLeft, 141 + 28), kEdge);
  EXPECT_EQ(shot->At(kRowLeft + 1, RowTop(2) + 35), kGrey);
  events_.log.clear();
  Click(board_window_, 90, 150);
  EXPECT_EQ(events_.log, std::vector<Fired>{ClickEvent(1)});
}

TEST_F(HostedBoard, BackColorIsKeptButDoesNotPaint) {
  ThreeOptions();
  OLE_COLOR colour = 0;
  ASSERT_HRESULT_SUCCEEDED(board_->get_BackColor(&colour));
  EXPECT_EQ(colour, kGrey);
  ASSERT_HRESULT_SUCCEEDED(board_->put_BackColor(RGB(0xFF, 0, 0)));
  ASSERT_HRESULT_SUCCEEDED(board_->get_BackColor(&colour));
  EXPECT_EQ(colour, RGB(0xFF, 0, 0));
  // The container was asked to repaint; it paints with the brush of SetBkColor.
  auto shot = Capture(board_window_);
  EXPECT_EQ(shot->At(1, 1), kGrey);
  EXPECT_EQ(shot->At(kRowLeft + 5, RowTop(0) + 3), kGrey);
}

// ---- the standard interfaces ----

TEST_F(HostedBoard, AnswersEveryInterfaceOfAFullControl) {
  struct Case {
    const char* name;
    const IID* iid;
  } cases[] = {
      {"IMjBoard", &IID_IMjBoard},
      {"IDispatch", &IID_IDispatch},
      {"IOleObject", &IID_IOleObject},
      {"IOleInPlaceObjectWindowless", &IID_IOleInPlaceObjectWindowless},
      {"IOleInPlaceObject", &IID_IOleInPlaceObject},
      {"IOleWindow", &IID_IOleWindow},
      {"IOleInPlaceActiveObject", &IID_IOleInPlaceActiveObject},
      {"IViewObjectEx", &IID_IViewObjectEx},
      {"IViewObject2", &IID_IViewObject2},
      {"IViewObject", &IID_IViewObject},
      {"IPersistStreamInit", &IID_IPersistStreamInit},
      {"IPersistStorage", &IID_IPersistStorage},
      {"IQuickActivate", &IID_IQuickActivate},
      {"IDataObject", &IID_IDataObject},
      {"IOleControl", &IID_IOleControl},
      {"IProvideClassInfo", &IID_IProvideClassInfo},
      {"IProvideClassInfo2", &IID_IProvideClassInfo2},
      {"ISpecifyPropertyPages", &IID_ISpecifyPropertyPages},
      {"IConnectionPointContainer", &IID_IConnectionPointContainer},
      {"ISupportErrorInfo", &IID_ISupportErrorInfo},
  };
  ComPtr<IUnknown> identity;
  ASSERT_HRESULT_SUCCEEDED(host_->QueryControl(IID_IUnknown, identity.PutVoid()));
  for (const Case& c : cases) {
    ComPtr<IUnknown> p;
    ASSERT_HRESULT_SUCCEEDED(host_->QueryControl(*c.iid, p.PutVoid())) << c.name;
    ASSERT_TRUE(p) << c.name;
    ComPtr<IUnknown> back;
    ASSERT_HRESULT_SUCCEEDED(p.As(&back, IID_IUnknown)) << c.name;
    EXPECT_EQ(back.Get(), identity.Get()) << c.name << " leads back to the same object";
  }
  ComPtr<ISupportErrorInfo> errors;
  ASSERT_HRESULT_SUCCEEDED(host_->QueryControl(IID_ISupportErrorInfo, errors.PutVoid()));
  EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID_IMjBoard), S_OK);
  EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID_IOleObject), S_FALSE);

  ComPtr<IOleInPlaceObjectWindowless> windowless;
  ASSERT_HRESULT_SUCCEEDED(host_->QueryControl(IID_IOleInPlaceObjectWindowless,
                                               windowless.PutVoid()));
  HWND hwnd = nullptr;
  ASSERT_HRESULT_SUCCEEDED(windowless->GetWindow(&hwnd));
  EXPECT_EQ(hwnd, board_window_);
  ComPtr<IOleInPlaceActiveObject> active;
  ASSERT_HRESULT_SUCCEEDED(host_->QueryControl(IID_IOleInPlaceActiveObject, active.PutVoid()));
  hwnd = nullptr;
  ASSERT_HRESULT_SUCCEEDED(active->GetWindow(&hwnd));
  EXPECT_EQ(hwnd, board_window_);
  MSG msg = {};
  EXPECT_EQ(active->TranslateAccelerator(&msg), S_FALSE);

  ComPtr<ISpecifyPropertyPages> pages;
  ASSERT_HRESULT_SUCCEEDED(host_->QueryControl(IID_ISpecifyPropertyPages, pages.PutVoid()));
  CAUUID list = {5, reinterpret_cast<GUID*>(1)};
  ASSERT_HRESULT_SUCCEEDED(pages->GetPages(&list));
  EXPECT_EQ(list.cElems, 0u);
  EXPECT_EQ(list.pElems, nullptr);
}

TEST_F(HostedBoard, WindowlessCallsReachTheBoardsMessageMap) {
  ThreeOptions();
  ComPtr<IOleInPlaceObjectWindowless> windowless;
  ASSERT_HRESULT_SUCCEEDED(host_->QueryControl(IID_IOleInPlaceObjectWindowless,
                                               windowless.PutVoid()));
  LRESULT result = -1;
  EXPECT_EQ(windowless->OnWindowMessage(WM_LBUTTONDOWN, MK_LBUTTON,
                                        MAKELPARAM(90, RowTop(1) + 20), &result), S_OK);
  EXPECT_EQ(events_.log, std::vector<Fired>{ClickEvent(1)});
  EXPECT_EQ(windowless->OnWindowMessage(WM_USER + 7, 0, 0, &result), S_FALSE);
  EXPECT_EQ(windowless->OnWindowMessage(WM_USER + 7, 0, 0, nullptr), E_POINTER);
}

TEST_F(HostedBoard, ViewObjectDrawsWhatTheScreenShows) {
  ThreeOptions();
  auto screen = Capture(board_window_);
  ComPtr<IViewObjectEx> view;
  ASSERT_HRESULT_SUCCEEDED(host_->QueryControl(IID_IViewObjectEx, view.PutVoid()));
  // Into a canvas with a margin: the board goes exactly into the bounds given.
  Canvas canvas(210, 240, 0x123456);
  const RECTL bounds = {10, 10, 200, 230};
  ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.dc(), &bounds,
                       nullptr, nullptr, 0), S_OK);
  int differ = 0;
  for (int y = 0; y < 220; ++y)
    for (int x = 0; x < 190; ++x) differ += canvas.At(x + 10, y + 10) != screen->At(x, y);
  EXPECT_EQ(differ, 0);
  EXPECT_EQ(canvas.At(5, 5), 0x123456u) << "nothing outside the bounds";
  EXPECT_EQ(canvas.At(205, 235), 0x123456u) << "nothing outside the bounds";
  // Recorded into a metafile, as a container that prints or copies the board would.
  HDC meta = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(meta, nullptr);
  EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, meta, &bounds, nullptr,
                       nullptr, 0), S_OK);
  HENHMETAFILE recorded = CloseEnhMetaFile(meta);
  ASSERT_NE(recorded, nullptr);
  Canvas played(210, 240, 0x123456);
  const RECT frame = {10, 10, 200, 230};
  PlayEnhMetaFile(played.dc(), recorded, &frame);
  DeleteEnhMetaFile(recorded);
  EXPECT_EQ(played.At(12, 12), kGrey);
  for (int i = 0; i < 3; ++i) {
    int tiles = 0;
    for (int y = RowTop(i); y < RowTop(i) + kRowH; ++y)
      for (int x = 0; x < 190; ++x) tiles += played.At(x + 10, y + 10) != kGrey;
    EXPECT_GT(tiles, 1000) << "row " << i << " in the metafile";
  }
  EXPECT_EQ(view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, canvas.dc(), &bounds,
                       nullptr, nullptr, 0), DV_E_DVASPECT);
  EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.dc(), nullptr,
                       nullptr, nullptr, 0), E_INVALIDARG);

  DWORD status = 0;
  ASSERT_HRESULT_SUCCEEDED(view->GetViewStatus(&status));
  EXPECT_TRUE(status & VIEWSTATUS_OPAQUE);
  const RECT area = {0, 0, 190, 220};
  DWORD hit = 0;
  ASSERT_HRESULT_SUCCEEDED(view->QueryHitPoint(DVASPECT_CONTENT, &area, POINT{10, 10}, 0, &hit));
  EXPECT_EQ(hit, static_cast<DWORD>(HITRESULT_HIT));
  ASSERT_HRESULT_SUCCEEDED(view->QueryHitPoint(DVASPECT_CONTENT, &area, POINT{300, 10}, 0, &hit));
  EXPECT_EQ(hit, static_cast<DWORD>(HITRESULT_OUTSIDE));
  SIZEL size = {};
  ASSERT_HRESULT_SUCCEEDED(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &size));
  EXPECT_GT(size.cx, 0);

  // The view's advise sink is kept and handed back.
  AdviseSink sink;
  ASSERT_HRESULT_SUCCEEDED(view->SetAdvise(DVASPECT_CONTENT, 0, &sink));
  ComPtr<IAdviseSink> back;
  DWORD aspects = 0, flags = 1;
  ASSERT_HRESULT_SUCCEEDED(view->GetAdvise(&aspects, &flags, back.Put()));
  EXPECT_EQ(back.Get(), static_cast<IAdviseSink*>(&sink));
  EXPECT_EQ(aspects, static_cast<DWORD>(DVASPECT_CONTENT));
  back.Reset();
  ASSERT_HRESULT_SUCCEEDED(view->SetAdvise(0, 0, nullptr));
}

// The board's off-screen buffer follows the size it paints at: a larger paint is whole, and
// the window's own size afterwards draws what the screen shows.
TEST_F(HostedBoard, PaintsWholeAtEverySize) {
  ThreeOptions();
  auto screen = Capture(board_window_);
  ComPtr<IViewObjectEx> view;
  ASSERT_HRESULT_SUCCEEDED(host_->QueryControl(IID_IViewObjectEx, view.PutVoid()));
  Canvas large(260, 320, 0x123456);
  const RECTL big = {0, 0, 260, 320};
  ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, large.dc(), &big,
                       nullptr, nullptr, 0), S_OK);
  for (POINT p : {POINT{0, 0}, POINT{259, 319}, POINT{200, 10}, POINT{10, 300}})
    EXPECT_EQ(large.At(p.x, p.y), kGrey) << p.x << ", " << p.y;
  Canvas small(190, 220, 0x123456);
  const RECTL own = {0, 0, 190, 220};
  ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, small.dc(), &own,
                       nullptr, nullptr, 0), S_OK);
  int differ = 0;
  for (int y = 0; y < 220; ++y)
    for (int x = 0; x < 190; ++x) differ += small.At(x, y) != screen->At(x, y);
  EXPECT_EQ(differ, 0);
}

TEST_F(HostedBoard, BackColorAsksTheContainerAndTellsItsSinks) {
  ComPtr<IConnectionPointContainer> cpc;
  ASSERT_HRESULT_SUCCEEDED(host_->QueryControl(IID_IConnectionPointContainer, cpc.PutVoid()));
  ComPtr<IConnectionPoint> point;
  ASSERT_HRESULT_SUCCEEDED(cpc->FindConnectionPoint(IID_IPropertyNotifySink, point.Put()));
  PropertySink props;
  DWORD cookie = 0;
  ASSERT_HRESULT_SUCCEEDED(point->Advise(&props, &cookie));
  ComPtr<IDataObject> data;
  ASSERT_HRESULT_SUCCEEDED(host_->QueryControl(IID_IDataObject, data.PutVoid()));
  AdviseSink dataSink;
  FORMATETC any = {0, nullptr, DVASPECT_CONTENT, -1, TYMED_NULL};
  DWORD connection = 0;
  ASSERT_HRESULT_SUCCEEDED(data->DAdvise(&any, ADVF_NODATA, &dataSink, &connection));
  ComPtr<IPersistStreamInit> persist;
  ASSERT_HRESULT_SUCCEEDED(host_->QueryControl(IID_IPersistStreamInit, persist.PutVoid()));
  EXPECT_EQ(persist->IsDirty(), S_FALSE);

  // Refused: nothing changes, and the refusal is the answer.
  props.allow = false;
  EXPECT_EQ(board_->put_BackColor(RGB(1, 2, 3)), S_FALSE);
  OLE_COLOR colour = 0;
  board_->get_BackColor(&colour);
  EXPECT_EQ(colour, kGrey);
  EXPECT_EQ(props.asked, std::vector<DISPID>{DISPID_BACKCOLOR});
  EXPECT_TRUE(props.changed.empty());
  EXPECT_EQ(dataSink.dataChanges, 0);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);

  // Allowed: stored, the sinks told, the control needs saving.
  props.allow = true;
  EXPECT_EQ(board_->put_BackColor(RGB(1, 2, 3)), S_OK);
  board_->get_BackColor(&colour);
  EXPECT_EQ(colour, RGB(1, 2, 3));
  EXPECT_EQ(props.changed, std::vector<DISPID>{DISPID_BACKCOLOR});
  EXPECT_EQ(dataSink.dataChanges, 1);
  EXPECT_EQ(persist->IsDirty(), S_OK);

  // Saved through a storage: no longer dirty; loaded back from it.
  ComPtr<IPersistStorage> storage;
  ASSERT_HRESULT_SUCCEEDED(host_->QueryControl(IID_IPersistStorage, storage.PutVoid()));
  ComPtr<IStorage> stg;
  ASSERT_HRESULT_SUCCEEDED(StgCreateDocfile(
      nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE, 0,
      stg.Put()));
  EXPECT_EQ(storage->Save(stg.Get(), TRUE), S_OK);
  EXPECT_EQ(storage->SaveCompleted(nullptr), S_OK);
  EXPECT_EQ(storage->IsDirty(), S_FALSE);
  EXPECT_EQ(storage->Load(stg.Get()), S_OK);
  EXPECT_EQ(storage->Save(nullptr, TRUE), E_POINTER);

  ASSERT_HRESULT_SUCCEEDED(data->DUnadvise(connection));
  ASSERT_HRESULT_SUCCEEDED(point->Unadvise(cookie));
  EXPECT_EQ(board_->put_BackColor(kGrey), S_OK);
  EXPECT_EQ(dataSink.dataChanges, 1);
  EXPECT_EQ(props.changed.size(), 1u);
}

// A container that activates the board in one call: client site, event sink and property sink
// connected, the control's status returned.
TEST(MjBoardQuickActivate, ConnectsTheContainersSinks) {
  ComPtr<IQuickActivate> quick;
  ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_MjBoard, nullptr, CLSCTX_INPROC_SERVER,
                                            IID_IQuickActivate, quick.PutVoid()));
  DispatchSink events;
  PropertySink props;
  QACONTAINER container = {};
  container.cbSize = sizeof container;
  container.pUnkEventSink = &events;
  container.pPropertyNotifySink = &props;
  QACONTROL control = {};
  control.cbSize = sizeof control;
  ASSERT_EQ(quick->QuickActivate(&container, &control), S_OK);
  EXPECT_NE(control.dwEventCookie, 0u);
  EXPECT_NE(control.dwPropNotifyCookie, 0u);
  EXPECT_EQ(control.dwMiscStatus, 131473u);
  EXPECT_TRUE(control.dwViewStatus & VIEWSTATUS_OPAQUE);
  SIZEL extent = {1000, 2000}, back = {};
  ASSERT_HRESULT_SUCCEEDED(quick->SetContentExtent(&extent));
  ASSERT_HRESULT_SUCCEEDED(quick->GetContentExtent(&back));
  EXPECT_EQ(back.cx, 1000);
  EXPECT_EQ(back.cy, 2000);
  QACONTROL small = {};
  small.cbSize = 4;
  EXPECT_EQ(quick->QuickActivate(&container, &small), E_INVALIDARG);
  EXPECT_EQ(quick->QuickActivate(nullptr, &control), E_POINTER);

  // The event sink connected by the quick activation hears the clicks.
  ComPtr<IOleObject> ole;
  ASSERT_HRESULT_SUCCEEDED(quick.As(&ole, IID_IOleObject));
  ASSERT_HRESULT_SUCCEEDED(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0,
                                       HostWindow(), &kBoardRect));
  ComPtr<IMjBoard> board;
  ASSERT_HRESULT_SUCCEEDED(quick.As(&board, IID_IMjBoard));
  std::vector<mjcard> chow = Chow(0, 1);
  board->InsertRow(0, 3, chow.data());
  ComPtr<IOleWindow> window;
  ASSERT_HRESULT_SUCCEEDED(quick.As(&window, IID_IOleWindow));
  HWND hwnd = nullptr;
  ASSERT_HRESULT_SUCCEEDED(window->GetWindow(&hwnd));
  Click(hwnd, 50, 110);
  EXPECT_EQ(events.log, (std::vector<Fired>{{0, 1, VT_I2, 0}}));
  board->put_BackColor(RGB(9, 9, 9));
  EXPECT_EQ(props.changed, std::vector<DISPID>{DISPID_BACKCOLOR});
  ole->Close(OLECLOSE_NOSAVE);
  Pump();
}

// The library's own name and version, as its resources carry them.
TEST(VitrineLibrary, NameAndVersion) {
  HMODULE dll = LoadLibraryExW(L"Vitrine.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(dll, nullptr);
  wchar_t name[32] = {};
  EXPECT_GT(LoadStringW(dll, 100, name, 32), 0);
  EXPECT_STREQ(name, L"Vitrine");
  FreeLibrary(dll);

  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(L"Vitrine.dll", &ignored);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(L"Vitrine.dll", 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
  for (const wchar_t* key : {L"\\StringFileInfo\\040904b0\\FileDescription",
                             L"\\StringFileInfo\\040904b0\\ProductName"}) {
    wchar_t* text = nullptr;
    ASSERT_TRUE(VerQueryValueW(info.data(), key, reinterpret_cast<void**>(&text), &len));
    EXPECT_STREQ(text, L"Vitrine Module");
  }
  void* self = nullptr;
  EXPECT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\040904b0\\OLESelfRegister",
                             &self, &len))
      << "marked self-registering";
}

// Calls made before the board has a window are kept: the rows show once it has one.
TEST(MjBoardBeforeItsWindow, CallsAreKeptForTheWindow) {
  ComPtr<IMjBoard> board;
  ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_MjBoard, nullptr, CLSCTX_INPROC_SERVER,
                                            IID_IMjBoard, board.PutVoid()));
  OLE_COLOR colour = 0;
  EXPECT_EQ(board->get_BackColor(&colour), S_OK);
  EXPECT_EQ(colour, 0x007D00u) << "the board's green";
  EXPECT_EQ(board->get_BackColor(nullptr), S_OK);
  std::vector<mjcard> chow = Chow(1, 2), kong = Kong(0, 9);
  EXPECT_EQ(board->Update(), S_OK);
  EXPECT_EQ(board->SetBkColor(kGrey), S_OK);
  EXPECT_EQ(board->InsertRow(1, 3, chow.data()), S_OK);
  EXPECT_EQ(board->InsertRow(0, 4, kong.data()), S_OK);
  EXPECT_EQ(board->AddCards(0, 3, chow.data()), S_OK);
  EXPECT_EQ(board->Update(), S_OK);

  // Drawn through the view object before the window: the background only.
  ComPtr<IViewObject> view;
  ASSERT_HRESULT_SUCCEEDED(board.As(&view, IID_IViewObject));
  Canvas canvas(190, 220, 0x123456);
  const RECTL bounds = {0, 0, 190, 220};
  EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.dc(), &bounds,
                       nullptr, nullptr, 0), S_OK);
  EXPECT_EQ(canvas.At(95, 110), kGrey);
  ComPtr<IOleInPlaceObjectWindowless> windowless;
  ASSERT_HRESULT_SUCCEEDED(board.As(&windowless, IID_IOleInPlaceObjectWindowless));
  LRESULT result = 0;
  EXPECT_EQ(windowless->OnWindowMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(10, 60), &result),
            S_FALSE);

  ComPtr<IOleObject> ole;
  ASSERT_HRESULT_SUCCEEDED(board.As(&ole, IID_IOleObject));
  ASSERT_HRESULT_SUCCEEDED(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0,
                                       HostWindow(), &kBoardRect));
  ComPtr<IOleWindow> window;
  ASSERT_HRESULT_SUCCEEDED(board.As(&window, IID_IOleWindow));
  HWND hwnd = nullptr;
  ASSERT_HRESULT_SUCCEEDED(window->GetWindow(&hwnd));
  auto shot = Capture(hwnd);
  // Two bands of 110: row 1 (one chow, 73 wide) above, row 0 (a kong and a chow) below.
  const int top0 = (110 - 47) / 2, top1 = top0 + 110;
  EXPECT_EQ(shot->At(1, 1), kGrey);
  EXPECT_EQ(shot->At(kRowLeft, top0 + 28), kEdge);
  EXPECT_EQ(shot->At((190 - 154) / 2, top1 + 28), kEdge);
  EXPECT_EQ(shot->At((190 - 154) / 2 + 153, top1 + 28), kEdge);
  ole->Close(OLECLOSE_NOSAVE);
  Pump();
  EXPECT_FALSE(IsWindow(hwnd));

  // And after it: still answered, still kept for a window to come.
  EXPECT_EQ(board->ClearAll(), S_OK);
  EXPECT_EQ(board->InsertRow(2, 3, chow.data()), S_OK);
  EXPECT_EQ(board->SetBkColor(RGB(0, 0x80, 0)), S_OK);
  EXPECT_EQ(board->Update(), S_OK);
  ASSERT_HRESULT_SUCCEEDED(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0,
                                       HostWindow(), &kBoardRect));
  ASSERT_HRESULT_SUCCEEDED(window->GetWindow(&hwnd));
  shot = Capture(hwnd);
  EXPECT_EQ(shot->At(1, 1), 0x008000u);
  EXPECT_EQ(shot->At(kRowLeft, 86 + 28), kEdge) << "one row, centred";
  ole->Close(OLECLOSE_NOSAVE);
  Pump();
}

}  // namespace
