// Decoding the client's bytes: the encodings the client writes in, invalid
// bytes, the process's default encoding and the encoding predicates.

#include <gtest/gtest.h>

#include <string>

#include "EncodingCases.h"
#include "I18NDecode.h"
#include "I18NEncoding.h"
#include "I18NString.h"
#include "WexException.h"

namespace {

const char16_t kFffd = 0xFFFD;

void CountReplacement(void* userData) { ++*static_cast<int*>(userData); }

TEST_P(I18NDecodeTest, DecodesAndReplacesInvalidBytes) {
  const DecodeCase& c = GetParam();
  int replacements = 0;
  I18NString text(c.bytes.data(), c.encoding, static_cast<int>(c.bytes.size()),
                  CountReplacement, &replacements);
  EXPECT_EQ(text.units(), c.expected) << c.encoding;
  EXPECT_EQ(replacements, c.replacements) << c.encoding;
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, I18NDecodeTest,
    ::testing::Values(
        DecodeCase{"UTF-8", "caf\xC3\xA9", u"caf\u00e9", 0},
        DecodeCase{"UTF-8", "\xF0\x9F\x98\x80!", u"\U0001F600!", 0},
        // Every byte that starts no valid sequence gives one U+FFFD.
        DecodeCase{"UTF-8",
                   "a\xFF"
                   "b",
                   std::u16string(u"a") + kFffd + u"b", 1},
        DecodeCase{"UTF-8",
                   "a\xE2\x82"
                   "b",
                   std::u16string(u"a") + kFffd + kFffd + u"b", 2},
        // An incomplete sequence at the end is one U+FFFD.
        DecodeCase{"UTF-8", "ab\xE2\x82", std::u16string(u"ab") + kFffd, 1},
        DecodeCase{"UTF-8", std::string("a\0\xC3\xA9\0", 5),
                   std::u16string(u"a\0\u00e9\0", 4), 0},
        DecodeCase{"windows-1252", "\x80 \x93quoted\x94",
                   u"\u20ac \u201cquoted\u201d", 0},
        DecodeCase{"windows-1252", "a\x81z\xE9",
                   std::u16string(u"a") + kFffd + u"z\u00e9", 1},
        DecodeCase{"windows-1252", std::string("\r\n\0x", 4),
                   std::u16string(u"\r\n\0x", 4), 0},
        DecodeCase{"IBM437", "\x82\xB3\xC4\xDB", u"\u00e9\u2502\u2500\u2588",
                   0},
        DecodeCase{"ISO-8859-1", "\xA0\xFF", u"\u00a0\u00ff", 0},
        DecodeCase{"UTF-8", "", u"", 0}));

TEST(I18NDecodeLengthTest, MinusOneStopsAtTheFirstZero) {
  EXPECT_EQ(I18NString("ab\0cd", "UTF-8", -1).units(), u"ab");
  EXPECT_EQ(I18NString("\xE9t\xE9\0x", "windows-1252", -1).units(),
            u"\u00e9t\u00e9");
}

TEST(I18NDecodeLargeInputTest, DecodesTensOfMegabytesAndGoesOnAfterErrors) {
  // 16 MiB of windows-1252 with an undefined byte every 4 KiB.
  std::string bytes(16 << 20, '\xE9');
  int invalid = 0;
  for (size_t i = 4096; i < bytes.size(); i += 4096, ++invalid)
    bytes[i] = '\x81';
  int replacements = 0;
  I18NString text(bytes.data(), "windows-1252", static_cast<int>(bytes.size()),
                  CountReplacement, &replacements);
  ASSERT_EQ(text.length(), static_cast<int>(bytes.size()));
  EXPECT_EQ(replacements, invalid);
  EXPECT_EQ(text.units()[4095], 0xE9);
  EXPECT_EQ(text.units()[4096], kFffd);
  EXPECT_EQ(text.units().back(), 0xE9);
}

TEST(I18NDecodeUnknownTest, UnknownEncodingThrowsWithoutCode) {
  try {
    I18NString text("abc", "NO-SUCH-ENCODING-42");
    FAIL() << "no exception";
  } catch (const WexException& exception) {
    EXPECT_FALSE(exception.hasCode());
    EXPECT_NE(exception.getText().find(I18NString(u"NO-SUCH-ENCODING-42"), 0),
              -1);
  }
  // Pure ASCII text must not slip past the check.
  EXPECT_THROW(I18NString("", "NO-SUCH-ENCODING-42"), WexException);
  // The conversion library would take an empty name for the locale's.
  EXPECT_THROW(I18NString("abc", ""), WexException);
}

// Gives the process its default encoding back after each test.
class I18NDefaultEncodingTest : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = I18NGetPlatformDefaultEncoding(); }
  void TearDown() override {
    I18NSetPlatformDefaultEncoding(previous_.c_str());
  }

 private:
  std::string previous_;
};

TEST_F(I18NDefaultEncodingTest, NullEncodingMeansTheDefault) {
  I18NSetPlatformDefaultEncoding("windows-1252");
  EXPECT_STREQ(I18NGetPlatformDefaultEncoding(), "windows-1252");
  EXPECT_EQ(I18NString("\x80", nullptr).units(), u"\u20ac");
  I18NString assigned;
  assigned = "\x93";
  EXPECT_EQ(assigned.units(), u"\u201c");

  I18NSetPlatformDefaultEncoding("IBM437");
  EXPECT_EQ(I18NString("\x80", nullptr).units(), u"\u00c7");
}

TEST_F(I18NDefaultEncodingTest, WithoutASettingTheLocaleCodesetIsKnown) {
  I18NSetPlatformDefaultEncoding(nullptr);
  const char* name = I18NGetPlatformDefaultEncoding();
  ASSERT_NE(name, nullptr);
  EXPECT_TRUE(I18NIsKnownEncoding(name)) << name;
}

TEST(I18NEncodingPredicateTest, KnownEncodings) {
  // Real names hold '/', ':', '(' and ')' too.
  for (const char* name : {"UTF-8", "windows-1252", "IBM437", "ISO-8859-1",
                           "ISO-10646/UTF8/", "ISO_8859-1:1987"}) {
    EXPECT_TRUE(I18NIsKnownEncoding(name)) << name;
  }
  for (const char* name : {"NO-SUCH-ENCODING-42", "", "UTF-9"}) {
    EXPECT_FALSE(I18NIsKnownEncoding(name)) << name;
  }
  EXPECT_FALSE(I18NIsKnownEncoding(nullptr));
}

TEST(I18NEncodingPredicateTest, AsciiCompatibleEncodings) {
  for (const char* name : {"UTF-8", "windows-1252", "IBM437", "ISO-8859-1"}) {
    EXPECT_TRUE(I18NIsAsciiCompatibleEncoding(name)) << name;
  }
  // Two bytes per character, EBCDIC, and '+' opening a shifted run.
  for (const char* name :
       {"UTF-16LE", "UTF-16", "IBM037", "UTF-7", "NO-SUCH-ENCODING-42"}) {
    EXPECT_FALSE(I18NIsAsciiCompatibleEncoding(name)) << name;
  }
  EXPECT_FALSE(I18NIsAsciiCompatibleEncoding(nullptr));
}

}  // namespace
