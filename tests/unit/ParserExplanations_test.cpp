// What each parser says with --explain: which marker or template decided,
// why a history block gave no entry, and on which line of the client output.
// Each row feeds a client output to one parser and looks for one line.
#include <gtest/gtest.h>

#include <string>

#include "ExplanationCapture.h"
#include "I18NEncoding.h"
#include "OrvException.h"
#include "OrvSSCheckOut.h"
#include "OrvSSEnumChildren.h"
#include "OrvSSExist.h"
#include "OrvSSHistory.h"
#include "OrvSSIsFileDifferent.h"

namespace {

// The explanation of command object `Command` for `clientOutput`; a
// failure it throws is part of its answer, not of the test.
template <class Command>
std::string ExplanationOf(const std::u16string& clientOutput) {
  CapturedExplanation captured;
  OrvInputParams params;
  params.SetClientOutput(I18NString(clientOutput));
  params.SetExplanation(&captured.explanation());
  try {
    Command command(params);
    command.ProceesOutPut();
  } catch (...) {
  }
  return captured.Text();
}

struct ExplainCase {
  const char* name;
  std::string (*explain)(const std::u16string&);
  std::u16string clientOutput;
  std::string line;  // one whole line of the explanation, without its LF
};

void PrintTo(const ExplainCase& c, std::ostream* out) { *out << c.name; }

class ParserExplanationTest : public testing::TestWithParam<ExplainCase> {};

TEST_P(ParserExplanationTest, SaysWhatDecidedAndWhere) {
  // The status window counts bytes of the default encoding.
  const std::string previous = I18NGetPlatformDefaultEncoding();
  I18NSetPlatformDefaultEncoding("windows-1252");
  const std::string explanation = GetParam().explain(GetParam().clientOutput);
  I18NSetPlatformDefaultEncoding(previous.c_str());
  EXPECT_NE(("\n" + explanation).find("\n" + GetParam().line + "\n"),
            std::string::npos)
      << explanation;
}

const auto kHistory = &ExplanationOf<OrvSSHistory>;
const auto kStatus = &ExplanationOf<OrvSSCheckOut>;
const auto kListing = &ExplanationOf<OrvSSEnumChildren>;
const auto kExistence = &ExplanationOf<OrvSSExist>;
const auto kComparison = &ExplanationOf<OrvSSIsFileDifferent>;

const std::u16string kPreamble = u"History of $/proj/file.c ...\n\n";

// A record's two header lines, as the client prints them.
std::u16string Header(const std::u16string& version,
                      const std::u16string& userColumns) {
  return u"*****************  Version " + version +
         u"  *****************\nUser: " + userColumns +
         u"Date:  3/14/05   Time: 10:02a\n";
}

const std::u16string kAdmin = u"Admin        ";

INSTANTIATE_TEST_SUITE_P(
    History, ParserExplanationTest,
    testing::Values(
        ExplainCase{"the text before the first marker", kHistory,
                    kPreamble + Header(u"1 ", kAdmin) + u"Created\n",
                    "lines 1-2: the text before the first record marker is "
                    "not read: \"History of $/proj/file.c ...\\n\\n\""},
        ExplainCase{"a block read, on its marker's line", kHistory,
                    kPreamble + Header(u"2 ", kAdmin) +
                        u"Checked in $/proj\nComment: Fix it.\n\n" +
                        Header(u"1 ", kAdmin) + u"Created\n",
                    "line 3: version \"2\": read by the Checked in template "
                    "(the block holds \"Comment:\" and \"Checked in\", not "
                    "\"Created\"): user \"Admin\", date \"3/14/05 10:02a\", a "
                    "comment of 1 line"},
        ExplainCase{
            "an empty comment", kHistory,
            Header(u"1 ", kAdmin) + u"Created\nComment: \n",
            "line 1: version \"1\": read by the Created template (the "
            "block holds \"Created\" and \"Comment:\"): user \"Admin\", "
            "date \"3/14/05 10:02a\", an empty comment (\"Comment:\" "
            "with nothing after it)"},
        ExplainCase{
            "a comment unwrapped", kHistory,
            Header(u"1 ", kAdmin) + u"Created\nComment: " +
                std::u16string(79, u'x') + u"\nyz\n",
            "line 1: version \"1\": read by the Created template (the "
            "block holds \"Created\" and \"Comment:\"): user \"Admin\", "
            "date \"3/14/05 10:02a\", a comment of 1 line, 1 line feed "
            "of the client's 80-column wrapping removed"},
        ExplainCase{
            "a user over its limit", kHistory,
            Header(u"1 ", u"christopher.montgomery-smith.ext ") + u"Created\n",
            "line 1: version \"1\": no entry: the first-line template "
            "(the block holds no \"Comment:\", or neither \"Created\" "
            "nor \"Checked in\") stops at line 2: its user "
            "\"christopher.montgomery-smith.ext\" is 32 characters "
            "long, and a user holds at most 31"},
        ExplainCase{
            "a version over its limit", kHistory,
            Header(u"123456789012", kAdmin) + u"Created\n",
            "line 1: version \"123456789012\": no entry: the first-line "
            "template (the block holds no \"Comment:\", or neither "
            "\"Created\" nor \"Checked in\") stops at line 1: its "
            "version \"123456789012\" is 12 characters long, and a "
            "version holds at most 11"},
        ExplainCase{"a label record under a Version header", kHistory,
                    u"*****************  Version 4   *****************\n"
                    u"Label: \"Release 1.0\"\nUser: Admin        Date:  6/28/02"
                    u"   Time:  5:02p\nLabeled\n",
                    "line 1: version \"4\": no entry: the first-line template "
                    "(the block holds no \"Comment:\", or neither \"Created\" "
                    "nor \"Checked in\") stops at line 2: \"Label: "
                    "\\\"Release 1.0\\\"\" stands where the User: line should: "
                    "a label record, which is no version"},
        ExplainCase{"a user name with a blank", kHistory,
                    Header(u"1 ", u"Jo Smith     ") + u"Created\n",
                    "line 1: version \"1\": no entry: the first-line template "
                    "(the block holds no \"Comment:\", or neither \"Created\" "
                    "nor \"Checked in\") stops at line 2: \"Smith     Date:  "
                    "3/14/05   Time: 10:02a\" follows where \"Date:\" should "
                    "(a user name with a blank in it does not fit)"},
        ExplainCase{"two lines between the header and Comment:", kHistory,
                    Header(u"1 ", kAdmin) + u"Created\nBranched\nComment: x\n",
                    "line 1: version \"1\": no entry: the Created template "
                    "(the block holds \"Created\" and \"Comment:\") stops at "
                    "line 4: the line holds \"Branched\" where \"Comment:\" "
                    "should follow the one line after the header"},
        ExplainCase{"Checked in only in the comment", kHistory,
                    Header(u"1 ", kAdmin) +
                        u"Branched\nComment: Checked in by mistake\n",
                    "line 1: version \"1\": no entry: the Checked in template "
                    "(the block holds \"Comment:\" and \"Checked in\", not "
                    "\"Created\") stops at line 3: the line after the header "
                    "is \"Branched\", not a Checked in line"},
        ExplainCase{
            "nothing after the header", kHistory, Header(u"1 ", kAdmin),
            "line 1: version \"1\": no entry: the first-line template "
            "(the block holds no \"Comment:\", or neither \"Created\" "
            "nor \"Checked in\") stops at line 3: the block ends before "
            "its comment"},
        ExplainCase{"marker text inside a comment", kHistory,
                    Header(u"2 ", kAdmin) + u"Created\nComment: see\n" +
                        Header(u"1 ", kAdmin) + u"Created\n",
                    "line 5: this record marker does not follow an empty "
                    "line, as the client's records do: marker text inside the "
                    "comment above, most likely; it opens a block all the "
                    "same"},
        ExplainCase{"an item's record inside a comment (History -R)", kHistory,
                    Header(u"2 ", kAdmin) +
                        u"Checked in $/\nComment: Start.\n\n*****  cart.c  "
                        u"*****\nVersion 1\n",
                    "line 6: \"*****  cart.c  *****\" opens the records of an "
                    "item of the project (History -R): they are no versions "
                    "of the project; its lines are part of this version's "
                    "comment"},
        ExplainCase{"an item's record after a first-line record", kHistory,
                    Header(u"2 ", kAdmin) +
                        u"cart.c added\n\n*****  cart.c  *****\nVersion 1\n",
                    "line 5: \"*****  cart.c  *****\" opens the records of an "
                    "item of the project (History -R): they are no versions "
                    "of the project; not read: this version's comment is the "
                    "first line after its header"},
        ExplainCase{"no record marker", kHistory, u"History of $/a ...\n",
                    "client output: no record marker \"*****************  "
                    "Version\": no entries"}));

const std::u16string kName = u"parser.cpp          ";

INSTANTIATE_TEST_SUITE_P(
    Status, ParserExplanationTest,
    testing::Values(
        ExplainCase{"no checkouts", kStatus,
                    u"$/proj:\nNo checked out files found.\n",
                    "line 2: \"No checked out files found.\": checked out "
                    "false, user empty"},
        ExplainCase{"no colon", kStatus, kName + u"Alice\n",
                    "client output: no colon, so no checkout line to read a "
                    "user from; checked out false, user empty"},
        ExplainCase{"a heading", kStatus,
                    u"$/proj:\n" + kName + u"Alice         Exc\n",
                    "line 1: only white space follows the first colon (column "
                    "7) on its line: a heading or a log-in prompt; the user "
                    "column is counted from two characters after the colon, "
                    "on line 2"},
        ExplainCase{"no heading", kStatus,
                    kName + u"Alice         Exc  08-02-21 14:58  C:\\w\n",
                    "line 1: text follows the first colon (column 51) on its "
                    "line: no heading (one file's status); the user column is "
                    "counted from the start of this line"},
        ExplainCase{
            "the window's bytes in the default encoding", kStatus,
            u"$/proj:\n" + kName + u"Zo\u00eb           Exc\n",
            "line 2: bytes 20 to 33 in windows-1252 hold \"Zo\\xEB      "
            "     \": user \"Zo\u00eb\"; checked out true"},
        ExplainCase{"the window a line further down", kStatus,
                    u"$/proj:\n\n" + kName + u"Alice         Exc\n",
                    "line 3: bytes 20 to 33 in windows-1252 hold \" Alice     "
                    "   \": user \"Alice\"; checked out true"},
        ExplainCase{"too short for the window", kStatus, u"$/proj:\nshort\n",
                    "line 2: the text counted holds 6 bytes in windows-1252, "
                    "none at bytes 20 to 33: user empty; checked out stays "
                    "false"},
        ExplainCase{"blanks only", kStatus,
                    u"$/proj:\n" + kName + u"              x\n",
                    "line 2: bytes 20 to 33 in windows-1252 hold \"          "
                    "    \", only white space: user empty; checked out stays "
                    "false"}));

INSTANTIATE_TEST_SUITE_P(
    Listing, ParserExplanationTest,
    testing::Values(
        ExplainCase{"children listed", kListing,
                    u"$/proj:\n$Sub\n\na.c\n\n2 item(s)\n",
                    "line 2: 1 child listed, one per line (1 project, 0 "
                    "files); 0 empty lines skipped; succeeded true"},
        ExplainCase{"where the colon cut falls", kListing,
                    u"Listing of\n$/proj:\n$Sub\n",
                    "line 2: the colon cut drops the text up to the first "
                    "colon and the character after it: the listing starts at "
                    "line 3"},
        ExplainCase{"an unfinished last line", kListing, u"$/proj:\na.c\nb.",
                    "line 3: the last line has no line feed (the output may "
                    "be cut off): not listed"},
        ExplainCase{"-Exit-", kListing, u"$/proj: -Exit-",
                    "line 1: the listing is exactly \"-Exit-\": no children; "
                    "succeeded true"},
        ExplainCase{"an empty project", kListing,
                    u"$/proj:\nNo items found under $/proj\n",
                    "line 2: \"No items found under\": an empty project, no "
                    "children (lines listed with it are not taken); "
                    "succeeded true"},
        ExplainCase{"a prompt in the listing", kListing, u"$/proj:\nUsername: ",
                    "line 2: \"Username:\" in the listing: the client asks for "
                    "a log-in; succeeded false, no children"},
        ExplainCase{"a prompt the colon cut removed", kListing, u"Password: ",
                    "line 1: \"Password:\" in the text the colon cut removed: "
                    "the client asks for a log-in; succeeded false, no "
                    "children"}));

INSTANTIATE_TEST_SUITE_P(
    OtherQueries, ParserExplanationTest,
    testing::Values(
        ExplainCase{"both missing and deleted", kExistence,
                    u"a.c is not an existing filename or project\n"
                    u"b.c has been deleted.\n",
                    "line 2: \"has been deleted\": the item was deleted; "
                    "exists false"},
        ExplainCase{"no marker at all", kExistence, u"a.c\n",
                    "client output: no message that the item is missing or "
                    "deleted, no database error and no log-in prompt; exists "
                    "true"},
        ExplainCase{"both verdicts: the first decides", kComparison,
                    u"x\n\nNo differences.\ny\n\nThe files are different.\n",
                    "line 6: \"The files are different.\" on a line of its own "
                    "after an empty line; different true"},
        ExplainCase{"a verdict out of its place", kComparison,
                    u"Against: a\nNo differences.\n",
                    "line 2: \"No differences.\" stands here, but not on a "
                    "line of its own after an empty line: it is not taken for "
                    "the verdict"}));

// A comparison the client output gives no verdict on is raised at the throw
// site that the host's logs have always named.
TEST(ComparisonFailure, IsRaisedAtTheSiteTheHostsLogsName) {
  CapturedExplanation captured;
  OrvInputParams params;
  params.SetClientOutput(I18NString(std::u16string(u"Unexpected text\n")));
  params.SetExplanation(&captured.explanation());
  OrvSSIsFileDifferent command(params);
  try {
    command.ProceesOutPut();
    FAIL() << "no failure raised";
  } catch (const OrvException& caught) {
    EXPECT_EQ(caught.getCode(), 0x56177B77L);
    EXPECT_STREQ(caught.getFile(), "OrvSSIsFileDifferent");
    EXPECT_EQ(caught.getLine(), 94);
    EXPECT_STREQ(caught.getFunction(), "OrvSSIsFileDifferent::ProceesOutPut()");
    EXPECT_STREQ(caught.getMacro(), "WEX_THROW");
  }
}

}  // namespace
