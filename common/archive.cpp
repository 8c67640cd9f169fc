#include "archive.h"

#include <cstring>

void ArchiveWriter::WriteUInt16(uint16_t value) {
  m_bytes.push_back(static_cast<uint8_t>(value));
  m_bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void ArchiveWriter::WriteUInt32(uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) m_bytes.push_back(static_cast<uint8_t>(value >> shift));
}

void ArchiveWriter::WriteString(std::string_view text) {
  const size_t length = text.size();
  if (length < 0xFF) {
    WriteByte(static_cast<uint8_t>(length));
  } else if (length < 0xFFFE) {
    WriteByte(0xFF);
    WriteUInt16(static_cast<uint16_t>(length));
  } else {
    WriteByte(0xFF);
    WriteUInt16(0xFFFF);
    WriteUInt32(static_cast<uint32_t>(length));
  }
  WriteBytes(text.data(), length);
}

void ArchiveWriter::WriteBytes(const void* data, size_t size) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  m_bytes.insert(m_bytes.end(), p, p + size);
}

bool ArchiveReader::Take(size_t size, const uint8_t*& bytes) {
  if (!m_ok || size > m_size - m_position) {
    m_ok = false;
    return false;
  }
  bytes = m_data + m_position;
  m_position += size;
  return true;
}

bool ArchiveReader::ReadByte(uint8_t& value) {
  const uint8_t* p;
  if (!Take(1, p)) return false;
  value = p[0];
  return true;
}

bool ArchiveReader::ReadUInt16(uint16_t& value) {
  const uint8_t* p;
  if (!Take(2, p)) return false;
  value = static_cast<uint16_t>(p[0] | (p[1] << 8));
  return true;
}

bool ArchiveReader::ReadInt16(int16_t& value) {
  uint16_t raw;
  if (!ReadUInt16(raw)) return false;
  value = static_cast<int16_t>(raw);
  return true;
}

bool ArchiveReader::ReadUInt32(uint32_t& value) {
  const uint8_t* p;
  if (!Take(4, p)) return false;
  value = uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
  return true;
}

bool ArchiveReader::ReadInt32(int32_t& value) {
  uint32_t raw;
  if (!ReadUInt32(raw)) return false;
  value = static_cast<int32_t>(raw);
  return true;
}

bool ArchiveReader::ReadString(std::string& text) {
  uint8_t shortLength;
  if (!ReadByte(shortLength)) return false;
  size_t length = shortLength;
  if (shortLength == 0xFF) {
    uint16_t wordLength;
    if (!ReadUInt16(wordLength)) return false;
    if (wordLength == 0xFFFE) {
      m_ok = false;
      return false;
    }
    length = wordLength;
    if (wordLength == 0xFFFF) {
      uint32_t longLength;
      if (!ReadUInt32(longLength)) return false;
      if (longLength == 0xFFFFFFFF) {
        m_ok = false;
        return false;
      }
      length = longLength;
    }
  }
  const uint8_t* p;
  if (!Take(length, p)) return false;
  text.assign(reinterpret_cast<const char*>(p), length);
  return true;
}

bool ArchiveReader::ReadBytes(void* data, size_t size) {
  const uint8_t* p;
  if (!Take(size, p)) return false;
  if (size > 0) std::memcpy(data, p, size);
  return true;
}
