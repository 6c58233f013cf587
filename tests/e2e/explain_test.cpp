// --explain on every example: standard output and the exit status are the
// very ones of a run without it, and standard error holds one line per
// decision, each starting with a place in the client output. A few lines per
// query are checked word for word.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "HandlerProcess.h"
#include "TestFiles.h"

namespace {

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The line of the client output that `line` of the explanation names
// ("line 3: ..." or the last of "lines 1-2: ..."), 0 for the whole client
// output, -1 when the line names no place.
int PlaceOf(const std::string& line) {
  if (line.rfind("client output: ", 0) == 0) return 0;
  std::size_t digits = 0;
  if (line.rfind("line ", 0) == 0) {
    digits = 5;
  } else if (line.rfind("lines ", 0) == 0) {
    digits = line.find('-', 6) + 1;
  } else {
    return -1;
  }
  std::size_t end = digits;
  while (end < line.size() &&
         std::isdigit(static_cast<unsigned char>(line[end])))
    ++end;
  if (end == digits || line.compare(end, 2, ": ") != 0) return -1;
  return std::stoi(line.substr(digits, end - digits));
}

class Explained : public testing::TestWithParam<std::string> {};

TEST_P(Explained, LeavesTheAnswerAsItIsAndNamesPlaces) {
  const ExampleFiles example = ExampleFiles::Named(GetParam());
  std::vector<std::string> arguments = example.Arguments();
  const HandlerRun plain = RunHandler(arguments);
  arguments.insert(arguments.begin() + 1, "--explain");
  const HandlerRun explained = RunHandler(arguments);

  EXPECT_EQ(explained.standardOutput, plain.standardOutput);
  EXPECT_EQ(explained.exitStatus, plain.exitStatus);
  EXPECT_EQ(plain.standardError, "");
  ASSERT_FALSE(explained.standardError.empty());
  EXPECT_EQ(explained.standardError.back(), '\n');

  const std::string clientOutput = ReadFile(example.ClientOutput());
  const int clientLines = static_cast<int>(std::count(
                              clientOutput.begin(), clientOutput.end(), '\n')) +
                          1;
  const std::vector<std::string> lines = LinesOf(explained.standardError);
  EXPECT_EQ(lines.front().rfind("client output: ", 0), 0u) << lines.front();
  const bool named = std::find(arguments.begin(), arguments.end(),
                               "--encoding") != arguments.end();
  EXPECT_NE(
      lines.front().find(named ? " (named by --encoding): " : " decoded as "),
      std::string::npos)
      << lines.front();
  for (const std::string& line : lines) {
    const int place = PlaceOf(line);
    EXPECT_GE(place, 0) << "no place: " << line;
    EXPECT_LE(place, clientLines) << line;
  }
}

INSTANTIATE_TEST_SUITE_P(Examples, Explained, testing::ValuesIn(ExampleNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           return TestIdentifier(info.param);
                         });

struct ExplainedLine {
  const char* example;
  std::string line;
};

void PrintTo(const ExplainedLine& c, std::ostream* out) { *out << c.example; }

class ExplainedLines : public testing::TestWithParam<ExplainedLine> {};

TEST_P(ExplainedLines, SayWhatDecided) {
  std::vector<std::string> arguments =
      ExampleFiles::Named(GetParam().example).Arguments();
  arguments.insert(arguments.begin() + 1, "--explain");
  const std::vector<std::string> lines =
      LinesOf(RunHandler(arguments).standardError);
  EXPECT_NE(std::find(lines.begin(), lines.end(), GetParam().line), lines.end())
      << testing::PrintToString(lines);
}

INSTANTIATE_TEST_SUITE_P(
    Queries, ExplainedLines,
    testing::Values(
        ExplainedLine{"history-label",
                      "line 8: version \"4\": no entry: the first-line "
                      "template (the block holds no \"Comment:\", or neither "
                      "\"Created\" nor \"Checked in\") stops at line 9: "
                      "\"Label: \\\"Release 1.0\\\"\" stands where the User: "
                      "line should: a label record, which is no version"},
        ExplainedLine{"history-label",
                      "line 20: a label record without a version header "
                      "(\"Label: \\\"Beta 2\\\"\"): it is no version; its "
                      "lines are part of this version's comment"},
        ExplainedLine{"history",
                      "line 43: version \"3\": no entry: the Checked in "
                      "template (the block holds \"Comment:\" and \"Checked "
                      "in\", not \"Created\") stops at line 44: \"Smith     "
                      "Date:  6/14/02   Time: 11:00a\" follows where "
                      "\"Date:\" should (a user name with a blank in it does "
                      "not fit)"},
        ExplainedLine{"history-recursive",
                      "line 3: \"*****  cart.c  *****\" opens the records of "
                      "an item of the project (History -R): they are no "
                      "versions of the project; not read either"},
        ExplainedLine{"history-empty",
                      "client output: no record marker \"*****************  "
                      "Version\": no entries"},
        ExplainedLine{"checkout-single-file",
                      "line 1: bytes 20 to 33 in windows-1252 hold "
                      "\"Szab\\xF3         \": user \"Szab\u00f3\"; checked "
                      "out true"},
        ExplainedLine{"checkout-none",
                      "line 1: \"No checked out files found.\": checked out "
                      "false, user empty"},
        ExplainedLine{"children-listing",
                      "lines 2-7: 6 children listed, one per line (2 "
                      "projects, 4 files); 0 empty lines skipped; succeeded "
                      "true"},
        ExplainedLine{"children-login",
                      "line 1: \"Username:\" in the text the colon cut "
                      "removed: the client asks for a log-in; succeeded "
                      "false, no children"},
        ExplainedLine{"exists-missing",
                      "line 1: \"is not an existing filename or project\": "
                      "the item is not in the database; exists false"},
        ExplainedLine{"properties-project",
                      "line 2: \"Contains:\": only a project's properties "
                      "list its contents; project true"},
        ExplainedLine{"diff-different",
                      "line 4: \"The files are different.\" on a line of its "
                      "own after an empty line; different true"},
        ExplainedLine{"diff-project",
                      "line 1: \"Diffing:\": a project comparison, folder by "
                      "folder, not the comparison of one file"}));

}  // namespace
