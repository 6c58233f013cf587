#include "WexMemory.h"

#include <sys/mman.h>

#include <cstdint>

namespace {

// The huge page size of x86-64 and of most other 64-bit systems.
const std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
const std::size_t kSmallestAdvised = std::size_t{4} << 20;

}  // namespace

void WexAdviseHugePages(void* block, std::size_t size) {
#if defined(MADV_HUGEPAGE)
  if (block == nullptr || size < kSmallestAdvised) return;
  const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(block);
  const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t last = (begin + size) & ~(kHugePage - 1);
  if (last <= first) return;
  // Advice only: a system without transparent huge pages refuses it, and
  // the block then simply keeps small pages.
  static_cast<void>(
      madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE));
#else
  static_cast<void>(block);
  static_cast<void>(size);
#endif
}
