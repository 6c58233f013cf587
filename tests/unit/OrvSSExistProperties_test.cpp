// The existence and properties parsers: their decision tables, tried on the
// whole client output.
#include <gtest/gtest.h>

#include <string>

#include "OrvSSExist.h"
#include "OrvSSProperties.h"

namespace {

struct ExistCase {
  const char* label;
  std::u16string clientOutput;
  bool succeeded;
  bool exists;
};

void PrintTo(const ExistCase& c, std::ostream* out) { *out << c.label; }

class ExistTest : public testing::TestWithParam<ExistCase> {};

TEST_P(ExistTest, FollowsTheDecisionTable) {
  const ExistCase& c = GetParam();
  OrvInputParams params;
  params.SetCommandID(1);
  params.SetClientOutput(I18NString(c.clientOutput));
  OrvSSExist command(params);
  command.ProceesOutPut();
  EXPECT_EQ(command.Succeeded(), c.succeeded);
  EXPECT_EQ(command.Exists(), c.exists);
}

const std::u16string kNoDatabase =
    u"No VSS database (srcsafe.ini) found.  Use the SSDIR environment "
    u"variable or run netsetup.\n";
const std::u16string kMissing =
    u"$/proj/old.c is not an existing filename or project\n";
const std::u16string kDeleted = u"$/proj/gone.c has been deleted. \n";

INSTANTIATE_TEST_SUITE_P(
    Rows, ExistTest,
    testing::Values(
        ExistCase{"empty output", u"", true, true},
        ExistCase{"an item's properties",
                  u"File:  $/proj/parser.cpp\nType:  Text\n", true, true},
        ExistCase{"missing database, with other markers",
                  kNoDatabase + kMissing + u"Username: ", false, false},
        ExistCase{"incompatible database", u"Incompatible database version\n",
                  false, false},
        ExistCase{"incompatible database after a deleted item",
                  kDeleted + u"Incompatible database version\n", false, false},
        ExistCase{"user name prompt", u"Username: ", false, false},
        ExistCase{"password prompt without user name prompt", u"Password: ",
                  false, false},
        ExistCase{"prompt outranks a deleted item", u"Username: \n" + kDeleted,
                  false, false},
        ExistCase{"prompt after the item's answer", kMissing + u"Password: ",
                  false, false},
        ExistCase{"a prompt word without its colon", u"Username\n", true, true},
        ExistCase{"missing item", kMissing, true, false},
        ExistCase{"deleted item", kDeleted, true, false},
        ExistCase{"missing and deleted", kMissing + kDeleted, true, false},
        ExistCase{"marker inside a line, no line feed",
                  u"x is not an existing filename or project", true, false},
        ExistCase{"part of a marker", u"x is not an existing filename\n", true,
                  true}));

struct PropertiesCase {
  const char* label;
  std::u16string clientOutput;
  bool isProject;
};

void PrintTo(const PropertiesCase& c, std::ostream* out) { *out << c.label; }

class PropertiesTest : public testing::TestWithParam<PropertiesCase> {};

TEST_P(PropertiesTest, AProjectHoldsContains) {
  const PropertiesCase& c = GetParam();
  OrvInputParams params;
  params.SetCommandID(8);
  params.SetClientOutput(I18NString(c.clientOutput));
  OrvSSProperties command(params);
  command.ProceesOutPut();
  EXPECT_EQ(command.IsProject(), c.isProject);
}

INSTANTIATE_TEST_SUITE_P(
    Markers, PropertiesTest,
    testing::Values(
        PropertiesCase{"empty output", u"", false},
        PropertiesCase{"a project's properties",
                       u"Project:  $/proj\nContains:\n  Files:  4\n", true},
        PropertiesCase{"Contains: at the very start", u"Contains:", true},
        PropertiesCase{"Contains: inside a line", u"x Contains: y", true},
        PropertiesCase{"a file's properties",
                       u"File:  $/proj/a.c\nType:  Text\nComment:  x\n", false},
        PropertiesCase{"Contains without the colon", u"Contains 3 files\n",
                       false},
        PropertiesCase{"another case", u"contains:\n", false},
        PropertiesCase{"a client error",
                       u"$/proj is not an existing filename or project\n",
                       false}));

}  // namespace
