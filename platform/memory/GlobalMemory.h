// Global memory blocks in the shape of the platform's calls, over the C heap. A block
// is reached only through GlobalLock; fixed and moveable blocks behave alike, and
// GlobalReAlloc may move any block that is not locked. A handle is used by one thread
// at a time. None throws.
#pragma once

#include <cstddef>

#include "platform/base/Types.h"

struct HGLOBAL__;
using HGLOBAL = HGLOBAL__*;

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;

// The largest block handed out.
constexpr std::size_t kMaxGlobalBlockBytes = std::size_t{1} << 30;

// A block of bytes (its contents zeroed when flags hold GMEM_ZEROINIT); null when
// memory runs out or for more than kMaxGlobalBlockBytes.
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
// Grows or shrinks an unlocked block, keeping its contents (new bytes zeroed with
// GMEM_ZEROINIT), up to kMaxGlobalBlockBytes. The handle of the block, which may have moved (the
// old handle is then dead); null on failure, the old block left as it was.
HGLOBAL GlobalReAlloc(HGLOBAL block, std::size_t bytes, UINT flags);
// The block's bytes, and one more lock on it; null for a null handle.
void* GlobalLock(HGLOBAL block);
// Takes one lock off; TRUE while the block is still locked.
BOOL GlobalUnlock(HGLOBAL block);
// The block's size in bytes as asked, 0 for a null handle.
std::size_t GlobalSize(HGLOBAL block);
// Frees a block, locked or not; null (also for a null handle).
HGLOBAL GlobalFree(HGLOBAL block);
