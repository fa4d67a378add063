// Storage for the text blocks of records. A load makes one block for nearly
// every waypoint, hundreds of thousands of them that mostly live until the
// run ends. Taken one by one from the C library's heap, every fresh page
// they fill costs a fault of its own; here they are cut from large chunks
// that the kernel may back with huge pages, and a chunk goes back to the
// system once its last block is freed.
#ifndef KORVELO_INPUT_RECORD_BLOCK_POOL_H_
#define KORVELO_INPUT_RECORD_BLOCK_POOL_H_

#include <cstddef>

namespace korvelo {

// A block of `size` bytes (more than 0), aligned to 8. Throws std::bad_alloc.
// Any thread may allocate and free; a block may be freed on another thread.
char* AllocateRecordBlock(size_t size);
// Frees a block of AllocateRecordBlock; null is ignored.
void FreeRecordBlock(char* block) noexcept;

// Blocks allocated and not yet freed, by all threads: what a list of
// records costs beyond the records themselves.
size_t RecordBlocksInUse() noexcept;

struct RecordBlockDeleter {
  void operator()(char* block) const noexcept { FreeRecordBlock(block); }
};

}  // namespace korvelo

#endif  // KORVELO_INPUT_RECORD_BLOCK_POOL_H_
