// A Windows profile (".ini") file read the way the profile-string call reads one: sections and
// keys match without regard to case, the first of duplicates wins, values are trimmed and lose
// one pair of surrounding quotes, and a read is cut to the caller's buffer size minus one.
// Bytes are kept as they stand (GBK texts pass through).
#pragma once
#include <string>
#include <string_view>
#include <vector>

class ProfileFile {
 public:
  ProfileFile() = default;
  explicit ProfileFile(std::string_view text) { Parse(text); }
  // Reads a file; a missing or unreadable file reads as empty.
  static ProfileFile Load(const std::string& path);
  void Parse(std::string_view text);
  // The value, at most maxChars bytes (a missing key gives the empty string).
  std::string GetString(std::string_view section, std::string_view key, size_t maxChars) const;

 private:
  struct Entry {
    std::string section, key, value;
  };
  std::vector<Entry> m_entries;
};

// atoi as the catalogues use it: leading blanks, a sign, digits; anything else ends the number.
// Values beyond the 32-bit range saturate instead of overflowing.
int ParseLeadingInt(std::string_view text);
