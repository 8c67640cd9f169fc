// MD5 against the test suite of RFC 1321 (appendix A.5), whole and fed in pieces.
#include "md5_checksum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Hex(const uint8_t* digest) {
  std::string hex;
  char byte[3];
  for (size_t i = 0; i < CMD5Checksum::kDigestSize; ++i) {
    std::snprintf(byte, sizeof byte, "%02x", digest[i]);
    hex += byte;
  }
  return hex;
}

struct Rfc1321Case {
  const char* message;
  const char* digest;
};

const Rfc1321Case kRfc1321Suite[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
     "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
};

TEST(SessionMd5, Rfc1321SuiteOneShot) {
  for (const auto& c : kRfc1321Suite) {
    const std::string message = c.message;
    uint8_t digest[16];
    Md5Digest(message.data(), message.size(), digest);
    EXPECT_EQ(Hex(digest), c.digest) << '"' << message << '"';
  }
}

TEST(SessionMd5, Rfc1321SuiteInPiecesOfEverySize) {
  for (const auto& c : kRfc1321Suite) {
    const std::string message = c.message;
    for (size_t piece = 1; piece <= 65; ++piece) {
      CMD5Checksum md5;
      for (size_t at = 0; at < message.size(); at += piece) {
        md5.Update(message.data() + at, std::min(piece, message.size() - at));
      }
      uint8_t digest[16];
      md5.Finalise(digest);
      EXPECT_EQ(Hex(digest), c.digest) << '"' << message << "\" in pieces of " << piece;
    }
  }
}

// Lengths around the padding boundaries (55/56/63/64 bytes), checked against digests computed
// with python3 hashlib over 'x' * n.
TEST(SessionMd5, PaddingBoundaries) {
  const struct {
    size_t length;
    const char* digest;
  } cases[] = {
      {55, "04364420e25c512fd958a70738aa8f72"},
      {56, "668a72d5ba17f08e62dabcafad6db14b"},
      {63, "7dc2ca208106a2f703567bdff99d8981"},
      {64, "c1bb4f81d892b2d57947682aeb252456"},
      {65, "1bc932052302d074bdec39795fe00cf6"},
      {1000, "398533d48111e9f664b1f64cb10c4b63"},
  };
  for (const auto& c : cases) {
    const std::string message(c.length, 'x');
    uint8_t digest[16];
    Md5Digest(message.data(), message.size(), digest);
    EXPECT_EQ(Hex(digest), c.digest) << c.length;
  }
}

TEST(SessionMd5, FinaliseStartsAFreshMessage) {
  CMD5Checksum md5;
  uint8_t digest[16];
  md5.Update("garbage", 7);
  md5.Finalise(digest);
  md5.Update("abc", 3);
  md5.Finalise(digest);
  EXPECT_EQ(Hex(digest), "900150983cd24fb0d6963f7d28e17f72");
}

}  // namespace
