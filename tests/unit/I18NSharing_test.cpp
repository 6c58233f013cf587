// Strings share their storage: copies and substrings are views of one
// buffer, and every change must leave the other views as they were.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "I18NString.h"

namespace {

I18NString U(const std::u16string& units) { return I18NString(units); }

// The text that getExternalBuffer() shows, read up to its zero.
std::u16string Terminated(const I18NString& text) {
  return std::u16string(static_cast<const char16_t*>(text.getExternalBuffer()));
}

struct Change {
  const char* name;
  std::function<void(I18NString&)> apply;
};

const Change kChanges[] = {
    {"erase in the middle", [](I18NString& s) { s.erase(2, 3); }},
    {"erase at the start", [](I18NString& s) { s.erase(0, 2); }},
    {"erase to the end", [](I18NString& s) { s.erase(4, -1); }},
    {"trimLeading", [](I18NString& s) { s.trimLeading('-'); }},
    {"trimTrailing", [](I18NString& s) { s.trimTrailing('-'); }},
    {"append", [](I18NString& s) { s += U(u"+tail"); }},
    {"append itself", [](I18NString& s) { s += s; }},
    {"assign 8-bit text", [](I18NString& s) { s = "new"; }},
    {"replaceAll shrinking",
     [](I18NString& s) { s.replaceAll(U(u"b"), U(u"")); }},
    {"replaceAll growing",
     [](I18NString& s) { s.replaceAll(U(u"b"), U(u"xyz")); }},
    {"getExternalBuffer",
     [](I18NString& s) { static_cast<void>(s.getExternalBuffer()); }},
};

TEST(I18NSharingTest, ChangingOneCopyLeavesTheOtherAlone) {
  const std::u16string text = u"--abcbdb--";
  for (const Change& change : kChanges) {
    I18NString original = U(text);
    I18NString copy = original;
    change.apply(copy);
    EXPECT_EQ(original.units(), text) << change.name << " on the copy";
    EXPECT_EQ(Terminated(original), text) << change.name;

    I18NString other = U(text);
    I18NString kept = other;
    change.apply(other);
    EXPECT_EQ(kept.units(), text) << change.name << " on the original";
    EXPECT_EQ(other, copy) << change.name << " gives the same either way";
  }
}

TEST(I18NSharingTest, ChangingASubstringLeavesItsSourceAlone) {
  const std::u16string text = u"0123--abcbdb--4567";
  for (const Change& change : kChanges) {
    const I18NString whole = U(text);
    I18NString part = whole.substring(4, 14);
    I18NString alone = U(text.substr(4, 10));
    change.apply(part);
    change.apply(alone);
    EXPECT_EQ(whole.units(), text) << change.name;
    EXPECT_EQ(part, alone) << change.name;
    EXPECT_EQ(Terminated(part), alone.units()) << change.name;
  }
}

TEST(I18NSharingTest, SubstringOfASubstring) {
  const I18NString whole = U(u"0123456789");
  const I18NString middle = whole.substring(2, 9);
  const I18NString inner = middle.substring(1, 4);
  EXPECT_EQ(middle.units(), u"2345678");
  EXPECT_EQ(inner.units(), u"345");
  EXPECT_EQ(inner.find(U(u"45"), 0), 1);
  EXPECT_EQ(inner.find('6', 0), -1);
  EXPECT_EQ(middle.substring(5, -1).substring(1, -1).units(), u"8");
  EXPECT_TRUE(inner.substring(3, -1).empty());
  // Views read no unit of the source outside their range.
  EXPECT_EQ(inner.find(U(u"2"), 0), -1);
  EXPECT_EQ(inner.find(U(u"56"), 0), -1);
}

TEST(I18NSharingTest, ExternalBufferOfAViewIsTerminated) {
  const I18NString whole = U(u"abc\ndef\nghi");
  // Only wide text can hand out its own units; narrow text always hands
  // out a wide copy.
  static_cast<void>(whole.data());
  // A view that the source goes on after: a terminated copy.
  const I18NString line = whole.substring(4, 7);
  const char16_t* buffer =
      static_cast<const char16_t*>(line.getExternalBuffer());
  EXPECT_EQ(std::u16string(buffer), u"def");
  EXPECT_EQ(buffer[3], 0);
  EXPECT_EQ(whole.units(), u"abc\ndef\nghi");
  // A view that ends where its source ends: the source's own terminator.
  const I18NString tail = whole.substring(8, -1);
  EXPECT_EQ(tail.getExternalBuffer(),
            static_cast<const void*>(whole.data() + 8));
  EXPECT_EQ(Terminated(tail), u"ghi");
  // A text holding U+0000 still shows all of it before the terminator.
  const I18NString zero = U(std::u16string(u"a\0b", 3));
  EXPECT_EQ(static_cast<const char16_t*>(zero.getExternalBuffer())[3], 0);
  EXPECT_EQ(Terminated(I18NString()), u"");
}

TEST(I18NSharingTest, TrimsAndErasesOfAViewKeepItsPlaceInTheBuffer) {
  const I18NString whole = U(u"xx--abc--yy");
  I18NString part = whole.substring(2, 9);
  const char16_t* before = part.data();
  part.trimLeading('-');
  part.trimTrailing('-');
  EXPECT_EQ(part.units(), u"abc");
  EXPECT_EQ(part.data(), before + 2) << "a trim copies nothing";
  part.erase(2, -1);
  EXPECT_EQ(part.data(), before + 2);
  EXPECT_EQ(part.units(), u"ab");
  EXPECT_EQ(whole.units(), u"xx--abc--yy");
}

struct ReplaceCase {
  std::u16string text;
  std::u16string target;
  std::u16string replacement;
  std::u16string expected;
};

TEST(I18NReplaceAllTest, ReplacesEveryOccurrence) {
  const ReplaceCase cases[] = {
      {u"a\r\nb\r\n", u"\r\n", u"\n", u"a\nb\n"},
      {u"\r\r\n\r", u"\r\n", u"\n", u"\r\n\r"},
      {u"\r\n\r\n", u"\r\n", u"", u""},
      {u"aaaa", u"aa", u"a", u"aa"},
      {u"aXbX", u"X", u"123", u"a123b123"},
      {u"XX", u"X", u"XX", u"XXXX"},
      {u"abc", u"x", u"y", u"abc"},
      {u"abc", u"", u"y", u"abc"},
      {u"", u"a", u"b", u""},
      {u"abc", u"abc", u"", u""},
      {u"abc", u"abcd", u"", u"abc"},
  };
  for (const ReplaceCase& c : cases) {
    I18NString text = U(c.text);
    text.replaceAll(U(c.target), U(c.replacement));
    EXPECT_EQ(text.units(), c.expected) << I18NString(c.text).toUTF8();
    EXPECT_EQ(Terminated(text), c.expected);
  }
}

TEST(I18NReplaceAllTest, TargetAndReplacementMayViewTheTextItself) {
  I18NString text = U(u"ab-ab-ab");
  text.replaceAll(text.substring(0, 2), text.substring(2, 3));
  EXPECT_EQ(text.units(), u"-----");
  I18NString grows = U(u"ab-ab");
  grows.replaceAll(grows.substring(2, 3), grows);
  EXPECT_EQ(grows.units(), u"abab-abab");
  // The text as its own target, unshared and not at the start of its
  // buffer: rewriting in place would move the target while it is read.
  for (const std::u16string& units :
       {std::u16string(u"xxabcd"), std::u16string(u"xx\u20ACbcd")}) {
    I18NString self = U(units);
    self.erase(0, 2);
    self.replaceAll(self, U(u"c"));
    EXPECT_EQ(self.units(), u"c");
  }
}

// Random changes to many strings that share buffers, checked against
// std::u16string after every step.
TEST(I18NSharingTest, RandomChangesAgreeWithPlainStrings) {
  std::mt19937 random(7);
  std::vector<I18NString> strings(8, U(u"ab\n\ncd-ef--gh\r\nij"));
  std::vector<std::u16string> models(8, u"ab\n\ncd-ef--gh\r\nij");
  auto pick = [&](std::size_t n) { return random() % n; };
  for (int step = 0; step < 20000; ++step) {
    const std::size_t i = pick(strings.size());
    const std::size_t j = pick(strings.size());
    I18NString& s = strings[i];
    std::u16string& m = models[i];
    const int length = static_cast<int>(m.size());
    const int a = length == 0 ? 0 : static_cast<int>(pick(length + 1));
    const int b = length == 0 ? 0 : static_cast<int>(pick(length + 1));
    switch (pick(9)) {
      case 0:
        s = strings[j];
        m = models[j];
        break;
      case 1: {
        const int source = static_cast<int>(models[j].size());
        const int start = static_cast<int>(pick(source + 1));
        const int end = static_cast<int>(pick(source + 1));
        s = strings[j].substring(start, end);
        m = start < end ? models[j].substr(start, end - start) : u"";
        break;
      }
      case 2:
        if (a < length) {
          s.erase(a, b - a);
          if (b - a == -1 || b - a >= length - a)
            m.erase(a);
          else if (b - a > 0)
            m.erase(a, b - a);
        }
        break;
      case 3:
        s.trimLeading('-');
        m.erase(0, m.find_first_not_of(u'-'));
        break;
      case 4:
        s.trimTrailing('-');
        m.erase(m.find_last_not_of(u'-') == std::u16string::npos
                    ? 0
                    : m.find_last_not_of(u'-') + 1);
        break;
      case 5:
        if (m.size() < 4000) {
          s += strings[j];
          m += models[j];
        }
        break;
      case 6: {
        s.replaceAll(U(u"\r\n"), U(u"\n"));
        for (std::size_t at; (at = m.find(u"\r\n")) != std::u16string::npos;)
          m.replace(at, 2, u"\n");
        break;
      }
      case 7:
        if (m.size() < 4000) {
          s.replaceAll(U(u"\n\n"), U(u"-\r\n-"));
          for (std::size_t at = 0;
               (at = m.find(u"\n\n", at)) != std::u16string::npos; at += 4)
            m.replace(at, 2, u"-\r\n-");
        }
        break;
      case 8:
        ASSERT_EQ(Terminated(s), m.substr(0, m.find(u'\0'))) << step;
        break;
    }
    for (std::size_t k = 0; k < strings.size(); ++k)
      ASSERT_EQ(strings[k].units(), models[k]) << "step " << step;
  }
}

}  // namespace
