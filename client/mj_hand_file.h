// The saved hand-record file: the table's list head, then the hand record, in the archive
// conventions (little-endian numbers, length-prefixed strings). Every message record in it has
// a fixed form, so a file of a two-seat table is the only kind there is.
//
// Loading never trusts the file: a seat count other than 2 is refused, every count is checked
// against the bytes that are left before anything is allocated for it, and a file that ends
// early is refused. Nothing is read past the end and nothing escapes as an exception.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "list_head.h"
#include "mj_hand_record.h"

enum class HandFileError {
  None,
  Truncated,      // the file ends inside an item, or a string is malformed
  NotTwoSeats,    // the record is not of a two-seat table
  CountTooLarge,  // a list count is negative or larger than the rest of the file can hold
};

// The bytes of a file holding head and record.
std::vector<uint8_t> StoreHandFile(const ListHead& head, const CMjHandRecord& record);

// Reads a file. On success head and record take what it holds (the record's lists get the
// file's entries appended); on any error both are left as they were.
HandFileError LoadHandFile(const uint8_t* data, size_t size, ListHead& head,
                           CMjHandRecord& record);
