#ifndef TESTS_UNIT_ENCODINGCASES_H_
#define TESTS_UNIT_ENCODINGCASES_H_

// The table-driven conversion tests: the decoding and the encoding rows.

#include <gtest/gtest.h>

#include <string>

// Bytes in `encoding` and the text they decode to, with the number of
// U+FFFD that stand for invalid bytes.
struct DecodeCase {
  const char* encoding;
  std::string bytes;
  std::u16string expected;
  int replacements;
};

class I18NDecodeTest : public ::testing::TestWithParam<DecodeCase> {};

// A text and the bytes the code converter makes of it in `encoding`.
struct ConvertCase {
  const char* encoding;
  std::u16string text;
  std::string expected;
};

class OrvCodeConverterTableTest : public ::testing::TestWithParam<ConvertCase> {
};

#endif  // TESTS_UNIT_ENCODINGCASES_H_
