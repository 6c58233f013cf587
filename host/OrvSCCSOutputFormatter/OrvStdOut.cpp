#include "OrvStdOut.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cstring>

#include "I18NUTF8.h"
#include "PortSystem.h"

namespace {

// The bytes OrvWriteToStdOut has handed to standard output so far.
std::size_t bytesWrittenToStdOut = 0;

// The document is encoded and written a block at a time, so no full-size
// UTF-8 copy of it is ever made.
const std::size_t kOutputBlockBytes = 64 * 1024;

// Copies the ASCII units from `at` on, up to `end` or the first other unit,
// to `out` as bytes; returns where it stopped. Documents are mostly ASCII,
// so sixteen units are looked at together where the processor allows.
const char16_t* CopyAscii(const char16_t* at, const char16_t* end, char*& out) {
#if defined(__SSE2__)
  const __m128i nonAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
  for (; end - at >= 16; at += 16, out += 16) {
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const __m128i high =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 8));
    const __m128i wide = _mm_and_si128(_mm_or_si128(low, high), nonAscii);
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(wide, _mm_setzero_si128())) !=
        0xFFFF) {
      break;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     _mm_packus_epi16(low, high));
  }
#endif
  while (at != end && *at < 0x80) *out++ = static_cast<char>(*at++);
  return at;
}

// Copies the ASCII bytes from `at` on, up to `end` or the first other one,
// to `out`; returns where it stopped.
const unsigned char* CopyAscii(const unsigned char* at,
                               const unsigned char* end, char*& out) {
#if defined(__SSE2__)
  for (; end - at >= 16; at += 16, out += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    if (_mm_movemask_epi8(block) != 0) break;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), block);
  }
#endif
  while (at != end && *at < 0x80) *out++ = static_cast<char>(*at++);
  return at;
}

// The end of the run of ASCII bytes that starts at `begin`, looked at a word
// at a time: documents run to megabytes, nearly all of them ASCII.
const unsigned char* AsciiEnd(const unsigned char* begin,
                              const unsigned char* end) {
  const std::uint64_t kHighBits = 0x8080808080808080ULL;
  const unsigned char* at = begin;
  for (std::uint64_t word; end - at >= 8; at += 8) {
    std::memcpy(&word, at, sizeof(word));
    if ((word & kHighBits) != 0) break;
  }
  while (at != end && *at < 0x80) ++at;
  return at;
}

// Writes [begin, end) (units of one or two bytes) to `fd` as UTF-8 through
// one reused block; 0, or the system's code of the failure. Adds the bytes
// that went out to `written`.
template <typename Unit>
uint32_t WriteUTF8(int fd, const Unit* begin, const Unit* end,
                   std::size_t& written) {
  char block[kOutputBlockBytes];
  char* const blockEnd = block + sizeof(block);
  char* out = block;
  const Unit* at = begin;
  while (at != end) {
    // Documents are mostly ASCII: copy it without looking further.
    const std::size_t room = static_cast<std::size_t>(blockEnd - out);
    const std::size_t left = static_cast<std::size_t>(end - at);
    const Unit* const asciiEnd = at + (left < room ? left : room);
    at = CopyAscii(at, asciiEnd, out);
    if (at != end && *at >= 0x80 &&
        static_cast<std::size_t>(blockEnd - out) >= kI18NMaxUTF8Bytes) {
      at = I18NEncodeUTF8(at, end, out);
      continue;
    }
    if (at != end) {
      // The block is full, or too full for one more character.
      uint32_t error = PortWriteAll(
          fd, block, static_cast<std::size_t>(out - block), written);
      if (error != 0) return error;
      out = block;
    }
  }
  return PortWriteAll(fd, block, static_cast<std::size_t>(out - block),
                      written);
}

// OrvWriteToDescriptor that adds the bytes that went out to `written`.
uint32_t WriteToDescriptor(int fd, const I18NString& document,
                           std::size_t& written) {
  const std::size_t length = static_cast<std::size_t>(document.size());
  if (document.isNarrow()) {
    const unsigned char* units = document.narrowData();
    // One-byte ASCII is its own UTF-8: it goes out as it stands, uncopied,
    // up to the first unit that needs encoding.
    const unsigned char* ascii = AsciiEnd(units, units + length);
    const uint32_t error =
        PortWriteAll(fd, reinterpret_cast<const char*>(units),
                     static_cast<std::size_t>(ascii - units), written);
    if (error != 0) return error;
    return WriteUTF8(fd, ascii, units + length, written);
  }
  const char16_t* units = document.data();
  return WriteUTF8(fd, units, units + length, written);
}

}  // namespace

uint32_t OrvWriteToStdOut(const I18NString& document) {
  // Whatever the C library holds for standard output must come first.
  const PortError error = PortFlushStandardOutput();
  if (error != 0) return error;
  return WriteToDescriptor(kPortStandardOutput, document, bytesWrittenToStdOut);
}

std::size_t OrvBytesWrittenToStdOut() { return bytesWrittenToStdOut; }

uint32_t OrvWriteToDescriptor(int fd, const I18NString& document) {
  std::size_t written = 0;
  return WriteToDescriptor(fd, document, written);
}
