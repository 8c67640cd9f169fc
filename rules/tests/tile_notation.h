// Test notation for tiles: digits followed by a colour letter, spaces ignored.
//   m characters, p dots, s bamboo, w winds, d dragons, f seasons, g flowers, j wild
// "123m 55p 1j" is 1, 2, 3 of characters, two 5 of dots and one wild tile.
#pragma once
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "korvel_rules.h"

inline std::vector<card> Tiles(std::string_view text) {
  std::vector<card> out;
  std::vector<int> pending;
  for (char ch : text) {
    if (ch == ' ') continue;
    if (ch >= '0' && ch <= '9') {
      pending.push_back(ch - '0');
      continue;
    }
    int color = -1;
    switch (ch) {
      case 'm': color = ColorCharacters; break;
      case 'p': color = ColorDots; break;
      case 's': color = ColorBamboo; break;
      case 'w': color = ColorWinds; break;
      case 'd': color = ColorDragons; break;
      case 'f': color = ColorSeasons; break;
      case 'g': color = ColorFlowers; break;
      case 'j': color = ColorWild; break;
      default: throw std::invalid_argument("bad tile notation: " + std::string(text));
    }
    if (pending.empty()) throw std::invalid_argument("colour without values: " + std::string(text));
    for (int v : pending) out.push_back({color, v});
    pending.clear();
  }
  if (!pending.empty()) throw std::invalid_argument("values without colour: " + std::string(text));
  return out;
}

inline card Tile(std::string_view text) {
  std::vector<card> tiles = Tiles(text);
  if (tiles.size() != 1) throw std::invalid_argument("not one tile: " + std::string(text));
  return tiles[0];
}

inline std::string TileText(const card& c) {
  static const char kLetters[] = "mpswdfgj";
  if (c.m_nColor < 0 || c.m_nColor > 7) {
    return "(" + std::to_string(c.m_nColor) + "," + std::to_string(c.m_nValue) + ")";
  }
  return std::to_string(c.m_nValue) + kLetters[c.m_nColor];
}

template <typename List>
std::string TilesText(const List& tiles) {
  std::string out;
  for (const card& c : tiles) {
    if (!out.empty()) out += ' ';
    out += TileText(c);
  }
  return out;
}

inline std::string GroupText(const MeldGroup& g) {
  FixedList<card, 16> tiles;
  AppendGroupTiles(g, tiles);
  std::string out = "[";
  for (int i = tiles.size() - 1; i >= 0; --i) out += std::to_string(tiles[i].m_nValue);
  out += "mpswdfgj"[g.m_nColor >= 0 && g.m_nColor <= 7 ? g.m_nColor : 7];
  return out + "]";
}

template <typename List>
std::string GroupsText(const List& groups) {
  std::string out;
  for (const MeldGroup& g : groups) out += GroupText(g);
  return out;
}

inline std::vector<card> WithoutWilds(const std::vector<card>& tiles) {
  std::vector<card> out;
  for (const card& c : tiles) {
    if (!IsWildCard(c)) out.push_back(c);
  }
  return out;
}

inline int WildCount(const std::vector<card>& tiles) {
  int n = 0;
  for (const card& c : tiles) n += IsWildCard(c) ? 1 : 0;
  return n;
}
