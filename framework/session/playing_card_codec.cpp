#include "playing_card_codec.h"

#include <cstdio>

namespace {

constexpr uint8_t kFirstCard = 4, kLastCard = 55, kBlackJoker = 56, kRedJoker = 57;
constexpr int32_t kAceHigh = 14;

// "FromCharsToCards:无效字符：%d" and "FromCardsToChars:无效字符：%d"
constexpr char kTextBadDecode[] = "FromCharsToCards:\xce\xde\xd0\xa7\xd7\xd6\xb7\xfb\xa3\xba%d";
constexpr char kTextBadEncode[] = "FromCardsToChars:\xce\xde\xd0\xa7\xd7\xd6\xb7\xfb\xa3\xba%d";

std::string Complaint(const char* format, int code) {
  char text[64];
  std::snprintf(text, sizeof text, format, code);
  return text;
}

// The card's code, or -1 when it has none.
int Code(const card& c) {
  if (c.m_nColor == 4 && c.m_nValue == 17) return kBlackJoker;
  if (c.m_nColor == 5 && c.m_nValue == 18) return kRedJoker;
  if (c.m_nColor < 0 || c.m_nColor > 3) return -1;
  const int32_t rank = c.m_nValue == kAceHigh ? 1 : c.m_nValue;
  if (rank < 1 || rank > 13) return -1;
  return rank << 2 | c.m_nColor;
}

}  // namespace

void PlayingCardsFromCodes(int16_t count, const uint8_t* codes, card* cards,
                           std::vector<std::string>& complaints) {
  if (count <= 0 || !codes || !cards) return;
  for (int16_t i = 0; i < count; ++i) {
    const uint8_t code = codes[i];
    card& c = cards[i];
    if (code >= kFirstCard && code <= kLastCard) {
      c.m_nColor = code & 3;
      c.m_nValue = code < 8 ? kAceHigh : code >> 2;
    } else if (code == kBlackJoker) {
      c = card{4, 17};
    } else if (code == kRedJoker) {
      c = card{5, 18};
    } else {
      c = card{0, 0};
      complaints.push_back(Complaint(kTextBadDecode, code));
    }
  }
}

int16_t CodesFromPlayingCards(int16_t count, const card* cards, uint8_t* codes,
                              std::vector<std::string>& complaints) {
  if (count <= 0 || !cards || !codes) return 0;
  if (count > kMostPlayingCards) count = kMostPlayingCards;
  int16_t written = 0;
  for (int16_t i = 0; i < count; ++i) {
    const int code = Code(cards[i]);
    if (code < 0) {
      // What the card would have been coded as, for the message.
      complaints.push_back(Complaint(kTextBadEncode, cards[i].m_nValue << 2 | (cards[i].m_nColor & 3)));
      continue;
    }
    codes[written++] = static_cast<uint8_t>(code);
  }
  return written;
}
