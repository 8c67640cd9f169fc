#include "ini_file.h"

#include <algorithm>
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
  const std::string path = GetFullPath();
  std::vector<uint8_t> bytes;
  switch (ReadWholeFile(path, kMaxFileBytes, bytes)) {
    case ReadResult::kOk:
      break;
    case ReadResult::kMissing:
      return false;
    case ReadResult::kTooLarge:
      if (m_log) m_log("CIniFile::OpenRead " + path + " is larger than 4 MB, not read");
      return false;
    case ReadResult::kError:
      if (m_log) m_log("CIniFile::OpenRead " + path + " error");
      return false;
  }
  m_text.assign(bytes.begin(), bytes.end());
  // The lines, without their LF and a CR before it, each cut to kMaxLineBytes; a last line
  // without its LF counts too.
  std::string_view rest(m_text);
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (line.size() > kMaxLineBytes) line = line.substr(0, kMaxLineBytes);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t equals = line.find('=');
    if (equals != std::string_view::npos && equals != 0 &&
        line.find('[') == std::string_view::npos)
      m_entries.push_back({m_lines.size(), line.substr(0, equals), line.substr(equals + 1)});
    m_lines.push_back(line);
  }
  m_reading = true;
  return true;
}

bool CIniFile::OpenWrite() {
  Close();
  m_file = OpenChatFile(GetFullPath(), "wb");
  return m_file != nullptr;
}

void CIniFile::Close() {
  if (m_file) std::fclose(m_file);
  m_file = nullptr;
  m_reading = false;
  m_lines.clear();
  m_entries.clear();
  m_text.clear();
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

bool CIniFile::FindValue(const std::string& section, const std::string& key, bool exact_key,
                         std::string& value) const {
  if (!m_reading) return false;
  size_t at = 0;
  while (at < m_lines.size() && m_lines[at].find(section) == std::string_view::npos) ++at;
  if (at == m_lines.size()) return false;
  auto entry = std::upper_bound(m_entries.begin(), m_entries.end(), at,
                                [](size_t line, const Entry& e) { return line < e.line; });
  for (; entry != m_entries.end(); ++entry) {
    if (exact_key ? entry->key != key : entry->key.find(key) == std::string_view::npos) continue;
    value = std::string(TrimSpaces(entry->value));
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
