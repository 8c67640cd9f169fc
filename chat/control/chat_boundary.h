// The chat control's boundary. Where the host or the platform calls into the control (a COM
// method, a window message, a dialog's callback), an exception stops there: it is written to
// the chat's log under the text of the handler it came from, and the caller gets what the
// handler would have given it had it run through (a COM method answers S_OK all the same, as
// hosts of this control expect).
//
//   STDMETHODIMP CGChat::Clear() { CHAT_METHOD("CGChat::Clear() error", ClearOutput()); }
//   parley::RunLogged("CGChat::OnSize  error", [&] { Layout(); });
#pragma once
#include <windows.h>

#include <utility>

#include "chat_platform.h"
#include "winkit/boundary.h"

namespace parley {

// Runs `body` (returning void); false, after the log entry `log_text`, when it threw.
template <class F>
bool RunLogged(const char* log_text, F&& body) noexcept {
  if (SUCCEEDED(winkit::CallAtBoundary(std::forward<F>(body)))) return true;
  WriteErrorLog(log_text);
  return false;
}

}  // namespace parley

// The body of a COM method of the chat control: what it throws is logged, and the method
// answers S_OK. A `return;` in the body ends the method.
#define CHAT_METHOD(log_text, ...) \
  return ((void)parley::RunLogged(log_text, [&]() -> void { __VA_ARGS__; }), S_OK)
