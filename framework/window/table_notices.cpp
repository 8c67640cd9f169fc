#include "table_notices.h"

#include <algorithm>

namespace {

constexpr wchar_t kNoticeClass[] = L"KorvelTableNotice";
constexpr int kWidth = 360;
constexpr int kHeight = 150;
constexpr int kTextId = 100;

bool Waits(NoticeKind kind) {
  return kind == NoticeKind::MessageAndWait || kind == NoticeKind::CountDown;
}

}  // namespace

std::wstring WideFromGbk(const std::string& text) {
  constexpr UINT kGbk = 936;
  const int n = MultiByteToWideChar(kGbk, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(kGbk, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

NoticeWindow::~NoticeWindow() {
  gone_ = nullptr;
  Destroy();
}

bool NoticeWindow::Open(HWND owner) {
  RECT area = {};
  if (owner) {
    GetWindowRect(owner, &area);
  } else {
    area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  const int x = area.left + (area.right - area.left - kWidth) / 2;
  const int y = area.top + (area.bottom - area.top - kHeight) / 2;
  const RECT rect = {x, y, x + kWidth, y + kHeight};
  if (!Create(kNoticeClass, L"", WS_POPUP | WS_CAPTION | WS_BORDER, WS_EX_TOPMOST, rect, owner,
              nullptr))
    return false;
  ShowWindow(hwnd(), SW_SHOWNA);
  return true;
}

LRESULT NoticeWindow::OnCreate(UINT, WPARAM, LPARAM, bool&) {
  RECT client;
  GetClientRect(hwnd(), &client);
  const HINSTANCE inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd(), GWLP_HINSTANCE));
  CreateWindowExW(0, L"STATIC", WideFromGbk(notice_.text).c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER,
                  10, 10, client.right - 20, client.bottom - 60, hwnd(),
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)), inst, nullptr);
  // The wait box, the count-down box and the exit box that only tells are message-only.
  const bool messageOnly = notice_.kind == NoticeKind::WaitBox ||
                           notice_.kind == NoticeKind::CountDown ||
                           (notice_.kind == NoticeKind::ExitBox && notice_.mode != 0);
  const auto button = [&](const wchar_t* text, int id, int x, DWORD style) {
    CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x,
                    client.bottom - 40, 80, 28, hwnd(),
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, nullptr);
  };
  if (AsksConsent()) {
    button(L"OK", IDOK, client.right / 2 - 90, BS_DEFPUSHBUTTON);
    button(L"Cancel", IDCANCEL, client.right / 2 + 10, BS_PUSHBUTTON);
  } else if (!messageOnly) {
    button(L"OK", IDOK, client.right / 2 - 40, BS_DEFPUSHBUTTON);
  }
  if (notice_.milliseconds > 0) ::SetTimer(hwnd(), kCountDownTimer, notice_.milliseconds, nullptr);
  return 0;
}

void NoticeWindow::Answer(int16_t answer) {
  if (!AsksConsent() || !answer_) return;
  auto send = std::move(answer_);
  answer_ = nullptr;
  send(notice_.askerId, answer);
}

LRESULT NoticeWindow::OnCancel(WORD, WORD, HWND, bool&) {
  Answer(1);
  Destroy();
  return 0;
}

LRESULT NoticeWindow::OnOk(WORD, WORD, HWND, bool&) {
  Answer(0);
  const bool closeMain = notice_.closeOnOk;
  const HWND main = main_;
  Destroy();
  if (closeMain && main) PostMessageW(main, WM_CLOSE, 0, 0);
  return 0;
}

LRESULT NoticeWindow::OnTimer(UINT, WPARAM wp, LPARAM, bool& handled) {
  if (wp != kCountDownTimer) {
    handled = false;
    return 0;
  }
  ::KillTimer(hwnd(), kCountDownTimer);
  Answer(1);  // time is up: the exit box refuses
  Destroy();
  return 0;
}

void NoticeWindow::OnFinalMessage() {
  if (gone_) gone_(this);
}

TableNoticeWindows::~TableNoticeWindows() {
  open_.clear();
  gone_.clear();
}

void TableNoticeWindows::Show(const TableNotice& notice) {
  // One wait box and one exit box at a time: a new one replaces the old.
  if (notice.kind == NoticeKind::WaitBox || notice.kind == NoticeKind::ExitBox) Close(notice.kind);
  gone_.clear();
  auto window = std::make_unique<NoticeWindow>(
      notice, main_, [this](NoticeWindow* w) { Forget(w); },
      notice.kind == NoticeKind::ExitBox ? exit_answer_ : nullptr);
  NoticeWindow* shown = window.get();
  const HWND over = notice.kind == NoticeKind::WaitBox && !notice.onTableWindow ? nullptr : owner_;
  if (!shown->Open(over)) return;
  const HWND box = shown->hwnd();
  open_.push_back(std::move(window));
  if (!Waits(notice.kind)) return;
  // The caller waits until the notice is gone; the other windows go on meanwhile.
  MSG msg;
  while (IsWindow(box)) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got < 0) break;
    if (!IsDialogMessageW(box, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

void TableNoticeWindows::Close(NoticeKind kind) {
  std::vector<HWND> boxes;
  for (const auto& w : open_) {
    if (w->Notice().kind == kind && w->hwnd()) boxes.push_back(w->hwnd());
  }
  for (HWND box : boxes) DestroyWindow(box);
}

std::vector<HWND> TableNoticeWindows::OpenNotices() const {
  std::vector<HWND> list;
  for (const auto& w : open_) {
    if (w->hwnd()) list.push_back(w->hwnd());
  }
  return list;
}

// A notice whose window is gone: kept until the next Show, since the call comes from inside
// one of its own messages.
void TableNoticeWindows::Forget(NoticeWindow* window) {
  auto it = std::find_if(open_.begin(), open_.end(),
                         [window](const auto& w) { return w.get() == window; });
  if (it == open_.end()) return;
  gone_.push_back(std::move(*it));
  open_.erase(it);
}
