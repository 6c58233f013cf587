// Preloaded into the handler by a hostile test: opening a conversion to or
// from UTF-16LE (the handler's own converters; the XML platform's are left
// alone) fails as iconv_open fails when it cannot allocate.

#include <dlfcn.h>
#include <errno.h>
#include <iconv.h>

#include <cstring>

extern "C" iconv_t iconv_open(const char* to, const char* from) {
  if (std::strcmp(to, "UTF-16LE") == 0 || std::strcmp(from, "UTF-16LE") == 0) {
    errno = ENOMEM;
    return reinterpret_cast<iconv_t>(-1);
  }
  using Open = iconv_t (*)(const char*, const char*);
  return reinterpret_cast<Open>(dlsym(RTLD_NEXT, "iconv_open"))(to, from);
}
