// The seams between the table model and the window it paints: a drawing surface, the window
// timers and the maker of tile sprite holders. The control implements them with GDI and GDI+;
// the tests record what the model asks for.
#pragma once
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sprite_holder_core.h"
#include "sprite_layout.h"

namespace table {

using Rect = sprites::PixelRect;

inline int32_t Width(const Rect& r) { return r.right - r.left; }
inline int32_t Height(const Rect& r) { return r.bottom - r.top; }
inline bool IsEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }
inline bool Contains(const Rect& r, int32_t x, int32_t y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}
inline bool Intersects(const Rect& a, const Rect& b) {
  return !IsEmpty(a) && !IsEmpty(b) && a.left < b.right && b.left < a.right && a.top < b.bottom &&
         b.top < a.bottom;
}
inline Rect Union(const Rect& a, const Rect& b) {
  if (IsEmpty(a)) return b;
  if (IsEmpty(b)) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}
inline Rect Inflated(const Rect& r, int32_t dx, int32_t dy) {
  return {r.left - dx, r.top - dy, r.right + dx, r.bottom + dy};
}
inline Rect Offset(const Rect& r, int32_t dx, int32_t dy) {
  return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// The pictures of the avatar skin (files of the skin directory).
enum class SkinImage : uint8_t {
  Board, Eat, Peng, Gang, Hu, Clock, Center, Ting, Zhuang, Ready,
  Angry1, Angry2, Laugh1, Laugh2,
  Digit0, Digit1, Digit2, Digit3, Digit4, Digit5, Digit6, Digit7, Digit8, Digit9,
};
inline SkinImage DigitImage(int d) {
  return static_cast<SkinImage>(static_cast<int>(SkinImage::Digit0) + (d % 10 + 10) % 10);
}

// The three marks of a seat.
enum class Mark : uint8_t { Ready, Banker, ReadyHand };

enum class Sound : uint8_t { Deal, Ping };

// One line of text written on the composed background (GBK).
struct TextRun {
  int32_t x = 0, y = 0;
  std::string text;
  bool operator==(const TextRun&) const = default;
};

// One line of the fan panel, as written (GBK).
struct PanelLine {
  std::string text;
};

class TableSurface {
 public:
  virtual ~TableSurface() = default;
  // The control's client rectangle.
  virtual Rect ClientRect() const = 0;
  // The clock picture's size (0 x 0 without the avatar skin).
  virtual sprites::BitmapSize ClockSize() const = 0;
  // The area a seat restores after a meld announcement (the size of resource bitmap 470).
  virtual sprites::BitmapSize MeldAreaSize() const = 0;

  // Rebuilds the composed background: the centre picture (or the brush) and the texts.
  virtual void ComposeBackground(const Rect& client, const std::vector<TextRun>& texts) = 0;
  // Copies the rectangle of the composed background onto the window.
  virtual void RestoreBackground(const Rect& r) = 0;
  // A holder draws itself into the rectangle; with parts, only those parts reach the window.
  virtual void DrawHolder(sprites::SpriteHolderCore& holder, const Rect& r) = 0;
  virtual void DrawHolderParts(sprites::SpriteHolderCore& holder, const Rect& whole,
                               const std::vector<Rect>& parts) = 0;
  virtual void DrawMark(Mark mark, const Rect& r) = 0;
  virtual bool HasMark(Mark mark) const = 0;
  // A skin picture stretched into r with an opacity (1 = opaque).
  virtual void DrawImage(SkinImage image, const Rect& r, float opacity) = 0;
  // A meld announcement on a big screen: the background under a 200 x 200 buffer at (x, y),
  // the picture over it with the opacity, the buffer to the window.
  virtual void DrawFadedImage(SkinImage image, int32_t x, int32_t y, float opacity) = 0;
  virtual void PlaySound(Sound sound, int times) = 0;
  // A button's state changed (enabled, shown, checked, place).
  virtual void ButtonChanged(int id) = 0;
  // The score list window: placed and shown or hidden; its contents changed.
  virtual void ScoreListChanged() = 0;
  // Height of a line of text in the table's font, as the fan panel measures it.
  virtual int32_t MeasureLineHeight(const std::string& text) = 0;
};

class TimerHost {
 public:
  virtual ~TimerHost() = default;
  virtual void SetTimer(uint32_t id, uint32_t periodMs) = 0;
  virtual void KillTimer(uint32_t id) = 0;
};

// The bitmap set a sprite is made from (Part of the control's resources).
enum class TileSet : uint8_t { Small, Large, Medium };

struct SpriteSpec {
  uint16_t kind = 4;
  uint16_t angle = 0;
  int16_t margin = 0;
  uint16_t mode = 0;
  uint32_t background = 0x8000;
  TileSet set = TileSet::Small;
  bool operator==(const SpriteSpec&) const = default;
};

class HolderFactory {
 public:
  virtual ~HolderFactory() = default;
  virtual std::unique_ptr<sprites::SpriteHolderCore> NewHolder() = 0;
  virtual void CreateSprite(sprites::SpriteHolderCore& holder, const SpriteSpec& spec) = 0;
};

}  // namespace table
