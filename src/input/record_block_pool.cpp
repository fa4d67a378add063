#include "input/record_block_pool.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>

namespace korvelo {
namespace {

// A chunk is aligned to its own size, so a block finds its chunk's header
// by masking its address. Two huge pages of the usual 2 MiB.
constexpr size_t kChunkSize = size_t{4} << 20;
// Blocks above this come from the heap: they would waste chunk space.
constexpr size_t kLargestPooled = kChunkSize / 16;
#if defined(__SANITIZE_ADDRESS__)
#define KORVELO_POOL_BLOCKS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KORVELO_POOL_BLOCKS 0
#endif
#endif
#ifndef KORVELO_POOL_BLOCKS
#define KORVELO_POOL_BLOCKS 1
#endif
// The address sanitizer sees each block of its own only when the heap
// hands it out, so that build takes every block from there.
constexpr bool kPoolBlocks = KORVELO_POOL_BLOCKS;

// In front of every block: whether it came from the heap.
constexpr size_t kPrefix = 8;
constexpr uint64_t kPooled = 0x706F6F6C;    // "pool"
constexpr uint64_t kFromHeap = 0x68656170;  // "heap"

struct alignas(64) ChunkHeader {
  // Blocks not yet freed, plus one while a thread still cuts from the chunk.
  std::atomic<size_t> live{1};
};

void Release(ChunkHeader* chunk) noexcept {
  if (chunk->live.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    chunk->~ChunkHeader();
    munmap(chunk, kChunkSize);
  }
}

// A fresh chunk aligned to kChunkSize: twice the size is mapped and the
// parts before and after the aligned chunk are given back.
ChunkHeader* NewChunk() {
  void* const mapped = mmap(nullptr, 2 * kChunkSize, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const auto raw = reinterpret_cast<uintptr_t>(mapped);
  const uintptr_t start = (raw + kChunkSize - 1) & ~(kChunkSize - 1);
  if (start > raw) munmap(mapped, start - raw);
  const uintptr_t after = start + kChunkSize;
  if (raw + 2 * kChunkSize > after) {
    munmap(reinterpret_cast<void*>(after), raw + 2 * kChunkSize - after);
  }
  void* const chunk = reinterpret_cast<void*>(start);
  // Only a hint: without huge pages the chunk works all the same.
  madvise(chunk, kChunkSize, MADV_HUGEPAGE);
  return new (chunk) ChunkHeader;
}

// The chunk this thread cuts blocks from.
struct CurrentChunk {
  ChunkHeader* chunk = nullptr;
  size_t used = 0;

  ~CurrentChunk() {
    if (chunk != nullptr) Release(chunk);
  }

  char* Cut(size_t bytes) {
    if (chunk == nullptr || used + bytes > kChunkSize) {
      ChunkHeader* const fresh = NewChunk();
      if (chunk != nullptr) Release(chunk);
      chunk = fresh;
      used = sizeof(ChunkHeader);
    }
    chunk->live.fetch_add(1, std::memory_order_relaxed);
    char* const at = reinterpret_cast<char*>(chunk) + used;
    used += bytes;
    return at;
  }
};

thread_local CurrentChunk current;
std::atomic<size_t> blocks_in_use{0};

}  // namespace

char* AllocateRecordBlock(size_t size) {
  const size_t bytes = (kPrefix + size + 7) & ~size_t{7};
  if (bytes < size) throw std::bad_alloc();
  const bool pooled = kPoolBlocks && bytes <= kLargestPooled;
  char* const start = pooled ? current.Cut(bytes) : new char[bytes];
  const uint64_t kind = pooled ? kPooled : kFromHeap;
  std::memcpy(start, &kind, sizeof kind);
  blocks_in_use.fetch_add(1, std::memory_order_relaxed);
  return start + kPrefix;
}

void FreeRecordBlock(char* block) noexcept {
  if (block == nullptr) return;
  blocks_in_use.fetch_sub(1, std::memory_order_relaxed);
  char* const start = block - kPrefix;
  uint64_t kind;
  std::memcpy(&kind, start, sizeof kind);
  if (kind == kFromHeap) {
    delete[] start;
    return;
  }
  const auto address = reinterpret_cast<uintptr_t>(start);
  Release(reinterpret_cast<ChunkHeader*>(address & ~(kChunkSize - 1)));
}

size_t RecordBlocksInUse() noexcept {
  return blocks_in_use.load(std::memory_order_relaxed);
}

}  // namespace korvelo
