#include "dirty_word_filter.h"

#include <bitset>
#include <iterator>

#include "dirty_words.h"
#include "gbk_codec.h"

namespace chat {

CDirtyWordFilter::CDirtyWordFilter() : m_words(kDirtyWordTable) {}

size_t CDirtyWordFilter::GetTableSize() { return std::size(kDirtyWordTable); }

int CDirtyWordFilter::FindWord(std::u16string_view text, int start, std::u16string_view word) {
  if (start < 0 || word.empty() || text.size() < static_cast<size_t>(start) + word.size())
    return -1;
  const size_t star = word.find(u'*');
  if (star == std::u16string_view::npos) {
    const size_t at = text.find(word, static_cast<size_t>(start));
    return at == std::u16string_view::npos ? -1 : static_cast<int>(at);
  }
  const std::u16string_view head = word.substr(0, star);
  const std::u16string_view tail = word.substr(star + 1);
  const size_t head_at = text.find(head, static_cast<size_t>(start));
  if (head_at == std::u16string_view::npos) return -1;
  // The tail is looked for after the head, so "head ... tail" is a hit and "tail ... head" is
  // not.
  return FindWord(text, static_cast<int>(head_at + head.size()), tail);
}

bool CDirtyWordFilter::CheckText(std::u16string_view text, int16_t& position,
                                 int16_t& length) const {
  std::u16string packed;
  packed.reserve(text.size());
  for (char16_t c : text)
    if (c != u' ') packed.push_back(c);

  if (packed.size() == 1)
    for (char16_t single : kSingleDirtyWords)
      if (packed[0] == single) return false;

  // A word can only be found when its first character is in the text (a word that begins
  // with its wildcard excepted): the others are passed over without a search.
  std::bitset<65536> present;
  for (char16_t c : packed) present.set(c);
  for (size_t i = 0; i < GetTableSize(); ++i) {
    const std::u16string_view word(m_words[i]);
    if (!word.empty() && word[0] != u'*' && !present.test(word[0])) {
      position = -1;
      continue;
    }
    const int at = FindWord(packed, 0, word);
    position = static_cast<int16_t>(at);
    if (at >= 0) {
      length = static_cast<int16_t>(word.size());
      return false;
    }
  }
  position = 0;
  length = 0;
  return true;
}

bool CDirtyWordFilter::CheckGbkText(std::string_view gbk) const {
  int16_t position = 0, length = 0;
  return CheckText(GbkToWide(gbk), position, length);
}

}  // namespace chat
