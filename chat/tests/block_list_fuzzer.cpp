// Any bytes as "blacklist.dat": loaded into a manager and the dialog's rows, stored again.
#include <cstdint>

#include "user_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  chat::BlockListFile file;
  const bool whole = chat::LoadBlockList(data, size, file);
  chat::CUserManager manager;
  manager.Load(file);
  chat::BlockListEditor editor(manager);
  editor.LoadRows(file);
  const std::vector<uint8_t> again = chat::StoreBlockList(file);
  chat::BlockListFile reread;
  if (!chat::LoadBlockList(again.data(), again.size(), reread)) __builtin_trap();
  if (reread.entries.size() != file.entries.size()) __builtin_trap();
  (void)whole;
  return 0;
}
