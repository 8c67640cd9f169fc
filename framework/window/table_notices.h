// The table's notices on screen, in the window kit's skinned boxes (notice_dialogs.h):
//   wait box        a message-only count-down box, modeless; a new one replaces the old
//   count-down      the same, run modal: the caller waits until its time is up
//   message         the message box; on a close-on-OK notice OK posts WM_CLOSE to the main window
//   message + wait  the same, and the caller waits until it is closed
//   exit box        the exit count-down box (one at a time): mode 0 asks for consent and its
//                   answer (OK agrees, cancel or the time running out refuses) goes to the table
//                   (CVyrPokePlayTableImp::SendExitAnswer); mode 1 only tells
//   system box      a plain captioned window with the text and OK
// Every box is centred over the table window while that window is on screen, else over the
// screen, and drawn in the table's notice colours with the pictures of its image folder.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "play_table_seams.h"
#include "winkit/dialog.h"
#include "winkit/message_map.h"
#include "winkit/window.h"

// A plain notice window: the text and OK (the system box).
class NoticeWindow : public winkit::Window {
 public:
  NoticeWindow(const TableNotice& notice, HWND mainWindow, std::function<void(NoticeWindow*)> gone)
      : notice_(notice), main_(mainWindow), gone_(std::move(gone)) {}
  ~NoticeWindow() override;
  // Creates and shows the notice over `owner` (null: centred on the screen).
  bool Open(HWND owner);
  const TableNotice& Notice() const { return notice_; }

  BEGIN_MSG_MAP(NoticeWindow)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    COMMAND_ID_HANDLER(IDOK, OnOk)
  END_MSG_MAP()

 protected:
  void OnFinalMessage() override;

 private:
  LRESULT OnCreate(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnOk(WORD code, WORD id, HWND control, bool& handled);

  TableNotice notice_;
  HWND main_;
  std::function<void(NoticeWindow*)> gone_;
};

// Colours and pictures of the table's notice boxes.
struct TableNoticeLook {
  COLORREF c1 = 0xFFFFFF, c2 = 0xFCBF82, text = 0;
  std::string imageDir;  // holds dlg_bk.png, ok.png and off.png
};

class TableNoticeWindows : public ITableNotices {
 public:
  // The exit box's answer: the asker and 0 (agree) or 1 (refuse).
  using ExitAnswer = std::function<void(uint32_t askerId, int16_t answer)>;

  // `owner`: the table window the notices are placed over; `mainWindow`: the window OK on a
  // close-on-OK notice closes.
  TableNoticeWindows(HWND owner, HWND mainWindow, TableNoticeLook look = {})
      : owner_(owner), main_(mainWindow), look_(std::move(look)) {}
  ~TableNoticeWindows() override;
  TableNoticeWindows(const TableNoticeWindows&) = delete;
  TableNoticeWindows& operator=(const TableNoticeWindows&) = delete;

  void Show(const TableNotice& notice) override;
  void Close(NoticeKind kind) override;
  void HideMagicActionPicker() override {}
  void SetExitAnswer(ExitAnswer answer) { exit_answer_ = std::move(answer); }
  // The look of the boxes shown from now on.
  void SetLook(TableNoticeLook look) { look_ = std::move(look); }

  // The notices on screen, oldest first.
  std::vector<HWND> OpenNotices() const;

 private:
  // A skinned box that is up; `ended` once a button, its time or Close ended it.
  struct Box {
    NoticeKind kind;
    std::shared_ptr<winkit::Dialog> dialog;
    std::function<bool()> ended;
    std::function<void()> end;
  };
  void ShowBox(const TableNotice& notice);
  void ShowMessage(const TableNotice& notice);
  void ShowSystemBox(const TableNotice& notice);
  // Deletes the boxes that have ended (never one still on screen).
  void Sweep();
  // The window the boxes are centred over: the table window while it is on screen, else none.
  HWND PlaceOver() const;
  void Forget(NoticeWindow* window);

  HWND owner_;
  HWND main_;
  TableNoticeLook look_;
  ExitAnswer exit_answer_;
  std::vector<Box> boxes_;
  std::vector<std::unique_ptr<NoticeWindow>> open_;
  std::vector<std::unique_ptr<NoticeWindow>> gone_;  // closed during a message of their own
};

// GBK bytes as the wide text shown on screen.
