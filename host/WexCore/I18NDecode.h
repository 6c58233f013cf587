#ifndef WEXCORE_I18NDECODE_H_
#define WEXCORE_I18NDECODE_H_

// Decoding bytes of a named encoding into UTF-16, over the platform's
// converters: single-byte encodings through a table worked out once, UTF-8
// by a decoder of its own, and every other encoding by the platform.

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

// True when `name` encodes the printable ASCII characters, tab, line feed and
// carriage return as the same single bytes that ASCII uses (UTF-8, the
// Windows and ISO code pages, IBM437, ...): the client's marker texts are
// only recognisable in such an encoding.
bool I18NIsAsciiCompatibleEncoding(const char* name);

// Says which of the bytes that I18NIsAsciiCompatibleEncoding looks at do
// not decode to themselves in `name`, and what each becomes alone, as
// English text ("0x5C decodes to U+00A5, 0x7E decodes to U+203E"; "0x41 does
// not decode alone"); beyond eight, only their number. Throws WexException
// when `name` is unknown.
std::string I18NDescribeAsciiChanges(const char* name);

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
