#ifndef WEXCORE_I18NDECODE_H_
#define WEXCORE_I18NDECODE_H_

// Decoding bytes of a named encoding into UTF-16: the code pages through
// their tables (I18NCodePageTables.h), UTF-8 by a decoder of its own. Every
// encoding decodes ASCII to itself.

#include <cstddef>
#include <string>

#include "I18NString.h"

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
// at the start of `sink`'s array; returns the number of units written, at
// most one per byte. Every byte or pair that decodes to no character, and an
// incomplete UTF-8 sequence at the end, becomes one U+FFFD and decoding goes
// on with the next byte. After the decoding, `callback` (when not null) is
// called with `userData` once per U+FFFD that was put in. Throws WexException
// when `encoding` is not one of I18NCodePages.h's names.
std::size_t I18NDecodeBytes(const char* bytes, std::size_t length,
                            const char* encoding,
                            I18NConversionCallback callback, void* userData,
                            I18NUnitSink& sink);

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

#endif  // WEXCORE_I18NDECODE_H_
