// CDialogOption: the block list and the chat's display options (dialog 308, "选项"). The player
// blocks a player of the room by user name, unblocks one or all, and ticks the options; OK
// writes "blacklist.dat", Cancel forgets every change made in the dialog.
#pragma once
#include <windows.h>

#include <memory>

#include "chat_dialog.h"
#include "user_manager.h"

namespace parley {

// "blacklist.dat" in the installation directory; without one nothing is read or written.
bool LoadBlockListFile(chat::BlockListFile& file);
bool SaveBlockListFile(const chat::BlockListFile& file);
// CUserManager's start: the options and blocked ids from the file.
void LoadUserManager(chat::CUserManager& manager);

class CDialogOption : public ChatDialog {
 public:
  explicit CDialogOption(chat::CUserManager& manager);

  BEGIN_MSG_MAP(CDialogOption)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    COMMAND_ID_HANDLER(IDB_BLOCK_ADD, OnAdd)
    COMMAND_ID_HANDLER(IDB_BLOCK_REMOVE, OnRemove)
    COMMAND_ID_HANDLER(IDB_BLOCK_REMOVE_ALL, OnRemoveAll)
    COMMAND_ID_HANDLER(IDOK, OnOk)
    COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
  END_MSG_MAP()

  // The option index of each check box.
  static const int kOptionBoxes[9];
  enum { IDD = 308, IDC_LIST = 142, IDC_NAME = 254, IDB_BLOCK_ADD = 146, IDB_BLOCK_REMOVE = 145,
         IDB_BLOCK_REMOVE_ALL = 147 };

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnAdd(WORD, WORD, HWND, bool&);
  LRESULT OnRemove(WORD, WORD, HWND, bool&);
  LRESULT OnRemoveAll(WORD, WORD, HWND, bool&);
  LRESULT OnOk(WORD, WORD, HWND, bool&);
  LRESULT OnCancel(WORD, WORD, HWND, bool&);
  void FillList();

  chat::CUserManager& m_manager;
  std::unique_ptr<chat::BlockListEditor> m_editor;
};

}  // namespace parley
