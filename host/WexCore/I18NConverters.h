#ifndef WEXCORE_I18NCONVERTERS_H_
#define WEXCORE_I18NCONVERTERS_H_

// The platform's converters as the core and the utility library use them:
// opened once per encoding and direction, kept for the process's life.

#include "PortConversion.h"

// The converter from `encoding` to UTF-16 (`toUtf16`) or from UTF-16 to
// `encoding`, in its initial state, or null when the platform knows no such
// encoding or the name cannot name one (no letter or digit, a control
// character, a "//" suffix). Throws std::bad_alloc when a known encoding
// could not be opened for lack of memory.
// Converters are opened on the first request and kept until the process
// exits (opening one is expensive); the caller never closes one. A later
// request for the same one resets and hands out the same converter, so a
// conversion must be finished before it is requested again.
PortConverter* I18NAcquireConverter(const char* encoding, bool toUtf16);

// Throws a WexException without a code whose text names `encoding` as
// unknown, raised from `function` (static text).
[[noreturn]] void I18NRaiseUnknownEncoding(const char* encoding,
                                           const char* function);

#endif  // WEXCORE_I18NCONVERTERS_H_
