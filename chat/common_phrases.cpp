#include "common_phrases.h"

#include "archive.h"
#include "text_copy.h"

namespace chat {

std::vector<uint8_t> StorePhrases(const std::vector<std::string>& phrases) {
  ArchiveWriter writer;
  writer.WriteUInt32(static_cast<uint32_t>(phrases.size()));
  for (const std::string& p : phrases) writer.WriteString(p);
  return writer.GetBytes();
}

bool LoadPhrases(const uint8_t* data, size_t size, std::vector<std::string>& out) {
  out.clear();
  ArchiveReader reader(data, size);
  uint32_t count = 0;
  if (!reader.ReadUInt32(count)) return false;
  for (uint32_t i = 0; i < count; ++i) {
    std::string phrase;
    if (!reader.ReadString(phrase)) return false;
    phrase = CutPhrase(phrase);
    if (!phrase.empty()) out.push_back(std::move(phrase));
  }
  return true;
}

std::string CutPhrase(std::string_view text) {
  const size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  return std::string(text.substr(0, CutGbkText(text.data(), text.size(), kMaxPhraseBytes)));
}

}  // namespace chat
