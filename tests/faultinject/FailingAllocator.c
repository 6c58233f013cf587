/* An allocator that fails on request, preloaded (LD_PRELOAD) into the handler
 * by the allocation-failure tests. It wraps the C library's allocation
 * functions, which operator new calls too, and counts every call made after
 * it was loaded:
 *
 *   VSS_FAIL_AT=N      the Nth call fails (returns null, errno ENOMEM)
 *   VSS_FAIL_FROM=N    the Nth call and every one after it fail: memory stays
 *                      exhausted
 *   VSS_COUNT_FILE=F   at exit, the number of calls is written to file F
 *
 * Without any of them it only counts. The count goes to a file, not to
 * standard error, so that the run under test keeps its streams as they are.
 */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

extern void* __libc_malloc(size_t size);
extern void* __libc_calloc(size_t count, size_t size);
extern void* __libc_realloc(void* block, size_t size);
extern void* __libc_memalign(size_t alignment, size_t size);

static long g_calls = 0;
static long g_failAt = 0;
static long g_failFrom = 0;

static long NumberFromEnvironment(const char* name) {
  const char* text = getenv(name);
  return text == NULL ? 0 : atol(text);
}

/* Arms the counter once the C library can read the environment; the calls
 * the dynamic loader made before are none of the handler's. */
__attribute__((constructor)) static void Arm(void) {
  g_failAt = NumberFromEnvironment("VSS_FAIL_AT");
  g_failFrom = NumberFromEnvironment("VSS_FAIL_FROM");
}

__attribute__((destructor)) static void ReportCount(void) {
  const char* path = getenv("VSS_COUNT_FILE");
  if (path == NULL) return;
  char text[32];
  const int length = snprintf(text, sizeof text, "%ld\n", g_calls);
  const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) return;
  if (write(fd, text, (size_t)length) != length) {
    /* The test reads a short count as no count. */
  }
  close(fd);
}

/* True when this call is the one (or one of those) to fail. */
static int ThisCallFails(void) {
  const long call = ++g_calls;
  if (g_failAt > 0 && call == g_failAt) return 1;
  return g_failFrom > 0 && call >= g_failFrom;
}

void* malloc(size_t size) {
  if (ThisCallFails()) {
    errno = ENOMEM;
    return NULL;
  }
  return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
  if (ThisCallFails()) {
    errno = ENOMEM;
    return NULL;
  }
  return __libc_calloc(count, size);
}

void* realloc(void* block, size_t size) {
  if (ThisCallFails()) {
    errno = ENOMEM;
    return NULL;
  }
  return __libc_realloc(block, size);
}

void* memalign(size_t alignment, size_t size) {
  if (ThisCallFails()) {
    errno = ENOMEM;
    return NULL;
  }
  return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) {
  return memalign(alignment, size);
}

int posix_memalign(void** block, size_t alignment, size_t size) {
  void* allocated = memalign(alignment, size);
  if (allocated == NULL) return ENOMEM;
  *block = allocated;
  return 0;
}
