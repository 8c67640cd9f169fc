// The two records the client hands the table display by address: a magic action of the
// catalogue (CActionItem) and a seat's avatar (CAvact_Adv_Item). The client builds and owns
// them; the display reads the action's name, movie path and window size, and the avatar's ids,
// picture path, link, kind and source rectangle. Both sides compile this one definition.
// Texts are zero-terminated GBK in fixed arrays, so the records hold no pointer to free.
#pragma once
#include <cstddef>
#include <cstdint>

#ifndef KORVEL_MAGIC_RECORDS_DEFINED
#define KORVEL_MAGIC_RECORDS_DEFINED
struct CActionItem {
  static constexpr size_t kTextSize = 256;  // catalogue texts: at most 254 characters are read
  static constexpr size_t kPathSize = 520;  // folder + "\" + file name
  int32_t id = 0;
  int32_t type = 0;           // index of the catalogue's TYPE%d section
  char name[kTextSize] = {};  // the display gives "哈哈笑" a fixed 200 x 200 window
  char spare[kTextSize] = {};
  char preview[kPathSize] = {};  // preview picture
  char swf[kPathSize] = {};      // the movie the display plays
  char price[kTextSize] = {};    // kept as text
  int32_t value255 = 255;
  int32_t value1 = 1;
  int32_t value0 = 0;
  int32_t width = 250;   // the animation window; the catalogue sets 300 x 300 or the show size
  int32_t height = 250;
};

struct CAvact_Adv_Item {
  static constexpr size_t kPathSize = 252;
  int32_t reserved0 = 0;
  int32_t userId = -1;            // owner; -1 = an avatar for any free seat
  int32_t secondId = -1;
  char path[kPathSize] = {};      // picture or movie, zero-terminated GBK
  char reserved264[3] = {};
  char link[kPathSize] = {};      // opened on a double click; empty = nothing
  char reserved519 = 0;
  int32_t reserved520 = 0;
  int32_t width = 5;
  int32_t height = 0;
  int32_t kind = -1;              // 1 picture, any other value a movie
  int32_t source[4] = {};         // left, top, right, bottom within the picture
};
#endif

static_assert(offsetof(CActionItem, name) == 8);
static_assert(sizeof(CAvact_Adv_Item) == 552);
static_assert(offsetof(CAvact_Adv_Item, userId) == 4);
static_assert(offsetof(CAvact_Adv_Item, secondId) == 8);
static_assert(offsetof(CAvact_Adv_Item, path) == 12);
static_assert(offsetof(CAvact_Adv_Item, link) == 267);
static_assert(offsetof(CAvact_Adv_Item, width) == 524);
static_assert(offsetof(CAvact_Adv_Item, kind) == 532);
static_assert(offsetof(CAvact_Adv_Item, source) == 536);
