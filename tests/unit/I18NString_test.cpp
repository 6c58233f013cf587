// Position rules of I18NString: callers walk texts with find and
// incrementOffset and rely on -1 never meaning "start over".

#include "I18NString.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "I18NEncoding.h"

namespace {

I18NString U(const std::u16string& units) { return I18NString(units); }

struct FindCase {
  const char16_t* text;
  const char16_t* needle;
  int from;
  int expected;
};

class I18NStringFindTextTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(I18NStringFindTextTest, FollowsThePositionRules) {
  const FindCase& c = GetParam();
  EXPECT_EQ(U(c.text).find(U(c.needle), c.from), c.expected)
      << "needle \"" << U(c.needle).toUTF8() << "\" from " << c.from;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, I18NStringFindTextTest,
    ::testing::Values(
        FindCase{u"abcabc", u"bc", 0, 1}, FindCase{u"abcabc", u"bc", 1, 1},
        FindCase{u"abcabc", u"bc", 2, 4}, FindCase{u"abcabc", u"bc", 5, -1},
        FindCase{u"abcabc", u"abc", 3, 3},
        // -1 (the end of a walk) must not restart at 0.
        FindCase{u"abcabc", u"a", -1, -1}, FindCase{u"abcabc", u"a", -7, -1},
        FindCase{u"abcabc", u"c", 6, -1}, FindCase{u"abcabc", u"a", 7, -1},
        FindCase{u"abcabc", u"abcabcd", 0, -1},
        FindCase{u"abcabc", u"x", 0, -1}, FindCase{u"", u"a", 0, -1},
        // An empty needle is found where the search starts.
        FindCase{u"abcabc", u"", 0, 0}, FindCase{u"abcabc", u"", 4, 4},
        FindCase{u"abcabc", u"", 6, 6}, FindCase{u"abcabc", u"", 7, -1},
        FindCase{u"abcabc", u"", -1, -1}, FindCase{u"", u"", 0, 0},
        FindCase{u"aaab", u"aab", 0, 1}, FindCase{u"x\n\ny", u"\n\n", 0, 1}));

struct FindUnitCase {
  const char16_t* text;
  unsigned int ch;
  int from;
  int expected;
};

class I18NStringFindUnitTest : public ::testing::TestWithParam<FindUnitCase> {};

TEST_P(I18NStringFindUnitTest, FollowsThePositionRules) {
  const FindUnitCase& c = GetParam();
  EXPECT_EQ(U(c.text).find(c.ch, c.from), c.expected)
      << "unit " << c.ch << " from " << c.from;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, I18NStringFindUnitTest,
    ::testing::Values(FindUnitCase{u"a\nb\n", '\n', 0, 1},
                      FindUnitCase{u"a\nb\n", '\n', 2, 3},
                      FindUnitCase{u"a\nb\n", '\n', 3, 3},
                      FindUnitCase{u"a\nb\n", '\n', 4, -1},
                      FindUnitCase{u"a\nb\n", '\n', 5, -1},
                      FindUnitCase{u"a\nb\n", '\n', -1, -1},
                      FindUnitCase{u"a\nb\n", 'x', 0, -1},

                      // Above 0xFFFF no code unit can match, and the value
                      // must not be cut down to a unit that does.
                      FindUnitCase{u"a\u0061b", 0x10061, 0, -1},
                      FindUnitCase{u"\u00e9", 0xE9, 0, 0}));

TEST(I18NStringWalkTest, WalkingWithIncrementOffsetEnds) {
  // A walk from one line feed to the next stops when the text ends in a line
  // feed: incrementOffset gives -1 there and find(-1) finds nothing.
  I18NString text = U(u"one\ntwo\nthree\n");
  int lines = 0;
  int limit = 100;
  for (int pos = text.find('\n', 0); pos != -1 && limit-- > 0;
       pos = text.find('\n', text.incrementOffset(pos))) {
    ++lines;
  }
  EXPECT_EQ(lines, 3);
  EXPECT_GT(limit, 0);
}

TEST(I18NStringFindTest, NeedlesOfEveryLengthAgreeWithAPlainSearch) {
  // Needles up to 64 units take the filtered search (32 one-byte units or
  // eight two-byte units at a time), longer ones the prefix table; texts
  // over a two-letter alphabet are full of partial matches. Odd rounds use
  // a second letter that makes the text wide.
  std::mt19937 random(20240501);
  for (int round = 0; round < 1200; ++round) {
    const char16_t other = round % 2 == 0 ? u'b' : u'\u0101';
    std::u16string text(200 + random() % 300, u'a');
    for (char16_t& unit : text) unit = random() % 4 == 0 ? other : u'a';
    size_t needleLength = 1 + random() % 84;
    size_t start = random() % (text.size() - needleLength);
    std::u16string needle = text.substr(start, needleLength);
    if (round % 3 == 0) needle[random() % needleLength] = other;
    int from = static_cast<int>(random() % text.size());
    auto found = std::search(text.begin() + from, text.end(), needle.begin(),
                             needle.end());
    int expected = found == text.end() ? -1 : int(found - text.begin());
    ASSERT_EQ(U(text).find(U(needle), from), expected) << "round " << round;
  }
}

TEST(I18NStringCountTest, CountsEveryUnitInEitherWidth) {
  // Long enough to cross many blocks of sixteen bytes, and viewed from an
  // odd offset so that no block is aligned.
  std::mt19937 random(7);
  for (const char16_t other : {u'b', u'\u0101'}) {
    std::u16string units(1000, u'a');
    for (char16_t& unit : units) unit = random() % 5 == 0 ? u'\n' : other;
    const I18NString text = U(u"x" + units).substring(1, -1);
    EXPECT_EQ(text.count(u'\n'),
              static_cast<int>(std::count(units.begin(), units.end(), u'\n')));
    EXPECT_EQ(text.count(other),
              static_cast<int>(std::count(units.begin(), units.end(), other)));
    EXPECT_EQ(text.count(u'z'), 0);
  }
  // A unit that narrow text cannot hold, and one that no text holds.
  EXPECT_EQ(U(u"a\u00E9a").count(0x1E9), 0);
  EXPECT_EQ(U(u"a\u00E9a").count(0x10000), 0);
  EXPECT_EQ(U(u"\u0101\u00E9").count(0xE9), 1);
  EXPECT_EQ(I18NString().count(u'a'), 0);
}

TEST(I18NStringFindTest, LongNeedleInARunOfOneCharacter) {
  // Would cost text times needle with a naive search.
  std::u16string run(2000000, u'*');
  std::u16string needle(1000, u'*');
  needle += u"  Version";
  EXPECT_EQ(U(run).find(U(needle), 0), -1);
  std::u16string text = run + u"  Version";
  EXPECT_EQ(U(text).find(U(needle), 5), static_cast<int>(run.size()) - 1000);
}

struct SubstringCase {
  int start;
  int end;
  const char16_t* expected;
};

class I18NStringSubstringTest : public ::testing::TestWithParam<SubstringCase> {
};

TEST_P(I18NStringSubstringTest, FollowsThePositionRules) {
  const SubstringCase& c = GetParam();
  EXPECT_EQ(U(u"abcdef").substring(c.start, c.end), U(c.expected))
      << "substring(" << c.start << ", " << c.end << ")";
}

INSTANTIATE_TEST_SUITE_P(
    Rules, I18NStringSubstringTest,
    ::testing::Values(SubstringCase{0, 3, u"abc"}, SubstringCase{2, 4, u"cd"},
                      SubstringCase{2, -1, u"cdef"},
                      SubstringCase{0, -1, u"abcdef"},
                      SubstringCase{4, 6, u"ef"}, SubstringCase{4, 60, u"ef"},
                      SubstringCase{5, -1, u"f"}, SubstringCase{6, -1, u""},
                      SubstringCase{7, -1, u""}, SubstringCase{7, 9, u""},
                      SubstringCase{-1, 3, u""}, SubstringCase{-1, -1, u""},
                      SubstringCase{3, 3, u""}, SubstringCase{4, 2, u""},
                      SubstringCase{2, -2, u""}));

TEST(I18NStringOffsetTest, IncrementOffsetStopsAtTheLastUnit) {
  I18NString text = U(u"abc");
  const int cases[][2] = {{0, 1},  {1, 2},   {2, 3},  {3, -1},
                          {4, -1}, {-1, -1}, {-5, -1}};
  for (const auto& c : cases) {
    EXPECT_EQ(text.incrementOffset(c[0]), c[1]) << "pos " << c[0];
  }
  EXPECT_EQ(I18NString().incrementOffset(0), -1);
}

struct EraseCase {
  int start;
  int count;
  const char16_t* expected;
};

class I18NStringEraseTest : public ::testing::TestWithParam<EraseCase> {};

TEST_P(I18NStringEraseTest, FollowsThePositionRules) {
  const EraseCase& c = GetParam();
  I18NString text = U(u"abcdef");
  text.erase(c.start, c.count);
  EXPECT_EQ(text, U(c.expected))
      << "erase(" << c.start << ", " << c.count << ")";
}

INSTANTIATE_TEST_SUITE_P(
    Rules, I18NStringEraseTest,
    ::testing::Values(EraseCase{0, 2, u"cdef"}, EraseCase{2, 2, u"abef"},
                      EraseCase{2, -1, u"ab"}, EraseCase{0, -1, u""},
                      EraseCase{5, 1, u"abcde"}, EraseCase{4, 10, u"abcd"},
                      EraseCase{3, 0, u"abcdef"}, EraseCase{6, -1, u"abcdef"},
                      EraseCase{7, 1, u"abcdef"}, EraseCase{-1, 2, u"abcdef"},
                      EraseCase{-1, -1, u"abcdef"},
                      EraseCase{2, -3, u"abcdef"}));

struct TrimCase {
  const char16_t* text;
  unsigned int ch;
  const char16_t* leading;
  const char16_t* trailing;
};

class I18NStringTrimTest : public ::testing::TestWithParam<TrimCase> {};

TEST_P(I18NStringTrimTest, RemovesEveryRepetition) {
  const TrimCase& c = GetParam();
  I18NString leading = U(c.text);
  leading.trimLeading(c.ch);
  EXPECT_EQ(leading, U(c.leading));
  I18NString trailing = U(c.text);
  trailing.trimTrailing(c.ch);
  EXPECT_EQ(trailing, U(c.trailing));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, I18NStringTrimTest,
    ::testing::Values(
        TrimCase{u"\n\nab\nc\n\n", '\n', u"ab\nc\n\n", u"\n\nab\nc"},
        TrimCase{u"\n\n\n", '\n', u"", u""}, TrimCase{u"", '\n', u"", u""},
        TrimCase{u"abc", '\n', u"abc", u"abc"},
        TrimCase{u" a ", '\n', u" a ", u" a "},
        TrimCase{u"\u0120a\u0120", 0x20, u"\u0120a\u0120", u"\u0120a\u0120"},
        TrimCase{u"xxaxx", 0x10078, u"xxaxx", u"xxaxx"}));

TEST(I18NStringSurrogateTest, SupplementaryCharactersCountTwice) {
  // U+1F600 is D83D DE00 in UTF-16.
  I18NString text(std::u16string(u"a\U0001F600b"));
  EXPECT_EQ(text.length(), 4);
  EXPECT_EQ(text.size(), 4);
  EXPECT_EQ(text.find('b', 0), 3);
  EXPECT_EQ(text.find(0xDE00u, 0), 2);
  EXPECT_EQ(text.substring(1, 3), U(u"\U0001F600"));
  EXPECT_EQ(text.substring(2, -1), U(u"\xDE00"
                                     u"b"));
  EXPECT_EQ(text.incrementOffset(3), 4);
  EXPECT_EQ(text.incrementOffset(4), -1);
}

TEST(I18NStringConstructTest, Utf16TextUpToTheZeroOrTheLength) {
  const char16_t units[] = u"ab\0cd";
  EXPECT_EQ(I18NString(units, -1), U(u"ab"));
  I18NString withZero(units, 5);
  EXPECT_EQ(withZero.length(), 5);
  EXPECT_EQ(withZero.find(0u, 0), 2);
  EXPECT_TRUE(I18NString(static_cast<const void*>(nullptr), -1).empty());
  EXPECT_TRUE(I18NString(units, 0).empty());
}

TEST(I18NStringConstructTest, Utf16TextNeedNotBeAligned) {
  alignas(4) char bytes[16] = {};
  const char16_t units[] = u"xyz";
  std::memcpy(bytes + 1, units, sizeof(units));
  EXPECT_EQ(I18NString(bytes + 1, -1), U(u"xyz"));
}

TEST(I18NStringConstructTest, EightBitTextUpToTheZeroOrTheLength) {
  EXPECT_EQ(I18NString("abc", "UTF-8"), U(u"abc"));
  I18NString withZero("a\0b", "UTF-8", 3);
  EXPECT_EQ(withZero, U(std::u16string(u"a\0b", 3)));
  EXPECT_EQ(I18NString("abcdef", "UTF-8", 2), U(u"ab"));
  EXPECT_TRUE(I18NString(nullptr, "UTF-8").empty());
}

TEST(I18NStringValueTest, CopiesAndAppendsAreIndependent) {
  I18NString original = U(u"abc");
  I18NString copy = original;
  copy += U(u"def");
  EXPECT_EQ(original, U(u"abc"));
  EXPECT_EQ(copy, U(u"abcdef"));
  I18NString assigned;
  assigned = copy;
  assigned.erase(0, 3);
  EXPECT_EQ(copy, U(u"abcdef"));
  EXPECT_EQ(assigned, U(u"def"));
  EXPECT_NE(assigned, copy);
  EXPECT_NE(U(u"ab"), U(std::u16string(u"ab\0", 3)));
  I18NString moved = std::move(copy);
  EXPECT_EQ(moved, U(u"abcdef"));
}

TEST(I18NStringValueTest, AssignsEightBitText) {
  I18NString text = U(u"old");
  text = "Username:";
  EXPECT_EQ(text, U(u"Username:"));
  text = static_cast<const char*>(nullptr);
  EXPECT_TRUE(text.empty());
}

struct Utf8Case {
  std::u16string units;
  std::string expected;
};

TEST(I18NStringUtf8Test, EncodesAndReplacesUnpairedSurrogates) {
  const Utf8Case cases[] = {
      {u"abc", "abc"},
      {u"\u00e9\u20ac", "\xC3\xA9\xE2\x82\xAC"},
      {u"\U0001F600", "\xF0\x9F\x98\x80"},
      {std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
      {u"\xD83D"
       u"x",
       "\xEF\xBF\xBDx"},
      {u"\xDE00\xD83D", "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {u"a\xD83D", "a\xEF\xBF\xBD"},
  };
  for (const Utf8Case& c : cases) {
    EXPECT_EQ(I18NString(c.units).toUTF8(), c.expected);
  }
}

TEST(I18NExternalBufferTest, PointsIntoTheStringOrCopies) {
  I18NString text = U(u"ab\u00e9");
  unsigned short* view = nullptr;
  EXPECT_EQ(I18NExternalBufferToUTF16(view, text.getExternalBuffer(), false),
            I18N_TRANSFORMATION_OK);
  ASSERT_EQ(static_cast<const void*>(view), text.getExternalBuffer());
  EXPECT_EQ(view[2], 0xE9);
  EXPECT_EQ(view[3], 0);

  unsigned short* copy = nullptr;
  EXPECT_EQ(I18NExternalBufferToUTF16(copy, text.getExternalBuffer(), true),
            I18N_TRANSFORMATION_OK);
  ASSERT_NE(static_cast<const void*>(copy), text.getExternalBuffer());
  EXPECT_EQ(copy[0], 'a');
  EXPECT_EQ(copy[2], 0xE9);
  EXPECT_EQ(copy[3], 0);
  delete[] copy;

  unsigned short* none = view;
  EXPECT_EQ(I18NExternalBufferToUTF16(none, nullptr, false),
            I18N_TRANSFORMATION_FAILED);
  EXPECT_EQ(none, nullptr);
}

}  // namespace
