#include "error_log.h"

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace chat {
namespace {

TEST(ErrorLog, EntryFormat) {
  std::tm when{};
  when.tm_year = 126;
  when.tm_mon = 11;
  when.tm_mday = 9;
  when.tm_hour = 7;
  when.tm_min = 5;
  when.tm_sec = 3;
  EXPECT_EQ(FormatErrorLogEntry(when, "CGChat::Send error"),
            "\r\n12/09/26 07:05:03\r\nCGChat::Send error");
}

TEST(ErrorLog, AppendsOneEntryPerFailure) {
  testing::TempDir dir;
  const std::string path = dir.File("chatLogFile.log");
  ASSERT_TRUE(AppendErrorLog(path, "one"));
  ASSERT_TRUE(AppendErrorLog(path, "two"));
  const std::string text = dir.Read("chatLogFile.log");
  ASSERT_EQ(text.size(), 2 * (2 + 17 + 2) + 6);
  EXPECT_EQ(text.substr(21, 3), "one");
  EXPECT_EQ(text.substr(24 + 21, 3), "two");
  EXPECT_FALSE(AppendErrorLog(dir.File("no/such/folder/log"), "x"));
}

}  // namespace
}  // namespace chat
