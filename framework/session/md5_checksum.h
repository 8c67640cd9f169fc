// MD5 message digest (RFC 1321): CMD5Checksum is the incremental object (initialise, update with
// any number of bytes, finalise to 16 bytes); Md5Digest is the one-shot form.
#pragma once
#include <cstddef>
#include <cstdint>

class CMD5Checksum {
 public:
  static constexpr size_t kDigestSize = 16;

  CMD5Checksum() { Initialise(); }

  void Initialise();
  void Update(const void* data, size_t count);
  // Writes the digest and leaves the object initialised for a new message.
  void Finalise(uint8_t digest[kDigestSize]);

 private:
  uint32_t m_state[4];
  uint64_t m_count;        // bytes taken so far
  uint8_t m_buffer[64];    // the pending part of a block: m_count % 64 bytes
};

void Md5Digest(const void* data, size_t count, uint8_t digest[CMD5Checksum::kDigestSize]);
