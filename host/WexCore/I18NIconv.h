#ifndef WEXCORE_I18NICONV_H_
#define WEXCORE_I18NICONV_H_

// The host libraries' access to the conversion library (glibc iconv). Shared
// by the core and the utility library; the handler itself does not use it.

#include <iconv.h>

#include <cstddef>
#include <string>

#include "I18NString.h"

// The conversion library's name of UTF-16 in this machine's byte order,
// without a byte-order mark: the form of I18NString's code units.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
inline constexpr char kI18NNativeUtf16[] = "UTF-16BE";
#else
inline constexpr char kI18NNativeUtf16[] = "UTF-16LE";
#endif

// A descriptor converting from encoding `from` to encoding `to`, in its
// initial shift state, or null when the library cannot convert between them
// or a name is empty.
// Descriptors are opened on the first request for a pair and kept until the
// process exits (opening one is expensive); the caller never closes it. A later
// request for the same pair resets and hands out the same descriptor, so a
// conversion must be finished before the pair is requested again.
iconv_t I18NAcquireConverter(const char* to, const char* from);

// Throws a WexException without a code whose text names `encoding` as
// unknown, raised from `function` (static text).
[[noreturn]] void I18NRaiseUnknownEncoding(const char* encoding,
                                           const char* function);

// Decodes `length` bytes at `bytes` from `encoding` (not null) into UTF-16.
// Every byte that starts no valid sequence, and an incomplete sequence at the
// end, becomes one U+FFFD and decoding goes on with the next byte. After the
// decoding, `callback` (when not null) is called with `userData` once per
// U+FFFD that was put in. Throws WexException when `encoding` is unknown.
std::u16string I18NDecodeBytes(const char* bytes, size_t length,
                               const char* encoding,
                               I18NConversionCallback callback, void* userData);

#endif  // WEXCORE_I18NICONV_H_
