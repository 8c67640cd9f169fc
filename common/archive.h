// Archives in the MFC conventions, as the client's saved files use them: numbers little-endian
// (16-bit as two bytes, 32-bit as four), strings as a length prefix and the bytes without a NUL.
// The length prefix is one byte below 0xFF; else 0xFF and a 16-bit length below 0xFFFE; else
// 0xFF, 0xFFFF and a 32-bit length.
// Loading is bounds-checked: a read past the end (or a malformed prefix) fails, the failure
// sticks, and every later read fails too, so a loader can check once at the end.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class ArchiveWriter {
 public:
  void WriteByte(uint8_t value) { m_bytes.push_back(value); }
  void WriteUInt16(uint16_t value);
  void WriteInt16(int16_t value) { WriteUInt16(static_cast<uint16_t>(value)); }
  void WriteUInt32(uint32_t value);
  void WriteInt32(int32_t value) { WriteUInt32(static_cast<uint32_t>(value)); }
  void WriteString(std::string_view text);
  void WriteBytes(const void* data, size_t size);

  const std::vector<uint8_t>& GetBytes() const { return m_bytes; }

 private:
  std::vector<uint8_t> m_bytes;
};

class ArchiveReader {
 public:
  ArchiveReader(const uint8_t* data, size_t size) : m_data(data), m_size(data ? size : 0) {}
  explicit ArchiveReader(const std::vector<uint8_t>& bytes)
      : ArchiveReader(bytes.data(), bytes.size()) {}

  bool ReadByte(uint8_t& value);
  bool ReadUInt16(uint16_t& value);
  bool ReadInt16(int16_t& value);
  bool ReadUInt32(uint32_t& value);
  bool ReadInt32(int32_t& value);
  // Wide strings (the 0xFF 0xFFFE marker) are not part of this client's files and fail.
  bool ReadString(std::string& text);
  bool ReadBytes(void* data, size_t size);

  bool IsOk() const { return m_ok; }
  size_t GetPosition() const { return m_position; }
  size_t GetRemaining() const { return m_size - m_position; }

 private:
  bool Take(size_t size, const uint8_t*& bytes);

  const uint8_t* m_data;
  size_t m_size;
  size_t m_position = 0;
  bool m_ok = true;
};
