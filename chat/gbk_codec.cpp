#include "gbk_codec.h"

#include <algorithm>
#include <cstdint>

#include "gbk_tables.h"

namespace chat {
namespace {

// The character of the pair (lead, trail), 0 when there is none.
char16_t PairToWide(unsigned char lead, unsigned char trail) {
  if (lead < 0x81 || lead > 0xFE || trail < 0x40 || trail > 0xFE) return 0;
  return static_cast<char16_t>(kGbkToWide[(lead - 0x81) * 191 + (trail - 0x40)]);
}

}  // namespace

std::u16string GbkToWide(std::string_view gbk) {
  std::u16string out;
  out.reserve(gbk.size());
  for (size_t i = 0; i < gbk.size();) {
    const unsigned char c = static_cast<unsigned char>(gbk[i]);
    if (c < 0x80) {
      out.push_back(c);
      ++i;
    } else if (GbkCharacterWidth(gbk, i) == 2) {
      // A pair in the trail range is one character (or one '?'); a lead byte before a byte
      // outside that range stands alone.
      const char16_t w = PairToWide(c, static_cast<unsigned char>(gbk[i + 1]));
      out.push_back(w ? w : u'?');
      i += 2;
    } else {
      out.push_back(u'?');
      ++i;
    }
  }
  return out;
}

std::string WideToGbk(std::u16string_view wide) {
  std::string out;
  out.reserve(wide.size() * 2);
  for (char16_t w : wide) {
    if (w < 0x80) {
      out.push_back(static_cast<char>(w));
      continue;
    }
    const auto* end = kWideToGbk + std::size(kWideToGbk);
    const auto* it = std::lower_bound(kWideToGbk, end, w, [](const uint16_t(&row)[2], char16_t v) {
      return row[0] < v;
    });
    if (it != end && (*it)[0] == w) {
      out.push_back(static_cast<char>((*it)[1] >> 8));
      out.push_back(static_cast<char>((*it)[1] & 0xFF));
    } else {
      out.push_back('?');
    }
  }
  return out;
}

size_t GbkCharacterWidth(std::string_view gbk, size_t i) {
  if (i >= gbk.size()) return 0;
  if (!IsGbkLeadByte(static_cast<unsigned char>(gbk[i])) || i + 1 >= gbk.size()) return 1;
  const unsigned char trail = static_cast<unsigned char>(gbk[i + 1]);
  return (trail >= 0x40 && trail != 0xFF) ? 2 : 1;
}

size_t GbkCharacterCount(std::string_view gbk) {
  size_t count = 0;
  for (size_t i = 0; i < gbk.size(); ++count) i += GbkCharacterWidth(gbk, i);
  return count;
}

}  // namespace chat
