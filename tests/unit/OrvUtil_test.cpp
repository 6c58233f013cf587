// The utility library: conversion to 8-bit text, trimming, message texts and
// the exception that the parsers raise.

#include <gtest/gtest.h>

#include <string>

#include "EncodingCases.h"
#include "I18NEncoding.h"
#include "OrvCodeConverter.h"
#include "OrvException.h"
#include "OrvMessage.h"
#include "OrvSystemUtils.h"

namespace {

TEST_P(OrvCodeConverterTableTest, ConvertsAndCountsBytes) {
  const ConvertCase& c = GetParam();
  OrvCodeConverter converter(c.encoding, I18NString(c.text));
  ASSERT_EQ(converter.byteLength(), static_cast<int>(c.expected.size()))
      << c.encoding;
  const char* bytes = converter.toCharPtr(nullptr);
  EXPECT_EQ(std::string(bytes, c.expected.size()), c.expected);
  EXPECT_EQ(bytes[c.expected.size()], '\0');
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, OrvCodeConverterTableTest,
    ::testing::Values(
        ConvertCase{"UTF-8", u"J\u00e9r\u00f4me", "J\xC3\xA9r\xC3\xB4me"},
        ConvertCase{"windows-1252", u"J\u00e9r\u00f4me", "J\xE9r\xF4me"},
        ConvertCase{"UTF-8", u"\u20ac\U0001F600",
                    "\xE2\x82\xAC\xF0\x9F\x98\x80"},
        ConvertCase{"windows-1252", u"\u20ac", "\x80"},
        // One '?' per character that the encoding cannot hold, a pair of
        // surrogates being one character.
        ConvertCase{"IBM437", u"\u00e9\u20ac!", "\x82?!"},
        ConvertCase{"windows-1252", u"a\U0001F600b\u4e9c", "a?b?"},
        ConvertCase{"ISO-8859-1", u"\u0100\u00ff", "?\xFF"},
        // Lone surrogates, in the middle and at the very end.
        ConvertCase{"UTF-8", u"a\xDE00z", "a?z"},
        ConvertCase{"windows-1252", u"a\xD83D", "a?"},
        ConvertCase{"UTF-8",
                    u"\xD83D\xD83D"
                    u"b",
                    "??b"},
        ConvertCase{"UTF-8", std::u16string(u"a\0b", 3),
                    std::string("a\0b", 3)},
        ConvertCase{"UTF-8", u"", ""},
        // Pairs in the double-byte code pages; what decodes to no character
        // (a C1 control, the private use area) is not written either.
        ConvertCase{"Shift_JIS", u"\u3042a\uff71",
                    "\x82\xA0"
                    "a\xB1"},
        ConvertCase{"CP949", u"\uac00\uac02\u20ac", "\xB0\xA1\x81\x41\xA2\xE6"},
        ConvertCase{"GBK", u"\u20ac\u00b7", "\x80\xA1\xA4"},
        ConvertCase{"CP932", u"\u0080\ue000", "??"},
        ConvertCase{"windows-1252", u"\u0081", "?"}));

TEST(OrvCodeConverterTest, LargeTextConverts) {
  std::u16string text(3 << 20, u'\u00e9');
  OrvCodeConverter utf8("UTF-8", I18NString(text));
  EXPECT_EQ(utf8.byteLength(), 2 * static_cast<int>(text.size()));
  OrvCodeConverter latin("windows-1252", I18NString(text));
  EXPECT_EQ(latin.byteLength(), static_cast<int>(text.size()));
}

TEST(OrvCodeConverterTest, NullEncodingMeansTheDefault) {
  std::string previous = I18NGetPlatformDefaultEncoding();
  I18NSetPlatformDefaultEncoding("IBM437");
  OrvCodeConverter converter(nullptr, I18NString(std::u16string(u"\u00e9")));
  I18NSetPlatformDefaultEncoding(previous.c_str());
  EXPECT_STREQ(converter.toCharPtr(nullptr), "\x82");
}

TEST(OrvCodeConverterTest, UnknownEncodingThrows) {
  EXPECT_THROW(OrvCodeConverter("NO-SUCH-ENCODING-42", I18NString()),
               WexException);
}

TEST(OrvSystemUtilsTest, ExactlySixWhiteSpaceUnits) {
  int count = 0;
  for (unsigned int unit = 0; unit <= 0xFFFF; ++unit) {
    if (OrvSystemUtils::IsWhiteSpace(unit)) ++count;
  }
  EXPECT_EQ(count, 6);
  for (unsigned int unit : {0x20u, 0x09u, 0x0Au, 0x0Bu, 0x0Cu, 0x0Du}) {
    EXPECT_TRUE(OrvSystemUtils::IsWhiteSpace(unit)) << unit;
  }
}

struct TrimCase {
  std::u16string text;
  std::u16string left;
  std::u16string right;
};

class OrvSystemUtilsTrimTest : public ::testing::TestWithParam<TrimCase> {};

TEST_P(OrvSystemUtilsTrimTest, TrimsTheSixWhiteSpaceCharacters) {
  const TrimCase& c = GetParam();
  I18NString left(c.text);
  OrvSystemUtils::TrimLeft(left);
  EXPECT_EQ(left.units(), c.left);
  I18NString right(c.text);
  OrvSystemUtils::TrimRight(right);
  EXPECT_EQ(right.units(), c.right);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OrvSystemUtilsTrimTest,
    ::testing::Values(
        TrimCase{u" \t\n\v\f\rab c \t\n\v\f\r", u"ab c \t\n\v\f\r",
                 u" \t\n\v\f\rab c"},
        TrimCase{u" \t\n\v\f\r", u"", u""}, TrimCase{u"", u"", u""},
        TrimCase{u"x", u"x", u"x"},
        // No-break space, next line and the line separator are not trimmed.
        TrimCase{u"\u00a0 a \u00a0", u"\u00a0 a \u00a0", u"\u00a0 a \u00a0"},
        TrimCase{u"\u0085a\u2028", u"\u0085a\u2028", u"\u0085a\u2028"},
        TrimCase{std::u16string(u"\0 a \0", 5), std::u16string(u"\0 a \0", 5),
                 std::u16string(u"\0 a \0", 5)}));

struct MessageCase {
  unsigned long code;
  const char16_t* text;
};

class OrvMessageTableTest : public ::testing::TestWithParam<MessageCase> {};

TEST_P(OrvMessageTableTest, HoldsTheTextOfItsCode) {
  const MessageCase& c = GetParam();
  OrvMessage message(c.code);
  EXPECT_EQ(message.getCode(), c.code);
  EXPECT_EQ(message.getText().units(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, OrvMessageTableTest,
    ::testing::Values(
        MessageCase{0x56177B77UL,
                    u"The client output of the comparison says neither that "
                    u"the files differ nor that they are the same."},
        MessageCase{0x56170001UL, u"The command line is not valid:"},
        MessageCase{0x56170002UL, u"The client output cannot be read:"},
        MessageCase{0x56170003UL, u"The client output is too large:"},
        MessageCase{0x56170004UL,
                    u"The result document could not be written to standard "
                    u"output."},
        MessageCase{0x1234ABCDUL, u"Message 0x1234ABCD."},
        MessageCase{0x5UL, u"Message 0x00000005."}));

TEST(OrvMessageTest, DetailFollowsAfterOneBlank) {
  OrvMessage message(ORV_MSG_COMMAND_LINE_ERROR,
                     I18NString(std::u16string(u"unknown option --x")));
  EXPECT_EQ(message.getText().units(),
            u"The command line is not valid: unknown option --x");
  OrvMessage empty(ORV_MSG_OUTPUT_FAILED, I18NString());
  EXPECT_EQ(empty.getText().units(),
            u"The result document could not be written to standard output.");
}

TEST(OrvExceptionTest, OrvExceptionRaiseThrowsOrvExceptionWithSite) {
  // The order in which the parsers raise a failure.
  static const WexSourceLocation kLocation = {"src/parsers/Parser.cpp", 94};
  try {
    OrvMessage message(ORV_MSG_DIFF_UNRECOGNISED);
    OrvException exception(ORV_MSG_DIFF_UNRECOGNISED);
    (exception << message)
        .raise(&kLocation, "Parser::ProceesOutPut()", "WEX_THROW");
    FAIL() << "raise returned";
  } catch (const OrvException& caught) {
    EXPECT_TRUE(caught.hasCode());
    EXPECT_EQ(caught.getCode(), 0x56177B77L);
    EXPECT_EQ(caught.getText(),
              OrvMessage(ORV_MSG_DIFF_UNRECOGNISED).getText());
    EXPECT_STREQ(caught.getFile(), "Parser.cpp");
    EXPECT_EQ(caught.getLine(), 94);
    EXPECT_STREQ(caught.getFunction(), "Parser::ProceesOutPut()");
    EXPECT_STREQ(caught.getMacro(), "WEX_THROW");
  }
}

TEST(OrvExceptionTest, OrvExceptionIsCaughtAsWexException) {
  OrvException exception(ORV_MSG_DIFF_UNRECOGNISED);
  WexException& base = exception;
  EXPECT_THROW(base.raise(nullptr, nullptr, nullptr), OrvException);
  try {
    base.raise(nullptr, nullptr, nullptr);
  } catch (const WexException& caught) {
    EXPECT_EQ(caught.getCode(), 0x56177B77L);
    EXPECT_STREQ(caught.getFile(), "");
    EXPECT_EQ(caught.getLine(), 0);
    EXPECT_STREQ(caught.getFunction(), "");
    EXPECT_STREQ(caught.getMacro(), "");
  }
}

TEST(OrvExceptionTest, MessageCodeIsTakenOnlyWithoutACode) {
  WexException plain;
  EXPECT_FALSE(plain.hasCode());
  plain << OrvMessage(ORV_MSG_INPUT_TOO_LARGE);
  EXPECT_TRUE(plain.hasCode());
  EXPECT_EQ(plain.getCode(), 0x56170003L);

  WexException coded(7);
  coded << OrvMessage(ORV_MSG_INPUT_TOO_LARGE)
        << I18NString(std::u16string(u" 3 GB"));
  EXPECT_EQ(coded.getCode(), 7);
  EXPECT_EQ(coded.getText().units(), u"The client output is too large: 3 GB");
}

TEST(OrvExceptionTest, WexExceptionRaiseIsNotAnOrvException) {
  WexException exception;
  exception << I18NString(std::u16string(u"text"));
  try {
    exception.raise(nullptr, "f()", "WEX_THROW");
  } catch (const OrvException&) {
    FAIL() << "caught as OrvException";
  } catch (const WexException& caught) {
    EXPECT_FALSE(caught.hasCode());
    EXPECT_EQ(caught.getText().units(), u"text");
    EXPECT_STREQ(caught.getFunction(), "f()");
  }
}

}  // namespace
