// The common phrases: CDialogCmd, the popup list (dialog 307, "聊天常用语") from which the player
// picks a ready-made line, adds, edits and deletes phrases; CDialogCmdEdit, the editor of one
// phrase (dialog 162, "常用语编辑"). The list lives in "chatcmd.cmd" in the settings directory
// and is written after every change.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chat_dialog.h"
#include "image_buttons.h"
#include "winkit/handle.h"

namespace parley {

// The phrases file; without a settings directory nothing is read or written.
std::string PhrasesPath();
std::vector<std::string> LoadPhrasesFile();
bool SavePhrasesFile(const std::vector<std::string>& phrases);

// What the two windows share: no caption, dragged by their background, painted from the skin,
// and image buttons with the skin's pictures and their texts.
class SkinnedDialog : public ChatDialog {
 public:
  SkinnedDialog(int template_id, const char* title) : ChatDialog(template_id), title_(title) {}
  ~SkinnedDialog() override;

  BEGIN_MSG_MAP(SkinnedDialog)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(CButtonCommand::kClickMessage, OnImageButton)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
    MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColorStatic)
  END_MSG_MAP()

  enum { IDB_CLOSE = 245, IDB_OK = 246, IDB_CANCEL = 247 };

 protected:
  // Sets the font, the close button from the skin's margins and the text buttons' sizes.
  void SetUpSkin(const std::vector<std::pair<int, const char*>>& buttons);
  // The rounded frames and the text in them, after the background and the title.
  virtual void PaintFrames(HDC dc, const RECT& client) = 0;
  void RoundFrame(HDC dc, int left, int top, int right, int bottom);
  HFONT GetFont() const { return font_.Get(); }

 private:
  LRESULT OnEraseBkgnd(UINT, WPARAM, LPARAM, bool&);
  // An image button's click, as the command of its id.
  LRESULT OnImageButton(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnMouseMove(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnCtlColorStatic(UINT, WPARAM, LPARAM, bool&);

  const char* title_;
  winkit::UniqueFont font_;
  // The window's buttons: image buttons with the skin's pictures, telling the window of a
  // click through the command object.
  CButtonCommand command_;
  std::vector<std::unique_ptr<CBitmapViewer>> buttons_;
  bool dragging_ = false;
  POINT last_{};
};

class CDialogCmdEdit : public SkinnedDialog {
 public:
  explicit CDialogCmdEdit(std::string phrase);
  const std::string& GetPhrase() const { return m_phrase; }

  BEGIN_MSG_MAP(CDialogCmdEdit)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    COMMAND_ID_HANDLER(IDB_OK, OnOk)
    COMMAND_ID_HANDLER(IDOK, OnOk)
    COMMAND_ID_HANDLER(IDB_CLOSE, OnCancel)
    COMMAND_ID_HANDLER(IDB_CANCEL, OnCancel)
    COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    CHAIN_MSG_MAP(SkinnedDialog)
  END_MSG_MAP()

  enum { IDD = 162, IDC_TEXT = 148 };

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnOk(WORD, WORD, HWND, bool&);
  LRESULT OnCancel(WORD, WORD, HWND, bool&);
  void PaintFrames(HDC dc, const RECT& client) override;

  std::string m_phrase;
};

class CDialogCmd : public SkinnedDialog {
 public:
  // chosen: receives the phrase the player picks.
  explicit CDialogCmd(std::function<void(const std::string&)> chosen);

  // Creates the popup on the first call, then only shows it.
  void Show(HWND owner);
  std::vector<std::string> GetRows() const;

  BEGIN_MSG_MAP(CDialogCmd)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    MESSAGE_HANDLER(WM_CLOSE, OnClose)
    MESSAGE_HANDLER(kChoosePosted, OnChoosePosted)
    COMMAND_ID_HANDLER(IDB_OK, OnChoose)
    COMMAND_ID_HANDLER(IDOK, OnChoose)
    COMMAND_ID_HANDLER(IDB_CLOSE, OnHide)
    COMMAND_ID_HANDLER(IDB_CANCEL, OnHide)
    COMMAND_ID_HANDLER(IDCANCEL, OnHide)
    COMMAND_ID_HANDLER(IDB_EDIT, OnEdit)
    COMMAND_ID_HANDLER(IDB_ADD, OnAdd)
    COMMAND_ID_HANDLER(IDB_DELETE, OnDelete)
    CHAIN_MSG_MAP(SkinnedDialog)
  END_MSG_MAP()

  enum { IDD = 307, IDC_LIST = 140, IDB_EDIT = 248, IDB_ADD = 249, IDB_DELETE = 250 };
  static constexpr UINT kChoosePosted = WM_APP + 0x14;

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnNotify(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnClose(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnChoosePosted(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnChoose(WORD, WORD, HWND, bool&);
  LRESULT OnHide(WORD, WORD, HWND, bool&);
  LRESULT OnEdit(WORD, WORD, HWND, bool&);
  LRESULT OnAdd(WORD, WORD, HWND, bool&);
  LRESULT OnDelete(WORD, WORD, HWND, bool&);
  void PaintFrames(HDC dc, const RECT& client) override;

  int SelectedRow() const;
  std::string RowText(int row) const;
  void InsertRow(int row, const std::string& text);
  void Save();
  // Hands the row's text to the owner when it is not empty; true when it did.
  bool Choose(int row);
  static LRESULT CALLBACK ListProc(HWND list, UINT msg, WPARAM wp, LPARAM lp);

  std::function<void(const std::string&)> m_chosen;
  WNDPROC m_listProc = nullptr;
};

}  // namespace parley
