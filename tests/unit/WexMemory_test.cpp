// Huge-page advice must never change what a block holds, whatever its size
// and alignment.

#include "WexMemory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

TEST(WexAdviseHugePagesTest, BlocksKeepTheirContents) {
  WexAdviseHugePages(nullptr, 0);
  WexAdviseHugePages(nullptr, std::size_t{64} << 20);
  for (std::size_t size :
       {std::size_t{1}, std::size_t{4096}, (std::size_t{4} << 20) - 1,
        std::size_t{4} << 20, (std::size_t{9} << 20) + 123}) {
    std::vector<unsigned char> block(size + 1);
    for (std::size_t i = 0; i < block.size(); ++i)
      block[i] = static_cast<unsigned char>(i * 7);
    // Advice on a block already written, at an odd start.
    WexAdviseHugePages(block.data() + 1, size);
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < block.size(); ++i)
      wrong += block[i] != static_cast<unsigned char>(i * 7);
    EXPECT_EQ(wrong, 0u) << "size " << size;
  }
}

TEST(WexAdviseHugePagesTest, AdvisedBlockIsWritableEverywhere) {
  const std::size_t size = std::size_t{12} << 20;
  unsigned char* block = static_cast<unsigned char*>(std::malloc(size));
  ASSERT_NE(block, nullptr);
  WexAdviseHugePages(block, size);
  std::memset(block, 0xA5, size);
  EXPECT_EQ(block[0], 0xA5);
  EXPECT_EQ(block[size / 2], 0xA5);
  EXPECT_EQ(block[size - 1], 0xA5);
  std::free(block);
}

}  // namespace
