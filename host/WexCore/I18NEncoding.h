#ifndef WEXCORE_I18NENCODING_H_
#define WEXCORE_I18NENCODING_H_

// Encoding services of the core library: the process's default encoding,
// access to a string's UTF-16 text, and decoding in place.

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
// I18NSetPlatformDefaultEncoding, else the current locale's codeset (as
// nl_langinfo(CODESET) reports it for the environment's locale).
// The returned text stays valid until the default is next set.
const char* I18NGetPlatformDefaultEncoding();

// Makes `name` the process's default encoding from now on.
// REQUIRES: I18NIsKnownEncoding(name).
void I18NSetPlatformDefaultEncoding(const char* name);

// True when the conversion library can decode and encode `name`.
bool I18NIsKnownEncoding(const char* name);

// True when `name` encodes the printable ASCII characters, tab, line feed and
// carriage return as the same single bytes that ASCII uses (UTF-8, the
// Windows and ISO code pages, IBM437, ...): the client's marker texts are
// only recognisable in such an encoding.
bool I18NIsAsciiCompatibleEncoding(const char* name);

// Decodes the `length` bytes at the start of `bytes`' narrow storage
// (written there through ReserveNarrow) from `encoding`, or from the
// platform default encoding when it is null, as the 8-bit I18NString
// constructor decodes bytes, and returns the text; `bytes` is empty afterwards.
// Text that fits one byte per unit is decoded where it lies, so a client output
// of hundreds of megabytes needs no second buffer; from the first unit that
// does not fit, the bytes left are copied aside and decoded wide. Throws
// WexException when `encoding` is unknown.
I18NString I18NDecodeInPlace(I18NStringBuilder& bytes, std::size_t length,
                             const char* encoding,
                             I18NConversionCallback callback = nullptr,
                             void* userData = nullptr);

#endif  // WEXCORE_I18NENCODING_H_
