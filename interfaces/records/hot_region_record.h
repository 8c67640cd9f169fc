// HotRegionRecord: the 536-byte record a host hands by address to the chat control's
// AddHotRegion: one chat line whose span [m_nStart, m_nEnd) is clickable.
#pragma once
#include <cstddef>
#include <cstdint>

#ifndef KORVEL_HOT_REGION_RECORD_DEFINED
#define KORVEL_HOT_REGION_RECORD_DEFINED
struct HotRegionRecord {
  uint8_t m_nKind = 0;           // non-zero: the line starts with a break, system picture, space
  uint8_t m_reserved1[3] = {};
  uint32_t m_nId = 0;            // given back as the click event's window id
  uint8_t m_reserved8[8] = {};
  char m_sText[512] = {};        // the line, NUL-terminated (at most 510 characters are put)
  int16_t m_nStart = 0;          // clickable part, character offsets into the text
  int16_t m_nEnd = 0;
  uint32_t m_nAction = 0;        // given back as the click event's action value
};
#endif

static_assert(sizeof(HotRegionRecord) == 536);
static_assert(offsetof(HotRegionRecord, m_nId) == 4);
static_assert(offsetof(HotRegionRecord, m_sText) == 16);
static_assert(offsetof(HotRegionRecord, m_nStart) == 528);
static_assert(offsetof(HotRegionRecord, m_nEnd) == 530);
static_assert(offsetof(HotRegionRecord, m_nAction) == 532);
