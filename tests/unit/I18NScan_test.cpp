#include "I18NScan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Three fields of `capacity` code units, their places preset to -1 so that
// a field that was not stored shows.
std::vector<I18NScanField> Fields(int capacity, int count = 3) {
  return std::vector<I18NScanField>(count, I18NScanField{capacity, -1, -1});
}

std::u16string FieldText(const I18NString& text, const I18NScanField& field) {
  return text.substring(field.start, field.start + field.length).units();
}

struct ScanCase {
  const char* name;
  std::u16string text;
  std::u16string format;
  int result;
  I18NScanStop stop;
  int stopField;
  std::vector<std::u16string> stored;  // the fields stored, in order
};

class ScanRulesTest : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanRulesTest, FollowsTheWideScanfRules) {
  const ScanCase& c = GetParam();
  // Narrow and wide storage must scan alike. A unit at or above U+0100
  // makes the text wide; it stands after a zero unit, which ends the text
  // for the scan.
  const I18NString narrow(c.text);
  const I18NString wide(c.text + std::u16string(1, u'\0') + u"\u0100");
  ASSERT_FALSE(wide.isNarrow());
  for (const I18NString& text : {narrow, wide}) {
    SCOPED_TRACE(text.isNarrow() ? "narrow" : "wide");
    std::vector<I18NScanField> fields = Fields(12);
    I18NScanOutcome outcome =
        I18NScanText(text, c.format.c_str(), fields.data(), 3);
    EXPECT_EQ(outcome.result, c.result);
    EXPECT_EQ(outcome.stop, c.stop);
    EXPECT_EQ(outcome.stopField, c.stopField);
    for (std::size_t i = 0; i < c.stored.size(); ++i) {
      EXPECT_EQ(FieldText(text, fields[i]), c.stored[i]) << "field " << i;
    }
    // Fields after the stored ones are never touched.
    for (std::size_t i = c.stored.size(); i < 3; ++i) {
      EXPECT_EQ(fields[i].start, -1) << "field " << i;
    }
  }
}

const ScanCase kScanCases[] = {
    // End of text before the first conversion: -1.
    {"EmptyTextString", u"", u"%s", -1, I18N_SCAN_INPUT_FAILURE, 0, {}},
    {"EmptyTextLiteral", u"", u"abc%s", -1, I18N_SCAN_INPUT_FAILURE, -1, {}},
    {"OnlyWhiteSpaceText", u" \t\n", u"%s", -1, I18N_SCAN_INPUT_FAILURE, 0, {}},
    // A white-space directive never fails, not even at the end.
    {"EmptyTextWhiteSpace", u"", u" ", 0, I18N_SCAN_COMPLETE, -1, {}},
    {"EmptyFormat", u"abc", u"", 0, I18N_SCAN_COMPLETE, -1, {}},
    // The text ends at its first zero unit, as a terminated buffer would.
    {"ZeroUnitEndsTheText",
     std::u16string(u"ab\0 cd", 6),
     u"%s %s",
     1,
     I18N_SCAN_INPUT_FAILURE,
     1,
     {u"ab"}},
    // %s skips leading white space and stops at white space.
    {"TwoStrings",
     u"  abc\t\r\v\fdef ghi",
     u"%s %s",
     2,
     I18N_SCAN_COMPLETE,
     -1,
     {u"abc", u"def"}},
    {"StringsWithoutBlankDirective",
     u"abc def",
     u"%s%s",
     2,
     I18N_SCAN_COMPLETE,
     -1,
     {u"abc", u"def"}},
    // Only the six ASCII white-space characters end %s.
    {"NoBreakSpaceIsNoWhiteSpace",
     u"a\u00A0b c",
     u"%s",
     1,
     I18N_SCAN_COMPLETE,
     -1,
     {u"a\u00A0b"}},
    // End of text after a stored field: the count, not -1.
    {"EndAfterOneField",
     u"abc",
     u"%s%s",
     1,
     I18N_SCAN_INPUT_FAILURE,
     1,
     {u"abc"}},
    {"EndAtLiteralAfterField",
     u"abc",
     u"%s:",
     1,
     I18N_SCAN_INPUT_FAILURE,
     -1,
     {u"abc"}},
    // White space in the format matches none as well as many.
    {"WhiteSpaceMatchesNone",
     u"Date:1/2/05",
     u"Date: %s",
     1,
     I18N_SCAN_COMPLETE,
     -1,
     {u"1/2/05"}},
    {"WhiteSpaceRunIsOneDirective",
     u"a\n\n\n  bc",
     u"a \n \nb%s",
     1,
     I18N_SCAN_COMPLETE,
     -1,
     {u"c"}},
    {"LiteralMismatch",
     u"User: x",
     u"Usr: %s",
     0,
     I18N_SCAN_MATCHING_FAILURE,
     -1,
     {}},
    {"LiteralIsCaseSensitive",
     u"comment: x",
     u"Comment: %s",
     0,
     I18N_SCAN_MATCHING_FAILURE,
     -1,
     {}},
    // %[^x] skips nothing and needs one character at least.
    {"SetKeepsLeadingBlanks",
     u"  ab c\nrest",
     u"%[^\n]",
     1,
     I18N_SCAN_COMPLETE,
     -1,
     {u"  ab c"}},
    {"SetEmptyRun", u"\nabc", u"%[^\n]", 0, I18N_SCAN_MATCHING_FAILURE, 0, {}},
    {"SetAtEnd", u"ab", u"ab%[^\n]", -1, I18N_SCAN_INPUT_FAILURE, 0, {}},
    {"SetTakesLineFeeds",
     u"one\ntwo\n\bthree",
     u"%[^\b]",
     1,
     I18N_SCAN_COMPLETE,
     -1,
     {u"one\ntwo\n"}},
    {"SetOfSeveral",
     u"key=value;x",
     u"%[^=;]=%[^=;]",
     2,
     I18N_SCAN_COMPLETE,
     -1,
     {u"key", u"value"}},
    // %* stores nothing and is not counted, but it is a completed conversion.
    {"SuppressedNotCounted",
     u"skip me\nkeep",
     u"%*[^\n]\n%s",
     1,
     I18N_SCAN_COMPLETE,
     -1,
     {u"keep"}},
    {"SuppressedThenEnd",
     u"skip",
     u"%*[^\n]%s",
     0,
     I18N_SCAN_INPUT_FAILURE,
     0,
     {}},
    {"SuppressedString", u"a b", u"%*s%s", 1, I18N_SCAN_COMPLETE, -1, {u"b"}},
    {"SuppressedEmptyRun",
     u"\nx",
     u"%*[^\n]%s",
     0,
     I18N_SCAN_MATCHING_FAILURE,
     -1,
     {}},
    // Directives this scanner does not carry out, and too few fields.
    {"UnknownConversion", u"12", u"%d", 0, I18N_SCAN_FORMAT_ERROR, -1, {}},
    {"PlainSet", u"ab", u"%[ab]", 0, I18N_SCAN_FORMAT_ERROR, -1, {}},
    {"EmptySet", u"ab", u"%[^]", 0, I18N_SCAN_FORMAT_ERROR, -1, {}},
    {"UnclosedSet", u"ab", u"%[^a", 0, I18N_SCAN_FORMAT_ERROR, -1, {}},
    {"PercentAtEnd", u"ab", u"ab%", 0, I18N_SCAN_FORMAT_ERROR, -1, {}},
    {"MoreConversionsThanFields",
     u"a b c d",
     u"%s %s %s %s",
     3,
     I18N_SCAN_FORMAT_ERROR,
     -1,
     {u"a", u"b", u"c"}},
};

INSTANTIATE_TEST_SUITE_P(I18NScan, ScanRulesTest,
                         ::testing::ValuesIn(kScanCases),
                         [](const auto& info) { return info.param.name; });

struct CapacityCase {
  const char* name;
  std::u16string field;
  int capacity;
  bool fits;
};

class ScanCapacityTest : public ::testing::TestWithParam<CapacityCase> {};

TEST_P(ScanCapacityTest, StoresOnlyWhatFitsWithItsTerminator) {
  const CapacityCase& c = GetParam();
  std::vector<I18NScanField> fields = Fields(c.capacity, 2);
  const I18NString text(c.field + u" next");
  I18NScanOutcome outcome = I18NScanText(text, u"%s %s", fields.data(), 2);
  if (c.fits) {
    EXPECT_EQ(outcome.result, 2);
    EXPECT_EQ(outcome.stop, I18N_SCAN_COMPLETE);
    EXPECT_EQ(FieldText(text, fields[0]), c.field);
  } else {
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.stop, I18N_SCAN_FIELD_TOO_LONG);
    EXPECT_EQ(outcome.stopField, 0);
    EXPECT_EQ(fields[0].start, -1);
    // The scan ends at the refused field: the next one is not stored.
    EXPECT_EQ(fields[1].start, -1);
  }
}

const CapacityCase kCapacityCases[] = {
    {"ElevenInTwelve", u"12345678901", 12, true},
    {"TwelveInTwelve", u"123456789012", 12, false},
    {"ThirtyOneInThirtyTwo", std::u16string(31, u'u'), 32, true},
    {"ThirtyTwoInThirtyTwo", std::u16string(32, u'u'), 32, false},
    // A character outside the Basic Multilingual Plane is two code units.
    {"SurrogatePairFits", u"123456789\U0001F600", 12, true},
    {"SurrogatePairOverflows", u"1234567890\U0001F600", 12, false},
    {"OneInOne", u"a", 1, false},
};

INSTANTIATE_TEST_SUITE_P(I18NScan, ScanCapacityTest,
                         ::testing::ValuesIn(kCapacityCases),
                         [](const auto& info) { return info.param.name; });

TEST(I18NScanTest, RefusedFieldAfterStoredOnesKeepsTheirCount) {
  std::vector<I18NScanField> fields = Fields(4);
  const I18NString text(std::u16string(u"abc toolong"));
  I18NScanOutcome outcome = I18NScanText(text, u"%s %s", fields.data(), 3);
  EXPECT_EQ(outcome.result, 1);
  EXPECT_EQ(outcome.stop, I18N_SCAN_FIELD_TOO_LONG);
  EXPECT_EQ(outcome.stopField, 1);
  EXPECT_EQ(FieldText(text, fields[0]), u"abc");
  EXPECT_EQ(fields[1].start, -1);
}

TEST(I18NScanTest, LongTextIsScannedInOnePass) {
  // A field of a million code units that fits: linear work keeps this
  // instant; a quadratic scanner would not finish in the test's time.
  const int kLength = 1000000;
  const I18NString text(u"x " + std::u16string(kLength, u'a') + u"\b");
  I18NScanField field = {kLength + 1, -1, -1};
  EXPECT_EQ(I18NScanText(text, u"x %[^\b]", &field, 1).result, 1);
  EXPECT_EQ(field.start, 2);
  EXPECT_EQ(field.length, kLength);
}

}  // namespace
