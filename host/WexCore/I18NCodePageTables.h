#ifndef WEXCORE_I18NCODEPAGETABLES_H_
#define WEXCORE_I18NCODEPAGETABLES_H_

// The decoding tables of the code pages the handler reads, as
// scripts/generate-code-pages writes them into I18NCodePageTables.cpp.

#include <cstddef>

// The second bytes that a table of pairs holds: 0x40 to 0xFE. A pair whose
// second byte lies outside is invalid in every code page here.
constexpr unsigned kI18NFirstTrail = 0x40;
constexpr std::size_t kI18NTrailCount = 0xFF - kI18NFirstTrail;

// One code page's decoding, as Windows decodes it: one unit per byte or byte
// pair, U+FFFD for a byte or pair that decodes to no character. Every table
// decodes 0x00..0x7F to themselves.
struct I18NCodePageTable {
  // The Windows code page number: 1252, 932, 20127 (US-ASCII), ...
  unsigned number;
  // Each byte alone; a byte that opens pairs is U+FFFD here.
  const char16_t* singles;
  // Null for a code page of single bytes. Otherwise, for each byte, 0 when
  // it opens no pair, else one more than the row of `pairs` that decodes
  // the pairs it opens, by second byte less kI18NFirstTrail.
  const unsigned char* leadRows;
  const char16_t (*pairs)[kI18NTrailCount];
};

// Every table, ordered by code page number.
extern const I18NCodePageTable kI18NCodePageTables[];
extern const std::size_t kI18NCodePageTableCount;

#endif  // WEXCORE_I18NCODEPAGETABLES_H_
