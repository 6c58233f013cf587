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

#endif  // WEXCORE_PORT_PORTMEMORY_H_
