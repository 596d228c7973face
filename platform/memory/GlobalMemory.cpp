#include "platform/memory/GlobalMemory.h"

#include <cstdlib>
#include <cstring>
#include <new>

// The header sits before the bytes, padded so the bytes keep malloc's alignment.
struct alignas(std::max_align_t) HGLOBAL__ {
    std::size_t size;
    int locks;
};

namespace {

unsigned char* BytesOf(HGLOBAL block) {
    return reinterpret_cast<unsigned char*>(block) + sizeof(HGLOBAL__);
}

bool SizeFits(std::size_t bytes) {
    return bytes <= kMaxGlobalBlockBytes;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes) {
    if (!SizeFits(bytes))
        return nullptr;
    void* memory = std::malloc(sizeof(HGLOBAL__) + bytes);
    if (memory == nullptr)
        return nullptr;
    HGLOBAL block = new (memory) HGLOBAL__{bytes, 0};
    if (flags & GMEM_ZEROINIT)
        std::memset(BytesOf(block), 0, bytes);
    return block;
}

HGLOBAL GlobalReAlloc(HGLOBAL block, std::size_t bytes, UINT flags) {
    if (block == nullptr || block->locks > 0 || !SizeFits(bytes))
        return nullptr;
    const std::size_t oldSize = block->size;
    void* memory = std::realloc(block, sizeof(HGLOBAL__) + bytes);
    if (memory == nullptr)
        return nullptr;
    HGLOBAL moved = static_cast<HGLOBAL>(memory);
    moved->size = bytes;
    if ((flags & GMEM_ZEROINIT) && bytes > oldSize)
        std::memset(BytesOf(moved) + oldSize, 0, bytes - oldSize);
    return moved;
}

void* GlobalLock(HGLOBAL block) {
    if (block == nullptr)
        return nullptr;
    ++block->locks;
    return BytesOf(block);
}

BOOL GlobalUnlock(HGLOBAL block) {
    if (block == nullptr || block->locks == 0)
        return FALSE;
    --block->locks;
    return block->locks > 0 ? TRUE : FALSE;
}

std::size_t GlobalSize(HGLOBAL block) {
    return block == nullptr ? 0 : block->size;
}

HGLOBAL GlobalFree(HGLOBAL block) {
    if (block == nullptr)
        return nullptr;
    std::free(block);
    return nullptr;
}
