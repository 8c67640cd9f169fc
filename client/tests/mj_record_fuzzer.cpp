// Fuzz target: random bytes read as a saved hand-record file. Whatever the bytes, the reader
// must stay inside them, allocate no more than they can hold and report an error instead of
// throwing. A file it accepts is written again (titles and names cut to their arrays, strings
// in their shortest length form); that file must load and store back to the very same bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "mj_hand_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ListHead head;
  CMjHandRecord record;
  if (LoadHandFile(data, size, head, record) != HandFileError::None) return 0;
  const std::vector<uint8_t> again = StoreHandFile(head, record);
  ListHead head2;
  CMjHandRecord record2;
  if (LoadHandFile(again.data(), again.size(), head2, record2) != HandFileError::None) {
    __builtin_trap();
  }
  if (StoreHandFile(head2, record2) != again) __builtin_trap();
  return 0;
}
