// The explanation's lines: places, quoting, counts, what a silent one does,
// what is lost when working out a line fails, and line numbers of positions.
#include "OrvExplanation.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>

#include "ExplanationCapture.h"

namespace {

struct LineCase {
  const char* name;
  std::function<void(OrvExplanation&)> say;
  std::string line;
};

void PrintTo(const LineCase& c, std::ostream* out) { *out << c.name; }

class ExplanationLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(ExplanationLineTest, WritesThePlaceThenThePieces) {
  CapturedExplanation captured;
  GetParam().say(captured.explanation());
  EXPECT_EQ(captured.Text(), GetParam().line + "\n");
}

const I18NString kClientText(u"a\"b\\c\n\t\r\x01\u00e9\U0001F600");

INSTANTIATE_TEST_SUITE_P(
    Lines, ExplanationLineTest,
    testing::Values(
        LineCase{"one line",
                 [](OrvExplanation& e) { e.Say(OrvPlace::Line(3), "x"); },
                 "line 3: x"},
        LineCase{"a range",
                 [](OrvExplanation& e) { e.Say(OrvPlace::Lines(1, 2), "x"); },
                 "lines 1-2: x"},
        LineCase{"a range of one line",
                 [](OrvExplanation& e) { e.Say(OrvPlace::Lines(4, 4), "x"); },
                 "line 4: x"},
        LineCase{
            "the whole client output",
            [](OrvExplanation& e) { e.Say(OrvPlace::ClientOutput(), "x"); },
            "client output: x"},
        LineCase{"the command line",
                 [](OrvExplanation& e) { e.Say(OrvPlace::CommandLine(), "x"); },
                 "command line: x"},
        LineCase{"client text stays on one line, escaped",
                 [](OrvExplanation& e) {
                   e.Say(OrvPlace::Line(1), OrvQuoted{kClientText});
                 },
                 "line 1: \"a\\\"b\\\\c\\n\\t\\r\\x01\u00e9\U0001F600\""},
        LineCase{"long client text is cut",
                 [](OrvExplanation& e) {
                   e.Say(OrvPlace::Line(1), OrvQuoted{kClientText, 3});
                 },
                 "line 1: \"a\\\"b\"..."},
        LineCase{"a cut never falls inside a surrogate pair",
                 [](OrvExplanation& e) {
                   e.Say(OrvPlace::Line(1),
                         OrvQuoted{I18NString(u"ab\U0001F600c"), 3});
                 },
                 "line 1: \"ab\"..."},
        LineCase{"bytes: printable ASCII as it is, others in hex",
                 [](OrvExplanation& e) {
                   e.Say(OrvPlace::Line(1), OrvQuotedBytes{"Zo\xEB\"\\\n", 6});
                 },
                 "line 1: \"Zo\\xEB\\\"\\\\\\x0A\""},
        LineCase{"the handler's text, and nothing",
                 [](OrvExplanation& e) {
                   e.Say(OrvPlace::Line(1), OrvQuotedText("C:\\a b"),
                         OrvQuotedText::Nothing(), ".");
                 },
                 "line 1: \"C:\\\\a b\"."},
        LineCase{"counts and numbers",
                 [](OrvExplanation& e) {
                   e.Say(OrvPlace::Line(1), OrvCount{1, "line", "lines"}, ", ",
                         OrvCount{0, "line", "lines"}, ", ", std::size_t{7},
                         " ", -2);
                 },
                 "line 1: 1 line, 0 lines, 7 -2"}));

TEST(ExplanationTest, ASilentOneWorksOutNothing) {
  OrvExplanation silent;
  bool worked = false;
  silent.Explain([&] { worked = true; });
  EXPECT_FALSE(worked);
  EXPECT_FALSE(silent.enabled());
}

TEST(ExplanationTest, FailedWorkLosesOnlyItsOwnLineAndSaysSo) {
  CapturedExplanation captured;
  OrvExplanation& explanation = captured.explanation();
  explanation.Explain([&] {
    explanation.Say(OrvPlace::Line(1), "kept");
    throw std::bad_alloc();
  });
  explanation.Say(OrvPlace::Line(2), "also kept");
  EXPECT_EQ(captured.Text(),
            "line 1: kept\nline 2: also kept\n"
            "explanation: some lines are missing: there was no memory for "
            "them\n");
}

TEST(ExplanationTest, WritesWholeLinesAsItGoes) {
  CapturedExplanation captured;
  const std::string piece(1000, 'x');
  std::string expected;
  for (int i = 1; i <= 200; ++i) {
    captured.explanation().Say(OrvPlace::Line(i), piece);
    expected += "line " + std::to_string(i) + ": " + piece + "\n";
  }
  // 200 lines of a kilobyte go out in pieces of 64 KiB or so, before the end,
  // and none is lost or written twice.
  EXPECT_GE(captured.Writes(), 3);
  EXPECT_EQ(captured.Text(), expected);
}

struct LineOfCase {
  const char* name;
  std::u16string text;
  std::vector<int> positions;
  std::vector<int> lines;
};

void PrintTo(const LineOfCase& c, std::ostream* out) { *out << c.name; }

class LineCounterTest : public testing::TestWithParam<LineOfCase> {};

TEST_P(LineCounterTest, CountsTheLineFeedsBefore) {
  const I18NString text(GetParam().text);
  OrvLineCounter counter(text);
  std::vector<int> lines;
  for (int position : GetParam().positions)
    lines.push_back(counter.LineOf(position));
  EXPECT_EQ(lines, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, LineCounterTest,
    testing::Values(
        LineOfCase{"forwards", u"a\nb\n\nc", {0, 1, 2, 4, 5}, {1, 1, 2, 3, 4}},
        LineOfCase{"backwards counts again", u"a\nb\nc", {4, 0, 2}, {3, 1, 2}},
        LineOfCase{
            "past the end and before the start", u"a\nb\n", {99, -1}, {3, 1}},
        LineOfCase{"a lone CR ends no line", u"a\rb\nc", {2, 4}, {1, 2}}));

}  // namespace
