// CIniFile: the chat control's reader and writer of small settings files of the ini form
// ("[name]" section lines, "key=value" lines), as its skin files and its font settings use them.
//
// Lookups keep the form's long-standing habits, which skin files written elsewhere rely on: a
// section line is the first line that contains the section name anywhere; the key search runs
// on past later sections to the end of the file; ReadInt wants the key part to equal the key,
// the other readers take a key part that merely contains it. Every read leaves its output as it
// was when the file is not open or the section or the key is not there.
//
// OpenRead reads the file once, whole, and every lookup runs over the lines in memory; a file
// larger than kMaxFileBytes is not read at all (the open fails and the log hears of it).
#pragma once
#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace chat {

class CIniFile {
 public:
  CIniFile() = default;
  virtual ~CIniFile();
  CIniFile(const CIniFile&) = delete;
  CIniFile& operator=(const CIniFile&) = delete;

  // The directory is given with its trailing separator; the path is directory + file name.
  void SetPath(const std::string& directory) { m_directory = directory; }
  void SetFileName(const std::string& name) { m_fileName = name; }
  std::string GetFullPath() const { return m_directory + m_fileName; }

  // Where a refused or unreadable file is reported (one line of text); none by default.
  void SetLog(std::function<void(const std::string&)> log) { m_log = std::move(log); }

  bool OpenRead();
  // Creates or truncates the file.
  bool OpenWrite();
  virtual void Close();
  bool IsOpen() const { return m_file != nullptr || m_reading; }

  // Each writes one line ending in CR LF; false when the file is not open.
  bool WriteSection(const std::string& name);
  bool WriteBool(const std::string& key, bool value);
  bool WriteInt(const std::string& key, int value);
  bool WriteString(const std::string& key, const std::string& value);

  bool ReadBool(const std::string& section, const std::string& key, uint8_t& out);
  bool ReadInt(const std::string& section, const std::string& key, int32_t& out);
  bool ReadString(const std::string& section, const std::string& key, std::string& out);
  // r,g,b -> r + 256 g + 65536 b, each part cut to its low 8 bits.
  bool ReadColor(const std::string& section, const std::string& key, uint32_t& out);
  bool ReadRect(const std::string& section, const std::string& key, std::array<int32_t, 4>& out);
  bool ReadPoint(const std::string& section, const std::string& key,
                 std::array<int32_t, 2>& out);
  bool ReadSize(const std::string& section, const std::string& key,
                std::array<int32_t, 2>& out) {
    return ReadPoint(section, key, out);
  }

  // Lines longer than this are cut (the rest of the line is skipped).
  static constexpr size_t kMaxLineBytes = 64 * 1024;
  // A settings file is small; anything larger is refused, as the chat's other files are.
  static constexpr size_t kMaxFileBytes = 4 * 1024 * 1024;

 private:
  bool FindValue(const std::string& section, const std::string& key, bool exact_key,
                 std::string& value) const;

  std::string m_directory;
  std::string m_fileName;
  std::function<void(const std::string&)> m_log;
  FILE* m_file = nullptr;        // open for writing
  bool m_reading = false;        // open for reading: the file's text and its lines
  std::string m_text;
  std::vector<std::string_view> m_lines;
  // The lines a key can be found on (no '[', an '=' after at least one byte): line number, key
  // part and value part.
  struct Entry {
    size_t line;
    std::string_view key;
    std::string_view value;
  };
  std::vector<Entry> m_entries;
};

// The C library's reading of a decimal integer: leading white space, an optional sign, the
// leading digits; 0 when there are none. Out-of-range values saturate.
int32_t ParseDecimal(std::string_view text);

// Splits a composite value into count parts: each part is the text before the next comma and
// the rest goes on; a missing comma leaves that part empty (0) and passes the whole rest on; the
// last part is the whole rest.
template <size_t N>
std::array<int32_t, N> ParseCommaParts(std::string_view text) {
  std::array<int32_t, N> parts{};
  for (size_t i = 0; i + 1 < N; ++i) {
    const size_t comma = text.find(',');
    if (comma == std::string_view::npos) continue;
    parts[i] = ParseDecimal(text.substr(0, comma));
    text.remove_prefix(comma + 1);
  }
  parts[N - 1] = ParseDecimal(text);
  return parts;
}

}  // namespace chat
