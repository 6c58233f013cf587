#include "WexMemory.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace {

// The huge page size of x86-64 and of most other 64-bit systems.
const std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
const std::size_t kSmallestAdvised = std::size_t{4} << 20;

// mallopt's value for "never hand the heap's free top back to the system".
const int kNeverTrim = -1;

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

void WexPrepareHeap(std::size_t bytes) {
  if (bytes < kSmallestAdvised) return;
  mallopt(M_MMAP_MAX, 0);
  // Without fast bins, a freed small block is merged with its free
  // neighbours at once; with them, every larger request first sweeps all
  // the small blocks freed since the last one, which a history's millions
  // of fields made the largest cost of the heap.
  mallopt(M_MXFAST, 0);
  // Freed stages stay in the heap for the later ones of the same run.
  mallopt(M_TRIM_THRESHOLD, kNeverTrim);
  char* const before = static_cast<char*>(sbrk(0));
  // Allocating and freeing one block of the whole size moves the break once;
  // the freed block becomes the heap's top, from which later blocks are cut.
  void* extension = std::malloc(bytes);
  char* const after = static_cast<char*>(sbrk(0));
  if (extension != nullptr && before != reinterpret_cast<char*>(-1) &&
      after > before) {
    WexAdviseHugePages(before, static_cast<std::size_t>(after - before));
  }
  std::free(extension);
}
