// Runs the handler under locale settings a host machine may have: unset,
// the C locale, locales that are not installed, names with a modifier or an
// unknown codeset, a bare codeset, garbage and a very long name, each in
// LANG, LC_CTYPE and LC_ALL. No setting may stop a run or reach standard
// error: with --encoding every example prints exactly what it prints under
// C.UTF-8; without it the run still prints a document; --help still works.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "HandlerProcess.h"
#include "TestFiles.h"
#include "XmlMeaning.h"

namespace {

bool NamesAnEncoding(const std::vector<std::string>& arguments) {
  return std::find(arguments.begin(), arguments.end(), "--encoding") !=
         arguments.end();
}

// One locale setting: the variable ("" for none at all) and its value.
struct LocaleSetting {
  const char* variable;
  std::string value;
};

// For gtest's messages and test list: the setting, cut short.
void PrintTo(const LocaleSetting& setting, std::ostream* out) {
  *out << setting.variable << "="
       << testing::PrintToString(setting.value.substr(0, 40));
}

std::vector<std::string> EnvironmentOf(const LocaleSetting& setting) {
  if (*setting.variable == 0) return {};
  return {std::string(setting.variable) + "=" + setting.value};
}

const LocaleSetting kReference = {"LC_ALL", "C.UTF-8"};

std::vector<LocaleSetting> LocaleSettings() {
  const std::vector<std::string> values = {
      "sr_RS.UTF-8@latin",
      "ca_ES.UTF-8@valencia",
      "de_DE.ISO-8859-15@euro",
      "C.UTF-8@x",
      "xx_YY.FOO",
      "C",
      "POSIX",
      "UTF-8",
      "",
      ".@.\x01\xFF%s",
      std::string(5000, 'a') + ".UTF-8",
  };
  std::vector<LocaleSetting> settings = {{"", ""}};
  for (const char* variable : {"LANG", "LC_CTYPE", "LC_ALL"}) {
    for (const std::string& value : values) {
      settings.push_back({variable, value});
    }
  }
  return settings;
}

class Locale : public testing::TestWithParam<LocaleSetting> {};

TEST_P(Locale, NeverStopsARunNorWritesToStandardError) {
  const std::vector<std::string> environment = EnvironmentOf(GetParam());
  for (const ExampleFiles& example : Examples()) {
    const std::vector<std::string> arguments = example.Arguments();
    SCOPED_TRACE(arguments.back());
    const HandlerRun run = RunHandlerIn(environment, arguments);
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.standardError, "");
    if (NamesAnEncoding(arguments)) {
      const HandlerRun reference =
          RunHandlerIn(EnvironmentOf(kReference), arguments);
      EXPECT_EQ(run.standardOutput, reference.standardOutput);
      EXPECT_EQ(run.exitStatus, reference.exitStatus);
      continue;
    }
    XmlElement document;
    std::string error;
    ASSERT_TRUE(ParseXml(run.standardOutput, document, error))
        << error << ": " << run.standardOutput;
    EXPECT_EQ(run.exitStatus, document.name == "result" ? 1 : 0);
  }
  const HandlerRun help = RunHandlerIn(environment, {"--help"});
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_NE(help.standardOutput, "");
  EXPECT_EQ(help.standardError, "");
}

std::string SettingName(const testing::TestParamInfo<LocaleSetting>& info) {
  const std::string variable = info.param.variable;
  return (variable.empty() ? "Unset" : variable) + "_" +
         std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(Settings, Locale, testing::ValuesIn(LocaleSettings()),
                         SettingName);

}  // namespace

namespace {

// Without --encoding, --explain and --help name the locale's codeset as the
// encoding in force, and say where it comes from.
TEST(LocaleEncoding, IsNamedWithItsOrigin) {
  const std::vector<std::string> utf8 = {"LC_ALL=C.UTF-8"};
  const HandlerRun explained = RunHandlerIn(
      utf8, {"exists", "--explain",
             ExampleFiles::Named("exists-yes").ClientOutput().string()});
  EXPECT_NE(explained.standardError.find(
                ", decoded as UTF-8 (the locale's encoding): "),
            std::string::npos)
      << explained.standardError;
  EXPECT_NE(RunHandlerIn(utf8, {"--help"})
                .standardOutput.find(
                    "Default here: UTF-8 (the locale's encoding).\n"),
            std::string::npos);
}

}  // namespace

namespace {

// A locale of `codeset` built with localedef into a scratch LOCPATH, or an
// empty environment when this machine cannot build it (no locale sources).
class BuiltLocale {
 public:
  BuiltLocale(const std::string& name, const std::string& codeset) {
    char directory[] = "/tmp/vss-locales-XXXXXX";
    if (mkdtemp(directory) == nullptr) return;
    directory_ = directory;
    const std::string command = "localedef -c -i ja_JP -f " + codeset + " " +
                                directory_ + "/" + name + " >/dev/null 2>&1";
    // localedef fails on a warning (SHIFT_JIS does not keep ASCII as the C
    // library expects) and still builds the locale: its files tell.
    [[maybe_unused]] const int status = std::system(command.c_str());
    if (!std::filesystem::exists(directory_ + "/" + name + "/LC_CTYPE")) return;
    // The C library's newlocale keeps the list it splits LOCPATH into and
    // never frees it: the sanitizer build's leak check must not count that.
    const std::string suppressions = directory_ + "/leaks.supp";
    std::ofstream(suppressions) << "leak:__argz_add_sep\n";
    environment_ = {"LOCPATH=" + directory_, "LC_ALL=" + name,
                    "LSAN_OPTIONS=suppressions=" + suppressions};
  }
  ~BuiltLocale() {
    std::error_code ignored;
    if (!directory_.empty()) std::filesystem::remove_all(directory_, ignored);
  }
  const std::vector<std::string>& environment() const { return environment_; }

 private:
  std::string directory_;
  std::vector<std::string> environment_;
};

// A codeset outside the list of encodings stops nothing but the reading:
// the run answers with the command-line error that names it, --encoding
// still reads, and --help says there is no default.
TEST(LocaleEncoding, OutsideTheListIsACommandLineError) {
  const BuiltLocale eucJp("ja_JP.EUC-JP", "EUC-JP");
  if (eucJp.environment().empty()) GTEST_SKIP() << "localedef cannot build";
  const std::string file =
      ExampleFiles::Named("exists-yes").ClientOutput().string();
  const HandlerRun refused =
      RunHandlerIn(eucJp.environment(), {"exists", file});
  EXPECT_EQ(refused.exitStatus, 0);
  EXPECT_NE(refused.standardOutput.find(
                "<error code=\"0x56170001\">The command line is not valid: "
                "the locale's encoding 'EUC-JP' is not an encoding that the "
                "handler knows; give --encoding (--help lists them)</error>"),
            std::string::npos)
      << refused.standardOutput;
  const HandlerRun named = RunHandlerIn(
      eucJp.environment(), {"exists", "--encoding", "CP932", file});
  EXPECT_EQ(named.exitStatus, 1) << named.standardOutput;
  EXPECT_NE(
      RunHandlerIn(eucJp.environment(), {"--help"})
          .standardOutput.find("Default here: none: the locale's encoding, "
                               "EUC-JP, is not one of them.\n"),
      std::string::npos);
}

// The C library names Shift_JIS' codeset SHIFT_JIS: the locale reads as code
// page 932, as --encoding Shift_JIS does.
TEST(LocaleEncoding, ShiftJisLocaleReadsAsCodePage932) {
  const BuiltLocale sjis("ja_JP.SJIS", "SHIFT_JIS");
  if (sjis.environment().empty()) GTEST_SKIP() << "localedef cannot build";
  EXPECT_NE(RunHandlerIn(sjis.environment(), {"--help"})
                .standardOutput.find(
                    "Default here: Shift_JIS (the locale's encoding).\n"),
            std::string::npos);
}

}  // namespace
