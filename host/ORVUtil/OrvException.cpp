#include "OrvException.h"

OrvException::OrvException(long code) : WexException(code) {}

OrvException::~OrvException() = default;

void OrvException::raise(const WexSourceLocation* location,
                         const char* function, const char* macro) {
  recordSite(location, function, macro);
  // Thrown as its own type, so that a handler for OrvException catches it.
  throw *this;
}
