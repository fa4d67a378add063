// Record blocks cut from shared chunks: no two blocks overlap, whatever
// their sizes and whichever thread allocates or frees them.
#include "input/record_block_pool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

namespace korvelo {
namespace {

struct Block {
  char* data;
  size_t size;
  char fill;
};

// Blocks of sizes from one byte to far beyond what a chunk takes, each
// filled with its own byte.
std::vector<Block> AllocateFilled(unsigned seed, int count) {
  std::mt19937 random(seed);
  std::vector<Block> blocks;
  for (int i = 0; i < count; ++i) {
    const size_t size = i % 97 == 0 ? (size_t{1} << 20) + random() % 4096
                                    : 1 + random() % 20000;
    Block block{AllocateRecordBlock(size), size, static_cast<char>(random())};
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block.data) % 8, 0u);
    std::memset(block.data, block.fill, size);
    blocks.push_back(block);
  }
  return blocks;
}

// Checks each block still holds its own byte everywhere, then frees it.
void CheckAndFree(std::vector<Block>& blocks) {
  for (const Block& block : blocks) {
    const std::vector<char> expected(block.size, block.fill);
    ASSERT_EQ(std::memcmp(block.data, expected.data(), block.size), 0)
        << block.size;
    FreeRecordBlock(block.data);
  }
  blocks.clear();
}

TEST(RecordBlockPool, BlocksOfEverySizeKeepTheirBytesUntilFreed) {
  std::vector<Block> blocks = AllocateFilled(1, 3000);  // many chunks
  std::shuffle(blocks.begin(), blocks.end(), std::mt19937(2));
  // Half freed, the chunks they leave partly used, then more allocated.
  std::vector<Block> rest(blocks.begin() + 1500, blocks.end());
  blocks.resize(1500);
  CheckAndFree(blocks);
  std::vector<Block> more = AllocateFilled(3, 1000);
  CheckAndFree(rest);
  CheckAndFree(more);
  FreeRecordBlock(nullptr);
}

TEST(RecordBlockPool, BlocksOfOtherThreadsAreFreedHereAndTheirsLive) {
  std::vector<std::vector<Block>> made(2);
  {
    std::thread first([&] { made[0] = AllocateFilled(4, 2000); });
    std::thread second([&] { made[1] = AllocateFilled(5, 2000); });
    first.join();
    second.join();
  }
  // The threads have ended: their last chunks must outlive them.
  std::vector<Block> local = AllocateFilled(6, 500);
  std::thread freeing([&] { CheckAndFree(made[0]); });
  CheckAndFree(made[1]);
  freeing.join();
  CheckAndFree(local);
}

}  // namespace
}  // namespace korvelo
