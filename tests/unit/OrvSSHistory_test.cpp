#include "OrvSSHistory.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <new>
#include <string>
#include <vector>

#include "I18NString.h"
#include "OrvInputParams.h"

// Allocation failure for the allocation the history parser makes with
// nothrow new (each entry). Disarmed (-1) it allocates as usual; armed with n
// it lets n more allocations through, yields null for the next one, and
// allocates as usual again.
namespace {
int gObjectAllocationsBeforeFailure = -1;

// True when the armed counter says this allocation is to fail.
bool FailsNow(int& allocationsBeforeFailure) {
  if (allocationsBeforeFailure < 0) return false;
  return allocationsBeforeFailure-- == 0;
}
}  // namespace

// Forwards to the ordinary operator, so that the matching delete releases
// what it returns.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (FailsNow(gObjectAllocationsBeforeFailure)) return nullptr;
  try {
    return ::operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

namespace {

// Arms the failure counter for the life of the guard.
class FailingAllocations {
 public:
  FailingAllocations(int& counter, int allocationsBeforeFailure)
      : counter_(counter) {
    counter_ = allocationsBeforeFailure;
  }
  ~FailingAllocations() { counter_ = -1; }

 private:
  int& counter_;
};

const std::u16string kMarker = u"*****************  Version";

std::u16string PadRight(std::u16string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), u' ');
  return text;
}

// The two header lines as the client prints them: the version in two
// columns, the user in eight, then five blanks.
std::u16string Header(const std::u16string& version, const std::u16string& user,
                      const std::u16string& date, const std::u16string& time) {
  return kMarker + u" " + PadRight(version, 2) +
         u"  *****************\nUser: " + PadRight(user, 8) + u"     Date: " +
         date + u"   Time: " + time + u"\n";
}

// One version's record: header, `body` (the lines after the header) and the
// blank line that follows every record.
std::u16string Record(const std::u16string& version, const std::u16string& body,
                      const std::u16string& user = u"Admin") {
  return Header(version, user, u" 3/14/05", u"10:02a") + body + u"\n";
}

const std::u16string kPreamble = u"History of $/proj/file.c ...\n\n";

struct Entry {
  std::u16string version;
  std::u16string user;
  std::u16string date;
  std::u16string comment;
};

bool operator==(const Entry& a, const Entry& b) {
  return a.version == b.version && a.user == b.user && a.date == b.date &&
         a.comment == b.comment;
}

std::string Utf8(const std::u16string& text) {
  return I18NString(text).toUTF8();
}

void PrintTo(const Entry& e, std::ostream* os) {
  *os << "{" << Utf8(e.version) << " | " << Utf8(e.user) << " | "
      << Utf8(e.date) << " | \"" << Utf8(e.comment) << "\"}";
}

// An entry of version `version` by Admin with the date of Record().
Entry Version(const std::u16string& version, const std::u16string& comment) {
  return {version, u"Admin", u"3/14/05 10:02a", comment};
}

OrvInputParams Params(const std::u16string& output) {
  OrvInputParams params;
  params.SetCommandID(4);
  params.SetClientOutput(I18NString(output));
  return params;
}

std::vector<Entry> EntriesOf(const OrvSSHistory& history) {
  std::vector<Entry> entries;
  for (const auto& record : history.Entries()) {
    entries.push_back({record->Version().units(), record->User().units(),
                       record->DateTime().units(), record->Comment().units()});
  }
  return entries;
}

std::vector<Entry> Parse(const std::u16string& output) {
  OrvInputParams params = Params(output);
  OrvSSHistory history(params);
  history.ProceesOutPut();
  return EntriesOf(history);
}

// ---------------------------------------------------------------------------
// Cutting the client output into record blocks.

struct SplitCase {
  const char* name;
  std::u16string output;
  std::vector<std::u16string> blocks;
};

class HistorySplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(HistorySplitTest, CutsThreeCharactersIntoEachMarker) {
  const SplitCase& c = GetParam();
  OrvInputParams params = Params(c.output);
  OrvSSHistory history(params);
  std::vector<std::u16string> blocks;
  for (std::size_t i = 0; i < history.RecordBlockCount(); ++i) {
    blocks.push_back(history.RecordBlock(i).units());
  }
  EXPECT_EQ(blocks, c.blocks);
}

const SplitCase kSplitCases[] = {
    {"EmptyOutput", u"", {}},
    {"NoMarker", u"$/proj/file.c is not an existing filename or project\n", {}},
    {"BeginsWithMarker",
     kMarker + u" 1 **\nrest\n",
     {u"**************  Version 1 **\nrest\n"}},
    {"PreambleInNoBlock",
     kPreamble + kMarker + u" 2\nA\n\n" + kMarker + u" 1\nB\n\n",
     {u"**************  Version 2\nA\n\n",
      u"**************  Version 1\nB\n\n"}},
    // The marker takes two blanks before "Version"; one is no marker.
    {"OneBlankIsNoMarker",
     kMarker + u" 2\nComment: x\n***************** Version 1\n",
     {u"**************  Version 2\nComment: x\n***************** Version 1\n"}},
    // Sixteen asterisks are no marker either.
    {"SixteenAsterisksIsNoMarker",
     kMarker + u" 2\n****************  Version 1\n",
     {u"**************  Version 2\n****************  Version 1\n"}},
    // The marker text inside a comment opens a block all the same.
    {"MarkerInsideComment",
     kMarker + u" 2\nComment: see " + kMarker + u" 1 above\n",
     {u"**************  Version 2\nComment: see ",
      u"**************  Version 1 above\n"}},
    // Two markers back to back: the first block is only its own marker's tail.
    {"AdjacentMarkers",
     kMarker + kMarker + u" 1\n",
     {u"**************  Version", u"**************  Version 1\n"}},
};

INSTANTIATE_TEST_SUITE_P(OrvSSHistory, HistorySplitTest,
                         ::testing::ValuesIn(kSplitCases),
                         [](const auto& info) { return info.param.name; });

// ---------------------------------------------------------------------------
// Choosing the template, and what each takes as the comment.

struct ParseCase {
  const char* name;
  std::u16string output;
  std::vector<Entry> entries;
};

class HistoryParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(HistoryParseTest, YieldsTheEntriesOfTheBlocksThatFit) {
  const ParseCase& c = GetParam();
  EXPECT_EQ(Parse(c.output), c.entries);
}

const ParseCase kParseCases[] = {
    {"NoMarkerNoEntries", u"No VSS database (srcsafe.ini) found.\n", {}},
    {"Created",
     kPreamble + Record(u"1", u"Created\nComment: First cut\nof the parser\n"),
     {Version(u"1", u"First cut\nof the parser")}},
    {"CheckedIn",
     Record(u"2", u"Checked in $/proj\nComment: Fix the build\n"),
     {Version(u"2", u"Fix the build")}},
    // A long project path goes to the line after a bare "Checked in".
    {"CheckedInPathOnNextLine",
     Record(u"2", u"Checked in\n$/proj/a/rather/long/path\nComment: Moved\n"),
     {Version(u"2", u"Moved")}},
    // "Created" anywhere, the comment included, picks the Created template,
    // which skips the action line the same way.
    {"CreatedInCommentOfCheckIn",
     Record(u"2", u"Checked in $/proj\nComment: Created the tests\n"),
     {Version(u"2", u"Created the tests")}},
    {"CreatedInCommentOfBranch",
     Record(u"3", u"Branched\nComment: Created from the trunk\n"),
     {Version(u"3", u"Created from the trunk")}},
    // Neither "Created" nor "Checked in": the first line after the header.
    {"BranchedTakesFirstLine",
     Record(u"3", u"Branched\nComment: From trunk\n"),
     {Version(u"3", u"Branched")}},
    {"NoCommentLine",
     Record(u"4", u"file.c added\n"),
     {Version(u"4", u"file.c added")}},
    {"CheckedInWithoutCommentLine",
     Record(u"4", u"Checked in $/proj\n"),
     {Version(u"4", u"Checked in $/proj")}},
    {"FirstLineAfterBlankLines",
     Record(u"5", u"\n\n   Labeled\n"),
     {Version(u"5", u"Labeled")}},
    // Created and Comment: with two lines between header and Comment:.
    {"TwoLinesBeforeComment",
     Record(u"1", u"Created\nfrom a template\nComment: x\n"),
     {}},
    {"HeaderOnly", Header(u"1", u"Admin", u" 3/14/05", u"10:02a"), {}},
    // "Comment: " alone, as the client prints it for a version checked in
    // without a comment: an entry with an empty comment.
    {"CommentWithNothingAfter",
     Record(u"2", u"Checked in $/proj\nComment: \n"),
     {Version(u"2", u"")}},
    {"CommentWithoutTrailingBlank",
     Header(u"1", u"Admin", u" 3/14/05", u"10:02a") + u"Created\nComment:",
     {Version(u"1", u"")}},
    {"CommentWithOnlyWhiteSpaceAfter",
     Record(u"1", u"Created\nComment: \t \n\n  \n\n"),
     {Version(u"1", u"")}},
    {"CommentOpenedByBackspace",
     Record(u"2", u"Checked in $/proj\nComment: \bgarbage\n"),
     {Version(u"2", u"")}},
    {"BackspaceEndsComment",
     Record(u"2", u"Checked in $/proj\nComment: kept\npart\bdropped\n"),
     {Version(u"2", u"kept\npart")}},
    // The comment runs to the end of the block: blank lines and lines of
    // asterisks stay, and so does a label record that the client printed
    // after it (22 asterisks are no record marker).
    {"CommentToEndOfBlock",
     Record(u"2",
            u"Checked in $/proj\nComment: one\n\n***\nthree\n\n"
            u"**********************\nLabel: \"v1\"\n"),
     {Version(u"2",
              u"one\n\n***\nthree\n\n**********************\nLabel: "
              u"&quot;v1&quot;")}},
    {"EscapedComment",
     Record(u"2", u"Checked in $/proj\nComment: a & b <c> \"d\" 'e'\n"),
     {Version(u"2", u"a &amp; b &lt;c&gt; &quot;d&quot; &apos;e&apos;")}},
    // The date and the time, one blank between, however many stood there.
    {"DateAndTime",
     Header(u"7", u"j.smith", u"29-05-06", u"14:58") + u"Created\nComment: x\n",
     {{u"7", u"j.smith", u"29-05-06 14:58", u"x"}}},
    // The last block in the output is added first.
    {"ReverseOrder",
     kPreamble + Record(u"3", u"Checked in $/proj\nComment: third\n") +
         Record(u"2", u"Checked in $/proj\nComment: \n") +
         Record(u"1", u"Created\nComment: first\n"),
     {Version(u"1", u"first"), Version(u"2", u""), Version(u"3", u"third")}},
    // A user name with a blank stops the scan at "Date:"; only that version
    // is lost.
    {"UserWithBlank",
     Record(u"3", u"Checked in $/proj\nComment: c\n") +
         Record(u"2", u"Checked in $/proj\nComment: b\n", u"Jo Smith") +
         Record(u"1", u"Created\nComment: a\n"),
     {Version(u"1", u"a"), Version(u"3", u"c")}},
    // A marker inside a comment cuts it short and opens a block of its own,
    // which fits no template.
    {"MarkerInComment",
     Record(u"2",
            u"Checked in $/proj\nComment: before " + kMarker + u" after\n"),
     {Version(u"2", u"before ")}},
    // A label record with a Version header has "Label:" where "User:" must
    // stand.
    {"LabelWithVersionHeader",
     kMarker +
         u" 5   *****************\nLabel: \"Release 1\"\n"
         u"User: Admin        Date:  3/15/05   Time:  4:00p\nLabeled\n\n" +
         Record(u"4", u"Created\nComment: x\n"),
     {Version(u"4", u"x")}},
};

INSTANTIATE_TEST_SUITE_P(OrvSSHistory, HistoryParseTest,
                         ::testing::ValuesIn(kParseCases),
                         [](const auto& info) { return info.param.name; });

// ---------------------------------------------------------------------------
// Field limits: 11 code units for version, date and time, 31 for the user.

struct LimitCase {
  const char* name;
  std::u16string version;
  std::u16string user;
  std::u16string date;
  std::u16string time;
  bool fits;
};

class HistoryFieldLimitTest : public ::testing::TestWithParam<LimitCase> {};

TEST_P(HistoryFieldLimitTest, RefusesTheBlockOfAFieldTooLong) {
  const LimitCase& c = GetParam();
  const std::u16string output = Header(c.version, c.user, c.date, c.time) +
                                u"Created\nComment: x\n\n" +
                                Record(u"1", u"Created\nComment: other\n");
  std::vector<Entry> expected = {Version(u"1", u"other")};
  if (c.fits)
    expected.push_back({c.version, c.user, c.date + u" " + c.time, u"x"});
  EXPECT_EQ(Parse(output), expected);
}

const std::u16string k11 = u"12345678901";
const std::u16string k12 = u"123456789012";

const LimitCase kLimitCases[] = {
    {"VersionEleven", k11, u"Admin", u"3/14/05", u"10:02a", true},
    {"VersionTwelve", k12, u"Admin", u"3/14/05", u"10:02a", false},
    {"UserThirtyOne", u"2", std::u16string(31, u'u'), u"3/14/05", u"10:02a",
     true},
    {"UserThirtyTwo", u"2", std::u16string(32, u'u'), u"3/14/05", u"10:02a",
     false},
    {"DateEleven", u"2", u"Admin", k11, u"10:02a", true},
    {"DateTwelve", u"2", u"Admin", k12, u"10:02a", false},
    {"TimeEleven", u"2", u"Admin", u"3/14/05", k11, true},
    {"TimeTwelve", u"2", u"Admin", u"3/14/05", k12, false},
    // A character outside the Basic Multilingual Plane counts two.
    {"UserSurrogatePairFits", u"2", std::u16string(29, u'u') + u"\U0001F600",
     u"3/14/05", u"10:02a", true},
    {"UserSurrogatePairOverflows", u"2",
     std::u16string(30, u'u') + u"\U0001F600", u"3/14/05", u"10:02a", false},
};

INSTANTIATE_TEST_SUITE_P(OrvSSHistory, HistoryFieldLimitTest,
                         ::testing::ValuesIn(kLimitCases),
                         [](const auto& info) { return info.param.name; });

// ---------------------------------------------------------------------------
// Cleaning the comment: trailing line feeds, escaping, then unwrapping at
// positions 79, 159, ... of the escaped comment.

struct CommentCase {
  const char* name;
  std::u16string comment;  // as the client printed it after "Comment: "
  std::u16string cleaned;
};

class HistoryCommentTest : public ::testing::TestWithParam<CommentCase> {};

TEST_P(HistoryCommentTest, CleansInOrder) {
  const CommentCase& c = GetParam();
  const std::vector<Entry> entries =
      Parse(Record(u"1", u"Created\nComment: " + c.comment + u"\n"));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].comment, c.cleaned);
}

const std::u16string k79a(79, u'a');
const std::u16string k79b(79, u'b');

const CommentCase kCommentCases[] = {
    {"OneLine", u"Fix the parser", u"Fix the parser"},
    {"TrailingLineFeeds", u"Fix\n\n\n", u"Fix"},
    {"ShortLinesKeepLineFeeds", u"one\n\nthree", u"one\n\nthree"},
    {"LineFeedAtSeventyNine", k79a + u"\ntail", k79a + u"tail"},
    {"LineFeedsAtSeventyNineAndOneFiftyNine", k79a + u"\n" + k79b + u"\nc",
     k79a + k79b + u"c"},
    // A full-width line after a short one: its line feed is not at 159.
    {"FullLineAfterShortLine", u"short\n" + k79a + u"\nx",
     u"short\n" + k79a + u"\nx"},
    {"LineFeedAtEighty", k79a + u"a\ntail", k79a + u"a\ntail"},
    // Only the wrap columns count, however many lines: 79, 159 and 239 go,
    // the one right after 159 stays.
    {"WrapColumnsOnly",
     k79a + u"\n" + k79b + u"\n\n" + std::u16string(78, u'c') + u"\nd",
     k79a + k79b + u"\n" + std::u16string(78, u'c') + u"d"},
    // "&" becomes "&amp;": a line feed at 75 as printed stands at 79 once
    // escaped, and goes.
    {"EscapingShiftsToSeventyNine", u"&" + std::u16string(74, u'a') + u"\nb",
     u"&amp;" + std::u16string(74, u'a') + u"b"},
    // ... while one at 79 as printed stands at 82 once escaped, and stays.
    {"EscapingShiftsAwayFromSeventyNine",
     u"<" + std::u16string(78, u'a') + u"\nb",
     u"&lt;" + std::u16string(78, u'a') + u"\nb"},
};

INSTANTIATE_TEST_SUITE_P(OrvSSHistory, HistoryCommentTest,
                         ::testing::ValuesIn(kCommentCases),
                         [](const auto& info) { return info.param.name; });

// ---------------------------------------------------------------------------
// Allocation failures.

const std::u16string kThreeVersions =
    Record(u"3", u"Checked in $/proj\nComment: third\n") +
    Record(u"2", u"Checked in $/proj\nComment: second\n") +
    Record(u"1", u"Created\nComment: first\n");

TEST(OrvSSHistoryTest, EntryAllocationFailureRaisesOutOfMemory) {
  OrvInputParams params = Params(kThreeVersions);
  OrvSSHistory history(params);
  {
    FailingAllocations failing(gObjectAllocationsBeforeFailure, 1);
    EXPECT_THROW(history.ProceesOutPut(), std::bad_alloc);
  }
  // The versions after the one that found no memory are not tried.
  EXPECT_EQ(EntriesOf(history), std::vector<Entry>{Version(u"1", u"first")});
}

TEST(OrvSSHistoryTest, ManyVersionsParseInLinearTime) {
  // 20,000 versions (about 3.4 million code units), each with a comment.
  // Work per version must follow the size of its block: anything sized by
  // the whole output (a buffer, a copy, a search) would touch some 7 MB per
  // version, 140 GB in all.
  std::u16string output = kPreamble;
  const std::u16string body =
      u"Checked in $/proj\nComment: A change that is described in a few "
      u"words\n";
  const int kVersions = 20000;
  for (int v = kVersions; v > 0; --v) {
    const std::string number = std::to_string(v);
    output += Record(std::u16string(number.begin(), number.end()), body);
  }
  const std::vector<Entry> entries = Parse(output);
  ASSERT_EQ(entries.size(), static_cast<std::size_t>(kVersions));
  EXPECT_EQ(entries.front().version, u"1");
  EXPECT_EQ(entries.back().version, u"20000");
}

}  // namespace
