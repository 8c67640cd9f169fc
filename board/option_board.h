// The option board without a window: the three rows of tile groups, the display list that says
// which row shows in which band, the colours, where each listed row is drawn, which band a click
// falls in, and the one-choice-per-click rule for double clicks.
//
// The control (control/) keeps the rows' sprites in step with Groups() and draws them where
// LayoutRows puts them; this core decides everything else.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "records/card.h"

namespace board {

// Row ids are 0, 1 and 2.
constexpr int16_t kRowCount = 3;
// A row holds at most this many tiles (four kongs); a group that would take a row past it is
// not added, so a row never shows part of a combination.
constexpr size_t kMaxRowTiles = 16;
// The display list holds at most this many entries; InsertRow past it changes nothing.
constexpr size_t kMaxListed = 64;

// The colour the board starts with: green 125 (a COLORREF, 0x00BBGGRR).
constexpr uint32_t kStartColour = 0x007D00;
// The colour the row sprites are created with, until the first SetBkColor.
constexpr uint32_t kRowStartColour = 0x008000;

using Group = std::vector<card>;

// How each row's sprite is made: the grouped row (kind 6) upright, 10 pixels above the tiles
// for a raised kong tile, drawn with the second frame set (mode 1), faces set 3 pixels in from
// the tile's left edge and 1 down.
struct RowSpriteSettings {
  static constexpr uint16_t kKind = 6;
  static constexpr uint16_t kAngle = 0;
  static constexpr int16_t kTopMargin = 10;
  static constexpr uint16_t kMode = 1;
  static constexpr uint16_t kFaceOffsetX = 3;
  static constexpr uint16_t kFaceOffsetY = 1;
};

struct RowSize {
  int32_t w = 0, h = 0;
};

// Where one display-list entry is drawn: position in the list, its row id and its rectangle.
struct RowPlacement {
  size_t position = 0;
  int16_t row = 0;
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const RowPlacement&) const = default;
};

// Each entry of `list` centred in its own band of height clientH / n (bands from the top in
// list order), with the size of its row. Empty when the list is.
std::vector<RowPlacement> LayoutRows(const std::vector<int16_t>& list, int32_t clientW,
                                     int32_t clientH, const std::array<RowSize, kRowCount>& sizes);

// The band of display-list position i among n when y falls in it: (top, bottom] with
// top = i * band + (band - rowH) / 2. The bands are measured with the height of the rows
// (rowH), so each reaches from the top of its row to the top of the next.
struct Band {
  int32_t top = 0, bottom = 0;
};
std::optional<Band> HitTestRow(size_t i, size_t n, int32_t clientH, int32_t rowH, int32_t y);

class OptionBoard {
 public:
  // IMjBoard::InsertRow: row `id` (0..2) gets one more group and joins the end of the display
  // list. Other ids change nothing. The id joins the list even when the group is not added (no
  // tiles, or more than the row holds), so positions keep matching the caller's options.
  // Returns whether the display list changed.
  bool InsertRow(int16_t id, int16_t count, const card* cards);
  // IMjBoard::AddCards: one more group for row `id` per listing of `id`.
  void AddCards(int16_t id, int16_t count, const card* cards);
  // IMjBoard::ClearAll: every row empty, the display list empty.
  void ClearAll();

  const std::vector<int16_t>& DisplayList() const { return m_List; }
  const std::vector<Group>& Groups(int16_t row) const;
  size_t TileCount(int16_t row) const;
  // Bumped whenever a row's groups change: the control brings its sprites in step.
  uint32_t Revision() const { return m_Revision; }

  // Colours (COLORREF): the stock BackColor property, and the brush that paints the board and
  // the rows (set by SetBkColor only).
  uint32_t BackColor() const { return m_BackColor; }
  void PutBackColor(uint32_t colour) { m_BackColor = colour; }
  uint32_t BrushColour() const { return m_BrushColour; }
  // The rows' own background: kRowStartColour until the first SetBkColor.
  uint32_t RowColour() const { return m_RowColour; }
  void SetBkColor(uint32_t colour);

  // The display-list position a click at y picks, if any: the band it falls in, whatever its
  // row holds.
  std::optional<size_t> FindRow(int32_t clientH, int32_t rowH, int32_t y) const;
  // WM_LBUTTONDOWN at y: the position to report (and repaint for), if any.
  std::optional<size_t> Press(int32_t clientH, int32_t rowH, int32_t y);
  // WM_LBUTTONDBLCLK at y: the second press of a double click. It reports nothing when the
  // first press already reported a choice; otherwise it counts as a press.
  std::optional<size_t> DoubleClick(int32_t clientH, int32_t rowH, int32_t y);

 private:
  bool AddGroup(int16_t id, int16_t count, const card* cards);

  std::array<std::vector<Group>, kRowCount> m_Rows;
  std::vector<int16_t> m_List;
  uint32_t m_Revision = 0;
  uint32_t m_BackColor = kStartColour;
  uint32_t m_BrushColour = kStartColour;
  uint32_t m_RowColour = kRowStartColour;
  bool m_PressReported = false;
};

}  // namespace board
