// The archive in the MFC conventions: little-endian numbers, the three length-prefix forms of
// strings, and reads that fail (and keep failing) at the end of the bytes.
#include "archive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Archive, NumbersAreLittleEndian) {
  ArchiveWriter w;
  w.WriteInt16(-2);
  w.WriteUInt32(0x01020304);
  w.WriteInt32(-1);
  EXPECT_EQ(w.GetBytes(), (std::vector<uint8_t>{0xFE, 0xFF, 0x04, 0x03, 0x02, 0x01, 0xFF, 0xFF,
                                                0xFF, 0xFF}));
  ArchiveReader r(w.GetBytes());
  int16_t s = 0;
  uint32_t u = 0;
  int32_t i = 0;
  EXPECT_TRUE(r.ReadInt16(s) && r.ReadUInt32(u) && r.ReadInt32(i));
  EXPECT_EQ(s, -2);
  EXPECT_EQ(u, 0x01020304u);
  EXPECT_EQ(i, -1);
}

TEST(Archive, StringPrefixForms) {
  const struct {
    size_t length;
    std::vector<uint8_t> prefix;
  } cases[] = {
      {0, {0x00}},
      {254, {0xFE}},
      {255, {0xFF, 0xFF, 0x00}},
      {0xFFFD, {0xFF, 0xFD, 0xFF}},
      {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
      {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
  };
  for (const auto& c : cases) {
    const std::string text(c.length, 'z');
    ArchiveWriter w;
    w.WriteString(text);
    const auto& bytes = w.GetBytes();
    ASSERT_EQ(bytes.size(), c.prefix.size() + c.length) << c.length;
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(c.prefix.size())),
              c.prefix)
        << c.length;
    ArchiveReader r(bytes);
    std::string back;
    ASSERT_TRUE(r.ReadString(back)) << c.length;
    EXPECT_EQ(back, text);
    EXPECT_EQ(r.GetRemaining(), 0u);
  }
}

TEST(Archive, MalformedAndTruncatedInputFailsAndStaysFailed) {
  const std::vector<std::vector<uint8_t>> bad = {
      {},
      {0x05, 'a', 'b'},                          // shorter than its prefix says
      {0xFF, 0x10},                              // cut inside the 16-bit length
      {0xFF, 0xFF, 0xFF, 0x00},                  // cut inside the 32-bit length
      {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},  // 64-bit form
      {0xFF, 0xFE, 0xFF, 0x01, 'a', 0x00},       // wide string marker
      {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F},  // 2 GiB claimed, nothing there
  };
  for (const auto& bytes : bad) {
    ArchiveReader r(bytes.data(), bytes.size());
    std::string text = "kept";
    EXPECT_FALSE(r.ReadString(text));
    EXPECT_FALSE(r.IsOk());
    uint8_t b = 0;
    EXPECT_FALSE(r.ReadByte(b));  // sticky
  }
  const std::vector<uint8_t> three = {1, 2, 3};
  ArchiveReader r(three);
  uint32_t u = 0;
  EXPECT_FALSE(r.ReadUInt32(u));
  EXPECT_EQ(r.GetPosition(), 0u);
}

}  // namespace
