// ListHead: the column titles of the person list, 21 of them, as the table window keeps them and
// as a saved hand-record file begins with them. Each title is at most 14 bytes and a NUL.
// Archive form: the 21 titles in column order, each an archive string.
#pragma once
#include <cstddef>

#include "archive.h"

struct ListHead {
  static constexpr int kTitleCount = 21;
  static constexpr size_t kTitleSize = 15;

  // The first four columns are named (user name, nickname, sex, member); the others are empty.
  ListHead();

  void Serialize(ArchiveWriter& archive) const;
  // Reads 21 strings, each cut to 14 bytes. On truncated or malformed input it returns false
  // and the titles are left as they were.
  bool Load(ArchiveReader& archive);

  char titles[kTitleCount][kTitleSize];
};
