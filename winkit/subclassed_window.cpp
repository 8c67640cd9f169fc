#include "subclassed_window.h"

#include <unordered_map>

namespace winkit {

// The kit's row for a window whose chain holds its procedure: the procedure it replaced and
// the window's objects, the last attached first (linked through below_).
struct SubclassedWindow::Hook {
  WNDPROC previous = nullptr;
  SubclassedWindow* top = nullptr;

  using Table = std::unordered_map<HWND, Hook>;
  // Windows belong to threads, but an object may be attached or detached from another thread
  // than its window's: the table is shared, under a lock held only while it is read or changed.
  static Table& Rows() {
    static Table rows;
    return rows;
  }
  static SRWLOCK lock;

  static bool Find(HWND hwnd, WNDPROC& previous, SubclassedWindow*& top) {
    AcquireSRWLockShared(&lock);
    const Table& rows = Rows();
    const auto it = rows.find(hwnd);
    const bool found = it != rows.end();
    if (found) {
      previous = it->second.previous;
      top = it->second.top;
    }
    ReleaseSRWLockShared(&lock);
    return found;
  }

  static bool IsCurrentProcedure(HWND hwnd) {
    return GetWindowLongPtrW(hwnd, GWLP_WNDPROC) ==
           reinterpret_cast<LONG_PTR>(&SubclassedWindow::Procedure);
  }

  // The window's chain goes back to `previous` (when ours is still its procedure) and its row
  // goes, unless an object came back to it meanwhile.
  static void Release(HWND hwnd, WNDPROC previous) {
    if (!IsCurrentProcedure(hwnd)) return;  // someone subclassed after us: we stay, passing on
    // The procedure first: a message between the two steps still finds the row.
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    AcquireSRWLockExclusive(&lock);
    Table& rows = Rows();
    const auto it = rows.find(hwnd);
    if (it != rows.end() && !it->second.top) rows.erase(it);
    ReleaseSRWLockExclusive(&lock);
  }

  // The window is going: every object of it is detached and its row goes, whether or not
  // ours is its current procedure (no message comes after this one).
  static void Forget(HWND hwnd) {
    AcquireSRWLockExclusive(&lock);
    Table& rows = Rows();
    const auto it = rows.find(hwnd);
    WNDPROC previous = nullptr;
    if (it != rows.end()) {
      previous = it->second.previous;
      for (SubclassedWindow* o = it->second.top; o;) {
        SubclassedWindow* next = o->below_;
        o->hwnd_ = nullptr;
        o->below_ = nullptr;
        o = next;
      }
      rows.erase(it);
    }
    ReleaseSRWLockExclusive(&lock);
    if (previous && IsCurrentProcedure(hwnd))
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  }
};

SRWLOCK SubclassedWindow::Hook::lock = SRWLOCK_INIT;

SubclassedWindow::~SubclassedWindow() { Detach(); }

bool SubclassedWindow::Attach(HWND hwnd) {
  Detach();
  if (!hwnd || !IsWindow(hwnd)) return false;
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process != GetCurrentProcessId()) return false;
  AcquireSRWLockExclusive(&Hook::lock);
  Hook::Table& rows = Hook::Rows();
  auto it = rows.find(hwnd);
  if (it != rows.end()) {
    // Our procedure is in the window's chain already: this object goes on top of the others.
    previous_ = it->second.previous;
    below_ = it->second.top;
    it->second.top = this;
    hwnd_ = hwnd;
    ReleaseSRWLockExclusive(&Hook::lock);
    return true;
  }
  // The row is there before the procedure, so that the first message finds it.
  const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
  if (!current) {
    ReleaseSRWLockExclusive(&Hook::lock);
    return false;
  }
  rows[hwnd] = Hook{current, this};
  previous_ = current;
  below_ = nullptr;
  hwnd_ = hwnd;
  ReleaseSRWLockExclusive(&Hook::lock);
  SetLastError(0);
  const auto replaced = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure)));
  AcquireSRWLockExclusive(&Hook::lock);
  it = rows.find(hwnd);
  if (!replaced && GetLastError() != 0) {
    if (it != rows.end()) rows.erase(it);
    hwnd_ = nullptr;
    previous_ = nullptr;
    ReleaseSRWLockExclusive(&Hook::lock);
    return false;
  }
  if (replaced != current && it != rows.end()) {
    // Replaced by another thread between the two calls: the chain goes on to that one.
    it->second.previous = replaced;
    previous_ = replaced;
  }
  ReleaseSRWLockExclusive(&Hook::lock);
  return true;
}

void SubclassedWindow::Detach() {
  HWND hwnd = hwnd_;
  if (!hwnd) return;
  WNDPROC previous = nullptr;
  bool last = false;
  AcquireSRWLockExclusive(&Hook::lock);
  Hook::Table& rows = Hook::Rows();
  const auto it = rows.find(hwnd);
  if (it != rows.end()) {
    SubclassedWindow** link = &it->second.top;
    while (*link && *link != this) link = &(*link)->below_;
    if (*link) *link = below_;
    previous = it->second.previous;
    last = !it->second.top;
  }
  hwnd_ = nullptr;
  below_ = nullptr;
  previous_ = nullptr;
  ReleaseSRWLockExclusive(&Hook::lock);
  if (last) Hook::Release(hwnd, previous);
}

LRESULT SubclassedWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (ProcessWindowMessage(hwnd_, msg, wp, lp, result)) return result;
  return Default(msg, wp, lp);
}

LRESULT SubclassedWindow::Default(UINT msg, WPARAM wp, LPARAM lp) {
  if (!hwnd_) return 0;
  if (below_) return below_->HandleMessage(msg, wp, lp);
  return CallWindowProcW(previous_, hwnd_, msg, wp, lp);
}

LRESULT CALLBACK SubclassedWindow::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  WNDPROC previous = nullptr;
  SubclassedWindow* top = nullptr;
  if (!Hook::Find(hwnd, previous, top)) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    Hook::Forget(hwnd);
    return CallWindowProcW(previous, hwnd, msg, wp, lp);
  }
  if (!top) return CallWindowProcW(previous, hwnd, msg, wp, lp);
  try {
    return top->HandleMessage(msg, wp, lp);
  } catch (...) {
    // A failing handler ends here, not by unwinding through the system's window code.
    return CallWindowProcW(previous, hwnd, msg, wp, lp);
  }
}

}  // namespace winkit
