// One tile as it crosses every interface of the system: {colour, value}, 8 bytes.
// The rules engine's type library calls it `card`, the table display's `mjtablecard` and the
// board's `mjcard`; all three are this record.
#pragma once
#include <cstddef>
#include <cstdint>

#ifndef KORVEL_CARD_DEFINED
#define KORVEL_CARD_DEFINED
struct card {
  int32_t m_nColor;
  int32_t m_nValue;
};
#endif

static_assert(sizeof(card) == 8);
static_assert(offsetof(card, m_nColor) == 0);
static_assert(offsetof(card, m_nValue) == 4);

// The type-library headers include this file inside their extern "C" block.
extern "C++" inline bool operator==(const card& a, const card& b) {
  return a.m_nColor == b.m_nColor && a.m_nValue == b.m_nValue;
}
