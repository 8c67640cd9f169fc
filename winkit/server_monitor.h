// The shutdown monitor of a local server: a thread that posts WM_QUIT to the main thread
// about one second after the module's lock count last fell to zero, unless something locked
// the module again in between.
#pragma once
#include <windows.h>

namespace winkit {

class ServerMonitor {
 public:
  // Starts the monitor for the calling thread (the main thread). Returns false when the
  // event cannot be created; no thread is started then.
  static bool Start(DWORD grace_ms = 1000);
  // Called by Module::Unlock when the count reaches zero.
  static void OnLastUnlock();
  // Stops listening for the last unlock, stops the monitor thread if it is still waiting (it
  // then posts nothing), waits for it to end and releases the thread and the event. Returns
  // false when the thread did not end within 5 s.
  static bool Join();
};

}  // namespace winkit
