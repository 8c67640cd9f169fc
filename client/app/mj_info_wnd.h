// The window of the option chooser: a child dialog of the table window, grey, hosting the board
// control (child 32785) that shows the chow or kong choices. Shown at the table window's
// bottom-right corner, hidden after a click (or Enter / Escape). The board's Click goes to the
// chooser's logic (CMjInfoDlg::OnBoardClick).
#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "mj_controls.h"
#include "mj_info_dlg.h"
#include "winkit/control_host.h"

class MjInfoWnd : public IMjChooserWindow, public winkit::ControlEventTarget {
 public:
  static constexpr UINT kBoardId = 32785;
  static constexpr COLORREF kBackColor = RGB(0xD6, 0xD6, 0xD6);
  // The dialog's client size; the board takes all of it but the bottom strip.
  static constexpr int kWidth = 200;
  static constexpr int kHeight = 240;
  static constexpr int kBottomStrip = 20;

  // Shows a message box with the given text (the table's message box by default).
  using MessageBoxFn = std::function<void(HWND owner, const char* text)>;

  explicit MjInfoWnd(CMjInfoDlg& logic) : logic_(logic) {}
  ~MjInfoWnd() override;
  MjInfoWnd(const MjInfoWnd&) = delete;
  MjInfoWnd& operator=(const MjInfoWnd&) = delete;

  // Creates the hidden dialog in `table` and the board inside it, and hands the board to the
  // chooser's logic. Without the board's type library (or the board) the dialog stays empty:
  // the message is shown when the type library is missing, and the logic gets no board.
  // False when the dialog itself could not be made.
  bool Create(HWND table, const MessageBoxFn& message);
  // Releases the board from the logic and destroys the window. Safe to call twice.
  void Destroy();

  HWND Hwnd() const { return hwnd_; }
  HWND BoardWindow() const;
  IMjBoard* Board() const { return board_ ? board_->Board() : nullptr; }

  // IMjChooserWindow
  void ShowAtTableCorner() override;
  void Hide() override;

  // The board's events (Click, dispatch id 1). Nothing thrown leaves it.
  void OnControlEvent(UINT child_id, DISPID id, const winkit::EventArgs& args) override;

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp);
  void PlaceBoard();

  CMjInfoDlg& logic_;
  HWND hwnd_ = nullptr;
  HWND table_ = nullptr;
  HBRUSH brush_ = nullptr;
  winkit::ComPtr<winkit::ControlHost> host_;
  std::unique_ptr<MjBoardBinding> board_;
};
