// CDirtyWordFilter: whether a chat line may be shown or sent. The word table is fixed (545
// words in dirty_words.txt, the first found decides); a word "head*tail" stands for its head
// followed, anywhere later in the line, by its tail. Four further one-character words are
// refused only as a whole line. Texts are UTF-16; spaces are taken out before the check, so a
// word spelt with blanks between its letters is still found.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace chat {

class CDirtyWordFilter {
 public:
  CDirtyWordFilter();

  // True when the text is clean (position and length then 0). On a table hit, position is
  // where the match was reported and length the table word's length ("*" counted); on a
  // one-character hit both are left as they were.
  bool CheckText(std::u16string_view text, int16_t& position, int16_t& length) const;
  // The same for a GBK text.
  bool CheckGbkText(std::string_view gbk) const;

  // The position of word in text at or after start, or -1. A word with "*" reports the
  // position of its tail.
  static int FindWord(std::u16string_view text, int start, std::u16string_view word);

  static size_t GetTableSize();

 private:
  const char16_t* const* m_words;
};

}  // namespace chat
