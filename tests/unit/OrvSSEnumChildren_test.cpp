// The child listing parser: which client outputs are answers, which are
// failures, and how the listing's lines become children.
#include "OrvSSEnumChildren.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// One child as the test states it: its name as UTF-16 code units.
struct ExpectedChild {
  std::u16string name;
  bool isProject;
};

struct Listing {
  bool succeeded;
  std::vector<ExpectedChild> children;
};

Listing ParseListing(const std::u16string& clientOutput) {
  OrvInputParams params;
  params.SetCommandID(5);
  params.SetClientOutput(I18NString(clientOutput));
  OrvSSEnumChildren command(params);
  command.ProceesOutPut();
  Listing listing{command.Succeeded(), {}};
  for (const OrvEnumChildren::Child& child : command.Children()) {
    listing.children.push_back({child.name.units(), child.isProject});
  }
  return listing;
}

struct ListingCase {
  const char* label;
  std::u16string clientOutput;
  bool succeeded;
  std::vector<ExpectedChild> children;
};

void PrintTo(const ListingCase& c, std::ostream* out) { *out << c.label; }

class ListingTest : public testing::TestWithParam<ListingCase> {};

TEST_P(ListingTest, AnswersAndListsAsTheClientMeant) {
  const ListingCase& c = GetParam();
  const Listing listing = ParseListing(c.clientOutput);
  EXPECT_EQ(listing.succeeded, c.succeeded);
  ASSERT_EQ(listing.children.size(), c.children.size());
  for (size_t i = 0; i < c.children.size(); ++i) {
    EXPECT_EQ(listing.children[i].name, c.children[i].name) << "child " << i;
    EXPECT_EQ(listing.children[i].isProject, c.children[i].isProject)
        << "child " << i;
  }
}

// Client failures: the database errors and the log-in prompts, seen in the
// heading part that the colon cut drops as well as in the listing itself.
INSTANTIATE_TEST_SUITE_P(
    ClientFailures, ListingTest,
    testing::Values(
        ListingCase{"missing database",
                    u"No VSS database (srcsafe.ini) found.  Use the SSDIR "
                    u"environment variable or run netsetup.\n",
                    false,
                    {}},
        ListingCase{"incompatible database",
                    u"Incompatible database version\n",
                    false,
                    {}},
        ListingCase{
            "user name prompt alone, no line feed", u"Username: ", false, {}},
        ListingCase{
            "password prompt alone, no line feed", u"Password: ", false, {}},
        ListingCase{
            "user name prompt then a line feed", u"Username: \n", false, {}},
        ListingCase{"password prompt after the user name prompt",
                    u"Username: Password: ",
                    false,
                    {}},
        ListingCase{"database error before the heading colon",
                    u"No VSS database (srcsafe.ini) found.\n$/proj:\n$A\nb\n",
                    false,
                    {}},
        ListingCase{"database error inside the listing",
                    u"$/proj:\na\nIncompatible database version\n",
                    false,
                    {}},
        ListingCase{"database error outranks the empty-project message",
                    u"No items found under $/proj\nIncompatible database "
                    u"version\n",
                    false,
                    {}},
        ListingCase{
            "prompt after the first empty line is not seen",
            u"$/proj:\nfile.c\n\nUsername: ",
            true,
            {{u"file.c", false}},
        },
        ListingCase{"database error after the first empty line is not seen",
                    u"$/proj:\nfile.c\n\nIncompatible database version\n",
                    true,
                    {{u"file.c", false}}}));

// Answers without children: "-Exit-" as the whole listing, and the empty
// project, each only where the listing stands.
INSTANTIATE_TEST_SUITE_P(
    AnswersWithoutChildren, ListingTest,
    testing::Values(
        ListingCase{"-Exit- after the heading colon and blank",
                    u"$/proj: -Exit-",
                    true,
                    {}},
        ListingCase{"-Exit- as the whole output", u"-Exit-", true, {}},
        ListingCase{"-Exit- with a line feed is a file",
                    u"$/proj: -Exit-\n",
                    true,
                    {{u"-Exit-", false}}},
        ListingCase{"-Exit- with a line before it is listed",
                    u"$/proj:\na\n-Exit-\n",
                    true,
                    {{u"a", false}, {u"-Exit-", false}}},
        ListingCase{"empty project message",
                    u"No items found under $/proj/empty\n",
                    true,
                    {}},
        ListingCase{"empty project message suppresses later lines",
                    u"$/proj:\nNo items found under $/proj\n$A\nb\n",
                    true,
                    {}},
        ListingCase{"empty project message before the colon is not seen",
                    u"No items found under x:\na\n",
                    true,
                    {{u"a", false}}},
        ListingCase{"empty project message after the empty line is not seen",
                    u"$/proj:\na\n\nNo items found under $/proj\n",
                    true,
                    {{u"a", false}}},
        ListingCase{"empty output", u"", true, {}},
        ListingCase{"colon as the last character", u"$/proj:", true, {}},
        ListingCase{
            "colon as the next-to-last character", u"$/proj:\n", true, {}},
        ListingCase{"two empty lines right after the heading",
                    u"$/proj:\n\n\n$A\nb\n",
                    true,
                    {}}));

// The line loop: projects, files, and which lines are never listed.
INSTANTIATE_TEST_SUITE_P(
    Lines, ListingTest,
    testing::Values(
        ListingCase{"heading, project, file, empty line, trailer",
                    u"$/proj:\n$Sub\nfile.txt\n\n2 item(s)\n",
                    true,
                    {{u"Sub", true}, {u"file.txt", false}}},
        ListingCase{"no colon: the whole output is the listing",
                    u"$A\nb\n",
                    true,
                    {{u"A", true}, {u"b", false}}},
        ListingCase{"the colon cut takes the heading's line feed",
                    u"$/proj:\n\n$A\nb\n",
                    true,
                    {{u"A", true}, {u"b", false}}},
        ListingCase{"CR LF after the heading colon",
                    u"$/proj:\r\n$A\nb\n",
                    true,
                    {{u"A", true}, {u"b", false}}},
        ListingCase{"'$' alone is a project with an empty name",
                    u"$/proj:\n$\n",
                    true,
                    {{u"", true}}},
        ListingCase{"every leading '$' is dropped",
                    u"$/proj:\n$$P\n",
                    true,
                    {{u"P", true}}},
        ListingCase{"'$' inside a name makes a file",
                    u"$/proj:\na$b\n",
                    true,
                    {{u"a$b", false}}},
        ListingCase{"a last line without a line feed is not listed",
                    u"$/proj:\na\nb",
                    true,
                    {{u"a", false}}},
        ListingCase{"blanks, tabs and CR stay in the name",
                    u"$/proj:\n f \r\n\tg\n$ S \r\n",
                    true,
                    {{u" f \r", false}, {u"\tg", false}, {u" S \r", true}}},
        ListingCase{"colons after the first belong to names",
                    u"$/proj:\nnote:1.txt\n",
                    true,
                    {{u"note:1.txt", false}}},
        ListingCase{"the one character after the colon goes, whatever it is",
                    u"$/proj:xa\nb\n",
                    true,
                    {{u"a", false}, {u"b", false}}}));

TEST(LongListingTest, ListsEveryLineInOrder) {
  const int kLines = 50000;
  std::u16string output = u"$/proj:\n";
  for (int i = 0; i < kLines; ++i) {
    output += (i % 2 == 0) ? u"$Sub\n" : u"file.c\n";
  }
  output += u"\n50000 item(s)\n";
  const Listing listing = ParseListing(output);
  ASSERT_EQ(listing.children.size(), static_cast<size_t>(kLines));
  EXPECT_TRUE(listing.children.front().isProject);
  EXPECT_EQ(listing.children.front().name, u"Sub");
  EXPECT_FALSE(listing.children.back().isProject);
  EXPECT_EQ(listing.children.back().name, u"file.c");
}

}  // namespace
