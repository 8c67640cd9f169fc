#include "server_monitor.h"

#include "handle.h"
#include "module.h"

namespace winkit {
namespace {
UniqueHandle g_event;
UniqueHandle g_thread;
DWORD g_main_thread = 0;
DWORD g_grace_ms = 1000;
volatile LONG g_activity = 0;
volatile LONG g_stop = 0;

bool Stopping() { return InterlockedCompareExchange(&g_stop, 0, 0) != 0; }

DWORD WINAPI MonitorProc(void*) {
  for (;;) {
    WaitForSingleObject(g_event.Get(), INFINITE);
    if (Stopping()) return 0;
    DWORD wait;
    do {
      InterlockedExchange(&g_activity, 0);
      wait = WaitForSingleObject(g_event.Get(), g_grace_ms);
      if (Stopping()) return 0;
    } while (wait == WAIT_OBJECT_0);
    if (InterlockedCompareExchange(&g_activity, 0, 0) == 0 && Module::LockCount() == 0) break;
  }
  PostThreadMessageW(g_main_thread, WM_QUIT, 0, 0);
  return 0;
}
}  // namespace

bool ServerMonitor::Start(DWORD grace_ms) {
  g_grace_ms = grace_ms;
  g_main_thread = GetCurrentThreadId();
  InterlockedExchange(&g_stop, 0);
  g_event.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  if (!g_event) return false;
  Module::SetLastUnlockHook(&ServerMonitor::OnLastUnlock);
  g_thread.Reset(CreateThread(nullptr, 0, MonitorProc, nullptr, 0, nullptr));
  if (!g_thread) {
    Module::SetLastUnlockHook(nullptr);
    g_event.Reset();
    return false;
  }
  return true;
}

void ServerMonitor::OnLastUnlock() {
  InterlockedExchange(&g_activity, 1);
  if (g_event) SetEvent(g_event.Get());
}

bool ServerMonitor::Join() {
  // The event is closed here, on the main thread, once nothing can signal it any more.
  Module::SetLastUnlockHook(nullptr);
  bool ended = true;
  if (g_thread) {
    // A monitor still waiting (the program ends by another way than the last release, such as
    // a registration switch) is told to stop instead of being waited out.
    InterlockedExchange(&g_stop, 1);
    SetEvent(g_event.Get());
    ended = WaitForSingleObject(g_thread.Get(), 5000) == WAIT_OBJECT_0;
    g_thread.Reset();
  }
  g_event.Reset();
  return ended;
}

}  // namespace winkit
