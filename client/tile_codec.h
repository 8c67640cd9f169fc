// The one-byte wire form of a tile (TileCode): value << 3 | colour. Tile strings in the mahjong
// messages are runs of such bytes; a zero byte is the face-down tile {0, 0} and ends a string.
#pragma once
#include <cstdint>
#include <vector>

#include "records/card.h"

// The code that no tile has (value 4, colour 4: there is no fourth dragon). Both directions
// report it.
constexpr uint8_t kInvalidTileCode = 36;

// The bit rule: colour = code & 7, value = the signed byte shifted right by three.
inline card TileFromCode(uint8_t code) {
  return card{code & 7, static_cast<int8_t>(code) >> 3};
}
inline uint8_t CodeFromTile(const card& c) {
  return static_cast<uint8_t>((static_cast<uint32_t>(c.m_nValue) << 3) |
                              static_cast<uint32_t>(c.m_nColor));
}

// What FromCharsToCards appends for the invalid code: the face-down tile, which no control
// takes for a real tile.
constexpr card kTileForInvalidCode = {0, 0};

// Appends count tiles to out, one per code (count < 1 appends nothing); calls report(code) for
// each invalid code, which still appends one tile. Returns the number appended.
template <class Report>
int16_t DecodeTiles(int16_t count, const uint8_t* codes, std::vector<card>& out, Report report) {
  if (count <= 0 || codes == nullptr) return 0;
  out.reserve(out.size() + static_cast<size_t>(count));
  for (int16_t i = 0; i < count; ++i) {
    if (codes[i] == kInvalidTileCode) {
      report(static_cast<int8_t>(codes[i]));
      out.push_back(kTileForInvalidCode);
    } else {
      out.push_back(TileFromCode(codes[i]));
    }
  }
  return count;
}

// Writes one code per tile (no terminator) and sets count to the number of tiles; calls
// report(code) for each invalid code, which is still written.
template <class Report>
int16_t EncodeTiles(int16_t& count, uint8_t* codes, const std::vector<card>& tiles, Report report) {
  count = static_cast<int16_t>(tiles.size());
  for (size_t i = 0; i < tiles.size(); ++i) {
    codes[i] = CodeFromTile(tiles[i]);
    if (codes[i] == kInvalidTileCode) report(static_cast<int8_t>(codes[i]));
  }
  return count;
}
