// Message bodies written byte by byte in network order, independently of the client's records
// and converters, and the tile notation of the tests.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "records/card.h"

// The wire code of a tile: value << 3 | colour.
constexpr uint8_t C(int color, int value) { return static_cast<uint8_t>(value << 3 | color); }

class Body {
 public:
  Body& u16(int v) {
    b.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    b.push_back(static_cast<uint8_t>(v & 0xFF));
    return *this;
  }
  Body& s32(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int shift = 24; shift >= 0; shift -= 8) b.push_back(static_cast<uint8_t>(u >> shift));
    return *this;
  }
  // A tile string in a field of size bytes, zero-padded (cut to the field).
  Body& codes(std::initializer_list<uint8_t> list, size_t size) {
    size_t n = 0;
    for (uint8_t c : list) {
      if (n++ < size) b.push_back(c);
    }
    for (; n < size; ++n) b.push_back(0);
    return *this;
  }
  Body& codes(const std::vector<uint8_t>& list, size_t size) {
    for (size_t n = 0; n < size; ++n) b.push_back(n < list.size() ? list[n] : 0);
    return *this;
  }
  Body& zeros(size_t n) {
    b.insert(b.end(), n, 0);
    return *this;
  }
  operator const std::vector<uint8_t>&() const { return b; }
  std::vector<uint8_t> b;
};

// "[c:v c:v]" for codes, as the fakes write tiles.
inline std::string T(std::initializer_list<uint8_t> codes) {
  std::string s;
  for (uint8_t c : codes) {
    if (!s.empty()) s += " ";
    s += std::to_string(c & 7) + ":" + std::to_string(static_cast<int8_t>(c) >> 3);
  }
  return "[" + s + "]";
}
inline std::string T(const std::vector<uint8_t>& codes) {
  std::string s;
  for (uint8_t c : codes) {
    if (!s.empty()) s += " ";
    s += std::to_string(c & 7) + ":" + std::to_string(static_cast<int8_t>(c) >> 3);
  }
  return "[" + s + "]";
}
inline card Tile(uint8_t code) { return card{code & 7, static_cast<int8_t>(code) >> 3}; }
inline std::vector<card> Cards(std::initializer_list<uint8_t> codes) {
  std::vector<card> v;
  for (uint8_t c : codes) v.push_back(Tile(c));
  return v;
}
