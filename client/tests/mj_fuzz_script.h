// The mahjong receive fuzzer's input form, shared by the fuzzer and by the tests, which leave the
// hands they play in this form as its seeds (KORVEL_MJ_RECEIVE_SEEDS naming a folder).
//
// A script: a flags byte (bit 0: the local seat; bit 1 set: the local user watches; bit 2 set:
// the real rules engine sits behind the table), then steps of a selector byte, a length byte and
// that many body bytes. Selectors below kMjFuzzIdCount name kMjFuzzIds[selector] with the body
// made as long as its record (zeros appended), so that the handlers are reached; the next
// kMjFuzzIdCount selectors name the same ids with the body as given (a short body is dropped
// before a handler); higher selectors are player actions.
#pragma once
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

constexpr uint16_t kMjFuzzIds[] = {601, 602, 606, 607, 611, 616, 617, 621, 622, 623, 626, 627, 628,
                                   631, 636, 637, 638, 639, 641, 642, 651, 652, 653, 654, 655, 699};
constexpr size_t kMjFuzzIdCount = std::size(kMjFuzzIds);

constexpr uint8_t kMjFuzzWatching = 2;
constexpr uint8_t kMjFuzzRealEngine = 4;

// The selector of id with its body padded to the record; -1 for an id the fuzzer does not send.
inline int MjFuzzSelector(uint16_t id) {
  for (size_t i = 0; i < kMjFuzzIdCount; ++i)
    if (kMjFuzzIds[i] == id) return static_cast<int>(i);
  return -1;
}

// Appends one message step; false when the id is not the fuzzer's or the body does not fit.
inline bool AppendMjFuzzStep(std::vector<uint8_t>& script, uint16_t id, const uint8_t* body,
                             size_t size) {
  const int selector = MjFuzzSelector(id);
  if (selector < 0 || size > 255) return false;
  script.push_back(static_cast<uint8_t>(selector));
  script.push_back(static_cast<uint8_t>(size));
  script.insert(script.end(), body, body + size);
  return true;
}
