#ifndef WEXCORE_PORT_PORTMEMORY_H_
#define WEXCORE_PORT_PORTMEMORY_H_

#include <cstddef>

// Asks the system to back the whole huge pages inside [block, block + size)
// with huge pages when they are first touched. A fault costs several
// microseconds per 4 KiB page on the machines the handler runs on, so a
// buffer of tens of megabytes pays for its pages in time as much as in
// memory; one huge page is one fault instead of 512. Blocks below a few
// megabytes are left alone (their pages are mostly touched already, and a
// huge page would raise the resident size for little gain). Only advice:
// where the system has no such pages it changes nothing, and it never fails.
// Call it before the block is written.
void PortAdviseHugePages(void* block, std::size_t size);

// Readies the C library's heap for a run that is about to allocate up to
// about `bytes` in all, mostly in blocks it frees again (a decoded text, the
// parsed entries, a document). Large blocks are then taken from the heap
// instead of fresh mappings, so that memory one stage frees is reused by the
// next instead of being faulted in anew; and the heap is extended once by
// `bytes`, that extension advised to take huge pages, so that the many small
// blocks of a large answer (one per field) are not paid for page by page
// either. Untouched, the extension costs address space only. Does nothing
// below a few megabytes, so small runs keep the library's defaults. Call it
// at most once per process; it never fails (without room for the
// extension, the heap simply grows as it needs to).
void PortPrepareHeap(std::size_t bytes);

#endif  // WEXCORE_PORT_PORTMEMORY_H_
