// Network byte order (big-endian) for the wire records. Records are filled in host order and
// flipped in place just before they are packed; received records are flipped back after they
// are copied out of the delivery. FlipByteOrder is its own inverse: on a little-endian host it
// swaps the bytes, on a big-endian host it leaves them.
#pragma once
#include <cstdint>
#include <cstring>

inline uint16_t LoadBigEndian16(const uint8_t* p) {
  return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

inline uint32_t LoadBigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

inline void StoreBigEndian16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}

inline void StoreBigEndian32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

// Reads the bytes of v as they lie in memory as a big-endian number.
inline uint16_t NetworkOrder16(uint16_t v) {
  uint8_t b[2];
  std::memcpy(b, &v, 2);
  return LoadBigEndian16(b);
}

inline uint32_t NetworkOrder32(uint32_t v) {
  uint8_t b[4];
  std::memcpy(b, &v, 4);
  return LoadBigEndian32(b);
}

inline void FlipByteOrder(uint16_t& v) { v = NetworkOrder16(v); }
inline void FlipByteOrder(int16_t& v) {
  v = static_cast<int16_t>(NetworkOrder16(static_cast<uint16_t>(v)));
}
inline void FlipByteOrder(uint32_t& v) { v = NetworkOrder32(v); }
inline void FlipByteOrder(int32_t& v) {
  v = static_cast<int32_t>(NetworkOrder32(static_cast<uint32_t>(v)));
}

template <class... Fields>
inline void FlipByteOrders(Fields&... fields) {
  (FlipByteOrder(fields), ...);
}
