// Bytes handed to a system call that reads from movable global memory or from a stream (a
// picture decoder, say): a copy of the bytes in a block of their own.
#pragma once
#include <windows.h>
#include <objidl.h>

#include <cstring>

#include "winkit/com_ptr.h"
#include "winkit/handle.h"

namespace winkit {

// A movable block holding a copy of `size` bytes; empty when the block cannot be had (a block
// that cannot be locked was never filled, so it is not handed on).
inline UniqueGlobal CopyToGlobal(const void* bytes, size_t size) {
  UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, size));
  if (!block) return {};
  void* target = GlobalLock(block.Get());
  if (!target) return {};
  if (size) std::memcpy(target, bytes, size);
  GlobalUnlock(block.Get());
  return block;
}

// A memory stream over a copy of the bytes, which owns its block; empty on failure.
inline ComPtr<IStream> StreamOnCopy(const void* bytes, size_t size) {
  UniqueGlobal block = CopyToGlobal(bytes, size);
  ComPtr<IStream> stream;
  if (!block || FAILED(CreateStreamOnHGlobal(block.Get(), TRUE, stream.Put()))) return {};
  block.Release();  // the stream's now
  return stream;
}

}  // namespace winkit
