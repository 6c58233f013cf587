#ifndef WEXCORE_I18NENCODING_H_
#define WEXCORE_I18NENCODING_H_

// Encoding services of the core library: the process's default encoding,
// the encodings known, and access to a string's UTF-16 text.

#include <cstddef>

#include "I18NString.h"

// Opaque converter state; the conversions of this library take a null pointer
// to mean "use the library's own".
class I18NConverter;

// Outcome of a buffer transformation.
enum I18NTransformationResult {
  I18N_TRANSFORMATION_OK = 0,
  I18N_TRANSFORMATION_FAILED = 1,
};

// Sets `out` to the text of `buffer` (an I18NString's getExternalBuffer())
// as zero-terminated UTF-16. When `copy` is false, `out` points into the
// string: it is read while the string lives and never freed by the caller.
// When `copy` is true, `out` is a new[] copy that the caller delete[]s.
// A null `buffer` sets `out` to null and fails.
I18NTransformationResult I18NExternalBufferToUTF16(unsigned short*& out,
                                                   const void* buffer,
                                                   bool copy);

// The name of the process's default encoding: the one last given to
// I18NSetPlatformDefaultEncoding, else the handler's own name for the
// environment's encoding (I18NEnvironmentEncoding()), else, when that is not
// one the handler knows, "US-ASCII": text is then read as ASCII while the
// caller reports the environment's encoding as unknown.
// The returned text stays valid until the default is next set.
const char* I18NGetPlatformDefaultEncoding();

// The environment's encoding as the environment names it: the locale's
// codeset, or "CP" and the number of the ANSI code page. It may be one that
// I18NIsKnownEncoding refuses.
const char* I18NEnvironmentEncoding();

// Where the environment's encoding comes from, in words for a person ("the
// locale's encoding", "the ANSI code page").
const char* I18NEnvironmentEncodingOrigin();

// Makes `name` the process's default encoding from now on; null goes back to
// the environment's.
// REQUIRES: `name` is null or I18NIsKnownEncoding(name).
void I18NSetPlatformDefaultEncoding(const char* name);

// True when `name` (null: false) is one of the names of I18NCodePages.h.
bool I18NIsKnownEncoding(const char* name);

#endif  // WEXCORE_I18NENCODING_H_
