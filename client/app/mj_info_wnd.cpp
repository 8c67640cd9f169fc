#include "mj_info_wnd.h"

#include <cstring>
#include <new>

#include "winkit/boundary.h"

namespace {

// A dialog template without controls: a hidden child that clips its board. Its size is set in
// pixels once it exists.
struct alignas(DWORD) EmptyChildTemplate {
  DLGTEMPLATE head;
  WORD menu;
  WORD window_class;
  WORD title;
};

constexpr DWORD kDialogStyle = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | DS_CONTROL;

}  // namespace

MjInfoWnd::~MjInfoWnd() { Destroy(); }

bool MjInfoWnd::Create(HWND table, const MessageBoxFn& message) {
  if (hwnd_) return true;
  table_ = table;
  EmptyChildTemplate t = {};
  t.head.style = kDialogStyle;
  t.head.cdit = 0;
  hwnd_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &t.head, table, &Procedure,
                                     reinterpret_cast<LPARAM>(this));
  if (!hwnd_) return false;
  SetWindowPos(hwnd_, HWND_TOP, 0, 0, kWidth, kHeight, SWP_NOACTIVATE | SWP_HIDEWINDOW);
  brush_ = CreateSolidBrush(kBackColor);

  if (!IsTypeLibRegistered(LIBID_VITRINELib, 1, 0)) {
    if (message) message(table, kTextComponentVersion);
    return true;
  }
  winkit::ComPtr<winkit::ControlHost> host;
  if (FAILED(winkit::ControlHost::Create(hwnd_, CLSID_MjBoard, IID__IMjBoardEvents, kBoardId,
                                         L"Vitrine.MjBoard", RECT{}, this, &host)))
    return true;
  host_ = host;
  winkit::ComPtr<IMjBoard> board;
  if (FAILED(host_->QueryControl(IID_IMjBoard, board.PutVoid()))) return true;
  board_ = std::make_unique<MjBoardBinding>(board.Get());
  PlaceBoard();
  try {
    logic_.SetBoard(board_.get(), this);  // colours the board
  } catch (const winkit::ComError&) {
    // A board that refuses its colour still shows the choices (the logic holds it already).
  }
  return true;
}

void MjInfoWnd::Destroy() {
  logic_.ReleaseBoard();
  if (host_) host_->Destroy();
  host_.Reset();
  board_.reset();
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
  }
  if (brush_) {
    DeleteObject(brush_);
    brush_ = nullptr;
  }
}

HWND MjInfoWnd::BoardWindow() const { return host_ ? host_->ControlWindow() : nullptr; }

void MjInfoWnd::PlaceBoard() {
  if (!hwnd_) return;
  RECT client = {};
  GetClientRect(hwnd_, &client);
  if (const HWND board = BoardWindow()) {
    const int h = client.bottom - kBottomStrip;
    MoveWindow(board, 0, 0, client.right, h > 0 ? h : 0, TRUE);
  }
}

void MjInfoWnd::ShowAtTableCorner() {
  if (!hwnd_) return;
  if (table_) {
    RECT table = {}, mine = {};
    GetClientRect(table_, &table);
    GetClientRect(hwnd_, &mine);
    SetWindowPos(hwnd_, HWND_TOP, table.right - mine.right, table.bottom - mine.bottom, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE);
  }
  PlaceBoard();
  ShowWindow(hwnd_, SW_SHOWNORMAL);
}

void MjInfoWnd::Hide() {
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

void MjInfoWnd::OnControlEvent(UINT child_id, DISPID id, const winkit::EventArgs& args) {
  if (child_id != kBoardId || id != 1) return;
  try {
    logic_.OnBoardClick(args.Short(0));
  } catch (...) {
    // A failing control or send ends the choice here; the dialog is hidden all the same.
    Hide();
  }
}

INT_PTR CALLBACK MjInfoWnd::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrW(hwnd, DWLP_USER, lp);
    reinterpret_cast<MjInfoWnd*>(lp)->hwnd_ = hwnd;
    return TRUE;
  }
  auto* self = reinterpret_cast<MjInfoWnd*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!self) return FALSE;
  return self->OnMessage(msg, wp, lp);
}

INT_PTR MjInfoWnd::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  (void)lp;
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT r = {};
      GetClientRect(hwnd_, &r);
      FillRect(reinterpret_cast<HDC>(wp), &r, brush_ ? brush_ : GetSysColorBrush(COLOR_3DFACE));
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, 1);
      return TRUE;
    }
    case WM_COMMAND:
      // Enter and Escape hide the chooser; it is kept for the next offer.
      if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
        Hide();
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}
