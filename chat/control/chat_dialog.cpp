#include "chat_dialog.h"

#include "chat_platform.h"

namespace parley {

void ChatDialog::OnHandlerFailed() noexcept { WriteErrorLog("CGChat dialog  error"); }

void ChatDialog::SetItemText(int id, const char* gbk) {
  SetDlgItemTextW(hwnd(), id, Wide(gbk).c_str());
}

}  // namespace parley
