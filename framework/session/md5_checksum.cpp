#include "md5_checksum.h"

#include <cstring>

namespace {

inline uint32_t LoadLittleEndian32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

inline void StoreLittleEndian32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

inline uint32_t RotateLeft(uint32_t x, int s) { return (x << s) | (x >> (32 - s)); }

// The round functions, in forms that need one operation fewer than the RFC's text.
inline uint32_t F(uint32_t x, uint32_t y, uint32_t z) { return z ^ (x & (y ^ z)); }
// G(x, y, z) = (x & z) | (y & ~z): its two halves are disjoint bit sets, so MD5_STEP_G adds them
// one at a time, the half that does not wait for the previous step's result first.
inline uint32_t H(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }
inline uint32_t I(uint32_t x, uint32_t y, uint32_t z) { return y ^ (x | ~z); }

// The message word and the constant are added before the round function, which waits for b.
#define MD5_STEP(f, a, b, c, d, x, t, s) \
  a += (x) + (t);                        \
  a += f(b, c, d);                       \
  a = RotateLeft(a, s) + b;

#define MD5_STEP_G(a, b, c, d, x, t, s) \
  a += (x) + (t);                       \
  a += c & ~d;                          \
  a += b & d;                           \
  a = RotateLeft(a, s) + b;

// Runs the compression function over count whole 64-byte blocks.
void TransformBlocks(uint32_t state[4], const uint8_t* p, size_t count) {
  uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  for (; count > 0; --count, p += 64) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = LoadLittleEndian32(p + 4 * i);
    const uint32_t aa = a, bb = b, cc = c, dd = d;

    MD5_STEP(F, a, b, c, d, x[0], 0xd76aa478, 7)
    MD5_STEP(F, d, a, b, c, x[1], 0xe8c7b756, 12)
    MD5_STEP(F, c, d, a, b, x[2], 0x242070db, 17)
    MD5_STEP(F, b, c, d, a, x[3], 0xc1bdceee, 22)
    MD5_STEP(F, a, b, c, d, x[4], 0xf57c0faf, 7)
    MD5_STEP(F, d, a, b, c, x[5], 0x4787c62a, 12)
    MD5_STEP(F, c, d, a, b, x[6], 0xa8304613, 17)
    MD5_STEP(F, b, c, d, a, x[7], 0xfd469501, 22)
    MD5_STEP(F, a, b, c, d, x[8], 0x698098d8, 7)
    MD5_STEP(F, d, a, b, c, x[9], 0x8b44f7af, 12)
    MD5_STEP(F, c, d, a, b, x[10], 0xffff5bb1, 17)
    MD5_STEP(F, b, c, d, a, x[11], 0x895cd7be, 22)
    MD5_STEP(F, a, b, c, d, x[12], 0x6b901122, 7)
    MD5_STEP(F, d, a, b, c, x[13], 0xfd987193, 12)
    MD5_STEP(F, c, d, a, b, x[14], 0xa679438e, 17)
    MD5_STEP(F, b, c, d, a, x[15], 0x49b40821, 22)

    MD5_STEP_G(a, b, c, d, x[1], 0xf61e2562, 5)
    MD5_STEP_G(d, a, b, c, x[6], 0xc040b340, 9)
    MD5_STEP_G(c, d, a, b, x[11], 0x265e5a51, 14)
    MD5_STEP_G(b, c, d, a, x[0], 0xe9b6c7aa, 20)
    MD5_STEP_G(a, b, c, d, x[5], 0xd62f105d, 5)
    MD5_STEP_G(d, a, b, c, x[10], 0x02441453, 9)
    MD5_STEP_G(c, d, a, b, x[15], 0xd8a1e681, 14)
    MD5_STEP_G(b, c, d, a, x[4], 0xe7d3fbc8, 20)
    MD5_STEP_G(a, b, c, d, x[9], 0x21e1cde6, 5)
    MD5_STEP_G(d, a, b, c, x[14], 0xc33707d6, 9)
    MD5_STEP_G(c, d, a, b, x[3], 0xf4d50d87, 14)
    MD5_STEP_G(b, c, d, a, x[8], 0x455a14ed, 20)
    MD5_STEP_G(a, b, c, d, x[13], 0xa9e3e905, 5)
    MD5_STEP_G(d, a, b, c, x[2], 0xfcefa3f8, 9)
    MD5_STEP_G(c, d, a, b, x[7], 0x676f02d9, 14)
    MD5_STEP_G(b, c, d, a, x[12], 0x8d2a4c8a, 20)

    MD5_STEP(H, a, b, c, d, x[5], 0xfffa3942, 4)
    MD5_STEP(H, d, a, b, c, x[8], 0x8771f681, 11)
    MD5_STEP(H, c, d, a, b, x[11], 0x6d9d6122, 16)
    MD5_STEP(H, b, c, d, a, x[14], 0xfde5380c, 23)
    MD5_STEP(H, a, b, c, d, x[1], 0xa4beea44, 4)
    MD5_STEP(H, d, a, b, c, x[4], 0x4bdecfa9, 11)
    MD5_STEP(H, c, d, a, b, x[7], 0xf6bb4b60, 16)
    MD5_STEP(H, b, c, d, a, x[10], 0xbebfbc70, 23)
    MD5_STEP(H, a, b, c, d, x[13], 0x289b7ec6, 4)
    MD5_STEP(H, d, a, b, c, x[0], 0xeaa127fa, 11)
    MD5_STEP(H, c, d, a, b, x[3], 0xd4ef3085, 16)
    MD5_STEP(H, b, c, d, a, x[6], 0x04881d05, 23)
    MD5_STEP(H, a, b, c, d, x[9], 0xd9d4d039, 4)
    MD5_STEP(H, d, a, b, c, x[12], 0xe6db99e5, 11)
    MD5_STEP(H, c, d, a, b, x[15], 0x1fa27cf8, 16)
    MD5_STEP(H, b, c, d, a, x[2], 0xc4ac5665, 23)

    MD5_STEP(I, a, b, c, d, x[0], 0xf4292244, 6)
    MD5_STEP(I, d, a, b, c, x[7], 0x432aff97, 10)
    MD5_STEP(I, c, d, a, b, x[14], 0xab9423a7, 15)
    MD5_STEP(I, b, c, d, a, x[5], 0xfc93a039, 21)
    MD5_STEP(I, a, b, c, d, x[12], 0x655b59c3, 6)
    MD5_STEP(I, d, a, b, c, x[3], 0x8f0ccc92, 10)
    MD5_STEP(I, c, d, a, b, x[10], 0xffeff47d, 15)
    MD5_STEP(I, b, c, d, a, x[1], 0x85845dd1, 21)
    MD5_STEP(I, a, b, c, d, x[8], 0x6fa87e4f, 6)
    MD5_STEP(I, d, a, b, c, x[15], 0xfe2ce6e0, 10)
    MD5_STEP(I, c, d, a, b, x[6], 0xa3014314, 15)
    MD5_STEP(I, b, c, d, a, x[13], 0x4e0811a1, 21)
    MD5_STEP(I, a, b, c, d, x[4], 0xf7537e82, 6)
    MD5_STEP(I, d, a, b, c, x[11], 0xbd3af235, 10)
    MD5_STEP(I, c, d, a, b, x[2], 0x2ad7d2bb, 15)
    MD5_STEP(I, b, c, d, a, x[9], 0xeb86d391, 21)

    a += aa;
    b += bb;
    c += cc;
    d += dd;
  }
  state[0] = a;
  state[1] = b;
  state[2] = c;
  state[3] = d;
}

#undef MD5_STEP
#undef MD5_STEP_G

}  // namespace

void CMD5Checksum::Initialise() {
  m_state[0] = 0x67452301;
  m_state[1] = 0xefcdab89;
  m_state[2] = 0x98badcfe;
  m_state[3] = 0x10325476;
  m_count = 0;
}

void CMD5Checksum::Update(const void* data, size_t count) {
  if (count == 0) return;
  const uint8_t* p = static_cast<const uint8_t*>(data);
  size_t pending = static_cast<size_t>(m_count % 64);
  m_count += count;
  if (pending > 0) {
    const size_t take = (count < 64 - pending) ? count : 64 - pending;
    std::memcpy(m_buffer + pending, p, take);
    p += take;
    count -= take;
    pending += take;
    if (pending < 64) return;
    TransformBlocks(m_state, m_buffer, 1);
  }
  if (count >= 64) {
    TransformBlocks(m_state, p, count / 64);
    p += count - count % 64;
    count %= 64;
  }
  if (count > 0) std::memcpy(m_buffer, p, count);
}

void CMD5Checksum::Finalise(uint8_t digest[kDigestSize]) {
  const uint64_t bits = m_count * 8;
  size_t pending = static_cast<size_t>(m_count % 64);
  m_buffer[pending++] = 0x80;
  if (pending > 56) {
    std::memset(m_buffer + pending, 0, 64 - pending);
    TransformBlocks(m_state, m_buffer, 1);
    pending = 0;
  }
  std::memset(m_buffer + pending, 0, 56 - pending);
  StoreLittleEndian32(m_buffer + 56, static_cast<uint32_t>(bits));
  StoreLittleEndian32(m_buffer + 60, static_cast<uint32_t>(bits >> 32));
  TransformBlocks(m_state, m_buffer, 1);
  for (int i = 0; i < 4; ++i) StoreLittleEndian32(digest + 4 * i, m_state[i]);
  Initialise();
}

void Md5Digest(const void* data, size_t count, uint8_t digest[CMD5Checksum::kDigestSize]) {
  CMD5Checksum md5;
  md5.Update(data, count);
  md5.Finalise(digest);
}
