#include "dialog_option.h"

#include <commctrl.h>

#include "chat_file.h"
#include "chat_platform.h"
#include "chat_texts.h"

namespace parley {
namespace {

std::string BlockListPath() {
  const std::string dir = ReadAppPath();
  return dir.empty() ? std::string() : dir + "\\" + chat::kBlockListFileName;
}

}  // namespace

const int CDialogOption::kOptionBoxes[9] = {257, 256, 261, 263, 258, 255, 259, 260, 249};

bool LoadBlockListFile(chat::BlockListFile& file) {
  file = chat::BlockListFile();
  const std::string path = BlockListPath();
  if (path.empty()) return false;
  std::vector<uint8_t> bytes;
  if (chat::ReadWholeFile(path, chat::kMaxBlockListBytes, bytes) == chat::ReadResult::kMissing)
    return false;
  if (!chat::LoadBlockList(bytes.data(), bytes.size(), file)) {
    WriteErrorLog("CUserManager::Load  error");
    return false;
  }
  return true;
}

bool SaveBlockListFile(const chat::BlockListFile& file) {
  const std::string path = BlockListPath();
  if (path.empty()) return false;
  if (chat::ReplaceFileContents(path, chat::StoreBlockList(file))) return true;
  WriteErrorLog("CDialogOption::Save  error");
  return false;
}

void LoadUserManager(chat::CUserManager& manager) {
  chat::BlockListFile file;
  LoadBlockListFile(file);
  manager.Load(file);
}

CDialogOption::CDialogOption(chat::CUserManager& manager)
    : ChatDialog(IDD), m_manager(manager) {}

LRESULT CDialogOption::OnInitDialog(UINT, WPARAM, LPARAM, bool&) {
  static const struct {
    int id;
    const char* text;
  } kTexts[] = {{257, kTextOptionUserEnters}, {256, kTextOptionUserLeaves},
                {261, kTextOptionToOthers},  {263, kTextOptionToMe},
                {258, kTextOptionPublic},     {255, kTextOptionAdverts},
                {259, kTextOptionWrapLines},  {260, kTextOptionShowTime},
                {249, kTextOptionHideSpeaker}, {IDB_BLOCK_ADD, kTextBlockAdd},
                {IDB_BLOCK_REMOVE, kTextBlockRemove}, {IDB_BLOCK_REMOVE_ALL, kTextBlockRemoveAll},
                {IDOK, kTextOkY},             {IDCANCEL, kTextCancelC}};
  SetWindowTextW(hwnd(), Wide(kTextOptionsCaption).c_str());
  for (const auto& t : kTexts) SetItemText(t.id, t.text);
  SendDlgItemMessageW(hwnd(), IDC_NAME, EM_LIMITTEXT, chat::kMaxUserNameBytes, 0);

  HWND list = Item(IDC_LIST);
  RECT client{};
  GetClientRect(list, &client);
  std::wstring title = Wide(kTextBlockListColumn);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.cx = client.right - client.left - 20;
  column.pszText = title.data();
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);

  m_editor = std::make_unique<chat::BlockListEditor>(m_manager);
  chat::BlockListFile file;
  if (LoadBlockListFile(file)) m_editor->LoadRows(file);
  FillList();
  for (int i = 0; i < 9; ++i)
    CheckDlgButton(hwnd(), kOptionBoxes[i],
                   m_manager.m_options.values[i] == 1 ? BST_CHECKED : BST_UNCHECKED);
  return TRUE;
}

void CDialogOption::FillList() {
  HWND list = Item(IDC_LIST);
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  int row = 0;
  for (const chat::BlockEntry& e : m_editor->GetRows()) {
    std::wstring text = Wide(e.text);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row++;
    item.pszText = text.data();
    item.lParam = e.id;
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
}

LRESULT CDialogOption::OnAdd(WORD, WORD, HWND, bool&) {
  wchar_t name[64] = {};
  GetDlgItemTextW(hwnd(), IDC_NAME, name, 64);
  switch (m_editor->Add(Gbk(name))) {
    case chat::BlockListEditor::AddResult::kUnknownUser:
      ShowChatMessage(hwnd(), kTextBlockUnknownUser);
      break;
    case chat::BlockListEditor::AddResult::kAlreadyListed:
      ShowChatMessage(hwnd(), kTextBlockAlreadyListed);
      break;
    case chat::BlockListEditor::AddResult::kAdded:
      FillList();
      break;
    case chat::BlockListEditor::AddResult::kEmptyName:
      break;
  }
  return 0;
}

LRESULT CDialogOption::OnRemove(WORD, WORD, HWND, bool&) {
  const LRESULT selected =
      SendDlgItemMessageW(hwnd(), IDC_LIST, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
  if (selected >= 0 && m_editor->Remove(static_cast<size_t>(selected)))
    SendDlgItemMessageW(hwnd(), IDC_LIST, LVM_DELETEITEM, static_cast<WPARAM>(selected), 0);
  return 0;
}

LRESULT CDialogOption::OnRemoveAll(WORD, WORD, HWND, bool&) {
  m_editor->RemoveAll();
  FillList();
  return 0;
}

LRESULT CDialogOption::OnOk(WORD, WORD, HWND, bool&) {
  chat::ChatOptions options;
  for (int i = 0; i < 9; ++i)
    options.values[i] = IsDlgButtonChecked(hwnd(), kOptionBoxes[i]) == BST_CHECKED ? 1 : 0;
  SaveBlockListFile(m_editor->Commit(options));
  EndDialog(IDOK);
  return 0;
}

LRESULT CDialogOption::OnCancel(WORD, WORD, HWND, bool&) {
  EndDialog(IDCANCEL);
  return 0;
}

}  // namespace parley
