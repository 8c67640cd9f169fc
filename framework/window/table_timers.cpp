#include "table_timers.h"

#include "winkit/boundary.h"
#include "winkit/com_ptr.h"

TableWindowTimers::~TableWindowTimers() { Destroy(); }

bool TableWindowTimers::Create() {
  if (hwnd()) return true;
  return winkit::Window::Create(L"KorvelTableTimers", L"", 0, 0, RECT{}, HWND_MESSAGE,
                                nullptr) != nullptr;
}

void TableWindowTimers::SetTimer(uint32_t id, uint32_t milliseconds) {
  if (!hwnd() || ::SetTimer(hwnd(), id, milliseconds, nullptr) == 0)
    throw winkit::ComError(E_FAIL, "SetTimer");
}

void TableWindowTimers::KillTimer(uint32_t id) {
  if (hwnd()) ::KillTimer(hwnd(), id);
}

LRESULT TableWindowTimers::OnTimer(UINT, WPARAM wp, LPARAM, bool&) {
  // The table catches what its timers throw; nothing unwinds through the window procedure.
  if (target_) winkit::CallAtBoundary([&] { target_(static_cast<uint32_t>(wp)); });
  return 0;
}
