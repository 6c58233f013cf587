#ifndef WEXCORE_I18NCODEPAGES_H_
#define WEXCORE_I18NCODEPAGES_H_

// The encodings the handler reads and writes, by their names: UTF-8 and the
// code pages of I18NCodePageTables.h. The list, the tables and so every
// decoding are the same on every system.

#include <string>
#include <vector>

#include "I18NCodePageTables.h"

// One encoding of the list.
struct I18NCodePage {
  // The name the handler gives it ("windows-1252"): the first of its names.
  const char* name;
  // The Windows code page number (65001 for UTF-8).
  unsigned number;
  // Its decoding; null for UTF-8, which the handler decodes by rule.
  const I18NCodePageTable* table;
};

// The encoding that `name` is one of the names of, compared without regard
// to case, or null when no encoding of the list has that name.
// REQUIRES: `name` is not null.
const I18NCodePage* I18NFindCodePage(const char* name);

// The encoding of Windows code page `number`, or null when it is not listed.
const I18NCodePage* I18NFindCodePageNumber(unsigned number);

// One encoding of the list with all its names, its own first.
struct I18NCodePageNames {
  const I18NCodePage* encoding;
  std::vector<const char*> names;
};

// Every encoding of the list, in the order the usage text and the manual
// give them.
std::vector<I18NCodePageNames> I18NListCodePages();

// Appends `character` (a Unicode scalar value or a lone surrogate) in
// `encoding` to `bytes`; returns false, appending nothing, when the encoding
// has no byte or pair that decodes to it.
bool I18NEncodeCharacter(const I18NCodePage& encoding, char32_t character,
                         std::string& bytes);

// Throws a WexException without a code whose text names `encoding` as
// unknown.
[[noreturn]] void I18NRaiseUnknownEncoding(const char* encoding);

#endif  // WEXCORE_I18NCODEPAGES_H_
