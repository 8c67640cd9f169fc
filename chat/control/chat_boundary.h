// The chat control's boundary. Where the host or the platform calls into the control (a COM
// method, a window message, a dialog's callback), an exception stops there: it is written to
// the chat's log under the text of the handler it came from, and the caller gets what the
// handler would have given it had it run through (a COM method answers S_OK all the same, as
// hosts of this control expect).
//
//   STDMETHODIMP CGChat::Clear() { CHAT_METHOD("CGChat::Clear() error", ClearOutput()); }
//   parley::RunLogged("OnListDblClick  error", [&] { ... });
//   BEGIN_CHAT_MSG_MAP(CGChat, MessageFailureOf) ... END_MSG_MAP()  // one boundary a window
#pragma once
#include <windows.h>

#include <utility>

#include "chat_platform.h"
#include "winkit/boundary.h"
#include "winkit/message_map.h"

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

namespace parley {

// What the log says when a window's handler of a message throws (null: the message is not
// logged here), and what the message then answers.
struct MessageFailure {
  const char* logText = nullptr;
  LRESULT result = 0;
};

// Runs a message map (`map` returns whether a row handled the message) inside one boundary:
// a handler that throws is logged under `failure.logText`, and the message counts as handled
// with `failure.result`.
template <class Map>
bool RunMessageMap(const MessageFailure& failure, LRESULT& result, Map&& map) {
  if (!failure.logText) return map();
  bool handled = false;
  if (RunLogged(failure.logText, [&] { handled = map(); })) return handled;
  result = failure.result;
  return true;
}

}  // namespace parley

// A message map (winkit/message_map.h rows, ended by END_MSG_MAP) whose handlers run inside
// the chat's boundary; `failure_of(msg, wp)` gives the MessageFailure of a message.
#define BEGIN_CHAT_MSG_MAP(Class, failure_of)                                              \
 public:                                                                                   \
  bool ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)    \
      override {                                                                           \
    return parley::RunMessageMap(failure_of(msg, wp), result, [&] {                        \
      return ProcessMappedMessage(hwnd, msg, wp, lp, result);                              \
    });                                                                                    \
  }                                                                                        \
  bool ProcessMappedMessage(HWND hwnd_in_map, UINT msg_in_map, WPARAM wp_in_map,           \
                            LPARAM lp_in_map, LRESULT& result_in_map) {                    \
    (void)hwnd_in_map;                                                                     \
    bool handled_in_map = true;                                                            \
    (void)handled_in_map;
