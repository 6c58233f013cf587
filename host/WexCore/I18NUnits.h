#ifndef WEXCORE_I18NUNITS_H_
#define WEXCORE_I18NUNITS_H_

// Loops over arrays of code units, for I18NString and the decoders. Units
// are stored one byte each (unsigned char, every unit below U+0100) or two
// (char16_t); the searches take either, the needle in the text's width.
// Internal to the core library.

#include <cstddef>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#endif

namespace i18n_units {

// True when every one of the `count` units fits in one byte.
inline bool FitsNarrow(const char16_t* units, std::size_t count) {
  char16_t seen = 0;
  for (std::size_t i = 0; i < count; ++i) seen |= units[i];
  return seen < 0x100;
}

// Copies `count` units below U+0100 to one byte each.
inline void Narrow(const char16_t* units, std::size_t count,
                   unsigned char* out) {
  for (std::size_t i = 0; i < count; ++i)
    out[i] = static_cast<unsigned char>(units[i]);
}

// Copies `count` one-byte units to two bytes each, sixteen at a time where
// the processor allows: texts of megabytes are widened so.
inline void Widen(const unsigned char* units, std::size_t count,
                  char16_t* out) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; count - i >= 16; i += 16) {
    const __m128i block =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                     _mm_unpacklo_epi8(block, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8),
                     _mm_unpackhi_epi8(block, zero));
  }
#endif
  for (; i < count; ++i) out[i] = units[i];
}

// Position of the first unit equal to `unit` in [begin, end), else end.
inline const unsigned char* FindUnit(const unsigned char* begin,
                                     const unsigned char* end,
                                     unsigned char unit) {
  const void* found = std::memchr(begin, unit, end - begin);
  return found == nullptr ? end : static_cast<const unsigned char*>(found);
}

// The texts are megabytes long and the needles' first units (line feeds,
// asterisks) are sparse, so eight units are compared at a time.
inline const char16_t* FindUnit(const char16_t* begin, const char16_t* end,
                                char16_t unit) {
  const char16_t* at = begin;
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi16(static_cast<short>(unit));
  for (; end - at >= 8; at += 8) {
    __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(block, wanted));
    if (mask != 0) return at + __builtin_ctz(static_cast<unsigned>(mask)) / 2;
  }
#endif
  while (at != end && *at != unit) ++at;
  return at;
}

#if defined(__SSE2__)
// Sixteen bytes, or eight two-byte units, compared at once: a mask with one
// bit per byte, set where a unit equals the one broadcast in `wanted`.
inline unsigned MatchMask(const unsigned char* at, __m128i wanted) {
  const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  return static_cast<unsigned>(
      _mm_movemask_epi8(_mm_cmpeq_epi8(block, wanted)));
}
inline unsigned MatchMask(const char16_t* at, __m128i wanted) {
  const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  return static_cast<unsigned>(
      _mm_movemask_epi8(_mm_cmpeq_epi16(block, wanted)));
}
inline __m128i Broadcast(unsigned char unit) {
  return _mm_set1_epi8(static_cast<char>(unit));
}
inline __m128i Broadcast(char16_t unit) {
  return _mm_set1_epi16(static_cast<short>(unit));
}
#endif

// Position of `needle` (at least one unit) in [begin, end), else end.
// Candidates are positions where both the needle's first and its last unit
// stand; only those are compared in full. The client's markers begin with
// units that are common in the text (line feeds, letters), and the pair
// thins the candidates out far more than the first unit alone.
template <typename Unit>
const Unit* FindShortNeedle(const Unit* begin, const Unit* end,
                            const Unit* needle, std::size_t needleLength) {
  if (static_cast<std::size_t>(end - begin) < needleLength) return end;
  const Unit* lastStart = end - needleLength;
  const std::size_t last = needleLength - 1;
  const std::size_t restBytes = last * sizeof(Unit);
  const Unit* at = begin;
#if defined(__SSE2__)
  const std::size_t perBlock = 16 / sizeof(Unit);
  const __m128i first = Broadcast(needle[0]);
  const __m128i final = Broadcast(needle[last]);
  for (; static_cast<std::size_t>(lastStart - at) >= perBlock; at += perBlock) {
    unsigned mask = MatchMask(at, first) & MatchMask(at + last, final);
    while (mask != 0) {
      const Unit* candidate = at + __builtin_ctz(mask) / sizeof(Unit);
      // A needle of one or two units has matched in full already.
      if (last <= 1 || std::memcmp(candidate + 1, needle + 1, restBytes) == 0)
        return candidate;
      // Every byte of the candidate's unit.
      mask &= ~((1u << ((candidate - at + 1) * sizeof(Unit))) - 1);
    }
  }
#endif
  for (;; ++at) {
    at = FindUnit(at, lastStart + 1, needle[0]);
    if (at > lastStart) return end;
    if (std::memcmp(at + 1, needle + 1, restBytes) == 0) return at;
  }
}

// Knuth-Morris-Pratt: position of `needle` in `text` at or after `from`,
// else textLength.
template <typename Unit>
std::size_t FindLongNeedle(const Unit* text, std::size_t textLength,
                           const Unit* needle, std::size_t needleLength,
                           std::size_t from) {
  // border[i]: length of the longest proper border of needle[0..i].
  std::vector<std::size_t> border(needleLength, 0);
  for (std::size_t i = 1, k = 0; i < needleLength; ++i) {
    while (k > 0 && needle[i] != needle[k]) k = border[k - 1];
    if (needle[i] == needle[k]) ++k;
    border[i] = k;
  }
  for (std::size_t i = from, matched = 0; i < textLength; ++i) {
    while (matched > 0 && text[i] != needle[matched])
      matched = border[matched - 1];
    if (text[i] == needle[matched]) ++matched;
    if (matched == needleLength) return i + 1 - needleLength;
  }
  return textLength;
}

// The number of units equal to `unit` in [begin, end). A loop without an
// early exit: the compiler compares many units at a time on its own.
template <typename Unit>
std::size_t CountUnit(const Unit* begin, const Unit* end, Unit unit) {
  std::size_t count = 0;
  for (const Unit* at = begin; at != end; ++at) count += *at == unit ? 1 : 0;
  return count;
}

// Needles up to this length are searched by their first and last unit and
// compared in full at each candidate, which costs at most one short memcmp
// per text position; longer ones use the prefix table, so no search costs
// more than a small multiple of text plus needle. The client's longest
// marker ("No VSS database (srcsafe.ini) found.") is well below it.
const std::size_t kShortNeedle = 64;

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// FindShortNeedle for one-byte units, 32 at a time: the client's failure
// messages are looked for in the whole of a listing of megabytes. Used only
// where the processor reports AVX2 at run time; elsewhere the portable
// search runs.
__attribute__((target("avx2"))) inline const unsigned char* FindShortNeedleAvx2(
    const unsigned char* begin, const unsigned char* end,
    const unsigned char* needle, std::size_t needleLength) {
  if (static_cast<std::size_t>(end - begin) < needleLength) return end;
  const unsigned char* lastStart = end - needleLength;
  const std::size_t last = needleLength - 1;
  const __m256i first = _mm256_set1_epi8(static_cast<char>(needle[0]));
  const __m256i final = _mm256_set1_epi8(static_cast<char>(needle[last]));
  const unsigned char* at = begin;
  for (; lastStart - at >= 32; at += 32) {
    const __m256i starts =
        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
    const __m256i ends =
        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + last));
    unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_and_si256(
        _mm256_cmpeq_epi8(starts, first), _mm256_cmpeq_epi8(ends, final))));
    for (; mask != 0; mask &= mask - 1) {
      const unsigned char* candidate = at + __builtin_ctz(mask);
      if (last <= 1 || std::memcmp(candidate + 1, needle + 1, last) == 0)
        return candidate;
    }
  }
  return FindShortNeedle(at, end, needle, needleLength);
}

inline bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

// Position of `needle` in `text` at or after `from`, else textLength.
// REQUIRES: from <= textLength, needleLength > 0.
template <typename Unit>
std::size_t Find(const Unit* text, std::size_t textLength, const Unit* needle,
                 std::size_t needleLength, std::size_t from) {
  if (needleLength > kShortNeedle)
    return FindLongNeedle(text, textLength, needle, needleLength, from);
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  if constexpr (sizeof(Unit) == 1) {
    if (HasAvx2()) {
      return FindShortNeedleAvx2(text + from, text + textLength, needle,
                                 needleLength) -
             text;
    }
  }
#endif
  return FindShortNeedle(text + from, text + textLength, needle, needleLength) -
         text;
}

}  // namespace i18n_units

#endif  // WEXCORE_I18NUNITS_H_
