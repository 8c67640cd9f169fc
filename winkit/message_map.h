// Message maps that read like a table, for classes derived from winkit::Window:
//
//   class MainFrame : public winkit::Window {
//     BEGIN_MSG_MAP(MainFrame)
//       MESSAGE_HANDLER(WM_CLOSE, OnClose)
//       MESSAGE_RANGE_HANDLER(WM_USER + 1, WM_USER + 9, OnUserRange)
//       COMMAND_ID_HANDLER(IDOK, OnOk)
//       CHAIN_MSG_MAP(winkit::Window)
//     END_MSG_MAP()
//     LRESULT OnClose(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
//     LRESULT OnOk(WORD code, WORD id, HWND control, bool& handled);
//   };
//
// A handler runs with `handled` set; clearing it lets later rows (and finally
// DefWindowProc) see the message. Rows are tried top to bottom.
#pragma once
#include <windows.h>

#define BEGIN_MSG_MAP(Class)                                                               \
 public:                                                                                   \
  bool ProcessWindowMessage(HWND hwnd_in_map, UINT msg_in_map, WPARAM wp_in_map,           \
                            LPARAM lp_in_map, LRESULT& result_in_map) override {           \
    (void)hwnd_in_map;                                                                     \
    bool handled_in_map = true;                                                            \
    (void)handled_in_map;

#define MESSAGE_HANDLER(msg, func)                                                         \
    if (msg_in_map == (msg)) {                                                             \
      handled_in_map = true;                                                               \
      result_in_map = func(msg_in_map, wp_in_map, lp_in_map, handled_in_map);             \
      if (handled_in_map) return true;                                                     \
    }

#define MESSAGE_RANGE_HANDLER(first, last, func)                                           \
    if (msg_in_map >= (first) && msg_in_map <= (last)) {                                   \
      handled_in_map = true;                                                               \
      result_in_map = func(msg_in_map, wp_in_map, lp_in_map, handled_in_map);             \
      if (handled_in_map) return true;                                                     \
    }

#define COMMAND_ID_HANDLER(id, func)                                                       \
    if (msg_in_map == WM_COMMAND && LOWORD(wp_in_map) == (id)) {                           \
      handled_in_map = true;                                                               \
      result_in_map = func(HIWORD(wp_in_map), LOWORD(wp_in_map),                           \
                           reinterpret_cast<HWND>(lp_in_map), handled_in_map);             \
      if (handled_in_map) return true;                                                     \
    }

#define COMMAND_RANGE_HANDLER(first, last, func)                                           \
    if (msg_in_map == WM_COMMAND && LOWORD(wp_in_map) >= (first) &&                        \
        LOWORD(wp_in_map) <= (last)) {                                                     \
      handled_in_map = true;                                                               \
      result_in_map = func(HIWORD(wp_in_map), LOWORD(wp_in_map),                           \
                           reinterpret_cast<HWND>(lp_in_map), handled_in_map);             \
      if (handled_in_map) return true;                                                     \
    }

#define CHAIN_MSG_MAP(Base)                                                                \
    if (Base::ProcessWindowMessage(hwnd_in_map, msg_in_map, wp_in_map, lp_in_map,          \
                                   result_in_map))                                         \
      return true;

#define END_MSG_MAP()                                                                      \
    return false;                                                                          \
  }
