// Any bytes as "chatcmd.cmd".
#include <cstdint>

#include "common_phrases.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> phrases;
  chat::LoadPhrases(data, size, phrases);
  for (const std::string& p : phrases)
    if (p.empty() || p.size() > chat::kMaxPhraseBytes) __builtin_trap();
  const std::vector<uint8_t> again = chat::StorePhrases(phrases);
  std::vector<std::string> reread;
  if (!chat::LoadPhrases(again.data(), again.size(), reread) || reread != phrases)
    __builtin_trap();
  return 0;
}
