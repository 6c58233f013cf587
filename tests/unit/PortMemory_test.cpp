// Huge-page advice must never change what a block holds, whatever its size
// and alignment.

#include "PortMemory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

TEST(PortAdviseHugePagesTest, BlocksKeepTheirContents) {
  PortAdviseHugePages(nullptr, 0);
  PortAdviseHugePages(nullptr, std::size_t{64} << 20);
  for (std::size_t size :
       {std::size_t{1}, std::size_t{4096}, (std::size_t{4} << 20) - 1,
        std::size_t{4} << 20, (std::size_t{9} << 20) + 123}) {
    std::vector<unsigned char> block(size + 1);
    for (std::size_t i = 0; i < block.size(); ++i)
      block[i] = static_cast<unsigned char>(i * 7);
    // Advice on a block already written, at an odd start.
    PortAdviseHugePages(block.data() + 1, size);
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < block.size(); ++i)
      wrong += block[i] != static_cast<unsigned char>(i * 7);
    EXPECT_EQ(wrong, 0u) << "size " << size;
  }
}

TEST(PortAdviseHugePagesTest, AdvisedBlockIsWritableEverywhere) {
  const std::size_t size = std::size_t{12} << 20;
  unsigned char* block = static_cast<unsigned char*>(std::malloc(size));
  ASSERT_NE(block, nullptr);
  PortAdviseHugePages(block, size);
  std::memset(block, 0xA5, size);
  EXPECT_EQ(block[0], 0xA5);
  EXPECT_EQ(block[size / 2], 0xA5);
  EXPECT_EQ(block[size - 1], 0xA5);
  std::free(block);
}

}  // namespace
