// The two records of the client that the table display is handed by address: a seat's avatar
// item and a magic action of the catalogue. The client builds and owns them; the display reads
// the fields named here (the avatar item's owner ids, picture, link, seconds, kind and source
// rectangle; the action's name, width and height) and keeps only the avatar item's address.
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <cstddef>
#include <cstdint>

#ifndef KORVEL_TABLE_ITEMS_DEFINED
#define KORVEL_TABLE_ITEMS_DEFINED

#pragma pack(push, 1)
// 552 bytes. Ids are -1 when none; the texts are GBK, zero-terminated in their arrays.
struct CAvact_Adv_Item {
  int32_t reserved0 = 0;
  int32_t ownerId = -1;     // the person's user id
  int32_t secondId = -1;
  char path[252] = {};      // picture or movie
  char reserved1[3] = {};
  char link[252] = {};      // opened when the player clicks the avatar
  char reserved2[5] = {};
  int32_t seconds = 5;      // how long the board shows (the framework's "width")
  int32_t height = 0;
  int32_t kind = -1;        // 1 picture, any other value a movie
  int32_t source[4] = {};   // left, top, right, bottom within the picture
};
#pragma pack(pop)

// One magic action of the client's catalogue.
struct CActionItem {
  int32_t id = 0;
  int32_t type = 0;
  BSTR name = nullptr;      // the table display compares it with "哈哈笑"
  BSTR spare = nullptr;
  BSTR preview = nullptr;
  BSTR swf = nullptr;       // the movie
  BSTR price = nullptr;
  int32_t value255 = 255;
  int32_t value1 = 1;
  int32_t value0 = 0;
  int32_t width = 250;      // of the window the action plays in
  int32_t height = 250;
};
#endif

static_assert(sizeof(CAvact_Adv_Item) == 552);
static_assert(offsetof(CAvact_Adv_Item, ownerId) == 4);
static_assert(offsetof(CAvact_Adv_Item, path) == 12);
static_assert(offsetof(CAvact_Adv_Item, link) == 267);
static_assert(offsetof(CAvact_Adv_Item, seconds) == 524);
static_assert(offsetof(CAvact_Adv_Item, kind) == 532);
static_assert(offsetof(CAvact_Adv_Item, source) == 536);
static_assert(offsetof(CActionItem, width) == 60);
static_assert(offsetof(CActionItem, height) == 64);
