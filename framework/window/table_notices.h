// The table's notices on screen, in plain windows: the text and an OK button. OK closes the
// notice, and on a close-on-OK notice posts WM_CLOSE to the main window; a count-down closes
// itself when its time is up. The waiting kinds (MessageAndWait, CountDown) keep the caller in
// a nested message loop until the notice is gone. The skinned message and count-down dialogs
// take the place of NoticeWindow behind the same ITableNotices.
// The exit box asking for consent (mode 0) has OK and Cancel: OK agrees, Cancel or the time
// running out refuses, and the answer goes to the table (CVyrPokePlayTableImp::SendExitAnswer).
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "play_table_seams.h"
#include "winkit/message_map.h"
#include "winkit/window.h"

class NoticeWindow : public winkit::Window {
 public:
  static constexpr UINT_PTR kCountDownTimer = 1;

  // The exit box's answer: the asker and 0 (agree) or 1 (refuse).
  using ExitAnswer = std::function<void(uint32_t askerId, int16_t answer)>;

  NoticeWindow(const TableNotice& notice, HWND mainWindow, std::function<void(NoticeWindow*)> gone,
               ExitAnswer answer = nullptr)
      : notice_(notice), main_(mainWindow), gone_(std::move(gone)), answer_(std::move(answer)) {}
  ~NoticeWindow() override;
  // Creates and shows the notice over `owner` (null: centred on the screen).
  bool Open(HWND owner);
  const TableNotice& Notice() const { return notice_; }

  BEGIN_MSG_MAP(NoticeWindow)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    COMMAND_ID_HANDLER(IDOK, OnOk)
    COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
  END_MSG_MAP()

 protected:
  void OnFinalMessage() override;

 private:
  LRESULT OnCreate(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnOk(WORD code, WORD id, HWND control, bool& handled);
  LRESULT OnCancel(WORD code, WORD id, HWND control, bool& handled);
  bool AsksConsent() const { return notice_.kind == NoticeKind::ExitBox && notice_.mode == 0; }
  // Sends the exit box's answer once.
  void Answer(int16_t answer);
  LRESULT OnTimer(UINT msg, WPARAM wp, LPARAM lp, bool& handled);

  TableNotice notice_;
  HWND main_;
  std::function<void(NoticeWindow*)> gone_;
  ExitAnswer answer_;
};

class TableNoticeWindows : public ITableNotices {
 public:
  // `owner`: the table window the notices are placed over; `mainWindow`: the window OK on a
  // close-on-OK notice closes.
  TableNoticeWindows(HWND owner, HWND mainWindow) : owner_(owner), main_(mainWindow) {}
  ~TableNoticeWindows() override;
  TableNoticeWindows(const TableNoticeWindows&) = delete;
  TableNoticeWindows& operator=(const TableNoticeWindows&) = delete;

  void Show(const TableNotice& notice) override;
  void Close(NoticeKind kind) override;
  void HideMagicActionPicker() override {}
  void SetExitAnswer(NoticeWindow::ExitAnswer answer) { exit_answer_ = std::move(answer); }

  // The notices on screen, oldest first.
  std::vector<HWND> OpenNotices() const;

 private:
  void Forget(NoticeWindow* window);
  HWND owner_;
  HWND main_;
  NoticeWindow::ExitAnswer exit_answer_;
  std::vector<std::unique_ptr<NoticeWindow>> open_;
  std::vector<std::unique_ptr<NoticeWindow>> gone_;  // closed during a message of their own
};

// GBK bytes as the wide text shown on screen.
std::wstring WideFromGbk(const std::string& text);
