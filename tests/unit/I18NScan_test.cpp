#include "I18NScan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<unsigned short> Units(const std::u16string& text) {
  std::vector<unsigned short> units(text.begin(), text.end());
  units.push_back(0);
  return units;
}

std::u16string FieldText(const std::vector<unsigned short>& buffer) {
  std::u16string text;
  for (unsigned short unit : buffer) {
    if (unit == 0) break;
    text.push_back(static_cast<char16_t>(unit));
  }
  return text;
}

// Three buffers of `capacity` code units, prefilled with 'X' so that a
// buffer that was not written (or written past its field) shows.
struct Buffers {
  explicit Buffers(int capacity)
      : storage(3, std::vector<unsigned short>(capacity + 1, u'X')) {
    for (auto& buffer : storage) fields.push_back({buffer.data(), capacity});
  }
  std::vector<std::vector<unsigned short>> storage;
  std::vector<I18NScanField> fields;
};

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
  Buffers buffers(12);
  std::vector<unsigned short> text = Units(c.text);
  I18NScanOutcome outcome = I18NScanUTF16Outcome(text.data(), c.format.c_str(),
                                                 buffers.fields.data(), 3);
  EXPECT_EQ(outcome.result, c.result);
  EXPECT_EQ(outcome.stop, c.stop);
  EXPECT_EQ(outcome.stopField, c.stopField);
  EXPECT_EQ(
      I18NScanUTF16(text.data(), c.format.c_str(), buffers.fields.data(), 3),
      c.result);
  for (std::size_t i = 0; i < c.stored.size(); ++i) {
    EXPECT_EQ(FieldText(buffers.storage[i]), c.stored[i]) << "field " << i;
  }
  // Fields after the stored ones are never touched.
  for (std::size_t i = c.stored.size(); i < 3; ++i) {
    EXPECT_EQ(buffers.storage[i][0], u'X') << "field " << i;
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
  Buffers buffers(c.capacity);
  std::vector<unsigned short> text = Units(c.field + u" next");
  I18NScanOutcome outcome =
      I18NScanUTF16Outcome(text.data(), u"%s %s", buffers.fields.data(), 2);
  const std::vector<unsigned short>& first = buffers.storage[0];
  if (c.fits) {
    EXPECT_EQ(outcome.result, 2);
    EXPECT_EQ(outcome.stop, I18N_SCAN_COMPLETE);
    EXPECT_EQ(FieldText(first), c.field);
  } else {
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.stop, I18N_SCAN_FIELD_TOO_LONG);
    EXPECT_EQ(outcome.stopField, 0);
    EXPECT_EQ(first[0], u'X');
    // The scan ends at the refused field: the next one is not stored.
    EXPECT_EQ(buffers.storage[1][0], u'X');
  }
  // The guard unit just past the buffer is never written.
  EXPECT_EQ(first[c.capacity], u'X');
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
  Buffers buffers(4);
  std::vector<unsigned short> text = Units(u"abc toolong");
  I18NScanOutcome outcome =
      I18NScanUTF16Outcome(text.data(), u"%s %s", buffers.fields.data(), 3);
  EXPECT_EQ(outcome.result, 1);
  EXPECT_EQ(outcome.stop, I18N_SCAN_FIELD_TOO_LONG);
  EXPECT_EQ(outcome.stopField, 1);
  EXPECT_EQ(FieldText(buffers.storage[0]), u"abc");
  EXPECT_EQ(buffers.storage[1][0], u'X');
}

TEST(I18NScanTest, LongTextIsScannedInOnePass) {
  // A field of a million code units into a buffer that takes it: linear work
  // keeps this instant; a quadratic scanner would not finish in the test's
  // time.
  const int kLength = 1000000;
  std::u16string body(kLength, u'a');
  std::vector<unsigned short> text = Units(u"x " + body + u"\b");
  std::vector<unsigned short> buffer(kLength + 1, u'X');
  I18NScanField field = {buffer.data(), kLength + 1};
  EXPECT_EQ(I18NScanUTF16(text.data(), u"x %[^\b]", &field, 1), 1);
  EXPECT_EQ(buffer[kLength], 0);
  EXPECT_EQ(buffer[kLength - 1], u'a');
}

}  // namespace
