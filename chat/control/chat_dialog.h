// The chat's dialogs: winkit::Dialog with the chat's log for a handler that fails, and item
// texts given in GBK.
#pragma once
#include <windows.h>

#include "winkit/dialog.h"
#include "winkit/message_map.h"

namespace parley {

class ChatDialog : public winkit::Dialog {
 public:
  explicit ChatDialog(UINT template_id) : Dialog(template_id) {}

 protected:
  void OnHandlerFailed() noexcept override;
  void SetItemText(int id, const char* gbk);
};

}  // namespace parley
