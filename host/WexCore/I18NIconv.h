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

// Where decoding puts its code units: an array that the caller owns and
// grows on request.
class I18NUnitSink {
 public:
  // The array, with room for at least `capacity` units; the units written
  // into it so far are kept. Throws std::bad_alloc when there is no memory.
  virtual char16_t* Reserve(std::size_t capacity) = 0;

  // Narrow storage (one byte per unit, for units below U+0100) with room for
  // at least `capacity` units, or null when the sink takes wide units only
  // (the default). Decoding asks for it first and writes wide units only
  // from the first unit that does not fit.
  virtual unsigned char* ReserveNarrow(std::size_t /*capacity*/) {
    return nullptr;
  }

  // The narrow units written so far, the first `length`, turned wide, with
  // room for at least `capacity` units. Only called on a sink whose
  // ReserveNarrow() gave storage.
  virtual char16_t* Widen(std::size_t /*length*/, std::size_t capacity) {
    return Reserve(capacity);
  }

 protected:
  ~I18NUnitSink() = default;
};

// Decodes `length` bytes at `bytes` from `encoding` (not null) into UTF-16
// at the start of `sink`'s array; returns the number of units written.
// Every byte that starts no valid sequence, and an incomplete sequence at the
// end, becomes one U+FFFD and decoding goes on with the next byte. After the
// decoding, `callback` (when not null) is called with `userData` once per
// U+FFFD that was put in. Throws WexException when `encoding` is unknown.
// Single-byte encodings decode through a table built on their first use, and
// UTF-8 by a decoder of its own; both give what the conversion library gives.
std::size_t I18NDecodeBytes(const char* bytes, std::size_t length,
                            const char* encoding,
                            I18NConversionCallback callback, void* userData,
                            I18NUnitSink& sink);

// The same decoding by the conversion library alone, whatever the encoding:
// the reference that the table and the UTF-8 decoder are tested against.
std::size_t I18NDecodeBytesWithLibrary(const char* bytes, std::size_t length,
                                       const char* encoding,
                                       I18NConversionCallback callback,
                                       void* userData, I18NUnitSink& sink);

#endif  // WEXCORE_I18NICONV_H_
