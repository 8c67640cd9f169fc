#include "ini_file.h"

#include <cctype>
#include <limits>

#include "chat_file.h"

namespace chat {
namespace {

std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

int32_t ParseDecimal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1) break;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

CIniFile::~CIniFile() { Close(); }

bool CIniFile::OpenRead() {
  Close();
  m_file = OpenChatFile(GetFullPath(), "rb");
  return m_file != nullptr;
}

bool CIniFile::OpenWrite() {
  Close();
  m_file = OpenChatFile(GetFullPath(), "wb");
  return m_file != nullptr;
}

void CIniFile::Close() {
  if (m_file) std::fclose(m_file);
  m_file = nullptr;
}

bool CIniFile::WriteSection(const std::string& name) {
  if (!m_file) return false;
  std::fprintf(m_file, "[%s]\r\n", name.c_str());
  return true;
}

bool CIniFile::WriteBool(const std::string& key, bool value) {
  return WriteString(key, value ? "1" : "0");
}

bool CIniFile::WriteInt(const std::string& key, int value) {
  return WriteString(key, std::to_string(value));
}

bool CIniFile::WriteString(const std::string& key, const std::string& value) {
  if (!m_file) return false;
  std::fwrite(key.data(), 1, key.size(), m_file);
  std::fputc('=', m_file);
  std::fwrite(value.data(), 1, value.size(), m_file);
  std::fputs("\r\n", m_file);
  return true;
}

bool CIniFile::ReadLine(std::string& line) {
  line.clear();
  int c = std::fgetc(m_file);
  if (c == EOF) return false;
  for (; c != EOF && c != '\n'; c = std::fgetc(m_file))
    if (line.size() < kMaxLineBytes) line.push_back(static_cast<char>(c));
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool CIniFile::FindSection(const std::string& section) {
  if (!m_file || std::fseek(m_file, 0, SEEK_SET) != 0) return false;
  std::string line;
  while (ReadLine(line))
    if (line.find(section) != std::string::npos) return true;
  return false;
}

bool CIniFile::FindValue(const std::string& section, const std::string& key, bool exact_key,
                         std::string& value) {
  if (!FindSection(section)) return false;
  std::string line;
  while (ReadLine(line)) {
    if (line.find('[') != std::string::npos) continue;
    const size_t equals = line.find('=');
    if (equals == std::string::npos || equals == 0) continue;
    const std::string_view key_part(line.data(), equals);
    if (exact_key ? key_part != key : key_part.find(key) == std::string_view::npos) continue;
    value = std::string(TrimSpaces(std::string_view(line).substr(equals + 1)));
    return true;
  }
  return false;
}

bool CIniFile::ReadBool(const std::string& section, const std::string& key, uint8_t& out) {
  std::string value;
  if (!FindValue(section, key, false, value)) return false;
  out = value == "1" ? 1 : 0;
  return true;
}

bool CIniFile::ReadInt(const std::string& section, const std::string& key, int32_t& out) {
  std::string value;
  if (!FindValue(section, key, true, value)) return false;
  out = ParseDecimal(value);
  return true;
}

bool CIniFile::ReadString(const std::string& section, const std::string& key, std::string& out) {
  std::string value;
  if (!FindValue(section, key, false, value)) return false;
  out = std::move(value);
  return true;
}

bool CIniFile::ReadColor(const std::string& section, const std::string& key, uint32_t& out) {
  std::string value;
  if (!FindValue(section, key, false, value)) return false;
  const auto rgb = ParseCommaParts<3>(value);
  out = (static_cast<uint32_t>(rgb[0]) & 0xFF) | ((static_cast<uint32_t>(rgb[1]) & 0xFF) << 8) |
        ((static_cast<uint32_t>(rgb[2]) & 0xFF) << 16);
  return true;
}

bool CIniFile::ReadRect(const std::string& section, const std::string& key,
                        std::array<int32_t, 4>& out) {
  std::string value;
  if (!FindValue(section, key, false, value)) return false;
  out = ParseCommaParts<4>(value);
  return true;
}

bool CIniFile::ReadPoint(const std::string& section, const std::string& key,
                         std::array<int32_t, 2>& out) {
  std::string value;
  if (!FindValue(section, key, false, value)) return false;
  out = ParseCommaParts<2>(value);
  return true;
}

}  // namespace chat
