#include "table_notices.h"

#include <algorithm>
#include <utility>

#include "notice_dialogs.h"
#include "winkit/gbk.h"

namespace {

using framework_window::CExitTimerDialog;
using framework_window::CMessageDialog;
using framework_window::CTimerDialog;

constexpr wchar_t kNoticeClass[] = L"KorvelTableNotice";
constexpr int kWidth = 360;
constexpr int kHeight = 150;
constexpr int kTextId = 100;

// Moves `box` to the centre of `over`'s client area (or of the screen), keeping its size.
void CentreBox(HWND box, HWND over) {
  RECT b{}, area{};
  GetWindowRect(box, &b);
  if (over && IsWindow(over)) {
    GetWindowRect(over, &area);
    RECT client{};
    GetClientRect(over, &client);
    area.right = area.left + client.right;
    area.bottom = area.top + client.bottom;
  } else {
    area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  const int x = area.left + (area.right - area.left - (b.right - b.left)) / 2;
  const int y = area.top + (area.bottom - area.top - (b.bottom - b.top)) / 2;
  SetWindowPos(box, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A count-down box of the table: knows when it has ended, and a modal run starts centred.
// The ending is noted after the box's own handling, so that a notice shown from inside an
// answer does not delete the box that is still answering.
template <class Base>
class TimerNotice final : public Base {
 public:
  template <class... Args>
  explicit TimerNotice(HWND over, Args&&... args)
      : Base(std::forward<Args>(args)...), over_(over) {}
  bool Ended() const { return ended_; }
  void End() {
    ended_ = true;
    this->Close();
  }

 protected:
  BOOL OnInitDialog() override {
    const BOOL focus = Base::OnInitDialog();
    // The box carries its text as its window text too, as the table's other boxes do.
    SetWindowTextW(this->hwnd(), winkit::GbkToWide(this->Text()).c_str());
    CentreBox(this->hwnd(), over_);
    return focus;
  }
  void OnOK() override {
    Base::OnOK();
    ended_ = true;
  }
  void OnCancel() override {
    Base::OnCancel();
    ended_ = true;
  }
  void OnTimeOut() override {
    Base::OnTimeOut();
    ended_ = true;
  }

 private:
  HWND over_;
  bool ended_ = false;
};

// The table's message box, knowing when it has ended (OK, or Escape, which only hides it).
class MessageNotice final : public CMessageDialog {
 public:
  using CMessageDialog::CMessageDialog;
  bool Ended() const { return ended_; }
  void End() {
    ended_ = true;
    EndDialog(IDCANCEL);
  }

 protected:
  void OnOK() override {
    CMessageDialog::OnOK();
    ended_ = true;
  }
  void OnCancel() override {
    CMessageDialog::OnCancel();
    ended_ = true;
  }

 private:
  bool ended_ = false;
};

template <class Box>
void ApplyLook(Box& box, const TableNoticeLook& look) {
  box.SetColors(look.c1, look.c2, look.text);
  box.SetImageDir(look.imageDir.c_str());
}

}  // namespace

// --- NoticeWindow ---------------------------------------------------------------------------

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
  CreateWindowExW(0, L"STATIC", winkit::GbkToWide(notice_.text).c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER,
                  10, 10, client.right - 20, client.bottom - 60, hwnd(),
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)), inst, nullptr);
  CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                  client.right / 2 - 40, client.bottom - 40, 80, 28, hwnd(),
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)), inst, nullptr);
  return 0;
}

LRESULT NoticeWindow::OnOk(WORD, WORD, HWND, bool&) {
  const bool closeMain = notice_.closeOnOk;
  const HWND main = main_;
  Destroy();
  if (closeMain && main) PostMessageW(main, WM_CLOSE, 0, 0);
  return 0;
}

void NoticeWindow::OnFinalMessage() {
  if (gone_) gone_(this);
}

// --- TableNoticeWindows ---------------------------------------------------------------------

TableNoticeWindows::~TableNoticeWindows() {
  // A caller still waiting on a box holds it, and its wait ends with the box's window.
  for (Box& b : boxes_) {
    const HWND h = b.dialog->hwnd();
    if (!h) continue;
    if (b.dialog->IsModal())
      b.end();
    else
      b.dialog->DestroyModeless();
  }
  boxes_.clear();
  open_.clear();
  gone_.clear();
}

HWND TableNoticeWindows::PlaceOver() const {
  if (!owner_ || !IsWindow(owner_) || !IsWindowVisible(owner_)) return nullptr;
  RECT r{};
  GetClientRect(owner_, &r);
  return r.right > 0 && r.bottom > 0 ? owner_ : nullptr;
}

void TableNoticeWindows::Show(const TableNotice& notice) {
  // One wait box and one exit box at a time: a new one replaces the old.
  if (notice.kind == NoticeKind::WaitBox || notice.kind == NoticeKind::ExitBox) Close(notice.kind);
  Sweep();
  switch (notice.kind) {
    case NoticeKind::SystemBox:
      ShowSystemBox(notice);
      return;
    case NoticeKind::Message:
    case NoticeKind::MessageAndWait:
      ShowMessage(notice);
      return;
    case NoticeKind::WaitBox:
    case NoticeKind::CountDown:
    case NoticeKind::ExitBox:
      ShowBox(notice);
      return;
  }
}

void TableNoticeWindows::ShowBox(const TableNotice& notice) {
  const HWND over = PlaceOver();
  // The wait box is the table's own (no owner) unless it belongs on the table window.
  const HWND parent = notice.kind == NoticeKind::WaitBox && !notice.onTableWindow ? nullptr : owner_;
  std::shared_ptr<CTimerDialog> dialog;
  Box box{notice.kind, nullptr, nullptr, nullptr};
  if (notice.kind == NoticeKind::ExitBox) {
    auto exit = std::make_shared<TimerNotice<CExitTimerDialog>>(
        over, CExitTimerDialog::Answerer(exit_answer_), notice.mode, notice.askerId, parent);
    box.ended = [p = exit.get()] { return p->Ended(); };
    box.end = [p = exit.get()] { p->End(); };
    dialog = exit;
  } else {
    auto timer = std::make_shared<TimerNotice<CTimerDialog>>(over, parent);
    box.ended = [p = timer.get()] { return p->Ended(); };
    box.end = [p = timer.get()] { p->End(); };
    dialog = timer;
  }
  box.dialog = dialog;
  dialog->SetText(notice.text.c_str());
  if (notice.milliseconds > 0) dialog->SetTime(notice.milliseconds);
  // Only the exit box asking for consent has its agree and disagree buttons.
  if (notice.kind != NoticeKind::ExitBox || notice.mode != 0) dialog->HideButtons();
  ApplyLook(*dialog, look_);
  boxes_.push_back(box);
  if (notice.kind == NoticeKind::CountDown) {
    // The caller waits until the time is up; the box is kept alive for the whole run.
    dialog->DoModal(owner_);
    return;
  }
  if (!dialog->CreateModeless(parent)) {
    boxes_.pop_back();
    return;
  }
  SetWindowTextW(dialog->hwnd(), winkit::GbkToWide(notice.text).c_str());
  dialog->ShowModeless(over);
}

void TableNoticeWindows::ShowMessage(const TableNotice& notice) {
  auto message = std::make_shared<MessageNotice>(owner_);
  message->SetText(notice.text.c_str());
  ApplyLook(*message, look_);
  message->SetMainWindow(main_);
  message->PlaceOver(PlaceOver());
  boxes_.push_back(Box{notice.kind, message, [p = message.get()] { return p->Ended(); },
                       [p = message.get()] { p->End(); }});
  message->Show(owner_, notice.closeOnOk ? 1 : 0);
  if (!message->hwnd()) {
    boxes_.pop_back();
    return;
  }
  SetWindowTextW(message->hwnd(), winkit::GbkToWide(notice.text).c_str());
  // The caller waits until the box is closed; the other windows go on meanwhile.
  if (notice.kind == NoticeKind::MessageAndWait) message->WaitUntilClosed();
}

void TableNoticeWindows::ShowSystemBox(const TableNotice& notice) {
  gone_.clear();
  auto window = std::make_unique<NoticeWindow>(notice, main_,
                                               [this](NoticeWindow* w) { Forget(w); });
  if (!window->Open(owner_)) return;
  open_.push_back(std::move(window));
}

void TableNoticeWindows::Close(NoticeKind kind) {
  std::vector<HWND> windows;
  for (const auto& w : open_)
    if (w->Notice().kind == kind && w->hwnd()) windows.push_back(w->hwnd());
  for (HWND w : windows) DestroyWindow(w);
  // Ended here, deleted by the next Show (the call may come from inside one of them).
  for (Box& b : boxes_)
    if (b.kind == kind && !b.ended()) b.end();
}

void TableNoticeWindows::Sweep() {
  std::vector<Box> ended;
  for (auto it = boxes_.begin(); it != boxes_.end();) {
    if (it->ended() || !it->dialog->hwnd()) {
      ended.push_back(std::move(*it));
      it = boxes_.erase(it);
    } else {
      ++it;
    }
  }
  // `ended` goes out of scope here: each box still waited on is held by its caller.
}

std::vector<HWND> TableNoticeWindows::OpenNotices() const {
  std::vector<HWND> list;
  for (const Box& b : boxes_)
    if (!b.ended() && b.dialog->hwnd()) list.push_back(b.dialog->hwnd());
  for (const auto& w : open_)
    if (w->hwnd()) list.push_back(w->hwnd());
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
