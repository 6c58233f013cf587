// Encodings that the POSIX build's conversion library (glibc's iconv) knows
// and the Windows code pages do not: stateful ones, one byte for several
// characters, two bytes per character, EBCDIC.

#include <gtest/gtest.h>

#include <string>

#include "EncodingCases.h"
#include "I18NDecode.h"
#include "I18NEncoding.h"

namespace {

INSTANTIATE_TEST_SUITE_P(IconvEncodings, I18NDecodeTest,
                         ::testing::Values(
                             // Pure ASCII input that a stateful encoding reads
                             // differently must not be widened byte for byte.
                             DecodeCase{"ISO-2022-JP", "\x1B$B\x30\x21\x1B(B",
                                        u"\u4e9c", 0},
                             // One byte can stand for several characters: the
                             // output outgrows the input.
                             DecodeCase{"TSCII", std::string(3000, '\x82'),
                                        [] {
                                          std::u16string units;
                                          for (int i = 0; i < 3000; ++i)
                                            units +=
                                                u"\u0bb8\u0bcd\u0bb0\u0bc0";
                                          return units;
                                        }(),
                                        0}));

INSTANTIATE_TEST_SUITE_P(
    IconvEncodings, OrvCodeConverterTableTest,
    ::testing::Values(
        // A stateful encoding shifts back at the end of the text.
        ConvertCase{"ISO-2022-JP", u"a\u4e9c", "a\x1B$B\x30\x21\x1B(B"},
        // The '?' is written in the target encoding.
        ConvertCase{"UTF-16LE", u"a\xDE00", std::string("a\0?\0", 4)}));

TEST(IconvEncodingNamesTest, NamesOnlyTheLibraryKnows) {
  for (const char* name : {"UTF-16LE", "IBM037", "NF_Z_62-010_(1973)"}) {
    EXPECT_TRUE(I18NIsKnownEncoding(name)) << name;
  }
  // The C locale's name for ASCII.
  EXPECT_TRUE(I18NIsAsciiCompatibleEncoding("ANSI_X3.4-1968"));
}

}  // namespace
