#ifndef WEXCORE_PORT_PORTCONVERSION_H_
#define WEXCORE_PORT_PORTCONVERSION_H_

// The platform's conversion between named encodings and UTF-16 (in this
// machine's byte order, no byte-order mark: the form of I18NString's code
// units). Only the primitives live here; what the handler makes of them (the
// tables of single-byte encodings, its own UTF-8 decoder, one U+FFFD per
// invalid byte, '?' for a character an encoding lacks) is common code.

#include <cstddef>
#include <string>

// An open converter in one direction, owned by whoever opened it.
class PortConverter;

// How opening a converter ended.
enum class PortOpenResult {
  kOpened,
  kUnknownName,  // the platform knows no encoding of that name
  kNoMemory,     // the encoding is known but could not be opened
};

// Opens a converter from `encoding` to UTF-16 (`toUtf16`) or from UTF-16 to
// `encoding`, in its initial state, into `converter` (null unless opened).
// REQUIRES: `encoding` is not empty.
PortOpenResult PortOpenConverter(const char* encoding, bool toUtf16,
                                 PortConverter*& converter);

// Closes a converter that PortOpenConverter opened.
void PortCloseConverter(PortConverter* converter);

// Puts `converter` back into its initial state.
void PortResetConverter(PortConverter* converter);

// How one conversion step ended.
enum class PortStep {
  kDone,        // all the input was converted
  kOutputFull,  // the output has no room left; the input is not done
  kInvalid,     // the input stops at a sequence that cannot be converted
  kIncomplete,  // the input ends inside a sequence
};

// Decodes bytes [in, in + inLeft) into UTF-16 units at [out, out + outLeft),
// advancing both past what was converted, and stops at the end, at a full
// output or in front of an invalid or incomplete sequence. With `in` null,
// writes what a stateful decoder still owes at the end of its input.
// REQUIRES: `converter` was opened with `toUtf16`.
PortStep PortDecode(PortConverter* converter, const char*& in,
                    std::size_t& inLeft, char16_t*& out, std::size_t& outLeft);

// Encodes UTF-16 units [in, in + inLeft) into bytes at [out, out + outLeft)
// in the same way; kInvalid stops in front of a character that the encoding
// cannot represent or a lone surrogate, kIncomplete at a high surrogate that
// ends the input. With `in` null, writes what returns a stateful encoding to
// its initial shift state.
// REQUIRES: `converter` was opened without `toUtf16`.
PortStep PortEncode(PortConverter* converter, const char16_t*& in,
                    std::size_t& inLeft, char*& out, std::size_t& outLeft);

// The name of the encoding of the environment's locale, as the conversion
// above knows it, read without changing the process's own locale.
std::string PortDefaultEncodingName();

// Where PortDefaultEncodingName() takes the name from, in words for a person
// ("the locale's encoding", "the ANSI code page").
const char* PortDefaultEncodingOrigin();

#endif  // WEXCORE_PORT_PORTCONVERSION_H_
